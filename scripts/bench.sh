#!/usr/bin/env bash
# Measures a full-card read through the PC/SC daemon and its virtual reader: the card exchange
# against the bare card commands. Starts the daemon and the virtual card, stops them at the end.
set -euo pipefail
cd "$(dirname "$0")/.."

source scripts/packages.sh
ensure_packages "${BUILD_PACKAGES[@]}" "${TEST_PACKAGES[@]}"

build=build/bench
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build" --target exchange_benchmark ostrivan_vcard

work=$(mktemp -d)
daemon=""
card=""
cleanup() {
    [ -n "$card" ] && kill -TERM "$card" 2>/dev/null && wait "$card" 2>/dev/null || true
    [ -n "$daemon" ] && kill -TERM "$daemon" 2>/dev/null && wait "$daemon" 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT

"$build/bench/exchange_benchmark" --write-card "$work/card.bin"
rm -rf /run/pcscd
/usr/sbin/pcscd --foreground >"$work/pcscd.log" 2>&1 &
daemon=$!
for _ in $(seq 100); do [ -S /run/pcscd/pcscd.comm ] && break; sleep 0.05; done
"$build/tests/reader/ostrivan_vcard" --image "$work/card.bin" >"$work/card.log" 2>&1 &
card=$!
sleep 1

"$build/bench/exchange_benchmark" "$@"
