#!/bin/bash
# The tray icon, its popup menu, dragging, always-on-top and the settings
# file, as a user meets them: under openbox with trayer as the tray host.
#   tray_and_menu.sh PELMODESK SCREENSHOT_DIR [sanitized]
set -euo pipefail
program=$(realpath "$1")
shots=$(realpath -m "$2")
. "$(dirname "$0")/lib.sh"
find_libraries_beside "$program" "${3:-}"
mkdir -p "$shots"
start_display wm
start_tray_host
cd "$work"

start() {
  dbus-run-session -- "$program" >"$work/program.out" 2>&1 &
  app=$!
  pids+=($app)
  main=$(wait_window pelmodesk)
  main=$(monitor_windows)
  [ -n "$main" ] || fail "no monitor window"
}
mapped() { xwininfo -id "$main" | grep -q "IsViewable"; }
above() { xprop -id "$main" _NET_WM_STATE | grep -q _NET_WM_STATE_ABOVE; }
# The icon's window can be replaced while it docks: looked up again until
# it holds still.
icon_centre() {
  local icon origin=
  for _ in $(seq 40); do
    icon=$(xwininfo -root -tree | awk '/"pelmodesk".* 22x22\+/ {print $1}')
    [ -n "$icon" ] && origin=$(window_origin "$icon" 2>/dev/null) && [[ $origin =~ ^[0-9]+\ [0-9]+$ ]] && break
    sleep 0.1
  done
  [[ $origin =~ ^[0-9]+\ [0-9]+$ ]] || fail "no icon in the tray"
  read -r x y <<<"$origin"
  echo "$((x + 11)) $((y + 11))"
}
press_icon() {
  read -r ix iy < <(icon_centre)
  xdotool mousemove "$ix" "$iy" click "$1"
  sleep 0.5
}
# The popup menu's window and the centre of its item number $1 (1 = show,
# 2 = hide, 3 = always on top, 4 = quit, 5 = about), measured as fractions
# of its height.
menu_item() {
  local menu geometry mx my mw mh
  menu=$(xwininfo -root -tree | awk '/"pelmodesk".* [0-9]+x[0-9]+\+/ && !/ 244x41\+/ && !/ 22x22\+/ && !/ 1x1\+/ && !/ 3x3\+/ && !found {print $1; found = 1}')
  [ -n "$menu" ] || fail "no popup menu"
  read -r mx my < <(window_origin "$menu")
  geometry=$(xwininfo -id "$menu")
  mw=$(awk '/Width:/ {print $2}' <<<"$geometry")
  mh=$(awk '/Height:/ {print $2}' <<<"$geometry")
  local fractions=(0 9 28 48 69 90)
  echo "$((mx + mw / 2)) $((my + mh * fractions[$1] / 100))"
}
position() { client_origin "$main"; }
# Waits for the program to end with status ${2:-0}, after $1.
ended() {
  local status=0
  for _ in $(seq 100); do kill -0 "$app" 2>/dev/null || break; sleep 0.05; done
  kill -0 "$app" 2>/dev/null && fail "still running after $1"
  wait "$app" || status=$?
  [ "$status" = "${2:-0}" ] || fail "exit status $status after $1"
}
# Chooses quit in the open menu with the mouse and waits for the program to
# end with status 0.
quit_from_menu() {
  read -r qx qy < <(menu_item 4)
  xdotool mousemove "$qx" "$qy" sleep 0.2 click 1
  ended "quit ($1)"
}
stop_tray_host() {
  kill "$tray_host"
  wait "$tray_host" 2>/dev/null || true
}
signal_program() { kill "-$1" "$(xdotool getwindowpid "$main")"; }

echo "== start without pelmo.ini: at the design position, normal z-order, icon in the tray"
start
mapped || fail "the window is not shown at start"
read -r x0 y0 < <(position)
[ "$x0 $y0" = "84 109" ] || fail "start position $x0 $y0"
above && fail "always on top without being asked"
screenshot "$shots/tray-start.png"

echo "== double-click on the background hides; a left press on the icon shows it again"
xdotool mousemove $((x0 + 120)) $((y0 + 4)) click --repeat 2 --delay 60 1
sleep 0.5
mapped && fail "a double-click did not hide the window"
press_icon 1
mapped || fail "a left press on the icon did not show the window"
read -r x y < <(position)
[ "$x $y" = "$x0 $y0" ] || fail "shown elsewhere: $x $y"

echo "== a right press opens the menu; the keyboard chooses always-on-top"
press_icon 3
screenshot "$shots/tray-menu.png"
menu_item 3 >/dev/null
xdotool key Down Down Down Return
sleep 0.5
above || fail "always-on-top was not set: $(xprop -id "$main" _NET_WM_STATE)"

echo "== the mouse chooses hide"
press_icon 3
read -r hx hy < <(menu_item 2)
xdotool mousemove "$hx" "$hy" sleep 0.2 click 1
sleep 0.5
mapped && fail "the hide item did not hide"
press_icon 1
mapped || fail "not shown again"
above || fail "always-on-top was lost across hiding"

echo "== dragging the background moves the window; a label does not"
xdotool mousemove $((x0 + 120)) $((y0 + 4)) mousedown 1 mousemove_relative --sync 20 10 sleep 0.1 \
  mousemove_relative --sync 30 20 sleep 0.1 mouseup 1
sleep 0.5
read -r x1 y1 < <(position)
[ "$x1 $y1" = "$((x0 + 50)) $((y0 + 30))" ] || fail "dragged to $x1 $y1, not $((x0 + 50)) $((y0 + 30))"
xdotool mousemove $((x1 + 12)) $((y1 + 28)) mousedown 1 mousemove_relative --sync 40 40 sleep 0.1 mouseup 1
sleep 0.3
read -r x y < <(position)
[ "$x $y" = "$x1 $y1" ] || fail "a press on a label moved the window"

echo "== quit from the menu writes pelmo.ini with the dragged position"
press_icon 3
quit_from_menu "from the icon's menu"
expected=$(printf '%d\r\n%d\r\n0\r\n' $((y1 * 15)) $((x1 * 15)))
[ "$(cat pelmo.ini)" = "$expected" ] || fail "pelmo.ini: $(od -c pelmo.ini | head -3)"
xwininfo -root -tree | grep -q '"pelmodesk".* 22x22+' && fail "the icon outlived the program"

echo "== the next start restores the place and always-on-top"
start
read -r x y < <(position)
[ "$x $y" = "$x1 $y1" ] || fail "restored at $x $y, not $x1 $y1"
above || fail "always-on-top not restored"
screenshot "$shots/tray-restored.png"

echo "== SIGTERM writes the settings"
rm pelmo.ini
signal_program TERM
ended SIGTERM
[ "$(cat pelmo.ini)" = "$expected" ] || fail "pelmo.ini after SIGTERM: $(od -c pelmo.ini | head -3)"

echo "== SIGTERM, SIGINT or SIGHUP with the icon's menu open ends it the ordinary way too"
expected=$(printf '%d\r\n%d\r\n1\r\n' $((y0 * 15)) $((x0 * 15)))  # from no file: the design's
# With job control, as from a terminal: a script's background job starts
# with SIGINT ignored, and the program leaves it so.
set -m
for sig in TERM INT HUP; do
  rm pelmo.ini
  start
  press_icon 3
  menu_item 1 >/dev/null
  signal_program $sig
  ended "SIG$sig with the menu open"
  [ "$(cat pelmo.ini)" = "$expected" ] || fail "pelmo.ini after SIG$sig: $(od -c pelmo.ini | head -3)"
  xwininfo -root -tree | grep -q '"pelmodesk".* 22x22+' && fail "the icon outlived the program (SIG$sig)"
done
set +m

echo "== the tray going away shows the hidden window; a tray that comes back gets the icon again"
start
read -r x y < <(position)
xdotool mousemove $((x + 120)) $((y + 4)) click --repeat 2 --delay 60 1
sleep 0.5
mapped && fail "a double-click did not hide the window"
stop_tray_host
for _ in $(seq 60); do mapped && break; sleep 0.05; done
mapped || fail "the window stayed hidden when the tray went away"
xdotool mousemove $((x + 120)) $((y + 4)) click --repeat 2 --delay 60 1
sleep 0.5
mapped || fail "hidden with no icon to bring it back"
start_tray_host
press_icon 3
read -r hx hy < <(menu_item 2)
xdotool mousemove "$hx" "$hy" sleep 0.2 click 1
sleep 0.5
mapped && fail "the hide item did not hide once the tray was back"
press_icon 1
mapped || fail "the icon in the new tray did not show the window"
press_icon 3
quit_from_menu "from a tray that came back"

echo "== with no tray host, a right press on the window opens the menu, and quit works"
stop_tray_host
sleep 0.3
start
mapped || fail "no window without a tray"
read -r x y < <(position)
# The "TEM" caption, the "MEM" number and the logo, then bare background.
for spot in "12 12" "50 30" "200 10"; do
  read -r sx sy <<<"$spot"
  xdotool mousemove $((x + sx)) $((y + sy)) click 3
  sleep 0.5
  menu_item 1 >/dev/null
  xdotool key Escape
  sleep 0.3
done
xdotool mousemove $((x + 120)) $((y + 4)) click 3
sleep 0.5
screenshot "$shots/no-tray-menu.png"
quit_from_menu "without a tray"

echo "== a tray that appears later gets the icon"
start
start_tray_host
icon_centre >/dev/null
press_icon 3
quit_from_menu "from a tray that appeared later"

echo "== the display going away: the last position is saved, and the program ends with status 0"
start
read -r x y < <(position)
xdotool mousemove $((x + 120)) $((y + 4)) mousedown 1 mousemove_relative --sync 10 10 sleep 0.1 \
  mousemove_relative --sync 20 10 sleep 0.1 mouseup 1
sleep 0.3
read -r x y < <(position)
kill -KILL "$display_server"
ended "the display was killed"
[ "$(head -n 2 pelmo.ini)" = "$(printf '%d\r\n%d\r' $((y * 15)) $((x * 15)))" ] ||
  fail "pelmo.ini after the display went: $(od -c pelmo.ini | head -3)"
echo "ok: screenshots in $shots"
