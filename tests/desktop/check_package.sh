#!/usr/bin/env bash
# The release's Debian package as a user downloads it (scripts/release.sh puts it in
# RELEASE_DIR, its -dbgsym package in RELEASE_DIR/debug), unpacked into a scratch root and
# checked: the release's SHA256SUMS accepts both, every file in its freedesktop place, Debian
# policy (lintian clean), a stripped and hardened program whose debug information is in the
# -dbgsym package, and an installed program that starts. One row a check.
#   check_package.sh RELEASE_DIR APP_ID FORTIFY_WITNESS [unoptimised]
set -uo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/../support/checks.sh"
release=$1 app_id=$2 witness=$3 optimisation=${4:-}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

deb=$(ls "$release"/korvane_*_amd64.deb) dbgsym=$(ls "$release"/debug/korvane-dbgsym_*.ddeb) ||
    { echo "no Debian package in $release: make it with scripts/release.sh"; exit 1; }
row "SHA256SUMS accepts the package" korvane_summed "$deb"
row "SHA256SUMS accepts the -dbgsym package" korvane_summed "$dbgsym"
# Read in Notepad on Windows 7 too: one file a line.
row "SHA256SUMS has CRLF line ends, and sha256sum accepts every line" bash -c \
    "file '$release/SHA256SUMS' | grep -q 'with CRLF line terminators' && cd '$release' && sha256sum --check --strict --quiet SHA256SUMS"
row "the release notes read in Notepad" korvane_notepad_text "$(ls "$release"/korvane-*-release-notes.txt)"
echo "package: $(basename "$deb"), $(stat -c %s "$deb") bytes; $(basename "$dbgsym"), $(stat -c %s "$dbgsym") bytes"
dpkg-deb --info "$deb" | grep -E '^ (Package|Version|Installed-Size|Depends|Recommends):'
dpkg-deb -x "$deb" "$work/root"
dpkg-deb -x "$dbgsym" "$work/dbgsym"
program=$work/root/usr/bin/korvane
doc=$work/root/usr/share/doc/korvane

# Everything it depends on can be installed here (nothing is installed).
row "apt-get accepts it and its dependencies" apt-get install --simulate --no-install-recommends "$deb"
row "it recommends Qt's Wayland plugin, for a session without an X server" \
    [ "$(dpkg-deb -f "$deb" Recommends)" = qt6-wayland ]
for file in usr/bin/korvane \
            "usr/share/applications/$app_id.desktop" \
            "usr/share/metainfo/$app_id.metainfo.xml" \
            "usr/share/icons/hicolor/scalable/apps/$app_id.svg" \
            usr/share/man/man1/korvane.1.gz usr/share/man/zh_CN/man1/korvane.1.gz \
            usr/share/doc/korvane/README.zh-CN.md.gz; do
    row "installs /$file" test -f "$work/root/$file"
done
row "the desktop entry validates" desktop-file-validate "$work/root/usr/share/applications/$app_id.desktop"
row "the metainfo validates" bash "$(dirname "${BASH_SOURCE[0]}")/validate_metainfo.sh" "$work/root/usr/share/metainfo/$app_id.metainfo.xml"
row "the metainfo says MIT" grep -q '<project_license>MIT</project_license>' "$work/root/usr/share/metainfo/$app_id.metainfo.xml"
row "a machine-readable copyright file" grep -q '^Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/' "$doc/copyright"
row "under the MIT (Expat) licence" grep -q '^License: Expat' "$doc/copyright"
row "a Debian changelog with the 1.0.0 entry" bash -c "zcat '$doc/changelog.gz' | head -n 1 | grep -q '^korvane (1.0.0) '"
# The Chinese manual page as man shows it at several terminal widths: no line past the
# width, and no blank between two Chinese characters (a line break within a paragraph's
# source shows as one, and so does a line stretched to the margin).
manual_reads() { # PAGE
    local columns
    for columns in 40 60 80 100 200; do
        MANWIDTH=$columns LC_ALL=C.UTF-8 man -l "$1" 2>/dev/null | python3 -c '
import re, sys, unicodedata
columns, text = int(sys.argv[1]), sys.stdin.read()
width = lambda s: sum(2 if unicodedata.east_asian_width(c) in "WF" else 1 for c in s)
chinese = "[\u2018-\u201d\u3000-\u303f\u4e00-\u9fff\uff00-\uffef]"
faults = [l for l in text.splitlines() if width(l) > columns or re.search(chinese + " +" + chinese, l)]
for line in faults:
    print(f"at {columns} columns: {line}")
sys.exit(1 if faults or "korvane" not in text else 0)' "$columns" || return 1
    done
}
row "the Chinese manual page reads right at 40 to 200 columns" \
    manual_reads "$work/root/usr/share/man/zh_CN/man1/korvane.1.gz"
row "compressed without a name or time" bash -c "[ \"\$(od -An -tx1 -j4 -N4 '$doc/changelog.gz' | tr -d ' ')\" = 00000000 ]"
report=$(lintian --fail-on error,warning "$deb" 2>/dev/null)
status=$?
[ -n "$report" ] && sed 's/^/lintian: /' <<<"$report"
row "lintian reports no error and no warning" test "$status" -eq 0 -a -z "$(grep -E '^[EW]:' <<<"$report")"
report=$(lintian --fail-on error "$dbgsym" 2>/dev/null)
status=$?
[ -n "$report" ] && sed 's/^/lintian, -dbgsym: /' <<<"$report"
row "lintian reports no error on the -dbgsym package" test "$status" -eq 0 -a -z "$(grep -E '^E:' <<<"$report")"
row "the program carries no debug information" bash -c "! readelf -SW '$program' | grep -q ' \\.debug_'"
build_id=$(readelf -nW "$program" | sed -n 's/.*Build ID: \([0-9a-f]*\).*/\1/p')
debug_file=$work/dbgsym/usr/lib/debug/.build-id/${build_id:0:2}/${build_id:2}.debug
row "the -dbgsym package holds it, found by build-id" bash -c "readelf -SW '$debug_file' | grep -q ' \\.debug_info'"
row "the program links to it" bash -c "readelf -SW '$program' | grep -q ' \\.gnu_debuglink'"
# What debsums checks: each package's md5sums list its files as installed.
sums() {
    ! dpkg-deb --info "$1" md5sums | grep -q '^[0-9a-f]*  /' &&
        (cd "$2" && dpkg-deb --info "$1" md5sums | md5sum --check --strict --quiet)
}
row "the package's md5sums match its files" sums "$deb" "$work/root"
row "the -dbgsym package's md5sums match its file" sums "$dbgsym" "$work/dbgsym"
echo "shipped /usr/bin/korvane: $(stat -c %s "$program") bytes"
report=$(bash "$(dirname "${BASH_SOURCE[0]}")/check_hardening.sh" elf "$program" "$witness" $optimisation)
status=$?
sed 's/^/shipped program: /' <<<"$report"
row "the shipped program is hardened" test "$status" -eq 0

# Started from the scratch root, the program keeps running until it is stopped.
starts() {
    local status=0
    QT_QPA_PLATFORM=offscreen timeout 3 "$program" || status=$?
    [ "$status" -eq 124 ]
}
row "the installed program starts and runs" starts
korvane_finish package
