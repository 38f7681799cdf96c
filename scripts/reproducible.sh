#!/usr/bin/env bash
# Builds the committed tree twice, in two folders at two times with the same
# SOURCE_DATE_EPOCH (the commit's time unless set), and compares the SHA-256 sums of what
# a user downloads: the Debian package and its -dbgsym package, the stripped program the
# package holds, the stripped 64- and 32-bit Windows executables and their debug files.
#   bash scripts/reproducible.sh [COMMIT]
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"
korvane_install g++-mingw-w64-x86-64 g++-mingw-w64-i686 nsis git
cd "$korvane_root"
commit=$(git rev-parse "${1:-HEAD}")
export SOURCE_DATE_EPOCH=${SOURCE_DATE_EPOCH:-$(git log -1 --format=%ct "$commit")}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

build() { # FOLDER
    mkdir -p "$1"
    git archive "$commit" | tar -x -C "$1"
    (
        cd "$1"
        cmake --preset default -DKORVANE_BUILD_TESTS=OFF -DKORVANE_DESKTOP_CHECKS=OFF >/dev/null
        cmake --build build/default >/dev/null
        (cd build/default && cpack -G DEB >/dev/null)
        dpkg-deb -x build/default/korvane_*_amd64.deb build/shipped
        cmake --preset windows >/dev/null
        cmake --build build/windows --target korvane_shipped >/dev/null
        cmake --preset windows-x86 >/dev/null
        cmake --build build/windows-x86 --target korvane_shipped >/dev/null
        sha256sum build/default/korvane_*_amd64.deb build/default/korvane-dbgsym_*_amd64.ddeb \
            build/shipped/usr/bin/korvane build/windows/release/korvane.exe \
            build/windows/release/korvane.exe.debug build/windows-x86/release/korvane.exe \
            build/windows-x86/release/korvane.exe.debug
    ) >"$1.sums"
}

echo "korvane: building $commit twice (SOURCE_DATE_EPOCH=$SOURCE_DATE_EPOCH)"
build "$work/first"
sleep 1 # another second on the clock
build "$work/second/elsewhere"
cat "$work/first.sums"
if diff "$work/first.sums" "$work/second/elsewhere.sums"; then
    echo "korvane: reproducible: both builds give the same bytes"
else
    echo "korvane: NOT reproducible: the builds differ (above)"
    exit 1
fi
