#!/usr/bin/env bash
# Makes Korvane's release from a commit (HEAD unless named), built from a clean copy of it,
# and gathers every download in dist/korvane-VERSION/: the setup program for every Windows,
# the win64 and win32 zips, the Debian package, the release notes in Chinese and English,
# and SHA256SUMS over them all (`sha256sum -c SHA256SUMS` reads it); the debug files (the
# -dbgsym package, each korvane.exe.debug) go in debug/ there, summed too. Every time in it is
# the commit's (SOURCE_DATE_EPOCH), so that the same commit gives the same bytes anywhere.
#   bash scripts/release.sh [--debian-only] [COMMIT]
# --debian-only: the Debian package alone, for a machine without the Windows toolchain.
set -euo pipefail
umask 022 # the same file modes in every archive, whoever builds it
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"
windows=true
[ "${1:-}" = --debian-only ] && windows=false && shift
korvane_install git
$windows && korvane_install g++-mingw-w64-x86-64 g++-mingw-w64-i686 nsis
cd "$korvane_root"
commit=$(git rev-parse --verify "${1:-HEAD}^{commit}")
export SOURCE_DATE_EPOCH=${SOURCE_DATE_EPOCH:-$(git log -1 --format=%ct "$commit")} TZ=UTC
git diff --quiet HEAD 2>/dev/null || [ -n "${1:-}" ] ||
    echo "korvane: the work tree has uncommitted changes; the release is of $commit without them" >&2
version=$(git show "$commit:CMakeLists.txt" | sed -n 's/^ *VERSION \([0-9]*\.[0-9]*\.[0-9]*\).*/\1/p' | head -n 1)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
source=$work/korvane-$version
mkdir -p "$source"
git archive "$commit" | tar -x -C "$source"
started=$SECONDS
echo "korvane: making the $version release of $commit (SOURCE_DATE_EPOCH=$SOURCE_DATE_EPOCH)"

cd "$source"
cmake --preset default -DKORVANE_BUILD_TESTS=OFF -DKORVANE_DESKTOP_CHECKS=OFF >/dev/null
cmake --build build/default >/dev/null
(cd build/default && cpack -G DEB >/dev/null)
files=(build/default/korvane_"${version}"_amd64.deb)
debug=(build/default/korvane-dbgsym_"${version}"_amd64.ddeb)
if $windows; then
    for preset in windows windows-x86; do
        cmake --preset "$preset" >/dev/null
        cmake --build "build/$preset" >/dev/null
    done
    # One setup program for every Windows: the 32-bit setup carries both programs. Its
    # files keep their times inside it, so they get the commit's.
    setup=$work/setup
    mkdir -p "$setup/x86" "$setup/x64"
    cp build/windows-x86/release/korvane.exe "$setup/x86/"
    cp build/windows/release/korvane.exe "$setup/x64/"
    cp build/windows-x86/packaging/windows/{LICENSE.txt,使用指南.txt} "$setup/"
    find "$setup" -exec touch -d "@$SOURCE_DATE_EPOCH" {} +
    kib() { echo $((($(stat -c %s "$1") + 1023) / 1024)); }
    makensis -V2 -INPUTCHARSET UTF8 -DVERSION="$version" -DEXE32="$setup/x86/korvane.exe" \
        -DEXE32_KB="$(kib "$setup/x86/korvane.exe")" -DEXE64="$setup/x64/korvane.exe" \
        -DEXE64_KB="$(kib "$setup/x64/korvane.exe")" -DLICENSE="$setup/LICENSE.txt" \
        -DGUIDE="$setup/使用指南.txt" -DICON="$source/app/resources/korvane.ico" \
        -DWIZARD="$source/packaging/windows/korvane-wizard.bmp" \
        -DOUTFILE="$work/korvane-$version-setup.exe" packaging/windows/korvane.nsi
    files+=("$work/korvane-$version-setup.exe" build/windows/korvane-"$version"-win64.zip
        build/windows-x86/korvane-"$version"-win32.zip)
    debug+=(build/windows/release/korvane.exe.debug build/windows-x86/release/korvane.exe.debug)
fi

# The version's notes, its items in each changelog, Chinese first: a plain text that
# Notepad opens, as the guide is.
notes=$work/korvane-$version-release-notes.txt
items() { # CHANGELOG
    awk -v version="$version" '/^## / { on = ($0 ~ "^## " version "([ （]|$)"); next } on' "$1"
}
{
    echo "# Korvane $version 发布说明 / Release notes"
    echo
    echo "中文"
    echo
    items CHANGELOG.zh-CN.md
    echo
    echo "English"
    echo
    items CHANGELOG.md
} >"$work/notes.md"
python3 packaging/windows/notepad_text.py "$work/notes.md" "$notes"
files+=("$notes")

dist=$korvane_root/dist/korvane-$version
rm -rf "$dist"
mkdir -p "$dist/debug"
cp "${files[@]}" "$dist/"
cp "${debug[0]}" "$dist/debug/"
if $windows; then
    # Each keeps the name its program's debug link gives.
    mkdir -p "$dist/debug/win64" "$dist/debug/win32"
    cp "${debug[1]}" "$dist/debug/win64/"
    cp "${debug[2]}" "$dist/debug/win32/"
fi
cd "$dist"
# CRLF, so that Notepad on Windows 7 shows one file a line; sha256sum reads it as well.
find . -type f ! -name SHA256SUMS | sed 's|^\./||' | LC_ALL=C sort |
    xargs -d '\n' sha256sum | sed 's/$/\r/' >SHA256SUMS
sha256sum --check --quiet --strict SHA256SUMS
echo "korvane: the release is in $dist ($((SECONDS - started)) s):"
tr -d '\r' <SHA256SUMS
