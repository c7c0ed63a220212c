#!/usr/bin/env bash
# Measures a full-card read through the PC/SC daemon and its virtual reader: the bare card
# commands, the reader library, the card exchange and Read Card in the window (on a virtual
# display), and on a reader that takes a real one's time the bare 64-byte reads against Read
# Card, the window's event loop during it and Cancel; what the herd book adds to a read; then
# the window's start-up time and peak memory, and the herd book with 2,000 archived full cards. Starts the daemon, the virtual card and the display, in namespaces of their own so
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

# The herd book: 2,000 archived full cards of Draft records only (2.4 million weighings seen,
# 600,000 of them distinct), taken in for the first time, then the history of the book, of all
# animals and of one; and 2,000 ordinary farm cards taken in.
companion=$build/cli/ostrivan-card
milliseconds() { local start; start=$(date +%s%N); "$@" >/dev/null; echo $((($(date +%s%N) - start) / 1000000)); }
best_of_three() { local best="" took; for _ in 1 2 3; do took=$(milliseconds "$@"); if [ -z "$best" ] || [ "$took" -lt "$best" ]; then best=$took; fi; done; echo "$best"; }
mkdir "$work/drafts" "$work/farms"
/usr/bin/python3 bench/herd-cards.py drafts "$work/drafts"
/usr/bin/python3 bench/herd-cards.py farm "$work/farms" "$work/card.bin"
export XDG_CONFIG_HOME=$work/herd/config XDG_DATA_HOME=$work/herd/data
echo "taking in 2000 full cards of Draft records: $(milliseconds "$companion" history --archive "$work/drafts") ms (goal: at most 5 s)"
echo "history of that book: $(best_of_three "$companion" history --archive "$work/drafts") ms (goal: at most 500 ms)"
echo "history of one animal in it: $(best_of_three "$companion" history UK10000123 --archive "$work/drafts") ms (goal: at most 50 ms)"
peak=$(/usr/bin/time -f %M "$companion" history --archive "$work/drafts" 2>&1 >/dev/null)
echo "history's peak memory: $((peak / 1024)) MB"
export XDG_DATA_HOME=$work/farms-book/data
echo "taking in 2000 ordinary farm cards: $(milliseconds "$companion" history --archive "$work/farms") ms (goal: at most 3 s)"
