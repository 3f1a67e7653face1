#!/usr/bin/env bash
# A study as a Slurm job array. Run it on the machine you submit from:
#   tools/cluster/slurm-study.sh [--lines-per-task K] [SBATCH_OPTION=VALUE...] fixed|scan LIST OUT_DIR [OPTION...]
# LIST names one data file or folder a line (a folder line costs one kolvane-batch start for
# all its files: the cheapest part). The script makes OUT_DIR/logs and OUT_DIR/summaries, removes
# the summaries an earlier submission of the same analysis and list left, and submits itself as
# an array of one task per K lines (default: 1, or as many as keep the array within the
# cluster's MaxArraySize). Each task runs one kolvane-batch over its lines with --out-dir
# OUT_DIR, --skip-done and --summary OUT_DIR/summaries/MODE-LISTNAME-TASK.tsv, writes its log to
# OUT_DIR/logs/kolvane-study-JOB_TASK.log and ends with kolvane-batch's exit status (0 complete,
# 1 stopped, 2 for a line naming no file or a refused command line), so that Slurm shows the
# tasks to look at. SBATCH_OPTION=VALUE...: further sbatch options, e.g. --cpus-per-task=4 (a
# task uses its cores as kolvane-batch -j) or --partition=short. OPTION...: further kolvane-batch
# options, e.g. --companions or --blanks FILE. Every node needs kolvane-batch (the kolvane
# package, or KOLVANE_BATCH=/path/to/it, which sbatch passes on) and sees the data, LIST and
# OUT_DIR at the same paths. Files of different folders must not share a name, since their
# results meet in OUT_DIR. Submitting again does only what is missing (--skip-done). Once every
# task has ended, merge the summaries (the submission prints the command):
#   tools/cluster/slurm-study.sh --merge fixed|scan LIST OUT_DIR
# writes OUT_DIR/summary-MODE-LISTNAME.tsv, where a line whose task wrote no summary (cancelled,
# killed, its node failed) is "not started", and exits 0 only when every file completed.
set -euo pipefail
name=slurm-study.sh # inside Slurm, $0 is a copy in the spool folder
usage() {
  echo "usage: $name [--lines-per-task K] [SBATCH_OPTION=VALUE...] fixed|scan LIST OUT_DIR [OPTION...]" >&2
  echo "       $name --merge fixed|scan LIST OUT_DIR" >&2
  exit 2
}
per_task=""
merge=0
sbatch_options=()
while [ $# -gt 0 ]; do
  case $1 in
    fixed | scan) break ;;
    --lines-per-task)
      [ $# -ge 2 ] || usage
      per_task=$2
      shift 2
      ;;
    --lines-per-task=*) per_task=${1#*=} && shift ;;
    --merge) merge=1 && shift ;;
    -?*=*) sbatch_options+=("$1") && shift ;;
    *)
      echo "$name: $1 is neither fixed nor scan nor an sbatch option given as --option=value" >&2
      usage
      ;;
  esac
done
[ $# -ge 3 ] || usage
mode=$1 list=$2 out=$3
shift 3
if [ -n "$per_task" ] && ! [[ $per_task =~ ^[1-9][0-9]*$ ]]; then
  echo "$name: --lines-per-task takes a whole number above 0, not $per_task" >&2
  exit 2
fi
# The lines of LIST as every recipe counts them: blank lines left out, a CR at the end dropped.
list_lines() { tr -d '\r' <"$list" | grep -v '^[[:space:]]*$' || true; }
# Summaries are named after the analysis and the list, so that several lists share OUT_DIR.
list_name=$(basename -- "$list" | tr -c 'A-Za-z0-9._+\n-' '_')
summary_of() { echo "$out/summaries/$mode-$list_name-$1.tsv"; }

if [ "$merge" -eq 1 ]; then
  here=$(cd "$(dirname "$0")" && pwd)
  summaries=()
  for s in "$out/summaries/$mode-$list_name-"*.tsv; do [ -f "$s" ] && summaries+=("$s"); done
  status=0
  "$here/merge-summaries.sh" --list "$list" -o "$out/summary-$mode-$list_name.tsv" \
    "${summaries[@]}" || status=$?
  echo "Summary of the study: $out/summary-$mode-$list_name.tsv" >&2
  exit "$status"
fi

if [ -z "${SLURM_ARRAY_TASK_ID:-}" ]; then
  [ -f "$list" ] || { echo "$name: no list $list" >&2; exit 2; }
  lines=$(list_lines | wc -l)
  [ "$lines" -gt 0 ] || { echo "$name: $list names no file or folder" >&2; exit 2; }
  command -v sbatch >/dev/null || { echo "$name: sbatch is not installed here" >&2; exit 2; }
  # Array indices run below MaxArraySize (1001 unless the cluster says otherwise).
  max=$(scontrol show config 2>/dev/null | awk '$1 == "MaxArraySize" { print $3 - 1 }' || true)
  max=${max:-1000}
  per_task=${per_task:-$(((lines + max - 1) / max))}
  tasks=$(((lines + per_task - 1) / per_task))
  if [ "$tasks" -gt "$max" ]; then
    echo "$name: $tasks tasks are more than the cluster's job array takes ($max):" \
      "use --lines-per-task $(((lines + max - 1) / max)) or more" >&2
    exit 2
  fi
  mkdir -p "$out/logs" "$out/summaries"
  out=$(cd "$out" && pwd) # Slurm opens the logs from the task's folder
  rm -f "$out/summaries/$mode-$list_name-"*.tsv
  # sbatch reads the script and passes it on: the tasks run it from the spool.
  job=$(sbatch --parsable --job-name=kolvane-study --array="1-$tasks" \
    --output="$out/logs/kolvane-study-%A_%a.log" "${sbatch_options[@]}" \
    "$0" --lines-per-task "$per_task" "$mode" "$list" "$out" "$@")
  here=$(cd "$(dirname "$0")" && pwd)
  echo "Submitted job ${job%%;*}: $lines lines of $list, $per_task per task, $tasks tasks; logs in $out/logs"
  echo "Once every task has ended (squeue -j ${job%%;*} lists none), merge the summaries:"
  printf '  %q --merge %q %q %q\n' "$here/$name" "$mode" "$list" "$out"
  exit 0
fi

# One task: lines FIRST..LAST of LIST.
task=$SLURM_ARRAY_TASK_ID
per_task=${per_task:-1}
first=$(((task - 1) * per_task + 1))
last=$((task * per_task))
mapfile -t inputs < <(list_lines | sed -n "${first},${last}p")
if [ ${#inputs[@]} -eq 0 ]; then
  echo "$name: $list has no line $first" >&2
  exit 2
fi
echo "$name: task $task on $(hostname): lines $first-$((first + ${#inputs[@]} - 1)) of $list" >&2
# A line naming nothing would make kolvane-batch refuse the whole task: it is named here and
# left out, and the merge lists it as not started.
present=()
for input in "${inputs[@]}"; do
  if [ -e "$input" ]; then present+=("$input"); else echo "$name: no file or folder $input" >&2; fi
done
[ ${#present[@]} -gt 0 ] || exit 2
mkdir -p "$out/summaries"
command=("${KOLVANE_BATCH:-kolvane-batch}" "$mode" --out-dir "$out" --skip-done
  -j "${SLURM_CPUS_PER_TASK:-1}" --summary "$(summary_of "$task")" "$@" "${present[@]}")
[ ${#present[@]} -lt ${#inputs[@]} ] || exec "${command[@]}"
"${command[@]}" || true
exit 2
