#!/bin/bash
# The Windows installer and portable .zip as a user meets them, under Wine:
# the .zip's files; the installer run silently; the shortcuts read back with
# their working directory; the program started from the Startup shortcut
# writes pelmo.ini into %APPDATA%\pelmodesk; the silent uninstaller removes
# everything but that.
set -euo pipefail
. "$(dirname "$0")/../e2e/lib.sh"
. "$(dirname "$0")/wine_lib.sh"
trap 'end_wine; cleanup' EXIT
build_windows_programs
"$root/dist/windows/package.sh" "$win_build" >/dev/null || fail "dist/windows/package.sh failed"
setup=$(ls "$win_build"/package/pelmodesk-*-setup.exe)
portable=$(ls "$win_build"/package/pelmodesk-*.zip)

echo "== the portable .zip: the program and its two libraries in one folder"
[ "$(unzip -Z1 "$portable" | sort | tr '\n' ' ')" = \
  "pelmodesk/ pelmodesk/pelmodesk.exe pelmodesk/pinlatch.dll pelmodesk/resinfo.dll " ] ||
  fail "zip: $(unzip -Z1 "$portable")"

new_prefix installer
start_display
home_win='C:\users\'$(whoami)
home=$WINEPREFIX/drive_c/users/$(whoami)
programs=$home/AppData/Local/Programs/pelmodesk
settings=$home/AppData/Roaming/pelmodesk
menu='AppData\Roaming\Microsoft\Windows\Start Menu\Programs'
key='HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\pelmodesk'

echo "== installed silently for the user"
timeout 60 "$wine_loader" "$setup" /S
"$wine_server" -w
for file in pelmodesk.exe resinfo.dll pinlatch.dll uninstall.exe; do
  [ -f "$programs/$file" ] || fail "not installed: $file ($(find "$home" -iname 'pelmodesk*'))"
done
[ -d "$settings" ] || fail "no %APPDATA%\\pelmodesk"
"$wine_loader" reg query "$key" /v QuietUninstallString >/dev/null 2>&1 || fail "no uninstall entry"

echo "== both shortcuts start the program in %APPDATA%\\pelmodesk"
for link in "$menu\\pelmodesk\\pelmodesk.lnk" "$menu\\Startup\\pelmodesk.lnk"; do
  read_back=$("$wine_loader" "$win_build/read_shortcut.exe" "$home_win\\$link" | tr -d '\r')
  [ "$read_back" = "$(printf '%s\n%s' "$home_win\\AppData\\Local\\Programs\\pelmodesk\\pelmodesk.exe" \
    "$home_win\\AppData\\Roaming\\pelmodesk")" ] || fail "$link reads: $read_back"
done

echo "== started from the Startup shortcut, it keeps pelmo.ini in %APPDATA%\\pelmodesk"
"$wine_loader" start "$home_win\\$menu\\Startup\\pelmodesk.lnk"
window=
for _ in $(seq 100); do
  window=$(xdotool search --onlyvisible --class pelmodesk.exe 2>/dev/null | head -n 1) && [ -n "$window" ] && break
  sleep 0.1
done
[ -n "$window" ] || fail "the program did not start from its shortcut"
timeout 30 "$wine_loader" wineboot --end-session
for _ in $(seq 100); do [ -s "$settings/pelmo.ini" ] && break; sleep 0.1; done
# The session's own processes outlive a logoff; the uninstaller starts anew.
"$wine_server" -k
[ -s "$settings/pelmo.ini" ] || fail "no pelmo.ini in %APPDATA%\\pelmodesk: $(find "$WINEPREFIX/drive_c" -name pelmo.ini)"

echo "== uninstalled silently: everything but the settings goes"
timeout 60 "$wine_loader" "$programs/uninstall.exe" /S
"$wine_server" -w
[ -e "$programs" ] && fail "left behind: $(ls -A "$programs")"
[ -e "$home/$(tr '\\' / <<<"$menu")/Startup/pelmodesk.lnk" ] && fail "the Startup shortcut is left"
[ -e "$home/$(tr '\\' / <<<"$menu")/pelmodesk" ] && fail "the Start menu folder is left"
"$wine_loader" reg query "$key" >/dev/null 2>&1 && fail "the uninstall entry is left"
[ -s "$settings/pelmo.ini" ] || fail "the user's settings went too"
echo "ok"
