#!/usr/bin/env bash
# The study scripts of tools/cluster, run on this machine.
#   cluster_test.sh merge|slurm|parallel KOLVANE_BATCH KOLVANE_SIMULATE
# merge: the merge of summaries on hand-written parts; slurm: the job array script, its tasks run
# one after another as Slurm would start them; parallel: the GNU parallel recipe with this machine
# as the only host. Exit 77 (skipped) when parallel or the batch program's study options are
# missing.
set -euo pipefail
mode=$1 batch=$2 simulate=$3
tools=$(cd "$(dirname "$0")/../../tools/cluster" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"
failures=0
check() { # DESCRIPTION EXPECTED ACTUAL
  if [ "$2" != "$3" ]; then
    printf 'FAILED: %s\n--- expected\n%s\n--- got\n%s\n' "$1" "$2" "$3"
    failures=$((failures + 1))
  fi
}
status_of() { "$@" >/dev/null 2>&1 && echo 0 || echo $?; }
H=$'file\toutcome\trecords\tresult_lines\tol_cells\tmessage'
T=$'\t'

if [ "$mode" = merge ]; then
  printf '%s\nz/late.fix\tcomplete\t14\t14\t2\t\nb/mid.fix\tskipped\t0\t0\t0\t\n' "$H" >p1.tsv
  printf '%s\r\na/early.fix\tcomplete\t7\t7\t0\t\r\n' "$H" >p2.tsv
  printf '%s\nc/cut.fix\taborted\t9\t4\t0\tThe run was stopped.\n' "$H" >p3.tsv
  printf '%s\nd/n.fix\tnot started\t0\t0\t0\t\n' "$H" >p4.tsv
  printf '%s\nd/s.fix\tstopped\t0\t0\t0\tNo Color line.\n' "$H" >p5.tsv
  # Parts in any order give one heading and the lines sorted by file; CR LF line ends are read.
  check "merged table" "$H
a/early.fix${T}complete${T}7${T}7${T}0${T}
b/mid.fix${T}skipped${T}0${T}0${T}0${T}
z/late.fix${T}complete${T}14${T}14${T}2${T}" "$("$tools/merge-summaries.sh" p1.tsv p2.tsv 2>/dev/null)"
  "$tools/merge-summaries.sh" -o merged.tsv p2.tsv p1.tsv p3.tsv 2>totals || true
  check "-o writes the file" "$H
a/early.fix${T}complete${T}7${T}7${T}0${T}
b/mid.fix${T}skipped${T}0${T}0${T}0${T}
c/cut.fix${T}aborted${T}9${T}4${T}0${T}The run was stopped.
z/late.fix${T}complete${T}14${T}14${T}2${T}" "$(cat merged.tsv)"
  check "totals" "4 files: 2 complete, 1 skipped, 0 stopped, 1 aborted, 0 not started
30 records, 25 result lines, 2 OL cells" "$(cat totals)"
  printf 'file\toutcome\n' >short_heading.tsv
  printf '%s\na.fix\tcomplete\t1\t1\t0\n' "$H" >five_fields.tsv
  # Exit status for each set of parts: complete and skipped only, any other outcome, bad input.
  while read -r expected parts; do
    # shellcheck disable=SC2086
    check "exit status for $parts" "$expected" "$(status_of "$tools/merge-summaries.sh" $parts)"
  done <<'TABLE'
0 p1.tsv p2.tsv
1 p1.tsv p3.tsv
1 p4.tsv p2.tsv
1 p5.tsv
2 p1.tsv missing.tsv
2 short_heading.tsv
2 p1.tsv five_fields.tsv
2 -x p1.tsv
TABLE
  check "exit status without parts" 2 "$(status_of "$tools/merge-summaries.sh")"
  [ "$failures" -eq 0 ] && echo "merge: passed"
  exit $((failures > 0))
fi

if ! "$batch" fixed --help | grep -q -- --summary; then
  echo "SKIPPED: this kolvane-batch has no study options (--summary)"
  exit 77
fi
if [ "$mode" = parallel ] && ! command -v parallel >/dev/null; then
  echo "SKIPPED: GNU parallel is not installed"
  exit 77
fi

# Three good files (P records: one per colour; S records: --samples) in two folders and one
# that is no data file. Folder a is one line of the list, b's files a line each.
mkdir a b
"$simulate" fixed --colors 4 --samples 10 --seed 1 -o a/one >/dev/null
"$simulate" fixed --colors 5 --samples 7 --seed 2 -o a/two >/dev/null
"$simulate" fixed --colors 3 --samples 3 --seed 3 -o b/three >/dev/null
printf 'not a data file\n' >b/bad.fix
printf 'a\n\nb/three.fix\nb/bad.fix\n' >list
stopped=$'b/bad.fix\tstopped\t0\t0\t0\t'
first_run="$H
a/one.fix${T}complete${T}14${T}14${T}0${T}
a/two.fix${T}complete${T}12${T}12${T}0${T}
${stopped}"
first_run_tail="b/three.fix${T}complete${T}6${T}6${T}0${T}"
export KOLVANE_BATCH=$batch

run_study() { # OUT_DIR: runs the study of list, prints its exit status
  if [ "$mode" = slurm ]; then
    local worst=0 s task
    for task in 1 2 3; do
      s=$(SLURM_ARRAY_TASK_ID=$task status_of "$tools/slurm-study.sh" fixed list "$1" --companions)
      [ "$s" -gt "$worst" ] && worst=$s
      echo "$task $s" >>"$1.tasks"
    done
    "$tools/merge-summaries.sh" -o "$1/summary.tsv" "$1"/summaries/*.tsv 2>/dev/null || true
    echo "$worst"
  else
    status_of "$tools/parallel-study.sh" -S : -J 2 fixed list "$1" --companions
  fi
}

check "first run's exit status" 1 "$(run_study out)"
# The message of the file that stopped names it; the rest of its line is fixed.
check "first run's summary" "${first_run}
${first_run_tail}" "$(sed "s|^\(${stopped}\).*bad\.fix.*|\1|" out/summary.tsv)"
present=""
for r in one two three bad; do [ -f "out/$r.fix.scf" ] && present="$present $r"; done
check "results files" " one two three" "$present"
# The study's results equal a single run's of the same file.
(cd a && "$batch" fixed one.fix --blanks one.blk --controls one.ctl -o "$work/single.scf" >/dev/null)
cmp -s single.scf out/one.fix.scf || check "a study's results equal a single run's" same different
if [ "$mode" = slurm ]; then
  # Each task ends with its own run's status: the folder and the good file 0, the bad file 1.
  check "task exit statuses" "1 0
2 0
3 1" "$(cat out.tasks)"
  check "a task beyond the list" 2 "$(SLURM_ARRAY_TASK_ID=4 status_of "$tools/slurm-study.sh" fixed list out)"
  check "no task number" 2 "$(status_of "$tools/slurm-study.sh" fixed list out)"
else
  check "jobs in the job log" 3 "$(tail -n +2 out/joblog.tsv | wc -l)"
  check "a refused option" 2 "$(status_of "$tools/parallel-study.sh" -S : fixed list refused --no-such-option)"
  : >empty.list
  check "an empty list" 2 "$(status_of "$tools/parallel-study.sh" -S : fixed empty.list refused)"
  check "a wrong analysis" 2 "$(status_of "$tools/parallel-study.sh" -S : fixd list refused)"
fi

# The bad file replaced by a good one: a second run analyses it alone and completes.
"$simulate" fixed --colors 6 --samples 2 --seed 4 -o b/bad >/dev/null
check "second run's exit status" 0 "$(run_study out)"
check "second run's summary" "$H
a/one.fix${T}skipped${T}0${T}0${T}0${T}
a/two.fix${T}skipped${T}0${T}0${T}0${T}
b/bad.fix${T}complete${T}8${T}8${T}0${T}
b/three.fix${T}skipped${T}0${T}0${T}0${T}" "$(cat out/summary.tsv)"
[ "$failures" -eq 0 ] && echo "$mode: passed"
exit $((failures > 0))
