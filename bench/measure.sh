#!/usr/bin/env bash
# Times kolvane-batch against the NumPy reference scripts on the benchmark datasets.
#
#   bench/measure.sh RELEASE_BUILD_DIR
#
# Builds nothing: RELEASE_BUILD_DIR must hold kolvane-simulate and kolvane-batch (a Release
# build, e.g. `cmake --preset release && cmake --build --preset release`). Writes the 13-colour,
# 30 000-sample fixed-wavelength file and the 13-pure, 350-point, 30 000-record scan file into a
# temporary folder, runs each analysis once under /usr/bin/time -v, and prints wall time, peak
# memory (maximum resident set size) and the ratios, and whether the batch's results equal the
# simulator's ground truth. PYTHON selects the interpreter that has NumPy (default: the
# system's /usr/bin/python3, where Debian's python3-numpy lives).
set -euo pipefail

build=${1:?usage: bench/measure.sh RELEASE_BUILD_DIR}
here=$(cd "$(dirname "$0")" && pwd)
simulate=$build/kolvane-simulate
batch=$build/kolvane-batch
python=${PYTHON:-/usr/bin/python3}

for tool in "$simulate" "$batch"; do
  [[ -x $tool ]] || { echo "measure.sh: $tool not found; build it first" >&2; exit 2; }
done
[[ -x /usr/bin/time ]] || { echo "measure.sh: /usr/bin/time missing (apt-get install time)" >&2; exit 2; }
"$python" -c 'import numpy' 2>/dev/null ||
  { echo "measure.sh: $python has no NumPy (apt-get install python3-numpy)" >&2; exit 2; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

echo "Writing the datasets into $work ..."
"$simulate" fixed --colors 13 --samples 30000 --drift 0.05 --seed 1 -o "$work/fixed"
"$simulate" scan --pures 13 --points 350 --records 30000 --blanks --seed 1 -o "$work/scan"
printf 'fixed: %s MB   scan: %s MB\n\n' \
  "$(du -m "$work/fixed.fix" | cut -f1)" "$(du -m "$work/scan.syn" | cut -f1)"

# measure NAME COMMAND... : runs the command once; leaves seconds and kilobytes in
# seconds[NAME] and memory[NAME].
declare -A seconds memory
measure() {
  local name=$1
  shift
  if ! /usr/bin/time -v "$@" >"$work/$name.out" 2>"$work/$name.time"; then
    echo "measure.sh: $name failed:" >&2
    cat "$work/$name.time" >&2
    exit 1
  fi
  local wall
  wall=$(sed -n 's/.*Elapsed (wall clock) time (h:mm:ss or m:ss): //p' "$work/$name.time")
  seconds[$name]=$(awk -F: '{ s = 0; for (i = 1; i <= NF; i++) s = s * 60 + $i; print s }' <<<"$wall")
  memory[$name]=$(sed -n 's/.*Maximum resident set size (kbytes): //p' "$work/$name.time")
}

measure batch_fixed "$batch" fixed "$work/fixed.fix" --blanks "$work/fixed.blk" \
  --controls "$work/fixed.ctl" --control-correction on -o "$work/fixed.scf"
measure numpy_fixed "$python" "$here/reference_fixed.py" "$work/fixed.fix" \
  --blanks "$work/fixed.blk" --controls "$work/fixed.ctl" --control-correction on \
  -o "$work/fixed.ref"
measure batch_scan "$batch" scan "$work/scan.syn" --blanks "$work/scan.slk" -o "$work/scan.scf"
measure numpy_scan "$python" "$here/reference_scan.py" "$work/scan.syn" \
  --blanks "$work/scan.slk" -o "$work/scan.ref"

# Cells of the results' record lines that differ from the ground truth (0 expected: the data
# are noiseless and the truth is what the program's method reports).
differing() {
  "$python" - "$1" "$2" <<'PY'
import sys
truth = [l.split("\t") for l in open(sys.argv[1]).read().splitlines()
         if l and not l.startswith("#")][1:]
rows = [l.split("\t") for l in open(sys.argv[2]).read().splitlines()
        if l[:1] in "PS" and l[1:2].isdigit()]
bad = abs(len(truth) - len(rows))
for t, r in zip(truth, rows):
    bad += t[0] != r[0]
    bad += sum(a != b and float(a) != float(b) for a, b in zip(t[1:], r[1:len(t)]))
print(bad)
PY
}

ratio() { awk -v a="$1" -v b="$2" 'BEGIN { if (b > 0) printf "%.1f", a / b; else print "-" }'; }

printf '%-22s %10s %14s\n' "run" "wall (s)" "peak RSS (MB)"
for name in batch_fixed numpy_fixed batch_scan numpy_scan; do
  printf '%-22s %10.2f %14.1f\n' "$name" "${seconds[$name]}" \
    "$(awk -v k="${memory[$name]}" 'BEGIN { print k / 1024 }')"
done
echo
echo "fixed: NumPy / batch wall time $(ratio "${seconds[numpy_fixed]}" "${seconds[batch_fixed]}")x," \
  "memory $(ratio "${memory[numpy_fixed]}" "${memory[batch_fixed]}")x;" \
  "cells differing from the truth: $(differing "$work/fixed.truth.tsv" "$work/fixed.scf")"
echo "scan:  NumPy / batch wall time $(ratio "${seconds[numpy_scan]}" "${seconds[batch_scan]}")x," \
  "memory $(ratio "${memory[numpy_scan]}" "${memory[batch_scan]}")x;" \
  "cells differing from the truth: $(differing "$work/scan.truth.tsv" "$work/scan.scf")"
