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
    korvane_as_root apt-get update -qq
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
