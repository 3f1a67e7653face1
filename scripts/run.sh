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

# The bundled example with tissue, blanks and controls, analysed as examples/fixed/README.md
# shows; any other example found is analysed with the companion files of its own name.
example=examples/fixed/tissue_blanks_controls.fix
if [ ! -f "$example" ]; then
  example=""
  for f in examples/fixed/*.fix; do
    if [ -f "$f" ]; then
      example=$f
      break
    fi
  done
fi
if [ -z "$example" ]; then
  echo "No example dataset in examples/fixed/ yet: skipping the batch analysis."
  exit 0
fi

base="${example%.fix}"
args=(fixed "$example")
[ -f "$base.blk" ] && args+=(--blanks "$base.blk")
[ -f "$base.ctl" ] && args+=(--controls "$base.ctl" --control-correction on)
[ -f "$base.spl" ] && args+=(--matrix "$base.spl")
args+=(--tissue use)
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
if [ -f "$base.truth.tsv" ]; then
  echo "Its record lines can be compared with the true intensities in $base.truth.tsv."
fi
