#!/bin/bash
# The monitor window as a user sees it, under openbox on a virtual display,
# fed by the scripted statistics library.
#   monitor_window.sh PELMODESK FAKE_LIBRARY_DIR [SCREENSHOT_DIR]
set -euo pipefail
program=$1
fake_dir=$2
shots=${3:-$(dirname "$program")/screenshots}
. "$(dirname "$0")/lib.sh"
mkdir -p "$shots"

start_display wm
script=$work/script
printf 'GetResInfo 90 0 0\nGetCpuUsage 5\nMemoryLoad 80\n' >"$script"
PELMO_FAKE_RESINFO=$script LD_LIBRARY_PATH=$fake_dir dbus-run-session -- "$program" >"$work/program.out" 2>&1 &
app=$!
pids+=($app)
win=$(wait_window pelmodesk)
sleep 1.2  # two ticks

echo "== client area 242 x 39 at the design position, no title bar"
info=$(xwininfo -id "$win")
grep -q "Width: 242" <<<"$info" || fail "width: $info"
grep -q "Height: 39" <<<"$info" || fail "height: $info"
extents=$(xprop -id "$win" _NET_FRAME_EXTENTS)
# Only a thin border: a title bar would make the top extent tall.
[[ $extents =~ =\ ([0-9]+),\ ([0-9]+),\ ([0-9]+),\ ([0-9]+) ]] || fail "no frame extents: $extents"
(( BASH_REMATCH[3] <= 2 )) || fail "a title bar: $extents"

echo "== no taskbar button"
xprop -id "$win" _NET_WM_STATE | grep -q _NET_WM_STATE_SKIP_TASKBAR || fail "taskbar: $(xprop -id "$win" _NET_WM_STATE)"

echo "== the picture, the logo and the labels on screen"
read -r ox oy < <(window_origin "$win")
screenshot "$shots/monitor.png"
convert "$shots/monitor.png" -crop "242x39+$ox+$oy" +repage "$shots/monitor-window.png"
colour_near "$(pixel "$shots/monitor-window.png" 1 1)" "101,209,80" 6 || fail "gradient start: $(pixel "$shots/monitor-window.png" 1 1)"
colour_near "$(pixel "$shots/monitor-window.png" 240 22)" "255,255,255" 4 || fail "gradient end: $(pixel "$shots/monitor-window.png" 240 22)"
colour_near "$(pixel "$shots/monitor-window.png" 173 2)" "51,0,153" 4 || fail "logo plate: $(pixel "$shots/monitor-window.png" 173 2)"
# Text in "MEM": dark pixels in its box.
dark=$(convert "$shots/monitor-window.png" -crop 24x12+8+24 +repage -threshold 40% -negate -format "%[fx:int(mean*w*h)]" info:)
(( dark >= 25 )) || fail "no text in the MEM label ($dark dark pixels)"

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

echo "== SIGTERM ends it cleanly"
kill -TERM "$(xdotool getwindowpid "$win")"
for _ in $(seq 40); do kill -0 "$app" 2>/dev/null || break; sleep 0.05; done
kill -0 "$app" 2>/dev/null && fail "still running after SIGTERM"
wait "$app" || fail "exit status $? after SIGTERM"  # dbus-run-session passes the program's on

echo "== a missing statistics library ends the program at the first tick"
mkdir "$work/alone"
cp "$program" "$work/alone/"
start=$(date +%s%N)
"$work/alone/$(basename "$program")" >"$work/alone.out" 2>&1 &
alone=$!
pids+=($alone)
for _ in $(seq 60); do grep -q "実行時エラー" "$work/alone.out" && break; sleep 0.05; done
grep -q "実行時エラー '53'" "$work/alone.out" || fail "no report: $(cat "$work/alone.out")"
grep -q "libresinfo.so" "$work/alone.out" || fail "report does not name the library"
box=$(timeout 5 xdotool search --sync --onlyvisible --name '^pelmodesk$' | tail -n 1)
screenshot "$shots/missing-library.png"
xdotool windowactivate --sync "$box" key Return 2>/dev/null || xdotool key --window "$box" Return
for _ in $(seq 60); do kill -0 "$alone" 2>/dev/null || break; sleep 0.05; done
status=0
wait "$alone" || status=$?
[ "$status" = 1 ] || fail "exit status $status after the report"
echo "ok: screenshots in $shots"
