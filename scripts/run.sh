#!/usr/bin/env bash
# Installs what is missing, builds KOLVANE (release) and starts the window.
#
# Without a display there is no window to show: the script says so and analyses the bundled
# fixed-wavelength example with the batch program instead, and tells where the results went.
set -euo pipefail
cd "$(dirname "$0")/.."

./scripts/install-deps.sh
cmake --preset release
cmake --build --preset release --target kolvane kolvane-batch

if [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; then
  exec build/release/kolvane
fi

echo
echo "No display found: \$DISPLAY and \$WAYLAND_DISPLAY are both empty, so the KOLVANE window"
echo "cannot open here. Running the batch analysis of the bundled example instead."

# The companion file of a data file: the one with the same name, else the only one of its kind
# in the example's folder.
companion() {
  local data=$1 ext=$2
  local same="${data%.*}.$ext"
  if [ -f "$same" ]; then
    echo "$same"
    return
  fi
  local found=()
  for f in "$(dirname "$data")"/*."$ext"; do
    [ -f "$f" ] && found+=("$f")
  done
  if [ "${#found[@]}" -eq 1 ]; then echo "${found[0]}"; fi
}

example=""
for f in examples/fixed/*.fix; do
  if [ -f "$f" ]; then
    example=$f
    break
  fi
done
if [ -z "$example" ]; then
  echo "No example dataset in examples/fixed/ yet: skipping the batch analysis."
  exit 0
fi

args=(fixed "$example")
blanks=$(companion "$example" blk)
controls=$(companion "$example" ctl)
[ -n "$blanks" ] && args+=(--blanks "$blanks")
[ -n "$controls" ] && args+=(--controls "$controls")
results_dir=build/release/example-results
mkdir -p "$results_dir"
results="$results_dir/$(basename "$example").scf"
rm -f "$results"
args+=(-o "$results")

echo "+ build/release/kolvane-batch ${args[*]}"
status=0
build/release/kolvane-batch "${args[@]}" || status=$?
if [ "$status" -ne 0 ]; then
  echo "The batch analysis of $example stopped (exit status $status)."
  exit "$status"
fi
echo "Results of $example written to: $(cd "$results_dir" && pwd)/$(basename "$results")"
