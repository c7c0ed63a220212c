#!/usr/bin/env bash
# Measures a full-card read through the PC/SC daemon and its virtual reader: the bare card
# commands, the reader library, the card exchange and Read Card in the window (on a virtual
# display), and on a reader that takes a real one's time the bare 64-byte reads against Read
# Card; then the window's start-up time and peak memory, and the history of 2,000 archived full
# cards. Starts the daemon, the virtual card and the display, in namespaces of their own so
# that the machine's card service is left alone, and stops them at the end. Needs root for the
# daemon.
set -euo pipefail
cd "$(dirname "$0")/.."
[ "${OSTRIVAN_ISOLATED:-}" = 1 ] || exec tests/support/isolated.sh bash "$0" "$@"

source scripts/packages.sh
ensure_packages "${BUILD_PACKAGES[@]}" "${TEST_PACKAGES[@]}"
source scripts/window-session.sh

build=build/bench
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build" --target read_benchmark ostrivan_vcard ostrivan ostrivan_make_card \
    ostrivan-card >/dev/null

work=$(mktemp -d)
daemon=""
card=""
modelled=""
cleanup() {
    stop_window_session
    for program in "$card" "$modelled"; do
        [ -n "$program" ] && kill -TERM "$program" 2>/dev/null && wait "$program" 2>/dev/null || true
    done
    [ -n "$daemon" ] && kill -TERM "$daemon" 2>/dev/null && wait "$daemon" 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT

"$build/card/ostrivan_make_card" tests/data/cards/farm.txt "$work/card.bin"
/usr/sbin/pcscd --foreground >"$work/pcscd.log" 2>&1 &
daemon=$!
for _ in $(seq 100); do [ -S /run/pcscd/pcscd.comm ] && break; sleep 0.05; done
"$build/bench/ostrivan_vcard" --image "$work/card.bin" >"$work/card.log" 2>&1 &
card=$!
"$build/bench/ostrivan_vcard" --image "$work/card.bin" --port 35964 --command-us 4000 \
    --byte-ns 22500 >"$work/modelled.log" 2>&1 &
modelled=$!
sleep 1

# The window's own start-up and memory, with the same card as a card file.
mkdir -p "$work/home/data/Trelk/Ostrivan/cards"
cp "$work/card.bin" "$work/home/data/Trelk/Ostrivan/cards/full.card"
start_window_session "$PWD/$build/ui/ostrivan" "$work/home" 0.01
shown=$(date +%s%N)
press_keys alt+r
log="$work/home/data/Trelk/Ostrivan/log.txt"
for _ in $(seq 500); do [ "$(grep -c 'Card\[' "$log" 2>/dev/null)" -ge 512 ] && break; sleep 0.02; done
peak=$(awk '/VmHWM/ {print $2}' "/proc/$PROGRAM_PID/status")
kill -TERM "$PROGRAM_PID"
wait "$PROGRAM_PID" 2>/dev/null || true
PROGRAM_PID=""

"$build/bench/read_benchmark" "$@"
echo "window start-up: $(((shown - PROGRAM_STARTED) / 1000000)) ms until its window is there (goal: under 500 ms)"
echo "window peak memory after reading a full card: $((peak / 1024)) MB (goal: under 100 MB)"

# Every animal's weights across the newest 2,000 reads a station keeps, all of them full cards.
mkdir "$work/archive"
for i in $(seq -w 2000); do cp "$work/card.bin" "$work/archive/$i.card"; done
best=""
for _ in 1 2 3; do
    start=$(date +%s%N)
    "$build/cli/ostrivan-card" history --archive "$work/archive" >/dev/null
    took=$((($(date +%s%N) - start) / 1000000))
    if [ -z "$best" ] || [ "$took" -lt "$best" ]; then best=$took; fi
done
echo "history of 2000 full cards: $best ms, $((best * 1000 / 2000)) us a card, on $(nproc) cores (goal: under 3 s)"
