#!/bin/bash
# The program on a real desktop's panel and window manager, as a new user
# meets it: xfce4-panel under xfwm4, or lxqt-panel under openbox, on a
# virtual display with a session bus of its own; or only the window under
# KDE's window manager (kwin_x11 with its Breeze decoration).
#   desktop_panels.sh PELMODESK xfce|lxqt|kwin SCREENSHOT_DIR [sanitized]
# Started before the panel, the program gets an icon once the panel comes,
# and its menu quits it. Started after, its menu reaches the panel over
# D-Bus: the panel's own menu shows and runs every item, the check mark
# follows always-on-top. A panel killed with the window hidden shows it; the
# panel started again gets the icon back. Under xfwm4 and KWin the window has
# no title bar and stands at its saved place. About, opened and closed by the
# keyboard alone, gives the window the focus back.
set -euo pipefail
program=$(realpath "$1")
desktop=$2
shots=$(realpath -m "$3")
here=$(dirname "$(realpath "$0")")
. "$here/lib.sh"
find_libraries_beside "$program" "${4:-}"
mkdir -p "$shots"
started=$(date +%s)
export XDG_CONFIG_HOME=$work/config XDG_CACHE_HOME=$work/cache XDG_DATA_HOME=$work/data
dbus-daemon --session --nofork --nopidfile --print-address=3 3>"$work/bus" >/dev/null 2>&1 &
pids+=($!)
for _ in $(seq 100); do [ -s "$work/bus" ] && break; sleep 0.05; done
export DBUS_SESSION_BUS_ADDRESS=$(head -n 1 "$work/bus")
case $desktop in
  xfce)
    start_display
    start_window_manager xfwm4 --compositor=off
    # One panel at the top holding the notification area alone.
    mkdir -p "$XDG_CONFIG_HOME/xfce4/xfconf/xfce-perchannel-xml"
    cat >"$XDG_CONFIG_HOME/xfce4/xfconf/xfce-perchannel-xml/xfce4-panel.xml" <<'EOF'
<?xml version="1.0" encoding="UTF-8"?>
<channel name="xfce4-panel" version="1.0">
  <property name="configver" type="int" value="2"/>
  <property name="panels" type="array">
    <value type="int" value="1"/>
    <property name="panel-1" type="empty">
      <property name="position" type="string" value="p=6;x=0;y=0"/>
      <property name="length" type="uint" value="100"/>
      <property name="position-locked" type="bool" value="true"/>
      <property name="size" type="uint" value="26"/>
      <property name="plugin-ids" type="array"><value type="int" value="1"/></property>
    </property>
  </property>
  <property name="plugins" type="empty">
    <property name="plugin-1" type="string" value="systray"/>
  </property>
</channel>
EOF
    panel_command=(xfce4-panel)
    ;;
  kwin)
    start_display
    KWIN_COMPOSE=N start_window_manager kwin_x11 --replace
    sleep 0.5
    ;;
  lxqt)
    start_display wm
    mkdir -p "$XDG_CONFIG_HOME/lxqt"
    printf '%s\n' panels=panel1 '' '[panel1]' plugins=statusnotifier position=Top desktop=0 '' \
      '[statusnotifier]' alignment=Left type=statusnotifier >"$XDG_CONFIG_HOME/lxqt/panel.conf"
    panel_command=(lxqt-panel)
    ;;
  *) fail "no desktop $desktop" ;;
esac
cd "$work"

sni() { /usr/bin/python3 "$here/sni_watcher.py" "$@"; }
has_name() {
  dbus-send --session --print-reply --dest=org.freedesktop.DBus / org.freedesktop.DBus.NameHasOwner "string:$1" 2>/dev/null |
    grep -q true
}

start_panel() {
  "${panel_command[@]}" >"$work/panel.out" 2>&1 &
  panel=$!
  pids+=($panel)
  for _ in $(seq 350); do has_name org.kde.StatusNotifierWatcher && break; sleep 0.1; done
  has_name org.kde.StatusNotifierWatcher || fail "the panel offers no StatusNotifierItem tray"
  sleep 1  # its host and notification area settle
}
stop_panel() {
  kill "$panel"
  wait "$panel" 2>/dev/null || true
  for _ in $(seq 100); do has_name org.kde.StatusNotifierWatcher || break; sleep 0.05; done
}
start_program() {
  "$program" >"$work/program.out" 2>&1 &
  app=$!
  pids+=($app)
  wait_window pelmodesk >/dev/null
  main=$(monitor_windows)
  [ -n "$main" ] || fail "no monitor window"
}
mapped() { xwininfo -id "$main" 2>/dev/null | grep -q IsViewable; }
above() { xprop -id "$main" _NET_WM_STATE | grep -q _NET_WM_STATE_ABOVE; }
about_shown() { for _ in $(seq 60); do [ -n "$(about_window)" ] && return 0; sleep 0.05; done; return 1; }
focused() { for _ in $(seq 60); do [ "$(xdotool getwindowfocus)" = "$(($1))" ] && return 0; sleep 0.05; done; return 1; }
ended() {
  for _ in $(seq 100); do kill -0 "$app" 2>/dev/null || break; sleep 0.05; done
  kill -0 "$app" 2>/dev/null && fail "still running after $1"
  wait "$app" || fail "exit status $? after $1"
}
# The icon's place in the panel: xfce4-panel runs the notification area in a
# window of its own, LXQt's sits at the panel's left end.
icon_centre() {
  if [ "$desktop" = xfce ]; then
    local area
    area=$(xwininfo -root -tree | awk '/"wrapper-2.0": \("wrapper-2.0"/ && / [0-9]+x2[0-9]\+/ {print $1; exit}')
    [ -n "$area" ] || fail "no notification area in the panel"
    read -r x y < <(window_origin "$area")
    echo "$((x + 13)) $((y + 13))"
  else
    echo "12 14"
  fi
}
# A popup menu on screen: a viewable override-redirect window of menu size.
menu_shown() {
  local id
  for id in $(xwininfo -root -tree | awk '/ (1[0-9][0-9]|2[0-4][0-9])x(9[0-9]|1[0-9][0-9])\+/ {print $1}'); do
    xwininfo -id "$id" | grep -q IsViewable && xwininfo -id "$id" | grep -q "Override Redirect State: yes" && return 0
  done
  return 1
}
# A right press on the icon opens the menu (the panel's own, or the program's
# where the icon is an XEmbed one); item $1 is chosen by keyboard (1 = show,
# 2 = hide, 3 = always on top, 4 = quit, 5 = about), as a person would.
choose_from_icon() {
  local ix iy
  read -r ix iy < <(icon_centre)
  for _ in 1 2 3; do
    xdotool mousemove "$ix" "$iy" click 3
    for _ in $(seq 40); do menu_shown && break; sleep 0.05; done
    menu_shown && break
    sleep 0.5  # the icon was still docking
  done
  menu_shown || fail "a right press on the icon opened no menu"
  sleep 0.2
  xdotool key --delay 80 $(printf 'Down %.0s' $(seq "$1")) Return
  sleep 0.3
}

echo "== shown at its place, no title bar, About by the keyboard gives it the focus back$([ "$desktop" = kwin ] || echo "; started before the panel, the panel gives it an icon whose menu quits it")"
start_program
[ "$(client_origin "$main")" = "84 109" ] || fail "client area at $(client_origin "$main"), not the design's 84 109"
# No frame from the window manager (KWin says nothing of one it does not draw).
extents=$(xprop -id "$main" _NET_FRAME_EXTENTS)
[[ $extents == *"= 0, 0, 0, 0" || $extents == *"not found"* ]] || fail "decorated by the window manager: $extents"
screenshot "$shots/desktop-$desktop.png"
# Above the window the bare screen, not a title bar; around it the window's
# own border.
colour_near "$(pixel "$shots/desktop-$desktop.png" 150 100)" "0,0,0" 0 || fail "something above the window: a title bar?"
colour_near "$(pixel "$shots/desktop-$desktop.png" 83 108)" "88,90,93" 0 || fail "no border of the window's own"
"$program" || fail "the second start ended with status $?"
focused "$main" || fail "the second start left the focus on $(xdotool getwindowfocus getwindowname)"
xdotool key --delay 100 Menu Up Return
about_shown && focused "$(about_window)" || fail "the menu's about gave the focus to no About window"
xdotool key Return
focused "$main" || fail "About closed, the focus went to $(xdotool getwindowfocus getwindowname)"
if [ "$desktop" = kwin ]; then
  xdotool windowmove "$main" 299 199
  for _ in $(seq 60); do [ "$(client_origin "$main")" = "300 200" ] && break; sleep 0.05; done
  kill -TERM "$app"
  ended SIGTERM
  [ "$(cat pelmo.ini)" = "$(printf '3000\r\n4500\r\n1\r')" ] || fail "pelmo.ini: $(od -c pelmo.ini | head -3)"
  start_program
  [ "$(client_origin "$main")" = "300 200" ] || fail "started again at $(client_origin "$main"), not at 300 200"
  kill -TERM "$app"
  ended SIGTERM
  echo "ok in $(($(date +%s) - started)) s"
  exit 0
fi
start_panel
if [ "$desktop" = xfce ]; then
  # Its notification area is also an XEmbed tray: the icon docks there.
  for _ in $(seq 60); do xwininfo -root -tree | grep -q '"pelmodesk".* 1[0-9]x1[0-9]+\|"pelmodesk".* 2[0-9]x2[0-9]+' && break; sleep 0.1; done
else
  # A StatusNotifierItem tray alone: the program starts again to use it.
  for _ in $(seq 80); do sni item-of "$app" >/dev/null 2>&1 && break; sleep 0.1; done
  sni item-of "$app" >/dev/null || fail "no icon in the panel that came later"
  grep -qz '^PELMODESK_STARTED_AGAIN=1 ' "/proc/$app/environ" || fail "not started again exactly once"
  main=$(monitor_windows)
fi
choose_from_icon 4
ended "quitting from the icon's menu"
[ "$(cat pelmo.ini)" = "$(printf '1635\r\n1260\r\n1\r')" ] || fail "pelmo.ini: $(od -c pelmo.ini | head -3)"

echo "== started after the panel: the panel's own menu, every item"
start_program
for _ in $(seq 60); do service=$(sni item-of "$app") && break; sleep 0.1; done
[ -n "${service:-}" ] || fail "the item did not register with the panel"
menu_items=$'ペルモの表示\nペルモの非表示\nseparator\n常に手前に表示 [ ]\nseparator\nペルモの終了\nseparator\nabout'
[ "$(sni menu "$service")" = "$menu_items" ] || fail "the menu the panel reads: $(sni menu "$service")"
choose_from_icon 2
mapped && fail "the hide item left the window shown"
choose_from_icon 1
mapped || fail "the show item did not show the window"
choose_from_icon 3
above || fail "the always-on-top item did nothing"
[ "$(sni menu "$service")" = "${menu_items/\[ \]/[x]}" ] || fail "no check mark: $(sni menu "$service")"
sni click "$service" 常に手前に表示
sleep 0.3
above && fail "always-on-top chosen over D-Bus did not go off"
choose_from_icon 5
about_shown || fail "the about item opened no About window"
# The About window has a taskbar button; the monitor and the menus do not.
[ "$(taskbar_windows "$app")" = "$(about_window)" ] || fail "taskbar entries: $(taskbar_windows "$app")"
xdotool windowactivate --sync "$(about_window)" key Return 2>/dev/null || xdotool key --window "$(about_window)" Return
for _ in $(seq 60); do [ -z "$(about_window)" ] && break; sleep 0.05; done

echo "== the panel killed with the window hidden shows it; started again, it gets the icon back"
sni click "$service" ペルモの非表示
for _ in $(seq 40); do mapped || break; sleep 0.05; done
mapped && fail "hidden over D-Bus, the window stayed"
stop_panel
for _ in $(seq 60); do mapped && break; sleep 0.05; done
mapped || fail "the window stayed hidden with the panel gone"
start_panel
for _ in $(seq 60); do sni item-of "$app" >/dev/null 2>&1 && break; sleep 0.1; done
sni item-of "$app" >/dev/null || fail "the panel started again did not get the icon"
choose_from_icon 2
mapped && fail "with the panel back, the hide item left the window shown"
choose_from_icon 4
ended "quitting from the panel's menu"
# Never moved, however often hidden and shown: still the design's place.
[ "$(cat pelmo.ini)" = "$(printf '1635\r\n1260\r\n1\r')" ] || fail "pelmo.ini: $(od -c pelmo.ini | head -3)"
echo "ok in $(($(date +%s) - started)) s"
