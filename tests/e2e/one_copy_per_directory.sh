#!/bin/bash
# One copy per settings directory, whatever the start's environment: a
# second start in the same directory shows the running copy's window and
# ends; other directories run side by side; a copy killed with SIGKILL
# holds nothing; starts with other runtime and temporary directories, from
# a path longer than PATH_MAX through a link, or beside another user who
# holds the directory's lock and the first bells, still meet the running
# copy; and a stream of connections to it leaves it running.
#   one_copy_per_directory.sh PELMODESK [sanitized]
set -euo pipefail
program=$(realpath "$1")
. "$(dirname "$0")/lib.sh"
find_libraries_beside "$program" "${2:-}"
start_display wm
start_tray_host
mkdir "$work/a" "$work/b"
mkdir -m 700 "$work/tmp"
touch "$work/started"
# User nobody may enter the scratch directory and read directory a.
chmod 711 "$work"
chmod 755 "$work/a"
export TMPDIR=$work/tmp XDG_RUNTIME_DIR=$work/tmp

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
# A second start in directory $1, $depth directories further down (env's
# arguments after it), must be answered: status 0 within 10 s, and still
# one window.
depth=0
second_start() {
  local where=$1 status=0
  shift
  (cd "$where" && for _ in $(seq $depth); do cd d*; done && exec timeout 10 env "$@" "$program") \
    >"$work/second.out" 2>&1 || status=$?
  [ "$status" = 0 ] || fail "a second start ($*) ended with status $status: $(cat "$work/second.out")"
  [ "$(monitor_windows | wc -l)" = 1 ] || fail "$(monitor_windows | wc -l) monitor windows after a start with $*"
}

echo "== a second start in the same directory shows the first copy's hidden window and ends with status 0"
start_in a
first=$app first_main=$main
read -r x y < <(client_origin "$main")
# A copy just started (slower still under the sanitizers) may not yet know
# the tray that lets it hide: a second double-click a moment later counts.
for attempt in 1 2; do
  xdotool mousemove $((x + 120)) $((y + 4)) click --repeat 2 --delay 60 1
  for _ in $(seq 40); do mapped "$first_main" || break; sleep 0.05; done
  mapped "$first_main" || break
done
mapped "$first_main" && fail "a double-click did not hide the window"
second_start "$work/a"
for _ in $(seq 40); do mapped "$first_main" && break; sleep 0.05; done
mapped "$first_main" || fail "the first copy's window was not shown"
[ -e "$work/a/pelmo.ini" ] && fail "the second start wrote pelmo.ini"

echo "== starts whose runtime, temporary and home directories differ meet the same copy"
mkdir -m 1777 "$work/tmp2"
setpriv --reuid=65534 --regid=65534 --clear-groups ln -s "$work/a" "$work/tmp2/pelmodesk-$UID"
second_start "$work/a" -u XDG_RUNTIME_DIR TMPDIR="$work/tmp2"
second_start "$work/a" XDG_RUNTIME_DIR="$work/missing" TMPDIR=
second_start "$work/a" XDG_RUNTIME_DIR= HOME=/nonexistent
second_start "$work/a" XDG_RUNTIME_DIR=relative TMPDIR=/
made=$(find "$work/tmp" "$work/tmp2" /tmp -maxdepth 2 -name "pelmodesk-*" -user "$UID" -newer "$work/started" 2>/dev/null)
[ -z "$made" ] || fail "the claim made files that a cleaner may remove: $made"

echo "== from a working directory longer than 4096 characters, a link to the running copy's pelmo.ini"
depth=22
step=$(printf 'd%.0s' $(seq 200))
long=$(cd "$work/b" && for _ in $(seq $depth); do mkdir "$step" && cd "$step"; done &&
  ln -s "$work/a/pelmo.ini" pelmo.ini && echo "${#PWD}")
[ "$long" -gt 4096 ] || fail "the deep directory is only $long characters"
second_start "$work/b"
depth=0

echo "== a stream of connections for 10 s leaves the copy running, its window shown, and it saves at SIGTERM"
read -r dev ino < <(stat -c '%d %i' "$work/a")
bell=$(printf 'pelmodesk/%s/%x:%x/0' "$UID" "$dev" "$ino")
connections=$(timeout 20 /usr/bin/python3 -c '
import socket, sys, time
end, n = time.time() + 10, 0
while time.time() < end and socket.socket(socket.AF_UNIX).connect_ex("\0" + sys.argv[1]) == 0:
    n += 1
print(n)' "$bell")
kill -0 "$first" || fail "the copy ended under the stream of connections: $(cat "$work/a.out")"
[ "${connections:-0}" -gt 100 ] || fail "only ${connections:-no} connections were made"
mapped "$first_main" || fail "the window is not shown"
kill -TERM "$(xdotool getwindowpid "$first_main")"
ended "$first" || fail "SIGTERM did not end it"
wait "$first" || fail "exit status $? after SIGTERM"
[ -e "$work/a/pelmo.ini" ] || fail "pelmo.ini was not written"

echo "== a copy in another directory runs beside one, and after SIGKILL the next start runs"
start_in a
first=$app first_main=$main
start_in b
sleep 0.5
kill -0 "$app" || fail "the copy in the other directory ended: $(cat "$work/b.out")"
[ "$(monitor_windows | wc -l)" = 2 ] || fail "$(monitor_windows | wc -l) monitor windows for two directories"
kill -TERM "$(xdotool getwindowpid "$main")"
ended "$app" || fail "SIGTERM did not end the copy in the other directory"
kill -KILL "$(xdotool getwindowpid "$first_main")"
ended "$first" || true
for _ in $(seq 40); do [ -z "$(monitor_windows)" ] && break; sleep 0.05; done
start_in a
sleep 0.5
kill -0 "$app" || fail "the start after SIGKILL ended: $(cat "$work/a.out")"
kill -TERM "$(xdotool getwindowpid "$main")"
ended "$app" || fail "SIGTERM did not end it"

# As user nobody: holds the lock on directory a and takes the first two
# bells of this user's. $1: bind (and no more), full (listen, queue full)
# or answer (listen, and say yes to every request).
squat() {
  setpriv --reuid=65534 --regid=65534 --clear-groups /usr/bin/python3 - "$1" "$work/a" "$UID" \
    >"$work/squatter.out" 2>&1 <<'SQUAT' &
import fcntl, os, socket, sys, threading, time
mode, directory, uid = sys.argv[1:]
st = os.stat(directory)
fcntl.flock(os.open(directory, os.O_RDONLY), fcntl.LOCK_EX)
held = []
for k in range(2):
    s = socket.socket(socket.AF_UNIX)
    s.bind("\0pelmodesk/%s/%x:%x/%d" % (uid, st.st_dev, st.st_ino, k))
    held.append(s)
    if mode == "full":  # a queue that takes no more
        s.listen(0)
        held += [socket.socket(socket.AF_UNIX, socket.SOCK_STREAM | socket.SOCK_NONBLOCK) for _ in range(2)]
        [c.connect_ex(s.getsockname()) for c in held[-2:]]
    elif mode == "answer":
        s.listen(8)
        threading.Thread(target=lambda s=s: [s.accept()[0].send(b"y") for _ in iter(int, 1)], daemon=True).start()
print("ready", flush=True)
time.sleep(600)
SQUAT
  squatter=$!
  pids+=($squatter)
  for _ in $(seq 100); do grep -q ready "$work/squatter.out" && break; sleep 0.05; done
  grep -q ready "$work/squatter.out" || fail "the squatter did not start: $(cat "$work/squatter.out")"
}

for mode in bind full answer; do
  echo "== another user holds the directory's lock and binds the first bells ($mode): a start runs, and a second finds it"
  squat $mode
  start_in a
  second_start "$work/a"
  kill -TERM "$(xdotool getwindowpid "$main")"
  ended "$app" || fail "SIGTERM did not end it"
  kill "$squatter"
done
echo ok
