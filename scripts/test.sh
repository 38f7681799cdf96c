#!/usr/bin/env bash
# Installs what is missing, builds Korvane and runs every test: the release of the commit made
# twice and compared byte for byte (its packages are what the package checks install), the
# suites in a normal build, the same suites under the address and undefined-behaviour
# sanitizers (leaks included), a bounded run of each fuzz target, the native 64-bit Windows
# build tested under Wine, and the 32-bit one and the setup program tested under Wine in an
# emulated PC, whose disk is made (or found kept) first, as a step of its own.
#   bash scripts/test.sh [--quick]
# --quick: the normal build's suites only, with a release of the Debian package alone.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

quick=false
[ "${1:-}" = "--quick" ] && quick=true

korvane_install
# Where the desktops start Wayland sessions by default (Debian 13 on), the windows are also
# checked under KWin's and GNOME Shell's, headless, with the desktop portals that GNOME and
# KDE Plasma install beside them (the document portal mounts a FUSE file system).
compositors=OFF
if [ "$(. /etc/os-release && echo "${VERSION_ID:-99}")" -ge 13 ] 2>/dev/null; then
    korvane_install kwin-wayland kwin-style-breeze gnome-shell xwayland libglib2.0-bin \
        xdg-desktop-portal xdg-desktop-portal-gnome xdg-desktop-portal-gtk \
        xdg-desktop-portal-kde fuse3
    compositors=ON
fi
$quick || korvane_install clang libclang-rt-dev g++-mingw-w64-x86-64 g++-mingw-w64-i686 wine64 \
    nsis icoutils unzip mmdebstrap qemu-system-x86
cd "$korvane_root"

# Window tests need no display: they run on Qt's offscreen platform (set by the presets).
logs=$(mktemp -d)
trap 'rm -rf "$logs"' EXIT
passed=0
# Builds PRESET and runs its tests, adding what passed to the count. A failing test ends the
# test command there (set -e with pipefail), after ctest has said which.
suite() { # PRESET
    local preset=$1
    local settings=()
    [ "$preset" = default ] && settings=(-DKORVANE_COMPOSITOR_CHECKS=$compositors)
    korvane_build "$preset" "${settings[@]}"
    ctest --preset "$preset" 2>&1 | tee "$logs/$preset.log"
    passed=$((passed + $(sed -n 's/.*tests passed, 0 tests failed out of \([0-9]*\).*/\1/p' "$logs/$preset.log" | tail -n 1)))
}

if ! $quick; then
    # Before any test, so that no test's limit covers its 10 to 30 minutes.
    echo "== the emulated PC's disk, for the 32-bit Windows build's tests"
    bash scripts/emulated-machine-image.sh
fi

if $quick; then
    echo "== the release's Debian package"
    bash scripts/release.sh --debian-only
else
    echo "== the release, made twice and compared byte for byte"
    bash scripts/reproducible.sh
    passed=$((passed + 1))
fi

echo "== tests"
suite default

if ! $quick; then
    echo "== tests under the address and undefined-behaviour sanitizers"
    suite asan

    echo "== fuzzing"
    bash scripts/fuzz.sh "${KORVANE_FUZZ_SECONDS:-60}"

    echo "== the native Windows build under Wine"
    suite windows

    echo "== the 32-bit Windows build and the setup program, under Wine in an emulated PC"
    suite windows-x86
fi
echo "korvane: $passed passed, 0 failed"
