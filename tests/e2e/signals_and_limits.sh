#!/bin/bash
# Signals and limits as a script or a hostile user meets them: a limit on
# processes too low to start, signals ignored at start (nohup in a script's
# background job), and a /proc that hides the kernel's counters.
#   signals_and_limits.sh PELMODESK [sanitized]
set -euo pipefail
program=$(realpath "$1")
. "$(dirname "$0")/lib.sh"
find_libraries_beside "$program" "${2:-}"
start_display wm
cd "$work"
chmod 755 "$work"
mkdir -m 777 limited

echo "== ulimit -u 2 for a user with no other process: said in Japanese within 5 s, status 1, nothing written"
status=0
(cd limited && exec timeout 5 setpriv --reuid=54321 --regid=54321 --clear-groups prlimit --nproc=2 "$program") \
  >limit.out 2>&1 || status=$?
[ "$status" = 1 ] && grep -q "動かせるプロセスの数の上限 (ulimit -u) が低すぎるため起動できません。" limit.out &&
  [ -z "$(ls limited)" ] || fail "under ulimit -u 2: status $status, $(ls limited): $(cat limit.out)"

# Starts the program with "$@" before it, runs `check`, then ends it with
# SIGTERM: status 0 and pelmo.ini written.
run_and_check() {
  "$@" dbus-run-session -- "$program" >program.out 2>&1 &
  app=$!
  pids+=($app)
  main=$(wait_window pelmodesk)
  check
  kill -TERM "$(xdotool getwindowpid "$main")"
  wait "$app" || fail "exit status $? after SIGTERM: $(cat program.out)"
  [ -s pelmo.ini ] && rm pelmo.ini || fail "pelmo.ini was not written"
}

echo "== nohup in a script's background job: SIGHUP and SIGINT, ignored at start, leave it running"
check() {
  kill -HUP "$(xdotool getwindowpid "$main")"
  kill -INT "$(xdotool getwindowpid "$main")"
  sleep 0.5
  kill -0 "$app" || fail "an ignored signal ended the program"
}
run_and_check nohup

echo "== a /proc that shows only processes: MEM, S_R and CPU show dashes (2 pixels high), not a number (9)"
check() {
  sleep 1.2  # two ticks
  read -r ox oy < <(client_origin "$main")
  screenshot hidden.png
  for x in 40 120 200; do  # each number's place, right-aligned before its unit
    high=$(convert hidden.png -crop "22x13+$((ox + x))+$((oy + 23))" +repage -threshold 40% -negate -trim -format %h info:)
    ((high <= 3)) || fail "the number at $x is $high pixels high: no dashes"
  done
}
run_and_check unshare -m --propagation private sh -c 'mount -t proc -o subset=pid proc /proc && exec "$@"' hidden
echo ok
