# Debian packages of the project, and a helper that installs the missing ones.
# shellcheck shell=bash

BUILD_PACKAGES=(g++ cmake ninja-build pkg-config libpcsclite-dev qt6-base-dev libutfcpp-dev)
RUNTIME_PACKAGES=(libpcsclite1 pcscd libccid fonts-liberation)
TEST_PACKAGES=(libgtest-dev libgmock-dev clang-14 libclang-rt-14-dev pcscd vsmartcard-vpcd
    fonts-liberation xvfb xauth xdotool)

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
    echo "Installing ${missing[*]}"
    export DEBIAN_FRONTEND=noninteractive
    apt-get update -qq
    apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
}
