#!/bin/bash
# One copy per settings directory: a second start in the same directory
# shows the running copy's window and ends; other directories run side by
# side; a copy killed with SIGKILL leaves nothing that holds the next start.
#   one_copy_per_directory.sh PELMODESK [sanitized]
set -euo pipefail
program=$(realpath "$1")
. "$(dirname "$0")/lib.sh"
find_libraries_beside "$program" "${2:-}"
start_display wm
start_tray_host
mkdir "$work/a" "$work/b"

mapped() { xwininfo -id "$1" | grep -q IsViewable; }
# Starts a copy in directory $1 and waits for its window; sets $app and $main.
start_in() {
  local before
  before=$(monitor_windows)
  (cd "$work/$1" && exec dbus-run-session -- "$program") >"$work/$1.out" 2>&1 &
  app=$!
  pids+=($app)
  main=
  for _ in $(seq 100); do
    main=$(monitor_windows | grep -vxF -e "${before:-none}" | head -n 1) && [ -n "$main" ] && break
    sleep 0.05
  done
  [ -n "$main" ] || fail "no window for the copy in $1"
}
ended() {
  for _ in $(seq 100); do kill -0 "$1" 2>/dev/null || return 0; sleep 0.05; done
  return 1
}

echo "== a second start in the same directory shows the first copy's hidden window and ends with status 0"
start_in a
first=$app first_main=$main
read -r x y < <(client_origin "$main")
xdotool mousemove $((x + 120)) $((y + 4)) click --repeat 2 --delay 60 1
sleep 0.5
mapped "$first_main" && fail "a double-click did not hide the window"
status=0
(cd "$work/a" && exec timeout 10 "$program") >"$work/second.out" 2>&1 || status=$?
[ "$status" = 0 ] || fail "the second start ended with status $status"
for _ in $(seq 40); do mapped "$first_main" && break; sleep 0.05; done
mapped "$first_main" || fail "the first copy's window was not shown"
[ "$(monitor_windows | wc -l)" = 1 ] || fail "$(monitor_windows | wc -l) monitor windows"
[ -e "$work/a/pelmo.ini" ] && fail "the second start wrote pelmo.ini"
kill -0 "$first" || fail "the first copy ended"

echo "== a copy in another directory runs beside it"
start_in b
second=$app
sleep 0.5
kill -0 "$second" || fail "the copy in the other directory ended: $(cat "$work/b.out")"
[ "$(monitor_windows | wc -l)" = 2 ] || fail "$(monitor_windows | wc -l) monitor windows for two directories"
kill -TERM "$(xdotool getwindowpid "$main")"
ended "$second" || fail "SIGTERM did not end the copy in the other directory"

echo "== after SIGKILL, the next start in the directory runs"
kill -KILL "$(xdotool getwindowpid "$first_main")"
ended "$first" || true
for _ in $(seq 40); do [ -z "$(monitor_windows)" ] && break; sleep 0.05; done
start_in a
sleep 0.5
kill -0 "$app" || fail "the start after SIGKILL ended: $(cat "$work/a.out")"
kill -TERM "$(xdotool getwindowpid "$main")"
ended "$app" || fail "SIGTERM did not end it"
[ -e "$work/a/pelmo.ini" ] || fail "pelmo.ini was not written"
echo ok
