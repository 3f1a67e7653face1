#!/usr/bin/env bash
# Merges the summaries that kolvane-batch --summary wrote for the parts of a study (one per
# Slurm task or GNU parallel job) into one table: one heading, the lines of every part sorted by
# file, and the study's totals on stderr.
#   tools/cluster/merge-summaries.sh [-o MERGED.tsv] SUMMARY.tsv...
# The table goes to MERGED.tsv, or to stdout without -o. Exit status: 0 when every line's outcome
# is complete or skipped, 1 when any is not, 2 for a wrong command line, a missing summary or a
# file that is not a summary.
set -euo pipefail
heading=$'file\toutcome\trecords\tresult_lines\tol_cells\tmessage'
usage() {
  echo "usage: $0 [-o MERGED.tsv] SUMMARY.tsv..." >&2
  exit 2
}
out=""
while getopts "o:" opt; do
  case $opt in
    o) out=$OPTARG ;;
    *) usage ;;
  esac
done
shift $((OPTIND - 1))
[ $# -gt 0 ] || usage
for f in "$@"; do
  [ -f "$f" ] || { echo "$0: no summary $f" >&2; exit 2; }
  first=$(head -n 1 "$f" | tr -d '\r')
  [ "$first" = "$heading" ] || { echo "$0: $f does not start with the summary's heading" >&2; exit 2; }
done

lines=$(mktemp)
trap 'rm -f "$lines"' EXIT
for f in "$@"; do
  tail -n +2 "$f" | tr -d '\r' | awk -F'\t' -v f="$f" 'NF == 0 { next }
    NF != 6 { printf "%s: line %d has %d fields, not 6\n", f, NR + 1, NF > "/dev/stderr"; bad = 1 }
    { print } END { exit bad ? 2 : 0 }' >>"$lines" || exit 2
done

# Sorted by file name byte by byte, whatever the locale; equal names keep their order.
{
  echo "$heading"
  LC_ALL=C sort -s -t $'\t' -k 1,1 "$lines"
} >"${out:-/dev/stdout}"

awk -F'\t' '
  { n[$2]++; files++; records += $3; result_lines += $4; ol += $5
    if ($2 != "complete" && $2 != "skipped") failed = 1 }
  END {
    printf "%d files: %d complete, %d skipped, %d stopped, %d aborted, %d not started\n",
      files, n["complete"], n["skipped"], n["stopped"], n["aborted"], n["not started"] > "/dev/stderr"
    printf "%d records, %d result lines, %d OL cells\n", records, result_lines, ol > "/dev/stderr"
    exit failed }' "$lines"
