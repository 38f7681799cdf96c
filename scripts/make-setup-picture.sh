#!/usr/bin/env bash
# Makes the picture on the setup program's and the uninstaller's welcome and finish pages,
# packaging/windows/korvane-wizard.bmp (164 × 314, 24-bit, as the installer's pages take it),
# from the program's SVG design: the dial on the icon's brown, the name under it.
# Needs Debian's librsvg2-bin (rsvg-convert), imagemagick and fonts-wqy-zenhei. The bitmap
# is committed; run this again after changing the SVG.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
font=/usr/share/fonts/truetype/wqy/wqy-zenhei.ttc
rsvg-convert -w 128 -h 128 "$root/app/resources/korvane.svg" -o "$work/dial.png"
convert -size 164x314 gradient:'#8a4522-#3a1a0c' \
    "$work/dial.png" -gravity north -geometry +0+44 -composite \
    -font "$font" -fill '#f4ecd8' \
    -pointsize 24 -annotate +0+196 'Korvane' \
    -pointsize 17 -annotate +0+234 '刷价计时器' \
    -fill '#e6b422' -draw 'rectangle 42,268 122,270' \
    -alpha off -type TrueColor BMP3:"$root/packaging/windows/korvane-wizard.bmp"
identify "$root/packaging/windows/korvane-wizard.bmp"
