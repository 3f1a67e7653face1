#!/usr/bin/env bash
# Installs what is missing, builds KOLVANE and runs every test headless. This is the command
# CI runs.
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/install-deps.sh
export QT_QPA_PLATFORM=offscreen

# The core and the batch front end must build without Qt.
cmake --preset core >/dev/null
cmake --build --preset core --target kolvane_core kolvane-batch

cmake --preset release
cmake --build --preset release
ctest --preset release -j2
