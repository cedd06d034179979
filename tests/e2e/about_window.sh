#!/bin/bash
# The About window as a user meets it: opened from the tray menu, its size
# and taskbar entry, the link highlight in screenshots, links handed to a
# stub xdg-open, OK, and reopening.
#   about_window.sh PELMODESK SCREENSHOT_DIR [sanitized]
set -euo pipefail
program=$(realpath "$1")
shots=$(realpath -m "$2")
. "$(dirname "$0")/lib.sh"
find_libraries_beside "$program" "${3:-}"
mkdir -p "$shots"
start_display wm
start_tray_host
cd "$work"
# A stub URL opener, first on PATH, that writes down what it was given and
# the environment it got.
mkdir bin
printf '#!/bin/sh\nprintf "%%s\\n" "$*" >>"%s/opened"\nenv >"%s/opener-env"\n' "$work" "$work" >bin/xdg-open
chmod +x bin/xdg-open
PATH=$work/bin:$PATH dbus-run-session -- "$program" >"$work/program.out" 2>&1 &
app=$!
pids+=($app)
wait_window pelmodesk >/dev/null
sleep 0.5

# The About window: 220 x 130 of client area inside its own 4-pixel sizing border.
open_about() {
  local icon ix iy
  icon=$(xwininfo -root -tree | awk '/"pelmodesk".* 22x22\+/ {print $1}')
  [ -n "$icon" ] || fail "no tray icon"
  read -r ix iy < <(window_origin "$icon")
  xdotool mousemove $((ix + 11)) $((iy + 11)) click 3
  sleep 0.5
  xdotool key Down Down Down Down Down Return
  for _ in $(seq 40); do [ -n "$(about_window)" ] && break; sleep 0.05; done
  about=$(about_window)
  [ -n "$about" ] || fail "the About window did not open"
  read -r ax ay < <(window_origin "$about")
}
# Pixels close to pure blue in a part of the screen: a highlighted link.
blue_in() {
  screenshot "$work/now.png"
  convert "$work/now.png" -crop "$1" +repage -fuzz 35% -fill white +opaque "rgb(0,0,255)" \
    -fill black -opaque "rgb(0,0,255)" -format "%[fx:int((1-mean)*w*h)]" info:
}
web_link() { echo "200x14+$((ax + 8))+$((ay + 76))"; }
mail_link() { echo "130x13+$((ax + 76))+$((ay + 60))"; }

echo "== opened from the menu: its size, a taskbar entry, no title bar"
open_about
xprop -id "$about" _NET_WM_STATE | grep -q SKIP_TASKBAR && fail "the About window has no taskbar entry"
xprop -id "$about" _NET_WM_WINDOW_TYPE | grep -q _NET_WM_WINDOW_TYPE_NORMAL || fail "not a normal window"
extents=$(xprop -id "$about" _NET_FRAME_EXTENTS)
[[ $extents =~ =\ 0,\ 0,\ 0,\ 0 ]] || fail "the window manager decorated it: $extents"
screenshot "$shots/about.png"
[ "$(blue_in "$(web_link)")" -lt 5 ] || fail "the web link is highlighted before any move"

echo "== choosing about again brings the same window, not a second one"
first=$about
open_about
[ "$about" = "$first" ] || fail "a second About window"

echo "== the highlight follows the pointer"
xdotool mousemove $((ax + 30)) $((ay + 82)) sleep 0.3
screenshot "$shots/about-web-link.png"
[ "$(blue_in "$(web_link)")" -ge 20 ] || fail "the web link is not highlighted under the pointer"
xdotool mousemove $((ax + 100)) $((ay + 66)) sleep 0.3
screenshot "$shots/about-mail-link.png"
[ "$(blue_in "$(mail_link)")" -ge 20 ] || fail "the mail link is not highlighted under the pointer"
[ "$(blue_in "$(web_link)")" -lt 5 ] || fail "the web link kept its highlight"
xdotool mousemove $((ax + 30)) $((ay + 30)) sleep 0.3  # onto a greeting label: no change
[ "$(blue_in "$(mail_link)")" -ge 20 ] || fail "a plain label took the highlight away"
xdotool mousemove $((ax + 200)) $((ay + 50)) sleep 0.3  # bare background
[ "$(blue_in "$(mail_link)")" -lt 5 ] || fail "the background did not clear the highlight"

echo "== a link click hands exactly its caption to xdg-open; the window stays"
xdotool mousemove $((ax + 30)) $((ay + 82)) click 1
xdotool mousemove $((ax + 100)) $((ay + 66)) click 1
for _ in $(seq 40); do [ "$(wc -l <"$work/opened" 2>/dev/null || echo 0)" -ge 2 ] && break; sleep 0.05; done
[ "$(cat "$work/opened")" = "$(printf 'https://example.org/pelmodesk/\nmailto:pmd@example.org')" ] ||
  fail "xdg-open was given: $(cat "$work/opened")"
[ -n "$(about_window)" ] || fail "the window closed after a link"
# Qt's start-up settings are the program's own, not its children's.
grep -E '^QT_(NO_GLIB|XCB_NO_MITSHM)=' "$work/opener-env" && fail "the opener inherited Qt's start-up settings"

echo "== a double-click on a link opens it once"
xdotool mousemove $((ax + 30)) $((ay + 82)) click --repeat 2 --delay 80 1
for _ in $(seq 40); do [ "$(wc -l <"$work/opened")" -ge 3 ] && break; sleep 0.05; done
sleep 0.5
[ "$(wc -l <"$work/opened")" = 3 ] || fail "a double-click opened the link $(($(wc -l <"$work/opened") - 2)) times"

echo "== Escape does nothing; Enter presses OK"
xdotool windowactivate --sync "$about" 2>/dev/null || true
xdotool key Escape
sleep 0.3
[ -n "$(about_window)" ] || fail "Escape closed the window"
xdotool key Return
sleep 0.5
[ -z "$(about_window)" ] || fail "OK did not close the window"

echo "== closed by the window manager (Alt+F4): gone, and \"about\" builds it again"
open_about
xdotool windowactivate --sync "$about" 2>/dev/null || true
xdotool key alt+F4
sleep 0.5
[ -z "$(about_window)" ] || fail "Alt+F4 did not close the window"
kill -0 "$app" || fail "the program ended with the About window"

echo "== reopened afresh: the links are plain again"
open_about
[ "$(blue_in "$(mail_link)")" -lt 5 ] || fail "the mail link is still highlighted after reopening"
screenshot "$shots/about-reopened.png"

echo "== quitting closes it too"
read -r mx my < <(client_origin "$(monitor_windows)")
xdotool mousemove $((mx + 120)) $((my + 4)) sleep 0.2
icon=$(xwininfo -root -tree | awk '/"pelmodesk".* 22x22\+/ {print $1}')
read -r ix iy < <(window_origin "$icon")
xdotool mousemove $((ix + 11)) $((iy + 11)) click 3
sleep 0.5
xdotool key Down Down Down Down Return
for _ in $(seq 60); do kill -0 "$app" 2>/dev/null || break; sleep 0.05; done
kill -0 "$app" 2>/dev/null && fail "still running after quit"
wait "$app" || fail "exit status $?"
echo "ok: screenshots in $shots"
