// kavel-run: the spray-particle model over the plasma jet calculated in a
// working directory, without the desktop program. Prints a summary of what
// arrives at the substrate and writes particles.csv, trajectories.csv,
// sensor.csv and size-classes.csv; `kavel-run tune` scans the injection.
#include "app/kavel_chart_export.h"
#include "particles/spray_files.h"
#include "particles/spray_in_folder.h"
#include "particles/spray_option_table.h"
#include "solver/exit_status.h"

#include <CLI/CLI.hpp>

#include <cstdio>
#include <map>
#include <string>

#include <unistd.h>  // isatty

namespace {

using namespace torvex;
using namespace torvex::particles;

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
    "Every mean and share is printed +- the half-width of its 95 % interval.\n"
    "Particles are added in batches until the molten and arriving mass shares\n"
    "are known to +-1 point (--precision; at most 100000 particles); --count N\n"
    "flies N particles instead.\n"
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
    "that meets the goal and the settings whose intervals cannot tell them from\n"
    "it, and writes tune.csv (and the chart tune.png in builds with the user\n"
    "interface) into DIR. Each setting flies its particles by --precision (at\n"
    "most 5000) or --count.\n";

// The options as typed, by their names without "--"; the flags by count.
struct Options {
    std::string dir = ".";
    std::map<std::string, std::string> texts;
    std::map<std::string, bool> flags;
    bool charts = false, listMaterials = false, progress = true;
};

// The options of a table on a command line, in the table's order.
template <typename Row>
void addTableOptions(CLI::App& app, const std::vector<Row>& table, Options& o) {
    for (const Row& row : table) {
        if (!*row.flag) continue;
        const std::string name = std::string("--") + row.flag;
        if (row.kind == OptionKind::Flag) app.add_flag(name, o.flags[row.flag], row.help);
        else app.add_option(name, o.texts[row.flag], row.help)->option_text(row.valueName);
    }
}

// The options of a spray run, on the program and on its tune subcommand.
void addSprayOptions(CLI::App& app, Options& o) {
    addTableOptions(app, sprayOptionTable(), o);
    app.add_flag("--charts", o.charts,
                 "draw the spray chart pages into DIR as PNG images (builds with the user interface only)");
    app.add_flag("--list-materials", o.listMaterials, "list the materials and end");
    app.add_flag_callback("--no-progress", [&o] { o.progress = false; }, "no progress bar");
    app.add_option("DIR", o.dir, "working directory (default: the current directory)");
    // Unknown options and a second directory are named in the program's own words.
    app.allow_extras();
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

// Whether an option is on the command line, before or after "tune".
bool given(const CLI::App& app, const std::string& name) {
    const CLI::Option* option = app.get_option_no_throw(name);
    if (option && option->count() > 0) return true;
    for (const CLI::App* sub : app.get_subcommands())
        if (given(*sub, name)) return true;
    return false;
}

// The options of a table given on the command line, each checked for its
// kind; on a fault prints it and returns false.
template <typename Row, typename Target>
bool enterGiven(const CLI::App& app, const std::vector<Row>& table, const Options& o,
                std::vector<Entered<Target>>& entered) {
    for (const Row& row : table) {
        if (!*row.flag || !given(app, std::string("--") + row.flag)) continue;
        const std::string text = row.kind == OptionKind::Flag ? "on" : o.texts.at(row.flag);
        std::string fault;
        if (!enterOption(row, text, OptionNames::Terminal, entered, fault)) {
            std::fprintf(stderr, "kavel-run: %s\n", fault.c_str());
            return false;
        }
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

void printLines(const std::vector<std::string>& lines) {
    for (const std::string& line : lines) std::printf("%s\n", line.c_str());
}

void listMaterials(const MaterialTable& table) {
    for (const std::string& source : table.sources) std::printf("From %s\n", source.c_str());
    for (const Material& m : table.rows)
        std::printf("  %-8s %-48s melts at %.0f K, boils at %.0f K\n", m.key.c_str(), m.name.c_str(), m.meltingPoint,
                    m.boilingPoint);
}

// The spray, its summary, the files and the charts.
int runSpray(const Options& options, const SprayRequest& request, ProgressBar& bar) {
    const SprayReport report = sprayIntoFolder(request);
    bar.finish();
    if (report.flown) printLines(spraySummaryLines(report));
    if (report.result != JobResult::Completed) {
        std::fprintf(stderr, "kavel-run: %s\n", report.message.c_str());
        return report.exitStatus;
    }
    std::printf("Result files: %s/%s, %s, %s, %s\n", options.dir.c_str(), kParticlesFile, kTrajectoriesFile,
                kSensorFile, kSizeClassesFile);
    if (options.charts) {
        std::string written, error;
        if (!exportSprayChartPages(options.dir, report, written, error)) {
            std::fprintf(stderr, "kavel-run: the charts were not written: %s.\n", error.c_str());
            return kExitChartsNotWritten;
        }
        std::printf("Charts: %s\n", written.c_str());
    }
    return kExitCompleted;
}

// kavel-run tune: the scan, its table, tune.csv and tune.png.
int runTune(const Options& options, const TuneRequest& request, ProgressBar& bar) {
    const TuneReport report = tuneInFolder(request);
    bar.finish();
    if (report.scanned) printLines(tuneSummaryLines(report));
    if (report.result != JobResult::Completed) {
        std::fprintf(stderr, "kavel-run: %s\n", report.message.c_str());
        return report.exitStatus;
    }
    std::printf("Result file: %s/%s\n", options.dir.c_str(), kTuneFile);
    if (!sprayChartExportAvailable()) {
        std::printf("The chart tune.png needs the build with the user interface (Qt); it was not drawn.\n");
        return kExitCompleted;
    }
    std::string error;
    if (!exportTuneChart(options.dir, report.tune, report.outcome, error)) {
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
    addTableOptions(*tuneCommand, tuneOptionTable(), options);
    tuneCommand->footer(kTuneNotes);
    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& e) {
        return parseFault(app, e);
    }
    const bool tuning = tuneCommand->parsed();
    TuneRequest request;
    request.spray.folder = options.dir;
    EnteredTuneOptions scan;
    if (!checkExtras(tuning ? tuneCommand->remaining() : app.remaining()) ||
        !enterGiven(app, sprayOptionTable(), options, request.spray.entered) ||
        (tuning && !enterGiven(app, tuneOptionTable(), options, scan)))
        return kExitBadInput;
    std::string fault = clashingOptions(request.spray.entered, OptionNames::Terminal);
    if (fault.empty() && tuning) tuneOptionsOf(scan, request.tune, fault);
    if (!fault.empty()) {
        std::fprintf(stderr, "kavel-run: %s\n", fault.c_str());
        return kExitBadInput;
    }
    if (options.listMaterials) {
        MaterialTable materials;
        const MaterialStatus status = loadMaterials(options.dir, materials);
        if (!status.ok) {
            std::fprintf(stderr, "kavel-run: %s\n", status.message.c_str());
            return kExitBadInput;
        }
        listMaterials(materials);
        return kExitCompleted;
    }
    if (options.charts && !sprayChartExportAvailable()) {
        std::fprintf(stderr, "kavel-run: --charts needs the build with the user interface (Qt).\n");
        return kExitBadInput;
    }
    ProgressBar bar(options.progress);
    request.spray.progress = [&bar](int percent) { return bar(percent); };
    return tuning ? runTune(options, request, bar) : runSpray(options, request.spray, bar);
}
