# Shared by the README's commands: installs what is missing and builds one preset.
# Source it; it needs bash.

korvane_root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)

# Everything Korvane builds, runs and is tested with, all from Debian's archive.
korvane_packages=(
    cmake ninja-build g++ pkg-config
    qt6-base-dev qt6-qpa-plugins qt6-wayland libgl-dev
    libgtest-dev
    fonts-arphic-uming fonts-wqy-zenhei
    xvfb xauth openbox x11-utils xdotool dbus at-spi2-core
    librsvg2-bin qt6-translations-l10n
    desktop-file-utils appstream lintian binutils-mingw-w64-x86-64 dpkg-dev file python3
)

korvane_as_root() {
    if [ "$(id -u)" -eq 0 ]; then
        "$@"
    elif command -v sudo >/dev/null 2>&1; then
        sudo "$@"
    else
        echo "korvane: installing packages needs root; run this as root or install sudo." >&2
        return 1
    fi
}

# Runs COMMAND until it succeeds, three times at the most, KORVANE_RETRY_WAIT seconds apart
# (30; the tests set 0), for a mirror that changes under it. Its status is the last try's.
korvane_retry() { # COMMAND...
    local try
    for try in 1 2 3; do
        "$@" && return 0
        [ "$try" = 3 ] || sleep "${KORVANE_RETRY_WAIT:-30}"
    done
    return 1
}

# Runs COMMAND and, once a minute while it runs, says on standard error that it is WHAT,
# how long it has taken and how far it has got, as the function PROBE prints it. A long step
# with no output is then told from a hung one. Its status is COMMAND's.
korvane_with_progress() { # WHAT PROBE COMMAND...
    local what=$1 probe=$2 started=$SECONDS ticker status=0
    shift 2
    (
        # sleep's output goes nowhere: one left running must not hold a reader's pipe open.
        while sleep "${KORVANE_PROGRESS_EVERY:-60}" >/dev/null 2>&1; do
            echo "korvane: $what: $((SECONDS - started)) s so far; $("$probe" 2>/dev/null)" >&2
        done
    ) &
    ticker=$!
    "$@" || status=$?
    kill "$ticker" 2>/dev/null
    wait "$ticker" 2>/dev/null || true
    return "$status"
}

# Installs the packages that are not installed yet; does nothing when all are there.
korvane_install() {
    local missing=()
    local package
    for package in "${korvane_packages[@]}" "$@"; do
        if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
            missing+=("$package")
        fi
    done
    if [ "${#missing[@]}" -eq 0 ]; then
        return 0
    fi
    echo "korvane: installing ${missing[*]}"
    # A mirror in the middle of a sync fails an index or two for a while; what apt has is
    # then used, and the install itself says if a package cannot be had.
    korvane_retry korvane_as_root apt-get update -qq ||
        echo "korvane: apt-get update failed three times; going on" >&2
    korvane_as_root env DEBIAN_FRONTEND=noninteractive \
        apt-get install -y -qq --no-install-recommends "${missing[@]}"
}

# Configures and builds a preset (default: "default"), with any further cache settings.
korvane_build() {
    local preset=${1:-default}
    shift || true
    (cd "$korvane_root" && cmake --preset "$preset" "$@" >/dev/null &&
        cmake --build --preset "$preset")
}

# Debian's archive for the roots that the scripts make; the tests point these elsewhere.
korvane_archive=${KORVANE_ARCHIVE:-http://deb.debian.org/debian}
korvane_security_archive=${KORVANE_SECURITY_ARCHIVE:-http://deb.debian.org/debian-security}

# Whether apt can read a sources line's indexes now, in a scratch state of its own; apt's
# complaint on standard output when not.
korvane_readable() { # LINE ARCHITECTURES
    local scratch status
    scratch=$(mktemp -d)
    mkdir -p "$scratch/lists/partial" "$scratch/cache/archives/partial"
    echo "$1" >"$scratch/sources.list"
    apt-get update -q=2 -o Dir::Etc::SourceList="$scratch/sources.list" \
        -o Dir::Etc::SourceParts=/nonexistent -o Dir::State::Lists="$scratch/lists" \
        -o Dir::Cache="$scratch/cache" -o Debug::NoLocking=true -o Acquire::Languages=none \
        -o APT::Architectures="$2" -o APT::Sandbox::User=root 2>&1 | grep -E '^(E|W):'
    status=${PIPESTATUS[0]}
    rm -rf "$scratch"
    return "$status"
}

# The sources lines of a root of RELEASE: the release, its updates and its security suite.
# A mirror caught in a sync serves an index that disagrees with its Release file, often for
# many minutes: each suite is tried three times, and an updates or security suite that stays
# unreadable is left out (a test machine with no network can do without it), with apt's
# reason on standard error. The release itself must be readable.
#   korvane_sources RELEASE ARCHITECTURES (comma-separated)
korvane_sources() {
    local release=$1 architectures=$2 suite archive reason
    # One try, for korvane_retry; apt's complaint is kept for the message.
    korvane_suite_readable() {
        reason=$(korvane_readable "deb [trusted=yes] $archive $suite main" "$architectures")
    }
    for suite in "$release" "$release-updates" "$release-security"; do
        archive=$korvane_archive
        [ "$suite" = "$release-security" ] && archive=$korvane_security_archive
        if korvane_retry korvane_suite_readable; then
            echo "deb $archive $suite main"
            continue
        fi
        if [ "$suite" = "$release" ]; then
            echo "korvane: the archive's $suite cannot be read at $archive: $reason" >&2
            return 1
        fi
        echo "korvane: left out $suite: its indexes at $archive could not be read three times: $reason" >&2
    done
}

# Makes a Debian root of RELEASE with mmdebstrap from the sources that can be read, tried
# up to three times, for a mirror that changes under it.
#   korvane_debian_root RELEASE FOLDER ARCHITECTURES [MMDEBSTRAP OPTION...]
korvane_debian_root() {
    local release=$1 folder=$2 architectures=$3 sources lines
    shift 3
    sources=$(korvane_sources "$release" "$architectures") || return 1
    mapfile -t lines <<<"$sources"
    korvane_mmdebstrap_once() {
        rm -rf "$folder"
        mmdebstrap --quiet --variant=apt --architectures="$architectures" "$@" \
            "$release" "$folder" "${lines[@]}" || { echo "korvane: mmdebstrap failed" >&2; return 1; }
    }
    korvane_retry korvane_mmdebstrap_once "$@"
}

# The folder of the emulated PC's disk (emulated-machine-image.sh makes it), named by the
# hash of everything that goes into it: the scripts that make and first boot it, those they
# take their packages and prefixes from, and the archives it comes from.
korvane_machine_disk() {
    local recipe
    recipe=$({
        cat "$korvane_root"/scripts/{common,emulated-machine-image,emulated-machine,wine-run}.sh
        echo "$korvane_archive $korvane_security_archive"
    } | sha256sum | cut -c1-16)
    echo "${KORVANE_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/korvane}/machine-$recipe"
}
