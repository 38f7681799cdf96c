#!/usr/bin/env bash
# Makes the emulated machine's disk (scripts/emulated-machine.sh runs it): a 64-bit Debian 12
# with i386 as a second architecture, so that its Wine runs 32- and 64-bit Windows programs
# alike, in 32- and 64-bit Windows prefixes. Everything comes from Debian's archive; nothing
# i386 runs on this machine, only in the emulated one.
#   bash scripts/emulated-machine-image.sh FOLDER
# FOLDER receives disk.img (ext4, the whole root), vmlinuz and initrd.img. The disk also
# holds fresh Wine prefixes, made in the machine itself on a first boot (a minute each).
# Any change to this file, or to wine-run.sh whose prefixes it makes, makes a new disk.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

if [ "${1:-}" = --prepare ]; then
    # Inside the machine, on its first boot: the Wine prefixes that tests start from.
    prefixes=/var/lib/korvane/wine
    mkdir -p "$prefixes"
    fresh() { # KIND LOADER
        WINEPREFIX=$prefixes/fresh-$1 WINEARCH=$1 WINEDEBUG=-all \
            WINEDLLOVERRIDES="mscoree,mshtml=" xvfb-run -a "$2" wineboot -i >/dev/null 2>&1
        WINEPREFIX=$prefixes/fresh-$1 wineserver -w
    }
    fresh win32 /usr/lib/wine/wine
    fresh win64 /usr/lib/wine/wine64
    for dpi in 96 192; do
        KORVANE_WINE_DPI=$dpi KORVANE_WINE_ARCH=win32 KORVANE_WINE_PREFIXES=$prefixes \
            bash "$korvane_root/scripts/wine-run.sh" cmd /c exit >/dev/null 2>&1
    done
    wineserver -k 2>/dev/null || true
    ls "$prefixes"
    exit 0
fi

folder=$1
korvane_install mmdebstrap qemu-system-x86 e2fsprogs
work=$(mktemp -d "${TMPDIR:-/tmp}/korvane-machine.XXXXXX")
trap 'rm -rf "$work"' EXIT
# An updates or security suite that the mirror serves inconsistently is left out (said so
# above the build's output): the machine has no network and only runs the tests.
korvane_debian_root bookworm "$work/root" amd64,i386 \
    --include=linux-image-amd64,initramfs-tools,kmod,mount,procps \
    --include=wine,wine64,wine32:i386,xvfb,xauth,xdotool \
    --include=python3,file,icoutils,binutils-mingw-w64-x86-64 ||
    { echo "korvane: could not make the emulated machine's root (above)" >&2; exit 1; }

# The machine's first process: mounts what programs need, runs the run's script from the
# host's share (emulated-machine.sh writes it), then powers the machine off.
cat >"$work/root/usr/local/sbin/korvane-init" <<'INIT'
#!/bin/sh
PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin
export PATH
mount -t proc proc /proc
mount -t devtmpfs devtmpfs /dev 2>/dev/null
mkdir -p /dev/pts /dev/shm
mount -t devpts devpts /dev/pts
mount -t tmpfs tmpfs /dev/shm
mount -t tmpfs tmpfs /run
mount -t tmpfs tmpfs /tmp
mount -o remount,rw /
hostname korvane
modprobe 9pnet_virtio
modprobe 9p
mkdir -p /run/korvane
if mount -t 9p -o trans=virtio,version=9p2000.L,msize=512000 run /run/korvane; then
    sh /run/korvane/guest.sh
else
    echo "korvane-init: the run's share is missing"
fi
sync
# Read-only before power-off, so that a kept disk has no journal to replay.
mount -o remount,ro /
echo o >/proc/sysrq-trigger
sleep 60
INIT
chmod 755 "$work/root/usr/local/sbin/korvane-init"

mkdir -p "$folder"
cp "$work/root/boot/"vmlinuz-* "$folder/vmlinuz"
cp "$work/root/boot/"initrd.img-* "$folder/initrd.img"
mke2fs -q -t ext4 -L korvane -d "$work/root" "$folder/disk.img" 6G
rm -rf "$work/root"
KORVANE_MACHINE_DISK=$folder bash "$korvane_root/scripts/emulated-machine.sh" \
    bash "$korvane_root/scripts/emulated-machine-image.sh" --prepare
