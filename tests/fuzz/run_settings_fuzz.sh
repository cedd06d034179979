#!/bin/bash
# Builds the settings reader's fuzz target with clang (libFuzzer, ASan,
# UBSan) and runs it for a bounded time from the seed corpus.
#   run_settings_fuzz.sh WORK_DIR [SECONDS]
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
work=$1
seconds=${2:-30}
# The corpus in WORK_DIR grows from run to run: the seeds join what is there.
mkdir -p "$work/corpus"
cp "$here"/corpus/* "$work/corpus/"
clang++ -std=c++20 -O1 -g -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=all \
  -I"$root/ui/monitor" -I"$root/core" -I"$root/resources" "$here/settings_fuzz.cpp" "$root/ui/monitor/settings.cpp" \
  "$root/core/shown_bytes.cpp" -o "$work/settings_fuzz"
cd "$work"
./settings_fuzz -max_total_time="$seconds" -max_len=4096 -print_final_stats=1 corpus 2>&1 | tail -n 12
