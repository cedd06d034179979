#!/bin/bash
# One copy per settings directory: a second start in the same directory
# shows the running copy's window and ends; other directories run side by
# side; a copy killed with SIGKILL leaves nothing that holds the next start;
# another user squatting the claim neither stops a start nor lets a second
# copy run.
#   one_copy_per_directory.sh PELMODESK [sanitized]
set -euo pipefail
program=$(realpath "$1")
. "$(dirname "$0")/lib.sh"
find_libraries_beside "$program" "${2:-}"
start_display wm
start_tray_host
mkdir "$work/a" "$work/b"
# The claim in a /tmp of the test's own, as where there is no
# XDG_RUNTIME_DIR; the squatter (user nobody) may enter the scratch
# directory and that /tmp.
unset XDG_RUNTIME_DIR
export TMPDIR=$work/tmp
mkdir -m 1777 "$TMPDIR"
chmod 711 "$work"

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
# A copy just started (slower still under the sanitizers) may not yet know
# the tray that lets it hide: a second double-click a moment later counts.
for attempt in 1 2; do
  xdotool mousemove $((x + 120)) $((y + 4)) click --repeat 2 --delay 60 1
  for _ in $(seq 40); do mapped "$first_main" || break; sleep 0.05; done
  mapped "$first_main" || break
done
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
[ -z "$(ls "$TMPDIR/pelmodesk-$UID")" ] || fail "the ended copy left $(ls "$TMPDIR/pelmodesk-$UID")"

# As user nobody, takes every name of the claim on directory a it can: the
# abstract socket name earlier versions used and the socket in the runtime
# directory. $1: bind (and no more), full (listen, queue full) or answer
# (listen, and say yes to every request).
squat() {
  local dev ino
  read -r dev ino < <(stat -c '%d %i' "$work/a")
  setpriv --reuid=65534 --regid=65534 --clear-groups /usr/bin/python3 - "$1" "pelmodesk/$UID/$dev:$ino" \
    "$(printf '%s/pelmodesk-%s/pelmodesk-%x-%x.socket' "$TMPDIR" "$UID" "$dev" "$ino")" \
    >"$work/squatter.out" 2>&1 <<'SQUAT' &
import socket, sys, threading, time
mode, names = sys.argv[1], ["\0" + sys.argv[2], sys.argv[3]]
held = []
for name in names:
    s = socket.socket(socket.AF_UNIX)
    try:
        s.bind(name)
    except OSError as e:
        print("refused", repr(name), e.strerror, flush=True)
        continue
    print("bound", repr(name), flush=True)
    held.append(s)
    if mode == "full":
        s.listen(0)
        for _ in range(8):
            c = socket.socket(socket.AF_UNIX)
            c.setblocking(False)
            try:
                c.connect(name)
            except OSError:
                break
            held.append(c)
    elif mode == "answer":
        s.listen(8)
        threading.Thread(target=lambda s=s: [s.accept()[0].send(b"y") for _ in iter(int, 1)], daemon=True).start()
print("ready", flush=True)
time.sleep(600)
SQUAT
  squatter=$!
  pids+=($squatter)
  for _ in $(seq 100); do grep -q ready "$work/squatter.out" && break; sleep 0.05; done
  grep -q "^bound '\\\\x00pelmodesk/" "$work/squatter.out" || fail "the squatter could not take the abstract name"
  grep -q "^refused '/" "$work/squatter.out" || fail "the squatter reached the runtime directory"
}

for mode in bind full answer; do
  echo "== another user binds the claim's names ($mode): a start runs, claimed, and a second start finds it"
  squat $mode
  start_in a
  status=0
  (cd "$work/a" && exec timeout 10 "$program") >"$work/second.out" 2>&1 || status=$?
  [ "$status" = 0 ] || fail "the second start ended with status $status"
  [ "$(monitor_windows | wc -l)" = 1 ] || fail "$(monitor_windows | wc -l) monitor windows"
  kill -TERM "$(xdotool getwindowpid "$main")"
  ended "$app" || fail "SIGTERM did not end it"
  kill "$squatter"
done

echo "== another user made the runtime directory first: it is not used, and the program runs"
export TMPDIR=$work/tmp2
mkdir -m 1777 "$TMPDIR"
setpriv --reuid=65534 --regid=65534 --clear-groups mkdir -m 777 "$TMPDIR/pelmodesk-$UID"
start_in a
grep -q "pelmodesk-$UID: 自分だけのディレクトリ" "$work/a.out" || fail "the refused directory was not said"
kill -TERM "$(xdotool getwindowpid "$main")"
ended "$app" || fail "SIGTERM did not end it"
[ -z "$(ls "$TMPDIR/pelmodesk-$UID")" ] || fail "something was put in the refused directory"
echo ok
