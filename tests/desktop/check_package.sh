#!/usr/bin/env bash
# Builds the Debian package from BUILD_DIR, unpacks it into a scratch root, checks that every
# file is in its freedesktop place and that the installed program starts.
#   check_package.sh BUILD_DIR APP_ID
set -euo pipefail
build=$1
app_id=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

(cd "$build" && cpack -G DEB -B "$work/out" >/dev/null)
deb=$(ls "$work"/out/*.deb)
echo "package: $(basename "$deb"), $(du -k "$deb" | cut -f1) KiB"
dpkg-deb --info "$deb" | grep -E '^ (Package|Version|Depends):'
# Everything it depends on can be installed here (nothing is installed).
apt-get install --simulate --no-install-recommends "$deb" >/dev/null
echo "installable: apt-get accepts it and its dependencies"
dpkg-deb -x "$deb" "$work/root"

for file in usr/bin/korvane \
            "usr/share/applications/$app_id.desktop" \
            "usr/share/metainfo/$app_id.metainfo.xml" \
            "usr/share/icons/hicolor/scalable/apps/$app_id.svg"; do
    [ -f "$work/root/$file" ] || { echo "missing from the package: /$file"; exit 1; }
    echo "installs /$file"
done
desktop-file-validate "$work/root/usr/share/applications/$app_id.desktop"
appstreamcli validate --no-net --pedantic "$work/root/usr/share/metainfo/$app_id.metainfo.xml"

# Started from the scratch root, the program keeps running until it is stopped.
status=0
QT_QPA_PLATFORM=offscreen timeout 3 "$work/root/usr/bin/korvane" || status=$?
if [ "$status" -ne 124 ]; then
    echo "the installed program did not keep running (exit status $status)"
    exit 1
fi
echo "the installed program starts and runs"
