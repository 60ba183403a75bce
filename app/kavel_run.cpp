// kavel-run: the spray-particle model over the plasma jet calculated in a
// working directory, without the desktop program. Prints a summary of what
// arrives at the substrate and writes particles.csv and trajectories.csv.
#include "app/kavel_chart_export.h"
#include "particles/particle_model.h"
#include "particles/spray_files.h"
#include "particles/spray_statistics.h"
#include "solver/exit_status.h"

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

const char* const kUsage =
    "Usage: kavel-run [options] [DIR]\n"
    "\n"
    "Simulates spray particles in the plasma jet calculated in DIR (default: the\n"
    "current directory): reads un.dat, ip.dat, the gas property table and ftu.res\n"
    "there, injects the powder, follows every particle to the substrate plane and\n"
    "writes particles.csv and trajectories.csv into DIR.\n"
    "\n"
    "Powder:\n"
    "  --material KEY            powder material (default ysz8; --list-materials)\n"
    "  --d10 D --d50 D --d90 D   log-normal size distribution, um (default 20/40/70)\n"
    "  --diameter D              one size for every particle, um\n"
    "  --count N                 number of particles (default 1000)\n"
    "  --seed S                  random seed (default 1): same seed, same files\n"
    "Injection (lengths in the variant's unit, mm or in):\n"
    "  --injection-distance L    injector downstream of the nozzle exit (default 2 mm)\n"
    "  --injection-radius L      injector's distance from the axis (default 8 mm)\n"
    "  --injection-velocity V    mean injection speed, m/s (default 20)\n"
    "  --velocity-spread P       spread of the injection speed, +-% (default 20)\n"
    "  --divergence A            full angle of the injection cone, degrees (default 0)\n"
    "  --standoff L              substrate distance from the nozzle exit\n"
    "                            (default 100 mm, or 4 in in inch mode)\n"
    "Model:\n"
    "  --lumped                  one temperature per particle (no internal conduction)\n"
    "  --shells N                radial shells of the conduction model (default 16)\n"
    "  --gravity                 gravity across the jet (off by default)\n"
    "  --threads N               threads (default: every core); results do not depend on it\n"
    "Other options:\n"
    "  --charts                  draw the spray chart pages into DIR as PNG images\n"
    "                            (builds with the user interface only)\n"
    "  --list-materials          list the materials and end\n"
    "  --no-progress             no progress bar\n"
    "  -h, --help                this text\n"
    "\n"
    "The jet, its gas and its units are those of the finished result set in DIR\n"
    "(results.stamp); a set that is incomplete, mixed, or of another variant than\n"
    "ip.dat is refused. particles.csv and trajectories.csv are replaced as one set,\n"
    "spray.stamp last.\n"
    "\n"
    "Exit status: 0 completed; 2 bad input or no finished result set (nothing\n"
    "written); 4 completed but the charts could not be written; 5 an output could\n"
    "not be written (found before the run: nothing changed; while replacing: the\n"
    "earlier files stay, or the new ones without spray.stamp); 6 a run is using\n"
    "DIR (nothing changed).\n";

struct Options {
    std::string dir = ".";
    std::map<std::string, double> numbers;  // numeric options by name
    bool lumped = false, gravity = false, charts = false, listMaterials = false, progress = true;
};

bool isNumericOption(const std::string& arg) {
    static const char* const names[] = {"--d10", "--d50", "--d90", "--diameter", "--count", "--seed",
                                        "--injection-distance", "--injection-radius", "--injection-velocity",
                                        "--velocity-spread", "--divergence", "--standoff", "--shells", "--threads"};
    for (const char* n : names)
        if (arg == n) return true;
    return false;
}

bool parseNumber(const char* text, double& value) {
    char* end = nullptr;
    value = std::strtod(text, &end);
    return end != text && *end == '\0' && std::isfinite(value);
}

// Parses the command line; on a fault prints it and returns false.
bool parseOptions(int argc, char** argv, Options& o, std::string& material, bool& help) {
    bool dirSeen = false;
    for (int k = 1; k < argc; ++k) {
        const std::string arg = argv[k];
        if (arg == "-h" || arg == "--help") { help = true; return true; }
        if (arg == "--lumped") { o.lumped = true; continue; }
        if (arg == "--gravity") { o.gravity = true; continue; }
        if (arg == "--charts") { o.charts = true; continue; }
        if (arg == "--list-materials") { o.listMaterials = true; continue; }
        if (arg == "--no-progress") { o.progress = false; continue; }
        if (arg.rfind("--", 0) == 0) {
            if (arg != "--material" && !isNumericOption(arg)) {
                std::fprintf(stderr, "kavel-run: unknown option %s (see --help).\n", arg.c_str());
                return false;
            }
            if (k + 1 >= argc) {
                std::fprintf(stderr, "kavel-run: option %s needs a value.\n", arg.c_str());
                return false;
            }
            const char* value = argv[++k];
            if (arg == "--material") { material = value; continue; }
            double number = 0;
            if (!parseNumber(value, number)) {
                std::fprintf(stderr, "kavel-run: %s needs a number, not \"%s\".\n", arg.c_str(), value);
                return false;
            }
            o.numbers[arg] = number;
            continue;
        }
        if (dirSeen) {
            std::fprintf(stderr, "kavel-run: only one working directory may be given.\n");
            return false;
        }
        o.dir = arg;
        dirSeen = true;
    }
    return true;
}

std::optional<double> number(const Options& o, const char* name) {
    const auto it = o.numbers.find(name);
    if (it == o.numbers.end()) return std::nullopt;
    return it->second;
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
    double count = s.powder.count, seed = 1, shells = s.model.shellCount, threads = 0;
    if (!wholeNumber(o, "--count", 1, 1000000, count) || !wholeNumber(o, "--seed", 0, 9007199254740991.0, seed) ||
        !wholeNumber(o, "--shells", 1, 64, shells) || !wholeNumber(o, "--threads", 0, 64, threads))
        return false;
    s.powder.count = static_cast<int>(count);
    s.seed = static_cast<std::uint64_t>(seed);
    s.model.shellCount = static_cast<int>(shells);
    s.threads = static_cast<int>(threads);
    if (auto v = number(o, "--injection-distance")) s.injection.distanceMm = *v * toMm;
    if (auto v = number(o, "--injection-radius")) s.injection.radiusMm = *v * toMm;
    if (auto v = number(o, "--injection-velocity")) s.injection.velocity = *v;
    if (auto v = number(o, "--velocity-spread")) s.injection.velocitySpread = *v / 100.0;
    if (auto v = number(o, "--divergence")) s.injection.divergenceDeg = *v;
    s.standoffMm = lengthUnit == 2 ? 4 * kMmPerInch : 100;
    if (auto v = number(o, "--standoff")) s.standoffMm = *v * toMm;
    s.model.internalConduction = !o.lumped;
    s.model.gravity = o.gravity;
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
    std::printf(", %d particles, seed %llu, %s\n", o.powder.count, static_cast<unsigned long long>(o.seed),
                o.model.internalConduction ? "internal conduction" : "lumped");
    std::printf("Injection: %.*f %s downstream, %.*f %s from the axis, %.1f m/s +- %.0f %%, divergence %.1f deg\n",
                unit.decimals, o.injection.distanceMm * unit.perMm, unit.name, unit.decimals,
                o.injection.radiusMm * unit.perMm, unit.name, o.injection.velocity, o.injection.velocitySpread * 100,
                o.injection.divergenceDeg);
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
    std::printf("           %d evaporated (%.1f %%), %d missed the plane (%.1f %%)", s.evaporated,
                percentOf(s.evaporated, s.total), s.missed, percentOf(s.missed, s.total));
    if (s.fieldEnded > 0) std::printf(", %d reached the end of the field", s.fieldEnded);
    std::printf("\n");
    std::printf("Deposition spot: molten mass centred at %.*f %s, spread %.*f %s; molten mass %.1f %% and "
                "arriving mass %.1f %% of the injected\n",
                unit.decimals + 1, s.spotCentreMm * unit.perMm, unit.name, unit.decimals + 1,
                s.spotSpreadMm * unit.perMm, unit.name, s.moltenMassShare * 100, s.depositedMassShare * 100);
}

void listMaterials(const MaterialTable& table) {
    for (const std::string& source : table.sources) std::printf("From %s\n", source.c_str());
    for (const Material& m : table.rows)
        std::printf("  %-8s %-48s melts at %.0f K, boils at %.0f K\n", m.key.c_str(), m.name.c_str(), m.meltingPoint,
                    m.boilingPoint);
}

} // namespace

int main(int argc, char** argv) {
    Options options;
    std::string materialKey = "ysz8";
    bool help = false;
    if (!parseOptions(argc, argv, options, materialKey, help)) return kExitBadInput;
    if (help) {
        std::fputs(kUsage, stdout);
        return kExitCompleted;
    }
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
    if (!writeSprayFiles(lock, outcome, error)) {
        std::fprintf(stderr, "kavel-run: %s\n", error.c_str());
        return kExitOutputFault;
    }
    std::printf("Result files: %s/%s, %s\n", options.dir.c_str(), kParticlesFile, kTrajectoriesFile);
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
