#!/usr/bin/env bash
# Installs what is missing, builds Korvane and starts it.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

korvane_install
korvane_build default
program="$korvane_root/build/default/app/korvane"

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    cat >&2 <<MSG
korvane: built $program, but there is no display to open its window on
(neither DISPLAY nor WAYLAND_DISPLAY is set). To start it under a virtual display:

    xvfb-run -a bash scripts/run.sh
MSG
    exit 2
fi
exec "$program" "$@"
