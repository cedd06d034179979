#!/bin/bash
# The .deb as a user meets it: built from the build directory, its files and
# control fields, lintian, installed with dpkg, started from its menu entry's
# Exec line in a fresh home on a virtual display, then purged.
#   deb_package.sh BUILD_DIR
# Needs root (it installs the package) and no pelmodesk installed before.
# A cross-build's package (ARCH, e.g. arm64) is checked up to lintian and
# its validators and not installed; the arm64 program runs under qemu in a
# test of its own.
#   deb_package.sh BUILD_DIR [ARCH]
set -euo pipefail
build=$(realpath "$1")
arch=${2:-$(dpkg --print-architecture)}
native=$([ "$arch" = "$(dpkg --print-architecture)" ] && echo yes || true)
. "$(dirname "$0")/../e2e/lib.sh"
app_id=org.example.pelmodesk
multiarch=$(dpkg-architecture -a"$arch" -qDEB_HOST_MULTIARCH 2>/dev/null)

if [ -n "$native" ]; then
  [ "$(id -u)" = 0 ] || { echo "SKIP: installing a package needs root"; exit 77; }
  if dpkg-query -W -f='${Status}' pelmodesk 2>/dev/null | grep -q installed; then
    fail "a pelmodesk package is installed already; this test installs and purges its own"
  fi
fi

echo "== build the package"
rm -rf "$build/package"
(cd "$build" && cpack -G DEB >"$work/cpack.out" 2>&1) || fail "cpack: $(cat "$work/cpack.out")"
deb=$(echo "$build"/package/pelmodesk_*.deb)
[ -f "$deb" ] || fail "no package in $build/package"

echo "== its files"
dpkg-deb --fsys-tarfile "$deb" | tar -t | grep -v '/$' | sed 's|^\./|/|' | sort >"$work/files"
{
  echo /etc/xdg/autostart/$app_id.desktop
  echo /usr/bin/pelmodesk
  echo /usr/lib/$multiarch/pelmodesk/libpinlatch.so
  echo /usr/lib/$multiarch/pelmodesk/libresinfo.so
  echo /usr/libexec/pelmodesk/pelmodesk-launch
  echo /usr/share/applications/$app_id.desktop
  echo /usr/share/doc/pelmodesk/changelog.gz
  echo /usr/share/doc/pelmodesk/copyright
  for size in 16 22 24 32 48 64 128 256; do echo /usr/share/icons/hicolor/${size}x$size/apps/$app_id.png; done
  echo /usr/share/lintian/overrides/pelmodesk
  echo /usr/share/man/man1/pelmodesk.1.gz
  echo /usr/share/metainfo/$app_id.metainfo.xml
} | sort >"$work/expected"
diff "$work/expected" "$work/files" >"$work/files.diff" || fail "file list: $(cat "$work/files.diff")"

echo "== its control fields"
field() { dpkg-deb -f "$deb" "$1"; }
[ "$(field Package)" = pelmodesk ] || fail "Package: $(field Package)"
[ "$(field Architecture)" = "$arch" ] || fail "Architecture: $(field Architecture)"
[ "$(basename "$deb")" = "pelmodesk_$(field Version)_$arch.deb" ] || fail "file name: $(basename "$deb")"
# Depends comes from the binaries; the libraries loaded by name are inside.
field Depends | tr ',' '\n' | awk '{print $1}' >"$work/depends"
for dependency in libc6 libqt6widgets6 libqt6gui6 libqt6core6 libstdc++6; do
  grep -qxF "$dependency" "$work/depends" || fail "Depends lacks $dependency: $(field Depends)"
done
[ "$(field Recommends)" = "fonts-ipafont-gothic, xdg-utils" ] || fail "Recommends: $(field Recommends)"
[ -n "$(field Maintainer)" ] && [ -n "$(field Description)" ] || fail "no Maintainer or Description"
dpkg-deb --ctrl-tarfile "$deb" | tar -xO ./conffiles | grep -qx /etc/xdg/autostart/$app_id.desktop ||
  fail "the autostart entry is not a conffile"

echo "== lintian, desktop-file-validate, appstreamcli"
lintian --fail-on error "$deb" >"$work/lintian.out" 2>&1 || fail "lintian: $(cat "$work/lintian.out")"
mkdir "$work/unpacked"
dpkg-deb -x "$deb" "$work/unpacked"
desktop-file-validate "$work/unpacked/usr/share/applications/$app_id.desktop" ||
  fail "the menu entry does not validate"
cmp -s "$work/unpacked/usr/share/applications/$app_id.desktop" "$work/unpacked/etc/xdg/autostart/$app_id.desktop" ||
  fail "the autostart entry differs from the menu entry"
appstreamcli validate --no-net "$work/unpacked/usr/share/metainfo/$app_id.metainfo.xml" >"$work/appstream.out" 2>&1 ||
  fail "metainfo: $(cat "$work/appstream.out")"

# The program finds its private libraries where the package puts them.
readelf -d "$work/unpacked/usr/bin/pelmodesk" | grep -qF "[\$ORIGIN/../lib/$multiarch/pelmodesk]" ||
  fail "RUNPATH: $(readelf -d "$work/unpacked/usr/bin/pelmodesk" | grep -i path)"
if [ -z "$native" ]; then
  echo "OK ($arch: not installed here)"
  exit 0
fi

echo "== install with dpkg"
installed=
purge() { [ -n "$installed" ] && dpkg --purge pelmodesk >/dev/null 2>&1; installed=; }
trap 'purge; cleanup' EXIT
dpkg -i "$deb" >"$work/dpkg.out" 2>&1 || fail "dpkg -i: $(cat "$work/dpkg.out")"
installed=yes

echo "== started from the menu entry's Exec line in a fresh home"
exec_line=$(sed -n 's/^Exec=//p' /usr/share/applications/$app_id.desktop)
[ -x "$exec_line" ] || fail "Exec is not a program: $exec_line"
start_display wm
start_tray_host
export HOME=$work/home
mkdir -p "$HOME" "$work/elsewhere"
unset XDG_CONFIG_HOME
cd "$work/elsewhere"  # a session starts programs wherever it likes

has_window() { xwininfo -root -tree | grep -c "\"pelmodesk\".* $1+" >/dev/null; }

# Starts the entry's command, waits for the window and the tray icon, checks
# that the program is the installed one with its private libraries, and
# ends it with SIGTERM, as a logout would.
run_from_entry() {
  dbus-run-session -- $exec_line >"$work/program.out" 2>&1 &
  local session=$! program
  pids+=($session)
  wait_window pelmodesk >/dev/null
  has_window 244x41 || fail "no monitor window"
  for _ in $(seq 40); do has_window 22x22 && break; sleep 0.1; done
  has_window 22x22 || fail "no icon in the tray"
  program=$(pgrep -P "$session" -x pelmodesk) || fail "no pelmodesk process under the session"
  [ "$(readlink "/proc/$program/exe")" = /usr/bin/pelmodesk ] || fail "runs $(readlink "/proc/$program/exe")"
  # The libraries are bound at the first tick.
  for _ in $(seq 40); do grep -q "/usr/lib/$multiarch/pelmodesk/libresinfo.so" "/proc/$program/maps" && break; sleep 0.1; done
  grep -q "/usr/lib/$multiarch/pelmodesk/libresinfo.so" "/proc/$program/maps" ||
    fail "the private statistics library is not loaded"
  kill -TERM "$program"
  for _ in $(seq 100); do kill -0 "$session" 2>/dev/null || break; sleep 0.05; done
  kill -0 "$session" 2>/dev/null && fail "still running after SIGTERM"
  wait "$session" || fail "exit status $? after SIGTERM"
}
run_from_entry
[ -f "$HOME/.config/pelmodesk/pelmo.ini" ] || fail "no pelmo.ini in ~/.config/pelmodesk: $(find "$HOME" "$work/elsewhere")"
[ "$(ls -A "$work/elsewhere")" = "" ] || fail "files left where the session started it: $(ls -A "$work/elsewhere")"

echo "== XDG_CONFIG_HOME chooses the settings' place"
export XDG_CONFIG_HOME=$work/config
run_from_entry
[ -f "$XDG_CONFIG_HOME/pelmodesk/pelmo.ini" ] || fail "no pelmo.ini in \$XDG_CONFIG_HOME/pelmodesk"

echo "== purged: nothing left but the user's settings"
dpkg --purge pelmodesk >"$work/dpkg.out" 2>&1 || fail "dpkg --purge: $(cat "$work/dpkg.out")"
installed=
while read -r file; do
  [ -e "$file" ] && fail "left behind: $file"
done <"$work/files"
for dir in /usr/lib/$multiarch/pelmodesk /usr/libexec/pelmodesk /usr/share/doc/pelmodesk; do
  [ -e "$dir" ] && fail "left behind: $dir"
done
[ -f "$HOME/.config/pelmodesk/pelmo.ini" ] || fail "the user's settings went with the package"
echo "OK"
