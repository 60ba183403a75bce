// The compiled half of the Python module `torvex`: the solver, the spray
// model and studies called from Python. The Python half (torvex/__init__.py)
// names the gases, builds the result objects and holds the docstrings; this
// file does the work, with the interpreter's lock released while a variant,
// a spray or a study runs, so Python threads run them in parallel.
//
// Every run has a solver state of its own (never the programs' shared one),
// so two threads running variants compute exactly what single runs compute.
#include "particles/jet_field.h"
#include "particles/particle_model.h"
#include "particles/spray_files.h"
#include "particles/spray_statistics.h"
#include "solver/data_folders.h"
#include "solver/files.h"
#include "solver/file_access.h"
#include "solver/isotherms.h"
#include "solver/output_schedule.h"
#include "solver/result_files.h"
#include "solver/result_set.h"
#include "solver/solver.h"
#include "solver/variant_run.h"
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
#include <optional>
#include <string>
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
constexpr double kMmPerInch = 25.4;

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
// own, and its result set read back under the same lock, all without the
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
        const WorkDirLock lock(folder);
        VariantRunRequest request;
        request.folder = folder;
        request.heldLock = &lock;
        request.variant = VariantInputs{gas, diameter, length, current, flow};
        request.lengthUnit = std::get<0>(units);
        request.temperatureUnit = std::get<1>(units);
        request.flowUnit = std::get<2>(units);
        request.strict = strict;
        report = runVariant(request);
        seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        if (report.result != RunResult::Completed) throw faultOf(report);
        set = readLoadedSet(report.directory, true);
    }
    py::dict d = resultDict(*set, folder);
    d["used"] = usedValues(report.used);
    d["notes"] = textList(report.notes);
    d["written"] = textList(report.written);
    d["solver_seconds"] = seconds;
    return d;
}

// ----- The spray ---------------------------------------------------------------------

// One keyword of torvex.spray(): its limits and the option field it sets.
// Lengths are given in the variant's length unit, as kavel-run takes them.
struct SprayKeyword {
    const char* name;
    double low, high;
    bool whole;
    void (*apply)(SprayOptions&, double value, double toMm);
};

// The one table of spray keywords: a new option is one line here.
const std::vector<SprayKeyword>& sprayKeywords() {
    static const std::vector<SprayKeyword> table = {
        {"d10", 0, INFINITY, false, [](SprayOptions& s, double v, double) { s.powder.d10Um = v; }},
        {"d50", 0, INFINITY, false, [](SprayOptions& s, double v, double) { s.powder.d50Um = v; }},
        {"d90", 0, INFINITY, false, [](SprayOptions& s, double v, double) { s.powder.d90Um = v; }},
        {"diameter", 0, INFINITY, false,
         [](SprayOptions& s, double v, double) { s.powder.singleSize = true, s.powder.d50Um = v; }},
        {"count", 1, 1000000, true, [](SprayOptions& s, double v, double) { s.powder.count = static_cast<int>(v); }},
        {"seed", 0, 9007199254740991.0, true,
         [](SprayOptions& s, double v, double) { s.seed = static_cast<std::uint64_t>(v); }},
        {"injection_distance", -INFINITY, INFINITY, false,
         [](SprayOptions& s, double v, double toMm) { s.injection.distanceMm = v * toMm; }},
        {"injection_radius", -INFINITY, INFINITY, false,
         [](SprayOptions& s, double v, double toMm) { s.injection.radiusMm = v * toMm; }},
        {"injection_velocity", -INFINITY, INFINITY, false,
         [](SprayOptions& s, double v, double) { s.injection.velocity = v; }},
        {"velocity_spread", -INFINITY, INFINITY, false,
         [](SprayOptions& s, double v, double) { s.injection.velocitySpread = v / 100.0; }},
        {"divergence", -INFINITY, INFINITY, false,
         [](SprayOptions& s, double v, double) { s.injection.divergenceDeg = v; }},
        {"standoff", -INFINITY, INFINITY, false,
         [](SprayOptions& s, double v, double toMm) { s.standoffMm = v * toMm; }},
        {"shells", 1, 64, true, [](SprayOptions& s, double v, double) { s.model.shellCount = static_cast<int>(v); }},
        {"threads", 0, 64, true, [](SprayOptions& s, double v, double) { s.threads = static_cast<int>(v); }},
        {"lumped", 0, 1, true, [](SprayOptions& s, double v, double) { s.model.internalConduction = v == 0; }},
        {"gravity", 0, 1, true, [](SprayOptions& s, double v, double) { s.model.gravity = v != 0; }},
    };
    return table;
}

const SprayKeyword* findSprayKeyword(const std::string& name) {
    for (const SprayKeyword& k : sprayKeywords())
        if (name == k.name) return &k;
    return nullptr;
}

// The spray options from the keywords, with kavel-run's defaults and checks.
SprayOptions sprayOptions(const py::dict& keywords, int lengthUnit) {
    SprayOptions s;
    s.standoffMm = lengthUnit == 2 ? 4 * kMmPerInch : 100;
    const double toMm = lengthUnit == 2 ? kMmPerInch : 1.0;
    if (keywords.contains("diameter") &&
        (keywords.contains("d10") || keywords.contains("d50") || keywords.contains("d90")))
        refuse("diameter (one size) and d10/d50/d90 exclude each other.");
    for (const auto& item : keywords) {
        const std::string name = py::str(item.first);
        const SprayKeyword* keyword = findSprayKeyword(name);
        if (!keyword) throw py::type_error("spray() got an unexpected keyword argument '" + name + "'");
        const py::handle given = item.second;
        if (!PyNumber_Check(given.ptr()) || py::isinstance<py::str>(given))
            refuse(name + " needs a number, not " + py::repr(given).cast<std::string>() + ".");
        const double value = py::cast<double>(given);
        if (!std::isfinite(value) || value < keyword->low || value > keyword->high ||
            (keyword->whole && value != std::floor(value))) {
            if (keyword->whole)
                refuse(name + " must be a whole number from " + py::str(py::int_(static_cast<long long>(keyword->low))).cast<std::string>() +
                       " to " + py::str(py::int_(static_cast<long long>(keyword->high))).cast<std::string>() +
                       ", not " + py::repr(item.second).cast<std::string>() + ".");
            refuse(name + " needs a finite number, not " + py::repr(item.second).cast<std::string>() + ".");
        }
        keyword->apply(s, value, toMm);
    }
    return s;
}

py::dict stateColumns(const std::vector<const ParticleState*>& states) {
    std::vector<double> columns[14];
    for (const ParticleState* s : states) {
        const double values[14] = {s->axialMm, s->radialMm, s->velocity, s->axialVelocity, s->radialVelocity,
                                   s->surfaceTemperature, s->meanTemperature, s->coreTemperature,
                                   s->moltenFraction, s->massFraction, s->timeMs, s->diameterUm,
                                   s->gasTemperature, s->gasVelocity};
        for (int k = 0; k < 14; ++k) columns[k].push_back(values[k]);
    }
    // The names of particles.csv and trajectories.csv.
    static const char* const names[14] = {
        "axial_mm", "radial_mm", "velocity_m_s", "axial_velocity_m_s", "radial_velocity_m_s",
        "surface_temperature_K", "mean_temperature_K", "core_temperature_K", "molten_fraction", "mass_fraction",
        "time_ms", "diameter_now_um", "gas_temperature_K", "gas_velocity_m_s"};
    py::dict d;
    for (int k = 0; k < 14; ++k) d[names[k]] = array(columns[k]);
    return d;
}

py::dict particleColumns(const std::vector<ParticleResult>& particles) {
    std::vector<const ParticleState*> states;
    std::vector<double> index, diameter, injection, maxSurface, maxMolten, mass;
    py::list status;
    for (const ParticleResult& p : particles) {
        states.push_back(&p.final);
        index.push_back(p.index), diameter.push_back(p.diameterUm), injection.push_back(p.injectionVelocity);
        maxSurface.push_back(p.maxSurfaceTemperature), maxMolten.push_back(p.maxMoltenFraction);
        mass.push_back(p.initialMassKg);
        status.append(statusName(p.status));
    }
    py::dict d = stateColumns(states);
    d["index"] = array(index), d["diameter_um"] = array(diameter), d["status"] = status;
    d["injection_velocity_m_s"] = array(injection);
    d["max_surface_temperature_K"] = array(maxSurface), d["max_molten_fraction"] = array(maxMolten);
    d["initial_mass_kg"] = array(mass);
    return d;
}

py::list trajectoryList(const std::vector<Trajectory>& trajectories) {
    py::list out;
    for (const Trajectory& t : trajectories) {
        std::vector<const ParticleState*> states;
        for (const ParticleState& s : t.samples) states.push_back(&s);
        py::dict d;
        d["label"] = t.label, d["index"] = t.index, d["diameter_um"] = t.diameterUm;
        d["status"] = statusName(t.status), d["samples"] = stateColumns(states);
        out.append(d);
    }
    return out;
}

py::dict moments(const WeightedMoments& m) {
    py::dict d;
    d["mean"] = m.byNumber.mean, d["spread"] = m.byNumber.spread;
    d["mass_mean"] = m.byMass.mean, d["mass_spread"] = m.byMass.spread;
    return d;
}

py::dict summary(const SprayOutcome& out) {
    const SprayStatistics s = computeStatistics(out.particles);
    py::dict d;
    d["material"] = out.material.name;
    d["standoff_mm"] = out.standoffMm, d["field_end_mm"] = out.fieldEndMm, d["notice"] = out.notice;
    d["total"] = s.total, d["arrived"] = s.arrived, d["evaporated"] = s.evaporated, d["missed"] = s.missed;
    d["field_ended"] = s.fieldEnded, d["fully_molten"] = s.fullyMolten, d["partly_molten"] = s.partlyMolten;
    d["solid"] = s.solid;
    d["velocity_m_s"] = moments(s.velocity), d["surface_temperature_K"] = moments(s.surfaceTemperature);
    d["mean_temperature_K"] = moments(s.meanTemperature), d["molten_fraction"] = moments(s.moltenFraction);
    d["radial_position_mm"] = moments(s.radialPosition), d["flight_time_ms"] = moments(s.flightTime);
    d["spot_centre_mm"] = s.spotCentreMm, d["spot_spread_mm"] = s.spotSpreadMm;
    d["molten_mass_share"] = s.moltenMassShare, d["deposited_mass_share"] = s.depositedMassShare;
    return d;
}

// kavel-run's steps, in its order and with its messages: materials, jet
// field, material key, options, the run, and the files when asked for.
py::dict spray(const std::string& folder, const std::string& materialKey, const py::dict& keywords, bool write) {
    MaterialTable materials;
    const MaterialStatus materialStatus = loadMaterials(folder, materials);
    if (!materialStatus.ok) refuse(materialStatus.message);
    JetField field;
    const FieldStatus fieldStatus = readJetField(folder, field);
    if (!fieldStatus.ok) refuse(fieldStatus.message);
    const Material* material = materials.find(materialKey);
    if (!material) {
        std::string keys;
        for (const Material& m : materials.rows) keys += (keys.empty() ? "" : ", ") + m.key;
        refuse("there is no material \"" + materialKey + "\" (known: " + keys + ").");
    }
    SprayOptions options = sprayOptions(keywords, field.lengthUnit);
    options.powder.material = materialKey;
    const std::string fault = checkOptions(options, field.endMm());
    if (!fault.empty()) refuse(fault);
    SprayOutcome outcome;
    {
        py::gil_scoped_release free;
        outcome = simulateSpray(field, *material, options, [](int) { return true; });
        std::string error;
        if (outcome.result == SprayResult::Completed && write && !writeSprayFiles(folder, options, outcome, error))
            throw RunFault{RunResult::OutputFault, error + "."};
    }
    if (outcome.result != SprayResult::Completed) refuse(outcome.message);
    py::dict d;
    d["particles"] = particleColumns(outcome.particles);
    d["trajectories"] = trajectoryList(outcome.trajectories);
    d["summary"] = summary(outcome);
    return d;
}

std::vector<std::string> sprayKeywordNames() {
    std::vector<std::string> names;
    for (const SprayKeyword& k : sprayKeywords()) names.push_back(k.name);
    return names;
}

// ----- Studies -------------------------------------------------------------------------

// Runs a study written as TOML text; `progress` gets (done, total) and may
// raise; Ctrl-C (or an exception of the callback) lets the running variants
// finish, writes no table and raises. Returns the path of the table.
std::string study(const std::string& text, const std::string& name, const std::string& outDir, int jobs,
                  const std::function<void(int, int)>& progress) {
    StudyDefinition definition;
    StudyPlan plan;
    std::string error;
    if (!parseStudyText(text, name, definition, error)) refuse(error);
    if (!expandStudy(definition, plan, error)) refuse("The study file " + name + ": " + error + ".");
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
    if (report.failed) throw RunFault{RunResult::OutputFault, report.message};
    // Rows that are no result fail the call as the terminal's study exits 5
    // or 6; the table stays for a look, and the same call computes them.
    const int unfinished = report.outputFaults + report.busy;
    if (unfinished > 0)
        throw RunFault{report.outputFaults > 0 ? RunResult::OutputFault : RunResult::Busy,
                       std::to_string(unfinished) + " of " + std::to_string(report.total) +
                           " variants are not finished (" + report.message + "); the table " + report.tablePath +
                           " shows them, and the same call computes them again."};
    return report.tablePath;
}

}  // namespace

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
    m.def("spray", &spray);
    m.def("spray_keywords", &sprayKeywordNames);
    m.def("study", &study);
}
