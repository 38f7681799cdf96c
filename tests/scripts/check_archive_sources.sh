#!/usr/bin/env bash
# How the scripts choose the suites of a Debian root (korvane_sources in scripts/common.sh),
# against a local archive on the loopback whose indexes are made wrong on purpose, as a
# mirror caught in a sync serves them: an index whose size and sum disagree with its Release
# file, for good or only at the first request. One row a case. Then how a run in the
# emulated PC meets a disk that is not made: it never makes one under a test's limit.
set -uo pipefail
here=$(dirname "${BASH_SOURCE[0]}")
source "$here/../support/checks.sh"
work=$(mktemp -d)
trap 'kill $server 2>/dev/null; rm -rf "$work"' EXIT

# A suite of one index: consistent, wrong for good ("broken"), or wrong at the first
# request only ("syncing": the server then serves the index that its Release file names).
suite() { # FOLDER SUITE STATE
    local dists=$work/$1/dists/$2
    mkdir -p "$dists/main/binary-amd64"
    printf 'Package: korvane-%s\nVersion: 1.0.0\nArchitecture: amd64\n\n' "$2" \
        >"$dists/main/binary-amd64/Packages"
    local size sum
    size=$(stat -c %s "$dists/main/binary-amd64/Packages")
    sum=$(sha256sum <"$dists/main/binary-amd64/Packages" | cut -d' ' -f1)
    case $3 in
        broken) echo "Description: more than the Release file names" >>"$dists/main/binary-amd64/Packages" ;;
        syncing) cp "$dists/main/binary-amd64/Packages" "$dists/main/binary-amd64/Packages.first"
                 echo "Description: a newer index than the Release file names" \
                     >>"$dists/main/binary-amd64/Packages.first" ;;
    esac
    printf 'Suite: %s\nCodename: %s\nDate: Thu, 01 Jan 2026 00:00:00 UTC\nArchitectures: amd64\nComponents: main\nSHA256:\n %s %s main/binary-amd64/Packages\n' \
        "$2" "$2" "$sum" "$size" >"$dists/Release"
}

cat >"$work/server.py" <<'PY'
import http.server, os, sys
class Archive(http.server.SimpleHTTPRequestHandler):
    def translate_path(self, path):
        real = super().translate_path(path)
        if os.path.exists(real + ".first"):  # once, then the file itself
            os.rename(real + ".first", real + ".served")
            return real + ".served"
        return real
    def log_message(self, *args):
        pass
server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), Archive)
print(server.server_address[1], flush=True)
os.chdir(sys.argv[1])
server.serve_forever()
PY
mkdir -p "$work/root"
python3 "$work/server.py" "$work/root" >"$work/port" &
server=$!
korvane_wait_for 5 "the local archive to take a port" test -s "$work/port"
port=$(cat "$work/port")

# CASE: the states of the release, its updates and its security suite; the suites chosen;
# the status; what the output must say, phrases between "|" ("" for nothing).
check() { # CASE RELEASE UPDATES SECURITY EXPECTED STATUS SAYS
    rm -rf "${work:?}/root"/*
    suite "root/$1/debian" "$1" "$2"
    suite "root/$1/debian" "$1-updates" "$3"
    suite "root/$1/debian-security" "$1-security" "$4"
    local got said status phrase
    got=$(KORVANE_ARCHIVE="http://127.0.0.1:$port/$1/debian" \
        KORVANE_SECURITY_ARCHIVE="http://127.0.0.1:$port/$1/debian-security" KORVANE_RETRY_WAIT=0 \
        bash -c 'source "$0/../../scripts/common.sh" && korvane_sources "$1" amd64' "$here" "$1" \
        2>"$work/said" | sed 's/^deb http:[^ ]* //; s/ main$//' | tr '\n' ' ')
    status=${PIPESTATUS[0]}
    said=$(cat "$work/said")
    [ -n "$said" ] && sed "s/^/$1: /" <<<"$said"
    row "$1: suites [$5]" [ "$got" = "$5" ]
    row "$1: status $6" [ "$status" = "$6" ]
    if [ -z "$7" ]; then
        row "$1: leaves nothing out, says nothing" [ -z "$said" ]
    fi
    IFS='|' read -ra phrases <<<"$7"
    for phrase in "${phrases[@]}"; do
        row "$1: says \"$phrase\"" grep -qF -- "$phrase" <<<"$said"
    done
}
check consistent ok ok ok "consistent consistent-updates consistent-security " 0 ""
check updates-once ok syncing ok "updates-once updates-once-updates updates-once-security " 0 ""
check security-stays ok ok broken "security-stays security-stays-updates " 0 \
    "left out security-stays-security|could not be read three times|File has unexpected size"
check release-broken broken ok ok "" 1 "the archive's release-broken cannot be read|unexpected size"

said=$(KORVANE_CACHE="$work/cache" bash "$here/../../scripts/emulated-machine.sh" true 2>&1)
status=$?
row "with no disk, a run in the emulated PC fails [$status]" [ "$status" = 1 ]
row "and names the command that makes the disk" \
    grep -qF "make it with: bash scripts/emulated-machine-image.sh" <<<"$said"
row "and starts making none" [ -z "$(ls -A "$work/cache" 2>/dev/null)" ]
korvane_finish "archive sources"
