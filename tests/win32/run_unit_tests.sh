#!/bin/bash
# Builds the Windows programs and runs the backend's unit tests under Wine
# in a prefix of their own, on a display of their own (windows are made and
# shown) and in a Japanese locale (the tray's tip and the links go to the
# shell in code page 932).
set -euo pipefail
. "$(dirname "$0")/../e2e/lib.sh"
. "$(dirname "$0")/wine_lib.sh"
trap 'end_wine; cleanup' EXIT
build_windows_programs
use_japanese_locale
new_prefix unit
start_display
cd "$win_build"
timeout 120 "$wine_loader" win32_unit_tests.exe
