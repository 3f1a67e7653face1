#!/usr/bin/env bash
# KOLVANE for Windows, built on Debian with mingw-w64 and tested under wine:
#   - the core's tests under wine;
#   - kolvane-batch.exe on both examples and on a simulated study (--companions -j 2 --out-dir),
#     every results file byte for byte the same as the Linux build's;
#   - files named Müller.fix and 数据.fix analysed with their run records written, a results
#     file replaced over an existing one, the study rerun with --skip-done;
#   - the zip for Windows users (build/windows-core/kolvane-VERSION-windows-x86_64.zip).
# Installs what it needs itself. KOLVANE_SKIP_WINDOWS=1 skips it all; KOLVANE_WINDOWS_CTEST=0 skips
# the tests under wine (the longest part) and does the rest.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
if [ "${KOLVANE_SKIP_WINDOWS:-0}" = 1 ]; then
  echo "Windows build skipped (KOLVANE_SKIP_WINDOWS=1)."
  exit 0
fi

# --- Packages --------------------------------------------------------------------------------
packages=(g++-mingw-w64-x86-64-posix wine64 wine zip unzip googletest libcli11-dev nlohmann-json3-dev
          cmake ninja-build)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep "install ok installed" >/dev/null || missing+=("$p")
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

# --- The window's code uses Qt and the portable core only ---------------------------------------
posix='^[[:space:]]*#[[:space:]]*include[[:space:]]*<(unistd|fcntl|signal|dirent|dlfcn|pthread|poll|pwd|grp|termios|spawn|syslog|netdb|sys/[a-z_]+|arpa/[a-z_]+|netinet/[a-z_]+)\.h>'
if grep -rnE "$posix" src/gui; then
  echo "test-windows: src/gui includes a POSIX header (above); the window must build on Windows"
  exit 1
fi

# --- Build ---------------------------------------------------------------------------------------
launcher=()
[ -n "${CMAKE_CXX_COMPILER_LAUNCHER:-}" ] && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER="$CMAKE_CXX_COMPILER_LAUNCHER")
cmake --preset windows-core "${launcher[@]}" >/dev/null
cmake --build --preset windows-core
win=$root/build/windows-core

# --- wine ----------------------------------------------------------------------------------------
export WINEPREFIX=${KOLVANE_WINEPREFIX:-$root/build/wine-prefix}
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="  # no .NET or browser engine to install
work=$(mktemp -d)
cleanup() {
  status=$?
  # A wine server left running can keep the next ctest waiting for ever.
  wineserver -k 2>/dev/null || true
  rm -rf "$work"
  if [ "$status" -eq 0 ]; then echo "test-windows: passed"; else echo "test-windows: FAILED"; fi
  exit "$status"
}
trap cleanup EXIT
fail() {
  echo "test-windows: $*"
  exit 1
}
wineboot -i >/dev/null 2>&1

# --- The core's tests under wine -----------------------------------------------------------------
if [ "${KOLVANE_WINDOWS_CTEST:-1}" != 0 ]; then
  ctest --preset windows-core -j2 --timeout 600
fi

# --- The programs against the Linux build --------------------------------------------------------
linux=$root/build/core
[ -f "$linux/CMakeCache.txt" ] || cmake --preset core "${launcher[@]}" >/dev/null
cmake --build --preset core --target kolvane-batch kolvane-simulate >/dev/null
wbatch() { wine "$win/kolvane-batch.exe" "$@"; }
lbatch() { "$linux/kolvane-batch" "$@"; }
same() { # FILE_A FILE_B WHAT
  [ -f "$1" ] || fail "$3: no $1"
  [ -f "$2" ] || fail "$3: no $2"
  cmp "$1" "$2" || fail "$3: the Windows and the Linux results differ"
}

# Both examples, from the example's own folder (the results name the inputs as given).
example_runs() { # BATCH OUT_DIR
  local batch=$1 out=$2
  mkdir -p "$out"
  (cd examples/fixed && $batch fixed tissue_blanks_controls.fix \
    --blanks tissue_blanks_controls.blk --controls tissue_blanks_controls.ctl \
    --control-correction on --tissue use -o "$out/tissue.scf")
  (cd examples/scan && $batch scan small.syn --blanks small.slk -o "$out/small.scf")
}
example_runs wbatch "$work/examples-windows" >/dev/null || fail "kolvane-batch.exe failed on an example"
example_runs lbatch "$work/examples-linux" >/dev/null
for r in tissue.scf small.scf; do
  same "$work/examples-windows/$r" "$work/examples-linux/$r" "example $r"
  [ -f "$work/examples-windows/$r.json" ] || fail "example $r: no run record"
done
echo "test-windows: both examples byte-identical to Linux"

# A simulated study: fixed-wavelength files with their blanks and controls, two at once.
study=$work/study
mkdir -p "$study"
for seed in 1 2 3; do
  "$linux/kolvane-simulate" fixed --colors 6 --samples 30 --noise 1 --seed "$seed" \
    -o "$study/plate$seed" >/dev/null
  rm -f "$study/plate$seed.spl" "$study/plate$seed.truth.tsv"
done
(cd "$work" && wbatch fixed study --companions -j 2 --out-dir study-windows \
  --summary study-windows.tsv >/dev/null) || fail "the study failed under wine"
(cd "$work" && lbatch fixed study --companions -j 2 --out-dir study-linux >/dev/null)
count=0
for r in "$work"/study-linux/*.scf; do
  same "$work/study-windows/$(basename "$r")" "$r" "study $(basename "$r")"
  count=$((count + 1))
done
[ "$count" -eq 3 ] || fail "the study wrote $count results files, not 3"
echo "test-windows: the study's $count results files byte-identical to Linux"

# Rerun with --skip-done: nothing is analysed again and nothing changes.
before=$(cd "$work/study-windows" && sha256sum ./*)
skipped=$(cd "$work" && wbatch fixed study --companions -j 2 --out-dir study-windows --skip-done) ||
  fail "the study's rerun with --skip-done failed"
echo "$skipped" | tr -d '\r' | grep '^3 files: 3 skipped$' >/dev/null ||
  fail "the rerun with --skip-done did not skip the 3 files: $skipped"
[ "$before" = "$(cd "$work/study-windows" && sha256sum ./*)" ] || fail "--skip-done changed a file"
echo "test-windows: the study's rerun with --skip-done skipped all 3 files"

# Names outside ASCII: each file analysed with its run record written, results as on Linux.
names=$work/names
mkdir -p "$names"
for stem in "Müller" "数据"; do
  for ext in fix blk ctl; do cp "examples/fixed/tissue_blanks_controls.$ext" "$names/$stem.$ext"; done
  (cd "$names" && wbatch fixed "$stem.fix" --blanks "$stem.blk" --controls "$stem.ctl" \
    -o "$stem.windows.scf" >/dev/null) || fail "kolvane-batch.exe failed on $stem.fix"
  (cd "$names" && lbatch fixed "$stem.fix" --blanks "$stem.blk" --controls "$stem.ctl" \
    -o "$stem.linux.scf" >/dev/null)
  same "$names/$stem.windows.scf" "$names/$stem.linux.scf" "$stem.fix"
  record=$names/$stem.windows.scf.json
  [ -f "$record" ] || fail "$stem.fix: no run record"
  python3 -c 'import json, sys
r = json.load(open(sys.argv[1], encoding="utf-8"))
assert any(i["path"].endswith(sys.argv[2]) and len(i["sha256"]) == 64 for i in r["inputs"]), r["inputs"]' \
    "$record" "$stem.fix" || fail "$stem.fix: the run record does not name the file with its digest"
done
echo "test-windows: Müller.fix and 数据.fix analysed, their run records written"

# A results file replaced over an existing one, no temporary file left beside it.
printf 'EARLIER\r\n' >"$names/replaced.scf"
(cd "$names" && wbatch fixed "Müller.fix" --blanks "Müller.blk" --controls "Müller.ctl" \
  -o replaced.scf >/dev/null) || fail "kolvane-batch.exe could not replace a results file"
same "$names/replaced.scf" "$names/Müller.linux.scf" "the replaced results file"
leftovers=$(find "$work" -name '*.part*' | wc -l)
[ "$leftovers" -eq 0 ] || fail "temporary files left behind: $(find "$work" -name '*.part*')"
echo "test-windows: an existing results file replaced"

# --- The zip for Windows users -------------------------------------------------------------------
version=$(sed -n 's/^project(kolvane VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
name=kolvane-$version-windows-x86_64
stage=$work/zip/$name
mkdir -p "$stage"
cp "$win/kolvane-batch.exe" "$win/kolvane-simulate.exe" "$stage/"
cp -r examples "$stage/examples"
sed 's/$/\r/' packaging/windows/README.txt >"$stage/README.txt"  # CR LF for Notepad
rm -f "$win/$name.zip"
(cd "$work/zip" && zip -q -X -r "$win/$name.zip" "$name")
unzip -l "$win/$name.zip" | grep "$name/kolvane-batch.exe" >/dev/null || fail "the zip has no kolvane-batch.exe"
echo "test-windows: $win/$name.zip"
