# Helpers for driving the real program on a virtual X display.
# Source it, then call start_display; cleanup runs on exit.

work=$(mktemp -d)
pids=()

cleanup() {
  local pid
  # Children first: dbus-run-session leaves its bus daemon behind if it is
  # killed itself.
  for pid in "${pids[@]}"; do pkill -TERM -P "$pid" 2>/dev/null || true; done
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  wait 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

fail() {
  echo "FAIL: $*" >&2
  local log
  for log in "$work"/*.out; do
    [ -s "$log" ] && { echo "--- $(basename "$log")"; cat "$log"; } >&2
  done
  exit 1
}

# Until openbox runs, xprop says "no such atom on any window".
wm_ready() { [[ $(xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null) == *"window id #"* ]]; }

# A fresh Xvfb on a free display number; with "wm", openbox manages it.
start_display() {
  Xvfb -displayfd 3 -screen 0 800x600x24 -nolisten tcp 3>"$work/display" 2>"$work/xvfb.log" &
  display_server=$!
  pids+=($!)
  for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.05; done
  [ -s "$work/display" ] || fail "Xvfb did not start"
  export DISPLAY=":$(cat "$work/display")"
  for _ in $(seq 100); do xprop -root >/dev/null 2>&1 && break; sleep 0.05; done
  if [ "${1:-}" = wm ]; then
    start_window_manager openbox --sm-disable
    # openbox announces itself before it is ready for new windows
    sleep 0.5
  fi
}

# A window manager on the display: "$@" is its command. On a loaded machine
# one now and then fails to open a display that has just started: it gets
# more tries, a moment apart.
start_window_manager() {
  local try
  for try in 1 2 3; do
    [ "$try" = 1 ] || sleep 0.3
    "$@" >"$work/$1.out" 2>&1 &
    pids+=($!)
    for _ in $(seq 200); do
      wm_ready && return 0
      kill -0 $! 2>/dev/null || break
      sleep 0.05
    done
  done
  fail "$1 did not start"
}

# trayer as the notification area, at the screen's top right.
start_tray_host() {
  trayer --edge top --align right --widthtype pixel --width 120 --height 24 >"$work/trayer.out" 2>&1 &
  tray_host=$!
  pids+=($tray_host)
  sleep 0.5
}

# In a sanitized build the sanitizer's dlopen does not search the program's
# RUNPATH ($ORIGIN): there the program's directory goes into LD_LIBRARY_PATH.
# There also, leaks that belong to Qt's own libraries are not reported.
find_libraries_beside() {
  if [ "${2:-}" = sanitized ]; then
    export LD_LIBRARY_PATH=$(dirname "$1")
    export LSAN_OPTIONS=suppressions=$(realpath "$(dirname "${BASH_SOURCE[0]}")")/qt-leaks.supp:print_suppressions=0
    # Qt's libraries have no frame pointers: the fast unwinder stops in
    # them, short of the frame a suppression names.
    export ASAN_OPTIONS=${ASAN_OPTIONS:+$ASAN_OPTIONS:}fast_unwind_on_malloc=0
  fi
  return 0
}

# The id of the first visible window of the program's class.
wait_window() {
  local id
  id=$(timeout 10 xdotool search --sync --onlyvisible --class "$1" | head -n 1) || true
  [ -n "$id" ] || fail "no visible window of class $1: $(xwininfo -root -tree | grep -i "$1")"
  echo "$id"
}

# Screen position of a window's client area: "X Y".
window_origin() {
  xwininfo -id "$1" | awk '/Absolute upper-left X/ {x=$4} /Absolute upper-left Y/ {y=$4} END {print x, y}'
}

# The monitor window draws its own one-pixel border; its places (the ones
# pelmo.ini keeps) are those of the client area inside it.
monitor_windows() { xwininfo -root -tree | awk '/"pelmodesk".* 244x41\+/ {print $1}'; }
client_origin() { window_origin "$1" | awk '{print $1 + 1, $2 + 1}'; }
about_window() { xwininfo -root -tree | awk '/"pelmodesk".* 228x138\+/ {print $1}'; }

# The windows of process $1 a taskbar shows a button for: managed ones
# without the skip-taskbar state.
taskbar_windows() {
  local id
  for id in $(xprop -root _NET_CLIENT_LIST | grep -o '0x[0-9a-f]*'); do
    [[ $(xprop -id "$id" _NET_WM_PID) == *" = $1" ]] || continue
    xprop -id "$id" _NET_WM_STATE | grep -q _NET_WM_STATE_SKIP_TASKBAR || echo "$id"
  done
}

screenshot() { import -window root "$1"; }

# "R,G,B" of one pixel of a picture.
pixel() {
  convert "$1" -format "%[fx:int(255*p{$2,$3}.r)],%[fx:int(255*p{$2,$3}.g)],%[fx:int(255*p{$2,$3}.b)]" info:
}

# Succeeds when two colours differ by at most $3 in every channel.
colour_near() {
  local IFS=,
  read -r r1 g1 b1 <<<"$1"
  read -r r2 g2 b2 <<<"$2"
  local d=${3:-8}
  (( ${r1} - ${r2} <= d && ${r2} - ${r1} <= d && ${g1} - ${g2} <= d && ${g2} - ${g1} <= d && ${b1} - ${b2} <= d && ${b2} - ${b1} <= d ))
}

# The number of pixels that differ between the same area of two pictures.
area_difference() {
  local geometry=$3
  convert "$1" -crop "$geometry" +repage "$work/a.png"
  convert "$2" -crop "$geometry" +repage "$work/b.png"
  compare -metric AE "$work/a.png" "$work/b.png" null: 2>&1 || true
}
