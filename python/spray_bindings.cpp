// The spray and the tune job of the Python module: keywords taken by the
// spray's option table (particles/spray_option_table.h) exactly as kavel-run
// takes its options, the core's procedures (particles/spray_in_folder.h) run
// with the interpreter's lock released, and their reports turned into numpy
// arrays and dicts. The Python half is torvex/spraying.py.
#include "particles/spray_files.h"
#include "particles/spray_in_folder.h"
#include "particles/spray_option_table.h"

#include <pybind11/numpy.h>
#include <pybind11/pybind11.h>
#include <pybind11/stl.h>

#include <algorithm>
#include <charconv>
#include <optional>
#include <string>
#include <vector>

namespace py = pybind11;

namespace {

using namespace torvex::particles;

// The compiled module, whose exceptions (BadInput, OutputFault, Busy) a
// refused job raises.
py::handle compiledModule;

[[noreturn]] void raise(const char* kind, const std::string& message) {
    PyErr_SetString(compiledModule.attr(kind).ptr(), message.c_str());
    throw py::error_already_set();
}

std::string shown(py::handle value) { return py::repr(value).cast<std::string>(); }

bool numeric(OptionKind kind) {
    return kind == OptionKind::Number || kind == OptionKind::Length || kind == OptionKind::Percent ||
           kind == OptionKind::Whole;
}

// A Python number as kavel-run would have it typed: an int as its digits, a
// float as its shortest decimal, which reads back as the same double.
std::optional<std::string> numberText(py::handle value) {
    if (py::isinstance<py::bool_>(value) || py::isinstance<py::str>(value) || !PyNumber_Check(value.ptr()))
        return std::nullopt;
    if (PyLong_Check(value.ptr())) return py::str(value).cast<std::string>();
    const double number = py::cast<double>(py::float_(py::reinterpret_borrow<py::object>(value)));
    char digits[32];
    return std::string(digits, std::to_chars(digits, digits + sizeof digits, number).ptr);
}

// The text a keyword's value stands for, or BadInput naming the keyword.
std::string optionText(const std::string& name, OptionKind kind, py::handle value) {
    if (value.is_none()) raise("BadInput", name + " needs a value, not None.");
    if (py::isinstance<py::bool_>(value) && (kind == OptionKind::Flag || kind == OptionKind::Switch))
        return value.cast<bool>() ? "on" : "off";
    if (kind == OptionKind::Point && py::isinstance<py::sequence>(value) && !py::isinstance<py::str>(value) &&
        py::len(value) == 2) {
        const py::sequence xy = py::reinterpret_borrow<py::sequence>(value);
        const auto x = numberText(xy[0]), y = numberText(xy[1]);
        if (x && y) return *x + "," + *y;
    }
    if (py::isinstance<py::str>(value) && !numeric(kind)) {
        std::string text = value.cast<std::string>();
        if (kind == OptionKind::Choice) std::replace(text.begin(), text.end(), '_', '-');  // "free_stream"
        return text;
    }
    if (const auto text = numberText(value); text && kind != OptionKind::Point) return *text;
    raise("BadInput", name + (numeric(kind) ? " needs a number, not " : " cannot be ") + shown(value) + ".");
}

template <typename Row, typename Target>
bool enterKeyword(const std::vector<Row>& table, const std::string& name, py::handle value,
                  std::vector<Entered<Target>>& entered) {
    for (const Row& row : table) {
        if (!*row.flag || pythonKeyword(row.flag) != name) continue;
        std::string fault;
        if (!enterOption(row, optionText(name, row.kind, value), OptionNames::Python, entered, fault))
            raise("BadInput", fault);
        return true;
    }
    return false;
}

std::string knownKeywords(bool tuning) {
    std::string known;
    const auto add = [&known](const char* flag) {
        if (*flag) known += (known.empty() ? "" : ", ") + pythonKeyword(flag);
    };
    if (tuning)
        for (const TuneOptionRow& row : tuneOptionTable()) add(row.flag);
    for (const SprayOptionRow& row : sprayOptionTable()) add(row.flag);
    return known;
}

// The request of a job from its keywords, each checked as kavel-run checks it.
TuneRequest requestOf(const std::string& function, const std::string& folder, const py::dict& keywords, bool write) {
    TuneRequest request;
    request.spray.folder = folder;
    request.spray.write = write;
    EnteredTuneOptions scan;
    const bool tuning = function == "tune";
    for (const auto& [key, value] : keywords) {
        const std::string name = py::str(key);
        if ((!tuning || !enterKeyword(tuneOptionTable(), name, value, scan)) &&
            !enterKeyword(sprayOptionTable(), name, value, request.spray.entered))
            throw py::type_error(function + "() got an unexpected keyword argument '" + name + "' (known: " +
                                 knownKeywords(tuning) + ")");
    }
    std::string fault = clashingOptions(request.spray.entered, OptionNames::Python);
    if (fault.empty() && tuning) tuneOptionsOf(scan, request.tune, fault);
    if (!fault.empty()) raise("BadInput", fault);
    return request;
}

// The job's progress: the caller's callback, and Ctrl-C, which stops the job
// within a progress report (a few a second) and is raised once it has ended.
class Interruption {
public:
    explicit Interruption(py::object callback) : callback_(std::move(callback)) {}
    bool operator()(int percent) {
        py::gil_scoped_acquire held;
        if (raised_) return false;
        try {
            if (PyErr_CheckSignals() != 0) throw py::error_already_set();
            if (!callback_.is_none()) callback_(percent);
            return true;
        } catch (py::error_already_set& e) {
            raised_ = std::move(e);
            return false;
        }
    }
    void raiseIfStopped() {
        if (raised_) throw std::move(*raised_);
    }

private:
    py::object callback_;
    std::optional<py::error_already_set> raised_;
};

// A refused or failed job as the exception of its kind.
void raiseFault(const JobReport& report) {
    switch (report.result) {
    case JobResult::Completed: return;
    case JobResult::Busy: raise("Busy", report.message);
    case JobResult::OutputFault: raise("OutputFault", report.message);
    case JobResult::Cancelled:
        PyErr_SetNone(PyExc_KeyboardInterrupt);
        throw py::error_already_set();
    case JobResult::BadInput: break;
    }
    raise("BadInput", report.message);
}

// ----- The report as Python data ----------------------------------------------------

py::array_t<double> array(const std::vector<double>& values) {
    py::array_t<double> out(static_cast<py::ssize_t>(values.size()));
    std::copy(values.begin(), values.end(), out.mutable_data());
    return out;
}

// Named columns filled row by row, kept in the order of their first value.
class Columns {
public:
    void add(const char* name, double value) {
        auto column = std::find_if(columns_.begin(), columns_.end(), [name](const auto& c) { return c.first == name; });
        if (column == columns_.end()) column = columns_.insert(columns_.end(), {name, {}});
        column->second.push_back(value);
    }
    py::dict dict() const {
        py::dict d;
        for (const auto& [name, values] : columns_) d[py::str(name)] = array(values);
        return d;
    }

private:
    std::vector<std::pair<std::string, std::vector<double>>> columns_;
};

// The columns of particles.csv and trajectories.csv for a state, by their names there.
void addState(Columns& c, const ParticleState& s) {
    const std::pair<const char*, double> values[] = {
        {"axial_mm", s.axialMm}, {"radial_mm", s.radialMm}, {"velocity_m_s", s.velocity},
        {"axial_velocity_m_s", s.axialVelocity}, {"radial_velocity_m_s", s.radialVelocity},
        {"surface_temperature_K", s.surfaceTemperature}, {"mean_temperature_K", s.meanTemperature},
        {"core_temperature_K", s.coreTemperature}, {"molten_fraction", s.moltenFraction},
        {"mass_fraction", s.massFraction}, {"time_ms", s.timeMs}, {"diameter_now_um", s.diameterUm},
        {"gas_temperature_K", s.gasTemperature}, {"gas_velocity_m_s", s.gasVelocity},
        {"out_of_plane_mm", s.outOfPlaneMm}, {"out_of_plane_velocity_m_s", s.outOfPlaneVelocity}};
    for (const auto& [name, value] : values) c.add(name, value);
}

py::dict particleColumns(const std::vector<ParticleResult>& particles) {
    Columns c;
    py::list status;
    for (const ParticleResult& p : particles) {
        c.add("index", p.index), c.add("diameter_um", p.diameterUm);
        addState(c, p.final);
        c.add("max_surface_temperature_K", p.maxSurfaceTemperature), c.add("injection_velocity_m_s", p.injectionVelocity);
        c.add("max_molten_fraction", p.maxMoltenFraction), c.add("initial_mass_kg", p.initialMassKg);
        status.append(statusName(p.status));
    }
    py::dict d = c.dict();
    d["status"] = status;
    return d;
}

py::list trajectoryList(const std::vector<Trajectory>& trajectories) {
    py::list out;
    for (const Trajectory& t : trajectories) {
        Columns samples;
        for (const ParticleState& s : t.samples) addState(samples, s);
        py::dict d;
        d["label"] = t.label, d["index"] = t.index, d["diameter_um"] = t.diameterUm;
        d["status"] = statusName(t.status), d["samples"] = samples.dict();
        out.append(d);
    }
    return out;
}

// The means with the half-widths of their 95 % intervals (NaN where the
// sample cannot tell).
py::dict moments(const WeightedMoments& m) {
    py::dict d;
    d["mean"] = m.byNumber.mean, d["spread"] = m.byNumber.spread, d["half_width"] = m.byNumber.halfWidth95;
    d["mass_mean"] = m.byMass.mean, d["mass_spread"] = m.byMass.spread, d["mass_half_width"] = m.byMass.halfWidth95;
    return d;
}

// A figure as `name` and its half-width as `name` with "_half_width" before
// the unit: ("deviation", "_deg") gives deviation_deg and deviation_half_width_deg.
void addEstimate(py::dict& d, const std::string& name, const char* unit, const Estimate& e) {
    d[py::str(name + unit)] = e.value;
    d[py::str(name + "_half_width" + unit)] = e.halfWidth95;
}

const char* countRuleName(CountRule rule) {
    switch (rule) {
    case CountRule::Fixed: return "fixed";
    case CountRule::Precision: return "precision";
    case CountRule::Cap: return "cap";
    }
    return "";
}

py::dict summary(const SprayReport& r) {
    const SprayStatistics& s = r.figures.statistics;
    py::dict d;
    d["material"] = r.material.name;
    d["standoff_mm"] = r.spray.standoffMm, d["field_end_mm"] = r.spray.fieldEndMm, d["notice"] = r.spray.notice;
    d["total"] = s.total, d["arrived"] = s.arrived, d["evaporated"] = s.evaporated, d["missed"] = s.missed;
    d["missed_side"] = s.missedSide, d["missed_upstream"] = s.missedUpstream, d["timed_out"] = s.timedOut;
    d["field_ended"] = s.fieldEnded, d["fully_molten"] = s.fullyMolten, d["partly_molten"] = s.partlyMolten;
    d["solid"] = s.solid;
    d["velocity_m_s"] = moments(s.velocity), d["surface_temperature_K"] = moments(s.surfaceTemperature);
    d["mean_temperature_K"] = moments(s.meanTemperature), d["molten_fraction"] = moments(s.moltenFraction);
    d["radial_position_mm"] = moments(s.radialPosition), d["flight_time_ms"] = moments(s.flightTime);
    d["out_of_plane_position_mm"] = moments(s.outOfPlanePosition);
    addEstimate(d, "spot_centre", "_mm", s.spotCentreMm), d["spot_spread_mm"] = s.spotSpreadMm;
    addEstimate(d, "spot_centre_out_of_plane", "_mm", s.spotCentreOutOfPlaneMm);
    d["spot_spread_out_of_plane_mm"] = s.spotSpreadOutOfPlaneMm;
    addEstimate(d, "molten_mass_share", "", s.moltenMassShare);
    addEstimate(d, "deposited_mass_share", "", s.depositedMassShare);
    addEstimate(d, "evaporated_mass_share", "", s.evaporatedMassShare);
    addEstimate(d, "deviation", "_deg", r.figures.deviationDeg);
    const SamplingFacts& f = r.spray.sampling;
    d["particles"] = f.flown, d["count_rule"] = countRuleName(f.rule), d["precision_points"] = f.precisionPoints;
    d["sample"] = countSentence(f), d["sampling"] = samplingSentence(f);
    d["powder"] = describePowder(r.spray.powder);
    return d;
}

// The reading of sensor.csv, by its column names.
py::dict sensorReading(const SprayReport& r) {
    const SensorReading& s = r.figures.sensor;
    py::dict d;
    d["standoff_mm"] = r.spray.standoffMm, d["centre_x_mm"] = s.centreXMm, d["centre_y_mm"] = s.centreYMm;
    d["size_mm"] = s.sizeMm, d["count"] = s.count;
    d["velocity_mean_m_s"] = s.velocity.mean, d["velocity_spread_m_s"] = s.velocity.spread;
    d["surface_temperature_mean_K"] = s.surfaceTemperature.mean;
    d["surface_temperature_spread_K"] = s.surfaceTemperature.spread;
    d["diameter_mean_um"] = s.diameterUm.mean, d["diameter_spread_um"] = s.diameterUm.spread;
    d["velocity_mean_half_width_m_s"] = s.velocity.halfWidth95;
    d["surface_temperature_mean_half_width_K"] = s.surfaceTemperature.halfWidth95;
    d["diameter_mean_half_width_um"] = s.diameterUm.halfWidth95;
    return d;
}

// size-classes.csv's columns.
py::dict sizeClassColumns(const std::vector<SizeClass>& classes) {
    Columns c;
    for (const SizeClass& k : classes) {
        c.add("lower_um", k.lowerUm), c.add("upper_um", k.upperUm), c.add("count", k.count);
        c.add("arrived", k.arrived), c.add("mass_share", k.massShare.value), c.add("velocity_m_s", k.velocity.value);
        c.add("surface_temperature_K", k.surfaceTemperature.value), c.add("molten_share", k.moltenShare.value);
        c.add("evaporated_share", k.evaporatedShare.value);
        c.add("mass_share_half_width", k.massShare.halfWidth95);
        c.add("velocity_half_width_m_s", k.velocity.halfWidth95);
        c.add("surface_temperature_half_width_K", k.surfaceTemperature.halfWidth95);
        c.add("molten_share_half_width", k.moltenShare.halfWidth95);
        c.add("evaporated_share_half_width", k.evaporatedShare.halfWidth95);
    }
    return c.dict();
}

// The options as the job used them, by keyword, in the units the keywords
// take (lengths in the variant's unit); None where an option is not in effect.
py::dict usedOptions(const JobReport& r) {
    py::dict d;
    for (const SprayOptionRow& row : sprayOptionTable()) {
        if (!*row.flag) continue;
        const std::optional<OptionValue> v = shownValue(row, r.options, r.jet.lengthUnit);
        py::object value = py::none();
        if (!v) value = py::none();
        else if (row.kind == OptionKind::Flag || row.kind == OptionKind::Switch) value = py::bool_(v->number != 0);
        else if (row.kind == OptionKind::Name || row.kind == OptionKind::Text) value = py::str(v->text);
        else if (row.kind == OptionKind::Whole) value = py::int_(static_cast<long long>(v->number));
        else if (row.kind == OptionKind::Point) value = py::make_tuple(v->number, v->second);
        else if (row.kind == OptionKind::Choice) {
            std::string words = row.words;
            for (int k = static_cast<int>(v->number); k > 0; --k) words = words.substr(words.find('|') + 1);
            value = py::str(words.substr(0, words.find('|')));
        } else value = py::float_(v->number);
        d[py::str(pythonKeyword(row.flag))] = value;
    }
    return d;
}

py::dict materialRow(const Material& m) {
    py::dict d;
    d["key"] = m.key, d["name"] = m.name;
    d["density_solid"] = m.densitySolid, d["density_liquid"] = m.densityLiquid;
    d["heat_capacity_solid"] = m.heatCapacitySolid, d["heat_capacity_liquid"] = m.heatCapacityLiquid;
    d["conductivity_solid"] = m.conductivitySolid, d["conductivity_liquid"] = m.conductivityLiquid;
    d["melting_point"] = m.meltingPoint, d["latent_heat_fusion"] = m.latentHeatFusion;
    d["boiling_point"] = m.boilingPoint, d["latent_heat_vaporisation"] = m.latentHeatVaporisation;
    d["emissivity"] = m.emissivity, d["molar_mass"] = m.molarMass;
    return d;
}

// What both jobs report besides their figures.
py::dict jobDict(const JobReport& r, const std::vector<std::string>& summaryLines) {
    py::dict jet;
    jet["variant"] = r.jet.variantName, jet["gas"] = r.jet.gasCode, jet["length_unit"] = r.jet.lengthUnit;
    jet["field_end_mm"] = r.jet.fieldEndMm, jet["cross_sections"] = r.jet.recordCount;
    std::string text;
    for (const std::string& line : summaryLines) text += line + "\n";
    py::dict d;
    d["notes"] = r.notes, d["used"] = usedOptions(r), d["material"] = materialRow(r.material), d["jet"] = jet;
    d["files"] = r.written, d["summary_text"] = text;
    return d;
}

// Runs the job without the interpreter's lock; raises what stopped it.
template <typename Report, typename Job>
Report runJob(Job job, TuneRequest& request, const py::object& progress) {
    Interruption interruption(progress);
    request.spray.progress = [&interruption](int percent) { return interruption(percent); };
    Report report;
    {
        py::gil_scoped_release free;
        report = job(request);
    }
    interruption.raiseIfStopped();
    raiseFault(report);
    return report;
}

py::dict spray(const std::string& folder, const py::dict& keywords, bool write, const py::object& progress) {
    TuneRequest request = requestOf("spray", folder, keywords, write);
    const SprayReport r =
        runJob<SprayReport>([](const TuneRequest& q) { return sprayIntoFolder(q.spray); }, request, progress);
    py::dict d = jobDict(r, spraySummaryLines(r));
    d["particles"] = particleColumns(r.spray.particles);
    d["trajectories"] = trajectoryList(r.spray.trajectories);
    d["summary"] = summary(r);
    d["sensor"] = sensorReading(r);
    d["size_classes"] = sizeClassColumns(r.figures.sizeClasses);
    return d;
}

py::dict tune(const std::string& folder, const py::dict& keywords, bool write, const py::object& progress) {
    TuneRequest request = requestOf("tune", folder, keywords, write);
    const TuneReport r = runJob<TuneReport>(&tuneInFolder, request, progress);
    py::dict d = jobDict(r, tuneSummaryLines(r));
    Columns steps;
    for (const TuneStep& s : r.outcome.steps) {
        steps.add("setting", s.setting), steps.add("deviation_deg", s.deviationDeg.value);
        steps.add("molten_mass_share", s.moltenMassShare.value);
        steps.add("arriving_mass_share", s.arrivingMassShare.value);
        steps.add("velocity_m_s", s.velocity.value), steps.add("surface_temperature_K", s.surfaceTemperature.value);
        steps.add("arrived", s.arrived);
        steps.add("deviation_half_width_deg", s.deviationDeg.halfWidth95);
        steps.add("molten_mass_share_half_width", s.moltenMassShare.halfWidth95);
        steps.add("arriving_mass_share_half_width", s.arrivingMassShare.halfWidth95);
        steps.add("velocity_half_width_m_s", s.velocity.halfWidth95);
        steps.add("surface_temperature_half_width_K", s.surfaceTemperature.halfWidth95);
        steps.add("particles", s.particles);
    }
    d["steps"] = steps.dict();
    d["chosen"] = r.outcome.chosen < 0 ? py::object(py::none()) : py::object(py::int_(r.outcome.chosen));
    d["indistinct"] = r.outcome.indistinct, d["indistinct_sentence"] = indistinctSentence(r.tune, r.outcome);
    d["unit"] = tuneUnit(r.tune.scan);
    d["csv"] = tuneCsv(r.tune, r.outcome);
    return d;
}

// The keywords and their help, for the docstrings: (keyword, value, help).
template <typename Row>
py::list keywordHelp(const std::vector<Row>& table) {
    py::list out;
    for (const Row& row : table)
        if (*row.flag) out.append(py::make_tuple(pythonKeyword(row.flag), row.valueName, row.help));
    return out;
}

} // namespace

void registerSprayBindings(py::module_& m) {
    compiledModule = m;
    m.def("spray", &spray);
    m.def("tune", &tune);
    m.def("spray_keywords", [] { return keywordHelp(sprayOptionTable()); });
    m.def("tune_keywords", [] { return keywordHelp(tuneOptionTable()); });
}
