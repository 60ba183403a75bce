"""Benchmark of the Python module (not a timed test): the overhead of a
Python call over the C++ run for one variant, and a 100-variant study from
Python with 2 threads against 1.

    PYTHONPATH=build/python /usr/bin/python3 bench/python_bench.py [REPEATS]

With TORVEX_RUN naming torvex-run, the same study is also timed there, for
the speed-up the machine allows at the moment.

The C++ run is timed inside the call around what torvex-run does for a
variant (folder lock, input files, solver, result files); the rest of the
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
