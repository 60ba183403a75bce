#!/bin/bash
# examples/slurm-study.sh on a one-node Slurm cluster of its own, started here
# as root in a temporary folder (its own slurm.conf, munge key and socket,
# state and spool folders, free ports) and ended by PID however the test ends:
#  1. an array of 4 shards and study-merge as a dependent job give the table
#     of a local study byte for byte;
#  2. with one task cancelled while it runs, the merge never starts; the task
#     submitted again alone, with the merge after it, completes the table.
# Usage: slurm_study_test.sh TORVEX_RUN SOURCE_DIR. Exit 77 (skipped, with the
# reason) without root or without Slurm and munge.
set -euo pipefail
run="$(realpath "$1")" script="$(realpath "$2")/examples/slurm-study.sh"
skip() { echo "SKIPPED: $*; the Slurm study is not checked here."; exit 77; }
[ "$(id -u)" -eq 0 ] || skip "not root (the daemons are started by hand as root)"
for tool in mungekey munged slurmctld slurmd sbatch squeue sinfo scancel; do
    command -v "$tool" >/dev/null || skip "$tool is missing (Debian: slurm-wlm, munge)"
done
t="$(mktemp -d /tmp/torvex-slurm.XXXXXX)" pids=()
export SLURM_CONF="$t/slurm.conf"
stop() {  # the jobs, then the daemons by PID
    scancel --quiet --full --user=root 2>/dev/null || true
    for _ in $(seq 50); do [ -z "$(squeue -h 2>/dev/null)" ] && break; sleep 0.2; done
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
    for pid in "${pids[@]}"; do
        for _ in $(seq 50); do kill -0 "$pid" 2>/dev/null || break; sleep 0.2; done
        kill -KILL "$pid" 2>/dev/null || true
    done
    rm -rf "$t"
}
trap stop EXIT
trap 'exit 1' INT TERM
fail() { echo "FAILED: $*"; tail -n 20 "$t"/*.log "$t"/work/*.log "$t"/work/*.out 2>/dev/null || true; exit 1; }
waitfor() {  # waitfor SECONDS WHAT COMMAND...: within 10 minutes in all, so that stop() runs before ctest's limit
    local seconds="$1" what="$2"; shift 2
    for _ in $(seq $((seconds * 5))); do
        "$@" >/dev/null 2>&1 && return 0
        [ "$SECONDS" -lt 600 ] || break
        sleep 0.2
    done
    fail "waited for $what (up to ${seconds} s; $SECONDS s since the start)"
}
freeport() { python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])'; }

mkdir -p "$t/state" "$t/spool" "$t/work" && chmod 700 "$t"
mungekey --create --keyfile="$t/munge.key" && chmod 400 "$t/munge.key"
munged -F --force --key-file="$t/munge.key" --socket="$t/munge.sock" --pid-file="$t/munged.pid" \
    --log-file="$t/munged.log" --seed-file="$t/munged.seed" 2>/dev/null &
pids+=($!)
waitfor 20 "munged" bash -c "munge -n -S '$t/munge.sock' | unmunge -S '$t/munge.sock'"
cat >"$SLURM_CONF" <<EOF
ClusterName=torvextest
SlurmctldHost=$(hostname -s)(127.0.0.1)
SlurmctldPort=$(freeport)
SlurmdPort=$(freeport)
AuthInfo=socket=$t/munge.sock
StateSaveLocation=$t/state
SlurmdSpoolDir=$t/spool
SlurmctldPidFile=$t/slurmctld.pid
SlurmdPidFile=$t/slurmd.pid
SlurmctldLogFile=$t/slurmctld.log
SlurmdLogFile=$t/slurmd.log
ProctrackType=proctrack/linuxproc
TaskPlugin=task/none
SelectType=select/cons_tres
SelectTypeParameters=CR_Core
ReturnToService=2
SchedulerParameters=sched_min_interval=100000
NodeName=torvexnode NodeAddr=127.0.0.1 CPUs=$(nproc) State=UNKNOWN
PartitionName=test Nodes=torvexnode Default=YES MaxTime=INFINITE State=UP
EOF
slurmctld -D -i 2>/dev/null &
pids+=($!)
slurmd -D -N torvexnode 2>/dev/null &
pids+=($!)
waitfor 60 "the node to be idle" bash -c '[ "$(sinfo -h -o %t)" = idle ]'
echo "$SECONDS s: the cluster is up"

# A study of four variants, one per shard, run here too; the task whose gate
# file exists waits at its gate until it is cancelled.
cd "$t/work"
printf '[units]\nlength = "mm"\n\n[[sweep]]\ngas = 1\ndiameter = 8.0\nlength = 14\ncurrent = [500, 600]\nflow = [35, 50]\n' >study.toml
"$run" study study.toml --out local --jobs 2 --no-progress >/dev/null || fail "the local study"
printf '#!/bin/bash\nwhile [ -e "%s/gate-$SLURM_ARRAY_TASK_ID" ]; do sleep 0.2; done\nexec %q "$@"\n' "$t" "$run" >"$t/gated-run"
chmod +x "$t/gated-run"
export STUDY=study.toml TORVEX_RUN="$t/gated-run"
state() { squeue -h -j "$1" -o %T; }
finished() { [ -z "$(squeue -h -j "$1")" ]; }
submit() {  # submit OUT [sbatch options]: the array and its merge after it
    array=$(OUT="$1" sbatch --parsable --cpus-per-task=1 "${@:2}" "$script")
    merge=$(sbatch --parsable --dependency=afterok:"$array" --wrap "$run study-merge $1")
}

submit sharded --array=0-3
waitfor 180 "the array and its merge" finished "$merge"
cmp local/study.csv sharded/study.csv || fail "the merged table differs from the local one"
echo "$SECONDS s: the array of 4 and its merge gave the local table"

touch "$t/gate-2"
submit cancelled --array=0-3
waitfor 60 "task 2 to run" bash -c "[ \"\$(squeue -h -j ${array}_2 -o %T)\" = RUNNING ]"
scancel "${array}_2"
waitfor 60 "task 2 to end" finished "${array}_2"
rm "$t/gate-2"
for k in 0 1 3; do waitfor 180 "task $k" finished "${array}_$k"; done
[ ! -e cancelled/study-2-of-4.csv ] || fail "the cancelled task wrote its table"
[ "$(state "$merge")" = PENDING ] || fail "the merge ran after a cancelled task: $(state "$merge")"
scancel "$merge"
submit cancelled --array=2 --export=ALL,SHARDS=4
waitfor 180 "the task submitted again and its merge" finished "$merge"
cmp local/study.csv cancelled/study.csv || fail "the table completed after the cancel differs from the local one"
echo "$SECONDS s: PASSED: the Slurm study's tables equal the local study's, also with a cancelled task submitted again"
