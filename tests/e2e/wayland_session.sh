#!/bin/bash
# The program in a Wayland session, under a headless weston: on X11 where
# XWayland is offered, natively (without a title bar, keeping the saved place
# in pelmo.ini) where it is not.
#   wayland_session.sh PELMODESK SCREENSHOT_DIR [sanitized]
set -euo pipefail
program=$(realpath "$1")
shots=$(realpath -m "$2")
. "$(dirname "$0")/lib.sh"
find_libraries_beside "$program" "${3:-}"
# The EGL driver that Qt's Wayland plugin loads has no frame pointers: only
# the slow unwinder finds the library a leak of its belongs to.
[ -n "${LSAN_OPTIONS:-}" ] && export LSAN_OPTIONS=$LSAN_OPTIONS:fast_unwind_on_malloc=0
mkdir -p "$shots"
cd "$work"

# weston makes XWayland's socket where X servers keep theirs.
[ -d /tmp/.X11-unix ] || mkdir -m 1777 /tmp/.X11-unix
export XDG_RUNTIME_DIR=$work/runtime XDG_SESSION_TYPE=wayland WAYLAND_DISPLAY=pelmo-weston
mkdir -m 700 "$XDG_RUNTIME_DIR"
unset DISPLAY QT_QPA_PLATFORM
# --debug lets the scene graph and screenshots be read.
weston --backend=headless-backend.so --socket="$WAYLAND_DISPLAY" --xwayland --debug --use-pixman \
  >"$work/weston.out" 2>&1 &
pids+=($!)
for _ in $(seq 100); do [ -S "$XDG_RUNTIME_DIR/$WAYLAND_DISPLAY" ] && break; sleep 0.05; done
[ -S "$XDG_RUNTIME_DIR/$WAYLAND_DISPLAY" ] || fail "weston did not start"
for _ in $(seq 100); do grep -aq "xserver listening on display" "$work/weston.out" && break; sleep 0.05; done
xwayland=$(grep -ao "xserver listening on display :[0-9]*" "$work/weston.out" | awk '{print $NF}')
[ -n "$xwayland" ] || fail "weston offers no XWayland"

start() {
  "$program" >"$work/program.out" 2>&1 &
  app=$!
  pids+=($app)
}
stop() {
  kill -TERM "$app"
  for _ in $(seq 100); do kill -0 "$app" 2>/dev/null || break; sleep 0.05; done
  wait "$app" || fail "exit status $? after SIGTERM ($1)"
}
notices() { grep -c "Wayland では" "$work/program.out" || true; }
# "WIDTH HEIGHT" of the program's toplevel as weston shows it.
native_size() {
  local graph
  for _ in $(seq 100); do
    weston-debug -o "$work/scene.txt" scene-graph 2>/dev/null || true
    graph=$(grep -aA1 "top-level window 'pelmodesk'" "$work/scene.txt" | awk -F'[(), ]+' '/position:/ {print $5 - $2, $6 - $3}' || true)
    [ -n "$graph" ] && break
    sleep 0.05
  done
  [ -n "$graph" ] || fail "no pelmodesk window on weston: $(cat "$work/scene.txt")"
  echo "$graph"
}

echo "== XWayland offered: the program runs on X11"
DISPLAY=$xwayland start
DISPLAY=$xwayland wait_window pelmodesk >/dev/null
[ "$(notices)" = 0 ] || fail "the Wayland notice on X11: $(cat "$work/program.out")"
stop "on XWayland"

echo "== pure Wayland: native, no title bar, one notice, the saved place kept"
printf '3000\r\n6000\r\n0\r\n' >pelmo.ini
cp pelmo.ini saved.ini
start
read -r w h < <(native_size)
[ "$w x $h" = "244 x 41" ] || fail "the window is $w x $h on Wayland, not 244 x 41 (its client area in its own border)"
weston-screenshooter >/dev/null 2>&1 && mv wayland-screenshot-*.png "$shots/wayland-native.png"
stop "on Wayland"
[ "$(notices)" = 1 ] || fail "the Wayland notice, $(notices) times: $(cat "$work/program.out")"
cmp -s pelmo.ini saved.ini || fail "pelmo.ini after quit on Wayland: $(od -c pelmo.ini | head -3)"
echo "ok"
