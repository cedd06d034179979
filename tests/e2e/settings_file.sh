#!/bin/bash
# pelmo.ini as a hostile user meets it: a FIFO, a read-only file, a link,
# a file full of terminal escapes, and kills during the save at quit.
#   settings_file.sh PELMODESK [sanitized]
set -euo pipefail
program=$(realpath "$1")
. "$(dirname "$0")/lib.sh"
find_libraries_beside "$program" "${2:-}"
start_display wm
cd "$work"

start() {
  dbus-run-session -- "$program" >"$work/program.out" 2>&1 &
  app=$!
  pids+=($app)
  main=$(wait_window pelmodesk)
  pid=$(xdotool getwindowpid "$main")
}
# Waits up to $1 seconds for the program to end and its window to go (the
# X server destroys a killed program's window a moment later).
ended_within() {
  local tries=$(($1 * 20))
  for _ in $(seq "$tries"); do
    if ! kill -0 "$app" 2>/dev/null && ! xwininfo -id "$main" >/dev/null 2>&1; then return 0; fi
    sleep 0.05
  done
  return 1
}
# Moves the window's client area to $1 $2 and waits until it stands there;
# sets $saved to what a save writes for that place.
move_to() {
  xdotool windowmove "$main" "$(($1 - 1))" "$(($2 - 1))"
  for _ in $(seq 60); do [ "$(client_origin "$main")" = "$1 $2" ] && break; sleep 0.05; done
  [ "$(client_origin "$main")" = "$1 $2" ] || fail "the window did not move to $1 $2"
  saved=$(printf '%d\r\n%d\r\n1\r\n' $(($2 * 15)) $(($1 * 15)))
}
leftovers() { find . -maxdepth 2 -name 'pelmo.ini?*' ! -name pelmo.ini.bak ! -name '*.out' -printf '%P '; }

echo "== a FIFO in the file's place does not hold the start up, and is left alone"
mkfifo pelmo.ini
start
grep -q "pelmo.ini: 通常のファイルではありません" program.out || fail "no warning about the FIFO"
kill -TERM "$pid"
ended_within 5 || fail "SIGTERM did not end the program"
[ -p pelmo.ini ] || fail "the FIFO was replaced"
grep -q "設定を保存できませんでした: pelmo.ini: 通常のファイルではありません" program.out || fail "the failed save was not said"
rm pelmo.ini

echo "== a read-only file is not replaced, and SIGTERM ends the program without a box"
printf '1500\r\n1500\r\n1\r\n' >pelmo.ini
chmod 444 pelmo.ini
start
move_to 200 150
kill -TERM "$pid"
ended_within 5 || fail "SIGTERM with a read-only pelmo.ini did not end the program"
[ "$(cat pelmo.ini)" = "$(printf '1500\r\n1500\r\n1\r\n')" ] || fail "the read-only file was replaced"
grep -q "設定を保存できませんでした: pelmo.ini: ファイルが読み取り専用です" program.out || fail "no report on standard error"
rm -f pelmo.ini

echo "== a symbolic link is written through, and stays a link"
mkdir -p conf
printf '1500\r\n1500\r\n1\r\n' >conf/real.ini
ln -s conf/real.ini pelmo.ini
start
move_to 220 170
kill -TERM "$pid"
ended_within 5 || fail "SIGTERM did not end the program"
[ -L pelmo.ini ] || fail "the link was replaced by a file"
[ "$(cat conf/real.ini)" = "$saved" ] || fail "the link's target: $(od -c conf/real.ini | head -3)"
[ -z "$(leftovers)" ] || fail "left behind: $(leftovers)"
rm pelmo.ini conf/real.ini

echo "== terminal escapes in the file are shown escaped, and the file is kept as pelmo.ini.bak"
printf '\xEF\xBB\xBF1500\r\n\x1b[2J\x1b]0;X\x07\x00tail\r\n1\r\n' >pelmo.ini
cp pelmo.ini rejected
start
grep -aq 'pelmo.ini: 2 行目の左端位置「\\x1B\[2J\\x1B\]0;X\\x07\\x00tail」は数値ではありません' program.out ||
  fail "the warning: $(od -c program.out | head -8)"
grep -q 'pelmo.ini.bak として残します' program.out || fail "the warning does not mention the backup"
LC_ALL=C grep -q $'[\x01-\x08\x0b-\x1f\x7f]' program.out && fail "a control byte reached standard error"
move_to 240 190
kill -TERM "$pid"
ended_within 5 || fail "SIGTERM did not end the program"
cmp -s pelmo.ini.bak rejected || fail "pelmo.ini.bak is not the rejected file"
[ "$(cat pelmo.ini)" = "$saved" ] || fail "pelmo.ini: $(od -c pelmo.ini | head -3)"
rm pelmo.ini.bak rejected

echo "== SIGKILL at varying moments of the save at quit: the old file or the new one, and nothing else"
# A few dozen rounds, bounded in time; each moves the window so that the
# new file differs from the old.
# The save takes a few milliseconds, less than a sleep command costs to
# start: the delays are spun in the shell, from nothing to about 4 ms.
spin() { local i; for ((i = 0; i < $1; i++)); do :; done; }
t0=$EPOCHREALTIME
spin 20000
per_ms=$((20000 * 1000 / (${EPOCHREALTIME/./} - ${t0/./} + 1)))
rounds=0 old_kept=0 new_written=0
deadline=$((SECONDS + 60))
while ((rounds < 40 && SECONDS < deadline)); do
  old=$(cat pelmo.ini)
  start
  move_to $((100 + rounds * 7 % 300)) $((80 + rounds * 13 % 200))
  kill -TERM "$pid"
  spin $((per_ms * (rounds * 37 % 41) / 10))
  kill -KILL "$pid" 2>/dev/null || true
  ended_within 5 || fail "round $rounds: still running after SIGKILL"
  wait "$app" 2>/dev/null || true
  now=$(cat pelmo.ini)
  if [ "$now" = "$old" ]; then
    old_kept=$((old_kept + 1))
  elif [ "$now" = "$saved" ]; then
    new_written=$((new_written + 1))
  else
    fail "round $rounds: pelmo.ini is neither the old nor the new content: $(od -c pelmo.ini | head -3)"
  fi
  # A kill between the temporary file's naming and its rename leaves it;
  # the next save clears it.
  for left in $(leftovers); do
    [[ $left == pelmo.ini.pelmo-tmp-* ]] || fail "round $rounds: left behind: $left"
  done
  rounds=$((rounds + 1))
done
((rounds >= 20)) || fail "only $rounds rounds within the time"
start
kill -TERM "$pid"
ended_within 5 || fail "SIGTERM did not end the program"
[ -z "$(leftovers)" ] || fail "a save left behind: $(leftovers)"
echo "ok: $rounds rounds, the old file kept $old_kept times, the new one written $new_written times"
