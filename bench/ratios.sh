#!/usr/bin/env bash
# Whole-process speed ratios of kolvane-batch against the NumPy peers and against a bare
# reading pass, on the two large benchmark files:
#
#   bench/ratios.sh RELEASE_BUILD_DIR PEERS_DIR [ROUNDS]
#
# Writes a 13-colour x 30 000-sample fixed file and a 13-pure x 500-point x 30 000-record scan
# file (with blanks) into a temporary folder, then runs, ROUNDS times (default 3) in turn, the
# batch and the peer on each file and the bare pass (kolvane-readpass) on the scan file, each
# under /usr/bin/time -v (for the peak memory; the wall time is taken by the shell, to the
# millisecond). Prints for each run the smallest wall time, the smallest processor time
# (user + system, which a busy machine disturbs less) and the peak memory over the rounds,
# then the ratios of both times. The results of batch and peer are left aside (not compared here:
# the test suite guards the batch's results). BATCH_OPTIONS adds options to both batch runs, e.g.
# BATCH_OPTIONS=--no-record to time them without the run record.
set -euo pipefail

build=${1:?usage: bench/ratios.sh RELEASE_BUILD_DIR PEERS_DIR [ROUNDS]}
peers=${2:?usage: bench/ratios.sh RELEASE_BUILD_DIR PEERS_DIR [ROUNDS]}
rounds=${3:-3}
read -r -a batch_options <<<"${BATCH_OPTIONS:-}"
python=${PYTHON:-/usr/bin/python3}
batch=$build/kolvane-batch
readpass=$build/bench/kolvane-readpass

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"$build/kolvane-simulate" fixed --colors 13 --samples 30000 -o "$work/fx"
"$build/kolvane-simulate" scan --pures 13 --points 500 --records 30000 --blanks -o "$work/sc"

declare -A best mem cpu
# Seconds of processor time (user and system) used so far by finished children of the shell.
# (`times` runs in this shell, not in a command substitution, to see this shell's children.)
children_cpu() {
  times >"$work/times"
  tail -1 "$work/times" | awk '{ for (i = 1; i <= 2; i++) { split($i, t, "m"); s += t[1] * 60 + t[2] } print s }'
}
# run NAME COMMAND... : one timed run; keeps the smallest wall and processor times and the
# largest peak memory.
run() {
  local name=$1 start wall kb used
  shift
  children_cpu >"$work/used"
  start=$EPOCHREALTIME
  /usr/bin/time -v "$@" >/dev/null 2>"$work/time" || { cat "$work/time" >&2; exit 1; }
  wall=$(awk -v a="$start" -v b="$EPOCHREALTIME" 'BEGIN { print b - a }')
  children_cpu >>"$work/used"
  used=$(awk 'NR == 1 { a = $1 } NR == 2 { print $1 - a }' "$work/used")
  if [[ -z ${cpu[$name]:-} ]] || awk -v a="$used" -v b="${cpu[$name]}" 'BEGIN { exit !(a < b) }'; then
    cpu[$name]=$used
  fi
  kb=$(sed -n 's/.*Maximum resident set size (kbytes): //p' "$work/time")
  if [[ -z ${best[$name]:-} ]] || awk -v a="$wall" -v b="${best[$name]}" 'BEGIN { exit !(a < b) }'; then
    best[$name]=$wall
  fi
  ((kb > ${mem[$name]:-0})) && mem[$name]=$kb
  return 0
}

for ((r = 1; r <= rounds; ++r)); do
  run batch_fixed "$batch" fixed "$work/fx.fix" --blanks "$work/fx.blk" -o "$work/fx.scf" ${batch_options[@]+"${batch_options[@]}"}
  run numpy_fixed "$python" "$peers/numpy_fixed.py" "$work/fx.fix" "$work/fx.blk" "$work/fx.tsv"
  run batch_scan "$batch" scan "$work/sc.syn" --blanks "$work/sc.slk" -o "$work/sc.scf" ${batch_options[@]+"${batch_options[@]}"}
  run bare_pass "$readpass" "$work/sc.syn"
  run numpy_scan "$python" "$peers/numpy_scan.py" "$work/sc.syn" "$work/sc.slk" "$work/sc.tsv"
done

printf '%-12s %9s %9s %9s   (minimum of %d rounds)\n' run "wall (s)" "cpu (s)" "peak MB" "$rounds"
for name in batch_fixed numpy_fixed batch_scan bare_pass numpy_scan; do
  printf '%-12s %9.3f %9.3f %9.1f\n' "$name" "${best[$name]}" "${cpu[$name]}" \
    "$(awk -v k="${mem[$name]}" 'BEGIN { print k / 1024 }')"
done
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", a / b }'; }
for t in best cpu; do
  declare -n v=$t
  echo "$([[ $t == best ]] && echo wall || echo cpu):" \
    "fixed NumPy / batch $(ratio "${v[numpy_fixed]}" "${v[batch_fixed]}")x;" \
    "scan NumPy / batch $(ratio "${v[numpy_scan]}" "${v[batch_scan]}")x," \
    "batch / bare pass $(ratio "${v[batch_scan]}" "${v[bare_pass]}")x"
done
