#!/bin/bash
# pelmodesk beside conky, gkrellm and xosview, each configured for the same
# job (four readings at 2 Hz in a small window). Each program runs alone on a
# fresh virtual X display, in alternating order, ROUNDS times: CPU time per
# second of the program and of the X server over the same window (drawing
# can move from one into the other), resident and private dirty memory,
# threads; then system calls per tick and time from exec to first paint.
# Figures are medians; compare them as ratios within one run.
#   bench/compare_peers.sh [-s SECONDS] [-r ROUNDS] [-p PAINTS] [-c PEER_CONFIG_DIR] [PROGRAM...]
# PROGRAM is any of pelmodesk conky gkrellm xosview (default: all four).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
seconds=30 rounds=3 paints=20 peers=$root/../shared/bench/peers
while getopts s:r:p:c: opt; do
  case $opt in
    s) seconds=$OPTARG ;;
    r) rounds=$OPTARG ;;
    p) paints=$OPTARG ;;
    c) peers=$OPTARG ;;
    *) exit 2 ;;
  esac
done
shift $((OPTIND - 1))
names=("$@")
[ ${#names[@]} -gt 0 ] || names=(pelmodesk conky gkrellm xosview)
build=$root/build

export DEBIAN_FRONTEND=noninteractive
need=(conky-std gkrellm xosview xfonts-base libx11-dev strace xvfb dbus-daemon)
for p in "${need[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" ||
    { apt-get update -qq && apt-get install -y -qq --no-install-recommends "${need[@]}" >/dev/null; break; }
done
[ -x "$build/pelmodesk" ] || "$root/scripts/build" build >/dev/null
# A program just linked still has pages waiting to be written back, which
# its memory map counts as private and dirty.
sync

# A desktop session has a message bus; without one, the first program that
# asks for it would have libdbus launch a daemon, on its clock.
if [ -z "${DBUS_SESSION_BUS_ADDRESS:-}" ]; then
  exec dbus-run-session -- "$0" -s "$seconds" -r "$rounds" -p "$paints" -c "$peers" "${names[@]}"
fi

work=$(mktemp -d)
pids=()
cleanup() {
  [ ${#pids[@]} -eq 0 ] || kill "${pids[@]}" 2>/dev/null || true
  wait 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
gcc -O2 -o "$work/first_paint" "$root/bench/first_paint.c" -lX11
if [[ " ${names[*]} " == *" gkrellm "* ]]; then
  cp -r "$peers/gkrellm-home" "$work/gkrellm-home"
  chmod -R u+w "$work/gkrellm-home"
fi
cd "$work"  # pelmodesk keeps its settings file in the current directory

declare -A command=(
  [pelmodesk]="-region 84,109,242,39 $build/pelmodesk"
  [conky]="conky -q -c $peers/conkyrc.lua"
  [gkrellm]="env HOME=$work/gkrellm-home gkrellm"
  [xosview]="xosview -xrm xosview*samplesPerSec:2 -xrm xosview*memPriority:1 -load -disk -swap -page -net -battery -wireless -gfx -int -irqrate -cpus -geometry 242x39+300+0"
)

new_display() {
  rm -f "$work/display"
  Xvfb -displayfd 3 -screen 0 800x600x24 -nolisten tcp 3>"$work/display" 2>/dev/null &
  xvfb=$!
  pids=("$xvfb")
  for _ in $(seq 200); do [ -s "$work/display" ] && break; sleep 0.05; done
  export DISPLAY=":$(cat "$work/display")"
}
end_display() {
  kill "${pids[@]}" 2>/dev/null || true
  wait "${pids[@]}" 2>/dev/null || true
  pids=()
}
start() {
  ${command[$1]#-region * } >/dev/null 2>&1 &
  pid=$!
  pids+=("$pid")
}

cpu_ns() { cat /proc/"$1"/task/*/schedstat 2>/dev/null | awk '{s += $1} END {print s + 0}'; }
kb() { awk -v k="$2:" '$1 == k {print $2}' "$1"; }
median() { sort -g | awk '{v[NR] = $1} END {print NR ? (NR % 2 ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2) : "-"}'; }
# Each round runs the programs in turn, every other round in reverse, so no
# program always follows the same neighbour.
order() {
  if (($1 % 2)); then for ((i = ${#names[@]} - 1; i >= 0; i--)); do echo "${names[i]}"; done; else printf '%s\n' "${names[@]}"; fi
}

echo "== each alone on a fresh display, $rounds rounds of $seconds s after a 5 s warm-up"
declare -A samples
for ((round = 0; round < rounds; round++)); do
  for name in $(order "$round"); do
    new_display
    start "$name"
    sleep 5
    p0=$(cpu_ns "$pid") x0=$(cpu_ns "$xvfb") t0=$(date +%s%N)
    sleep "$seconds"
    p1=$(cpu_ns "$pid") x1=$(cpu_ns "$xvfb") t1=$(date +%s%N)
    line=$(awk -v p="$((p1 - p0))" -v x="$((x1 - x0))" -v t="$((t1 - t0))" \
      'BEGIN {printf "%.4f %.4f %.4f", 100 * p / t, 100 * x / t, 100 * (p + x) / t}')
    line+=" $(kb /proc/"$pid"/smaps_rollup Rss) $(kb /proc/"$pid"/smaps_rollup Private_Dirty) $(kb /proc/"$pid"/status Threads)"
    samples[$name]+="$line"$'\n'
    echo "$name: program/X/both % $(cut -d' ' -f1-3 <<<"$line"), RSS/Private_Dirty kB $(cut -d' ' -f4-5 <<<"$line")"
    end_display
  done
done

echo "== system calls per tick (strace over 10 s = 20 ticks)"
declare -A calls
for name in "${names[@]}"; do
  new_display
  start "$name"
  sleep 3
  timeout -s INT 10 strace -f -c -p "$pid" -o "$work/strace.$name" 2>/dev/null || true
  calls[$name]=$(awk '$NF == "total" {printf "%.1f", $4 / 20}' "$work/strace.$name")
  end_display
done

echo "== exec to first paint, each on a fresh display, median of $paints"
declare -A paint
for ((run = 0; run < paints; run++)); do
  for name in $(order "$run"); do
    new_display
    read -r p ms < <("$work/first_paint" ${command[$name]} 2>/dev/null) || true
    pids+=("${p:-}")
    paint[$name]+="${ms:-timeout}"$'\n'
    end_display
  done
done

column() { cut -d' ' -f"$2" <<<"${samples[$1]%$'\n'}" | median; }
ref=xosview
[[ " ${names[*]} " == *" $ref "* ]] || ref=${names[0]}
printf '\n| program | CPU %% of a core | X server %% | program + X %% | program / %s | both / %s | RSS MB | Private_Dirty MB | threads | syscalls/tick | exec to first paint ms |\n' "$ref" "$ref"
printf '|---|---|---|---|---|---|---|---|---|---|---|\n'
for name in "${names[@]}"; do
  cpu=$(column "$name" 1) x=$(column "$name" 2) both=$(column "$name" 3)
  awk -v n="$name" -v c="$cpu" -v x="$x" -v b="$both" -v rc="$(column "$ref" 1)" -v rb="$(column "$ref" 3)" \
    -v rss="$(column "$name" 4)" -v pd="$(column "$name" 5)" -v th="$(column "$name" 6)" \
    -v sc="${calls[$name]:--}" -v fp="$(grep -v timeout <<<"${paint[$name]:-}" | median)" \
    'BEGIN {printf "| %s | %.3f | %.3f | %.3f | %.2f | %.2f | %.1f | %.2f | %d | %s | %s |\n",
            n, c, x, b, (rc > 0 ? c / rc : 0), (rb > 0 ? b / rb : 0), rss / 1024, pd / 1024, th, sc, fp}'
done
