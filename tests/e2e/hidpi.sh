#!/bin/bash
# The monitor window on a screen scaled 2x (QT_SCALE_FACTOR=2 on a virtual
# display): twice the size in the screen's pixels, the pictures scaled pixel
# for pixel, the text drawn at the real size, and pelmo.ini in the same twips
# of logical pixels as on an unscaled screen.
#   hidpi.sh PELMODESK SCREENSHOT_DIR [sanitized]
set -euo pipefail
program=$(realpath "$1")
shots=$(realpath -m "$2")
. "$(dirname "$0")/lib.sh"
find_libraries_beside "$program" "${3:-}"
mkdir -p "$shots"
start_display wm
cd "$work"

# The design position, as an unscaled screen writes it.
printf '1635\r\n1260\r\n1\r\n' >pelmo.ini
cp pelmo.ini saved.ini
QT_SCALE_FACTOR=2 dbus-run-session -- "$program" >"$work/program.out" 2>&1 &
app=$!
pids+=($app)
win=$(wait_window pelmodesk)

echo "== 484 x 78 screen pixels at twice the logical place, in a border twice as thick"
geometry=$(xwininfo -id "$win")
read -r x y < <(window_origin "$win" | awk '{print $1 + 2, $2 + 2}')
grep -q "Width: 488" <<<"$geometry" && grep -q "Height: 82" <<<"$geometry" || fail "size: $geometry"
[ "$x $y" = "168 218" ] || fail "client area at $x $y, not 168 218"

echo "== pictures in whole 2 x 2 squares, text finer than that"
sleep 0.7  # the first tick's numbers
screenshot "$work/screen.png"
convert "$work/screen.png" -crop "484x78+$x+$y" +repage "$shots/hidpi-window.png"
# Pixels that change when an area is halved and doubled again: none where a
# picture was scaled pixel for pixel.
blockiness() {
  convert "$shots/hidpi-window.png" -crop "$1" +repage "$work/area.png"
  convert "$work/area.png" -sample 50% -sample 200% "$work/squares.png"
  compare -metric AE "$work/area.png" "$work/squares.png" null: 2>&1 || true
}
[ "$(blockiness 340x16+0+0)" = 0 ] || fail "the background is not in whole squares: $(blockiness 340x16+0+0) pixels"
[ "$(blockiness 140x40+342+2)" = 0 ] || fail "the logo is not in whole squares: $(blockiness 140x40+342+2) pixels"
# "MEM": dark text, with edges a 2x-scaled rendering would not have.
dark=$(convert "$shots/hidpi-window.png" -crop 48x24+16+48 +repage -threshold 40% -negate -format "%[fx:int(mean*w*h)]" info:)
(( dark >= 100 )) || fail "no text in the MEM label ($dark dark pixels)"
fine=$(blockiness 48x24+16+48)
(( fine >= 20 )) || fail "the text is scaled up, not drawn at the real size ($fine fine pixels)"

echo "== a quit writes the place back in the same twips"
kill -TERM "$(xdotool getwindowpid "$win")"
for _ in $(seq 100); do kill -0 "$app" 2>/dev/null || break; sleep 0.05; done
wait "$app" || fail "exit status $? after SIGTERM"
cmp -s pelmo.ini saved.ini || fail "pelmo.ini at 2x: $(od -c pelmo.ini | head -3)"
echo "ok: $shots/hidpi-window.png"
