#!/usr/bin/env bash
# Makes the release of a commit twice, with the same SOURCE_DATE_EPOCH (the commit's time
# unless set), at two times and in two clones in different folders: this one (whose dist/
# it leaves for the package checks) and a fresh one elsewhere; then compares their
# SHA256SUMS, which cover every download and debug file of the release.
#   bash scripts/reproducible.sh [COMMIT]
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"
korvane_install git
cd "$korvane_root"
commit=$(git rev-parse --verify "${1:-HEAD}^{commit}")
export SOURCE_DATE_EPOCH=${SOURCE_DATE_EPOCH:-$(git log -1 --format=%ct "$commit")}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

echo "korvane: making the release of $commit twice (SOURCE_DATE_EPOCH=$SOURCE_DATE_EPOCH)"
bash scripts/release.sh "$commit"
sleep 1 # another second on the clock
git clone --quiet --no-checkout "$korvane_root" "$work/elsewhere/korvane"
git -C "$work/elsewhere/korvane" checkout --quiet "$commit"
bash "$work/elsewhere/korvane/scripts/release.sh" "$commit" >/dev/null
sums=(dist/korvane-*/SHA256SUMS)
if diff "${sums[0]}" "$work/elsewhere/korvane/${sums[0]}"; then
    echo "korvane: reproducible: both releases give the same bytes"
else
    echo "korvane: NOT reproducible: the releases differ (above)"
    exit 1
fi
