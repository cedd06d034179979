#!/bin/bash
# Two architectures' .deb hold the same package: the same files (the
# multiarch directory aside), the same bytes in every file that is not
# machine code, and the same control fields but the architecture and size.
#   same_contents.sh DEB DEB
set -euo pipefail
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

for side in 1 2; do
  deb=${!side}
  arch=$(dpkg-deb -f "$deb" Architecture)
  multiarch=$(dpkg-architecture -a"$arch" -qDEB_HOST_MULTIARCH 2>/dev/null)
  dpkg-deb -x "$deb" "$work/$side"
  # The library directory under one name on both sides.
  mv "$work/$side/usr/lib/$multiarch" "$work/$side/usr/lib/multiarch"
  (cd "$work/$side" && find . -type f | sort) >"$work/files$side"
  dpkg-deb -f "$deb" | grep -v -e '^Architecture:' -e '^Installed-Size:' >"$work/control$side"
done
diff "$work/files1" "$work/files2" || fail "different files"
diff "$work/control1" "$work/control2" || fail "different control fields"
while read -r file; do
  [ "$(head -c 4 "$work/1/$file" | od -An -c | tr -d ' ')" = '177ELF' ] && continue
  cmp "$work/1/$file" "$work/2/$file" || fail "$file differs"
done <"$work/files1"
echo "OK: $(dpkg-deb -f "$1" Architecture) and $(dpkg-deb -f "$2" Architecture) hold the same package"
