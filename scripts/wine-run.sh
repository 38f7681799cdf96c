#!/usr/bin/env bash
# Runs a Windows program under Wine on a virtual display, in the build's own Wine prefix.
#   [KORVANE_WINE_DPI=192] wine-run.sh PROGRAM.exe [ARGUMENTS]
# KORVANE_WINE_DPI sets the screen's DPI (a prefix of its own for each).
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
wine=/usr/lib/wine/wine64
[ -x "$wine" ] || wine=$(command -v wine64 || command -v wine)
wineserver=$(dirname "$wine")/wineserver
[ -x "$wineserver" ] || wineserver=$(command -v wineserver)
dpi=${KORVANE_WINE_DPI:-96}
export WINEPREFIX=${WINEPREFIX:-$root/build/windows/wineprefix-$dpi}
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
if [ ! -f "$WINEPREFIX/system.reg" ]; then
    mkdir -p "$WINEPREFIX"
    xvfb-run -a "$wine" wineboot -i >/dev/null 2>&1
    xvfb-run -a "$wine" reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD \
        /d "$dpi" /f >/dev/null 2>&1
    "$wineserver" -w
fi
exec xvfb-run -a -s "-screen 0 1600x1000x24" "$wine" "$@"
