// The compiled half of the Python module `torvex`: the solver, the spray
// model and studies called from Python. The Python half (torvex/__init__.py)
// names the gases, builds the result objects and holds the docstrings; this
// file does the work, with the interpreter's lock released while a variant,
// a spray or a study runs, so Python threads run them in parallel.
//
// Every run has a solver state of its own (never the programs' shared one),
// so two threads running variants compute exactly what single runs compute.
#include "particles/jet_field.h"
#include "solver/data_folders.h"
#include "solver/files.h"
#include "solver/file_access.h"
#include "solver/isotherms.h"
#include "solver/output_schedule.h"
#include "solver/result_files.h"
#include "solver/result_set.h"
#include "solver/solver.h"
#include "solver/variant_run.h"
#include "study/plan_limit.h"
#include "study/study_file.h"
#include "study/study_runner.h"
#include "study/study_table.h"
#include "study/text_files.h"
#include "study/variant_export.h"

#include <pybind11/functional.h>
#include <pybind11/numpy.h>
#include <pybind11/pybind11.h>
#include <pybind11/stl.h>

#include <atomic>
#include <charconv>
#include <chrono>
#include <cmath>
#include <cstring>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <tuple>
#include <vector>

namespace py = pybind11;

namespace {

using namespace torvex;
using namespace torvex::particles;

// A refusal or fault of a run, raised in Python as the exception of its kind
// with the programs' own message; an output fault carries the system's
// error and the file (OSError's errno and filename).
struct RunFault {
    RunResult kind;
    std::string message;
    std::vector<std::string> notes = {};
    int error = 0;
    std::string path = {};
};

[[noreturn]] void refuse(const std::string& message) { throw RunFault{RunResult::BadInput, message}; }

constexpr std::size_t kRecordLimit = 100000;

py::array_t<double> array(const std::vector<double>& values) {
    py::array_t<double> out(static_cast<py::ssize_t>(values.size()));
    std::copy(values.begin(), values.end(), out.mutable_data());
    return out;
}

py::array_t<double> matrix(const std::vector<double>& values, std::size_t rows, std::size_t columns) {
    py::array_t<double> out({static_cast<py::ssize_t>(rows), static_cast<py::ssize_t>(columns)});
    std::copy(values.begin(), values.end(), out.mutable_data());
    return out;
}

// ----- The result set of a folder ----------------------------------------------

// Everything a finished variant leaves in its folder, read without the
// interpreter's lock.
struct LoadedSet {
    UnitCodes units;
    IntegralParameters integral;
    std::vector<AxisRecord> axis;
    std::vector<IsothermRecord> isotherms;
    std::vector<std::vector<RadialRecord>> radial;
    std::vector<FieldRecord> field;
};

// The one place that reads a finished result set (iop.par, ztu0.res, ilt.res,
// rtu*.res, ftu.res) the way `torvex-run export` reads it. A set without
// iop.par or ztu0.res is not finished and is refused, naming the file.
LoadedSet readLoadedSet(const std::string& folder, bool lockedByCaller = false) {
    LoadedSet set;
    const std::string dir = absoluteDirectory(folder);
    // Only one run's finished results, in the units that run was made in;
    // a reader shares the folder's lock unless the caller's run holds it.
    std::optional<WorkDirLock> lock;
    if (!lockedByCaller) {
        lock.emplace(dir, LockMode::Shared);
        if (!lock->held())
            throw RunFault{lock->status() == WorkDirLock::Status::Busy ? RunResult::Busy : RunResult::BadInput,
                           lock->message()};
    }
    const torvex::ResultSet finished = torvex::readResultSet(dir);
    if (!finished.ok) refuse(finished.message);
    set.units = finished.units;
    std::string fault;
    if (!readIntegralParameters(dir + "/iop.par", set.integral, &fault))
        refuse("The integral-parameter file " + dir + "/iop.par " + fault + ".");
    set.axis = readAxisRecords(dir + "/" + kAxisFile, kRecordLimit, &fault);
    if (set.axis.empty())
        refuse("The axial result file " + dir + "/" + kAxisFile +
               " is missing or holds no record: the folder holds no finished result set.");
    set.isotherms = readIsothermRecords(dir + "/" + kIsothermFile, kRecordLimit);
    for (const char* name : radialFileNames()) set.radial.push_back(readRadialRecords(dir + "/" + name, kRecordLimit));
    std::string error;
    if (!readFieldRecords(dir + "/ftu.res", set.field, error)) refuse(error);
    return set;
}

py::dict axialProfile(const std::vector<AxisRecord>& records) {
    std::vector<double> z, t, u;
    for (const AxisRecord& r : records) {
        z.push_back(r.distanceMm);
        t.push_back(r.temperatureKiloKelvin * 1000.0);
        u.push_back(r.velocity);
    }
    py::dict d;
    d["z"] = array(z), d["T"] = array(t), d["u"] = array(u);
    return d;
}

py::list radialSections(const std::vector<std::vector<RadialRecord>>& planes, int lengthUnit) {
    const std::array<double, kRadialPlanes> planeMm = radialPlaneDistancesMm(lengthUnit);
    py::list sections;
    for (std::size_t k = 0; k < planes.size(); ++k) {
        std::vector<double> r, t, u;
        for (const RadialRecord& rec : planes[k]) {
            r.push_back(rec.radiusMm);
            t.push_back(rec.temperatureKiloKelvin * 1000.0);
            u.push_back(rec.velocity);
        }
        py::dict d;
        d["z"] = planeMm[k];
        d["r"] = array(r), d["T"] = array(t), d["u"] = array(u);
        sections.append(d);
    }
    return sections;
}

py::dict isothermTable(const std::vector<IsothermRecord>& records, int temperatureUnit) {
    std::vector<double> z, radii;
    for (const IsothermRecord& r : records) {
        z.push_back(r.distanceMm);
        // ilt.res holds 0 where no node reaches the level.
        for (double radius : r.radiusMm) radii.push_back(radius > 0 ? radius : NAN);
    }
    // The levels of ilt.res, in kelvin like every temperature here.
    std::vector<double> levels;
    for (int k = 1; k <= 5; ++k) levels.push_back(isothermLevelKelvin(k, temperatureUnit));
    py::dict d;
    d["z"] = array(z), d["radius"] = matrix(radii, records.size(), 5), d["levels"] = array(levels);
    return d;
}

// The number ftu.res holds where the reader holds its nearest float: the
// shortest decimal of the float, read as a double (the file's fields carry
// at most seven digits, so this is the written number itself).
double writtenValue(float value) {
    char text[32];
    const auto written = std::to_chars(text, text + sizeof text, value);
    double exact = value;
    std::from_chars(text, written.ptr, exact);
    return exact;
}

void appendWritten(std::vector<double>& out, const std::vector<float>& values) {
    for (float value : values) out.push_back(writtenValue(value));
}

py::dict jetField(const std::vector<FieldRecord>& records) {
    std::vector<double> z, r, t, u, v;
    for (std::size_t k = 0; k < records.size(); ++k) {
        z.push_back(torvex::fieldRecordDistanceMm(static_cast<int>(k)));
        appendWritten(t, records[k].temperature);
        appendWritten(u, records[k].axialVelocity);
        appendWritten(v, records[k].radialVelocity);
    }
    for (int j = 0; j < kFieldValues; ++j) r.push_back(kFieldRadiusStepMm * j);
    const std::size_t n = records.size(), m = static_cast<std::size_t>(kFieldValues);
    py::dict d;
    d["z"] = array(z), d["r"] = array(r);
    d["T"] = matrix(t, n, m), d["u"] = matrix(u, n, m), d["v"] = matrix(v, n, m);
    return d;
}

// A text of the cores as Python text: a path as the file system has it,
// anything else as UTF-8 with any stray byte shown, never an exception.
py::str pathText(const std::string& path) {
    return py::reinterpret_steal<py::str>(PyUnicode_DecodeFSDefaultAndSize(path.data(), static_cast<py::ssize_t>(path.size())));
}

py::str messageText(const std::string& text) {
    return py::reinterpret_steal<py::str>(
        PyUnicode_DecodeUTF8(text.data(), static_cast<py::ssize_t>(text.size()), "backslashreplace"));
}

// The values the solver used, in millimetres, amperes and SLPM whatever the
// units of the run.
py::dict usedValues(const UsedInputs& used) {
    py::dict d;
    d["gas"] = used.gasCode;
    d["diameter"] = used.diameterTenths / 10.0;
    d["length"] = used.lengthMm;
    d["current"] = used.current;
    d["flow"] = writtenValue(used.flowSlpm);  // 35.4, not 35.399998
    return d;
}

py::dict resultDict(const LoadedSet& set, const std::string& folder) {
    const IntegralParameters& p = set.integral;
    py::dict d;
    d["folder"] = pathText(absoluteDirectory(folder));
    d["units"] = py::make_tuple(set.units.length, set.units.temperature, set.units.flow);
    // iop.par keeps the anode length (and in inch mode the diameter) as
    // entered: normalised once more, its values are those the run used.
    d["used"] = usedValues(normalisedInputs(VariantInputs{p.gasCode, p.diameter, p.length,
                                                          static_cast<double>(p.current), static_cast<double>(p.flow)},
                                            set.units));
    // A field of asterisks in iop.par: the value did not fit, and is unknown.
    const auto figure = [](double value, bool overflow) {
        return overflow ? py::object(py::float_(NAN)) : py::object(py::float_(value));
    };
    d["voltage"] = figure(p.arcVoltage, p.voltageOverflow);
    d["power"] = figure(p.arcPower, p.powerOverflow);
    d["efficiency"] = figure(p.efficiencyPercent, p.efficiencyOverflow);
    d["axial"] = axialProfile(set.axis);
    d["radial"] = radialSections(set.radial, set.units.length);
    d["isotherms"] = isothermTable(set.isotherms, set.units.temperature);
    d["field"] = jetField(set.field);
    return d;
}

py::dict load(const std::string& folder) {
    std::optional<LoadedSet> set;
    {
        py::gil_scoped_release free;
        set = readLoadedSet(folder);
    }
    return resultDict(*set, folder);
}

// ----- One variant ---------------------------------------------------------------

// The normalised values the solver will use, or a refusal naming the fault.
py::dict checkVariant(int gas, double diameter, double length, double current, double flow,
                      const UnitCodes& units) {
    const VariantInputs entered{gas, diameter, length, current, flow};
    std::string why;
    if (!fitsInputFile(entered, why)) refuse(why + ".");
    return usedValues(normalisedInputs(entered, units));
}

UnitCodes unitCodes(const std::tuple<int, int, int>& units) {
    return {std::get<0>(units), std::get<1>(units), std::get<2>(units)};
}

// A report that is not a finished run, as the exception of its kind. A
// strict refusal names the values that refused it.
RunFault faultOf(const VariantRunReport& report) {
    RunFault fault{report.result, report.message, report.notes, report.systemError, report.faultPath};
    if (report.result == RunResult::BadInput && !report.notes.empty()) {
        std::string listed;
        for (const std::string& note : report.notes) listed += (listed.empty() ? "" : "; ") + note;
        fault.message = listed + ". " + fault.message;
    }
    return fault;
}

py::list textList(const std::vector<std::string>& texts) {
    py::list out;
    for (const std::string& text : texts) out.append(messageText(text));
    return out;
}

// The variant through the solver's one run procedure, with a state of its
// own, and its result set read back under the run's lock, all without the
// interpreter's lock. The time of the procedure is measured for the
// benchmark of the call's overhead.
py::dict runInFolder(int gas, double diameter, double length, double current, double flow,
                     const std::tuple<int, int, int>& units, const std::string& folder, bool strict) {
    std::optional<LoadedSet> set;
    VariantRunReport report;
    double seconds = 0;
    {
        py::gil_scoped_release free;
        const auto start = std::chrono::steady_clock::now();
        VariantRunRequest request;
        request.folder = folder;
        request.variant = VariantInputs{gas, diameter, length, current, flow};
        request.lengthUnit = std::get<0>(units);
        request.temperatureUnit = std::get<1>(units);
        request.flowUnit = std::get<2>(units);
        request.strict = strict;
        request.whileLocked = [&](const std::string& dir) {
            seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
            set = readLoadedSet(dir, true);
        };
        report = runVariant(request);
        if (report.result != RunResult::Completed) throw faultOf(report);
    }
    py::dict d = resultDict(*set, folder);
    d["used"] = usedValues(report.used);
    d["notes"] = textList(report.notes);
    d["written"] = textList(report.written);
    d["solver_seconds"] = seconds;
    return d;
}

// ----- Studies -------------------------------------------------------------------------

// The study written as TOML text; `name` stands for the file in messages. A
// study planning more than `maxVariants` combinations is refused with the
// terminal's sentence; 0 leaves the count unchecked.
StudyDefinition studyDefinition(const std::string& text, const std::string& name, long long maxVariants) {
    StudyDefinition definition;
    std::string error;
    if (!parseStudyText(text, name, definition, error)) refuse(error);
    if (maxVariants > 0) {
        const std::string fault = planLimitFault(definition, maxVariants, name, "max_variants");
        if (!fault.empty()) refuse(fault);
    }
    return definition;
}

StudyPlan studyPlan(const std::string& text, const std::string& name, long long maxVariants) {
    StudyPlan plan;
    std::string error;
    if (!expandStudy(studyDefinition(text, name, maxVariants), plan, error))
        refuse("The study file " + name + ": " + error + ".");
    return plan;
}

// The plan the tasks of an executor share: each task of a worker process
// names the same text, which is expanded once per process, not once per
// variant.
std::shared_ptr<const StudyPlan> cachedStudyPlan(const std::string& text, const std::string& name) {
    static std::mutex guard;
    static std::string cachedKey;
    static std::shared_ptr<const StudyPlan> cached;
    const std::string key = name + '\0' + text;
    {
        const std::lock_guard<std::mutex> held(guard);
        if (cached && cachedKey == key) return cached;
    }
    auto plan = std::make_shared<const StudyPlan>(studyPlan(text, name, 0));
    const std::lock_guard<std::mutex> held(guard);
    cachedKey = key;
    cached = plan;
    return plan;
}

// The end of a study as the terminal's study ends: a file of the study that
// could not be written raises OutputFault; rows that are no result fail the
// call as the terminal's study exits 5 or 6, after the table is written for
// a look, and the same call computes them. Returns the table's path.
std::string studyTablePath(const StudyRunReport& report) {
    if (report.failed) throw RunFault{RunResult::OutputFault, report.message};
    const int unfinished = report.outputFaults + report.busy;
    if (report.exitStatus() != kExitCompleted)
        throw RunFault{report.exitStatus() == kExitOutputFault ? RunResult::OutputFault : RunResult::Busy,
                       std::to_string(unfinished) + " of " + std::to_string(report.total) +
                           " variants are not finished (" + report.message + "); the table " + report.tablePath +
                           " shows them, and the same call computes them again."};
    return report.tablePath;
}

// Runs a study on local threads; `progress` gets (done, total) and may
// raise; Ctrl-C (or an exception of the callback) lets the running variants
// finish, writes no table and raises. Returns the path of the table.
std::string study(const std::string& text, const std::string& name, const std::string& outDir, int jobs,
                  const std::function<void(int, int)>& progress, long long maxVariants) {
    const StudyPlan plan = studyPlan(text, name, maxVariants);
    StudyRunSettings settings;
    settings.outDir = outDir;
    settings.jobs = jobs;
    std::atomic<bool> stop{false};
    std::optional<py::error_already_set> raised;
    StudyRunReport report;
    {
        py::gil_scoped_release free;
        // Called on this thread a few times a second: the only place where
        // Python runs while the study does (the callback, the signal check).
        report = runStudy(plan, settings, stop, [&](const StudyProgress& p) {
            py::gil_scoped_acquire held;
            if (raised) return;
            try {
                if (PyErr_CheckSignals() != 0) throw py::error_already_set();
                if (progress) progress(p.done, p.total);
            } catch (py::error_already_set& e) {
                raised = std::move(e);
                stop = true;
            }
        });
    }
    if (raised) throw std::move(*raised);
    return studyTablePath(report);
}

// ----- Studies on an executor: one task per variant ----------------------------------

// A variant's result as a task returns it to the calling process: plain
// values, so that it travels by pickle from a process pool or a Dask worker:
// the index, the variant's folder name (by which the caller knows that the
// worker's plan is its own), the row, the result, skipped, failed, message.
using VariantTaskResult = std::tuple<int, std::string, std::string, int, bool, bool, std::string>;

// Runs variant `index` of the study through the core's own procedure for a
// study's variant, into its folder under outDir, with this thread's solver
// state (as a thread of a local study has its own).
VariantTaskResult studyVariant(const std::string& text, const std::string& name, const std::string& outDir,
                               int index) {
    const std::shared_ptr<const StudyPlan> plan = cachedStudyPlan(text, name);
    StudyVariantResult r;
    {
        py::gil_scoped_release free;
        thread_local std::unique_ptr<SolverState> state;
        if (!state) state = std::make_unique<SolverState>();
        r = runStudyVariant(*plan, index, outDir, *state);
    }
    const bool known = index >= 0 && static_cast<std::size_t>(index) < plan->variants.size();
    const std::string variantName = known ? plan->variants[static_cast<std::size_t>(index)].name : "";
    return {index, variantName, r.row, static_cast<int>(r.result), r.skipped, r.failed, r.message};
}

// The table of a study whose variants ran as tasks, from their results (None
// for a variant that did not run), written by the core as a local study
// writes it; the faults are raised as a local study raises them.
std::string studyTable(const std::string& text, const std::string& name, const std::string& outDir,
                       const std::vector<std::optional<VariantTaskResult>>& taskResults) {
    const std::shared_ptr<const StudyPlan> plan = cachedStudyPlan(text, name);
    std::vector<StudyVariantResult> results(plan->variants.size());
    for (const std::optional<VariantTaskResult>& task : taskResults) {
        if (!task) continue;
        const auto& [index, variantName, row, result, skipped, failed, message] = *task;
        if (index < 0 || static_cast<std::size_t>(index) >= results.size())
            refuse("The study has " + std::to_string(results.size()) + " variants; there is no variant " +
                   std::to_string(index) + ".");
        // A worker with another build of TORVEX may expand the plan otherwise:
        // its row would stand in the table under another variant's inputs.
        const std::string& planned = plan->variants[static_cast<std::size_t>(index)].name;
        if (variantName != planned)
            refuse("Variant " + std::to_string(index) + " of the study is " + planned + " here, but the worker ran " +
                   (variantName.empty() ? "none" : variantName) +
                   ": the workers' torvex module expands the plan otherwise. No table was written.");
        results[static_cast<std::size_t>(index)] = {row, static_cast<RunResult>(result), skipped, failed, message};
    }
    StudyRunSettings settings;
    settings.outDir = outDir;
    StudyRunReport report;
    {
        py::gil_scoped_release free;
        report = finishStudy(*plan, settings, results);
    }
    if (report.stopped) refuse("The study is not finished: " + std::to_string(report.total) + " variants planned.");
    return studyTablePath(report);
}

}  // namespace

// The spray and the tune job (spray_bindings.cpp).
void registerSprayBindings(py::module_& m);

PYBIND11_MODULE(_torvex, m) {
    m.doc() = "The compiled core of the torvex module (see help(torvex)).";
    static py::exception<RunFault> error(m, "Error", PyExc_RuntimeError);
    static py::exception<RunFault> badInput(m, "BadInput", py::make_tuple(error, py::handle(PyExc_ValueError)));
    static py::exception<RunFault> notCalculable(m, "NotCalculable", error.ptr());
    static py::exception<RunFault> outputFault(m, "OutputFault", py::make_tuple(error, py::handle(PyExc_OSError)));
    static py::exception<RunFault> busy(m, "Busy", error.ptr());
    py::register_exception_translator([](std::exception_ptr p) {
        try {
            if (p) std::rethrow_exception(p);
        } catch (const RunFault& f) {
            const py::exception<RunFault>* type = &error;
            switch (f.kind) {
            case RunResult::BadInput: type = &badInput; break;
            case RunResult::NotCalculable: type = &notCalculable; break;
            case RunResult::OutputFault: type = &outputFault; break;
            case RunResult::Busy: type = &busy; break;
            case RunResult::Completed: break;
            }
            // The programs' sentence as the message; the notes, and for an
            // output fault errno, strerror and filename, as attributes.
            py::object raised = py::reinterpret_borrow<py::object>(type->ptr())(messageText(f.message));
            raised.attr("notes") = textList(f.notes);
            if (f.error != 0) {
                raised.attr("errno") = f.error;
                raised.attr("strerror") = std::strerror(f.error);
            }
            if (!f.path.empty()) raised.attr("filename") = pathText(f.path);
            PyErr_SetObject(type->ptr(), raised.ptr());
        }
    });
    m.def("set_data_folder", [](const std::string& folder) { setHostDataFolder(folder); });
    m.attr("source_data_folder") = TORVEX_SOURCE_DATA_DIR;
    m.attr("build_tree_folder") = TORVEX_BUILD_TREE_DIR;
    m.def("check_variant", [](int gas, double d, double l, double i, double f, const std::tuple<int, int, int>& u) {
        return checkVariant(gas, d, l, i, f, unitCodes(u));
    });
    m.def("run", &runInFolder);
    m.attr("version") = TORVEX_VERSION;
    m.def("load", &load);
    registerSprayBindings(m);
    m.def("study", &study);
    m.attr("default_max_variants") = kDefaultMaxVariants;
    m.def("study_size", [](const std::string& text, const std::string& name, long long maxVariants) {
        studyDefinition(text, name, maxVariants);
        return cachedStudyPlan(text, name)->variants.size();
    });
    m.def("study_variant", &studyVariant);
    m.def("study_table", &studyTable);
}
