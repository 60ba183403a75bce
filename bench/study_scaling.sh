#!/usr/bin/env bash
# Study benchmark (not part of the test suite: it takes minutes). Runs the
# 422-variant study of bench/study-422.toml with --jobs 1 and --jobs 2 and
# reports wall time, CPU time and peak memory of each, the speed-up, and the
# time torvex-run takes per variant alone; then splits the study into 64
# shards of a synthetic table and times study-merge.
#
#   bash bench/study_scaling.sh [BUILD_DIR]     (default: build)
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="$(cd "${1:-$root/build}" && pwd)"
run="$build/app/torvex-run"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

measure() {  # measure LABEL COMMAND...: wall s, CPU s, peak RSS MB
    local label="$1"; shift
    /usr/bin/time -f "%e %U %S %M" -o "$work/time" "$@" >/dev/null
    read -r wall user sys rss <"$work/time"
    printf '%-28s wall %7.2f s  cpu %7.2f s  peak %6.1f MB\n' "$label" "$wall" \
        "$(echo "$user + $sys" | bc)" "$(echo "scale=1; $rss / 1024" | bc)"
    echo "$wall" >"$work/wall-$label"
}

study="$root/bench/study-422.toml"
measure "jobs-1" "$run" study "$study" --out "$work/j1" --jobs 1 --no-progress
measure "jobs-2" "$run" study "$study" --out "$work/j2" --jobs 2 --no-progress
cmp "$work/j1/study.csv" "$work/j2/study.csv" && echo "study.csv of 1 and 2 jobs: identical"
variants=$(($(wc -l <"$work/j1/study.csv") - 1))
printf 'variants %d, speed-up %.2f\n' "$variants" "$(echo "scale=3; $(cat "$work/wall-jobs-1") / $(cat "$work/wall-jobs-2")" | bc)"

# One variant alone, as a single torvex-run: the per-variant cost to compare.
mkdir -p "$work/single"
measure "single torvex-run" "$run" --no-progress --gas 1 --diameter 5 --length 12 --current 300 --flow 30 "$work/single"

# 64 shard tables of a 30 000-row study (the rows of the real table repeated).
mkdir -p "$work/merge"
python3 - "$work/j1/study.csv" "$work/merge" <<'PY'
import sys
lines = open(sys.argv[1]).read().splitlines()
header, rows = lines[0], [l.split(",", 1)[1] for l in lines[1:]]
shards = [[header] for _ in range(64)]
for i in range(30000):
    shards[i % 64].append("%d,%s" % (i, rows[i % len(rows)]))
for k, s in enumerate(shards):
    open("%s/study-%d-of-64.csv" % (sys.argv[2], k), "w").write("\n".join(s) + "\n")
PY
measure "merge 64 shards (30000 rows)" "$run" study-merge "$work/merge"
