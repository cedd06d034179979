#!/bin/bash
# Runs the Wine test program beside pinlatch.dll in a 32-bit Wine prefix of
# its own, made on first use, with Wine's debug output and crash dialog off
# (the dialog would wait for a click that never comes).
#   run_under_wine.sh BUILD_WIN32_DIR
set -euo pipefail
dir=$(cd "$1" && pwd)
# A kernel without 32-bit support starts no 32-bit program, Wine's loader
# included: nothing can be run here (the backend's unit tests cover the
# same port calls in a 64-bit build).
if ! /usr/lib/wine/wine --version >/dev/null 2>&1; then
  echo "skipped: this kernel runs no 32-bit programs"
  exit 77
fi
export WINEPREFIX=$dir/wineprefix WINEARCH=win32 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
trap 'wineserver -k 2>/dev/null || true' EXIT
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  timeout 120 wineboot -i >/dev/null 2>&1
  wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >/dev/null 2>&1
fi
cd "$dir"
timeout 60 wine pinlatch_test.exe
