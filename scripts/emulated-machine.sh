#!/usr/bin/env bash
# Runs a command in an emulated 64-bit PC (QEMU's software emulation, no KVM): Debian 12 whose
# Wine runs 32-bit Windows programs, which this machine's own kernel cannot (its 32-bit
# emulation is off). The repository is shared with the machine, read-only, at the same path,
# and the command runs in the same folder, so that its file names need no change; the
# variables named KORVANE_* go with it. Its output and status are the command's.
#   bash scripts/emulated-machine.sh COMMAND [ARGUMENT...]
# The disk is made beforehand by emulated-machine-image.sh (the test command's step of that
# name) and kept; each run starts from it, and what it writes there is discarded. With no disk
# made, this says so and ends at once: a test never makes the disk under its own limit.
# KORVANE_MACHINE_TIMEOUT (1800 s) bounds the run; past it, the console's last lines show
# where the machine was.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

disk=${KORVANE_MACHINE_DISK:-} # a disk to run writable (only the recipe's first boot)
if [ -z "$disk" ]; then
    disk=$(korvane_machine_disk)
    if [ ! -f "$disk/ready" ]; then
        echo "korvane: the emulated machine's disk is not made ($disk);" \
            "make it with: bash scripts/emulated-machine-image.sh" >&2
        exit 1
    fi
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

console=${KORVANE_MACHINE_CONSOLE:-$run/console}
# SMAP off: with it, QEMU 7.2's emulation makes every Wine process die in a kernel oops.
# Without "quiet", the console shows how far the kernel's boot has got.
timeout "${KORVANE_MACHINE_TIMEOUT:-1800}" qemu-system-x86_64 -accel tcg -cpu max,-smap \
    -smp "$(nproc)" -m 3072 -nographic -no-reboot -monitor none -nic none \
    -serial "file:$console" \
    -kernel "$disk/vmlinuz" -initrd "$disk/initrd.img" \
    -append "root=/dev/vda rw console=ttyS0 panic=-1 init=/usr/local/sbin/korvane-init" \
    -drive "file=$disk/disk.img,format=raw,if=virtio,snapshot=$snapshot" \
    -virtfs "local,path=$run,mount_tag=run,security_model=none" \
    -virtfs "local,path=$korvane_root,mount_tag=source,security_model=none,readonly=on" &
machine=$!
# The command's output as it comes, so that a long run shows how far it has got.
touch "$run/output"
tail -n +1 -F --pid="$machine" "$run/output" 2>/dev/null &
follower=$!
status=0
wait "$machine" || status=$?
wait "$follower" || true
[ "$status" = 0 ] || echo "korvane: the emulated machine ended with status $status" \
    "$([ "$status" = 124 ] && echo "(past its limit, ${KORVANE_MACHINE_TIMEOUT:-1800} s)")" >&2
if [ ! -f "$run/status" ]; then
    echo "korvane: the command did not finish in the emulated machine; its console's last lines:" >&2
    tail -n 40 "$console" >&2
    exit 1
fi
exit "$(cat "$run/status")"
