#!/usr/bin/env bash
# Makes the emulated machine's disk, or finds it made: a 64-bit Debian 12 with i386 as a
# second architecture, so that its Wine runs 32- and 64-bit Windows programs alike, in 32- and
# 64-bit Windows prefixes. Everything comes from Debian's archive; nothing i386 runs on this
# machine, only in the emulated one. The test command runs it as a step of its own, before
# the tests, which only use the disk (emulated-machine.sh).
#   bash scripts/emulated-machine-image.sh
# The disk (disk.img, ext4, the whole root; vmlinuz and initrd.img) is kept in
# ${KORVANE_CACHE:-~/.cache/korvane}, in a folder named by the hash of its recipe (see
# korvane_machine_disk), and made anew when that changes. Making it takes 10 to 30 minutes,
# most of it the first boot, which makes the Wine prefixes inside the machine. It says how far
# it has got at least once a minute; when it fails, it says why once and ends with status 1.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

if [ "${1:-}" = --prepare ]; then
    # Inside the machine, on its first boot: the Wine prefixes that tests start from.
    prefixes=/var/lib/korvane/wine
    mkdir -p "$prefixes"
    made() { # PREFIX COMMAND...: says which, runs it quietly, and shows its output if it fails
        local prefix=$1 log
        shift
        echo "korvane: first boot: the Wine prefix $prefix"
        log=$(mktemp)
        if ! "$@" >"$log" 2>&1 || [ ! -f "$prefixes/$prefix/system.reg" ]; then
            tail -n 20 "$log"
            echo "korvane: first boot: the Wine prefix $prefix was not made (above)"
            exit 1
        fi
        rm -f "$log"
    }
    fresh() { # KIND LOADER
        WINEPREFIX=$prefixes/fresh-$1 WINEARCH=$1 WINEDEBUG=-all \
            WINEDLLOVERRIDES="mscoree,mshtml=" xvfb-run -a "$2" wineboot -i &&
            WINEPREFIX=$prefixes/fresh-$1 wineserver -w
    }
    made fresh-win32 fresh win32 /usr/lib/wine/wine
    made fresh-win64 fresh win64 /usr/lib/wine/wine64
    # The tests' own prefixes, one a DPI: the fresh one, at that DPI.
    for dpi in 96 192; do
        made "wineprefix-win32-$dpi" env KORVANE_WINE_DPI=$dpi KORVANE_WINE_ARCH=win32 \
            KORVANE_WINE_PREFIXES=$prefixes KORVANE_WINE_TEMPLATE=$prefixes/fresh-win32 \
            bash "$korvane_root/scripts/wine-run.sh" cmd /c exit
    done
    wineserver -k 2>/dev/null || true
    exit 0
fi

disk=$(korvane_machine_disk)
cache=$(dirname "$disk")
mkdir -p "$cache"
exec 9>"$cache/lock"
flock 9 # one maker at a time; another waits for its disk
if [ -f "$disk/ready" ]; then
    echo "korvane: the emulated machine's disk is ready: $disk"
    exit 0
fi
korvane_install mmdebstrap qemu-system-x86 e2fsprogs
echo "korvane: making the emulated machine's disk in $disk (10 to 30 minutes, once)"
rm -rf "$disk" "$cache"/machine-*
started=$SECONDS
work=$(mktemp -d "${TMPDIR:-/tmp}/korvane-machine.XXXXXX")
trap 'rm -rf "$work"' EXIT

root_size() {
    if [ -d "$work/root" ]; then
        echo "the root holds $(du -sm "$work/root" | cut -f1) MB"
    else
        echo "asking the archive which suites it serves consistently"
    fi
}
image_size() { echo "the image holds $(du -sm "$disk/disk.img" 2>/dev/null | cut -f1) MB"; }
console() { echo "its console's last line: $(tail -n 1 "$KORVANE_MACHINE_CONSOLE" 2>/dev/null | tr -d '\r' | cut -c1-160)"; }

echo "korvane: disk 1 of 3: its root, Debian 12 with Wine, from Debian's archive"
# An updates or security suite that the mirror serves inconsistently is left out (said so
# here): the machine has no network and only runs the tests.
korvane_with_progress "the root" root_size korvane_debian_root bookworm "$work/root" amd64,i386 \
    --include=linux-image-amd64,initramfs-tools,kmod,mount,procps \
    --include=wine,wine64,wine32:i386,xvfb,xauth,xdotool \
    --include=python3,file,icoutils,binutils-mingw-w64-x86-64,unzip ||
    { echo "korvane: could not make the emulated machine's root (above)" >&2; exit 1; }

# The machine's first process: mounts what programs need, runs the run's script from the
# host's share (emulated-machine.sh writes it), then powers the machine off.
cat >"$work/root/usr/local/sbin/korvane-init" <<'INIT'
#!/bin/sh
PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin
export PATH
echo "korvane-init: the kernel is up; mounting"
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
    echo "korvane-init: running the command"
    sh /run/korvane/guest.sh
    echo "korvane-init: the command ended; powering off"
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

echo "korvane: disk 2 of 3: the image, from the root"
mkdir -p "$disk"
cp "$work/root/boot/"vmlinuz-* "$disk/vmlinuz"
cp "$work/root/boot/"initrd.img-* "$disk/initrd.img"
korvane_with_progress "the image" image_size \
    mke2fs -q -t ext4 -L korvane -d "$work/root" "$disk/disk.img" 6G ||
    { echo "korvane: could not write the emulated machine's image (above)" >&2; exit 1; }
rm -rf "$work/root"

echo "korvane: disk 3 of 3: its first boot, which makes the Wine prefixes in the machine"
export KORVANE_MACHINE_CONSOLE=$work/console
korvane_with_progress "the first boot" console \
    env KORVANE_MACHINE_DISK="$disk" KORVANE_MACHINE_TIMEOUT="${KORVANE_FIRST_BOOT_TIMEOUT:-3600}" \
    bash "$korvane_root/scripts/emulated-machine.sh" \
    bash "$korvane_root/scripts/emulated-machine-image.sh" --prepare ||
    { echo "korvane: the emulated machine's first boot failed (above)" >&2; exit 1; }
touch "$disk/ready"
echo "korvane: the emulated machine's disk took $((SECONDS - started)) s"
