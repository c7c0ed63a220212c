#!/usr/bin/env bash
# Installs what the program needs, builds it, gives a first-time user the demo card, and starts
# the window.
set -euo pipefail
cd "$(dirname "$0")/.."

source scripts/packages.sh
ensure_packages "${BUILD_PACKAGES[@]}" "${RUNTIME_PACKAGES[@]}"

build=build/release
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF >/dev/null
cmake --build "$build" --target ostrivan demo_card

cards="${XDG_DATA_HOME:-$HOME/.local/share}/Trelk/Ostrivan/cards"
mkdir -p "$cards"
if ! compgen -G "$cards/*.card" >/dev/null; then
    cp "$build/demo.card" "$cards/demo.card"
    echo "The demo card is in $cards: choose the reader \"demo\" and press Read Card."
fi

exec "$build/ui/ostrivan"
