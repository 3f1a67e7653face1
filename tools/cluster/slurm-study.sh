#!/usr/bin/env bash
# A study as a Slurm job array: task N analyses line N of LIST (a data file or a folder of them)
# with one kolvane-batch run, writes its results into OUT_DIR and its summary into
# OUT_DIR/summaries/N.tsv, and ends with kolvane-batch's exit status, so that Slurm shows which
# tasks did not complete. Submit one task per line of LIST:
#   sbatch --array=1-$(grep -c '[^[:space:]]' LIST) tools/cluster/slurm-study.sh fixed|scan LIST OUT_DIR [OPTION...]
# OPTION...: further kolvane-batch options, e.g. --companions or --blanks FILE. A task uses the
# cores Slurm gives it (--cpus-per-task, default 1) as kolvane-batch -j. Every node needs
# kolvane-batch (the kolvane package, or KOLVANE_BATCH=/path/to/it, which sbatch passes on) and
# sees the data and OUT_DIR at the same paths. Files of different folders must not share a name,
# since their results meet in OUT_DIR. Resubmitting does only what is missing (--skip-done).
# Once every task has ended, merge the summaries:
#   tools/cluster/merge-summaries.sh -o OUT_DIR/summary.tsv OUT_DIR/summaries/*.tsv
#SBATCH --job-name=kolvane-study
#SBATCH --cpus-per-task=1
#SBATCH --output=kolvane-study-%A_%a.log
set -euo pipefail
if [ $# -lt 3 ] || [ -z "${SLURM_ARRAY_TASK_ID:-}" ]; then
  echo "usage: sbatch --array=1-N $0 fixed|scan LIST OUT_DIR [OPTION...]" >&2
  exit 2
fi
mode=$1 list=$2 out=$3
shift 3
task=$SLURM_ARRAY_TASK_ID
# Line TASK of LIST, blank lines not counted (as grep -c '[^[:space:]]' counts them).
input=$(grep -v '^[[:space:]]*$' "$list" | sed -n "${task}p")
if [ -z "$input" ]; then
  echo "$0: $list has no line $task" >&2
  exit 2
fi
mkdir -p "$out/summaries"
echo "task $task on $(hostname): $input" >&2
exec "${KOLVANE_BATCH:-kolvane-batch}" "$mode" --out-dir "$out" --skip-done \
  -j "${SLURM_CPUS_PER_TASK:-1}" --summary "$out/summaries/$task.tsv" "$@" "$input"
