#!/bin/bash
# A parameter study on a Slurm cluster: one shard of the study per array
# task, all writing into one study folder on a shared file system.
#
#   jobid=$(sbatch --parsable examples/slurm-study.sh)
#   sbatch --dependency=afterok:$jobid --wrap "torvex-run study-merge argon-8mm"
#
# STUDY, OUT and TORVEX_RUN may be set in the environment (sbatch --export).
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
shards="${SLURM_ARRAY_TASK_COUNT:-64}"

# A shard that was interrupted (preempted, out of time) resumes when the
# task is run again: finished variants are not computed twice.
exec "$run" study "$study" --out "$out" --shard "$task/$shards" --jobs "${SLURM_CPUS_PER_TASK:-1}" --no-progress
