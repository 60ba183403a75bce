# The Python module against the terminal programs: the same files, the same
# numbers, the same refusals. Run by ctest with PYTHONPATH at the build tree's
# module and TORVEX_RUN / KAVEL_RUN naming the programs; without them the
# comparisons with the programs are skipped.
import errno
import fcntl
import os
import signal
import shutil
import subprocess
import sys
import threading
import time
import warnings
from concurrent.futures import ProcessPoolExecutor, ThreadPoolExecutor

import numpy
import pytest

import torvex

TORVEX_RUN = os.environ.get("TORVEX_RUN")
KAVEL_RUN = os.environ.get("KAVEL_RUN")
needs_programs = pytest.mark.skipif(not (TORVEX_RUN and KAVEL_RUN),
                                    reason="TORVEX_RUN and KAVEL_RUN do not name the built programs")
RESULT_FILES = ["un.dat", "ip.dat", "iop.par", "ilt.res", "ztu0.res", "rtu0.res", "rtu5.res",
                "rtu20.res", "rtu50.res", "rtu100.res", "ftu.res"]
SPRAY_FILES = ["particles.csv", "trajectories.csv", "sensor.csv", "size-classes.csv", "spray.stamp"]
# The argon reference variant and argon + 15 % hydrogen (tests/golden/variants.txt).
VARIANTS = {"argon": ("argon", 8, 14, 500, 35), "hydrogen": ("argon+hydrogen 15%", 8, 22, 600, 45)}


def program_run(folder, gas, d, l, i, f):
    subprocess.run([TORVEX_RUN, "--gas", str(gas), "--diameter", str(d), "--length", str(l),
                    "--current", str(i), "--flow", str(f), "--no-progress", str(folder)],
                   check=True, stdout=subprocess.DEVNULL)


def same_files(a, b, names):
    for name in names:
        assert (a / name).read_bytes() == (b / name).read_bytes(), name


def field_of_file(path):
    """ftu.res parsed here on its own: records of 3 blocks of 101 values in
    8-column fields, ten to a line."""
    lines = path.read_text().splitlines()
    values = [float(line[k:k + 8]) for line in lines for k in range(0, len(line), 8)]
    records = numpy.array(values).reshape(-1, 3, 101)
    return records[:, 0], records[:, 1], records[:, 2]


@pytest.fixture(scope="module")
def argon_jet(tmp_path_factory):
    folder = tmp_path_factory.mktemp("argon")
    return torvex.run(torvex.Variant(*VARIANTS["argon"]), folder=folder)


@needs_programs
@pytest.mark.parametrize("name,code", [("argon", 1), ("hydrogen", 7)])
def test_run_writes_the_files_of_torvex_run(tmp_path, name, code):
    gas, d, l, i, f = VARIANTS[name]
    (tmp_path / "py").mkdir(), (tmp_path / "cli").mkdir()
    result = torvex.run(torvex.Variant(gas, d, l, i, f), folder=tmp_path / "py")
    program_run(tmp_path / "cli", code, d, l, i, f)
    same_files(tmp_path / "py", tmp_path / "cli", RESULT_FILES)
    t, u, v = field_of_file(tmp_path / "cli" / "ftu.res")
    numpy.testing.assert_array_equal(result.field["T"], t)
    numpy.testing.assert_array_equal(result.field["u"], u)
    numpy.testing.assert_array_equal(result.field["v"], v)
    assert result.field["z"][-1] == 200 and result.field["r"][-1] == 25
    loaded = torvex.load(tmp_path / "cli")
    assert (loaded.voltage, loaded.power, loaded.efficiency) == (result.voltage, result.power, result.efficiency)
    numpy.testing.assert_array_equal(loaded.axial["T"], result.axial["T"])
    assert result.exit_temperature == result.axial["T"][0] > 5000


@needs_programs
def test_spray_writes_the_files_of_kavel_run(tmp_path, argon_jet):
    for side in ("py", "cli"):
        shutil.copytree(argon_jet.folder, tmp_path / side)
    options = ["--material", "al2o3", "--d10", "20", "--d50", "35", "--d90", "60", "--count", "300",
               "--seed", "7", "--standoff", "90", "--threads", "2"]
    subprocess.run([KAVEL_RUN, *options, "--no-progress", str(tmp_path / "cli")], check=True,
                   stdout=subprocess.DEVNULL)
    s = torvex.spray(tmp_path / "py", material="al2o3", d10=20, d50=35, d90=60, count=300, seed=7,
                     standoff=90, threads=1, write=True)
    same_files(tmp_path / "py", tmp_path / "cli", ["particles.csv", "trajectories.csv"])
    assert len(s.particles) == 300 and set(s.trajectories) == {"d10", "d50", "d90"}
    assert s.summary["total"] == 300 and 0 <= s.summary["molten_mass_share"] <= 1
    # A fixed injection speed, as --injection-velocity gives it: every file and the summary.
    cli = subprocess.run([KAVEL_RUN, "--injection-velocity", "10", "--count", "300", "--no-progress",
                          str(tmp_path / "cli")], check=True, capture_output=True, text=True).stdout
    s = torvex.spray(tmp_path / "py", injection_velocity=10, count=300, write=True)
    same_files(tmp_path / "py", tmp_path / "cli", SPRAY_FILES)
    assert cli.startswith(str(s)) and s.used["injection_velocity"] == 10 and s.used["carrier_flow"] is None
    columns = [l for l in (tmp_path / "cli" / "particles.csv").read_text().splitlines() if not l.startswith("#")]
    header = columns[0].split(",")
    assert set(header) <= set(s.particles.dtype.names)
    assert s.sensor["count"] == int((tmp_path / "cli" / "sensor.csv").read_text().splitlines()[-1].split(",")[4])
    assert len(s.size_classes) == 8 and "deviation" in cli and "%.2f +- " % s.deviation_deg in cli
    assert "out_of_plane_mm" in s.trajectories["d50"].dtype.names
    # Without a count, batches are added until both main shares are known to +-1 point.
    s = torvex.spray(argon_jet, standoff=30, lumped=True)
    assert s.summary["count_rule"] == "precision" and s.used["count"] is None and s.used["precision"] == 1
    assert s.summary["particles"] == len(s.particles) and len(s.particles) % 100 == 0
    assert max(s.summary["molten_mass_share_half_width"], s.summary["deposited_mass_share_half_width"]) <= 0.01
    assert 0 < s.summary["velocity_m_s"]["half_width"] and 0 < s.sensor["velocity_mean_half_width_m_s"]
    assert s.summary["powder"] == "d10/d50/d90 = 20.0/40.0/70.0 um by volume (log-normal)"
    assert not numpy.isnan(s.size_classes["molten_share_half_width"]).any()


def test_tune_writes_the_table_of_kavel_run_tune(tmp_path, argon_jet):
    for side in ("py", "cli"):
        shutil.copytree(argon_jet.folder, tmp_path / side)
    cli = subprocess.run([KAVEL_RUN, "tune", "--steps", "3", "--from", "2", "--count", "60", "--no-progress",
                          str(tmp_path / "cli")], check=True, capture_output=True, text=True).stdout
    t = torvex.tune(tmp_path / "py", steps=3, from_=2, count=60, write=True)
    same_files(tmp_path / "py", tmp_path / "cli", ["tune.csv"])
    assert cli.startswith(str(t)) and len(t.steps) == 3 and t.setting == t.steps["setting"][t.chosen]
    # 60 particles are one batch: no interval, so no setting can be told apart from the chosen one.
    assert list(t.steps["particles"]) == [60] * 3 and numpy.isnan(t.steps["deviation_half_width_deg"]).all()
    assert len(t.indistinct) == 2 and "cannot be told apart" in t.indistinct_sentence
    with pytest.raises(torvex.BadInput, match="steps must be a whole number from 2 to 100"):
        torvex.tune(tmp_path / "py", steps=1)


def test_a_spray_holds_the_folder_from_the_jet_to_its_stamp(tmp_path, argon_jet):
    folder = tmp_path / "jet"
    shutil.copytree(argon_jet.folder, folder)
    before = {f.name: f.read_bytes() for f in folder.iterdir()}
    with open(folder / ".torvex.lock", "w") as held:  # a run of the solver holds the folder
        fcntl.flock(held, fcntl.LOCK_EX)
        with pytest.raises(torvex.Busy):
            torvex.spray(folder, count=20, write=True)
    assert {f.name: f.read_bytes() for f in folder.iterdir()} == before
    refusals = []

    def race(percent):  # a run started while the particles fly is refused and changes nothing
        if not refusals:
            run = subprocess.run([TORVEX_RUN, "--current", "800", "--gas", "1", "--diameter", "8", "--length", "14",
                                  "--flow", "35", "--no-progress", str(folder)], capture_output=True, text=True)
            refusals.append(run.returncode)
            with pytest.raises(torvex.Busy):
                torvex.run(torvex.Variant(*VARIANTS["argon"]), folder=folder)
            refusals.append({f.name: f.read_bytes() for f in folder.iterdir()} == before)

    torvex.spray(folder, count=50, write=True, progress=race)
    assert refusals == [6, True] and (folder / "spray.stamp").exists()
    assert (folder / "results.stamp").read_bytes() == before["results.stamp"]


def test_a_refused_spray_changes_nothing_and_ctrl_c_stops_one(tmp_path, argon_jet):
    folder = tmp_path / "jet"
    shutil.copytree(argon_jet.folder, folder)
    (folder / "particles.csv").mkdir()
    flown = []
    with pytest.raises(torvex.OutputFault, match="particles.csv.*Nothing was changed"):
        torvex.spray(folder, write=True, progress=flown.append)
    assert flown == [] and not (folder / "sensor.csv").exists()
    cli = subprocess.run([KAVEL_RUN, "--no-progress", str(folder)], capture_output=True, text=True)
    assert cli.returncode == 5 and "Nothing was changed" in cli.stderr and cli.stdout == ""
    (folder / "particles.csv").rmdir()
    with pytest.raises(torvex.BadInput, match="material needs a value, not None"):
        torvex.spray(folder, material=None)
    with pytest.raises(torvex.BadInput, match="count needs a number, not '0x10'"):
        torvex.spray(folder, count="0x10")
    sent = []

    def interrupt(percent):
        if not sent:
            sent.append(time.monotonic())
            os.kill(os.getpid(), signal.SIGINT)

    with pytest.raises(KeyboardInterrupt):
        torvex.spray(folder, count=20000, write=True, progress=interrupt)
    assert time.monotonic() - sent[0] < 1 and not (folder / "particles.csv").exists()


def test_two_threads_give_the_results_of_single_runs():
    variants = [torvex.Variant(*VARIANTS[k]) for k in ("argon", "hydrogen")]
    single = [torvex.run(v) for v in variants]
    together = [None, None]

    def work(k):
        together[k] = torvex.run(variants[k])

    threads = [threading.Thread(target=work, args=(k,)) for k in (0, 1)]
    for t in threads:
        t.start()
    for t in threads:
        t.join()
    for a, b in zip(single, together):
        for key in ("T", "u", "v"):
            numpy.testing.assert_array_equal(a.field[key], b.field[key])
        assert (a.voltage, a.efficiency) == (b.voltage, b.efficiency)


def test_refusals_raise_the_exception_of_their_kind(tmp_path, argon_jet):
    with pytest.raises(torvex.BadInput, match="xenon"):
        torvex.Variant("xenon", 8, 14, 500, 35)
    with pytest.raises(torvex.BadInput, match="gas code 3"):
        torvex.Variant(3, 8, 14, 500, 35)
    with pytest.raises(ValueError, match="-2"):
        torvex.Variant("argon", -2, 14, 500, 35)
    with pytest.raises(torvex.BadInput, match="current below 10000"):
        torvex.Variant("argon", 8, 14, 12000, 35)
    with pytest.raises(torvex.BadInput, match="furlong"):
        torvex.Variant("argon", 8, 14, 500, 35, units={"length": "furlong"})
    assert torvex.Variant("Ar", 8.1, 14, 504, 36).used == {"gas": 1, "diameter": 8.2, "length": 14,
                                                            "current": 500, "flow": 35}
    with pytest.raises(torvex.NotCalculable, match="did not converge"):
        torvex.run(torvex.Variant("argon+helium 40%", 11, 50, 1400, 50))
    with open(tmp_path / ".torvex.lock", "w") as held:
        fcntl.flock(held, fcntl.LOCK_EX)
        with pytest.raises(torvex.Busy):
            torvex.run(torvex.Variant(*VARIANTS["argon"]), folder=tmp_path)
    with pytest.raises(torvex.BadInput, match="iop.par"):
        torvex.load(tmp_path)
    with pytest.raises(torvex.BadInput, match='no material "unobtainium"'):
        torvex.spray(argon_jet, material="unobtainium")
    with pytest.raises(torvex.BadInput, match="count must be a whole number"):
        torvex.spray(argon_jet, count=2.5)
    with pytest.raises(TypeError, match="d55"):
        torvex.spray(argon_jet, d55=3)
    # Refused before anything changes, from Python as from the terminal.
    (tmp_path / "ip.dat").write_text(" 2  8.00 14.00  300  35\n")
    (tmp_path / "ftu.res").mkdir()
    with pytest.raises(torvex.OutputFault, match="ftu.res.*Nothing was changed") as fault:
        torvex.run(torvex.Variant(*VARIANTS["argon"]), folder=tmp_path)
    assert (fault.value.errno, fault.value.filename) == (errno.EISDIR, str(tmp_path / "ftu.res"))
    assert isinstance(fault.value, OSError) and not (tmp_path / "un.dat").exists()
    if TORVEX_RUN:
        program = subprocess.run([TORVEX_RUN, "--gas", "1", "--diameter", "8", "--length", "14", "--current", "500",
                                  "--flow", "35", "--no-progress", str(tmp_path)], capture_output=True, text=True)
        assert program.returncode == 5 and "Nothing was changed" in program.stderr
    assert (tmp_path / "ip.dat").read_text() == " 2  8.00 14.00  300  35\n"
    with pytest.raises(torvex.Error, match="UTF-8"):
        torvex.load(os.fsencode(str(tmp_path)) + b"/\xff")
    with pytest.raises(torvex.BadInput, match="path too long"):
        torvex.run(torvex.Variant(*VARIANTS["argon"]), folder=str(tmp_path) + "/x" * 3000)


def test_changed_inputs_warn_strict_refuses_and_used_is_what_the_solver_used(tmp_path):
    with pytest.warns(torvex.TorvexWarning, match="20 mm was used"):
        result = torvex.run(torvex.Variant("argon", 11, 14, 800, 50))
    assert result.used == {"gas": 1, "diameter": 11.0, "length": 20, "current": 800, "flow": 50.0}
    assert result.used == torvex.Variant("argon", 11, 14, 800, 50).used
    assert result.notes and "anode length 14.00 mm" in result.notes[0]
    with pytest.raises(torvex.BadInput, match="900 A was used.*strict") as refused:
        torvex.run(torvex.Variant("argon", 8, 14, 2000, 35), folder=tmp_path, strict=True)
    assert refused.value.notes and os.listdir(tmp_path) in ([], [".torvex.lock"])
    inches = torvex.run(torvex.Variant("argon", 0.32, 0.8, 600, 75, units={"length": "in", "temperature": "F",
                                                                         "flow": "SCFH"}))
    assert inches.used == {"gas": 1, "diameter": 8.2, "length": 20, "current": 600, "flow": 35.4}
    assert inches.used == torvex.load(inches.folder).used
    assert inches.isotherms["levels"][0] == pytest.approx((3000 - 32) / 1.8 + 273)
    assert numpy.isnan(inches.isotherms["radius"][-1]).all() and inches.radial[2]["z"] == 25.4
    failing = subprocess.run([sys.executable, "-W", "error", "-c",
                              "import torvex; torvex.run(torvex.Variant('argon', 8, 14, 2000, 35))"],
                             capture_output=True, text=True)
    assert failing.returncode != 0 and "900 A" in failing.stderr


def test_the_package_itself(tmp_path):
    assert torvex.__version__.count(".") == 2
    package = os.path.dirname(torvex.__file__)
    assert os.path.exists(os.path.join(package, "py.typed"))
    assert "def run(" in open(os.path.join(package, "__init__.pyi")).read()
    without_numpy = subprocess.run([sys.executable, "-c", "import sys; sys.modules['numpy'] = None; import torvex"],
                                   capture_output=True, text=True)
    assert "torvex needs numpy" in without_numpy.stderr and "nothing was run" in without_numpy.stderr
    table = torvex.study({"sweep": [{"gas": 1, "diameter": 8.0, "length": 14, "current": 500, "flow": 35}]})
    assert list(table["directory"]) == [""]


def test_to_xarray_names_the_units_of_every_coordinate(argon_jet):
    pytest.importorskip("xarray")
    data = argon_jet.to_xarray()
    assert data.z.attrs["units"] == data.r.attrs["units"] == "mm" and data.T.attrs["units"] == "K"
    assert list(data.level.values) == [2000, 4000, 6000, 8000, 10000] and data.level.attrs["units"] == "K"
    assert data.T.shape == (136, 101) and numpy.isnan(data.isotherm_radius.values[-1]).all()
    assert data.T.sel(z=200, r=0) == argon_jet.field["T"][-1, 0]


# Four variants: argon and argon + 15 % hydrogen at 500 and 600 A.
STUDY_PLAN = {"units": {"length": "mm", "temperature": "K", "flow": "SLPM"},
              "sweep": [{"gas": [1, 7], "diameter": 8.0, "length": 14,
                         "current": {"from": 500, "to": 600, "step": 100}, "flow": 35}]}


@pytest.fixture(scope="module")
def local_study(tmp_path_factory):
    """The folder of STUDY_PLAN run on local threads, as torvex-run study writes it."""
    out = tmp_path_factory.mktemp("local-study")
    torvex.study(STUDY_PLAN, jobs=2, out=out)
    return out


@needs_programs
def test_study_gives_the_table_of_torvex_run_study(tmp_path):
    plan = STUDY_PLAN
    (tmp_path / "plan.toml").write_text(torvex._plan_toml(plan))
    subprocess.run([TORVEX_RUN, "study", str(tmp_path / "plan.toml"), "--out", str(tmp_path / "cli"),
                    "--jobs", "2", "--no-progress"], check=True, stdout=subprocess.DEVNULL)
    calls = []
    table = torvex.study(plan, jobs=2, out=tmp_path / "py", progress=lambda done, total: calls.append(total))
    assert (tmp_path / "py" / "study.csv").read_bytes() == (tmp_path / "cli" / "study.csv").read_bytes()
    assert len(table) == 4 and calls[-1] == 4
    with pytest.raises(torvex.BadInput, match="plan"):
        torvex.study({"sweep": [{"gas": 1, "diameter": "many"}]})
    limit = subprocess.run([TORVEX_RUN, "study", str(tmp_path / "plan.toml"), "--max-variants", "3"],
                           capture_output=True, text=True)
    with pytest.raises(torvex.BadInput) as refused:
        torvex.study(str(tmp_path / "plan.toml"), max_variants=3, executor=ThreadPoolExecutor(1))
    assert limit.returncode == 2 and "asks for 4 combinations" in str(refused.value)
    assert limit.stderr == "torvex-run: %s\n" % str(refused.value).replace("max_variants", "--max-variants")


def test_a_study_on_a_process_pool_stops_faults_and_resumes_as_locally(tmp_path, local_study):
    """Ctrl-C submits no new variant and writes no table; a folder held by
    another program is a Busy row, not a result; the next call completes
    the table of the local study, byte for byte."""
    out = tmp_path / "pool"
    with ProcessPoolExecutor(2) as pool:
        with pytest.raises(KeyboardInterrupt):
            torvex.study(STUDY_PLAN, out=out, executor=pool,
                         progress=lambda done, total: done and os.kill(os.getpid(), signal.SIGINT))
        finished = list(out.glob("variants/*/variant-row.csv"))
        assert 1 <= len(finished) < 4 and not (out / "study.csv").exists()
        held = sorted(set(os.listdir(local_study / "variants")) - {f.parent.name for f in finished})[0]
        (out / "variants" / held).mkdir(exist_ok=True)
        with open(out / "variants" / held / ".torvex.lock", "w") as lock:
            fcntl.flock(lock, fcntl.LOCK_EX)
            with pytest.raises(torvex.Busy, match="1 of 4 variants are not finished"):
                torvex.study(STUDY_PLAN, out=out, executor=pool)
        assert "folder in use" in (out / "study.csv").read_text()
        torvex.study(STUDY_PLAN, out=out, executor=pool)
    assert (out / "study.csv").read_bytes() == (local_study / "study.csv").read_bytes()


@pytest.fixture(scope="module")
def dask_client(tmp_path_factory):
    """Two single-thread worker processes, closed whatever the test does."""
    distributed = pytest.importorskip("distributed", reason="dask.distributed is not installed "
                                                            "(Debian: python3-distributed)")
    import dask
    with dask.config.set({"distributed.comm.timeouts.connect": "120s"}), \
            distributed.LocalCluster(processes=True, n_workers=2, threads_per_worker=1, dashboard_address=None,
                                     local_directory=str(tmp_path_factory.mktemp("dask"))) as cluster, \
            distributed.Client(cluster, timeout=120) as client:
        yield client


def test_a_study_on_a_dask_cluster_gives_the_local_table(tmp_path, local_study, dask_client):
    torvex.study(STUDY_PLAN, out=tmp_path, executor=dask_client)
    assert (tmp_path / "study.csv").read_bytes() == (local_study / "study.csv").read_bytes()
    calls = []  # resumed through the Client's executor: every variant found finished
    torvex.study(STUDY_PLAN, out=tmp_path, executor=dask_client.get_executor(),
                 progress=lambda done, total: calls.append(done))
    assert (tmp_path / "study.csv").read_bytes() == (local_study / "study.csv").read_bytes() and calls[-1] == 4


def test_ctrl_c_stops_a_study_that_then_resumes(tmp_path):
    plan = {"sweep": [{"gas": 1, "diameter": 8.0, "length": 14,
                       "current": {"from": 500, "to": 900, "step": 20}, "flow": 35}]}

    def interrupt(done, total):
        if done >= 1:
            os.kill(os.getpid(), signal.SIGINT)

    with pytest.raises(KeyboardInterrupt):
        torvex.study(plan, jobs=2, out=tmp_path, progress=interrupt)
    finished = len(list(tmp_path.glob("variants/*/variant-row.csv")))
    assert not (tmp_path / "study.csv").exists() and 1 <= finished < 21
    assert len(torvex.study(plan, jobs=2, out=tmp_path)) == 21


@pytest.mark.parametrize("script,output", [("axial_temperature.py", "axial-temperature.png"),
                                           ("molten_share.py", "molten-share.png")])
def test_examples_run_headless(tmp_path, script, output):
    examples = os.path.join(os.path.dirname(__file__), "..", "..", "examples", "python")
    env = dict(os.environ, MPLBACKEND="Agg")
    subprocess.run([sys.executable, os.path.join(examples, script), str(tmp_path)], check=True, env=env,
                   stdout=subprocess.DEVNULL)
    assert (tmp_path / output).stat().st_size > 10000
