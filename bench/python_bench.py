"""Benchmark of the Python module (not a timed test): the overhead of a
Python call over the C++ run for one variant, the call beside torvex-run,
how long a 1 ms thread waits during a run, and a 100-variant study from
Python with 2 threads against 1.

    PYTHONPATH=build/python /usr/bin/python3 bench/python_bench.py [REPEATS]

With TORVEX_RUN naming torvex-run, the same study is also timed there, for
the speed-up the machine allows at the moment.

The C++ run is timed inside the call around the run procedure torvex-run
calls too (folder lock, input files, solver, result files); the rest of the
call is the module's: checks, reading the result set into numpy arrays,
and, without a folder, the temporary folder.
"""
import os
import statistics
import sys
import tempfile
import time

import torvex

repeats = int(sys.argv[1]) if len(sys.argv) > 1 else 5
variant = torvex.Variant(gas="argon", diameter=8, length=14, current=500, flow=35)


def timed_run(folder):
    start = time.perf_counter()
    r = torvex.run(variant, folder=folder)
    solver = r.solver_seconds
    del r
    return time.perf_counter() - start, solver


print("load average before: %s" % " ".join("%.2f" % x for x in os.getloadavg()))
torvex.run(variant)  # warm the page cache and numpy
with tempfile.TemporaryDirectory() as folder:
    for label, where in (("folder given", folder), ("temporary folder", None)):
        runs = [timed_run(where) for _ in range(repeats)]
        wall = statistics.median(w for w, _ in runs)
        solver = statistics.median(s for _, s in runs)
        over = statistics.median((w - s) / s for w, s in runs)
        print("one variant, %-16s: call %.1f ms, C++ run %.1f ms, overhead %.1f %%" % (
            label, 1000 * wall, 1000 * solver, 100 * over))

# The same variant by torvex-run, each in a fresh folder, beside the call.
if os.environ.get("TORVEX_RUN"):
    import subprocess

    def program_run(folder):
        start = time.perf_counter()
        subprocess.run([os.environ["TORVEX_RUN"], "--gas", "1", "--diameter", "8", "--length", "14", "--current",
                        "500", "--flow", "35", "--no-progress", folder], check=True, stdout=subprocess.DEVNULL)
        return time.perf_counter() - start

    with tempfile.TemporaryDirectory() as folder:
        program = statistics.median(program_run(folder) for _ in range(repeats))
        python = statistics.median(timed_run(folder)[0] for _ in range(repeats))
    print("one variant: torvex-run %.1f ms, torvex.run %.1f ms" % (1000 * program, 1000 * python))

# The interpreter's lock is released during a run: a thread that wakes
# every millisecond is never held up for long.
import threading
waits, running = [], True


def ticker():
    last = time.perf_counter()
    while running:
        time.sleep(0.001)
        now = time.perf_counter()
        waits.append(now - last)
        last = now


thread = threading.Thread(target=ticker)
thread.start()
torvex.run(variant)
running = False
thread.join()
print("a 1 ms thread during a run: %d ticks, longest wait %.1f ms" % (len(waits), 1000 * max(waits)))

plan = {"units": {"length": "mm", "temperature": "K", "flow": "SLPM"},
        "sweep": [{"gas": 1, "diameter": 8.0, "length": 14,
                   "current": {"from": 500, "to": 860, "step": 40},
                   "flow": {"from": 35, "to": 80, "step": 5}}]}
seconds = {}
for jobs in (1, 2):
    start = time.perf_counter()
    table = torvex.study(plan, jobs=jobs)
    seconds[jobs] = time.perf_counter() - start
    print("study of %d variants, %d thread(s): %.2f s" % (len(table), jobs, seconds[jobs]))
print("speed-up with 2 threads: %.2f" % (seconds[1] / seconds[2]))
# The same study by torvex-run, for the speed-up the machine allows now.
if os.environ.get("TORVEX_RUN"):
    import subprocess
    with tempfile.TemporaryDirectory() as folder:
        with open(folder + "/plan.toml", "w") as f:
            f.write(torvex._plan_toml(plan))
        program = {}
        for jobs in (1, 2):
            start = time.perf_counter()
            subprocess.run([os.environ["TORVEX_RUN"], "study", folder + "/plan.toml", "--out",
                            "%s/out%d" % (folder, jobs), "--jobs", str(jobs), "--no-progress"],
                           check=True, stdout=subprocess.DEVNULL)
            program[jobs] = time.perf_counter() - start
            print("torvex-run study, %d thread(s): %.2f s" % (jobs, program[jobs]))
        print("torvex-run speed-up with 2 threads: %.2f" % (program[1] / program[2]))
print("load average after: %s" % " ".join("%.2f" % x for x in os.getloadavg()))
