#!/usr/bin/env bash
# KOLVANE for Windows, built on Debian with mingw-w64 and tested under wine:
#   - the core's tests under wine;
#   - kolvane-batch.exe on both examples and on a simulated study (--companions -j 2 --out-dir),
#     every results file byte for byte the same as the Linux build's;
#   - files named Müller.fix and 数据.fix analysed with their run records written, a results
#     file replaced over an existing one, the study rerun with --skip-done;
#   - the zip for Windows users (build/windows-core/kolvane-VERSION-windows-x86_64.zip).
# Installs what it needs itself. KOLVANE_SKIP_WINDOWS=1 skips it all.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
if [ "${KOLVANE_SKIP_WINDOWS:-0}" = 1 ]; then
  echo "Windows build skipped (KOLVANE_SKIP_WINDOWS=1)."
  exit 0
fi

# --- Packages --------------------------------------------------------------------------------
packages=(g++-mingw-w64-x86-64-posix wine64 wine zip googletest libcli11-dev nlohmann-json3-dev
          cmake ninja-build)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  $sudo apt-get update
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y --no-install-recommends "${missing[@]}"
fi

# --- Libraries for Windows -------------------------------------------------------------------
# A prefix of their own: GoogleTest built from Debian's sources with the toolchain, and the
# header-only CLI11 and nlohmann-json with their CMake files (nothing else of /usr/include).
toolchain=$root/cmake/toolchains/mingw-w64-x86_64.cmake
deps=$root/build/windows-deps
if [ ! -f "$deps/lib/cmake/GTest/GTestConfig.cmake" ] || [ ! -d "$deps/include/nlohmann" ]; then
  rm -rf "$deps"
  mkdir -p "$deps/include" "$deps/share/cmake"
  cp -r /usr/include/CLI /usr/include/nlohmann "$deps/include/"
  cp -r /usr/share/cmake/CLI11 /usr/share/cmake/nlohmann_json "$deps/share/cmake/"
  cmake -S /usr/src/googletest -B "$deps/googletest-build" -G Ninja \
    -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DKOLVANE_WINDOWS_DEPS="$deps" \
    -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$deps" -Dgtest_disable_pthreads=OFF \
    ${CMAKE_CXX_COMPILER_LAUNCHER:+-DCMAKE_CXX_COMPILER_LAUNCHER=$CMAKE_CXX_COMPILER_LAUNCHER} >/dev/null
  cmake --build "$deps/googletest-build" -j2
  cmake --install "$deps/googletest-build" >/dev/null
  rm -rf "$deps/googletest-build"
fi
