#!/usr/bin/env bash
# Runs a Windows program under Wine on a virtual display, in the build's own Wine prefix.
#   wine-run.sh PROGRAM.exe [ARGUMENTS]
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
wine=/usr/lib/wine/wine64
[ -x "$wine" ] || wine=$(command -v wine64 || command -v wine)
export WINEPREFIX=${WINEPREFIX:-$root/build/windows/wineprefix}
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
if [ ! -f "$WINEPREFIX/system.reg" ]; then
    mkdir -p "$WINEPREFIX"
    xvfb-run -a "$wine" wineboot -i >/dev/null 2>&1
fi
exec xvfb-run -a -s "-screen 0 1280x800x24" "$wine" "$@"
