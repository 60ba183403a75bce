"""Benchmark of the Python module (not a timed test): the overhead of a
Python call over the C++ run for one variant, the call beside torvex-run,
how long a 1 ms thread waits during a run, a 100-variant study from
Python with 2 threads against 1, and the same study on 2 single-thread
Dask workers (dask.distributed's LocalCluster) and a pool of 2 processes.

    PYTHONPATH=build/python /usr/bin/python3 bench/python_bench.py [REPEATS]
    PYTHONPATH=build/python /usr/bin/python3 bench/python_bench.py --executors   # the last part alone

With TORVEX_RUN naming torvex-run, the same study is also timed there, for
the speed-up the machine allows at the moment.

The C++ run is timed inside the call around the run procedure torvex-run
calls too (folder lock, input files, solver, result files); the rest of the
call is the module's: checks, reading the result set into numpy arrays,
and, without a folder, the temporary folder.
"""
import os
import statistics
import subprocess
import sys
import tempfile
import time

import torvex

# 100 variants: argon through an 8 mm anode, 10 currents by 10 flow rates.
STUDY_PLAN = {"units": {"length": "mm", "temperature": "K", "flow": "SLPM"},
              "sweep": [{"gas": 1, "diameter": 8.0, "length": 14,
                         "current": {"from": 500, "to": 860, "step": 40},
                         "flow": {"from": 35, "to": 80, "step": 5}}]}


def main():
    if "--executors" in sys.argv:
        executor_studies(STUDY_PLAN)
        return
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

    plan = STUDY_PLAN
    seconds = {}
    for jobs in (1, 2):
        start = time.perf_counter()
        table = torvex.study(plan, jobs=jobs)
        seconds[jobs] = time.perf_counter() - start
        print("study of %d variants, %d thread(s): %.2f s" % (len(table), jobs, seconds[jobs]))
    print("speed-up with 2 threads: %.2f" % (seconds[1] / seconds[2]))
    # The same study by torvex-run, for the speed-up the machine allows now.
    if os.environ.get("TORVEX_RUN"):
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
    executor_studies(plan)
    print("load average after: %s" % " ".join("%.2f" % x for x in os.getloadavg()))


def executor_studies(plan):
    """The same study on two single-thread Dask workers (a LocalCluster of
    two processes) and on a pool of two processes, beside local threads;
    every table byte for byte the local one."""
    from concurrent.futures import ProcessPoolExecutor
    with tempfile.TemporaryDirectory() as folder:
        def timed(label, **how):
            start = time.perf_counter()
            torvex.study(plan, out="%s/%s" % (folder, label), **how)
            wall = time.perf_counter() - start
            with open("%s/%s/study.csv" % (folder, label), "rb") as table:
                return wall, table.read()

        local, table = timed("local", jobs=2)
        print("study, 2 local threads: %.2f s" % local)
        with ProcessPoolExecutor(2) as pool:
            wall, other = timed("pool", executor=pool)
        print("study, pool of 2 processes: %.2f s, table %s" % (wall, "identical" if other == table else "DIFFERS"))
        try:
            import distributed
        except ImportError:
            print("dask.distributed is not installed (python3-distributed): no Dask study")
            return
        start = time.perf_counter()
        with distributed.LocalCluster(processes=True, n_workers=2, threads_per_worker=1, dashboard_address=None,
                                      local_directory=folder) as cluster, distributed.Client(cluster) as client:
            up = time.perf_counter() - start
            wall, other = timed("dask", executor=client)
        print("study, Dask LocalCluster of 2 single-thread workers: %.2f s (%+.2f s against local threads; "
              "the cluster took %.2f s to start), table %s" % (wall, wall - local, up,
                                                               "identical" if other == table else "DIFFERS"))


if __name__ == "__main__":
    main()
