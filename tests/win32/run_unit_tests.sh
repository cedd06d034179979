#!/bin/bash
# Builds the Windows programs and runs the backend's unit tests under Wine
# in a prefix of their own.
set -euo pipefail
. "$(dirname "$0")/../e2e/lib.sh"
. "$(dirname "$0")/wine_lib.sh"
trap 'end_wine; cleanup' EXIT
build_windows_programs
new_prefix unit
cd "$win_build"
timeout 120 "$wine_loader" win32_unit_tests.exe
