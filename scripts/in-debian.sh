#!/usr/bin/env bash
# Runs one of the README's commands as a new user would, in a fresh Debian root of the
# release named: made with mmdebstrap from Debian's archive (the minimal system with apt),
# the repository copied into it, then run as root in a chroot with /proc, /sys and /dev
# mounted, which are unmounted afterwards whatever happens. The root is removed at the end.
#   bash scripts/in-debian.sh RELEASE COMMAND [ARGUMENT...]
#   e.g. bash scripts/in-debian.sh trixie bash scripts/test.sh --quick
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"
release=$1
shift
korvane_install mmdebstrap git

root=$(mktemp -d "${TMPDIR:-/var/tmp}/korvane-$release.XXXXXX")
mounted=()
cleanup() {
    local point
    for ((i = ${#mounted[@]} - 1; i >= 0; i--)); do
        point=${mounted[i]}
        umount -R "$point" 2>/dev/null || umount -lR "$point" 2>/dev/null || true
    done
    # Only once nothing is mounted there: never delete through a mount.
    if ! grep -q " $root/" /proc/self/mounts; then
        rm -rf "$root"
    else
        echo "korvane: left $root: something is still mounted there" >&2
    fi
}
trap cleanup EXIT

echo "korvane: making a fresh Debian $release root"
korvane_debian_root "$release" "$root" amd64 --include=ca-certificates
cp /etc/resolv.conf "$root/etc/resolv.conf"
mkdir -p "$root/root/korvane"
# The repository as a user has it: its files and its history (the reproducibility check
# builds the commit from it), owned by the root's own root.
git -C "$korvane_root" ls-files -z --cached --others --exclude-standard |
    (cd "$korvane_root" && xargs -0 tar -c --no-recursion) |
    tar -x --no-same-owner -C "$root/root/korvane"
tar -c -C "$korvane_root" .git | tar -x --no-same-owner -C "$root/root/korvane"

for point in proc sys dev; do
    mounted+=("$root/$point")
    case $point in
        proc) mount -t proc proc "$root/proc" ;;
        *) mount --rbind "/$point" "$root/$point" && mount --make-rslave "$root/$point" ;;
    esac
done
echo "korvane: in Debian $(cat "$root/etc/debian_version"): $*"
chroot "$root" /usr/bin/env -i HOME=/root PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin \
    LANG=C.UTF-8 TERM="${TERM:-dumb}" bash -c 'cd /root/korvane && "$@"' bash "$@"
