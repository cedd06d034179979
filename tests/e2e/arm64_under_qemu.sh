#!/bin/bash
# The arm64 program as a single-board computer runs it, under qemu-user on a
# virtual display: its window, the SoC's cpu_thermal sensor in TEM, memory
# and the kernel's tables as /proc has them, and pelmo.ini written at SIGTERM.
#   arm64_under_qemu.sh PELMODESK FAKE_LIBRARY_DIR SCREENSHOT_DIR
# qemu-user's -L prefix is looked in first for every absolute path the
# program opens, so a prefix holding only sys/class/hwmon gives it a Raspberry
# Pi's sensors while the libraries and /proc stay this machine's.
# The numbers are read off the screen by a second copy fed the expected
# values by the scripted statistics library: the same digits drawn at the
# same place in the same window are the same pixels.
set -euo pipefail
program=$(realpath "$1")
fake_dir=$(realpath "$2")
shots=$(realpath -m "$3")
. "$(dirname "$0")/lib.sh"
mkdir -p "$shots"
command -v qemu-aarch64 >/dev/null || fail "no qemu-aarch64"
[ -e /lib/ld-linux-aarch64.so.1 ] || fail "no arm64 C library (libc6:arm64)"

echo "== a Raspberry Pi's hwmon: cpu_thermal and the voltage monitor, linked as sysfs links them"
root=$work/root
thermal=$root/sys/devices/virtual/thermal/thermal_zone0/hwmon0
volt=$root/sys/devices/platform/soc/soc:firmware/raspberrypi-hwmon/hwmon/hwmon1
mkdir -p "$thermal" "$volt" "$root/sys/class/hwmon"
echo cpu_thermal >"$thermal/name"
echo 47123 >"$thermal/temp1_input"
echo rpi_volt >"$volt/name"
echo 0 >"$volt/in0_lcrit_alarm"
ln -s ../../devices/virtual/thermal/thermal_zone0/hwmon0 "$root/sys/class/hwmon/hwmon0"
ln -s ../../devices/platform/soc/soc:firmware/raspberrypi-hwmon/hwmon/hwmon1 "$root/sys/class/hwmon/hwmon1"

start_display wm
started=$SECONDS
mkdir "$work/real" "$work/reference"
(cd "$work/real" && exec dbus-run-session -- qemu-aarch64 -L "$root" "$program") >"$work/real.out" 2>&1 &
real=$!
pids+=($real)
win=$(wait_window pelmodesk)
echo "window after $((SECONDS - started)) s"
# The reference copy below the first, in a directory of its own.
script=$work/script
: >"$script"
printf '4500\r\n1260\r\n1\r\n' >"$work/reference/pelmo.ini"
(cd "$work/reference" && exec dbus-run-session -- qemu-aarch64 -L / -E "LD_LIBRARY_PATH=$fake_dir" \
  -E "PELMO_FAKE_RESINFO=$script" "$program") >"$work/reference.out" 2>&1 &
pids+=($!)
for _ in $(seq 100); do
  reference=$(xdotool search --onlyvisible --class pelmodesk | grep -vx "$win" | head -n 1) && [ -n "$reference" ] && break
  sleep 0.1
done
[ -n "$reference" ] || fail "the reference copy shows no window"

echo "== client area 242 x 39 in its own border, the picture and the logo"
xwininfo -id "$win" | grep -q "Width: 244" && xwininfo -id "$win" | grep -q "Height: 41" ||
  fail "size: $(xwininfo -id "$win")"
read -r ox oy < <(client_origin "$win")
read -r rx ry < <(client_origin "$reference")
window_shot() { convert "$1" -crop "242x39+$2+$3" +repage "$4"; }
sleep 1.2
screenshot "$work/screen.png"
window_shot "$work/screen.png" "$ox" "$oy" "$shots/arm64-monitor-window.png"
colour_near "$(pixel "$shots/arm64-monitor-window.png" 1 1)" "101,209,80" 6 || fail "gradient start"
colour_near "$(pixel "$shots/arm64-monitor-window.png" 173 2)" "51,0,153" 4 || fail "logo plate"

# /proc's figures as the statistics library makes them: percent free,
# rounded half up.
free_percent() { awk -v used="$1" -v limit="$2" 'BEGIN { if (used >= limit) print 0; else printf "%d\n", 100 * (limit - used) / limit + 0.5 }'; }
memory_free() {
  free_percent "$(awk '/^MemTotal:/ {t=$2} /^MemAvailable:/ {a=$2} END {print (a < t ? t - a : 0)}' /proc/meminfo)" \
    "$(awk '/^MemTotal:/ {print $2}' /proc/meminfo)"
}
tables_free() {
  local tasks limit files filesFree
  tasks=$(awk '{split($4, f, "/"); print f[2]}' /proc/loadavg)
  limit=$(sort -n /proc/sys/kernel/threads-max /proc/sys/kernel/pid_max | head -n 1)
  read -r -a files </proc/sys/fs/file-nr
  filesFree=$(free_percent $((files[0] - files[1])) "${files[2]}")
  tasks=$(free_percent "$tasks" "$limit")
  echo $((tasks < filesFree ? tasks : filesFree))
}
# The value part of a label, in window coordinates.
value_area() { echo "22x14+$1+$2"; }
mem=$(value_area 40 24) tables=$(value_area 120 24) tem=$(value_area 40 8) cpu=$(value_area 200 24)

# TEM against the reference's MEM number just below it: the same column of
# the gradient, a shade apart, hence the fuzz.
tem_shows() {
  printf 'GetResInfo 0 0 0\nGetCpuUsage 0\nMemoryLoad %d\n' $((100 - $1)) >"$script"
  sleep 1.2
  screenshot "$shots/arm64-tem.png"
  window_shot "$shots/arm64-tem.png" "$ox" "$oy" "$work/real.png"
  window_shot "$shots/arm64-tem.png" "$rx" "$ry" "$work/reference.png"
  convert "$work/real.png" -crop "$tem" +repage "$work/tem.png"
  convert "$work/reference.png" -crop "$mem" +repage "$work/expected-tem.png"
  [ "$(compare -metric AE -fuzz 8% "$work/tem.png" "$work/expected-tem.png" null: 2>&1)" = 0 ]
}

echo "== MEM and S_R as /proc has them"
matched= memDiff=none tablesDiff=none
for attempt in $(seq 10); do
  expected="$(memory_free) $(tables_free)"
  read -r memoryFree tablesFree <<<"$expected"
  printf 'GetResInfo %d 0 0\nGetCpuUsage 0\nMemoryLoad %d\n' "$tablesFree" "$memoryFree" >"$script"
  # Memory moves on a busy machine: only a reading that held still through
  # two ticks of both copies counts.
  steady=yes
  for _ in $(seq 12); do
    sleep 0.1
    [ "$(memory_free) $(tables_free)" = "$expected" ] || steady=
  done
  screenshot "$work/screen.png"
  [ -n "$steady" ] && [ "$(memory_free) $(tables_free)" = "$expected" ] || continue
  window_shot "$work/screen.png" "$ox" "$oy" "$work/real.png"
  window_shot "$work/screen.png" "$rx" "$ry" "$work/reference.png"
  memDiff=$(area_difference "$work/real.png" "$work/reference.png" "$mem")
  tablesDiff=$(area_difference "$work/real.png" "$work/reference.png" "$tables")
  if [ "$memDiff" = 0 ] && [ "$tablesDiff" = 0 ]; then
    matched=yes
    break
  fi
done
cp "$work/screen.png" "$shots/arm64-monitor.png"
[ -n "$matched" ] || fail "MEM or S_R is not what /proc says (MEM free $memoryFree %, tables free $tablesFree %:" \
  "$memDiff and $tablesDiff pixels differ; see $shots/arm64-monitor.png, the lower window is the expected)"
# CPU usage moves every half second: a number is there, digits high.
cpuHeight=$(convert "$work/real.png" -crop "$cpu" +repage -threshold 40% -negate -trim -format '%h' info:)
(( cpuHeight > 5 )) || fail "no CPU number ($cpuHeight pixels high)"

echo "== TEM: the cpu_thermal sensor, and it follows the sensor"
tem_shows 47 || fail "TEM does not show 47 for a cpu_thermal reading of 47123 (see $shots/arm64-tem.png)"
printf 52000 | dd of="$thermal/temp1_input" conv=notrunc status=none  # in place, as sysfs changes it
tem_shows 52 || fail "TEM does not show 52 after the sensor read 52000 (see $shots/arm64-tem.png)"

echo "== SIGTERM writes pelmo.ini with the window's place"
kill -TERM "$(xdotool getwindowpid "$win")"
for _ in $(seq 100); do kill -0 "$real" 2>/dev/null || break; sleep 0.05; done
kill -0 "$real" 2>/dev/null && fail "still running after SIGTERM"
wait "$real" || fail "exit status $? after SIGTERM"
[ "$(cat "$work/real/pelmo.ini")" = "$(printf '%d\r\n%d\r\n1\r\n' $((oy * 15)) $((ox * 15)))" ] ||
  fail "pelmo.ini: $(od -c "$work/real/pelmo.ini")"
echo "OK ($((SECONDS - started)) s from the start under qemu)"
