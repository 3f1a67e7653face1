#!/usr/bin/env bash
# Writes pictures of the main window in its states and of the dialogs into a folder, for a
# person to look at. Usage: scripts/screenshots.sh [folder] (default build/screenshots).
# Builds the picture program (bench/screenshots) first; QT_QPA_PLATFORM picks the platform (offscreen
# unless set, e.g. xcb under Xvfb for the desktop's own style).
set -euo pipefail
cd "$(dirname "$0")/.."
out="$(realpath -m "${1:-build/screenshots}")"
mkdir -p "$out"
cmake --preset release >/dev/null
cmake --build --preset release --target kolvane-screenshots -j2
export QT_QPA_PLATFORM="${QT_QPA_PLATFORM:-offscreen}"
KOLVANE_SCREENSHOTS="$out" build/release/bench/kolvane-screenshots
ls "$out"/*.png
