#!/bin/bash
# A parameter study on a Slurm cluster: one shard of the study per array
# task, all writing into one study folder on a shared file system.
#
#   jobid=$(sbatch --parsable examples/slurm-study.sh)
#   sbatch --dependency=afterok:$jobid --wrap "torvex-run study-merge argon-8mm"
#
# A task that failed, was cancelled, preempted or ran out of time leaves the
# merge waiting for ever (its dependency cannot be met); cancel the merge,
# submit that task's index alone with the number of shards, and the merge
# after it (the finished variants of the shard are not computed twice):
#
#   jobid=$(sbatch --parsable --array=17 --export=ALL,SHARDS=64 examples/slurm-study.sh)
#   sbatch --dependency=afterok:$jobid --wrap "torvex-run study-merge argon-8mm"
#
# STUDY, OUT, SHARDS and TORVEX_RUN may be set in the environment (sbatch
# --export); SHARDS defaults to the number of tasks in the array.
#SBATCH --job-name=torvex-study
#SBATCH --array=0-63
#SBATCH --cpus-per-task=2
#SBATCH --time=00:30:00
#SBATCH --output=torvex-study-%A_%a.log
set -euo pipefail

study="${STUDY:-examples/argon-8mm.toml}"
out="${OUT:-argon-8mm}"
run="${TORVEX_RUN:-torvex-run}"
task="${SLURM_ARRAY_TASK_ID:?run this script as a Slurm array job (sbatch --array=0-63)}"
shards="${SHARDS:-${SLURM_ARRAY_TASK_COUNT:?set SHARDS to the number of shards}}"
if [ "$task" -ge "$shards" ]; then
    echo "slurm-study.sh: array task $task is no shard of $shards (tasks count from 0; set SHARDS when" \
         "submitting single tasks again)" >&2
    exit 2
fi

exec "$run" study "$study" --out "$out" --shard "$task/$shards" --jobs "${SLURM_CPUS_PER_TASK:-1}" --no-progress
