"""The driver the mutation checks share (scripts/mutation-check.py for the
solver, scripts/mutation-check-particles.py for the particle model).

A check is a list of mutations (file, text as it stands, text after the slip,
what the slip is) and a Target: the source folder the files lie in, the test
binary and the golden generator to build, the golden manifest and the wider
cases a survivor is run over. The driver copies the source tree to a scratch
folder, builds the unmutated tree, then applies one mutation at a time,
rebuilds, runs the tests and, for a survivor, compares the generator's files
over the wide manifest with those of the unmutated tree, to tell a slip that
changes results from one that changes nothing (an equivalent mutation).
"""

import argparse
import os
import shutil
import subprocess
import time
from dataclasses import dataclass
from typing import Callable, List, Optional

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))


@dataclass
class Target:
    source_dir: str  # folder of the mutated files, under the source tree
    test_binary: str  # test target, built and run from build/tests
    generator: str  # golden generator target, run as GENERATOR MANIFEST OUT_DIR
    golden_manifest: str  # golden manifest, relative to the source tree
    wide_lines: Callable[[], List[str]]  # manifest lines added to the golden ones
    scratch: str  # default scratch folder
    noun: str  # what a manifest line is called in the verdicts ("variants", "cases")
    # gtest filter of the golden tests, counted apart; None: the goldens are
    # part of the suite like any other test.
    golden_filter: Optional[str] = None


def run(cmd, cwd=None, timeout=None):
    return subprocess.run(cmd, cwd=cwd, stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True, timeout=timeout)


def copy_tree(scratch):
    src = os.path.join(scratch, "src")
    if os.path.isdir(src):
        shutil.rmtree(src)
    ignore = shutil.ignore_patterns(".git", "build", "build-*", "torvex-work")
    # Fresh modification times, so that no object of an earlier scratch
    # build (perhaps of a mutant) passes for up to date.
    shutil.copytree(ROOT, src, ignore=ignore, copy_function=shutil.copy)
    return src


def build(target, build_dir):
    result = run(["cmake", "--build", build_dir, "-j2", "--target", target.test_binary, target.generator])
    return result.returncode == 0, result.stdout


def tests_pass(target, build_dir, gtest_filter="*"):
    binary = os.path.join(build_dir, "tests", target.test_binary)
    try:
        result = run([binary, "--gtest_brief=1", "--gtest_fail_fast", "--gtest_filter=" + gtest_filter],
                     cwd=build_dir, timeout=900)
    except subprocess.TimeoutExpired:
        return False  # a hang counts as caught
    return result.returncode == 0


def results_of(target, build_dir, manifest, out_dir):
    if os.path.isdir(out_dir):
        shutil.rmtree(out_dir)
    os.makedirs(out_dir)
    run([os.path.join(build_dir, "tests", target.generator), manifest, out_dir], timeout=1800)
    files = {}
    for base, _, names in os.walk(out_dir):
        for name in names:
            path = os.path.join(base, name)
            with open(path, "rb") as f:
                files[os.path.relpath(path, out_dir)] = f.read()
    return files


def verdict_of(target, build_dir, manifest, scratch, baseline):
    ok, _ = build(target, build_dir)
    if not ok:
        return "does not compile"
    if target.golden_filter is None:
        if not tests_pass(target, build_dir):
            return "killed"
    else:
        if not tests_pass(target, build_dir, "-" + target.golden_filter):
            return "killed"
        if not tests_pass(target, build_dir, target.golden_filter):
            return "killed by the goldens only"
    mutant = results_of(target, build_dir, manifest, os.path.join(scratch, "mutant"))
    moved = sorted({p.split(os.sep)[0] for p in set(mutant) | set(baseline) if mutant.get(p) != baseline.get(p)})
    if moved:
        return f"SURVIVED (changes results of {len(moved)} {target.noun}, e.g. {', '.join(moved[:3])})"
    return "survived (no result changes: equivalent)"


def print_summary(target, rows):
    by_tests = sum(1 for r in rows if r[2] == "killed")
    by_goldens = sum(1 for r in rows if r[2] == "killed by the goldens only")
    changing = sum(1 for r in rows if r[2].startswith(("killed", "SURVIVED")))
    print()
    print("| # | file | mutation | verdict |")
    print("|---|---|---|---|")
    for k, (name, what, verdict) in enumerate(rows, 1):
        print(f"| {k} | {name} | {what} | {verdict} |")
    print()
    rate = 100.0 * (by_tests + by_goldens) / changing if changing else 0.0
    print(f"Killed {by_tests + by_goldens} of {changing} mutations that change results: {rate:.0f} %")
    if target.golden_filter is not None and changing:
        print(f"Killed without the goldens (analytic limits, physical checks, readers): {by_tests} of {changing}: "
              f"{100.0 * by_tests / changing:.0f} %")


def main(description, mutations, target):
    parser = argparse.ArgumentParser(description=description.split("\n\n")[0])
    parser.add_argument("--scratch", default=target.scratch, help="scratch directory (default %(default)s)")
    parser.add_argument("--only", action="append", default=[],
                        help="run only mutations whose description contains this text (may be repeated)")
    parser.add_argument("--list", action="store_true", help="list the mutations and stop")
    args = parser.parse_args()

    chosen = [m for m in mutations if not args.only or any(text in m[3] for text in args.only)]
    if args.list:
        for k, (name, _, _, what) in enumerate(chosen, 1):
            print(f"{k:3d}  {name:22s} {what}")
        return 0

    os.makedirs(args.scratch, exist_ok=True)
    src = copy_tree(args.scratch)
    build_dir = os.path.join(args.scratch, "build")
    configure = ["cmake", "-S", src, "-B", build_dir, "-G", "Ninja", "-DCMAKE_BUILD_TYPE=RelWithDebInfo",
                 "-DTORVEX_SOLVER_ONLY=ON", "-DTORVEX_BENCHMARKS=OFF"]
    if shutil.which("ccache"):
        configure.append("-DCMAKE_CXX_COMPILER_LAUNCHER=ccache")
    if run(configure).returncode != 0:
        print("cannot configure the scratch build in", build_dir)
        return 2

    for name, old, _, what in chosen:
        with open(os.path.join(src, target.source_dir, name)) as f:
            count = f.read().count(old)
        if count != 1:
            print(f"mutation '{what}': its text occurs {count} times in {target.source_dir}/{name}; fix the list")
            return 2

    ok, log = build(target, build_dir)
    if not ok or not tests_pass(target, build_dir):
        print("the unmutated tree does not build or its tests fail; nothing to measure")
        print(log[-3000:])
        return 2
    manifest = os.path.join(args.scratch, "wide-manifest.txt")
    with open(os.path.join(src, target.golden_manifest)) as f:
        golden = f.read()
    with open(manifest, "w") as f:
        f.write(golden + "\n" + "\n".join(target.wide_lines()) + "\n")
    baseline = results_of(target, build_dir, manifest, os.path.join(args.scratch, "baseline"))

    rows = []
    for k, (name, old, new, what) in enumerate(chosen, 1):
        path = os.path.join(src, target.source_dir, name)
        with open(path) as f:
            original = f.read()
        start = time.time()
        try:
            with open(path, "w") as f:
                f.write(original.replace(old, new))
            verdict = verdict_of(target, build_dir, manifest, args.scratch, baseline)
        finally:
            with open(path, "w") as f:
                f.write(original)
        rows.append((name, what, verdict))
        print(f"{k:3d}/{len(chosen)}  {name:22s} {what:56s} {verdict}  ({time.time() - start:.0f} s)", flush=True)

    build(target, build_dir)  # leave the scratch build unmutated
    print_summary(target, rows)
    survivors = [r for r in rows if r[2].startswith("SURVIVED")]
    return 1 if survivors else 0
