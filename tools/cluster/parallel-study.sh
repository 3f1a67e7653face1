#!/usr/bin/env bash
# A study on several machines with GNU parallel: one job per line of LIST (a data file or a
# folder of them), spread over the ssh hosts, each job one kolvane-batch run with --out-dir,
# --skip-done and a summary of its own; the summaries are merged at the end.
#   tools/cluster/parallel-study.sh [-S HOSTS] [-J JOBS] [-t THREADS] fixed|scan LIST OUT_DIR [OPTION...]
#     -S HOSTS    GNU parallel's host list (default ":", this machine alone), for example
#                 "8/node1,8/node2,:" or "..hostfile"
#     -J JOBS     jobs at a time on each host (default 100%: one per core)
#     -t THREADS  kolvane-batch -j for each job (default 1; for a LIST of folders use fewer jobs
#                 and more threads)
#     OPTION...   further kolvane-batch options, e.g. --companions or --blanks FILE
# Every host needs kolvane-batch (the kolvane package, or KOLVANE_BATCH=/path/to/it) and sees
# the data, LIST's paths and OUT_DIR at the same paths (a shared file system); relative paths are
# taken from the current folder. Files of different folders must not share a name, since their
# results meet in OUT_DIR. Writes OUT_DIR/summaries/JOB.tsv, OUT_DIR/joblog.tsv (GNU parallel's
# log: host, time and exit status of each job) and OUT_DIR/summary.tsv (merged).
# Running it again does only what is missing (--skip-done).
# Exit status: 0 when every file completed (or was done before), 1 when any did not, 2 for a
# wrong command line.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
usage() {
  sed -n '4,9p' "$0" | sed 's/^# \{0,1\}//' >&2
  exit 2
}
hosts=":"
jobs="100%"
threads=1
while getopts "S:J:t:" opt; do
  case $opt in
    S) hosts=$OPTARG ;;
    J) jobs=$OPTARG ;;
    t) threads=$OPTARG ;;
    *) usage ;;
  esac
done
shift $((OPTIND - 1))
[ $# -ge 3 ] || usage
mode=$1 list=$2 out=$3
shift 3
case $mode in fixed | scan) ;; *) usage ;; esac
grep -q '[^[:space:]]' "$list" 2>/dev/null || { echo "$0: $list names no file or folder" >&2; exit 2; }
command -v parallel >/dev/null || { echo "$0: GNU parallel is not installed" >&2; exit 2; }
batch=${KOLVANE_BATCH:-kolvane-batch}

mkdir -p "$out/summaries"
out=$(cd "$out" && pwd)
rm -f "$out"/summaries/*.tsv "$out/summary.tsv"
status=0
# {#} is the job's number (its line in LIST); -q passes every word to the host as it stands.
grep -v '^[[:space:]]*$' "$list" |
  parallel -q -S "$hosts" -j "$jobs" --wd "$PWD" --joblog "$out/joblog.tsv" \
    "$batch" "$mode" --out-dir "$out" --skip-done -j "$threads" \
    --summary "$out/summaries/{#}.tsv" "$@" {} || status=$?

# A job that ended with 2 had its command line refused (an option, or a path that is not there).
if awk -F'\t' 'NR > 1 && $7 == 2 { found = 1 } END { exit !found }' "$out/joblog.tsv"; then
  echo "$0: kolvane-batch refused the command line (exit status 2); see $out/joblog.tsv" >&2
  exit 2
fi
summaries=("$out"/summaries/*.tsv)
if [ ! -f "${summaries[0]}" ]; then
  echo "$0: no job wrote a summary; see $out/joblog.tsv" >&2
  exit 1
fi
"$here/merge-summaries.sh" -o "$out/summary.tsv" "${summaries[@]}" || status=1
[ "$status" -eq 0 ] || status=1
echo "Summary of the study: $out/summary.tsv" >&2
exit "$status"
