#include "particles/spray_option_table.h"

#include "particles/text_file.h"
#include "solver/file_access.h"
#include "solver/number_text.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <string_view>
#include <type_traits>
#include <utility>

namespace torvex::particles {

namespace {

constexpr double kMmPerInch = 25.4;
// Room for the options and a long path of a measured size distribution.
constexpr std::size_t kPowderMemoryLimit = 8192;

using K = OptionKind;

// ----- how a value reaches a member -------------------------------------------

void store(double& member, const OptionValue& v) { member = v.number; }
void store(int& member, const OptionValue& v) { member = static_cast<int>(v.number); }
void store(std::uint64_t& member, const OptionValue& v) { member = static_cast<std::uint64_t>(v.number); }
void store(bool& member, const OptionValue& v) { member = v.number != 0; }
void store(std::string& member, const OptionValue& v) { member = v.text; }
template <typename Enum, std::enable_if_t<std::is_enum_v<Enum>, int> = 0>
void store(Enum& member, const OptionValue& v) {
    member = static_cast<Enum>(static_cast<int>(v.number));
}

OptionValue load(const std::string& member) { return {0, 0, member}; }
template <typename Member>
OptionValue load(const Member& member) {
    if constexpr (std::is_enum_v<Member>) return {static_cast<double>(static_cast<int>(member)), 0, {}};
    else return {static_cast<double>(member), 0, {}};
}

// The member at the end of a path of member pointers (&SprayOptions::powder,
// &PowderOptions::d10Um), set and read without further code.
template <typename Target, auto... path>
constexpr OptionAccess<Target> slot() {
    return {[](Target& t, const OptionValue& v) { store((t .* ... .* path), v); },
            [](const Target& t) -> std::optional<OptionValue> { return load((t .* ... .* path)); }};
}

using S = SprayOptions;
using P = PowderOptions;
using I = InjectionOptions;
using M = ModelOptions;
using N = SensorOptions;
template <auto... path>
constexpr OptionAccess<S> at() {
    return slot<S, path...>();
}

// The options whose value sets more than one member.
constexpr OptionAccess<S> kOneSize{
    [](S& o, const OptionValue& v) { o.powder.singleSize = true, o.powder.d50Um = v.number; },
    [](const S& o) -> std::optional<OptionValue> {
        if (!o.powder.singleSize) return std::nullopt;
        return OptionValue{o.powder.d50Um, 0, {}};
    }};
constexpr OptionAccess<S> kLumped{[](S& o, const OptionValue& v) { o.model.internalConduction = v.number == 0; },
                                  [](const S& o) -> std::optional<OptionValue> {
                                      return OptionValue{o.model.internalConduction ? 0.0 : 1.0, 0, {}};
                                  }};
constexpr OptionAccess<S> kSensorPoint{
    [](S& o, const OptionValue& v) { o.sensor.atPlumeCentre = false, o.sensor.xMm = v.number, o.sensor.yMm = v.second; },
    [](const S& o) -> std::optional<OptionValue> {
        if (o.sensor.atPlumeCentre) return std::nullopt;
        return OptionValue{o.sensor.xMm, o.sensor.yMm, {}};
    }};
void fixedSpeed(S& o) { o.injection.speedFrom = InjectionSpeed::Fixed; }
void fixedCount(S& o) { o.precisionPoints = 0; }
void carrierGasSpeed(S& o) { o.injection.speedFrom = InjectionSpeed::CarrierGas; }

// The order of the rows is the order of kavel-run --help.
const std::vector<SprayOptionRow> kSprayOptions = {
    {"material", "material", "KEY", "powder material (default ysz8; --list-materials)", K::Name, at<&S::powder, &P::material>()},
    {"d10", "d10_um", "D", "size distribution d10, um (default 20; with --d50 and --d90)", K::Number, at<&S::powder, &P::d10Um>()},
    {"d50", "d50_um", "D", "size distribution d50, um (default 40)", K::Number, at<&S::powder, &P::d50Um>()},
    {"d90", "d90_um", "D", "size distribution d90, um (default 70)", K::Number, at<&S::powder, &P::d90Um>()},
    {"diameter", "", "D", "one size for every particle, um", K::Number, kOneSize},
    {"", "single_size", "", "", K::Flag, at<&S::powder, &P::singleSize>()},
    {"count", "count", "N", "a fixed number of particles (default: as many as --precision asks)", K::Whole, at<&S::powder, &P::count>(), 1, 1000000, "", fixedCount},
    {"precision", "precision_points", "P", "add particles until the molten and arriving mass shares are known to +-P points, 95 % (default 1; at most 100000 particles; 0: the --count)", K::Number, at<&S::precisionPoints>()},
    {"seed", "seed", "S", "random seed (default 1): same seed, same files", K::Whole, at<&S::seed>(), 0, 9007199254740991.0},
    {"injection-distance", "injector_distance_mm", "L", "injector downstream of the nozzle exit (default 2 mm)", K::Length, at<&S::injection, &I::distanceMm>()},
    {"injection-radius", "injector_radius_mm", "L", "injector's distance from the axis (default 8 mm)", K::Length, at<&S::injection, &I::radiusMm>()},
    {"injection-velocity", "injection_velocity_m_s", "V", "one mean injection speed for every size, m/s, instead of the carrier gas's", K::Number, at<&S::injection, &I::velocity>(), 0, 0, "", fixedSpeed},
    {"", "injection_speed", "", "", K::Choice, at<&S::injection, &I::speedFrom>(), 0, 0, "carrier-gas|fixed"},
    {"carrier-flow", "carrier_flow_slpm", "Q", "carrier-gas (argon) flow, SLPM (default 3)", K::Number, at<&S::injection, &I::carrierFlowSlpm>(), 0, 0, "", carrierGasSpeed},
    {"injector-diameter", "injector_diameter_mm", "L", "injector's internal diameter (default 1.8 mm)", K::Length, at<&S::injection, &I::injectorDiameterMm>()},
    {"injection-angle", "injector_angle_deg", "A", "injector tilt from the perpendicular to the axis, degrees, + downstream (default 0)", K::Number, at<&S::injection, &I::angleDeg>()},
    {"velocity-spread", "velocity_spread", "P", "spread of the injection speed, +-% (default 20)", K::Percent, at<&S::injection, &I::velocitySpread>()},
    {"divergence", "divergence_deg", "A", "full angle of the injection cone, degrees (default 0)", K::Number, at<&S::injection, &I::divergenceDeg>()},
    {"standoff", "standoff_mm", "L", "substrate distance from the nozzle exit (default 100 mm, or 4 in in inch mode)", K::Length, at<&S::standoffMm>()},
    {"substrate-radius", "substrate_radius_mm", "L", "radius of the substrate, a disc around the axis (default 50 mm); a particle crossing the standoff plane beyond it is lost, as one going upstream or still in flight after 20 ms", K::Length, at<&S::substrateRadiusMm>()},
    {"sensor-size", "sensor_size_mm", "L", "diameter of the in-flight sensor's measurement volume (default 3 mm)", K::Length, at<&S::sensor, &N::sizeMm>()},
    {"size-classes", "size_classes", "N", "classes of the size-class table, 5 to 10 (default 8)", K::Whole, at<&S::sizeClasses>(), 5, 10},
    {"sampled-trajectories", "sampled_trajectories", "N", "particles of the population whose trajectories are kept in trajectories.csv besides d10, d50 and d90, 0 to 2000 (default 20; more give smoother size classes along the flight)", K::Whole, at<&S::sampledTrajectories>(), 0, 2000},
    {"shells", "shell_count", "N", "radial shells of the conduction model (default 16)", K::Whole, at<&S::model, &M::shellCount>(), 1, 64},
    {"threads", "", "N", "threads (default: every core); results do not depend on it", K::Whole, at<&S::threads>(), 0, 64},
    {"size-basis", "size_basis", "volume|number", "d10/d50/d90 as quantiles of volume (mass, as datasheets give them; default) or of number", K::Choice, at<&S::powder, &P::sizeBasis>(), 0, 0, "volume|number"},
    {"size-distribution", "size_distribution_file", "FILE", "measured size distribution (CSV of size classes and volume percent)", K::Text, at<&S::powder, &P::sizeDistributionFile>()},
    {"drag", "drag_basis", "film|free-stream", "drag on film properties, or free-stream with the Lee-Pfender factor", K::Choice, at<&S::model, &M::dragBasis>(), 0, 0, "film|free-stream"},
    {"knudsen", "knudsen_correction", "on|off", "non-continuum correction of drag and heat", K::Switch, at<&S::model, &M::knudsenCorrection>()},
    {"radiation", "radiation", "on|off", "radiation loss of the particle surface", K::Switch, at<&S::model, &M::radiation>()},
    {"vapour-shielding", "vapour_shielding", "on|off", "heat to the particle reduced by the vapour leaving it", K::Switch, at<&S::model, &M::vapourShielding>()},
    {"diffusive-evaporation", "diffusive_evaporation", "on|off", "evaporation below the boiling point, driven by the vapour pressure", K::Switch, at<&S::model, &M::diffusiveEvaporation>()},
    {"gas-gamma", "gas_gamma", "X|auto", "heat-capacity ratio of the plasma gas in the non-continuum correction", K::Ratio, at<&S::model, &M::gasGamma>(), 1, 2},
    {"sensor-at", "", "X,Y", "sensor centre in the substrate plane (default: the centre of the particle plume)", K::Point, kSensorPoint},
    {"", "sensor_at_plume_centre", "", "", K::Flag, at<&S::sensor, &N::atPlumeCentre>()},
    {"", "sensor_x_mm", "", "", K::Length, at<&S::sensor, &N::xMm>()},
    {"", "sensor_y_mm", "", "", K::Length, at<&S::sensor, &N::yMm>()},
    {"lumped", "", "", "one temperature per particle (no internal conduction)", K::Flag, kLumped},
    {"", "internal_conduction", "", "", K::Flag, at<&S::model, &M::internalConduction>()},
    {"gravity", "gravity", "", "gravity across the jet (off by default)", K::Flag, at<&S::model, &M::gravity>()},
};

using T = TuneOptions;
// Choosing the scan chooses its default range.
constexpr OptionAccess<T> kScan{[](T& t, const OptionValue& v) {
                                    t.scan = static_cast<TuneScan>(static_cast<int>(v.number));
                                    if (t.scan == TuneScan::InjectionSpeed) t.from = 5, t.to = 40;
                                },
                                [](const T& t) -> std::optional<OptionValue> { return load(t.scan); }};

const std::vector<TuneOptionRow> kTuneOptions = {
    {"scan", "", "carrier|speed", "what is scanned: the carrier-gas flow or a fixed injection speed (default carrier)", K::Choice, kScan, 0, 0, "carrier|speed"},
    {"from", "", "X", "first setting (default 1 SLPM, or 5 m/s)", K::Number, slot<T, &T::from>()},
    {"to", "", "X", "last setting (default 8 SLPM, or 40 m/s)", K::Number, slot<T, &T::to>()},
    {"steps", "", "N", "settings from first to last, both included (default 15)", K::Whole, slot<T, &T::steps>(), 2, 100},
    {"goal", "", "deviation|molten", "the particle jet's deviation angle, or the most molten mass (default deviation)", K::Choice, slot<T, &T::goal>(), 0, 0, "deviation|molten"},
    {"target", "", "A", "deviation angle aimed at, degrees (default 3.5)", K::Number, slot<T, &T::targetDeg>()},
};

// Clashes: options that set one thing two ways.
struct Clash {
    const char* one;
    const char* what;
    std::vector<const char*> others;
};
const Clash kClashes[] = {{"diameter", "one size", {"d10", "d50", "d90"}},
                          {"injection-velocity", "one speed", {"carrier-flow"}},
                          {"count", "a fixed count", {"precision"}}};

std::vector<std::string> wordsOf(const char* words) {
    std::vector<std::string> out;
    std::string word;
    for (const char* c = words; *c; ++c) {
        if (*c == '|') out.push_back(word), word.clear();
        else word += *c;
    }
    if (!word.empty()) out.push_back(word);
    return out;
}

// kavel.dat writes its words with '_' for '-' ("free_stream").
std::string datWord(std::string word) {
    std::replace(word.begin(), word.end(), '-', '_');
    return word;
}

std::string quoted(const std::string& shown, const char* says, const std::string& text) {
    return shown + " " + says + ", not \"" + text + "\".";
}

template <typename Row>
const Row* findRow(const std::vector<Row>& table, const std::string& name, OptionNames names) {
    for (const Row& row : table)
        if (*row.flag && shownName(row.flag, names) == name) return &row;
    return nullptr;
}

// The entered options in the order of their rows.
template <typename Target>
std::vector<Entered<Target>> inRowOrder(std::vector<Entered<Target>> entered) {
    std::stable_sort(entered.begin(), entered.end(), [](const auto& a, const auto& b) { return a.row < b.row; });
    return entered;
}

// ----- kavel.dat values ---------------------------------------------------------

std::string datText(const SprayOptionRow& row, const OptionValue& v) {
    switch (row.kind) {
    case K::Whole: return std::to_string(static_cast<long long>(v.number));
    case K::Switch:
    case K::Flag: return v.number != 0 ? "1" : "0";
    case K::Choice: return datWord(wordsOf(row.words)[static_cast<std::size_t>(v.number)]);
    case K::Name:
    case K::Text: return v.text;
    default: break;
    }
    // printf's %.10g in the C locale, whatever the program's locale.
    char digits[32];
    const auto end = std::to_chars(digits, digits + sizeof digits, v.number, std::chars_format::general, 10).ptr;
    return std::string(digits, end);
}

bool readDatText(const SprayOptionRow& row, const std::string& text, OptionValue& v) {
    switch (row.kind) {
    // A carriage return would not survive the next write (a line end there).
    case K::Name:
        v.text = text;
        return !text.empty() && text.find('\r') == std::string::npos;
    case K::Text: v.text = text; return text.find('\r') == std::string::npos;
    case K::Switch:
    case K::Flag:
        v.number = text == "1";
        return text == "0" || text == "1";
    case K::Choice: {
        const std::vector<std::string> words = wordsOf(row.words);
        for (std::size_t k = 0; k < words.size(); ++k)
            if (text == datWord(words[k])) return v.number = static_cast<double>(k), true;
        return false;
    }
    case K::Whole:
        return parseDecimalNumber(text, v.number) && v.number == std::floor(v.number) && v.number >= row.low &&
               v.number <= row.high;
    default: return parseDecimalNumber(text, v.number);
    }
}

} // namespace

const std::vector<SprayOptionRow>& sprayOptionTable() { return kSprayOptions; }
const std::vector<TuneOptionRow>& tuneOptionTable() { return kTuneOptions; }

std::string pythonKeyword(const char* flag) {
    std::string name = flag;
    std::replace(name.begin(), name.end(), '-', '_');
    return name == "from" ? "from_" : name;
}

std::string shownName(const char* flag, OptionNames names) {
    return names == OptionNames::Terminal ? "--" + std::string(flag) : pythonKeyword(flag);
}

const SprayOptionRow* findSprayOption(const std::string& name, OptionNames names) {
    return findRow(kSprayOptions, name, names);
}

const TuneOptionRow* findTuneOption(const std::string& name, OptionNames names) {
    return findRow(kTuneOptions, name, names);
}

bool takeOptionText(OptionKind kind, double low, double high, const char* words, const std::string& shown,
                    const std::string& text, OptionValue& value, std::string& fault) {
    switch (kind) {
    case K::Name:
    case K::Text: value.text = text; return true;
    case K::Switch:
    case K::Flag:
        if (text != "on" && text != "off") return fault = quoted(shown, "takes on or off", text), false;
        value.number = text == "on";
        return true;
    case K::Choice: {
        const std::vector<std::string> choices = wordsOf(words);
        std::string list;
        for (std::size_t k = 0; k < choices.size(); ++k) {
            if (text == choices[k]) return value.number = static_cast<double>(k), true;
            list += (list.empty() ? "" : " or ") + choices[k];
        }
        return fault = quoted(shown, ("takes " + list).c_str(), text), false;
    }
    case K::Ratio:
        if (text == "auto") return value.number = 0, true;
        if (!parseDecimalNumber(text, value.number) || value.number <= low || value.number > high)
            return fault = quoted(shown, ("takes a number above " + formatFixed(low, 0) + " and up to " + formatFixed(high, 0) +
                                          ", or auto").c_str(), text),
                   false;
        return true;
    case K::Point: {
        const std::size_t comma = text.find(',');
        if (comma == std::string::npos || !parseDecimalNumber(std::string_view(text).substr(0, comma), value.number) ||
            !parseDecimalNumber(std::string_view(text).substr(comma + 1), value.second))
            return fault = quoted(shown, "needs two numbers X,Y", text), false;
        return true;
    }
    default: break;
    }
    if (!parseDecimalNumber(text, value.number)) return fault = quoted(shown, "needs a number", text), false;
    if (kind == K::Whole && (value.number != std::floor(value.number) || value.number < low || value.number > high))
        return fault = shown + " must be a whole number from " + formatFixed(low, 0) + " to " + formatFixed(high, 0) + ".", false;
    return true;
}

std::string clashingOptions(const EnteredOptions& entered, OptionNames names) {
    const auto given = [&entered](const char* flag) {
        return std::any_of(entered.begin(), entered.end(),
                           [flag](const auto& e) { return std::string(e.row->flag) == flag; });
    };
    for (const Clash& clash : kClashes) {
        if (!given(clash.one) || std::none_of(clash.others.begin(), clash.others.end(), given)) continue;
        std::string others;
        for (const char* other : clash.others) others += (others.empty() ? "" : "/") + shownName(other, names);
        return shownName(clash.one, names) + " (" + clash.what + ") and " + others + " exclude each other.";
    }
    return {};
}

SprayOptions defaultSprayOptions(int lengthUnit) {
    SprayOptions o;
    o.precisionPoints = kDefaultPrecisionPoints;
    if (lengthUnit == 2) o.standoffMm = 4 * kMmPerInch;
    return o;
}

void applyEnteredOptions(const EnteredOptions& entered, int lengthUnit, SprayOptions& options) {
    const double toMm = lengthUnit == 2 ? kMmPerInch : 1.0;
    for (const auto& [row, typed] : inRowOrder(entered)) {
        OptionValue v = typed;
        if (row->kind == K::Length || row->kind == K::Point) v.number *= toMm, v.second *= toMm;
        if (row->kind == K::Percent) v.number /= 100.0;
        row->access.set(options, v);
        if (row->implies) row->implies(options);
    }
}

bool tuneOptionsOf(const EnteredTuneOptions& entered, TuneOptions& tune, std::string& fault) {
    for (const auto& [row, value] : inRowOrder(entered)) row->access.set(tune, value);
    fault = checkTuneOptions(tune);
    return fault.empty();
}

std::optional<OptionValue> shownValue(const SprayOptionRow& row, const SprayOptions& options, int lengthUnit) {
    std::optional<OptionValue> v = row.access.get(options);
    if (!v) return v;
    if (row.implies) {  // an injection speed is in effect only while the speed is fixed, a count while it is
        SprayOptions implied = options;
        row.implies(implied);
        if (powderMemoryText(implied) != powderMemoryText(options)) return std::nullopt;
    }
    const double toMm = lengthUnit == 2 ? kMmPerInch : 1.0;
    if (row.kind == K::Length || row.kind == K::Point) v->number /= toMm, v->second /= toMm;
    if (row.kind == K::Percent) v->number *= 100.0;
    return v;
}

std::string powderMemoryText(const SprayOptions& options) {
    std::vector<std::pair<std::string, std::string>> lines;
    for (const SprayOptionRow& row : kSprayOptions)
        if (*row.datKey) lines.emplace_back(row.datKey, datText(row, *row.access.get(options)));
    std::sort(lines.begin(), lines.end());
    std::string text;
    for (const auto& [key, value] : lines) text += key + " " + value + "\n";
    return text;
}

std::string readPowderMemoryLines(const std::vector<std::string>& lines, SprayOptions& options) {
    SprayOptions read = options;
    int number = 0;
    for (const std::string& line : lines) {
        ++number;
        if (line.empty()) continue;
        const std::size_t blank = line.find(' ');
        const std::string key = line.substr(0, blank);
        const std::string value = blank == std::string::npos ? std::string() : line.substr(blank + 1);
        const auto row = std::find_if(kSprayOptions.begin(), kSprayOptions.end(),
                                      [&key](const SprayOptionRow& r) { return *r.datKey && key == r.datKey; });
        OptionValue v;
        if (row == kSprayOptions.end() || !readDatText(*row, value, v))
            return "a line " + std::to_string(number) + " that is not understood: \"" + line + "\"";
        row->access.set(read, v);
    }
    options = read;
    return {};
}

bool readPowderMemory(const std::string& dir, SprayOptions& options, std::string& error) {
    const std::string path = dir + "/" + kPowderMemoryFile;
    std::string text, fault;
    if (!readRegularFile(path, kPowderMemoryLimit, text, fault)) {
        if (fault == "is missing") return true;  // never chosen in this folder: the defaults
        error = "The last powder file " + path + " " + fault + "; the dialog offers the defaults.";
        return false;
    }
    fault = readPowderMemoryLines(splitLines(text), options);
    if (fault.empty()) return true;
    error = "The last powder file " + path + " has " + fault + "; the dialog offers the defaults.";
    return false;
}

bool writePowderMemory(const std::string& dir, const SprayOptions& options, std::string& error) {
    const std::string path = dir + "/" + kPowderMemoryFile;
    std::string fault;
    if (replaceFile(path, powderMemoryText(options), fault)) return true;
    error = "The chosen powder was not kept in " + path + ": " + fault;
    return false;
}

} // namespace torvex::particles
