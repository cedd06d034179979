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
# The program's exit status, once it has ended.
status_of_app() { local status=0; wait "$app" || status=$?; echo "$status"; }
leftovers() { find . -maxdepth 2 -name 'pelmo.ini?*' ! -name pelmo.ini.bak ! -name '*.out' -printf '%P '; }

echo "== under ulimit -n 8 or 12 a start says the limit is too low, ends with status 1 and leaves pelmo.ini alone"
limited() { dbus-run-session -- bash -c 'ulimit -n "$1" && exec "$2"' limited "$1" "$program"; }
for limit in 8 12; do
  status=0
  limited $limit >limit.out 2>&1 || status=$?
  [ "$status" = 1 ] || fail "under ulimit -n $limit: status $status: $(cat limit.out)"
  grep -q "開けるファイルの数の上限 (ulimit -n) が低すぎるため起動できません。[0-9]* 以上にしてください。" limit.out ||
    fail "under ulimit -n $limit: $(cat limit.out)"
done
[ -z "$(ls pelmo.ini* 2>/dev/null)" ] || fail "left: $(ls pelmo.ini*)"
echo "== at the limit it names, the program runs and saves"
needed=$(grep -o '[0-9]* 以上' limit.out | cut -d' ' -f1)
limited "$needed" >program.out 2>&1 &
app=$!
pids+=($app)
main=$(wait_window pelmodesk)
pid=$(xdotool getwindowpid "$main")
move_to 210 160
kill -TERM "$pid"
ended_within 5 || fail "SIGTERM did not end the program"
[ "$(status_of_app)" = 0 ] || fail "under ulimit -n $needed: $(cat program.out)"
[ "$(cat pelmo.ini)" = "$saved" ] || fail "pelmo.ini under ulimit -n $needed: $(od -c pelmo.ini | head -3)"
rm pelmo.ini limit.out

echo "== a FIFO in the file's place does not hold the start up, and is left alone"
mkfifo pelmo.ini
start
grep -q "pelmo.ini: 通常のファイルではありません" program.out || fail "no warning about the FIFO"
kill -TERM "$pid"
ended_within 5 || fail "SIGTERM did not end the program"
[ -p pelmo.ini ] || fail "the FIFO was replaced"
grep -q "設定を保存できませんでした: pelmo.ini: 通常のファイルではありません" program.out || fail "the failed save was not said"
[ "$(status_of_app)" = 1 ] || fail "a failed save at SIGTERM did not end with status 1"
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
[ "$(status_of_app)" = 1 ] || fail "a failed save at SIGTERM did not end with status 1"
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
[ "$(status_of_app)" = 0 ] || fail "a save at SIGTERM did not end with status 0"
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
rm pelmo.ini.bak

echo "== SIGKILL while a save that keeps pelmo.ini.bak has named the backup: pelmo.ini still holds the old file"
# strace holds the return of the save's first rename for 3 s; the kill
# comes once the backup has its name.
cp rejected pelmo.ini
start
move_to 250 200
strace -p "$pid" -qq -o /dev/null -e trace=rename,renameat,renameat2 \
  -e inject=rename,renameat,renameat2:delay_exit=3000000:when=1 2>"$work/strace.out" &
pids+=($!)
for _ in $(seq 100); do [ "$(awk '/TracerPid/ {print $2}' /proc/"$pid"/status)" != 0 ] && break; sleep 0.05; done
kill -TERM "$pid"
for _ in $(seq 60); do cmp -s pelmo.ini.bak rejected && break; sleep 0.05; done
cmp -s pelmo.ini.bak rejected || fail "the save did not reach its backup"
kill -KILL "$pid"
ended_within 5 || fail "still running after SIGKILL"
cmp -s pelmo.ini rejected || fail "pelmo.ini after the kill: $(ls -l; od -c pelmo.ini 2>&1 | head -3)"
start  # the same file rejected again, and this time saved
move_to 260 210
kill -TERM "$pid"
ended_within 5 || fail "SIGTERM did not end the program"
cmp -s pelmo.ini.bak rejected || fail "pelmo.ini.bak is not the rejected file"
[ "$(cat pelmo.ini)" = "$saved" ] || fail "pelmo.ini: $(od -c pelmo.ini | head -3)"
[ -z "$(leftovers)" ] || fail "left behind: $(leftovers)"
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
