#!/usr/bin/env bash
# Installs what is missing, builds Korvane and runs every test.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

korvane_install
korvane_build default

# Window tests need no display: they run on Qt's offscreen platform.
export QT_QPA_PLATFORM=offscreen
cd "$korvane_root"
ctest --preset default
