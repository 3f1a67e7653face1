#!/usr/bin/env bash
# The study scripts of tools/cluster, run on this machine.
#   cluster_test.sh merge|slurm|parallel KOLVANE_BATCH KOLVANE_SIMULATE
# merge: the merge of summaries on hand-written parts; slurm: the job array script, submitted
# through a stand-in sbatch that keeps what it was given, its tasks then run one after another
# as Slurm would start them (from a copy of the script, as Slurm's spool holds one, each into
# its log file), some left out as if cancelled and one killed; parallel: the GNU parallel recipe
# with this machine as the only host. Exit 77 (skipped) when parallel or the batch program's
# study options are missing.
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
not_started() { # FILE LINE LIST: the merge's line for a list line no summary covers
  echo "$1${T}not started${T}0${T}0${T}0${T}no summary names it (line $2 of $3)"
}

if [ "$mode" = merge ]; then
  printf '%s\nz/late.fix\tcomplete\t14\t14\t2\t\nb/mid.fix\tskipped\t0\t0\t0\t\n' "$H" >p1.tsv
  printf '%s\r\na/early.fix\tcomplete\t7\t7\t0\t\r\n' "$H" >p2.tsv
  printf '%s\nc/cut.fix\taborted\t9\t4\t0\tThe run was stopped.\n' "$H" >p3.tsv
  printf '%s\nd/n.fix\tnot started\t0\t0\t0\t\n' "$H" >p4.tsv
  printf '%s\nd/s.fix\tstopped\t0\t0\t0\tNo Color line.\n' "$H" >p5.tsv
  printf '%s\nc/x.fix\tcomplete\t1\t1\t0\t\n' "$H" >p6.tsv
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

  # With the study's list, a line that no summary line names (a file) or lies under (a folder)
  # is not started: a file line, a folder line once, with or without its slash; blank lines
  # are not counted and a CR is no part of the name.
  printf 'a/early.fix\nb\n\nz/late.fix\r\nc/\nd\ne/gone.fix\n' >study.list
  "$tools/merge-summaries.sh" --list study.list -o listed.tsv p1.tsv p2.tsv 2>totals || true
  check "not started lines" "$H
a/early.fix${T}complete${T}7${T}7${T}0${T}
b/mid.fix${T}skipped${T}0${T}0${T}0${T}
$(not_started c/ 4 study.list)
$(not_started d 5 study.list)
$(not_started e/gone.fix 6 study.list)
z/late.fix${T}complete${T}14${T}14${T}2${T}" "$(cat listed.tsv)"
  check "totals with not started lines" "6 files: 2 complete, 1 skipped, 0 stopped, 0 aborted, 3 not started
21 records, 21 result lines, 2 OL cells" "$(cat totals)"
  check "a study of which nothing started" "$H
$(not_started a/early.fix 1 study.list)
$(not_started b 2 study.list)" "$("$tools/merge-summaries.sh" --list study.list 2>/dev/null | head -n 3)"
  printf 'z/\n\nb\na/early.fix\n' >covered.list
  printf 'c\n' >c.list
  printf 'file\toutcome\n' >short_heading.tsv
  printf '%s\na.fix\tcomplete\t1\t1\t0\n' "$H" >five_fields.tsv
  # Exit status for each set of parts: complete and skipped only, any other outcome, a list
  # line without a summary line, bad input.
  while read -r expected parts; do
    # shellcheck disable=SC2086
    check "exit status for $parts" "$expected" "$(status_of "$tools/merge-summaries.sh" $parts)"
  done <<'TABLE'
0 p1.tsv p2.tsv
0 --list covered.list p1.tsv p2.tsv
0 --list covered.list --list c.list p1.tsv p2.tsv p6.tsv
1 --list covered.list --list c.list p1.tsv p2.tsv
1 --list study.list p1.tsv p2.tsv
1 --list study.list
1 p1.tsv p3.tsv
1 p4.tsv p2.tsv
1 p5.tsv
2 p1.tsv missing.tsv
2 --list missing.list p1.tsv
2 p1.tsv --list
2 short_heading.tsv
2 p1.tsv five_fields.tsv
2 -x p1.tsv
TABLE
  check "exit status without parts" 2 "$(status_of "$tools/merge-summaries.sh")"
  [ "$failures" -eq 0 ] && echo "merge: passed"
  exit $((failures > 0))
fi

if ! "$batch" fixed --help | grep -- --summary >/dev/null; then
  echo "SKIPPED: this kolvane-batch has no study options (--summary)"
  exit 77
fi
if [ "$mode" = parallel ] && ! command -v parallel >/dev/null; then
  echo "SKIPPED: GNU parallel is not installed"
  exit 77
fi

# Three good files (P records: one per colour; S records: --samples) in two folders and one
# that is no data file. Folder a is one line of the list, b's files a line each.
mkdir a b empty
"$simulate" fixed --colors 4 --samples 10 --seed 1 -o a/one >/dev/null
"$simulate" fixed --colors 5 --samples 7 --seed 2 -o a/two >/dev/null
"$simulate" fixed --colors 3 --samples 3 --seed 3 -o b/three >/dev/null
printf 'not a data file\n' >b/bad.fix
printf 'a\n\nb/three.fix\nb/bad.fix\n' >list
stopped=$'b/bad.fix\tstopped\t0\t0\t0\t'
one="a/one.fix${T}complete${T}14${T}14${T}0${T}"
two="a/two.fix${T}complete${T}12${T}12${T}0${T}"
three="b/three.fix${T}complete${T}6${T}6${T}0${T}"
skipped() { echo "$1${T}skipped${T}0${T}0${T}0${T}"; }
mended="b/bad.fix${T}complete${T}8${T}8${T}0${T}"
# A scan study of its own (3 pures and 4 records), for two lists into one results folder.
mkdir s
"$simulate" scan --pures 3 --records 4 --seed 5 -o s/one >/dev/null
printf 's\n' >scan.list
export KOLVANE_BATCH=$batch

if [ "$mode" = slurm ]; then
  # sbatch's stand-in keeps its arguments and answers with a job number.
  mkdir bin spool
  cat >bin/sbatch <<EOF
#!/usr/bin/env bash
printf '%s\\0' "\$@" >"$work/sbatch.args"
echo 4242
EOF
  chmod +x bin/sbatch
  submit() { PATH="$work/bin:$PATH" "$tools/slurm-study.sh" "$@"; }
  # Runs the tasks of the last submission in turn, all but those named, as Slurm would: from a
  # copy of the script, with the task's number, into the log file the submission asked for.
  # Prints each task's number and exit status.
  run_tasks() { # [TASK_LEFT_OUT...]
    local args tasks="" log="" task
    mapfile -d '' args <sbatch.args
    while [[ ${args[0]} == -* ]]; do
      case ${args[0]} in
        --array=1-*) tasks=${args[0]#--array=1-} ;;
        --output=*) log=${args[0]#--output=} ;;
      esac
      args=("${args[@]:1}")
    done
    cp "${args[0]}" spool/slurm_script
    for ((task = 1; task <= tasks; task++)); do
      [[ " $* " == *" $task "* ]] && continue
      local task_log=${log//%A/4242}
      task_log=${task_log//%a/$task}
      (SLURM_ARRAY_TASK_ID=$task bash spool/slurm_script "${args[@]:1}" >"$task_log" 2>&1) &&
        echo "$task 0" || echo "$task $?"
    done
  }
  merge() { # the command the submission printed, run as the user would paste it
    eval "$(tail -n 1 submitted)" 2>/dev/null && echo 0 || echo $?
  }
  sbatch_word() { tr '\0' '\n' <sbatch.args | grep -- "$1" || true; }

  submit fixed list out --companions >submitted
  check "the submission" "Submitted job 4242: 3 lines of list, 1 per task, 3 tasks; logs in $work/out/logs" \
    "$(head -n 1 submitted)"
  check "the array and its logs" "--array=1-3
--output=$work/out/logs/kolvane-study-%A_%a.log" "$(sbatch_word '^--[ao]')"
  [ -d out/logs ] || check "the logs folder is made before the submission" made missing
  # Each task ends with its own run's status: the folder and the good file 0, the bad file 1.
  check "task exit statuses" "1 0
2 0
3 1" "$(run_tasks)"
  check "the merge's exit status" 1 "$(merge)"
  # The message of the file that stopped names it; the rest of its line is fixed.
  check "first run's summary" "$H
$one
$two
${stopped}
$three" "$(sed "s|^\(${stopped}\).*bad\.fix.*|\1|" out/summary-fixed-list.tsv)"
  check "a task's log names the recipe" "slurm-study.sh: task 3 on $(hostname): lines 3-3 of list" \
    "$(head -n 1 out/logs/kolvane-study-4242_3.log)"
  check "a task beyond the list" 2 "$(SLURM_ARRAY_TASK_ID=4 status_of "$tools/slurm-study.sh" fixed list out)"
  check "a wrong --lines-per-task" 2 "$(status_of submit --lines-per-task 0 fixed list out)"
  check "sbatch options as two words" 2 "$(status_of submit -p short fixed list out)"

  # The bad file mended and the study submitted again, its second task cancelled: that line
  # is not started, and the study is not complete until the task has run.
  "$simulate" fixed --colors 6 --samples 2 --seed 4 -o b/bad >/dev/null
  submit --partition=short fixed list out --companions >submitted
  check "sbatch options are passed on" "--partition=short" "$(sbatch_word '^--partition')"
  check "tasks run, task 2 cancelled" "1 0
3 0" "$(run_tasks 2)"
  check "the merge's exit status with a task cancelled" 1 "$(merge)"
  check "the summary with a task cancelled" "$H
$(skipped a/one.fix)
$(skipped a/two.fix)
$mended
$(not_started b/three.fix 2 list)" "$(cat out/summary-fixed-list.tsv)"
  run_tasks 1 3 >/dev/null
  check "the merge's exit status once task 2 ran" 0 "$(merge)"

  # K lines a task: the array is as long as the list takes; a line naming no file is said and
  # left out, its task's other lines run, and the merge lists it as not started.
  printf 'a\nb/gone.fix\nb/three.fix\n' >k.list
  submit --lines-per-task 2 fixed k.list kout --companions >submitted
  check "the array of K lines a task" "--array=1-2" "$(sbatch_word '^--array')"
  check "tasks of 2 lines" "1 2
2 0" "$(run_tasks)"
  check "the merge's exit status with a line naming no file" 1 "$(merge)"
  check "the summary of tasks of 2 lines" "$H
$one
$two
$(not_started b/gone.fix 2 k.list)
$three" "$(cat kout/summary-fixed-k.list.tsv)"
  check "the missing line in the task's log" 1 "$(grep -c '^slurm-study.sh: no file or folder b/gone.fix$' kout/logs/kolvane-study-4242_1.log)"

  # A list longer than the cluster's job array (here MaxArraySize 3: tasks 1 and 2) gets as
  # many lines a task as it needs; fewer lines a task than that are refused.
  mkdir small-array
  printf '#!/bin/sh\necho "MaxArraySize            = 3"\n' >small-array/scontrol
  chmod +x small-array/scontrol
  PATH="$work/small-array:$PATH" submit fixed list kout >/dev/null
  check "the array within MaxArraySize" "--array=1-2
--lines-per-task
2" "$(sbatch_word '^--array\|^--lines-per-task\|^2$')"
  check "an array longer than MaxArraySize" 2 \
    "$(PATH="$work/small-array:$PATH" status_of submit --lines-per-task 1 fixed list kout)"

  # A scan list into the same results folder leaves the fixed list's summaries alone.
  submit scan scan.list out >submitted
  run_tasks >/dev/null
  check "two lists' summaries in one folder" "fixed-list-1.tsv fixed-list-2.tsv fixed-list-3.tsv scan-scan.list-1.tsv" \
    "$(cd out/summaries && echo *)"
  check "the merge of both lists" 0 "$(status_of "$tools/merge-summaries.sh" --list list --list scan.list out/summaries/fixed-list-{1,2,3}.tsv out/summaries/scan-scan.list-1.tsv)"

  # A task killed with SIGKILL while it writes: it leaves its temporary file and no summary,
  # the merge lists its line as not started, and the task run again removes the file.
  mkdir big
  "$simulate" scan --pures 4 --records 2000 --seed 6 -o big/c01 >/dev/null
  for c in 02 03 04 05 06 07 08 09 10 11 12; do cp big/c01.syn "big/c$c.syn"; done
  printf 'big\n' >big.list
  submit scan big.list bout >submitted
  parts() { compgen -G "bout/.kolvane-*.part" || compgen -G "bout/*.part-*" || true; }
  mapfile -d '' args <sbatch.args
  while [[ ${args[0]} == -* ]]; do args=("${args[@]:1}"); done
  SLURM_ARRAY_TASK_ID=1 bash "${args[0]}" "${args[@]:1}" >/dev/null 2>&1 &
  pid=$!
  # Stopped while a temporary file is there (looked at again once it stands still), then killed.
  for _ in $(seq 2000); do
    if [ -n "$(parts)" ] && kill -STOP "$pid"; then
      [ -z "$(parts)" ] || break
      kill -CONT "$pid"
    fi
    sleep 0.005
  done
  left=$(parts)
  kill -KILL "$pid" || true
  { wait "$pid"; } 2>/dev/null || true # a process not waited for is still there for kill(PID, 0)
  if [ -z "$left" ]; then
    check "a temporary file while the task runs" "a file" "none"
  else
    check "the merge's exit status after a task was killed" 1 "$(merge)"
    check "the summary after a task was killed" "$H
$(not_started big 1 big.list)" "$(cat bout/summary-scan-big.list.tsv)"
    run_tasks >/dev/null
    check "the merge's exit status once the task ran again" 0 "$(merge)"
    if [[ $left == bout/.kolvane-* ]]; then
      # One file, or two when it was stopped between its results and its record.
      check "the killed task's temporary files are removed, and said" \
        "$(sed "s|^|Removed a temporary file left by an earlier run: $work/|" <<<"$left" | LC_ALL=C sort)" \
        "$(grep '^Removed a temporary file' bout/logs/kolvane-study-4242_1.log | LC_ALL=C sort)"
      check "no temporary file is left" "" "$(parts)"
    else
      echo "NOTE: the writer names its temporary files $left: the sweep looks for .kolvane-PID-XXXXXX.part"
    fi
  fi
else
  check "first run's exit status" 1 "$(status_of "$tools/parallel-study.sh" -S : -J 2 fixed list out --companions)"
  check "first run's summary" "$H
$one
$two
${stopped}
$three" "$(sed "s|^\(${stopped}\).*bad\.fix.*|\1|" out/summary-fixed-list.tsv)"
  check "jobs in the job log" 3 "$(tail -n +2 out/logs/joblog-fixed-list.tsv | wc -l)"
  check "a refused option" 2 "$(status_of "$tools/parallel-study.sh" -S : fixed list refused --no-such-option)"
  : >empty.list
  check "an empty list" 2 "$(status_of "$tools/parallel-study.sh" -S : fixed empty.list refused)"
  check "a wrong analysis" 2 "$(status_of "$tools/parallel-study.sh" -S : fixd list refused)"

  # A file moved away and a folder without data files: the files that completed keep their
  # summary lines, the two lines are not started.
  printf 'b/three.fix\nb/moved.fix\nempty\na/one.fix\n' >moved.list
  "$tools/parallel-study.sh" -S : fixed moved.list mout --companions >/dev/null 2>moved.err &&
    echo 0 >moved.status || echo $? >moved.status
  check "the exit status with a moved file" 1 "$(cat moved.status)"
  check "the summary with a moved file" "$H
$one
$(not_started b/moved.fix 2 moved.list)
$three
$(not_started empty 3 moved.list)" "$(cat mout/summary-fixed-moved.list.tsv)"
  check "the moved file and the refused job are said" "parallel-study.sh: no file or folder b/moved.fix (line 2 of moved.list)
parallel-study.sh: kolvane-batch refused the command line of 1 jobs (exit status 2); see $work/mout/logs/joblog-fixed-moved.list.tsv" \
    "$(grep '^parallel-study.sh:' moved.err)"
fi

if [ "$mode" = parallel ]; then
  # The bad file replaced by a good one: a second run analyses it alone and completes.
  "$simulate" fixed --colors 6 --samples 2 --seed 4 -o b/bad >/dev/null
  check "second run's exit status" 0 "$(status_of "$tools/parallel-study.sh" -S : fixed list out --companions)"
  check "second run's summary" "$H
$(skipped a/one.fix)
$(skipped a/two.fix)
$mended
$(skipped b/three.fix)" "$(cat out/summary-fixed-list.tsv)"
  # A scan list into the same results folder leaves the fixed list's summaries alone.
  check "a scan list into the same folder" 0 "$(status_of "$tools/parallel-study.sh" -S : scan scan.list out)"
  check "two lists' summaries in one folder" "fixed-list-1.tsv fixed-list-2.tsv fixed-list-3.tsv scan-scan.list-1.tsv" \
    "$(cd out/summaries && echo *)"
  check "the fixed list's merged summary is kept" 5 "$(wc -l <out/summary-fixed-list.tsv)"
fi

# The study's results equal a single run's of the same file.
(cd a && "$batch" fixed one.fix --blanks one.blk --controls one.ctl -o "$work/single.scf" >/dev/null)
cmp -s single.scf out/one.fix.scf || check "a study's results equal a single run's" same different
[ "$failures" -eq 0 ] && echo "$mode: passed"
exit $((failures > 0))
