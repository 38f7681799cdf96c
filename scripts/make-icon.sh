#!/usr/bin/env bash
# Makes the Windows icon, app/resources/korvane.ico, from the program's SVG design: every
# size the shell asks for at 100–200 % scaling, the 256 px one stored as PNG.
# Needs Debian's librsvg2-bin (rsvg-convert) and icoutils (icotool). The .ico is committed;
# run this again after changing the SVG.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
small=()
for size in 16 20 24 32 40 48 64; do
    rsvg-convert -w "$size" -h "$size" "$root/app/resources/korvane.svg" -o "$work/$size.png"
    small+=("$work/$size.png")
done
rsvg-convert -w 256 -h 256 "$root/app/resources/korvane.svg" -o "$work/256.png"
icotool -c -o "$root/app/resources/korvane.ico" "${small[@]}" -r "$work/256.png"
icotool -l "$root/app/resources/korvane.ico"
