#!/usr/bin/env python3
"""The tables of docs/particle-model.md, sections 6 and 7, from the program.

Computes the two jets with torvex-run (the default argon variant and the
Ar + 25 % H2 variant), sprays the cases of each table with kavel-run and
writes the tables between their markers in the notes:

    <!-- notes: NAME -->
    | ... the table ... |
    <!-- /notes -->

    scripts/particle-notes.py --write [--only NAME]...   # regenerate the tables
    scripts/particle-notes.py --check [--only NAME]...   # fail when a number differs

--build DIR names the build tree (default build/); --kavel-run and
--torvex-run name the programs themselves. Nothing but the notes file is
written outside a temporary folder.
"""

import argparse
import csv
import os
import re
import shutil
import subprocess
import sys
import tempfile

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
NOTES = os.path.join(ROOT, "docs", "particle-model.md")

JETS = {
    "argon": ["--gas", "1", "--diameter", "8", "--length", "14", "--current", "500", "--flow", "35"],
    "hydrogen": ["--gas", "9", "--diameter", "8", "--length", "20", "--current", "550", "--flow", "45"],
}

# The header of a materials.csv of this version.
HEADER = ("key,name,density_solid,density_liquid,cp_solid,cp_liquid,conductivity_solid,conductivity_liquid,"
          "melting_point,latent_heat_fusion,boiling_point,latent_heat_vaporisation,emissivity,molar_mass,"
          "vapour_pressure_enthalpy")
# Alumina's properties but those of evaporation, as the packaged row gives them.
ALUMINA = "3970,3050,1220,1890,5.5,5.5,2327,1.09e6,{boiling},{heat},0.4,0.10196,{curve}"
# Evaporation data: (boiling point K, latent heat J/kg, vapour-pressure enthalpy J/kg).
# (None: the packaged row itself, 3800 K, 18.6 MJ/kg, 5.62 MJ/kg.)
EARLIER_ROW = ("3250", "4.7e6", "4.7e6")
CURVE_ALONE = ("3800", "4.7e6", "5.62e6")
HEAT_ALONE = ("3250", "1.86e7", "4.7e6")

# The one particle of section 7: 20 um alumina at 20 m/s, no spread, from
# the default injector (2 mm downstream, 8 mm off the axis), to 100 mm.
PARTICLE = ["--diameter", "20", "--count", "1", "--injection-velocity", "20", "--velocity-spread", "0"]
# The powder of section 6: 20/40/70 um by volume, 3 SLPM of carrier gas, as many
# particles as kavel-run's precision rule flies.
POWDER = []


def run(command, **kwargs):
    done = subprocess.run(command, stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True, **kwargs)
    if done.returncode != 0:
        sys.exit("particle-notes: %s failed (%d):\n%s" % (" ".join(command), done.returncode, done.stdout))
    return done.stdout


class Runner:
    """The jets, computed once, and one spray per call in a copy of a jet's folder."""

    def __init__(self, torvex_run, kavel_run, work):
        self.torvex_run, self.kavel_run, self.work = torvex_run, kavel_run, work
        self.jets, self.count = {}, 0

    def jet(self, name):
        if name not in self.jets:
            folder = os.path.join(self.work, "jet-" + name)
            os.makedirs(folder)
            run([self.torvex_run] + JETS[name] + [folder])
            self.jets[name] = folder
        return self.jets[name]

    def spray(self, jet, options, data=None):
        """kavel-run's summary and the rows of particles.csv; `data` gives alumina's
        evaporation data as the row al2o3 of a materials.csv in the folder."""
        self.count += 1
        folder = os.path.join(self.work, "spray-%d" % self.count)
        shutil.copytree(self.jet(jet), folder)
        if data:
            boiling, heat, curve = data
            row = ALUMINA.format(boiling=boiling, heat=heat, curve=curve)
            with open(os.path.join(folder, "materials.csv"), "w") as table:
                table.write(HEADER + "\nal2o3,Alumina (notes)," + row + "\n")
        summary = run([self.kavel_run, "--material", "al2o3", "--no-progress", "--threads", "2"] + options + [folder])
        with open(os.path.join(folder, "particles.csv")) as rows:
            particles = list(csv.DictReader(line for line in rows if not line.startswith("#")))
        shutil.rmtree(folder)
        return summary, particles


# ----- Section 7: one particle and the model's switches -------------------------------

def molten(fraction):
    if fraction >= 0.999:
        return "yes (%.2f)" % fraction
    return ("partly (%.2f)" if fraction > 0 else "no (%.2f)") % fraction


def particle_row(label, particles):
    p = particles[0]
    if p["status"] != "arrived":
        return "| %s | — | — | %s at %.0f mm | %.3f |" % (label, p["status"].replace("_", " "), float(p["axial_mm"]),
                                                        float(p["mass_fraction"]))
    return "| %s | %.1f | %.0f | %s | %.3f |" % (label, float(p["velocity_m_s"]), float(p["surface_temperature_K"]),
                                                 molten(float(p["molten_fraction"])), float(p["mass_fraction"]))


PARTICLE_HEAD = ["| model | velocity m/s | surface K | molten | mass kept |", "|---|---:|---:|---|---:|"]

SWITCHES_ARGON = [
    ("defaults", []),
    ("drag on free-stream properties (Lee–Pfender)", ["--drag", "free-stream"]),
    ("Knudsen correction off", ["--knudsen", "off"]),
    ("radiation off", ["--radiation", "off"]),
    ("vapour shielding off", ["--vapour-shielding", "off"]),
    ("evaporation below boiling off", ["--diffusive-evaporation", "off"]),
    ("both evaporation switches off", ["--diffusive-evaporation", "off", "--vapour-shielding", "off"]),
    ("gamma 1.4 instead of 5/3", ["--gas-gamma", "1.4"]),
    ("lumped (one temperature)", ["--lumped"]),
    ("64 shells", ["--shells", "64"]),
]

SWITCHES_HYDROGEN = [
    ("defaults (gamma 1.571 from the gas)", []),
    ("drag on free-stream properties", ["--drag", "free-stream"]),
    ("Knudsen correction off", ["--knudsen", "off"]),
    ("radiation off", ["--radiation", "off"]),
    ("vapour shielding off", ["--vapour-shielding", "off"]),
    ("evaporation below boiling off", ["--diffusive-evaporation", "off"]),
    ("gamma 1.6667 (5/3)", ["--gas-gamma", "1.6667"]),
    ("lumped", ["--lumped"]),
]


def switches_table(runner, jet, cases):
    return PARTICLE_HEAD + [particle_row(label, runner.spray(jet, PARTICLE + options)[1]) for label, options in cases]


# ----- Section 6: the data of evaporation ------------------------------------------------

DATA_PARTICLE = [
    ("earlier row: 3250 K, 4.7 MJ/kg for both", EARLIER_ROW, []),
    ("its vapour-pressure curve alone measured (3800 K, 5.62 MJ/kg)", CURVE_ALONE, []),
    ("its heat alone measured (18.6 MJ/kg)", HEAT_ALONE, []),
    ("earlier row, drag on free-stream properties", EARLIER_ROW, ["--drag", "free-stream"]),
    ("earlier row, vapour shielding off", EARLIER_ROW, ["--vapour-shielding", "off"]),
    ("packaged row: 3800 K, 18.6 MJ/kg heat, 5.62 MJ/kg curve", None, []),
    ("packaged row, drag on free-stream properties", None, ["--drag", "free-stream"]),
    ("packaged row, vapour shielding off", None, ["--vapour-shielding", "off"]),
    ("packaged row, evaporation below boiling off", None, ["--diffusive-evaporation", "off"]),
]


def data_particle_table(runner):
    head = ["| data and model | velocity m/s | surface K | molten | mass kept |", "|---|---:|---:|---|---:|"]
    return head + [particle_row(label, runner.spray("hydrogen", PARTICLE + options, data)[1])
                   for label, data, options in DATA_PARTICLE]


def summary_value(summary, pattern):
    match = re.search(pattern, summary)
    if not match:
        sys.exit("particle-notes: kavel-run's summary has no line matching %r" % pattern)
    return match.groups()


def powder_row(label, summary, particles):
    """kavel-run's figures with the half-widths of their 95 % intervals, as it prints them."""
    number = r"([0-9.]+ \+- [0-9.]+)"
    velocity, = summary_value(summary, r"\n  velocity +" + number)
    temperature, = summary_value(summary, r"\n  surface temperature +" + number)
    molten_share, evaporated = summary_value(
        summary, r"molten arriving " + number + r" %, arriving [0-9.]+ \+- [0-9.]+ %, evaporated " + number + " %")
    flown, = summary_value(summary, r"\nSample: ([0-9]+) particles")
    shown = [v.replace("+-", "±") for v in (velocity, temperature, molten_share, evaporated)]
    arrived = any(p["status"] == "arrived" for p in particles)
    return "| %s | %s | %s | %s | %s %% | %s %% |" % (label, flown, *shown) + ("" if arrived else " (none arrived)")


DATA_POWDER = [
    ("earlier row: 3250 K, 4.7 MJ/kg for both", EARLIER_ROW),
    ("packaged row: 3800 K, 18.6 MJ/kg heat, 5.62 MJ/kg curve", None),
]


def data_powder_table(runner):
    head = ["| alumina data | particles | velocity (number) | surface T (number) | molten arriving | evaporated |",
            "|---|---:|---:|---:|---:|---:|"]
    return head + [powder_row(label, *runner.spray("hydrogen", POWDER, data)) for label, data in DATA_POWDER]


TABLES = {
    "data-powder": data_powder_table,
    "data-particle": data_particle_table,
    "switches-argon": lambda runner: switches_table(runner, "argon", SWITCHES_ARGON),
    "switches-hydrogen": lambda runner: switches_table(runner, "hydrogen", SWITCHES_HYDROGEN),
}


# ----- The notes file -------------------------------------------------------------------

MARKED = re.compile(r"(<!-- notes: ([a-z-]+) -->\n)(.*?)(<!-- /notes -->)", re.S)


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    mode = parser.add_mutually_exclusive_group(required=True)
    mode.add_argument("--write", action="store_true", help="write the tables into the notes")
    mode.add_argument("--check", action="store_true", help="fail when a table of the notes differs")
    parser.add_argument("--only", action="append", choices=sorted(TABLES), help="this table only (repeatable)")
    parser.add_argument("--build", default=os.path.join(ROOT, "build"), help="build tree (default build/)")
    parser.add_argument("--kavel-run", help="the kavel-run program (default: the build tree's)")
    parser.add_argument("--torvex-run", help="the torvex-run program (default: the build tree's)")
    parser.add_argument("--notes", default=NOTES, help="the notes file (default docs/particle-model.md)")
    args = parser.parse_args()
    kavel_run = args.kavel_run or os.path.join(args.build, "app", "kavel-run")
    torvex_run = args.torvex_run or os.path.join(args.build, "app", "torvex-run")
    names = args.only or sorted(TABLES)

    with open(args.notes, encoding="utf-8") as f:
        notes = f.read()
    marked = {m.group(2): m for m in MARKED.finditer(notes)}
    missing = [n for n in names if n not in marked]
    if missing:
        sys.exit("particle-notes: %s has no table %s" % (args.notes, ", ".join(missing)))

    with tempfile.TemporaryDirectory(prefix="particle-notes-") as work:
        runner = Runner(torvex_run, kavel_run, work)
        tables = {n: "\n".join(TABLES[n](runner)) + "\n" for n in names}

    differing = [n for n in names if marked[n].group(3) != tables[n]]
    if args.check:
        for n in differing:
            print("The table %s of %s differs from the program's:\n--- notes\n%s--- program\n%s"
                  % (n, args.notes, marked[n].group(3), tables[n]))
        print("%d of %d tables as the program computes them." % (len(names) - len(differing), len(names)))
        return 1 if differing else 0
    updated = MARKED.sub(lambda m: m.group(1) + tables.get(m.group(2), m.group(3)) + m.group(4), notes)
    with open(args.notes + ".tmp", "w", encoding="utf-8") as f:
        f.write(updated)
    os.replace(args.notes + ".tmp", args.notes)
    print("Wrote %s (%d tables, %d changed)." % (args.notes, len(names), len(differing)))
    return 0


if __name__ == "__main__":
    sys.exit(main())
