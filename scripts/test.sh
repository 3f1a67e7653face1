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

# The Debian package: built, installed, its kolvane-batch run on an installed example, removed.
./scripts/package-check.sh build/release

# The core, the batch and their tests under AddressSanitizer + UndefinedBehaviorSanitizer.
cmake --preset core-asan >/dev/null
cmake --build --preset core-asan
ctest --preset core-asan -j2

# The study's workers under ThreadSanitizer: only the study tests and the programs they run.
cmake --preset core-tsan >/dev/null
cmake --build --preset core-tsan --target test_cli
ctest --preset core-tsan -j2

# Each fuzz target for a short, repeatable while from its seeds (scripts/fuzz.sh runs them
# longer, from a fresh random seed each time).
KOLVANE_FUZZ_RUNS="${KOLVANE_FUZZ_RUNS:-1500}" ./scripts/fuzz.sh

# The core and the batch for Windows (mingw-w64), their tests and the programs under wine, the
# results byte for byte against the Linux build's, and the zip for Windows users.
./scripts/test-windows.sh
