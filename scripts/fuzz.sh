#!/usr/bin/env bash
# Builds the fuzz targets (clang + libFuzzer) and runs each for the given number of seconds
# (default 600), starting from the seeds in fuzz/corpus. New inputs are kept in build/fuzz/corpus;
# an input that fails is written to build/fuzz/finds and the script exits 1.
#   scripts/fuzz.sh [SECONDS] [TARGET...]     targets: read_items batch_fixed batch_scan
# With KOLVANE_FUZZ_RUNS=N each target runs N inputs from a fixed random seed instead, so the
# test command's short run is the same on every machine.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-600}
shift || true
targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=(read_items batch_fixed batch_scan)
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz --target "${targets[@]/#/fuzz_}" >/dev/null
if [ -n "${KOLVANE_FUZZ_RUNS:-}" ]; then
  limit=(-runs="$KOLVANE_FUZZ_RUNS" -seed=1)
else
  limit=(-max_total_time="$seconds")
fi
declare -A seeds=([read_items]=items [batch_fixed]=fixed [batch_scan]=scan)
mkdir -p build/fuzz/finds
status=0
for t in "${targets[@]}"; do
  work=build/fuzz/corpus/$t
  mkdir -p "$work"
  log=build/fuzz/$t.log
  # Messages of the program go to stderr; -close_fd_mask=2 keeps them out of the log (the
  # sanitizers' reports still reach it).
  if ASAN_OPTIONS=detect_leaks=0 "build/fuzz/fuzz/fuzz_$t" "$work" "fuzz/corpus/${seeds[$t]}" \
      "${limit[@]}" -timeout=10 -rss_limit_mb=2048 -max_len=65536 \
      -close_fd_mask=2 -artifact_prefix="build/fuzz/finds/$t-" -print_final_stats=1 \
      >"$log" 2>&1; then
    runs=$(grep -o 'stat::number_of_executed_units: *[0-9]*' "$log" | grep -o '[0-9]*$' || echo '?')
    echo "$t: ${runs} executions, nothing found"
  else
    echo "$t: FAILED, see $log and build/fuzz/finds"
    status=1
  fi
done
exit $status
