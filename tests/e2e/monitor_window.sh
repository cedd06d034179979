#!/bin/bash
# The monitor window as a user sees it, under openbox on a virtual display,
# fed by the scripted statistics library.
#   monitor_window.sh PELMODESK FAKE_LIBRARY_DIR SCREENSHOT_DIR [sanitized]
# In a sanitized build the sanitizer's runtime stands between the program
# and dlopen, so the program's RUNPATH ($ORIGIN) is not searched; there the
# program's directory goes into LD_LIBRARY_PATH instead.
set -euo pipefail
program=$(realpath "$1")
fake_dir=$(realpath "$2")
shots=$(realpath -m "$3")
sanitized=${4:-}
origin_path() { [ "$sanitized" = sanitized ] && echo "$1" || true; }
. "$(dirname "$0")/lib.sh"
mkdir -p "$shots"

echo "== no display: said plainly, and status 1"
for display in unset :987; do
  status=0
  if [ $display = unset ]; then
    env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$program" >"$work/no-display.out" 2>&1 || status=$?
  else
    env -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM DISPLAY=$display "$program" >"$work/no-display.out" 2>&1 || status=$?
  fi
  [ "$status" = 1 ] || fail "exit status $status with DISPLAY $display: $(cat "$work/no-display.out")"
  grep -q "X11 または Wayland のディスプレイが見つかりません" "$work/no-display.out" ||
    fail "not said plainly with DISPLAY $display: $(cat "$work/no-display.out")"
done

start_display wm
cd "$work"  # where pelmo.ini is read and written
script=$work/script
printf 'GetResInfo 90 0 0\nGetCpuUsage 5\nMemoryLoad 80\n' >"$script"
PELMO_FAKE_RESINFO=$script LD_LIBRARY_PATH=$fake_dir:$(origin_path "$(dirname "$program")") dbus-run-session -- "$program" >"$work/program.out" 2>&1 &
app=$!
pids+=($app)
win=$(wait_window pelmodesk)
sleep 1.2  # two ticks

echo "== client area 242 x 39 at the design position, in a border of its own, no title bar"
info=$(xwininfo -id "$win")
grep -q "Width: 244" <<<"$info" && grep -q "Height: 41" <<<"$info" || fail "size: $info"
[ "$(client_origin "$win")" = "84 109" ] || fail "client area at $(client_origin "$win"), not 84 109"
# Nothing from the window manager: the border is the window's own.
extents=$(xprop -id "$win" _NET_FRAME_EXTENTS)
[[ $extents == *"= 0, 0, 0, 0" ]] || fail "decorated by the window manager: $extents"

echo "== no taskbar button"
xprop -id "$win" _NET_WM_STATE | grep -q _NET_WM_STATE_SKIP_TASKBAR || fail "taskbar: $(xprop -id "$win" _NET_WM_STATE)"

echo "== the picture, the logo and the labels on screen"
read -r ox oy < <(client_origin "$win")
screenshot "$shots/monitor.png"
convert "$shots/monitor.png" -crop "242x39+$ox+$oy" +repage "$shots/monitor-window.png"
for corner in "$((ox - 1)) $((oy - 1))" "$((ox + 242)) $((oy + 39))" "$((ox + 100)) $((oy - 1))" "$((ox - 1)) $((oy + 20))"; do
  colour_near "$(pixel "$shots/monitor.png" ${corner% *} ${corner#* })" "88,90,93" 0 || fail "no border at $corner"
done
colour_near "$(pixel "$shots/monitor-window.png" 1 1)" "101,209,80" 6 || fail "gradient start: $(pixel "$shots/monitor-window.png" 1 1)"
colour_near "$(pixel "$shots/monitor-window.png" 240 22)" "255,255,255" 4 || fail "gradient end: $(pixel "$shots/monitor-window.png" 240 22)"
colour_near "$(pixel "$shots/monitor-window.png" 173 2)" "51,0,153" 4 || fail "logo plate: $(pixel "$shots/monitor-window.png" 173 2)"
# Text in "MEM": dark pixels in its box.
dark=$(convert "$shots/monitor-window.png" -crop 24x12+8+24 +repage -threshold 40% -negate -format "%[fx:int(mean*w*h)]" info:)
(( dark >= 25 )) || fail "no text in the MEM label ($dark dark pixels)"

echo "== the temperature: dashes where the kernel reports no sensor"
tem=$(convert "$shots/monitor-window.png" -crop 30x14+33+7 +repage -threshold 40% -negate -trim -format '%h' info:)
if ls /sys/class/hwmon/*/temp*_input >/dev/null 2>&1; then
  (( tem > 5 )) || fail "TEM shows no number ($tem pixels high) although hwmon has sensors"
else
  (( tem <= 3 )) || fail "TEM shows more than dashes ($tem pixels high) with no sensor"
fi

echo "== the numbers follow the library"
sleep 1
screenshot "$work/same.png"
same=$(area_difference "$shots/monitor.png" "$work/same.png" "242x15+$ox+$((oy + 22))")
[ "$same" = 0 ] || fail "numbers changed without a change in the library ($same pixels)"
printf 'GetResInfo 20 0 0\nGetCpuUsage 93\nMemoryLoad 3\n' >"$script"
sleep 1.2
screenshot "$shots/monitor-changed.png"
for column in "32x13+$((ox + 30))+$((oy + 23))" "32x13+$((ox + 110))+$((oy + 23))" "32x13+$((ox + 190))+$((oy + 23))"; do
  diff=$(area_difference "$shots/monitor.png" "$shots/monitor-changed.png" "$column")
  (( diff > 10 )) || fail "number at $column did not change ($diff pixels)"
done

echo "== the tooltip of "MEM" shows on the window that is not the active one"
xprop -root _NET_ACTIVE_WINDOW | grep -qi "$(printf '0x%x' "$win")" && fail "the monitor window is the active one"
xdotool mousemove $((ox + 15)) $((oy + 30)) sleep 0.2 mousemove $((ox + 16)) $((oy + 30))
tip=
for _ in $(seq 60); do
  tip=$(xdotool search --onlyvisible --class pelmodesk | grep -vx "$win" | head -n 1) && [ -n "$tip" ] && break
  sleep 0.05
done
[ -n "$tip" ] || fail "no tooltip over MEM"
read -r tx ty < <(window_origin "$tip")
(( ty > oy + 30 && tx < ox + 60 )) || fail "a window at $tx $ty that is no tooltip of MEM"

kill -0 "$app" || fail "the program did not stay up"

echo "== SIGTERM ends it cleanly"
kill -TERM "$(xdotool getwindowpid "$win")"
for _ in $(seq 40); do kill -0 "$app" 2>/dev/null || break; sleep 0.05; done
kill -0 "$app" 2>/dev/null && fail "still running after SIGTERM"
wait "$app" || fail "exit status $? after SIGTERM"  # dbus-run-session passes the program's on

echo "== SIGTERM with nowhere to save: said on standard error, no box, and it ends with status 1"
mkdir "$work/doomed"
(cd "$work/doomed" && LD_LIBRARY_PATH=$(origin_path "$(dirname "$program")") exec "$program") >"$work/doomed.out" 2>&1 &
doomed=$!
pids+=($doomed)
for _ in $(seq 100); do [ "$(xdotool search --onlyvisible --pid "$doomed" 2>/dev/null)" ] && break; sleep 0.05; done
rm -r "$work/doomed"
kill -TERM "$doomed"
kill -TERM "$doomed" 2>/dev/null || true
for _ in $(seq 100); do kill -0 "$doomed" 2>/dev/null || break; sleep 0.05; done
kill -0 "$doomed" 2>/dev/null && fail "SIGTERM with a failed save left the program waiting: $(xwininfo -root -tree | grep pelmodesk)"
status=0
wait "$doomed" || status=$?
[ "$status" = 1 ] || fail "exit status $status after a failed save on SIGTERM"
grep -q "設定を保存できませんでした" "$work/doomed.out" || fail "the failed save was not reported: $(cat "$work/doomed.out")"

# Runs a copy of the program from a directory holding only the named
# libraries, and expects a run-time error naming the missing one at the
# first tick, in a message box and on standard error; OK (or SIGTERM, with
# "$answer") ends the program.
expect_missing() {
  local missing=$1 dir="$work/without-$1"
  shift
  mkdir "$dir"
  cp "$program" "$dir/"
  for lib in "$@"; do cp "$(dirname "$program")/$lib" "$dir/"; done
  LD_LIBRARY_PATH=$(origin_path "$dir") "$dir/$(basename "$program")" >"$dir.out" 2>&1 &
  local alone=$!
  pids+=($alone)
  for _ in $(seq 60); do grep -q "実行時エラー" "$dir.out" && break; sleep 0.05; done
  grep -q "実行時エラー '53'" "$dir.out" || fail "no report: $(cat "$dir.out")"
  grep -q "$missing" "$dir.out" || fail "the report does not name $missing"
  local box
  box=$(timeout 5 xdotool search --sync --onlyvisible --name '^pelmodesk$' | tail -n 1)
  screenshot "$shots/missing-$missing.png"
  if [ "${answer:-}" = TERM ]; then
    kill -TERM "$alone"
  else
    xdotool windowactivate --sync "$box" key Return 2>/dev/null || xdotool key --window "$box" Return
  fi
  for _ in $(seq 60); do kill -0 "$alone" 2>/dev/null || break; sleep 0.05; done
  local status=0
  wait "$alone" || status=$?
  [ "$status" = 1 ] || fail "exit status $status after the report of $missing"
}

echo "== a missing statistics library ends the program at the first tick"
expect_missing libresinfo.so libpinlatch.so
echo "== a missing port library too, after the tick's other readings; SIGTERM ends it as OK would"
answer=TERM expect_missing libpinlatch.so libresinfo.so
echo "ok: screenshots in $shots"
