#!/usr/bin/env bash
# Installs what the packages' build needs, makes a release build and writes the two Debian
# packages into build/packages: ostrivan-card (the companion, for stations without a desktop)
# and ostrivan (the window). Prints their paths.
set -euo pipefail
cd "$(dirname "$0")/.."

source scripts/packages.sh
ensure_packages "${BUILD_PACKAGES[@]}" "${PACKAGE_PACKAGES[@]}"

build=build/package
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF >/dev/null
cmake --build "$build"
mkdir -p build/packages
cpack --config "$build/CPackConfig.cmake" -B build/packages >/dev/null
ls -1 "$PWD"/build/packages/*.deb
