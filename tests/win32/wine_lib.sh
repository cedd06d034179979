# Helpers for running the Windows programs under Wine. Source it after
# tests/e2e/lib.sh (it uses $work and fail).
#
# The shipped program is 32-bit. Where this machine's kernel runs no 32-bit
# programs, 32-bit Wine cannot start; then the 64-bit build of the same
# sources (build-win64) runs under 64-bit Wine instead.

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)

if /usr/lib/wine/wine --version >/dev/null 2>&1; then
  wine_loader=/usr/lib/wine/wine wine_server=/usr/lib/wine/wineserver32 WINEARCH=win32 win_build=$root/build-win32
else
  wine_loader=/usr/lib/wine/wine64 wine_server=/usr/lib/wine/wineserver64 WINEARCH=win64 win_build=$root/build-win64
fi
# No debug output, no crash dialog (it would wait for a click), no Mono or
# Gecko installers.
export WINEARCH WINEDEBUG=-all WINEDLLOVERRIDES="winedbg.exe=d;mscoree,mshtml="

# Builds what the tests run: build-win32 always, build-win64 where needed.
build_windows_programs() {
  "$root/scripts/build-win32" >/dev/null || fail "scripts/build-win32 failed"
  if [ "$WINEARCH" = win64 ]; then
    if [ ! -f "$win_build/CMakeCache.txt" ]; then
      cmake -S "$root" -B "$win_build" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" \
        -DCMAKE_BUILD_TYPE=MinSizeRel -DPELMO_WERROR=ON >/dev/null || fail "configuring $win_build failed"
    fi
    cmake --build "$win_build" >/dev/null || fail "building $win_build failed"
  fi
}

# Japanese Windows: code page 932 needs a ja_JP locale, which Debian does
# not generate by default; made once per run under $work.
use_japanese_locale() {
  if [ ! -d "$work/locale/ja_JP.UTF-8" ]; then
    mkdir -p "$work/locale"
    localedef -i ja_JP -f UTF-8 "$work/locale/ja_JP.UTF-8" >/dev/null 2>&1 || fail "localedef ja_JP failed"
  fi
  export LOCPATH=$work/locale LANG=ja_JP.UTF-8
}

wine_() { "$wine_loader" "$@"; }

# A fresh prefix, made once per build directory (several seconds) and
# copied for each scenario: WINEPREFIX=$work/prefix-NAME.
new_prefix() {
  local base=$win_build/wineprefix-base
  # A prefix made before the font settings below is made again.
  if ! grep -qs '"AntialiasFakeBoldOrItalic"="n"' "$base/user.reg"; then
    rm -rf "$base"
    WINEPREFIX=$base timeout 180 "$wine_loader" wineboot -i >/dev/null 2>&1
    # The design font's name, in Japanese and in English, has no alias on
    # Debian: IPA's proportional gothic stands in. mailto: goes to
    # xdg-email, as http goes to xdg-open.
    local name
    for name in 'ＭＳ Ｐゴシック' 'MS PGothic'; do
      WINEPREFIX=$base LANG=C.UTF-8 "$wine_loader" reg add 'HKCU\Software\Wine\Fonts\Replacements' \
        /v "$name" /d IPAPGothic /f >/dev/null 2>&1
    done
    # IPAPGothic has no bold face: Wine makes one up and, unlike Windows,
    # draws it anti-aliased regardless of the font's own table, which asks
    # for plain black pixels at label sizes. Without this the labels come
    # out thin and grey.
    WINEPREFIX=$base "$wine_loader" reg add 'HKCU\Software\Wine\Fonts' /v AntialiasFakeBoldOrItalic /d n /f \
      >/dev/null 2>&1
    WINEPREFIX=$base "$wine_loader" reg add 'HKCU\Software\Wine\WineBrowser' /v Mailers /d xdg-email /f >/dev/null 2>&1
    WINEPREFIX=$base "$wine_loader" reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 \
      /f >/dev/null 2>&1
    # Frames as Windows draws them: without this, Wine asks the window
    # manager to decorate a sizing border, and openbox adds a title bar.
    WINEPREFIX=$base "$wine_loader" reg add 'HKCU\Software\Wine\X11 Driver' /v Decorated /d N /f >/dev/null 2>&1
    WINEPREFIX=$base "$wine_server" -w
    grep -qs '"AntialiasFakeBoldOrItalic"="n"' "$base/user.reg" || fail "no Wine prefix"
  fi
  export WINEPREFIX=$work/prefix-$1
  rm -rf "$WINEPREFIX"
  cp -a "$base" "$WINEPREFIX"
}

# Ends the prefix's programs and its server.
end_wine() { [ -n "${WINEPREFIX:-}" ] && "$wine_server" -k 2>/dev/null || true; }
