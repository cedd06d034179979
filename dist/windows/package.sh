#!/bin/bash
# The Windows installer and the portable .zip from a Windows build
# directory, into DIR/package/: pelmodesk-VERSION-setup.exe and
# pelmodesk-VERSION.zip. A 64-bit build (the tests' where the kernel runs
# no 32-bit programs) gets a 64-bit installer.
#   dist/windows/package.sh BUILD_DIR
set -euo pipefail
build=$(realpath "$1")
here=$(cd "$(dirname "$0")" && pwd)
version=$(sed -n 's/^project(pelmodesk VERSION \([0-9.]*\).*/\1/p' "$here/../../CMakeLists.txt")
out=$build/package
rm -rf "$out"
mkdir -p "$out/pelmodesk"
for file in pelmodesk.exe resinfo.dll pinlatch.dll; do
  [ -f "$build/$file" ] || { echo "no $build/$file" >&2; exit 1; }
  cp "$build/$file" "$out/pelmodesk/"
done
amd64=()
objdump -f "$build/pelmodesk.exe" | grep -q x86-64 && amd64=(-DAMD64)
makensis -V2 -DSOURCE="$out/pelmodesk" -DOUTFILE="$out/pelmodesk-$version-setup.exe" -DVERSION="$version" \
  "${amd64[@]}" "$here/pelmodesk.nsi" >/dev/null
# Portable: unpacked anywhere, it keeps pelmo.ini in the directory it is
# started from.
(cd "$out" && zip -q -r -X "pelmodesk-$version.zip" pelmodesk)
rm -r "$out/pelmodesk"
ls "$out"/*
