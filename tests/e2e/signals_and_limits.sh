#!/bin/bash
# Signals and limits as a script or a hostile user meets them: a limit on
# processes too low to start, nohup and a background job's ignored SIGINT,
# and a /proc that hides the kernel's counters.
#   signals_and_limits.sh PELMODESK [sanitized]
set -euo pipefail
program=$(realpath "$1")
. "$(dirname "$0")/lib.sh"
find_libraries_beside "$program" "${2:-}"
start_display wm
cd "$work"
chmod 711 "$work"
mkdir -m 777 limited

echo "== ulimit -u 2 for a user with no other process: said in Japanese within 5 s, status 1, nothing written"
status=0
(cd limited && exec timeout 5 setpriv --reuid=54321 --regid=54321 --clear-groups prlimit --nproc=2 "$program") \
  >limit.out 2>&1 || status=$?
[ "$status" = 1 ] || fail "under ulimit -u 2: status $status: $(cat limit.out)"
grep -q "動かせるプロセスの数の上限 (ulimit -u) が低すぎるため起動できません。" limit.out || fail "$(cat limit.out)"
[ -z "$(ls limited)" ] || fail "written under ulimit -u 2: $(ls limited)"

# Starts the program as a shell starts a job, with "$@" before it; sets $app
# and $main.
start_as() {
  "$@" dbus-run-session -- "$program" >"$work/program.out" 2>&1 &
  app=$!
  pids+=($app)
  main=$(wait_window pelmodesk)
}
running() { sleep 0.5; kill -0 "$app" 2>/dev/null; }
ends_saved() {
  kill -TERM "$(xdotool getwindowpid "$main")"
  local status=0
  wait "$app" || status=$?
  [ "$status" = 0 ] || fail "exit status $status after SIGTERM: $(cat "$work/program.out")"
  [ -s pelmo.ini ] || fail "pelmo.ini was not written"
  rm pelmo.ini
}

echo "== nohup: SIGHUP leaves the program running, SIGTERM still ends it the ordinary way"
start_as nohup
kill -HUP "$(xdotool getwindowpid "$main")"
running || fail "SIGHUP ended the program started with nohup"
ends_saved

echo "== a job a script started in the background: SIGINT (ignored there) leaves it running"
set -m  # so that the shell does not ignore it itself: the job below does
start_as bash -c 'trap "" INT; exec "$@"' job
set +m
kill -INT "$(xdotool getwindowpid "$main")"
running || fail "SIGINT ended the program that started with it ignored"
ends_saved

echo "== a /proc that shows only processes: MEM, S_R and CPU show dashes, not 0"
start_as unshare -m --propagation private sh -c 'mount -t proc -o subset=pid proc /proc && exec "$@"' hidden
sleep 1.2  # two ticks
read -r ox oy < <(client_origin "$main")
screenshot "$work/hidden.png"
# Each number's place, right-aligned before its unit; a number stands 9
# pixels high, dashes 2.
for column in "22x13+$((ox + 40))+$((oy + 23))" "22x13+$((ox + 120))+$((oy + 23))" "22x13+$((ox + 200))+$((oy + 23))"; do
  high=$(convert "$work/hidden.png" -crop "$column" +repage -threshold 40% -negate -trim -format '%h' info:)
  (( high <= 3 )) || fail "the number at $column is $high pixels high: no dashes"
done
ends_saved
echo ok
