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
run="$1" source_dir="$2"
skip() { echo "SKIPPED: $*; the Slurm study is not checked here."; exit 77; }
[ "$(id -u)" -eq 0 ] || skip "not root (the daemons are started by hand as root)"
for tool in munged slurmctld slurmd sbatch squeue sinfo scancel; do
    command -v "$tool" >/dev/null || skip "$tool is missing (Debian: slurm-wlm, munge)"
done

t="$(mktemp -d /tmp/torvex-slurm.XXXXXX)"
pids=()
stop() {
    SLURM_CONF="$t/slurm.conf" scancel --quiet --full --user=root 2>/dev/null || true
    for _ in $(seq 50); do [ -z "$(SLURM_CONF="$t/slurm.conf" squeue -h 2>/dev/null)" ] && break; sleep 0.2; done
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
waitfor() {  # waitfor SECONDS WHAT COMMAND...
    local seconds="$1" what="$2"; shift 2
    for _ in $(seq $((seconds * 5))); do
        "$@" >/dev/null 2>&1 && return 0
        [ "$SECONDS" -lt 600 ] || break  # well within ctest's time limit, so that stop() runs
        sleep 0.2
    done
    fail "waited for $what (up to ${seconds} s; $SECONDS s since the start)"
}
freeport() { python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])'; }

# munge with its own key, socket and files.
mkdir -p "$t/state" "$t/spool" "$t/work"
chmod 700 "$t"
mungekey --create --keyfile="$t/munge.key" 2>/dev/null || dd if=/dev/urandom of="$t/munge.key" bs=1024 count=1 2>/dev/null
chmod 400 "$t/munge.key"
munged -F --force --key-file="$t/munge.key" --socket="$t/munge.sock" --pid-file="$t/munged.pid" \
    --log-file="$t/munged.log" --seed-file="$t/munged.seed" 2>/dev/null &
pids+=($!)
waitfor 20 "munged" bash -c "munge -n -S '$t/munge.sock' | unmunge -S '$t/munge.sock'"

cat >"$t/slurm.conf" <<EOF
ClusterName=torvextest
SlurmctldHost=$(hostname -s)(127.0.0.1)
SlurmctldPort=$(freeport)
SlurmdPort=$(freeport)
SlurmUser=root
AuthType=auth/munge
AuthInfo=socket=$t/munge.sock
CredType=cred/munge
StateSaveLocation=$t/state
SlurmdSpoolDir=$t/spool
SlurmctldPidFile=$t/slurmctld.pid
SlurmdPidFile=$t/slurmd.pid
SlurmctldLogFile=$t/slurmctld.log
SlurmdLogFile=$t/slurmd.log
PlugStackConfig=$t/plugstack.conf
ProctrackType=proctrack/linuxproc
TaskPlugin=task/none
JobAcctGatherType=jobacct_gather/none
AccountingStorageType=accounting_storage/none
SelectType=select/cons_tres
SelectTypeParameters=CR_Core
ReturnToService=2
MpiDefault=none
KillWait=2
SchedulerParameters=sched_min_interval=100000
NodeName=torvexnode NodeAddr=127.0.0.1 CPUs=$(nproc) State=UNKNOWN
PartitionName=test Nodes=torvexnode Default=YES MaxTime=INFINITE State=UP
EOF
touch "$t/plugstack.conf"
export SLURM_CONF="$t/slurm.conf"
slurmctld -D -i -f "$SLURM_CONF" 2>/dev/null &
pids+=($!)
slurmd -D -N torvexnode -f "$SLURM_CONF" 2>/dev/null &
pids+=($!)
waitfor 60 "the node to be idle" bash -c '[ "$(sinfo -h -o %t)" = idle ]'
echo "$SECONDS s: the cluster is up"

# A study of four variants, one per shard, and its table run here.
cd "$t/work"
printf '[units]\nlength = "mm"\n\n[[sweep]]\ngas = 1\ndiameter = 8.0\nlength = 14\ncurrent = [500, 600]\nflow = [35, 50]\n' >study.toml
"$run" study study.toml --out local --jobs 2 --no-progress >/dev/null || fail "the local study"
export STUDY=study.toml TORVEX_RUN="$t/gated-run"
# The task held by the gate file waits there until it is cancelled.
printf '#!/bin/bash\nwhile [ -e "%s/gate-$SLURM_ARRAY_TASK_ID" ]; do sleep 0.2; done\nexec %q "$@"\n' "$t" "$run" >"$t/gated-run"
chmod +x "$t/gated-run"
state() { squeue -h -j "$1" -o %T 2>/dev/null; }
finished() { [ -z "$(squeue -h -j "$1" 2>/dev/null)" ]; }
script="$source_dir/examples/slurm-study.sh"

# 1. The array and its merge.
array=$(OUT=sharded sbatch --parsable --array=0-3 --cpus-per-task=1 "$script")
merge=$(sbatch --parsable --dependency=afterok:"$array" --wrap "$run study-merge sharded")
waitfor 180 "the array and its merge" finished "$merge"
cmp local/study.csv sharded/study.csv || fail "the merged table differs from the local one"
echo "$SECONDS s: the array of 4 and its merge gave the local table"

# 2. One task cancelled while it runs: no merge, until it is submitted again.
touch "$t/gate-2"
array=$(OUT=cancelled sbatch --parsable --array=0-3 --cpus-per-task=1 "$script")
merge=$(sbatch --parsable --dependency=afterok:"$array" --wrap "$run study-merge cancelled")
waitfor 60 "task 2 to run" bash -c "[ \"\$(squeue -h -j ${array}_2 -o %T)\" = RUNNING ]"
scancel "${array}_2"
waitfor 60 "task 2 to end" finished "${array}_2"
rm "$t/gate-2"
for k in 0 1 3; do waitfor 180 "task $k" finished "${array}_$k"; done
[ -e cancelled/study-2-of-4.csv ] && fail "the cancelled task wrote its table"
[ "$(state "$merge")" = PENDING ] || fail "the merge ran after a cancelled task: $(state "$merge")"
scancel "$merge"
again=$(OUT=cancelled sbatch --parsable --array=2 --cpus-per-task=1 --export=ALL,SHARDS=4 "$script")
merge=$(sbatch --parsable --dependency=afterok:"$again" --wrap "$run study-merge cancelled")
waitfor 180 "the task submitted again and its merge" finished "$merge"
cmp local/study.csv cancelled/study.csv || fail "the table completed after the cancel differs from the local one"
echo "$SECONDS s: PASSED: the Slurm study's tables equal the local study's, also with a cancelled task submitted again"
