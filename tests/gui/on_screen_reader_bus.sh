#!/usr/bin/env bash
# Runs a Qt program as a screen reader would meet it: on a virtual display (xcb), in a D-Bus
# session of its own with the accessibility bus running, and Qt's bridge to it switched on,
# so that Qt hands its accessibility events on (it drops them while no screen reader is
# there, and the offscreen platform has no bridge at all).
#   on_screen_reader_bus.sh PROGRAM [ARGUMENT...]
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/../support/checks.sh"
if [ -z "${KORVANE_ON_BUS:-}" ]; then
    export KORVANE_ON_BUS=1
    korvane_on_display 1280x800x24 dbus-run-session -- bash "$0" "$@"
    exit
fi
/usr/libexec/at-spi-bus-launcher --launch-immediately &
launcher=$!
trap 'kill "$launcher" 2>/dev/null' EXIT
export QT_QPA_PLATFORM=xcb QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1
"$@"
