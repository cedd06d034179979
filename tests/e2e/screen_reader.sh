#!/bin/bash
# What a screen reader hears from the program and what the keyboard alone
# reaches, over a real accessibility bus on a virtual display.
#   screen_reader.sh PELMODESK FAKE_LIBRARY_DIR [sanitized]
set -euo pipefail
program=$(realpath "$1")
fake_dir=$(realpath "$2")
here=$(realpath "$(dirname "$0")")
# Everything from here on shares one session bus.
[ "${INSIDE_SESSION:-}" = yes ] || INSIDE_SESSION=yes exec dbus-run-session -- "$0" "$@"
. "$here/lib.sh"
find_libraries_beside "$program" "${3:-}"
start_display wm
# A tray, so that the window can be hidden.
start_tray_host

# On this session bus: the accessibility bus, switched on as a screen
# reader switches it on.
/usr/libexec/at-spi-bus-launcher --launch-immediately >"$work/at-spi.out" 2>&1 &
pids+=($!)
for _ in $(seq 100); do
  dbus-send --session --print-reply --dest=org.a11y.Bus /org/a11y/bus org.a11y.Bus.GetAddress >/dev/null 2>&1 && break
  sleep 0.05
done
dbus-send --session --print-reply --dest=org.a11y.Bus /org/a11y/bus org.freedesktop.DBus.Properties.Set \
  string:org.a11y.Status string:IsEnabled variant:boolean:true >/dev/null || fail "no accessibility bus"

cd "$work"
mkdir bin
printf '#!/bin/sh\nprintf "%%s\\n" "$*" >>"%s/opened"\n' "$work" >bin/xdg-open
chmod +x bin/xdg-open
printf 'GetResInfo 90 0 0\nGetCpuUsage 12\nMemoryLoad 80\n' >script
PATH=$work/bin:$PATH PELMO_FAKE_RESINFO=$work/script LD_LIBRARY_PATH=$fake_dir${LD_LIBRARY_PATH:+:$LD_LIBRARY_PATH} \
  "$program" >"$work/program.out" 2>&1 &
app=$!
pids+=($app)
wait_window pelmodesk >/dev/null
timeout 60 /usr/bin/python3 "$here/screen_reader.py" "$program" "$work/script" "$work/opened" "$(monitor_windows)" \
  >"$work/reader.out" 2>&1 || fail "$(tail -n 3 "$work/reader.out")"
cat "$work/reader.out"
# Alt+F4 quit it; a sanitizer's report ends it with a failure status.
timeout 5 tail --pid="$app" -s 0.1 -f /dev/null || fail "still running after Alt+F4"
wait "$app" || fail "exit status $? after Alt+F4"
