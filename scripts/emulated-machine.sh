#!/usr/bin/env bash
# Runs a command in an emulated 64-bit PC (QEMU's software emulation, no KVM): Debian 12 whose
# Wine runs 32-bit Windows programs, which this machine's own kernel cannot (its 32-bit
# emulation is off). The repository is shared with the machine, read-only, at the same path,
# and the command runs in the same folder, so that its file names need no change; the
# variables named KORVANE_* go with it. Its output and status are the command's.
#   bash scripts/emulated-machine.sh COMMAND [ARGUMENT...]
# The disk is made by emulated-machine-image.sh on first use and kept in
# ${KORVANE_CACHE:-~/.cache/korvane}, under the hash of that recipe; a changed recipe makes a
# new one. Each run starts from the kept disk, and what it writes there is discarded.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

disk=${KORVANE_MACHINE_DISK:-} # a disk to run writable (only the recipe's first boot)
if [ -z "$disk" ]; then
    recipe=$(cat "$korvane_root/scripts/emulated-machine-image.sh" \
        "$korvane_root/scripts/wine-run.sh" | sha256sum | cut -c1-16)
    cache=${KORVANE_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/korvane}
    disk=$cache/machine-$recipe
    mkdir -p "$cache"
    (
        flock 9 # one maker at a time; the others wait for its disk
        if [ ! -f "$disk/ready" ]; then
            echo "korvane: making the emulated machine's disk in $disk (once; about 10 minutes)" >&2
            rm -rf "$disk" "$cache"/machine-*
            started=$SECONDS
            bash "$korvane_root/scripts/emulated-machine-image.sh" "$disk" >&2
            touch "$disk/ready"
            echo "korvane: the disk took $((SECONDS - started)) s" >&2
        fi
    ) 9>"$cache/lock"
    snapshot=on
else
    snapshot=off
fi
korvane_install qemu-system-x86

run=$(mktemp -d "${TMPDIR:-/tmp}/korvane-run.XXXXXX")
trap 'rm -rf "$run"' EXIT
{
    printf 'cd %q\n' "$PWD"
    while IFS= read -r name; do
        printf 'export %s=%q\n' "$name" "${!name}"
    done < <(compgen -e | grep '^KORVANE_' | grep -v '^KORVANE_MACHINE_')
    printf '%q ' "$@"
    echo
} >"$run/command"
cat >"$run/guest.sh" <<GUEST
export HOME=/root LANG=C.UTF-8 KORVANE_WINE_PREFIXES=/var/lib/korvane/wine
mkdir -p $(printf %q "$korvane_root")
mount -t 9p -o trans=virtio,version=9p2000.L,msize=512000,ro source $(printf %q "$korvane_root")
bash /run/korvane/command >/run/korvane/output 2>&1
echo \$? >/run/korvane/status
GUEST

# SMAP off: with it, QEMU 7.2's emulation makes every Wine process die in a kernel oops.
timeout "${KORVANE_MACHINE_TIMEOUT:-1800}" qemu-system-x86_64 -accel tcg -cpu max,-smap \
    -smp "$(nproc)" -m 3072 -nographic -no-reboot -monitor none -nic none \
    -serial "file:$run/console" \
    -kernel "$disk/vmlinuz" -initrd "$disk/initrd.img" \
    -append "root=/dev/vda rw console=ttyS0 quiet panic=-1 init=/usr/local/sbin/korvane-init" \
    -drive "file=$disk/disk.img,format=raw,if=virtio,snapshot=$snapshot" \
    -virtfs "local,path=$run,mount_tag=run,security_model=none" \
    -virtfs "local,path=$korvane_root,mount_tag=source,security_model=none,readonly=on" ||
    echo "korvane: the emulated machine ended with status $?" >&2
cat "$run/output" 2>/dev/null || true
if [ ! -f "$run/status" ]; then
    echo "korvane: the command did not finish in the emulated machine; its console:" >&2
    tail -n 40 "$run/console" >&2
    exit 1
fi
exit "$(cat "$run/status")"
