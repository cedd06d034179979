#!/bin/bash
# pelmodesk beside conky, gkrellm and xosview, each configured for the same
# job (four readings at 2 Hz in a small window), on one virtual X display:
# CPU time per second, resident and private dirty memory, threads, system
# calls per tick, and time from exec to first paint.
#   bench/compare_peers.sh [SECONDS] [PEER_CONFIG_DIR]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
seconds=${1:-60}
peers=${2:-$root/../shared/bench/peers}
build=$root/build

export DEBIAN_FRONTEND=noninteractive
need=(conky-std gkrellm xosview xfonts-base libx11-dev strace xvfb)
for p in "${need[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" ||
    { apt-get update -qq && apt-get install -y -qq --no-install-recommends "${need[@]}" >/dev/null; break; }
done
[ -x "$build/pelmodesk" ] || "$root/scripts/build" build >/dev/null

work=$(mktemp -d)
pids=()
trap 'kill "${pids[@]}" 2>/dev/null; wait 2>/dev/null; rm -rf "$work"' EXIT
gcc -O2 -o "$work/first_paint" "$root/bench/first_paint.c" -lX11
cp -r "$peers/gkrellm-home" "$work/gkrellm-home"
chmod -R u+w "$work/gkrellm-home"

declare -A command=(
  [pelmodesk]="-region 84,109,242,39 $build/pelmodesk"
  [conky]="conky -q -c $peers/conkyrc.lua"
  [gkrellm]="env HOME=$work/gkrellm-home gkrellm"
  [xosview]="xosview -xrm xosview*samplesPerSec:2 -xrm xosview*memPriority:1 -load -disk -swap -page -net -battery -wireless -gfx -int -irqrate -cpus -geometry 242x39+300+0"
)
names=(pelmodesk conky gkrellm xosview)

new_display() {
  Xvfb -displayfd 3 -screen 0 800x600x24 -nolisten tcp 3>"$work/display" 2>/dev/null &
  xvfb=$!
  for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.05; done
  export DISPLAY=":$(cat "$work/display")"
}

cpu_ns() { cat /proc/"$1"/task/*/schedstat 2>/dev/null | awk '{s += $1} END {print s + 0}'; }
status_kb() { awk -v k="$2:" '$1 == k {print $2}' /proc/"$1"/status; }

echo "== exec to first paint (each alone on a fresh display, median of 3)"
declare -A paint
for name in "${names[@]}"; do
  times=()
  for _ in 1 2 3; do
    new_display
    read -r pid ms < <("$work/first_paint" ${command[$name]} 2>/dev/null)
    times+=("$ms")
    kill "$pid" 2>/dev/null || true
    sleep 0.3
    kill "$xvfb"; wait "$xvfb" 2>/dev/null || true
    rm -f "$work/display"
  done
  paint[$name]=$(printf '%s\n' "${times[@]}" | sort -n | sed -n 2p)
  echo "$name: ${times[*]} ms"
done

echo "== side by side for $seconds s"
new_display
pids+=("$xvfb")
declare -A pid
for name in "${names[@]}"; do
  ${command[$name]#-region * } >/dev/null 2>&1 &
  pid[$name]=$!
  pids+=($!)
done
sleep 5
declare -A start
for name in "${names[@]}"; do start[$name]=$(cpu_ns "${pid[$name]}"); done
t0=$(date +%s%N)
sleep "$seconds"
t1=$(date +%s%N)
declare -A cpu rss dirty threads calls
for name in "${names[@]}"; do
  p=${pid[$name]}
  cpu[$name]=$(awk -v a="${start[$name]}" -v b="$(cpu_ns "$p")" -v t=$((t1 - t0)) 'BEGIN {printf "%.3f", 100 * (b - a) / t}')
  rss[$name]=$(awk -v k="$(status_kb "$p" VmRSS)" 'BEGIN {printf "%.1f", k / 1024}')
  dirty[$name]=$(awk '$1 == "Private_Dirty:" {printf "%.1f", $2 / 1024}' /proc/"$p"/smaps_rollup)
  threads[$name]=$(status_kb "$p" Threads)
done

echo "== system calls per tick (strace over 10 s = 20 ticks)"
for name in "${names[@]}"; do
  timeout -s INT 10 strace -f -c -p "${pid[$name]}" -o "$work/strace.$name" 2>/dev/null || true
  total=$(awk '$NF == "total" {print $(NF-1) == "" ? 0 : $4}' "$work/strace.$name")
  calls[$name]=$(awk -v t="${total:-0}" 'BEGIN {printf "%.1f", t / 20}')
done

printf '\n| program | CPU %% of one core | ratio to pelmodesk | RSS MB | Private_Dirty MB | threads | syscalls/tick | exec to first paint ms |\n'
printf '|---|---|---|---|---|---|---|---|\n'
for name in "${names[@]}"; do
  ratio=$(awk -v a="${cpu[$name]}" -v b="${cpu[pelmodesk]}" 'BEGIN {if (b > 0) printf "%.1f", a / b; else print "-"}')
  printf '| %s | %s | %s | %s | %s | %s | %s | %s |\n' "$name" "${cpu[$name]}" "$ratio" "${rss[$name]}" \
    "${dirty[$name]}" "${threads[$name]}" "${calls[$name]}" "${paint[$name]}"
done
