#!/usr/bin/env bash
# Merges the summaries that kolvane-batch --summary wrote for the parts of a study (one per
# Slurm task or GNU parallel job) into one table: one heading, the lines of every part sorted by
# file, and the study's totals on stderr.
#   tools/cluster/merge-summaries.sh [--list LIST]... [-o MERGED.tsv] SUMMARY.tsv...
# --list LIST names a list the study was made from (one data file or folder a line; the option
# may be repeated): every line of it that no summary line names (a file) or lies under (a folder)
# gets a "not started" line, since the task or job that had it wrote no summary (it was
# cancelled, killed, its node failed, the file was missing or kolvane-batch was not there).
# The table goes to MERGED.tsv, or to stdout without -o. Exit status: 0 when every line's outcome
# is complete or skipped, 1 when any is not, 2 for a wrong command line, a missing summary or a
# file that is not a summary.
set -euo pipefail
name=merge-summaries.sh
heading=$'file\toutcome\trecords\tresult_lines\tol_cells\tmessage'
usage() {
  echo "usage: $name [--list LIST]... [-o MERGED.tsv] SUMMARY.tsv..." >&2
  exit 2
}
out=""
lists=()
while [ $# -gt 0 ]; do
  case $1 in
    -o | --list) [ $# -ge 2 ] || usage ;;&
    -o) out=$2 && shift 2 ;;
    --list) lists+=("$2") && shift 2 ;;
    --list=*) lists+=("${1#--list=}") && shift ;;
    --) shift && break ;;
    -?*) usage ;;
    *) break ;;
  esac
done
# With a list, no summary at all is a study of which nothing started.
[ $# -gt 0 ] || [ ${#lists[@]} -gt 0 ] || usage
for f in "${lists[@]}"; do
  [ -f "$f" ] || { echo "$name: no list $f" >&2; exit 2; }
done
for f in "$@"; do
  [ -f "$f" ] || { echo "$name: no summary $f" >&2; exit 2; }
  first=$(head -n 1 "$f" | tr -d '\r')
  [ "$first" = "$heading" ] || { echo "$name: $f does not start with the summary's heading" >&2; exit 2; }
done

lines=$(mktemp)
trap 'rm -f "$lines"' EXIT
for f in "$@"; do
  tail -n +2 "$f" | tr -d '\r' | awk -F'\t' -v f="$f" 'NF == 0 { next }
    NF != 6 { printf "%s: line %d has %d fields, not 6\n", f, NR + 1, NF > "/dev/stderr"; bad = 1 }
    { print } END { exit bad ? 2 : 0 }' >>"$lines" || exit 2
done

# Lines of the lists that the summaries do not cover. A list's lines are counted as the recipes
# count them: blank lines left out, a CR at the end dropped. A summary line covers a list line
# that is its file or one of the folders above it.
for list in "${lists[@]}"; do
  tr -d '\r' <"$list" | awk -F'\t' -v list="$list" -v summaries="$lines" '
    BEGIN {
      while ((getline line < summaries) > 0) {
        split(line, field, "\t")
        path = field[1]
        covered[path] = 1
        while (sub(/\/+[^\/]*$/, "", path) && path != "") covered[path] = 1
      }
    }
    /^[[:space:]]*$/ { next }
    {
      n++
      path = $0
      if (path != "/") sub(/\/+$/, "", path)
      if (!(path in covered))
        printf "%s\tnot started\t0\t0\t0\tno summary names it (line %d of %s)\n", $0, n, list
    }' >>"$lines"
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
