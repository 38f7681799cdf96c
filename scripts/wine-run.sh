#!/usr/bin/env bash
# Runs a Windows program under Wine on a virtual display, in a Wine prefix kept for the
# purpose (the build's own, unless KORVANE_WINE_PREFIXES names their folder).
#   [KORVANE_WINE_DPI=192] [KORVANE_WINE_ARCH=win32] wine-run.sh PROGRAM.exe [ARGUMENTS]
# KORVANE_WINE_DPI sets the screen's DPI, KORVANE_WINE_ARCH the kind of Windows, win64 or
# win32 (which needs a Wine that runs 32-bit code: the emulated machine's); a prefix of
# its own for each. A new prefix is a copy of KORVANE_WINE_TEMPLATE where that names a fresh
# prefix of the same kind (making one takes minutes in the emulated machine), else made anew.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
dpi=${KORVANE_WINE_DPI:-96} arch=${KORVANE_WINE_ARCH:-win64}
if [ "$arch" = win32 ]; then
    export WINEARCH=win32
    wine=/usr/lib/wine/wine
else
    wine=/usr/lib/wine/wine64
fi
[ -x "$wine" ] || wine=$(command -v wine64 || command -v wine)
wineserver=$(dirname "$wine")/wineserver
[ -x "$wineserver" ] || wineserver=$(command -v wineserver)
export WINEPREFIX=${WINEPREFIX:-${KORVANE_WINE_PREFIXES:-$root/build/windows}/wineprefix-$arch-$dpi}
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
if [ ! -f "$WINEPREFIX/system.reg" ]; then
    if [ -n "${KORVANE_WINE_TEMPLATE:-}" ]; then
        rm -rf "$WINEPREFIX"
        cp -a "$KORVANE_WINE_TEMPLATE" "$WINEPREFIX"
    else
        mkdir -p "$WINEPREFIX"
        xvfb-run -a "$wine" wineboot -i >/dev/null 2>&1
    fi
    xvfb-run -a "$wine" reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD \
        /d "$dpi" /f >/dev/null 2>&1
    "$wineserver" -w
fi
exec xvfb-run -a -s "-screen 0 1600x1000x24" "$wine" "$@"
