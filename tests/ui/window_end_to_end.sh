#!/usr/bin/env bash
# The built program on a real X display, with temporary folders and the demo card: Alt+R reads
# the card, and the export file and the log say what the form's own tests say of that card.
# Then the command-line companion, under the same variables, reads the same card: the same
# export, and the same lines added to the same log.
# usage: window_end_to_end.sh PROGRAM DEMO_CARD EXPECTED_CSV EXPECTED_LOG COMPANION
set -uo pipefail
program=$1 card=$2 expected_csv=$3 expected_log=$4 companion=$5
source "$(dirname "$0")/../../scripts/window-session.sh"

if ! command -v Xvfb >/dev/null || ! command -v xdotool >/dev/null; then
    [ "${CI:-}" = "true" ] && { echo "Xvfb and xdotool are needed under CI"; exit 1; }
    echo "skipped: Xvfb or xdotool missing"; exit 80
fi

home=$(mktemp -d)
trap 'stop_window_session; rm -rf "$home"' EXIT
folder="$home/data/Trelk/Ostrivan"
mkdir -p "$folder/cards"
cp "$card" "$folder/cards/demo.card"
start_window_session "$program" "$home" || { echo "the window did not appear"; cat "$home/program.log"; exit 1; }
press_keys alt+r

for _ in $(seq 200); do # until the read has ended, at most 10 s
    cmp -s "$folder/data.csv" "$expected_csv" && [ "$(grep -c 'Card\[' "$folder/log.txt")" -ge 5 ] && break
    sleep 0.05
done
status=0
if ! cmp "$folder/data.csv" "$expected_csv"; then
    echo "the export differs:"; diff "$folder/data.csv" "$expected_csv"; status=1
fi
# The banner's version is the build's.
texts() { sed '1s/ Ver .*/ Ver/' "$@"; }
if ! cut -c29- "$folder/log.txt" | texts | cmp - <(texts "$expected_log"); then
    echo "the log differs:"; cut -c29- "$folder/log.txt" | texts | diff - <(texts "$expected_log"); status=1
fi
if ! grep -qE '^[0-9]{4}/[0-9]{2}/[0-9]{2} [0-9]{2}:[0-9]{2}:[0-9]{2} {9}STARTING' "$folder/log.txt"; then
    echo "the log lines are not stamped"; status=1
fi
kill -0 "$PROGRAM_PID" 2>/dev/null || { echo "the program ended"; status=1; }

mkdir -p "$home/companion"
"$companion" read --reader demo --output "$home/companion/data.csv" 2>/dev/null || { echo "the companion failed"; status=1; }
if ! cmp "$home/companion/data.csv" "$folder/data.csv"; then
    echo "the companion's export differs from the window's"; status=1
fi
read_lines=$(($(wc -l <"$expected_log") - 1)) # the window's Read Card, without the banner
if ! diff <(cut -c29- "$folder/log.txt" | sed -n "2,$((read_lines + 1))p") \
          <(cut -c29- "$folder/log.txt" | tail -n "$read_lines"); then
    echo "the companion's log lines differ from the window's"; status=1
fi
[ $status -eq 0 ] && echo "the window and the companion read the demo card: export and log as expected"
exit $status
