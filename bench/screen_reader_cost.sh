#!/bin/bash
# What a listening screen reader costs the program: the program alone on a
# virtual display, then with the accessibility bus switched on and a
# listener taking every name change, each for SECONDS, in alternating order,
# ROUNDS times. Prints the program's CPU milliseconds per tick (2 a second)
# and the name changes the listener heard per second.
#   [PELMODESK=PROGRAM] bench/screen_reader_cost.sh [SECONDS] [ROUNDS]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
seconds=${1:-20} rounds=${2:-3}
[ "${INSIDE_SESSION:-}" = yes ] || INSIDE_SESSION=yes exec dbus-run-session -- "$0" "$@"
. "$root/tests/e2e/lib.sh"
program=${PELMODESK:-$root/build/pelmodesk}  # another build to compare
[ -x "$program" ] || fail "build the program first (scripts/build build)"
start_display wm
ticks=$((seconds * 2))

# CPU time of all the program's threads, in ms (to the nanosecond).
cpu_ms() { cat /proc/"$1"/task/*/schedstat | awk '{ns += $1} END {printf "%.3f", ns / 1e6}'; }

# The accessibility bus's switch, as a screen reader's settings flip it.
accessibility() {
  dbus-send --session --print-reply --dest=org.a11y.Bus /org/a11y/bus org.freedesktop.DBus.Properties.Set \
    string:org.a11y.Status string:IsEnabled variant:boolean:"$1" >/dev/null
}

run() {  # run MODE: prints "ms-per-tick [names-per-second]"
  local app listener= before after
  if [ "$1" = heard ]; then
    accessibility true
    /usr/bin/python3 - "$seconds" >"$work/heard" <<'PY' &
import sys, time, pyatspi
from gi.repository import GLib
count = [0]
pyatspi.Registry.registerEventListener(lambda e: count.__setitem__(0, count[0] + 1),
                                       "object:property-change:accessible-name")
time.sleep(1.5)  # the program starts
count[0] = 0
end = time.monotonic() + float(sys.argv[1])
while time.monotonic() < end:
    GLib.MainContext.default().iteration(False)
    time.sleep(0.01)
print("%.1f" % (count[0] / float(sys.argv[1])))
PY
    listener=$!
  else
    accessibility false
  fi
  "$program" >"$work/program.out" 2>&1 &
  app=$!
  sleep 1.5
  before=$(cpu_ms $app)
  sleep "$seconds"
  after=$(cpu_ms $app)
  [ -z "$listener" ] || wait $listener
  awk -v a="$before" -v b="$after" -v t=$ticks 'BEGIN {printf "%.3f", (b - a) / t}'
  [ -z "$listener" ] || echo " ms a tick, $(cat "$work/heard") name changes a second"
  kill $app
  wait $app 2>/dev/null || true
}

/usr/libexec/at-spi-bus-launcher --launch-immediately >/dev/null 2>&1 &
pids+=($!)
sleep 0.5
cd "$work"
for r in $(seq "$rounds"); do
  echo "round $r: alone $(run alone) ms a tick"
  echo "round $r: heard $(run heard)"
done
