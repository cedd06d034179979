#!/bin/bash
# pelmodesk.exe as a user meets it, under Wine on a virtual display with
# openbox and trayer: the window, numbers from the scripted resinfo.dll, a
# temperature from an emulated chip and "--" where the port instructions
# fault, the tray icon and its menu, a drag, pelmo.ini at quit and at the
# next start, a second start, the About window and its links, a restarted
# shell, a logoff, Alt+F4, and a missing resinfo.dll; what a screen reader
# in another process learns through oleacc (reader_probe.exe), and the
# keyboard's ways to the menu and the links.
#   program_under_wine.sh SCREENSHOT_DIR
set -euo pipefail
shots=$(realpath -m "$1")
. "$(dirname "$0")/../e2e/lib.sh"
. "$(dirname "$0")/wine_lib.sh"
trap 'end_wine; cleanup' EXIT
mkdir -p "$shots"
build_windows_programs
use_japanese_locale
new_prefix e2e
start_display wm
# With a width of its own choosing, trayer often clips Wine's icon to nothing.
trayer --edge top --align right --widthtype pixel --width 48 --height 24 >"$work/trayer.out" 2>&1 &
tray_host=$!
pids+=($tray_host)

# Stub openers, first on PATH, that write down what Wine's browser hands them.
mkdir "$work/bin"
for opener in xdg-open xdg-email; do
  printf '#!/bin/sh\nprintf "%%s\\n" "$*" >>"%s/opened"\n' "$work" >"$work/bin/$opener"
  chmod +x "$work/bin/$opener"
done
export PATH=$work/bin:$PATH

# The program beside its libraries, the statistics one scripted.
app=$work/app
mkdir "$app"
cp "$win_build/pelmodesk.exe" "$win_build/pinlatch.dll" "$win_build/tests/win32/fake/resinfo.dll" "$app/"
script=$work/script
printf 'GetResInfo 90 0 0\nGetCpuUsage 5\nMemoryLoad 80\n' >"$script"
cd "$app"

# Starts the program (extra environment as arguments) and waits for its window.
start() {
  env PELMO_FAKE_RESINFO="$script" "$@" "$wine_loader" pelmodesk.exe >"$work/program.out" 2>&1 &
  program=$!
  pids+=($program)
  main=
  for _ in $(seq 100); do
    main=$(xdotool search --onlyvisible --class pelmodesk.exe 2>/dev/null | head -n 1) && [ -n "$main" ] && break
    sleep 0.1
  done
  [ -n "$main" ] || fail "no window"
}
mapped() { xwininfo -id "$main" | grep -q IsViewable; }
above() { xprop -id "$main" _NET_WM_STATE | grep -q _NET_WM_STATE_ABOVE; }
# The client area's top left: inside the one-pixel border Wine draws.
position() {
  local x y
  read -r x y < <(window_origin "$main")
  echo "$((x + 1)) $((y + 1))"
}
# Wine's icon window inside trayer.
icon() { xwininfo -root -tree | sed -n '/"panel": ("panel" "trayer")/,$p' | awk '/"explorer.exe"/ {print $1; exit}'; }
icon_centre() {
  local id x y
  for _ in $(seq 40); do id=$(icon) && [ -n "$id" ] && break; sleep 0.1; done
  [ -n "$id" ] || fail "no icon in the tray"
  read -r x y < <(window_origin "$id")
  echo "$((x + 10)) $((y + 11))"
}
press_icon() {
  read -r ix iy < <(icon_centre)
  xdotool mousemove "$ix" "$iy" click "$1"
  sleep 0.6
}
# The popup menu's item number $1 (1 show, 2 hide, 3 always on top, 4 quit,
# 5 about) at fractions of its height.
menu_item() {
  local menu mx my mh fractions=(0 9 24 45 67 89)
  menu=$(xdotool search --onlyvisible --class pelmodesk.exe | grep -vx "$main" | head -n 1) || true
  [ -n "$menu" ] || fail "no popup menu"
  read -r mx my < <(window_origin "$menu")
  mh=$(xwininfo -id "$menu" | awk '/Height:/ {print $2}')
  echo "$((mx + 60)) $((my + mh * fractions[$1] / 100))"
}
choose() {
  read -r cx cy < <(menu_item "$1")
  xdotool mousemove "$cx" "$cy" sleep 0.2 click 1
  sleep 0.5
}
# Waits for the program to end with status ${2:-0}, after $1.
ended() {
  local status=0
  for _ in $(seq 100); do kill -0 "$program" 2>/dev/null || break; sleep 0.05; done
  kill -0 "$program" 2>/dev/null && fail "still running after $1"
  wait "$program" || status=$?
  [ "$status" = "${2:-0}" ] || fail "exit status $status after $1"
  [ -z "$(icon)" ] || fail "the icon outlived the program ($1)"
}
# The monitor window is Windows' foreground window; the X focus follows by
# hand (Wine 8 asks no window manager to activate a window).
foreground() {
  timeout 20 "$wine_loader" "$win_build/reader_probe.exe" foreground >>"$work/foreground.out" 2>&1 || fail "$1"
  xdotool windowactivate --sync "$main" 2>/dev/null || true
}
# Starts it again (by the command given) while another program has the keys.
second_start() {
  xmessage -name elsewhere -center elsewhere & local other=$!
  xdotool search --sync --onlyvisible --classname elsewhere windowactivate --sync >/dev/null
  timeout 20 "$wine_loader" "${@:-pelmodesk.exe}" >"$work/second.out" 2>&1 || fail "a second start's status: $?"
  kill "$other"
  foreground "the second start did not bring the window to the front"
}
# Height in pixels of the ink in the temperature's number.
temperature_height() {
  screenshot "$work/tem.png"
  convert "$work/tem.png" -crop "22x14+$((ox + 40))+$((oy + 7))" +repage -threshold 40% -negate -trim -format '%h' info:
}

echo "== the window: client area 242 x 39 at the design position, a border, no title bar or taskbar button"
start PELMO_FAKE_CHIP_TEMP=41
sleep 1.2  # two ticks
info=$(xwininfo -id "$main")
grep -q "Width: 244" <<<"$info" && grep -q "Height: 41" <<<"$info" || fail "size: $info"
read -r ox oy < <(position)
[ "$ox $oy" = "84 109" ] || fail "start position $ox $oy"
xprop -id "$main" _NET_FRAME_EXTENTS | grep -q "= 0, 0, 0, 0" || fail "decorated: $(xprop -id "$main" _NET_FRAME_EXTENTS)"
xprop -id "$main" _NET_WM_STATE | grep -q _NET_WM_STATE_SKIP_TASKBAR || fail "a taskbar button"
above && fail "always on top without being asked"
screenshot "$shots/wine-monitor.png"
convert "$shots/wine-monitor.png" -crop "244x41+$((ox - 1))+$((oy - 1))" +repage "$work/w.png"
# The border in the system's window frame colour on all sides, not the picture.
border=$(pixel "$work/w.png" 0 20)
for at in "243 20" "120 0" "120 40"; do
  [ "$(pixel "$work/w.png" $at)" = "$border" ] || fail "the border differs at $at: $(pixel "$work/w.png" $at)"
done
colour_near "$border" "255,255,255" 40 && fail "no border: $border"
colour_near "$(pixel "$work/w.png" 2 2)" "101,209,80" 6 || fail "gradient start: $(pixel "$work/w.png" 2 2)"
colour_near "$(pixel "$work/w.png" 241 23)" "255,255,255" 4 || fail "gradient end: $(pixel "$work/w.png" 241 23)"
colour_near "$(pixel "$work/w.png" 174 3)" "51,0,153" 4 || fail "logo plate: $(pixel "$work/w.png" 174 3)"
dark=$(convert "$work/w.png" -crop 24x12+9+25 +repage -threshold 40% -negate -format "%[fx:int(mean*w*h)]" info:)
(( dark >= 25 )) || fail "no text in the MEM label ($dark dark pixels)"
# The bold labels solid black, as Windows draws them at this size: no grey
# edges from an anti-aliased made-up bold.
grey=$(convert "$work/w.png" -crop 242x14+1+24 +repage -colorspace gray -fx "u >= 0.16 && u < 0.5" \
  -format "%[fx:int(mean*w*h+0.5)]" info:)
(( grey == 0 )) || fail "grey edges on the labels' text ($grey pixels)"

echo "== the numbers follow resinfo.dll; the emulated chip's temperature shows"
(( $(temperature_height) > 5 )) || fail "no temperature from the emulated chip"
printf 'GetResInfo 20 0 0\nGetCpuUsage 93\nMemoryLoad 3\n' >"$script"
sleep 1.2
screenshot "$shots/wine-monitor-changed.png"
for column in "32x13+$((ox + 30))+$((oy + 23))" "32x13+$((ox + 110))+$((oy + 23))" "32x13+$((ox + 190))+$((oy + 23))"; do
  diff=$(area_difference "$shots/wine-monitor.png" "$shots/wine-monitor-changed.png" "$column")
  (( diff > 10 )) || fail "number at $column did not change ($diff pixels)"
done

echo "== a label's tooltip under the pointer, gone when the pointer leaves"
xdotool mousemove $((ox + 16)) $((oy + 29)) sleep 0.2 mousemove $((ox + 17)) $((oy + 30)) sleep 1.5
tip=$(xdotool search --onlyvisible --class pelmodesk.exe | grep -vx "$main" | head -n 1) || true
[ -n "$tip" ] || fail "no tooltip over MEM"
screenshot "$shots/wine-tooltip.png"
xdotool mousemove 400 400 sleep 0.5
xwininfo -id "$tip" | grep -q IsViewable && fail "the tooltip stayed"

echo "== a double-click hides, a left press on the icon shows; a right press opens the menu: hide, show"
# At a person's pace: a press shorter than Wine's start of the move by the
# window manager leaves the manager moving until the next press.
xdotool mousemove $((ox + 120)) $((oy + 4)) mousedown 1 sleep 0.2 mouseup 1 sleep 0.15 mousedown 1 sleep 0.1 mouseup 1
sleep 0.5
mapped && fail "a double-click did not hide the window"
press_icon 1
mapped || fail "a left press on the icon did not show the window"
press_icon 3
screenshot "$shots/wine-menu.png"
choose 2
press_icon 3
choose 1
mapped || fail "show did not show"

echo "== always on top: the check mark and _NET_WM_STATE_ABOVE"
press_icon 3
choose 3
above || fail "always-on-top was not set: $(xprop -id "$main" _NET_WM_STATE)"
press_icon 3
read -r cx cy < <(menu_item 3)
screenshot "$shots/wine-menu-checked.png"
marked=$(convert "$shots/wine-menu-checked.png" -crop "12x12+$((cx - 56))+$((cy - 6))" +repage -threshold 50% -negate \
  -format "%[fx:int(mean*w*h)]" info:)
(( marked >= 6 )) || fail "no check mark ($marked dark pixels)"

echo "== a drag moves the window; quit writes pelmo.ini with CR LF and removes the icon"
xdotool key Escape
xdotool mousemove $((ox + 120)) $((oy + 4)) mousedown 1 mousemove_relative --sync 20 10 sleep 0.1 \
  mousemove_relative --sync 30 20 sleep 0.1 mouseup 1
sleep 0.5
read -r x1 y1 < <(position)
[ "$x1 $y1" = "$((ox + 50)) $((oy + 30))" ] || fail "dragged to $x1 $y1"
press_icon 3
choose 4
ended "quit from the menu"
expected=$(printf '%d\r\n%d\r\n0\r\n' $((y1 * 15)) $((x1 * 15)))
[ "$(cat pelmo.ini)" = "$expected" ] || fail "pelmo.ini: $(od -c pelmo.ini | head -3)"

echo "== the next start restores the place and always-on-top"
start
read -r x y < <(position)
[ "$x $y" = "$x1 $y1" ] || fail "restored at $x $y"
above || fail "always-on-top not restored"

echo "== a second start in the same directory shows the running copy's window with the keyboard, and ends"
press_icon 3
choose 2
mapped && fail "hide did not hide"
second_start
mapped || fail "the running copy's window was not shown"

echo "== a restarted shell gets the icon again"
"$wine_loader" "$win_build/shell_restarted.exe" forget || fail "there was no icon to forget"
for _ in $(seq 20); do [ -z "$(icon)" ] && break; sleep 0.1; done
[ -z "$(icon)" ] || fail "the icon was not forgotten"
"$wine_loader" "$win_build/shell_restarted.exe" announce
icon_centre >/dev/null

echo "== a logoff unloads it: settings written, icon removed"
rm pelmo.ini
timeout 30 "$wine_loader" wineboot --end-session
ended "the logoff"
[ "$(cat pelmo.ini)" = "$expected" ] || fail "pelmo.ini after the logoff: $(od -c pelmo.ini | head -3)"

echo "== where in and out fault: \"--\" for the temperature, and the program goes on"
rm pelmo.ini
start
read -r ox oy < <(position)
sleep 1.2
screenshot "$shots/wine-no-chip.png"
(( $(temperature_height) <= 3 )) || fail "the temperature shows more than dashes"
kill -0 "$program" || fail "the program ended at the port instructions' fault"

echo "== a screen reader: the window ペルモ, its four readings named, a change announced once asked"
# The probe rewrites the script itself (see reader_probe.cpp); a few seconds.
timeout 40 "$wine_loader" "$win_build/reader_probe.exe" monitor "Z:$script" >"$work/reader.out" 2>&1 ||
  fail "what a screen reader hears of the monitor window"
cat "$work/reader.out"

echo "== a start by another name gives the window the keyboard; Shift+F10: the menu below it, chosen by the keys"
# The same directory through a link, by the link's short 8.3 name, in capitals.
ln -s "$app" "$work/Settings Link"
short=$("$wine_loader" cmd /c "dir /x Z:${work//\//\\}" |
  awk '/Settings Link/ {for (i = 1; i <= NF; i++) if ($i ~ /~/) print $i}' | tr -d '\r')
second_start start /d "Z:${work^^}/$short" /b /wait "Z:$app/pelmodesk.exe"
xdotool key shift+F10
sleep 0.6
menu=$(xdotool search --onlyvisible --class pelmodesk.exe | grep -vx "$main" | head -n 1) || true
[ -n "$menu" ] || fail "Shift+F10 opened no menu"
read -r mx my < <(window_origin "$menu")
[ "$mx $my" = "$ox $((oy + 39))" ] || fail "the menu at $mx $my, not below the window at $ox $oy"
# The keys go to the window that opened it, which keeps the X focus; the
# second item hides.
xdotool key Down sleep 0.1 key Down
screenshot "$shots/wine-menu-by-keys.png"
xdotool key Return
sleep 0.5
mapped && fail "the menu's second item, chosen by keyboard, did not hide the window"
press_icon 1
mapped || fail "the window did not come back"

echo "== the About window: hover highlight, both links reach the opener, OK closes it"
press_icon 3
choose 5
about=$(xdotool search --onlyvisible --class pelmodesk.exe | grep -vx "$main" | head -n 1) || true
[ -n "$about" ] || fail "the About window did not open"
read -r ax ay < <(window_origin "$about")
xprop -id "$about" _NET_WM_STATE | grep -q SKIP_TASKBAR && fail "the About window has no taskbar entry"
screenshot "$shots/wine-about.png"
# 220 x 130 of client area inside the system's sizing border, and nothing else.
aw=$(xwininfo -id "$about" | awk '/Width:/ {print $2}')
ah=$(xwininfo -id "$about" | awk '/Height:/ {print $2}')
(( aw - 220 == ah - 130 && aw - 220 >= 4 && aw - 220 <= 10 )) || fail "About window size: ${aw}x$ah"
xprop -id "$about" _NET_FRAME_EXTENTS | grep -q "= 0, 0, 0, 0" || fail "a title bar on the About window"
blue_in() {
  screenshot "$work/now.png"
  convert "$work/now.png" -crop "$1" +repage -fuzz 35% -fill white +opaque "rgb(0,0,255)" \
    -fill black -opaque "rgb(0,0,255)" -format "%[fx:int((1-mean)*w*h)]" info:
}
web="200x14+$((ax + 8))+$((ay + 76))"
(( $(blue_in "$web") < 5 )) || fail "the web link is highlighted before any move"
xdotool mousemove $((ax + 30)) $((ay + 82)) sleep 0.3
screenshot "$shots/wine-about-hover.png"
(( $(blue_in "$web") >= 20 )) || fail "the web link is not highlighted under the pointer"
xdotool click 1
xdotool mousemove $((ax + 100)) $((ay + 66)) sleep 0.3 click 1
for _ in $(seq 60); do [ "$(wc -l <"$work/opened" 2>/dev/null || echo 0)" -ge 2 ] && break; sleep 0.1; done
grep -qx "https://example.org/pelmodesk/" "$work/opened" || fail "the web link: $(cat "$work/opened" 2>/dev/null)"
grep -q "mailto:pmd@example.org" "$work/opened" || fail "the mail link: $(cat "$work/opened")"
xdotool windowactivate --sync "$about" 2>/dev/null || true
xdotool key Escape
sleep 0.3
xwininfo -id "$about" 2>/dev/null | grep -q IsViewable || fail "Escape closed the About window"

echo "== About for a screen reader and the keyboard: texts, links as links, Tab to a link, Enter opens it"
opened() { grep -cx "$1" "$work/opened" || true; }
webs=$(opened https://example.org/pelmodesk/)
mails=$(opened mailto:pmd@example.org)
timeout 40 "$wine_loader" "$win_build/reader_probe.exe" about >"$work/reader-about.out" 2>&1 &
probe=$!
pids+=($probe)
for _ in $(seq 150); do grep -q listening "$work/reader-about.out" && break; kill -0 "$probe" || break; sleep 0.1; done
grep -q listening "$work/reader-about.out" || fail "what a screen reader hears of the About window"
# The pointer off the links, so that only the focus highlights one.
mail="120x14+$((ax + 72))+$((ay + 58))"
xdotool mousemove $((ax + 200)) $((ay + 30)) sleep 0.3
(( $(blue_in "$mail") < 5 )) || fail "the mail link is highlighted before it has the focus"
xdotool key Tab
for _ in $(seq 60); do grep -q focused "$work/reader-about.out" && break; kill -0 "$probe" || break; sleep 0.1; done
grep -q focused "$work/reader-about.out" || fail "Tab from OK did not focus the mail link for a screen reader"
screenshot "$shots/wine-about-focus.png"
(( $(blue_in "$mail") >= 20 )) || fail "the mail link with the focus is not highlighted"
for _ in $(seq 60); do (( $(opened https://example.org/pelmodesk/) > webs )) && break; sleep 0.1; done
(( $(opened https://example.org/pelmodesk/) > webs )) || fail "a screen reader's action did not open the web link"
xdotool key Return
for _ in $(seq 60); do (( $(opened mailto:pmd@example.org) > mails )) && break; sleep 0.1; done
(( $(opened mailto:pmd@example.org) > mails )) || fail "Enter on the mail link did not open it: $(cat "$work/opened")"
xwininfo -id "$about" 2>/dev/null | grep -q IsViewable || fail "Enter on a link closed the About window"
# Back to OK, whose Enter closes the window while the probe still holds its object.
xdotool key shift+Tab
xdotool key Return
sleep 0.5
xwininfo -id "$about" 2>/dev/null | grep -q IsViewable && fail "Enter did not close the About window"
wait "$probe" || fail "what a screen reader hears of the About window, and after it closed"
cat "$work/reader-about.out"

echo "== the keyboard is back on the monitor window, where Alt+F4 unloads it"
foreground "the About window closed without giving the monitor window the keyboard back"
xdotool key alt+F4
ended "Alt+F4"
[ -s pelmo.ini ] || fail "no pelmo.ini after Alt+F4"

echo "== a missing resinfo.dll: the run-time error box, then the program ends"
rm resinfo.dll
"$wine_loader" pelmodesk.exe >"$work/missing.out" 2>&1 &
program=$!
pids+=($program)
for _ in $(seq 60); do grep -q "実行時エラー" "$work/missing.out" && break; sleep 0.1; done
grep -q "実行時エラー '53'" "$work/missing.out" || fail "no report: $(cat "$work/missing.out")"
grep -q resinfo.dll "$work/missing.out" || fail "the report does not name resinfo.dll"
box=$(timeout 5 xdotool search --sync --onlyvisible --class pelmodesk.exe | tail -n 1)
screenshot "$shots/wine-missing-resinfo.png"
xdotool windowactivate --sync "$box" key Return 2>/dev/null || xdotool key --window "$box" Return
ended "the report of the missing library" 1
echo "== a kill while the save flushes, then a logoff: no temporary file left; with pelmo.ini read-only, status 1"
logoff() { timeout 30 "$wine_loader" wineboot --end-session; ended "$@"; }
cp "$win_build/tests/win32/fake/resinfo.dll" .
start
strace -p "$program" -qq -o /dev/null -e trace=fsync,fdatasync \
  -e inject=fsync,fdatasync:delay_enter=3000000 2>/dev/null &
pids+=($!)
for _ in $(seq 100); do [ "$(awk '/TracerPid/ {print $2}' /proc/"$program"/status)" != 0 ] && break; sleep 0.05; done
"$wine_loader" wineboot --end-session & pids+=($!)
for _ in $(seq 100); do compgen -G "pelmo.ini.pelmo-tmp-*" >/dev/null && break; sleep 0.05; done
kill -KILL "$program"; { wait "$program"; } 2>/dev/null || true
compgen -G "pelmo.ini.pelmo-tmp-*" >/dev/null || fail "no save was cut short"
start; logoff "the logoff after a kill"
compgen -G "pelmo.ini.pelmo-tmp-*" >/dev/null && fail "left behind: $(ls pelmo.ini.*)"
cp pelmo.ini "$work/kept" && chmod a-w pelmo.ini
start; logoff "a logoff with pelmo.ini read-only" 1
cmp -s pelmo.ini "$work/kept" || fail "a read-only pelmo.ini was changed"

echo "== at 96, 120, 144 and 192 dpi: the window, its text and logo at scale, its place in twips, the tray icon clear"
# Windows XP has none of the calls that tell a window's scale: not imported.
i686-w64-mingw32-objdump -p "$root/build-win32/pelmodesk.exe" | grep -E "ForDpi|DpiForWindow|DpiAwareness" &&
  fail "pelmodesk.exe imports a call Windows XP lacks"
rm -f pelmo.ini && printf '1635\r\n2010\r\n1\r\n' >pelmo.ini
# Wine's own tray draws the icon as Windows does (trayer's may get it black).
kill "$tray_host"
px() { echo $((($1 * dpi + 720) / 1440)); }
for scale in 96:3 120:2 144:1 192:0; do  # dpi:the icon's picture for it
  dpi=${scale%:*} picture=${scale#*:} size=$((16 * dpi / 96))
  # The shell and the program take the scale as they start.
  LANG=C.UTF-8 wine_ reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d $dpi /f >/dev/null 2>&1
  end_wine
  start
  # Within a pixel of the first place at any scale: pelmo.ini keeps twips.
  read -r x y < <(position)
  client=$(xwininfo -id "$main" | awk '/Width:/ {w = $2 - 2} /Height:/ {print w "x" $2 - 2}')
  [ "$client" = "$(px 3630)x$(px 585)" ] && (( (x - $(px 2010)) ** 2 <= 1 && (y - $(px 1635)) ** 2 <= 1 )) ||
    fail "$dpi dpi: the window $client at $x $y"
  sleep 1.2
  screenshot "$shots/wine-$dpi-dpi.png"
  # The logo's plate and MEM's ink in proportion to 96 dpi's, within 2, 2, 3
  # pixels and, as hinting rounds a small font's height, a fifth.
  convert "$shots/wine-$dpi-dpi.png" -crop "$(px 3630)x$(px 585)+$x+$y" +repage "$work/c.png"
  plate=$(convert "$work/c.png" -fuzz 10% -fill white +opaque "rgb(51,0,153)" -trim -format '%w %h' info:)
  mem=$(convert "$work/c.png" -crop "$(px 435)x$(px 255)+$(px 120)+$(px 360)" +repage -threshold 40% -trim \
    -format '%w %h' info:)
  [ $dpi = 96 ] && base="$plate $mem"
  awk -v s=$dpi -v now="$plate $mem" -v base="$base" 'BEGIN { split(now, n); split(base, b); split("2 2 3", d)
    for (i = 1; i <= 4; i++) if ((n[i] - b[i] * s / 96) ^ 2 > (i < 4 ? d[i] : b[i] * s / 480) ^ 2) exit 1 }' ||
    fail "$dpi dpi: logo plate and MEM's ink $plate $mem, at 96 dpi $base"
  # The icon's picture for the shell's size (SM_CXSMICON), on clear background.
  tray=$(timeout 10 xdotool search --sync --onlyvisible --name "Wine System Tray" | head -n 1) || true
  import -window "$tray" "$work/tray.png" || fail "$dpi dpi: no tray window"
  convert -size $((size + 4))x$((size + 4)) "xc:$(convert "$work/tray.png" -format '%[pixel:p{w-8,h-8}]' info:)" \
    "$root/resources/icon.ico[$picture]" -gravity center -composite "$work/expected.png"
  differ=$(compare -metric AE -fuzz 2% -subimage-search "$work/tray.png" "$work/expected.png" null: 2>&1 || true)
  [ "${differ%% *}" = 0 ] || fail "$dpi dpi: no $size-pixel icon on a clear background in the tray ($differ)"
  logoff "the logoff at $dpi dpi"
done
echo "ok: screenshots in $shots"
