#!/usr/bin/env bash
# Installs what the build and the tests need, then builds and runs every test twice: with g++,
# and with clang and the address and undefined-behaviour sanitizers. Both run whatever the
# first gave; both summaries come last, and the script fails when either build failed. Tests
# that cannot run here (a normal user, a machine without namespaces) are listed as skipped with
# their reason; under CI=true nothing is skipped.
set -uo pipefail
cd "$(dirname "$0")/.."

source scripts/packages.sh
ensure_packages "${BUILD_PACKAGES[@]}" "${TEST_PACKAGES[@]}" || exit 1

summaries=()
failed=0

# The runner's own summary line goes last, after its lists of skipped and failed tests, and
# the reason of each skipped test after its list.
run_build() {
    local name=$1 dir=$2
    shift 2
    echo "== $name"
    local summary="the build failed"
    if cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=Debug "$@" >/dev/null &&
        cmake --build "$dir"; then
        ctest --test-dir "$dir" --output-on-failure -j "$(nproc)" | tee "$dir/ctest.out" |
            grep -v '% tests passed, '
        local status=${PIPESTATUS[0]}
        skip_reasons "$dir"
        summary=$(grep '% tests passed, ' "$dir/ctest.out" || echo "no tests ran")
        [ "$status" -eq 0 ] || failed=1
    else
        failed=1
    fi
    echo "$summary"
    summaries+=("$name: $summary")
}

# Why each skipped test skipped: the line "skipped: REASON" it printed.
skip_reasons() {
    awk '/^[0-9]+\/[0-9]+ Testing: / { test = $3 }
         /^skipped: / && test != "" { print "  " test ": " substr($0, 10); test = "" }' \
        "$1/Testing/Temporary/LastTest.log" 2>/dev/null
}

run_build "g++ build" build/gcc -DCMAKE_CXX_COMPILER=g++
run_build "clang build with sanitizers" build/clang -DCMAKE_CXX_COMPILER=clang++-14 \
    -DOSTRIVAN_SANITIZE=ON
echo "== summaries"
printf '%s\n' "${summaries[@]}"
exit "$failed"
