#!/usr/bin/env bash
# Installs what the build and the tests need, then builds and runs every test twice: with g++,
# and with clang and the address and undefined-behaviour sanitizers.
set -euo pipefail
cd "$(dirname "$0")/.."

source scripts/packages.sh
ensure_packages "${BUILD_PACKAGES[@]}" "${TEST_PACKAGES[@]}"

run_build() {
    local dir=$1
    shift
    cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=Debug "$@" >/dev/null
    cmake --build "$dir"
    ctest --test-dir "$dir" --output-on-failure -j "$(nproc)"
}

echo "== g++ build"
run_build build/gcc -DCMAKE_CXX_COMPILER=g++
echo "== clang build with sanitizers"
run_build build/clang -DCMAKE_CXX_COMPILER=clang++-14 -DOSTRIVAN_SANITIZE=ON
