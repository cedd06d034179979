#!/bin/bash
# The tray icon where the panel speaks the StatusNotifierItem protocol over
# D-Bus (KDE Plasma, GNOME with the AppIndicator extension and most panels
# today) and there is no XEmbed tray: a scripted watcher and host on a
# private session bus sees the item register with its tooltip and icon,
# presses it (Activate, ContextMenu) as a panel does, and sees it go at quit.
# Then the hard cases: a host that leaves while the watcher stays (Plasma's
# panel dying beside kded5), a watcher that comes and goes ten times a second,
# and one that never answers while strangers claim a host came.
#   status_notifier_tray.sh PELMODESK [sanitized]
set -euo pipefail
program=$(realpath "$1")
here=$(dirname "$(realpath "$0")")
. "$here/lib.sh"
find_libraries_beside "$program" "${2:-}"
start_display wm
cd "$work"

dbus-daemon --session --nofork --nopidfile --print-address=3 3>"$work/bus" >/dev/null 2>&1 &
pids+=($!)
for _ in $(seq 100); do [ -s "$work/bus" ] && break; sleep 0.05; done
[ -s "$work/bus" ] || fail "no session bus"
export DBUS_SESSION_BUS_ADDRESS=$(head -n 1 "$work/bus")
# Debian's own python3: the one with python3-dbus and python3-gi.
host() { /usr/bin/python3 "$here/sni_watcher.py" "$@"; }
host watch >"$work/watcher.out" 2>&1 &
watcher=$!
pids+=($watcher)
for _ in $(seq 100); do grep -q ready "$work/watcher.out" && break; sleep 0.05; done
grep -q ready "$work/watcher.out" || fail "the watcher did not start"

"$program" >"$work/program.out" 2>&1 &
app=$!
pids+=($app)
main=$(wait_window pelmodesk)
main=$(monitor_windows)
[ -n "$main" ] || fail "no monitor window"
mapped() { xwininfo -id "$main" | grep -q IsViewable; }
# The popup menu: "X Y W H" of the program's window that is neither the
# monitor window nor one of Qt's helper windows.
menu_geometry() {
  local menu info
  for _ in $(seq 100); do
    for menu in $(xwininfo -root -tree | awk '/"pelmodesk".* [0-9]+x[0-9]+\+/ && !/ 244x41\+/ && !/ 1x1\+/ && !/ 3x3\+/ {print $1}'); do
      xwininfo -id "$menu" 2>/dev/null | grep -q IsViewable && break 2
    done
    menu=
    sleep 0.05
  done
  [ -n "$menu" ] || fail "no popup menu"
  info=$(xwininfo -id "$menu")
  awk '/Absolute upper-left X/ {x=$4} /Absolute upper-left Y/ {y=$4} /Width:/ {w=$2} /Height:/ {h=$2}
       END {print x, y, w, h}' <<<"$info"
}
# Chooses item $1 of the open menu (2 = hide, 4 = quit), at fractions of
# its height as in the XEmbed tray's test.
choose() {
  local fractions=(0 9 28 48 69 90)
  read -r mx my mw mh < <(menu_geometry)
  xdotool mousemove "$((mx + mw / 2))" "$((my + mh * fractions[$1] / 100))" sleep 0.2 click 1
  sleep 0.3
}

echo "== the item registers, with the tooltip and an icon"
for _ in $(seq 100); do grep -q "^registered " "$work/watcher.out" && break; sleep 0.05; done
service=$(awk '/^registered / && !found {print $2; found = 1}' "$work/watcher.out")
[ -n "$service" ] || fail "no item registered with the watcher"
host describe "$service" >"$work/item.out" 2>&1 || fail "the item cannot be read"
grep -qx "tooltip ペルモ" "$work/item.out" || fail "tooltip: $(cat "$work/item.out")"
# Every picture well formed, and at least one panel size drawn.
grep -q "^icon malformed" "$work/item.out" && fail "a malformed icon picture"
awk '/^icon [0-9]+x[0-9]+ / {split($2, s, "x"); if (s[1] >= 16 && $3 > s[1] * s[2] / 4) ok = 1} END {exit !ok}' \
  "$work/item.out" || fail "no icon: $(cat "$work/item.out")"

echo "== the menu goes to the panel too, for panels that draw it: the same items, each doing its work"
menu_items=$'ペルモの表示\nペルモの非表示\nseparator\n常に手前に表示 [ ]\nseparator\nペルモの終了\nseparator\nabout'
[ "$(host menu "$service")" = "$menu_items" ] || fail "the exported menu: $(host menu "$service")"
host click "$service" ペルモの非表示
for _ in $(seq 40); do mapped || break; sleep 0.05; done
mapped && fail "the panel's hide item left the window shown"
host click "$service" ペルモの表示
for _ in $(seq 40); do mapped && break; sleep 0.05; done
mapped || fail "the panel's show item did not show the window"
host click "$service" 常に手前に表示
sleep 0.3
xprop -id "$main" _NET_WM_STATE | grep -q _NET_WM_STATE_ABOVE || fail "the panel's always-on-top item did nothing"
[ "$(host menu "$service")" = "${menu_items/\[ \]/[x]}" ] || fail "no check mark: $(host menu "$service")"
host click "$service" 常に手前に表示
sleep 0.3
xprop -id "$main" _NET_WM_STATE | grep -q _NET_WM_STATE_ABOVE && fail "always-on-top did not go off"
[ "$(host menu "$service")" = "$menu_items" ] || fail "the check mark stayed: $(host menu "$service")"
host click "$service" about
for _ in $(seq 60); do [ -n "$(about_window)" ] && break; sleep 0.05; done
[ -n "$(about_window)" ] || fail "the panel's about item opened no About window"
[ "$(taskbar_windows "$app")" = "$(about_window)" ] || fail "taskbar entries: $(taskbar_windows "$app")"
xdotool windowactivate --sync "$(about_window)" key Return 2>/dev/null || xdotool key --window "$(about_window)" Return
for _ in $(seq 60); do [ -z "$(about_window)" ] && break; sleep 0.05; done
[ -z "$(about_window)" ] || fail "the About window did not close"
sleep 0.5  # the window manager done with the closed window's focus

echo "== ContextMenu opens the menu at the pointer, without showing a hidden window"
xdotool mousemove 300 200
host call "$service" ContextMenu 300 200
read -r mx my _ _ < <(menu_geometry)
(( mx >= 298 && mx <= 302 && my >= 198 && my <= 202 )) || fail "the menu opened at $mx,$my, not at the pointer 300,200"
choose 2
mapped && fail "the hide item left the window shown"
xdotool mousemove 500 100
host call "$service" ContextMenu 500 100
read -r mx my _ _ < <(menu_geometry)
(( mx >= 498 && mx <= 502 )) || fail "the second menu opened at $mx,$my, not at the pointer 500,100"
mapped && fail "the menu showed the hidden window"
xdotool key Escape
sleep 0.3

echo "== Activate shows the window"
host call "$service" Activate 0 0
for _ in $(seq 40); do mapped && break; sleep 0.05; done
mapped || fail "Activate did not show the window"

echo "== the panel going away shows the hidden window; a new one gets the item again"
xdotool mousemove 300 200
host call "$service" ContextMenu 300 200
choose 2
mapped && fail "the hide item left the window shown"
pkill -TERM -P "$watcher"  # the watcher runs under a subshell
wait "$watcher" 2>/dev/null || true
for _ in $(seq 60); do mapped && break; sleep 0.05; done
mapped || fail "the window stayed hidden when the watcher went away"
host watch >"$work/watcher.out" 2>&1 &
watcher=$!
pids+=($watcher)
# A busy machine (two suites at once) can take seconds to start Python.
for _ in $(seq 400); do grep -q ready "$work/watcher.out" && break; sleep 0.05; done
grep -q ready "$work/watcher.out" || fail "the new watcher did not start"
for _ in $(seq 200); do grep -q "^registered " "$work/watcher.out" && break; sleep 0.05; done
service=$(awk '/^registered / && !found {print $2; found = 1}' "$work/watcher.out")
[ -n "$service" ] || fail "the item did not register with the new watcher: $(cat "$work/watcher.out")"

echo "== quitting from the menu unregisters the item"
xdotool mousemove 300 200
host call "$service" ContextMenu 300 200
choose 4
for _ in $(seq 100); do kill -0 "$app" 2>/dev/null || break; sleep 0.05; done
kill -0 "$app" 2>/dev/null && fail "still running after quit"
wait "$app" || fail "exit status $? after quit"
for _ in $(seq 40); do grep -q "^unregistered $service" "$work/watcher.out" && break; sleep 0.05; done
grep -q "^unregistered $service" "$work/watcher.out" || fail "the item stayed registered: $(cat "$work/watcher.out")"
[ -f pelmo.ini ] || fail "no pelmo.ini written at quit"

echo "== a panel that comes after the program gets the item: the program starts again, in its place"
pkill -TERM -P "$watcher"
wait "$watcher" 2>/dev/null || true
"$program" >"$work/program.out" 2>&1 &
app=$!
pids+=($app)
wait_window pelmodesk >/dev/null
main=$(monitor_windows)
xdotool windowmove "$main" 200 150
for _ in $(seq 60); do [ "$(window_origin "$main")" = "200 150" ] && break; sleep 0.05; done
[ "$(window_origin "$main")" = "200 150" ] || fail "the window did not move"
host watch >"$work/watcher.out" 2>&1 &
watcher=$!
pids+=($watcher)
for _ in $(seq 200); do grep -q "^registered " "$work/watcher.out" && break; sleep 0.05; done
grep -q "^registered " "$work/watcher.out" || fail "a panel that came later never got the item"
kill -0 "$app" 2>/dev/null || fail "the program ended instead of starting again"
main=$(monitor_windows)
[ "$(window_origin "$main")" = "200 150" ] || fail "started again at $(window_origin "$main"), not in its place"
service=$(awk '/^registered / && !found {print $2; found = 1}' "$work/watcher.out")
# Started again once, and said so to the next start only.
grep -qz '^PELMODESK_STARTED_AGAIN=1 ' "/proc/$app/environ" || fail "not started again exactly once"
quit_via() {
  xdotool mousemove 300 200
  host call "$1" ContextMenu 300 200
  choose 4
  for _ in $(seq 100); do kill -0 "$app" 2>/dev/null || break; sleep 0.05; done
  wait "$app" || fail "exit status $? after quit"
}
quit_via "$service"

echo "== the host leaves and the watcher stays (a panel dying beside Plasma's watcher): the hidden window is shown"
host host >"$work/host.out" 2>&1 &
panel=$!
pids+=($panel)
for _ in $(seq 100); do grep -q ready "$work/host.out" && break; sleep 0.05; done
"$program" >"$work/program.out" 2>&1 &
app=$!
pids+=($app)
wait_window pelmodesk >/dev/null
main=$(monitor_windows)
for _ in $(seq 100); do [ "$(grep -c "^registered " "$work/watcher.out")" -ge 2 ] && break; sleep 0.05; done
service=$(awk '/^registered / {s = $2} END {print s}' "$work/watcher.out")
xdotool mousemove 300 200
host call "$service" ContextMenu 300 200
choose 2
mapped && fail "the hide item left the window shown"
pkill -TERM -P "$panel"
for _ in $(seq 60); do mapped && break; sleep 0.05; done
mapped || fail "the window stayed hidden when the host went away"
host host >"$work/host.out" 2>&1 &
panel=$!
pids+=($panel)
for _ in $(seq 100); do grep -q ready "$work/host.out" && break; sleep 0.05; done
sleep 0.5
xdotool mousemove 300 200
host call "$service" ContextMenu 300 200
choose 2
mapped && fail "a host that came back does not count: the window cannot be hidden"
quit_via "$service"
pkill -TERM -P "$panel" || true
pkill -TERM -P "$watcher" || true

echo "== a watcher that comes and goes ten times a second for 10 s: no restarts meanwhile, the window stays, one restart once it stays"
"$program" >"$work/program.out" 2>&1 &
app=$!
pids+=($app)
wait_window pelmodesk >/dev/null
main=$(monitor_windows)
ticks() { awk '{print $14 + $15}' "/proc/$app/stat"; }
before=$(ticks)
host watch --flap 10 >"$work/watcher.out" 2>&1 &
watcher=$!
pids+=($watcher)
unmapped=0
for _ in $(seq 100); do
  mapped || unmapped=$((unmapped + 1))
  sleep 0.1
  grep -q steady "$work/watcher.out" && break
done
cpu=$(($(ticks) - before))
grep -q steady "$work/watcher.out" || fail "the watcher did not settle: $(cat "$work/watcher.out")"
grep -qz '^PELMODESK_STARTED_AGAIN=' "/proc/$app/environ" && fail "started again while the watcher came and went"
[ "$unmapped" = 0 ] || fail "the window was away in $unmapped of the samples"
echo "CPU while the watcher flapped: $cpu ticks"
(( cpu < 300 )) || fail "$cpu ticks of CPU while the watcher came and went"
for _ in $(seq 120); do grep -q "^registered " "$work/watcher.out" && break; sleep 0.05; done
grep -q "^registered " "$work/watcher.out" || fail "the watcher that stayed never got the item"
grep -qz '^PELMODESK_STARTED_AGAIN=1 ' "/proc/$app/environ" || fail "not started again exactly once"
for _ in $(seq 60); do main=$(monitor_windows) && [ -n "$main" ] && mapped && break; sleep 0.05; done
mapped || fail "no window after starting again"
quit_via "$(awk '/^registered / {print $2; exit}' "$work/watcher.out")"
pkill -TERM -P "$watcher" || true

echo "== a restart soon after another waits twice as long for the tray to last"
for _ in $(seq 60); do grep -q "^unregistered " "$work/watcher.out" && break; sleep 0.05; done
PELMODESK_STARTED_AGAIN="1 $(/usr/bin/python3 -c 'import time; print(int(time.monotonic()))')" "$program" \
  >"$work/program.out" 2>&1 &
app=$!
pids+=($app)
wait_window pelmodesk >/dev/null
host watch >"$work/watcher.out" 2>&1 &
watcher=$!
pids+=($watcher)
sleep 3
grep -q "^registered " "$work/watcher.out" && fail "started again after 2 s, not 4"
for _ in $(seq 80); do grep -q "^registered " "$work/watcher.out" && break; sleep 0.05; done
grep -qz '^PELMODESK_STARTED_AGAIN=2 ' "/proc/$app/environ" || fail "not counted as the second restart in a row"
quit_via "$(awk '/^registered / {print $2; exit}' "$work/watcher.out")"
pkill -TERM -P "$watcher" || true

echo "== a watcher that never answers, and strangers saying a host came: the window does not stall"
"$program" >"$work/program.out" 2>&1 &
app=$!
pids+=($app)
wait_window pelmodesk >/dev/null
main=$(monitor_windows)
host silent >"$work/watcher.out" 2>&1 &
pids+=($!)
for _ in $(seq 100); do grep -q ready "$work/watcher.out" && break; sleep 0.05; done
host broadcast 5
read -r x y < <(client_origin "$main")
start=$(date +%s%N)
xdotool mousemove $((x + 120)) $((y + 4)) click 3
read -r _ _ _ _ < <(menu_geometry)
took=$((($(date +%s%N) - start) / 1000000))
(( took < 1000 )) || fail "the menu took $took ms to open"
xdotool key Escape
kill -TERM "$app"
wait "$app" || fail "exit status $? after SIGTERM"
grep -qz '^PELMODESK_STARTED_AGAIN=' "/proc/$app/environ" 2>/dev/null && fail "started again for a watcher that never answered"
echo "ok"
