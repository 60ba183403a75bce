"""Spray particles into a calculated jet, and tune the injector: torvex.spray
and torvex.tune.

Both run the procedures kavel-run runs, with its options under the same
names in Python style (``--carrier-flow 4`` is ``carrier_flow=4``; a switch
takes True or False as well as "on" or "off"), its checks and its messages:
the same keywords give the same files byte for byte. With write=True the
folder's lock is held from reading the jet to writing spray.stamp, so a run
of the solver started meanwhile is refused (torvex.Busy) and no spray is
written over a jet it did not fly through; every output is checked before
the particles fly. The interpreter's lock is released while they fly;
Ctrl-C stops a spray within a second and raises KeyboardInterrupt, writing
nothing.
"""

import os
import re

from . import _torvex

__all__ = ["Spray", "Tune", "spray", "tune"]

_DEFAULT = object()


def _folder(result_or_folder):
    """The folder of a torvex.Result (anything with .folder) or a path, as
    UTF-8 text (torvex.BadInput otherwise, as for run and load)."""
    from . import _folder_text  # the package is whole by the time a spray starts
    if isinstance(result_or_folder, (str, bytes, os.PathLike)):
        return _folder_text(result_or_folder)
    folder = getattr(result_or_folder, "folder", None)
    if folder is None:
        raise TypeError("needs a torvex.Result or a folder, not %s" % type(result_or_folder).__name__)
    return _folder_text(folder)


def _keywords(material, options):
    if material is not _DEFAULT:
        options["material"] = material
    distribution = options.get("size_distribution")
    if isinstance(distribution, os.PathLike):
        options["size_distribution"] = os.fspath(distribution)
    return options


def _structured(columns):
    import numpy
    names = list(columns)
    whole = ("index", "count", "arrived", "particles")
    dtypes = [(n, "U16") if n == "status" else (n, "i8") if n in whole else (n, "f8") for n in names]
    length = len(next(iter(columns.values()))) if columns else 0
    out = numpy.zeros(length, dtype=dtypes)
    for n in names:
        out[n] = columns[n]
    return out


class _Job:
    """What a spray and a scan both carry."""

    def __init__(self, data):
        #: Remarks on the job (a jet field shorter than the standoff).
        self.notes = data["notes"]
        #: The options as used, by keyword, in the units the keywords take
        #: (lengths in the variant's length unit); None where an option is
        #: not in effect (diameter while the log-normal is used).
        self.used = data["used"]
        #: The material row used (SI units).
        self.material = data["material"]
        #: The jet: variant, gas code, length unit (1 mm, 2 in), field end, cross-sections.
        self.jet = data["jet"]
        #: The files written (with write=True), full paths.
        self.files = data["files"]
        #: kavel-run's summary of the job.
        self.summary_text = data["summary_text"]

    def __str__(self):
        return self.summary_text


class Spray(_Job):
    """The outcome of torvex.spray.

    particles: numpy structured array, one row per particle at the substrate
    plane (or where its flight ended), with every column of particles.csv
    (axial_mm, radial_mm, velocity_m_s, surface_temperature_K,
    molten_fraction, status, out_of_plane_mm, ...) and a few more
    (max_molten_fraction, initial_mass_kg, gas_temperature_K, ...).
    trajectories: {"d10", "d50", "d90": structured array of samples along the
    flight, with every column of trajectories.csv}; samples: the sampled
    population particles' trajectories.
    summary: the statistics kavel-run prints (counts, "missed" being every
    particle that did not reach the plane, number- and mass-weighted means
    and spreads, spot, mass shares, deviation_deg). Every sampled figure
    comes with the half-width of its 95 % interval (NaN where the sample
    cannot tell): the means' dicts hold half_width and mass_half_width
    beside mean and mass_mean; a share or angle X has X_half_width
    (molten_mass_share_half_width, deviation_half_width_deg, ...). And how
    the sample came about: particles (flown), count_rule ("precision",
    "fixed" or "cap"), precision_points, sample (the sentence kavel-run
    prints), sampling (the method), powder (the powder as sprayed: its
    d10/d50/d90 and basis, or the measured distribution's file and
    quantiles).
    deviation_deg: the particle jet's deviation from the torch axis.
    sensor: the in-flight sensor's reading, as sensor.csv's columns (with
    the half-widths of its means).
    size_classes: structured array with size-classes.csv's columns (with
    the half-widths of its figures).
    str(spray) is kavel-run's summary.
    """

    def __init__(self, data):
        super().__init__(data)
        self.particles = _structured(data["particles"])
        self.trajectories = {}
        self.samples = []
        for t in data["trajectories"]:
            samples = _structured(t["samples"])
            if t["label"] == "sample":
                self.samples.append(samples)
            else:
                self.trajectories[t["label"]] = samples
        self.summary = data["summary"]
        self.deviation_deg = self.summary["deviation_deg"]
        self.sensor = data["sensor"]
        self.size_classes = _structured(data["size_classes"])

    def to_pandas(self):
        """The particles as a pandas DataFrame (needs pandas)."""
        import pandas
        return pandas.DataFrame(self.particles)


class Tune(_Job):
    """The outcome of torvex.tune.

    steps: structured array, one row per setting (setting in unit,
    deviation_deg, molten_mass_share, arriving_mass_share, velocity_m_s,
    surface_temperature_K, arrived, the half-widths of those five figures'
    95 % intervals as deviation_half_width_deg, ..., and particles, the
    count flown), as tune.csv holds them.
    chosen: the index of the setting that meets the goal, or None.
    setting: that setting (SLPM or m/s), or None. unit: "SLPM" or "m/s".
    indistinct: the indices of the settings whose intervals cannot tell
    them from the chosen one; indistinct_sentence says so in words ("" when
    the chosen setting stands apart).
    csv: the text of tune.csv. str(tune) is kavel-run's table.
    """

    def __init__(self, data):
        super().__init__(data)
        self.steps = _structured(data["steps"])
        self.chosen = data["chosen"]
        self.unit = data["unit"]
        self.setting = None if self.chosen is None else float(self.steps["setting"][self.chosen])
        self.indistinct = data["indistinct"]
        self.indistinct_sentence = data["indistinct_sentence"]
        self.csv = data["csv"]


def spray(result_or_folder, material=_DEFAULT, write=False, progress=None, **options):
    """Sprays a powder into a calculated jet and returns a torvex.Spray.

    result_or_folder: a torvex.Result or a folder holding a calculated jet.
    material: key of the materials table (data/materials.csv, plus a
    materials.csv in the folder); ysz8 when not given. Particles are added
    until the molten and arriving mass shares are known to +-1 point
    (precision=, in points) unless count= fixes their number. With write=True
    particles.csv, trajectories.csv, sensor.csv, size-classes.csv and
    spray.stamp go into the folder, byte for byte as kavel-run writes them.
    progress: called as progress(percent) a few times a second.

    Raises torvex.BadInput for a refused option or jet, torvex.OutputFault
    when a file cannot be written (found before the flight: nothing
    changed), torvex.Busy when a run holds the folder.
    """
    return Spray(_torvex.spray(_folder(result_or_folder), _keywords(material, options), bool(write), progress))


def tune(result_or_folder, material=_DEFAULT, write=False, progress=None, **options):
    """Scans the carrier-gas flow (or a fixed injection speed) for a goal, as
    `kavel-run tune` does, and returns a torvex.Tune.

    Takes every keyword of torvex.spray, and the scan's (below). With
    write=True tune.csv goes into the folder (the chart tune.png is
    kavel-run's). Raises as torvex.spray does.
    """
    return Tune(_torvex.tune(_folder(result_or_folder), _keywords(material, options), bool(write), progress))


def _keyword_lines(table):
    """The keywords' help from the option table, in Python's names."""
    python_names = lambda text: re.sub(r"--([a-z-]+)", lambda m: m.group(1).replace("-", "_"), text)
    return "\n".join("    %s (%s): %s" % (name, value or "True/False", python_names(help_text))
                     for name, value, help_text in table)


if spray.__doc__ and tune.__doc__:  # python3 -OO drops them
    spray.__doc__ += "\nKeywords (kavel-run's options; lengths in the variant's length unit):\n\n" + \
        _keyword_lines(_torvex.spray_keywords()) + "\n"
    tune.__doc__ += "\nThe scan's keywords:\n\n" + _keyword_lines(_torvex.tune_keywords()) + "\n"
