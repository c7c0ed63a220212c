# Debian packages of the project, and a helper that installs the missing ones.
# shellcheck shell=bash

BUILD_PACKAGES=(g++ cmake ninja-build pkg-config libpcsclite-dev qt6-base-dev libutfcpp-dev
    libcli11-dev libxlsxwriter-dev zlib1g-dev libsqlite3-dev libssl-dev)
RUNTIME_PACKAGES=(libpcsclite1 pcscd libccid fonts-liberation)
PACKAGE_PACKAGES=(dpkg-dev file)
TEST_PACKAGES=(libgtest-dev libgmock-dev clang-14 libclang-rt-14-dev pcscd vsmartcard-vpcd
    fonts-liberation xvfb xauth xdotool python3-xlib python3-cram python3-openpyxl libreoffice-calc-nogui
    util-linux iproute2 time dpkg-dev file lintian desktop-file-utils appstream man-db bash-completion)

# Installs the packages that are missing: as root directly, otherwise through sudo. Where
# that is not possible it says what to run, and stops.
ensure_packages() {
    local missing=()
    local package
    for package in "$@"; do
        if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
            missing+=("$package")
        fi
    done
    if [ ${#missing[@]} -eq 0 ]; then
        return
    fi
    local root=()
    if [ "$(id -u)" -ne 0 ]; then
        if ! command -v sudo >/dev/null; then
            install_by_hand "${missing[@]}"
        fi
        root=(sudo)
    fi
    echo "Installing ${missing[*]}${root:+ (with sudo)}"
    if ! "${root[@]}" env DEBIAN_FRONTEND=noninteractive apt-get update -qq ||
        ! "${root[@]}" env DEBIAN_FRONTEND=noninteractive \
            apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null; then
        install_by_hand "${missing[@]}"
    fi
}

install_by_hand() {
    echo "Some Debian packages are missing. Install them with:" >&2
    echo "  sudo apt-get install --no-install-recommends $*" >&2
    exit 1
}
