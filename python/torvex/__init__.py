"""TORVEX from Python: the plasma jet of a DC arc torch, spray particles in it,
and parameter studies.

    import torvex
    v = torvex.Variant(gas="argon", diameter=8, length=14, current=500, flow=35)
    r = torvex.run(v)                    # a torvex.Result
    r.voltage, r.efficiency, r.exit_temperature
    r.axial["z"], r.axial["T"]           # numpy arrays, mm and K
    s = torvex.spray(r, material="al2o3", d10=20, d50=35, d90=60, seed=1)
    s.summary["molten_mass_share"]
    table = torvex.study({"units": {...}, "sweep": [{...}]}, jobs=2)
    table = torvex.study("plan.toml", out="/shared/plan", executor=dask_client)

Every value that can change an answer is the solver's or the spray model's
own: a run here writes and reads the same files as torvex-run and kavel-run,
and gives the same numbers.

Errors are exceptions: torvex.BadInput (refused input, also a ValueError),
torvex.NotCalculable (the model cannot calculate the variant),
torvex.OutputFault (a file could not be written, also an OSError with errno
and filename), torvex.Busy (another run uses the folder); all derive from
torvex.Error. Their messages are those of the terminal programs. An input
the model does not take as entered (out of its range, off its steps) is a
torvex.TorvexWarning naming the value used, and is listed in Result.notes;
run(..., strict=True) refuses such a variant instead.
"""

try:
    import numpy  # noqa: F401  (every array of a result is a numpy array)
except ImportError as missing:
    raise ImportError("torvex needs numpy, which is not installed (Debian: apt install python3-numpy); "
                      "nothing was run.") from missing

import csv
import math
import numbers
import os
import tempfile
import warnings

from . import _torvex

__all__ = ["Variant", "Result", "Spray", "Tune", "run", "load", "spray", "tune", "study", "GASES",
           "Error", "BadInput", "NotCalculable", "OutputFault", "Busy", "TorvexWarning", "__version__"]

#: The version of the TORVEX build this module belongs to.
__version__ = _torvex.version

Error = _torvex.Error
BadInput = _torvex.BadInput
NotCalculable = _torvex.NotCalculable
OutputFault = _torvex.OutputFault
Busy = _torvex.Busy


def _sentence(fault):
    return str(fault.args[0]) if fault.args else ""


# An output fault names the file and the fault in the programs' sentence;
# errno, strerror and filename are there as on every OSError, but do not
# replace the sentence as OSError's own text would.
OutputFault.__str__ = _sentence


class TorvexWarning(UserWarning):
    """An input the model did not take as entered: out of its range, off its
    steps, or rounded by ip.dat's columns. The message names the value used,
    as torvex-run prints it."""


def _folder_text(folder):
    """A folder as the cores take it: UTF-8 text (bytes or str), else
    torvex.BadInput; TORVEX's files and messages name it as text."""
    path = os.fspath(folder)
    try:
        if isinstance(path, bytes):
            return path.decode("utf-8")
        path.encode("utf-8")
        return path
    except (UnicodeDecodeError, UnicodeEncodeError):
        raise BadInput("the folder name %r is not UTF-8 text, which TORVEX needs to name its files." % (path,)) \
            from None


def _data_folder():
    """The gas tables and materials: share/torvex of the prefix this package
    is installed in (<prefix>/lib/python3/dist-packages/torvex); only for the
    module of the build tree the source tree's data folder. An installed
    copy never reads the source tree, even where it still exists."""
    here = os.path.dirname(os.path.abspath(__file__))
    installed = os.path.normpath(os.path.join(here, "..", "..", "..", "..", "share", "torvex"))
    build_tree = os.path.abspath(_torvex.build_tree_folder)
    if os.path.commonpath([here, build_tree]) == build_tree:
        return _torvex.source_data_folder
    return installed


_torvex.set_data_folder(_data_folder())

from .spraying import Spray, Tune, spray, tune  # noqa: E402  (after the data folder is set)

# ----- Gases and units --------------------------------------------------------

#: Gas codes of ip.dat by name. Mixtures name the admixture's volume share.
GASES = {"argon": 1, "ar": 1, "nitrogen": 2, "n2": 2}
for _k in range(5):
    GASES["argon+hydrogen %d%%" % (5 * (_k + 1))] = 5 + _k
    GASES["ar+h2 %d%%" % (5 * (_k + 1))] = 5 + _k
    GASES["argon+helium %d%%" % (10 * (_k + 1))] = 10 + _k
    GASES["ar+he %d%%" % (10 * (_k + 1))] = 10 + _k

_GAS_NAMES = {1: "argon", 2: "nitrogen"}
_GAS_NAMES.update({5 + k: "argon+hydrogen %d%%" % (5 * (k + 1)) for k in range(5)})
_GAS_NAMES.update({10 + k: "argon+helium %d%%" % (10 * (k + 1)) for k in range(5)})

_UNIT_WORDS = {"length": ("mm", "in"), "temperature": ("K", "F", "C"), "flow": ("SLPM", "SCFH")}


def _gas_code(gas):
    if isinstance(gas, bool):
        raise BadInput("gas %r names no plasma gas." % (gas,))
    if isinstance(gas, numbers.Real):
        if gas in _GAS_NAMES:
            return int(gas)
        raise BadInput("gas code %r names no plasma gas (1, 2 or 5 to 14)." % (gas,))
    if isinstance(gas, str):
        key = " ".join(gas.lower().replace(" + ", "+").replace(" +", "+").replace("+ ", "+").split())
        key = key.replace(" %", "%")
        if key in GASES:
            return GASES[key]
        raise BadInput('gas "%s" is none of: %s.' % (gas, ", ".join(_GAS_NAMES.values())))
    raise BadInput("gas %r names no plasma gas." % (gas,))


def _unit_codes(units):
    """(length, temperature, flow) codes from a dict like a study file's
    [units] table; what is not given is mm, K, SLPM."""
    units = dict(units or {})
    codes = []
    for key, words in _UNIT_WORDS.items():
        word = units.pop(key, words[0])
        lowered = [w.lower() for w in words]
        if not isinstance(word, str) or word.lower() not in lowered:
            raise BadInput('units: %s must be one of %s, not %r.' % (key, ", ".join(words), word))
        codes.append(lowered.index(word.lower()) + 1)
    if units:
        raise BadInput("units: unknown key %s (length, temperature, flow)." % ", ".join(map(repr, units)))
    return tuple(codes)


def _unit_words(codes):
    return {key: words[code - 1] for (key, words), code in zip(_UNIT_WORDS.items(), codes)}


# ----- The jet ------------------------------------------------------------------

class Variant:
    """One variant of the torch: gas, anode diameter and length, arc current
    and gas flow rate, in the given units.

    Variant(gas="argon", diameter=8, length=14, current=500, flow=35,
            units={"length": "mm", "temperature": "K", "flow": "SLPM"})

    gas: a name ("argon", "nitrogen", "argon+hydrogen 5%" .. "25%" in steps
    of 5, "argon+helium 10%" .. "50%" in steps of 10; "Ar", "N2", "Ar+H2 15%"
    also) or the code of ip.dat (1, 2, 5..14). diameter and length in mm (or
    inches), current in A, flow in SLPM (or SCFH). The model clamps and rounds
    these into the ranges where the torch model holds, exactly as the desktop
    program and torvex-run do; `used` shows the values it will take (in mm,
    A and SLPM, whatever the units). Values the input file cannot carry raise
    torvex.BadInput naming the value.
    """

    def __init__(self, gas, diameter, length, current, flow, units=None):
        self.gas = _gas_code(gas)
        self.units = _unit_words(_unit_codes(units))
        self._codes = _unit_codes(self.units)
        values = {"diameter": diameter, "length": length, "current": current, "flow": flow}
        for name, value in values.items():
            if isinstance(value, bool) or not isinstance(value, numbers.Real) or not math.isfinite(value) \
                    or value < 0:
                raise BadInput("%s needs a non-negative number, not %r." % (name, value))
        self.diameter, self.length = float(diameter), float(length)
        self.current, self.flow = float(current), float(flow)
        #: The values the solver will use, as Result.used gives them: gas
        #: code, diameter (mm, even tenths), length (whole mm), current (A,
        #: multiple of 10), flow (SLPM; a multiple of 5 in the flow unit).
        self.used = _torvex.check_variant(self.gas, self.diameter, self.length, self.current, self.flow,
                                          self._codes)

    @property
    def gas_name(self):
        return _GAS_NAMES[self.gas]

    def __repr__(self):
        u = self.units
        return "Variant(gas=%r, diameter=%g, length=%g, current=%g, flow=%g, units=%r)  # used: %r" % (
            self.gas_name, self.diameter, self.length, self.current, self.flow, u, self.used)


class Result:
    """The results of a calculated variant (from torvex.run or torvex.load).

    voltage (V), power (kW), efficiency (%): the torch's integral figures
    (nan where iop.par holds asterisks: the value did not fit its field).
    exit_temperature (K), exit_velocity (m/s): on the axis at the nozzle exit.
    axial: {"z" mm from the nozzle exit, "T" K, "u" m/s} along the axis.
    radial: five sections {"z", "r" mm, "T" K, "u" m/s} at 0, 5, 20, 50 and
    100 mm (0, 0.2, 1, 2 and 4 in in inch mode; "z" in mm either way).
    isotherms: {"z" mm, "radius" mm (one column per level; nan where no part
    of the jet reaches the level), "levels" K}.
    field: {"z" mm, "r" mm, "T" K, "u" axial and "v" radial velocity m/s},
    T, u and v of shape (len(z), len(r)): the jet as ftu.res holds it.
    used: the values the solver used, in mm, A and SLPM whatever the units
    of the run: {"gas", "diameter", "length", "current", "flow"}.
    notes: one sentence for each input not taken as entered (also warned as
    torvex.TorvexWarning by run). folder: where the files are; units: the
    units the run was calculated in (un.dat), which name the files' columns.
    Every figure and array here is in the units of UNITS, whatever those are.
    """

    #: The unit of every figure and array column.
    UNITS = {"voltage": "V", "power": "kW", "efficiency": "%", "exit_temperature": "K",
             "exit_velocity": "m/s", "z": "mm", "r": "mm", "radius": "mm", "T": "K", "u": "m/s",
             "v": "m/s", "levels": "K", "solver_seconds": "s", "diameter": "mm", "length": "mm",
             "current": "A", "flow": "SLPM"}

    def __init__(self, data, keep=None):
        self._keep = keep  # the temporary folder lives as long as its result
        self.folder = data["folder"]
        self.units = _unit_words(data["units"])
        self.used = data["used"]
        self.notes = list(data.get("notes", []))
        self.voltage, self.power, self.efficiency = data["voltage"], data["power"], data["efficiency"]
        self.axial, self.radial = data["axial"], data["radial"]
        self.isotherms, self.field = data["isotherms"], data["field"]
        self.exit_temperature = float(self.axial["T"][0])
        self.exit_velocity = float(self.axial["u"][0])
        self.solver_seconds = data.get("solver_seconds")

    def __repr__(self):
        return "<torvex.Result %s: %.1f V, %.1f kW, %g %%, exit %.0f K, %.0f m/s>" % (
            self.folder, self.voltage, self.power, self.efficiency, self.exit_temperature,
            self.exit_velocity)

    def to_xarray(self):
        """The jet as an xarray.Dataset (needs python3-xarray): the field T,
        u, v over the coordinates z and r (mm from the nozzle exit and the
        axis), the axis profile T_axis, u_axis over z_axis, and the isotherm
        radii over z_isotherm and level (K; nan where the jet does not reach
        the level). Every variable and coordinate carries its unit in
        attrs["units"]; the integral figures and the values used are
        attributes of the dataset."""
        import xarray
        units = self.UNITS

        def coordinate(values, unit, name):
            return values, {"units": unit, "long_name": name}

        field, axial, isotherms = self.field, self.axial, self.isotherms
        data = {
            "T": (("z", "r"), field["T"], {"units": units["T"], "long_name": "temperature"}),
            "u": (("z", "r"), field["u"], {"units": units["u"], "long_name": "axial velocity"}),
            "v": (("z", "r"), field["v"], {"units": units["v"], "long_name": "radial velocity"}),
            "T_axis": (("z_axis",), axial["T"], {"units": units["T"], "long_name": "axis temperature"}),
            "u_axis": (("z_axis",), axial["u"], {"units": units["u"], "long_name": "axis velocity"}),
            "isotherm_radius": (("z_isotherm", "level"), isotherms["radius"],
                                {"units": units["radius"], "long_name": "radius of the isotherm"}),
        }
        coords = {
            "z": ("z",) + coordinate(field["z"], units["z"], "distance from the nozzle exit"),
            "r": ("r",) + coordinate(field["r"], units["r"], "radius"),
            "z_axis": ("z_axis",) + coordinate(axial["z"], units["z"], "distance from the nozzle exit"),
            "z_isotherm": ("z_isotherm",) + coordinate(isotherms["z"], units["z"], "distance from the nozzle exit"),
            "level": ("level",) + coordinate(isotherms["levels"], units["levels"], "isotherm level"),
        }
        attrs = {"folder": self.folder, "voltage_V": self.voltage, "power_kW": self.power,
                 "efficiency_percent": self.efficiency}
        attrs.update({"used_%s_%s" % (key, units.get(key, "code")): value for key, value in self.used.items()})
        return xarray.Dataset(data, coords=coords, attrs=attrs)


def _warn_notes(notes):
    for note in notes:
        warnings.warn(note, TorvexWarning, stacklevel=3)


def run(variant, folder=None, strict=False):
    """Runs `variant` (a torvex.Variant) and returns a torvex.Result.

    Without `folder` the run happens in a temporary folder that lives as long
    as the result. With `folder` (an existing directory) un.dat, ip.dat,
    iop.par and the result files are written there, exactly as torvex-run
    writes them, under the folder's lock: torvex.Busy when another run holds
    it. Every refusal that can be foreseen (the lock, a directory at an
    output's name, an unwritable folder) comes before anything is written.
    The interpreter's lock is released while the solver runs, so threads run
    variants in parallel, each with results equal to a single run's.

    Each input the model does not take as entered is warned as a
    torvex.TorvexWarning and listed in Result.notes; with strict=True such a
    variant raises torvex.BadInput naming the values, and nothing is written.

    Raises torvex.NotCalculable when the model cannot calculate the variant,
    torvex.BadInput for a refused input, torvex.OutputFault (with errno and
    filename) when a file cannot be written.
    """
    if not isinstance(variant, Variant):
        raise TypeError("run() needs a torvex.Variant, not %s" % type(variant).__name__)
    keep = None
    if folder is None:
        keep = tempfile.TemporaryDirectory(prefix="torvex-")
        folder = keep.name
    try:
        data = _torvex.run(variant.gas, variant.diameter, variant.length, variant.current, variant.flow,
                           variant._codes, _folder_text(folder), bool(strict))
        result = Result(data, keep)
        _warn_notes(result.notes)
    except BaseException:
        if keep is not None:  # no result: its folder goes now, not at exit
            keep.cleanup()
        raise
    return result


def load(folder):
    """Reads the finished result set of a folder (iop.par, ztu0.res, ilt.res,
    rtu*.res, ftu.res, un.dat) into a torvex.Result; torvex.BadInput naming
    the file when it is missing or malformed."""
    return Result(_torvex.load(_folder_text(folder)))


# ----- Studies ----------------------------------------------------------------------

def _toml_value(value):
    if isinstance(value, str):
        return '"%s"' % value.replace("\\", "\\\\").replace('"', '\\"')
    if isinstance(value, bool):
        return "true" if value else "false"
    if isinstance(value, (int, float)):
        return repr(value)
    if isinstance(value, dict):
        return "{ " + ", ".join("%s = %s" % (k, _toml_value(v)) for k, v in value.items()) + " }"
    if isinstance(value, (list, tuple, range)):
        return "[" + ", ".join(_toml_value(v) for v in value) + "]"
    raise BadInput("the study plan holds %r, which a study file cannot." % (value,))


def _plan_toml(plan):
    """The TOML text of a plan given as a dict with a study file's keys."""
    lines = []
    if "units" in plan:
        lines.append("[units]")
        lines += ["%s = %s" % (k, _toml_value(v)) for k, v in plan["units"].items()]
    sweeps = plan.get("sweep", [])
    for sweep in [sweeps] if isinstance(sweeps, dict) else sweeps:
        lines.append("[[sweep]]")
        sweep = dict(sweep)
        if "gas" in sweep:  # names as Variant takes them, codes for the study file
            gas = sweep["gas"]
            name = lambda g: _gas_code(g) if isinstance(g, str) and g != "all" else g
            sweep["gas"] = [name(g) for g in gas] if isinstance(gas, (list, tuple)) else name(gas)
        lines += ["%s = %s" % (k, _toml_value(v)) for k, v in sweep.items()]
    extra = set(plan) - {"units", "sweep"}
    if extra:  # passed on, so that the reader names the key as it would in a file
        lines.insert(0, "\n".join("%s = %s" % (k, _toml_value(plan[k])) for k in sorted(extra)))
    return "\n".join(lines) + "\n"


def study(plan, jobs=None, out=None, progress=None, executor=None, max_variants=None):
    """Runs a parameter study and returns its table.

    plan: a dict with a study file's keys (gases also by name), e.g.
        {"units": {"length": "mm", "temperature": "K", "flow": "SLPM"},
         "sweep": [{"gas": 1, "diameter": 8.0, "length": 14,
                    "current": {"from": 500, "to": 900, "step": 50},
                    "flow": [35, 50]}]}
    or the path of a study file (TOML). jobs: threads (default: one per
    core). out: the study folder (variants/<name> and study.csv, as
    `torvex-run study --out` writes them; a study stopped there resumes
    when run again); without it a temporary folder, removed before the call
    returns, so the table's "directory" column is then empty. progress:
    called as progress(done, total) a few times a second. max_variants: a
    plan asking for more combinations of values is refused before anything
    runs, with torvex-run's sentence (default 100 000, as `torvex-run study
    --max-variants`).

    executor: run the variants as tasks of a concurrent.futures.Executor
    instead of local threads: a ThreadPoolExecutor, a ProcessPoolExecutor,
    a dask.distributed Client (its get_executor(), or the Client itself) or
    any other. Each task runs one variant, by its index in the plan, through
    the same procedure as a local study (the variant folder's lock, the
    output checks, its row file) and returns its row; the table is then
    written here from the rows, byte for byte the table of a local study or
    of `torvex-run study`. A task carries only plain values (the plan's
    TOML text, out as an absolute path, the index), so the workers may be
    other processes or machines; they need the torvex module and must see
    out at the same path (a shared file system; pass out= for a cluster
    beyond this machine). jobs then is the number of tasks submitted at once
    (default: the executor's workers where it tells them, else one per core
    here); a new task is submitted as one ends.

    Returns the table of study.csv: a pandas DataFrame when pandas is
    installed, else a list of dicts (column header -> text). Ctrl-C (or an
    exception of progress) lets the running variants finish (with an
    executor: submits no new task and waits for those submitted) and raises
    KeyboardInterrupt; the table is then not written. A variant whose files
    could not be written (a full disk) or whose folder another program holds
    is no result: the call raises torvex.OutputFault or torvex.Busy after
    writing the table, and the same call computes those variants again. A
    task that fails in the executor (a worker that died) raises its
    exception once the running tasks are done, with no table; the variants
    already finished are kept for the next call.
    """
    if isinstance(plan, dict):
        text, name = _plan_toml(plan), "<plan>"
    else:
        name = os.fspath(plan)
        with open(name, encoding="utf-8") as f:
            text = f.read()
    if executor is not None and not callable(getattr(executor, "submit", None)):
        raise TypeError("executor needs a submit method (a concurrent.futures.Executor or a dask Client), "
                        "not %s" % type(executor).__name__)
    if jobs is None:
        jobs = _executor_workers(executor) if executor is not None else (os.cpu_count() or 1)
    if not isinstance(jobs, int) or isinstance(jobs, bool) or jobs < 1:
        raise BadInput("jobs must be a whole number of at least 1, not %r." % (jobs,))
    if max_variants is None:
        max_variants = _torvex.default_max_variants
    if not isinstance(max_variants, int) or isinstance(max_variants, bool) or max_variants < 1:
        raise BadInput("max_variants must be a whole number of at least 1, not %r." % (max_variants,))
    keep = None
    if out is None:
        keep = tempfile.TemporaryDirectory(prefix="torvex-study-")
        out = keep.name
    try:
        out = _folder_text(out)
        # The study's core makes the folders it writes into, as for torvex-run.
        if executor is None:
            table = _torvex.study(text, name, out, jobs, progress, max_variants)
        else:
            total = _torvex.study_size(text, name, max_variants)
            out = os.path.abspath(out)  # the workers' working folder may be another
            table = _study_on(_futures_executor(executor), text, name, out, total, jobs, progress)
        return _read_table(table, keep_folders=keep is None)
    finally:
        if keep is not None:
            keep.cleanup()


def _run_study_variant(text, name, out, index, call):
    """The task of one variant of a study on an executor (a module-level
    function, so that it pickles by name). `call` is new for each call of
    study, so that an executor remembering results by their arguments (a
    Dask Client's pure tasks) runs the variant again: a resumed study must
    look at the folders again."""
    return _torvex.study_variant(text, name, out, index)


def _futures_executor(executor):
    """A dask Client runs the tasks through its concurrent.futures face."""
    if callable(getattr(executor, "get_executor", None)):
        return executor.get_executor()
    return executor


def _executor_workers(executor):
    """How many tasks the executor runs at once, where it tells: a dask
    Client's threads over its workers, a standard pool's workers."""
    client = getattr(executor, "_client", executor)  # a Client's executor holds its Client
    if callable(getattr(client, "nthreads", None)):
        try:
            return max(1, sum(client.nthreads().values()))
        except Exception:  # a Client without workers yet
            pass
    workers = getattr(executor, "_max_workers", None)
    return workers if isinstance(workers, int) and workers > 0 else (os.cpu_count() or 1)


def _study_on(executor, text, name, out, total, jobs, progress):
    """The variants of a study as tasks of `executor`, at most `jobs` at a
    time; the table from their rows. On Ctrl-C, an exception of progress
    or of a task, or a variant folder that cannot be made, no new task is
    submitted, those submitted are waited for, and no table is written."""
    import concurrent.futures as cf
    results = [None] * total
    call = os.urandom(8).hex()
    running, submitted, done = set(), 0, 0
    fault, stop = None, False
    try:
        while submitted < total or running:
            while not stop and submitted < total and len(running) < jobs:
                running.add(executor.submit(_run_study_variant, text, name, out, submitted, call))
                submitted += 1
            if not running:
                break
            finished, running = cf.wait(running, timeout=0.25, return_when=cf.FIRST_COMPLETED)
            for future in finished:
                try:
                    result = future.result()
                except BaseException as e:  # a worker that died, a task the executor cancelled
                    fault, stop = fault or e, True
                    continue
                results[result[0]] = result
                done += 1
                stop = stop or result[5]  # a variant folder that cannot be made ends the study
            if progress is not None:
                progress(done, total)
    except BaseException:
        # Ctrl-C or the progress callback: the submitted variants finish
        # (their folders stay locked until their rows are written), then it
        # is raised; a second Ctrl-C leaves at once.
        cf.wait(running)
        raise
    if fault is not None:
        raise fault
    return _torvex.study_table(text, name, out, results)


def _read_table(path, keep_folders=True):
    """The table; without its variant folders the "directory" column is
    emptied rather than naming folders that are gone."""
    try:
        import pandas
    except ImportError:
        with open(path, newline="", encoding="utf-8") as f:
            rows = list(csv.DictReader(f))
        for row in rows if not keep_folders else []:
            row["directory"] = ""
        return rows
    table = pandas.read_csv(path)
    if not keep_folders:
        table["directory"] = ""
    return table
