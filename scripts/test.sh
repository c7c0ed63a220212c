#!/usr/bin/env bash
# Installs what the build and the tests need, then builds and runs every test twice: with g++,
# and with clang and the address and undefined-behaviour sanitizers. Tests that need root (the
# PC/SC daemon, tmpfs mounts) are skipped for a normal user, and listed as skipped; under
# CI=true nothing is skipped.
set -euo pipefail
cd "$(dirname "$0")/.."

source scripts/packages.sh
ensure_packages "${BUILD_PACKAGES[@]}" "${TEST_PACKAGES[@]}"

# The runner's own summary line goes last, after its lists of skipped and failed tests.
summary_last() {
    awk '/% tests passed, / { summary = $0; next } { print; fflush() } END { if (summary) print summary }'
}

run_build() {
    local dir=$1
    shift
    cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=Debug "$@" >/dev/null
    cmake --build "$dir"
    ctest --test-dir "$dir" --output-on-failure -j "$(nproc)" | summary_last
}

echo "== g++ build"
run_build build/gcc -DCMAKE_CXX_COMPILER=g++
echo "== clang build with sanitizers"
run_build build/clang -DCMAKE_CXX_COMPILER=clang++-14 -DOSTRIVAN_SANITIZE=ON
