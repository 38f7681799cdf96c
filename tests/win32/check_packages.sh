#!/usr/bin/env bash
# The release's portable archive and setup program as a Windows user meets them, under Wine
# on a virtual display, in a fresh prefix of their own: checked against the release's
# SHA256SUMS, then install, upgrade, uninstall, unpack.
# WINDOWS is the prefix's kind, win32 or win64; the setup program (a 32-bit program, so
# only where Wine runs 32-bit code) must install the program of that kind.
# One row a check.
#   check_packages.sh ICON.ico PICTURE.bmp WINDOWS PORTABLE.zip [SETUP.exe]
set -uo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/../support/checks.sh"
korvane_under_xvfb "$@"
icon=$(realpath "$1") picture=$(realpath "$2") windows=$3 zip=$(realpath "$4")
setup=${5:+$(realpath "$5")}
objdump=$(command -v x86_64-w64-mingw32-objdump) # reads 32- and 64-bit programs alike
if [ "$windows" = win32 ]; then
    export WINEARCH=win32
    wine=/usr/lib/wine/wine
else
    wine=/usr/lib/wine/wine64
fi
[ -x "$wine" ] || wine=$(command -v wine)
wineserver=$(dirname "$wine")/wineserver
[ -x "$wineserver" ] || wineserver=$(command -v wineserver)
work=$(mktemp -d)
export WINEPREFIX=$work/prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
trap '"$wineserver" -k 2>/dev/null; rm -rf "$work"' EXIT
# A fresh prefix; where a prefix of this kind was made fresh beforehand (as the emulated
# machine has, where making one takes minutes), a copy of it.
template=${KORVANE_WINE_PREFIXES:-/nonexistent}/fresh-$windows
if [ -d "$template" ]; then
    cp -a "$template" "$WINEPREFIX"
else
    mkdir -p "$WINEPREFIX"
    "$wine" wineboot -i >/dev/null 2>&1
    "$wineserver" -w
fi

home=$(dirname "$(dirname "$(ls -d "$WINEPREFIX"/drive_c/users/*/AppData/Local | grep -v /Public/ | head -n 1)")")
folder=$home/AppData/Local/Programs/Korvane
menu="$home/AppData/Roaming/Microsoft/Windows/Start Menu/Programs/Korvane 刷价计时器.lnk"
guide_menu="$(dirname "$menu")/Korvane 使用指南.lnk"
desktop="$home/Desktop/Korvane 刷价计时器.lnk"
windows_folder='C:\users\'$(basename "$home")'\AppData\Local\Programs\Korvane'
key='Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Korvane'

run() { "$wine" "$@" >/dev/null 2>&1 && "$wineserver" -w; }
fails() { ! "$@"; }
files() { find "$WINEPREFIX/drive_c" -name Temp -prune -o -printf '%P\n' | sort; }
keys() { sed -n 's/^\[\(.*\)\] [0-9]*$/\1/p' "$WINEPREFIX/user.reg" | sort; }
# A value of the uninstall entry, as the registry file holds it (\xNNNN for non-ASCII).
value() {
    python3 - "$WINEPREFIX/user.reg" "$key" "$1" <<'PY'
import re, sys
text = open(sys.argv[1], encoding="utf-8").read()
section = text.split("[" + sys.argv[2] + "]", 1)[1].split("\n\n", 1)[0]
found = re.search('^"' + sys.argv[3] + '"=(.*)$', section, re.M).group(1)
if found.startswith("dword:"):
    print(int(found[6:], 16))
else:
    found = re.sub(r"\\x([0-9a-f]{4})", lambda m: chr(int(m.group(1), 16)), found[1:-1])
    print(found.replace('\\"', '"').replace("\\\\", "\\"))
PY
}
is() { [ "$(value "$1")" = "$2" ]; }
# A stripped executable: no .debug_* section, and a link to its debug file.
stripped() { "$objdump" -h "$1" | grep -q ' \.gnu_debuglink ' && ! "$objdump" -h "$1" | grep -q ' \.debug_'; }
# The licence as shipped to Windows: CRLF line ends, the MIT text.
licence() { grep -q '^MIT License' "$1" && file "$1" | grep -q 'with CRLF line terminators'; }
# Starts a program; true once its main window shows. It keeps running until stopped.
shows() {
    "$wine" "$1" >/dev/null 2>&1 &
    timeout 60 xdotool search --sync --onlyvisible --name 'KorvaneV1.0.5'
}
stop() { "$wineserver" -k; "$wineserver" -w; }
# The kind of Windows a program is built for: win32 or win64.
kind() { "$objdump" -f "$1" | sed -n 's/.*file format pei-i386$/win32/p; s/.*file format pei-x86-64$/win64/p'; }
is_kind() { [ "$(kind "$1")" = "$2" ]; }
version() {
    wrestool -x --raw --type=16 "$setup" | python3 -c '
import re, sys
text = sys.stdin.buffer.read().decode("utf-16-le", "replace")
found = [re.search(key + "\0+([0-9.]+)", text) for key in ("ProductVersion", "FileVersion")]
sys.exit(0 if all(f and f.group(1) == "1.0.0" for f in found) else 1)'
}

row "SHA256SUMS accepts the zip" korvane_summed "$zip"
if [ -n "$setup" ]; then
    row "SHA256SUMS accepts the setup program" korvane_summed "$setup"
    # Windows has this key from the start; a fresh Wine prefix not yet.
    "$wine" reg add 'HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall' /f >/dev/null 2>&1
    "$wineserver" -w
    before_files=$(files) before_keys=$(keys)
    row "silent install into a fresh prefix" run "$setup" /S
    row "korvane.exe in %LOCALAPPDATA%\\Programs\\Korvane" test -f "$folder/korvane.exe"
    row "its uninstaller beside it" test -f "$folder/uninstall.exe"
    row "and LICENSE.txt, the MIT licence with CRLF" licence "$folder/LICENSE.txt"
    row "the installed korvane.exe is stripped" stripped "$folder/korvane.exe"
    row "and the $windows program, the one that fits this Windows" is_kind "$folder/korvane.exe" "$windows"
    row "Start-menu shortcut \"Korvane 刷价计时器\"" test -f "$menu"
    row "the guide 使用指南.txt, with its Start-menu shortcut" test -f "$folder/使用指南.txt" -a -f "$guide_menu"
    row "no desktop shortcut unless asked for" test ! -e "$desktop"
    row "Add/Remove Programs: display name" is DisplayName "Korvane 刷价计时器"
    row "Add/Remove Programs: version 1.0.0" is DisplayVersion 1.0.0
    row "Add/Remove Programs: publisher" is Publisher Korvane
    row "Add/Remove Programs: icon" is DisplayIcon "$windows_folder\\korvane.exe,0"
    row "Add/Remove Programs: install folder" is InstallLocation "$windows_folder"
    row "Add/Remove Programs: uninstall string" is UninstallString "\"$windows_folder\\uninstall.exe\""
    row "Add/Remove Programs: estimated size" test "$(value EstimatedSize)" -gt 500
    row "the installed program shows its main window" shows "$folder/korvane.exe"
    # In place (_?=), the uninstaller runs in this process rather than from a copy in Temp.
    row "no uninstall while Korvane runs" fails "$wine" "$folder/uninstall.exe" /S "_?=$windows_folder"
    row "and nothing removed" test -f "$folder/korvane.exe"
    stop
    installed_files=$(files)
    row "a second silent install over the first" run "$setup" /S
    row "upgrades in place" test "$(files)" = "$installed_files"
    row "silent uninstall" run "$folder/uninstall.exe" /S
    row "LICENSE.txt removed" test ! -e "$folder/LICENSE.txt"
    row "no file or shortcut left" test "$(files)" = "$before_files"
    row "no registry key left" test "$(keys)" = "$before_keys"
    # Older than Windows 7 SP1: the setup program says what Korvane needs and places nothing.
    "$wine" winecfg -v vista >/dev/null 2>&1
    "$wineserver" -w
    row "on Windows Vista the setup program refuses" fails run "$setup" /S
    row "and places nothing" test "$(files)" = "$before_files"
    "$wine" winecfg -v win10 >/dev/null 2>&1
    "$wineserver" -w
fi

# The zip as Windows 7's own extractor reads it on a Chinese Windows: names in CP936, the
# UTF-8 flag ignored; and as Info-ZIP's unzip reads it (the UTF-8 names beside them).
top=$(basename "$zip" .zip)
zip_names() { # [ENCODING]
    python3 -c 'import sys, zipfile
print(" ".join(zipfile.ZipFile(sys.argv[1], metadata_encoding=sys.argv[2]).namelist()))' "$zip" "$1"
}
names="$top/ $top/korvane.exe $top/说明.txt $top/使用指南.txt $top/LICENSE.txt"
row "a CP936 extractor shows one folder, $top, holding the four files by name" \
    test "$(zip_names cp936)" = "$names"
row "and so does unzip" test "$(LC_ALL=C.UTF-8 unzip -Z1 "$zip" | tr '\n' ' ')" = "$names "
mkdir -p "$WINEPREFIX/drive_c/portable"
row "the portable archive unpacks" python3 -c "import zipfile, sys; zipfile.ZipFile(sys.argv[1], metadata_encoding='cp936').extractall(sys.argv[2])" "$zip" "$WINEPREFIX/drive_c/portable"
portable=$WINEPREFIX/drive_c/portable/$top
row "the zip's LICENSE.txt, the MIT licence with CRLF" licence "$portable/LICENSE.txt"
row "the zip's korvane.exe is stripped" stripped "$portable/korvane.exe"
zip_kind=$(sed -n 's/.*-\(win[36][24]\)\.zip$/\1/p' <<<"$zip")
row "the zip's korvane.exe is the $zip_kind program its name says" is_kind "$portable/korvane.exe" "$zip_kind"
notes=$portable/说明.txt
row "说明.txt says what Windows Korvane needs" grep -q "系统要求：Windows 7 SP1 或更高版本，32 位或 64 位。" "$notes"
row "说明.txt says the win64 zip needs 64-bit Windows" grep -q "win64.zip：64 位程序，只能在 64 位 Windows 上运行。" "$notes"
row "说明.txt says the win32 zip runs on either" grep -q "win32.zip：32 位程序，在 32 位和 64 位 Windows 上都能运行。" "$notes"
row "说明.txt says which program it lies beside" grep -q "这个文件夹里的 korvane.exe 是 ${zip_kind#win} 位程序（$zip_kind）。" "$notes"
for text in 说明.txt 使用指南.txt; do
    row "$text in UTF-8 with a byte-order mark and CRLF" bash -c "file '$portable/$text' | grep -q 'UTF-8 (with BOM) text.*with CRLF line terminators'"
    row "$text reads in Notepad: plain text within 78 columns" korvane_notepad_text "$portable/$text"
done
row "使用指南.txt tells how to check a download" grep -q "certutil -hashfile" "$portable/使用指南.txt"
row "the portable program shows its main window" shows "$portable/korvane.exe"
stop
if [ -z "$setup" ]; then
    korvane_finish packages
    exit
fi

row "the setup program's version resource says 1.0.0" version

# The setup program's own look: Korvane's icon among its resources, at every size, and
# Korvane's picture on the first page (the page shows it from where the setup unpacks it).
setup_icon() {
    wrestool -x --type=14 "$setup" >"$work/setup.ico" &&
        [ "$(icotool -l "$work/setup.ico" | sed 's/--index=[0-9]* //')" = \
          "$(icotool -l "$icon" | sed 's/--index=[0-9]* //')" ]
}
first_page() {
    "$wine" "$setup" >/dev/null 2>&1 &
    timeout 60 xdotool search --sync --onlyvisible --name 'Korvane 刷价计时器' >/dev/null &&
        cmp "$(find "$WINEPREFIX/drive_c" -name modern-wizard.bmp | head -n 1)" "$picture"
    local status=$?
    stop
    return "$status"
}
row "the setup program's icon is Korvane's, at every size" setup_icon
row "its first page shows Korvane's picture" first_page

korvane_finish packages
