#!/usr/bin/env bash
# Takes the README's picture: the window after reading the demo card, on a virtual display.
set -euo pipefail
cd "$(dirname "$0")/.."

source scripts/packages.sh
ensure_packages "${BUILD_PACKAGES[@]}" "${RUNTIME_PACKAGES[@]}" xvfb xauth xdotool imagemagick
source scripts/window-session.sh

build=build/release
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF >/dev/null
cmake --build "$build" --target ostrivan demo_card >/dev/null

home=$(mktemp -d)
trap 'stop_window_session; rm -rf "$home"' EXIT
mkdir -p "$home/data/Trelk/Ostrivan/cards"
cp "$build/demo.card" "$home/data/Trelk/Ostrivan/cards/demo.card"
start_window_session "$PWD/$build/ui/ostrivan" "$home"
press_keys alt+r
for _ in $(seq 100); do
    grep -q "Reading card" "$home/data/Trelk/Ostrivan/log.txt" 2>/dev/null && break
    sleep 0.1
done
sleep 1
mkdir -p doc
import -window "$WINDOW" doc/window.png
echo "doc/window.png"
