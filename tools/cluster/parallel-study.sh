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
# results meet in OUT_DIR. Writes OUT_DIR/summaries/MODE-LISTNAME-LINE.tsv (one per line),
# OUT_DIR/logs/joblog-MODE-LISTNAME.tsv (GNU parallel's log: host, time and exit status of each
# job) and OUT_DIR/summary-MODE-LISTNAME.tsv (merged with --list LIST: a line whose job wrote no
# summary is "not started"); an earlier run's of the same analysis and list are removed first,
# other lists' are left alone.
# Running it again does only what is missing (--skip-done).
# Exit status: 0 when every file completed (or was done before), 1 when any did not, 2 for a
# wrong command line.
set -euo pipefail
name=parallel-study.sh
here=$(cd "$(dirname "$0")" && pwd)
usage() {
  sed -n '5,11p' "$here/$name" | sed 's/^# \{0,1\}//' >&2
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
grep -q '[^[:space:]]' "$list" 2>/dev/null || { echo "$name: $list names no file or folder" >&2; exit 2; }
command -v parallel >/dev/null || { echo "$name: GNU parallel is not installed" >&2; exit 2; }
batch=${KOLVANE_BATCH:-kolvane-batch}

mkdir -p "$out/summaries"
out=$(cd "$out" && pwd)
list_name=$(basename -- "$list" | tr -c 'A-Za-z0-9._+\n-' '_')
joblog=$out/logs/joblog-$mode-$list_name.tsv merged=$out/summary-$mode-$list_name.tsv
mkdir -p "$out/logs"
rm -f "$out/summaries/$mode-$list_name-"*.tsv "$merged" "$joblog"

# The lines of LIST as every recipe counts them (blank lines left out, a CR at the end dropped),
# each with its number; a line naming nothing is said here and left out: the merge lists it.
numbers=$(mktemp) inputs=$(mktemp)
trap 'rm -f "$numbers" "$inputs"' EXIT
n=0
while IFS= read -r line || [ -n "$line" ]; do
  line=${line%$'\r'}
  [[ $line =~ [^[:space:]] ]] || continue
  n=$((n + 1))
  if [ -e "$line" ]; then
    echo "$n" >>"$numbers"
    printf '%s\n' "$line" >>"$inputs"
  else
    echo "$name: no file or folder $line (line $n of $list)" >&2
  fi
done <"$list"

status=0
if [ -s "$inputs" ]; then
  # The two sources are read in step: {1} the line's number, {2} the line. -q passes every word
  # to the host as it stands.
  parallel -q -S "$hosts" -j "$jobs" --wd "$PWD" --joblog "$joblog" \
    "$batch" "$mode" --out-dir "$out" --skip-done -j "$threads" \
    --summary "$out/summaries/$mode-$list_name-{1}.tsv" "$@" "{2}" \
    :::: "$numbers" ::::+ "$inputs" || status=1
fi

summaries=()
for s in "$out/summaries/$mode-$list_name-"*.tsv; do [ -f "$s" ] && summaries+=("$s"); done
# A job that ended with 2 had its command line refused (an option, or a path that went away).
refused=0
[ ! -f "$joblog" ] || refused=$(awk -F'\t' 'NR > 1 && $7 == 2' "$joblog" | wc -l)
if [ "$refused" -gt 0 ]; then
  echo "$name: kolvane-batch refused the command line of $refused jobs (exit status 2); see $joblog" >&2
  if [ ${#summaries[@]} -eq 0 ]; then exit 2; fi
fi
"$here/merge-summaries.sh" --list "$list" -o "$merged" "${summaries[@]}" || status=1
echo "Summary of the study: $merged" >&2
exit "$status"
