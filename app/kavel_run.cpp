// kavel-run: the spray-particle model over the plasma jet calculated in a
// working directory, without the desktop program. Prints a summary of what
// arrives at the substrate and writes particles.csv, trajectories.csv,
// sensor.csv and size-classes.csv; `kavel-run tune` scans the injection.
#include "app/kavel_chart_export.h"
#include "particles/in_flight.h"
#include "particles/injector_tuning.h"
#include "particles/particle_model.h"
#include "particles/spray_files.h"
#include "particles/spray_statistics.h"
#include "particles/text_file.h"
#include "solver/exit_status.h"

#include <CLI/CLI.hpp>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <optional>
#include <string>

#include <unistd.h>  // isatty

namespace {

using namespace torvex;
using namespace torvex::particles;

constexpr double kMmPerInch = 25.4;

// What --help adds below the generated option list.
const char* const kRunNotes =
    "\n"
    "Simulates spray particles in the plasma jet calculated in DIR (default: the\n"
    "current directory): reads un.dat, ip.dat, the gas property table and ftu.res\n"
    "there, injects the powder, follows every particle to the substrate plane and\n"
    "writes particles.csv, trajectories.csv, sensor.csv and size-classes.csv into\n"
    "DIR. Lengths of the injection, the standoff and the sensor are in the\n"
    "variant's unit (mm or in). Without --injection-velocity every particle leaves\n"
    "the injector at the speed its size reaches in the carrier gas (argon).\n"
    "\n"
    "The jet, its gas and its units are those of the finished result set in DIR\n"
    "(results.stamp); a set that is incomplete, mixed, or of another variant than\n"
    "ip.dat is refused. The four result files are replaced as one set,\n"
    "spray.stamp last.\n"
    "\n"
    "Exit status: 0 completed; 2 bad input or no finished result set (nothing\n"
    "written); 4 completed but the charts could not be written; 5 an output could\n"
    "not be written (found before the run: nothing changed; while replacing: the\n"
    "earlier files stay, or the new ones without spray.stamp); 6 a run is using\n"
    "DIR (nothing changed).\n"
    "Subcommand (with --help): tune.\n";

const char* const kTuneNotes =
    "\n"
    "Runs the spray of the options at a series of carrier-gas flows (or fixed\n"
    "injection speeds), prints per step the particle jet's deviation angle, the\n"
    "molten and arriving mass shares and the mean velocity and surface\n"
    "temperature at the standoff, marks with * a setting whose arriving mass is\n"
    "under 90 % (in tune.csv: arriving_under_90_percent = 1), names the setting\n"
    "that meets the goal and writes tune.csv (and the chart tune.png in builds\n"
    "with the user interface) into DIR.\n";

// A numeric option: its name, its help text and the value as typed, checked
// after parsing so that a fault is reported in the program's own words.
struct NumberOption {
    const char* name;
    const char* valueName;
    const char* help;
};

constexpr NumberOption kNumberOptions[] = {
    {"--d10", "D", "size distribution d10, um (default 20; with --d50 and --d90)"},
    {"--d50", "D", "size distribution d50, um (default 40)"},
    {"--d90", "D", "size distribution d90, um (default 70)"},
    {"--diameter", "D", "one size for every particle, um"},
    {"--count", "N", "number of particles (default 1000)"},
    {"--seed", "S", "random seed (default 1): same seed, same files"},
    {"--injection-distance", "L", "injector downstream of the nozzle exit (default 2 mm)"},
    {"--injection-radius", "L", "injector's distance from the axis (default 8 mm)"},
    {"--injection-velocity", "V", "one mean injection speed for every size, m/s, instead of the carrier gas's"},
    {"--carrier-flow", "Q", "carrier-gas (argon) flow, SLPM (default 3)"},
    {"--injector-diameter", "L", "injector's internal diameter (default 1.8 mm)"},
    {"--injection-angle", "A", "injector tilt from the perpendicular to the axis, degrees, + downstream (default 0)"},
    {"--velocity-spread", "P", "spread of the injection speed, +-% (default 20)"},
    {"--divergence", "A", "full angle of the injection cone, degrees (default 0)"},
    {"--standoff", "L", "substrate distance from the nozzle exit (default 100 mm, or 4 in in inch mode)"},
    {"--substrate-radius", "L",
     "radius of the substrate, a disc around the axis (default 50 mm); a particle crossing the standoff plane "
     "beyond it is lost, as one going upstream or still in flight after 20 ms"},
    {"--sensor-size", "L", "diameter of the in-flight sensor's measurement volume (default 3 mm)"},
    {"--size-classes", "N", "classes of the size-class table, 5 to 10 (default 8)"},
    {"--shells", "N", "radial shells of the conduction model (default 16)"},
    {"--threads", "N", "threads (default: every core); results do not depend on it"},
};

// Word options: the choices a model switch takes.
struct WordOption {
    const char* name;
    const char* valueName;
    const char* help;
};

constexpr WordOption kWordOptions[] = {
    {"--size-basis", "volume|number", "d10/d50/d90 as quantiles of volume (mass, as datasheets give them; default) or of number"},
    {"--size-distribution", "FILE", "measured size distribution (CSV of size classes and volume percent)"},
    {"--drag", "film|free-stream", "drag on film properties, or free-stream with the Lee-Pfender factor"},
    {"--knudsen", "on|off", "non-continuum correction of drag and heat"},
    {"--radiation", "on|off", "radiation loss of the particle surface"},
    {"--vapour-shielding", "on|off", "heat to the particle reduced by the vapour leaving it"},
    {"--diffusive-evaporation", "on|off", "evaporation below the boiling point, driven by the vapour pressure"},
    {"--gas-gamma", "X|auto", "heat-capacity ratio of the plasma gas in the non-continuum correction"},
    {"--sensor-at", "X,Y", "sensor centre in the substrate plane (default: the centre of the particle plume)"},
};

struct Options {
    std::string dir = ".";
    std::map<std::string, std::string> texts;  // option values as typed, by name
    std::map<std::string, double> numbers;     // numeric options by name, once checked
    std::string material = "ysz8";
    bool lumped = false, gravity = false, charts = false, listMaterials = false, progress = true;
};

// The options of the tune subcommand, as typed.
struct TuneTexts {
    std::string scan = "carrier", from, to, steps, goal = "deviation", target;
};

bool parseNumber(const char* text, double& value) {
    char* end = nullptr;
    value = std::strtod(text, &end);
    return end != text && *end == '\0' && std::isfinite(value);
}

// The options of a spray run, on the program and on its tune subcommand.
void addSprayOptions(CLI::App& app, Options& o) {
    app.add_option("--material", o.material, "powder material (default ysz8; --list-materials)")->option_text("KEY");
    for (const NumberOption& n : kNumberOptions)
        app.add_option(n.name, o.texts[n.name], n.help)->option_text(n.valueName);
    for (const WordOption& w : kWordOptions) app.add_option(w.name, o.texts[w.name], w.help)->option_text(w.valueName);
    app.add_flag("--lumped", o.lumped, "one temperature per particle (no internal conduction)");
    app.add_flag("--gravity", o.gravity, "gravity across the jet (off by default)");
    app.add_flag("--charts", o.charts,
                 "draw the spray chart pages into DIR as PNG images (builds with the user interface only)");
    app.add_flag("--list-materials", o.listMaterials, "list the materials and end");
    app.add_flag_callback("--no-progress", [&o] { o.progress = false; }, "no progress bar");
    app.add_option("DIR", o.dir, "working directory (default: the current directory)");
    // Unknown options and a second directory are named in the program's own words.
    app.allow_extras();
}

void addTuneOptions(CLI::App& tune, TuneTexts& t) {
    tune.add_option("--scan", t.scan, "what is scanned: the carrier-gas flow or a fixed injection speed (default carrier)")
        ->option_text("carrier|speed");
    tune.add_option("--from", t.from, "first setting (default 1 SLPM, or 5 m/s)")->option_text("X");
    tune.add_option("--to", t.to, "last setting (default 8 SLPM, or 40 m/s)")->option_text("X");
    tune.add_option("--steps", t.steps, "settings from first to last, both included (default 15)")->option_text("N");
    tune.add_option("--goal", t.goal, "the particle jet's deviation angle, or the most molten mass (default deviation)")
        ->option_text("deviation|molten");
    tune.add_option("--target", t.target, "deviation angle aimed at, degrees (default 3.5)")->option_text("A");
    tune.footer(kTuneNotes);
}

// Unknown options and surplus directories left over by the parser; on a fault
// prints it and returns false.
bool checkExtras(const std::vector<std::string>& extras) {
    for (const std::string& arg : extras) {
        if (arg.rfind("-", 0) == 0 && arg.size() > 1) {
            std::fprintf(stderr, "kavel-run: unknown option %s (see --help).\n", arg.c_str());
            return false;
        }
        std::fprintf(stderr, "kavel-run: only one working directory may be given.\n");
        return false;
    }
    return true;
}

// The numeric option texts as numbers; on a fault prints it and returns false.
bool takeNumbers(Options& o) {
    for (const NumberOption& n : kNumberOptions) {
        const std::string& text = o.texts[n.name];
        if (text.empty()) continue;
        double number = 0;
        if (!parseNumber(text.c_str(), number)) {
            std::fprintf(stderr, "kavel-run: %s needs a number, not \"%s\".\n", n.name, text.c_str());
            return false;
        }
        o.numbers[n.name] = number;
    }
    return true;
}

std::optional<double> number(const Options& o, const char* name) {
    const auto it = o.numbers.find(name);
    if (it == o.numbers.end()) return std::nullopt;
    return it->second;
}

std::string text(const Options& o, const char* name) {
    const auto it = o.texts.find(name);
    return it == o.texts.end() ? std::string() : it->second;
}

// A whole number option within [low, high]; false with a message otherwise.
bool wholeNumber(const Options& o, const char* name, double low, double high, double& value) {
    const std::optional<double> v = number(o, name);
    if (!v) return true;
    if (*v != std::floor(*v) || *v < low || *v > high) {
        std::fprintf(stderr, "kavel-run: %s must be a whole number from %.0f to %.0f.\n", name, low, high);
        return false;
    }
    value = *v;
    return true;
}

// An on|off switch; false with a message when the word is neither.
bool onOff(const Options& o, const char* name, bool& value) {
    const std::string word = text(o, name);
    if (word.empty()) return true;
    if (word != "on" && word != "off") {
        std::fprintf(stderr, "kavel-run: %s takes on or off, not \"%s\".\n", name, word.c_str());
        return false;
    }
    value = word == "on";
    return true;
}

// A word among the choices; false with a message otherwise.
bool oneOf(const Options& o, const char* name, std::initializer_list<const char*> choices) {
    const std::string word = text(o, name);
    if (word.empty()) return true;
    std::string list;
    for (const char* c : choices) {
        if (word == c) return true;
        list += (list.empty() ? "" : " or ") + std::string(c);
    }
    std::fprintf(stderr, "kavel-run: %s takes %s, not \"%s\".\n", name, list.c_str(), word.c_str());
    return false;
}

// The model switches and the sensor position; false with a message on a fault.
bool takeWordOptions(const Options& o, double toMm, SprayOptions& s) {
    if (!oneOf(o, "--size-basis", {"volume", "number"}) || !oneOf(o, "--drag", {"film", "free-stream"}) ||
        !onOff(o, "--knudsen", s.model.knudsenCorrection) || !onOff(o, "--radiation", s.model.radiation) ||
        !onOff(o, "--vapour-shielding", s.model.vapourShielding) ||
        !onOff(o, "--diffusive-evaporation", s.model.diffusiveEvaporation))
        return false;
    if (text(o, "--size-basis") == "number") s.powder.sizeBasis = SizeBasis::Number;
    if (text(o, "--drag") == "free-stream") s.model.dragBasis = DragBasis::FreeStream;
    s.powder.sizeDistributionFile = text(o, "--size-distribution");
    const std::string gamma = text(o, "--gas-gamma");
    double g = 0;
    if (!gamma.empty() && gamma != "auto" && (!parseNumber(gamma.c_str(), g) || g <= 1 || g > 2)) {
        std::fprintf(stderr, "kavel-run: --gas-gamma takes a number above 1 and up to 2, or auto, not \"%s\".\n",
                     gamma.c_str());
        return false;
    }
    s.model.gasGamma = g;  // 0: from the gas
    const std::string at = text(o, "--sensor-at");
    if (!at.empty()) {
        const std::size_t comma = at.find(',');
        double x = 0, y = 0;
        if (comma == std::string::npos || !parseNumber(at.substr(0, comma).c_str(), x) ||
            !parseNumber(at.substr(comma + 1).c_str(), y)) {
            std::fprintf(stderr, "kavel-run: --sensor-at needs two numbers X,Y, not \"%s\".\n", at.c_str());
            return false;
        }
        s.sensor.atPlumeCentre = false;
        s.sensor.xMm = x * toMm;
        s.sensor.yMm = y * toMm;
    }
    return true;
}

// The spray options from the command line; lengths in the variant's unit.
bool buildSprayOptions(const Options& o, const std::string& material, int lengthUnit, SprayOptions& s) {
    const double toMm = lengthUnit == 2 ? kMmPerInch : 1.0;
    s.powder.material = material;
    const auto d10 = number(o, "--d10"), d50 = number(o, "--d50"), d90 = number(o, "--d90");
    const auto diameter = number(o, "--diameter");
    if (diameter && (d10 || d50 || d90)) {
        std::fprintf(stderr, "kavel-run: --diameter (one size) and --d10/--d50/--d90 exclude each other.\n");
        return false;
    }
    if (diameter) {
        s.powder.singleSize = true;
        s.powder.d50Um = *diameter;
    }
    if (d10) s.powder.d10Um = *d10;
    if (d50) s.powder.d50Um = *d50;
    if (d90) s.powder.d90Um = *d90;
    double count = s.powder.count, seed = 1, shells = s.model.shellCount, threads = 0, classes = s.sizeClasses;
    if (!wholeNumber(o, "--count", 1, 1000000, count) || !wholeNumber(o, "--seed", 0, 9007199254740991.0, seed) ||
        !wholeNumber(o, "--shells", 1, 64, shells) || !wholeNumber(o, "--threads", 0, 64, threads) ||
        !wholeNumber(o, "--size-classes", 5, 10, classes))
        return false;
    s.powder.count = static_cast<int>(count);
    s.seed = static_cast<std::uint64_t>(seed);
    s.model.shellCount = static_cast<int>(shells);
    s.threads = static_cast<int>(threads);
    s.sizeClasses = static_cast<int>(classes);
    const auto velocity = number(o, "--injection-velocity"), carrier = number(o, "--carrier-flow");
    if (velocity && carrier) {
        std::fprintf(stderr, "kavel-run: --injection-velocity (one speed) and --carrier-flow exclude each other.\n");
        return false;
    }
    if (auto v = number(o, "--injection-distance")) s.injection.distanceMm = *v * toMm;
    if (auto v = number(o, "--injection-radius")) s.injection.radiusMm = *v * toMm;
    if (velocity) {
        s.injection.speedFrom = InjectionSpeed::Fixed;
        s.injection.velocity = *velocity;
    }
    if (carrier) s.injection.carrierFlowSlpm = *carrier;
    if (auto v = number(o, "--injector-diameter")) s.injection.injectorDiameterMm = *v * toMm;
    if (auto v = number(o, "--injection-angle")) s.injection.angleDeg = *v;
    if (auto v = number(o, "--velocity-spread")) s.injection.velocitySpread = *v / 100.0;
    if (auto v = number(o, "--divergence")) s.injection.divergenceDeg = *v;
    s.standoffMm = lengthUnit == 2 ? 4 * kMmPerInch : 100;
    if (auto v = number(o, "--standoff")) s.standoffMm = *v * toMm;
    if (auto v = number(o, "--substrate-radius")) s.substrateRadiusMm = *v * toMm;
    if (auto v = number(o, "--sensor-size")) s.sensor.sizeMm = *v * toMm;
    s.model.internalConduction = !o.lumped;
    s.model.gravity = o.gravity;
    return takeWordOptions(o, toMm, s);
}

// The scan of the tune subcommand; false with a message on a fault.
bool buildTuneOptions(const TuneTexts& t, TuneOptions& tune) {
    if (t.scan != "carrier" && t.scan != "speed") {
        std::fprintf(stderr, "kavel-run: --scan takes carrier or speed, not \"%s\".\n", t.scan.c_str());
        return false;
    }
    if (t.goal != "deviation" && t.goal != "molten") {
        std::fprintf(stderr, "kavel-run: --goal takes deviation or molten, not \"%s\".\n", t.goal.c_str());
        return false;
    }
    tune.scan = t.scan == "carrier" ? TuneScan::CarrierFlow : TuneScan::InjectionSpeed;
    tune.goal = t.goal == "deviation" ? TuneGoal::Deviation : TuneGoal::Molten;
    if (tune.scan == TuneScan::InjectionSpeed) tune.from = 5, tune.to = 40;
    const std::pair<const char*, const std::string*> numbers[] = {
        {"--from", &t.from}, {"--to", &t.to}, {"--steps", &t.steps}, {"--target", &t.target}};
    double* const targets[] = {&tune.from, &tune.to, nullptr, &tune.targetDeg};
    for (int k = 0; k < 4; ++k) {
        const std::string& value = *numbers[k].second;
        if (value.empty()) continue;
        double v = 0;
        if (!parseNumber(value.c_str(), v)) {
            std::fprintf(stderr, "kavel-run: %s needs a number, not \"%s\".\n", numbers[k].first, value.c_str());
            return false;
        }
        if (targets[k]) *targets[k] = v;
        else if (v != std::floor(v) || v < 2 || v > 100) {
            std::fprintf(stderr, "kavel-run: --steps must be a whole number from 2 to 100.\n");
            return false;
        } else tune.steps = static_cast<int>(v);
    }
    const std::string fault = checkTuneOptions(tune);
    if (!fault.empty()) {
        std::fprintf(stderr, "kavel-run: %s\n", fault.c_str());
        return false;
    }
    return true;
}

// Progress on one terminal line; a plain line every quarter otherwise.
class ProgressBar {
public:
    explicit ProgressBar(bool enabled) : enabled_(enabled), terminal_(isatty(fileno(stdout)) != 0) {}
    bool operator()(int percent) {
        if (!enabled_ || (!terminal_ && (percent % 25 != 0 || percent == last_))) return true;
        constexpr int kWidth = 40;
        const int filled = percent * kWidth / 100;
        std::printf(terminal_ ? "\r%-10s [%.*s%*s] %3d %%" : "%-10s [%.*s%*s] %3d %%\n", "Particles", filled,
                    "########################################", kWidth - filled, "", percent);
        std::fflush(stdout);
        drawn_ = true;
        last_ = percent;
        return true;
    }
    void finish() const {
        if (enabled_ && terminal_ && drawn_) std::printf("\n");
        std::fflush(stdout);
    }

private:
    bool enabled_, terminal_;
    bool drawn_ = false;
    int last_ = -1;
};

struct LengthUnit {
    double perMm;
    const char* name;
    int decimals;
};

void printMoments(const char* what, const WeightedMoments& m, const char* unit, int decimals, double scale = 1) {
    std::printf("  %-22s %9.*f +- %-8.*f %-4s %9.*f +- %-8.*f %s\n", what, decimals, m.byNumber.mean * scale,
                decimals, m.byNumber.spread * scale, unit, decimals, m.byMass.mean * scale, decimals,
                m.byMass.spread * scale, unit);
}

double percentOf(int part, int whole) { return whole > 0 ? 100.0 * part / whole : 0.0; }

void printSummary(const JetField& field, const SprayOptions& o, const SprayOutcome& out) {
    const LengthUnit unit = field.lengthUnit == 2 ? LengthUnit{1 / kMmPerInch, "in", 3} : LengthUnit{1, "mm", 1};
    std::printf("Jet: %s", field.variantName.c_str());
    std::printf(", field to %.*f %s (%d cross-sections)\n", unit.decimals, field.endMm() * unit.perMm, unit.name,
                field.recordCount);
    std::printf("Powder: %s, ", out.material.name.c_str());
    if (o.powder.singleSize) std::printf("%.1f um", o.powder.d50Um);
    else std::printf("d10/d50/d90 = %.1f/%.1f/%.1f um", o.powder.d10Um, o.powder.d50Um, o.powder.d90Um);
    if (!o.powder.sizeDistributionFile.empty()) std::printf(" (measured distribution %s)", o.powder.sizeDistributionFile.c_str());
    else if (!o.powder.singleSize)
        std::printf(" by %s", o.powder.sizeBasis == SizeBasis::Volume ? "volume" : "number");
    std::printf(", %d particles, seed %llu\n", o.powder.count, static_cast<unsigned long long>(o.seed));
    std::printf("Model:\n");
    for (const std::string& line : describeModel(o.model, field.gasCode)) std::printf("  %s\n", line.c_str());
    std::printf("Material:\n");
    for (const std::string& line : describeMaterial(out.material)) std::printf("  %s\n", line.c_str());
    const InjectionOptions& in = o.injection;
    std::printf("Injection: %.*f %s downstream, %.*f %s from the axis, angle %.1f deg, ", unit.decimals,
                in.distanceMm * unit.perMm, unit.name, unit.decimals, in.radiusMm * unit.perMm, unit.name, in.angleDeg);
    if (in.speedFrom == InjectionSpeed::Fixed) std::printf("%.1f m/s", in.velocity);
    else
        std::printf("carrier gas %.2f SLPM argon through %.*f %s (speed of each size at the exit)", in.carrierFlowSlpm,
                    unit.decimals + 1, in.injectorDiameterMm * unit.perMm, unit.name);
    std::printf(" +- %.0f %%, cone %.1f deg\n", in.velocitySpread * 100, in.divergenceDeg);
    if (!out.notice.empty()) std::printf("%s\n", out.notice.c_str());

    const SprayStatistics s = computeStatistics(out.particles);
    std::printf("At %.*f %s from the nozzle exit:       by number                   by mass\n", unit.decimals,
                out.standoffMm * unit.perMm, unit.name);
    printMoments("velocity", s.velocity, "m/s", 1);
    printMoments("surface temperature", s.surfaceTemperature, "K", 0);
    printMoments("mean temperature", s.meanTemperature, "K", 0);
    printMoments("molten fraction", s.moltenFraction, "", 3);
    printMoments("position", s.radialPosition, unit.name, unit.decimals + 1, unit.perMm);
    printMoments("flight time", s.flightTime, "ms", 3);
    std::printf("Particles: %d arrived (%.1f %%): %d fully molten (%.1f %%), %d partly molten, %d solid\n", s.arrived,
                percentOf(s.arrived, s.total), s.fullyMolten, percentOf(s.fullyMolten, s.total), s.partlyMolten,
                s.solid);
    std::printf("           %d evaporated (%.1f %%), %d lost (%.1f %%): %d beside the substrate (crossed the plane "
                "beyond %.*f %s from the axis), %d upstream, %d still in flight after %.1f ms\n",
                s.evaporated, percentOf(s.evaporated, s.total), s.missed, percentOf(s.missed, s.total), s.missedSide,
                unit.decimals, o.substrateRadiusMm * unit.perMm, unit.name, s.missedUpstream, s.timedOut,
                o.model.maxFlightTimeMs);
    if (s.fieldEnded > 0)
        std::printf("           %d reached the end of the field at %.*f %s\n", s.fieldEnded, unit.decimals,
                    out.fieldEndMm * unit.perMm, unit.name);
    int unconverged = 0, particlesUnconverged = 0;
    for (const ParticleResult& p : out.particles)
        if (p.unconvergedSteps > 0) unconverged += p.unconvergedSteps, ++particlesUnconverged;
    if (unconverged > 0)
        std::printf("Warning: %d steps of %d particles did not converge in the heat solver (kept at the best state).\n",
                    unconverged, particlesUnconverged);
    std::printf("Deposition spot: molten mass centred at (x, y) = (%.*f, %.*f) %s, spread %.*f x %.*f %s\n",
                unit.decimals + 1, s.spotCentreOutOfPlaneMm * unit.perMm, unit.decimals + 1, s.spotCentreMm * unit.perMm,
                unit.name, unit.decimals + 1, s.spotSpreadOutOfPlaneMm * unit.perMm, unit.decimals + 1,
                s.spotSpreadMm * unit.perMm, unit.name);
    std::printf("Mass of the injected: molten arriving %.1f %%, arriving %.1f %%, evaporated %.1f %%\n",
                s.moltenMassShare * 100, s.depositedMassShare * 100, s.evaporatedMassShare * 100);
    std::printf("Particle jet deviation: %.2f deg from the torch axis (+: beyond the axis)\n",
                deviationAngleDeg(s, in, out.standoffMm));
    const SensorReading r = readSensor(out.particles, o.sensor);
    std::printf("In-flight sensor: %.*f %s volume at (x, y) = (%.*f, %.*f) %s%s, %d particles by number:\n",
                unit.decimals, r.sizeMm * unit.perMm, unit.name, unit.decimals + 1, r.centreXMm * unit.perMm,
                unit.decimals + 1, r.centreYMm * unit.perMm, unit.name,
                o.sensor.atPlumeCentre ? " (plume centre)" : "", r.count);
    std::printf("  velocity %.1f +- %.1f m/s, surface temperature %.0f +- %.0f K, diameter %.1f +- %.1f um\n",
                r.velocity.mean, r.velocity.spread, r.surfaceTemperature.mean, r.surfaceTemperature.spread,
                r.diameterUm.mean, r.diameterUm.spread);
    std::printf("By size class:  d (um)         count  mass %%  arrived  velocity  surface T  molten  evaporated\n");
    for (const SizeClass& c : sizeClasses(out.particles, o.sizeClasses))
        std::printf("  %6.1f - %6.1f   %7d  %6.1f  %7d  %6.1f m/s  %7.0f K  %5.1f %%  %7.2f %%\n", c.lowerUm, c.upperUm,
                    c.count, 100 * c.massShare, c.arrived, c.velocity, c.surfaceTemperature, 100 * c.moltenShare,
                    100 * c.evaporatedShare);
}

void listMaterials(const MaterialTable& table) {
    for (const std::string& source : table.sources) std::printf("From %s\n", source.c_str());
    for (const Material& m : table.rows)
        std::printf("  %-8s %-48s melts at %.0f K, boils at %.0f K\n", m.key.c_str(), m.name.c_str(), m.meltingPoint,
                    m.boilingPoint);
}


// The tune subcommand's table on the terminal, and the setting it names.
void printTune(const TuneOptions& tune, const TuneOutcome& out) {
    const char* unit = tuneUnit(tune.scan);
    std::printf("%-9s  deviation  molten mass  arriving mass  velocity  surface T  arrived\n",
                tune.scan == TuneScan::CarrierFlow ? "flow" : "speed");
    bool anyShort = false;
    for (const TuneStep& s : out.steps) {
        std::printf("%5.2f %-4s %7.2f deg  %9.1f %%  %11.1f %%%s %6.1f m/s  %7.0f K  %7d\n", s.setting, unit,
                    s.deviationDeg, 100 * s.moltenMassShare, 100 * s.arrivingMassShare, arrivesShort(s) ? "*" : " ",
                    s.velocity, s.surfaceTemperature, s.arrived);
        anyShort = anyShort || arrivesShort(s);
    }
    if (anyShort) std::printf("* less than %.0f %% of the injected mass arrives on the substrate\n",
                              100 * kLowArrivingMassShare);
    if (out.chosen < 0) {
        std::printf("No setting brings particles to the standoff.\n");
        return;
    }
    const TuneStep& best = out.steps[static_cast<std::size_t>(out.chosen)];
    if (tune.goal == TuneGoal::Deviation)
        std::printf("Setting for a deviation of %.2f deg: %.2f %s (deviation %.2f deg, molten mass %.1f %%)\n",
                    tune.targetDeg, best.setting, unit, best.deviationDeg, 100 * best.moltenMassShare);
    else
        std::printf("Setting for the most molten mass: %.2f %s (molten mass %.1f %%, deviation %.2f deg)\n",
                    best.setting, unit, 100 * best.moltenMassShare, best.deviationDeg);
}

// kavel-run tune: the scan, its table, tune.csv and tune.png.
int runTune(const Options& options, const JetField& field, const Material& material, const SprayOptions& spray,
            const TuneOptions& tune) {
    ProgressBar bar(options.progress);
    const TuneOutcome outcome = tuneInjection(field, material, spray, tune, [&bar](int p) { return bar(p); });
    bar.finish();
    if (outcome.result != SprayResult::Completed) {
        std::fprintf(stderr, "kavel-run: %s\n", outcome.message.c_str());
        return kExitBadInput;
    }
    printTune(tune, outcome);
    std::string error;
    if (!writeFileAtomically(options.dir, "tune.csv", tuneCsv(tune, outcome), error)) {
        std::fprintf(stderr, "kavel-run: %s.\n", error.c_str());
        return kExitOutputFault;
    }
    std::printf("Result file: %s/tune.csv\n", options.dir.c_str());
    if (!sprayChartExportAvailable()) {
        std::printf("The chart tune.png needs the build with the user interface (Qt); it was not drawn.\n");
        return kExitCompleted;
    }
    if (!exportTuneChart(options.dir, tune, outcome, error)) {
        std::fprintf(stderr, "kavel-run: the chart was not written: %s.\n", error.c_str());
        return kExitChartsNotWritten;
    }
    std::printf("Chart: %s/tune.png\n", options.dir.c_str());
    return kExitCompleted;
}

// A parse fault in the program's own words where it had them.
int parseFault(CLI::App& app, const CLI::ParseError& e) {
    if (dynamic_cast<const CLI::ArgumentMismatch*>(&e)) {
        const std::string what = e.what();
        std::fprintf(stderr, "kavel-run: option %s needs a value.\n", what.substr(0, what.find(':')).c_str());
        return kExitBadInput;
    }
    // Help is not a fault; every malformed command line is bad input.
    return app.exit(e) == 0 ? kExitCompleted : kExitBadInput;
}

} // namespace

int main(int argc, char** argv) {
    CLI::App app{"kavel-run: spray particles in a calculated plasma jet.", "kavel-run"};
    Options options;
    addSprayOptions(app, options);
    app.footer(kRunNotes);
    CLI::App* tuneCommand = app.add_subcommand("tune", "scan the carrier-gas flow (or injection speed) for a goal");
    addSprayOptions(*tuneCommand, options);
    TuneTexts tuneTexts;
    addTuneOptions(*tuneCommand, tuneTexts);
    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& e) {
        return parseFault(app, e);
    }
    const bool tuning = tuneCommand->parsed();
    if (!checkExtras(tuning ? tuneCommand->remaining() : app.remaining()) || !takeNumbers(options))
        return kExitBadInput;
    TuneOptions tune;
    if (tuning && !buildTuneOptions(tuneTexts, tune)) return kExitBadInput;
    const std::string materialKey = options.material;
    MaterialTable materials;
    const MaterialStatus materialStatus = loadMaterials(options.dir, materials);
    if (!materialStatus.ok) {
        std::fprintf(stderr, "kavel-run: %s\n", materialStatus.message.c_str());
        return kExitBadInput;
    }
    if (options.listMaterials) {
        listMaterials(materials);
        return kExitCompleted;
    }
    if (options.charts && !sprayChartExportAvailable()) {
        std::fprintf(stderr, "kavel-run: --charts needs the build with the user interface (Qt).\n");
        return kExitBadInput;
    }
    // A spray run holds the folder alone: no solver run replaces the jet
    // while it is read, and no other spray replaces the outputs.
    std::optional<WorkDirLock> held;
    const WorkDirLock& lock = held.emplace(options.dir);
    if (!lock.held()) {
        std::fprintf(stderr, "kavel-run: %s\n", lock.message().c_str());
        return exitStatusOf(lockRefusal(lock).result);
    }
    JetField field;
    const FieldStatus fieldStatus = readJetField(lock, field);
    if (!fieldStatus.ok) {
        std::fprintf(stderr, "kavel-run: %s\n", fieldStatus.message.c_str());
        return kExitBadInput;
    }
    const Material* material = materials.find(materialKey);
    if (!material) {
        std::string keys;
        for (const Material& m : materials.rows) keys += (keys.empty() ? "" : ", ") + m.key;
        std::fprintf(stderr, "kavel-run: there is no material \"%s\" (known: %s).\n", materialKey.c_str(),
                     keys.c_str());
        return kExitBadInput;
    }
    SprayOptions spray;
    if (!buildSprayOptions(options, materialKey, field.lengthUnit, spray)) return kExitBadInput;
    const std::string fault = checkOptions(spray, field.endMm());
    if (!fault.empty()) {
        std::fprintf(stderr, "kavel-run: %s\n", fault.c_str());
        return kExitBadInput;
    }
    if (tuning) return runTune(options, field, *material, spray, tune);

    std::string error;
    if (!checkSprayOutputs(lock, error)) {
        std::fprintf(stderr, "kavel-run: %s Nothing was changed.\n", error.c_str());
        return kExitOutputFault;
    }

    ProgressBar bar(options.progress);
    const SprayOutcome outcome = simulateSpray(field, *material, spray, [&bar](int p) { return bar(p); });
    bar.finish();
    if (outcome.result != SprayResult::Completed) {
        std::fprintf(stderr, "kavel-run: %s\n", outcome.message.c_str());
        return kExitBadInput;
    }
    printSummary(field, spray, outcome);
    if (!writeSprayFiles(lock, spray, outcome, error)) {
        std::fprintf(stderr, "kavel-run: %s\n", error.c_str());
        return kExitOutputFault;
    }
    std::printf("Result files: %s/%s, %s, %s, %s\n", options.dir.c_str(), kParticlesFile, kTrajectoriesFile,
                kSensorFile, kSizeClassesFile);
    held.reset();  // the chart pages read the jet again, under a shared lock
    if (options.charts) {
        std::string written;
        if (!exportSprayChartPages(options.dir, spray, outcome, written, error)) {
            std::fprintf(stderr, "kavel-run: the charts were not written: %s.\n", error.c_str());
            return kExitChartsNotWritten;
        }
        std::printf("Charts: %s\n", written.c_str());
    }
    return kExitCompleted;
}
