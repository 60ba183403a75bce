// torvex-run: runs the plasma jet solver on the variant in a working
// directory, without the desktop program. Optionally writes un.dat and ip.dat
// from the command line first, exactly as the input dialog writes them.
#include "app/chart_export.h"
#include "app/study_commands.h"
#include "solver/exit_status.h"
#include "solver/files.h"
#include "solver/number_text.h"
#include "solver/result_set.h"
#include "solver/solver.h"
#include "solver/state.h"
#include "solver/variant_run.h"

#include <CLI/CLI.hpp>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>

#include <unistd.h>  // isatty

namespace {

using namespace torvex;

// What --help adds below the generated option list.
const char* const kRunNotes =
    "\n"
    "Runs the plasma jet solver on the variant in DIR (default: the current\n"
    "directory): reads un.dat and ip.dat there, computes the flow inside the\n"
    "plasmatron and the free jet, and writes iop.par and the result files\n"
    "ilt.res, ztu0.res, rtu0.res ... rtu100.res and ftu.res into DIR, and\n"
    "results.stamp last, which marks the set as finished and whole.\n"
    "\n"
    "The five variant options go together and write ip.dat first, as the input\n"
    "dialog does; any unit option writes un.dat (units not given keep their\n"
    "value from un.dat, else metric, kelvin, SLPM); so does a new variant in a\n"
    "directory without un.dat.\n"
    "\n"
    "Exit status: 0 completed, 2 bad input, 3 the variant cannot be calculated,\n"
    "4 completed but the charts could not be written, 5 an output file could not\n"
    "be written (the message names it), 6 another run is using DIR (nothing was\n"
    "changed). Every refusal that can be foreseen (the lock, a directory at an\n"
    "output name, an unwritable DIR) comes before ip.dat or un.dat is written.\n"
    "\n"
    "Values outside the model's ranges or off its steps are brought into them;\n"
    "each such change is printed (\"anode diameter 99.99 mm is outside the model's\n"
    "range for argon (5.0 to 11.0 mm); 11.0 mm was used\") to the error output and\n"
    "in the summary. With --strict a change is bad input and nothing is written.\n"
    "Subcommands (each with --help): study, study-merge, study-chart, export.\n";

struct Options {
    std::string dir = ".";
    std::optional<double> gas, diameter, length, current, flow;
    std::optional<int> lengthUnit, temperatureUnit, flowUnit;
    bool characteristics = false;
    bool charts = false;
    bool progress = true;
    bool strict = false;
};

// The option texts as given, checked after parsing so that a fault is
// reported in the program's own words.
struct OptionTexts {
    std::string gas, diameter, length, current, flow;
    std::string lengthUnit, temperatureUnit, flowUnit;
};

// Unit word to its code; 0 when unknown.
int unitCode(const std::string& word, const char* first, const char* second, const char* third = nullptr) {
    if (word == first) return 1;
    if (word == second) return 2;
    if (third && word == third) return 3;
    return 0;
}

void addRunOptions(CLI::App& app, Options& o, OptionTexts& t) {
    app.add_option("--gas", t.gas, "1 argon, 2 nitrogen, 5..9 argon + 5..25 % hydrogen, 10..14 argon + 10..50 % helium")
        ->option_text("CODE");
    app.add_option("--diameter", t.diameter, "anode diameter (mm, or in with --length-unit in)")->option_text("D");
    app.add_option("--length", t.length, "anode length (mm, or in)")->option_text("L");
    app.add_option("--current", t.current, "arc current, A")->option_text("I");
    app.add_option("--flow", t.flow, "gas flow rate (SLPM, or SCFH)")->option_text("G");
    app.add_option("--length-unit", t.lengthUnit, "written to un.dat with the two options below")->option_text("mm|in");
    app.add_option("--temperature-unit", t.temperatureUnit, "K, F or C")->option_text("K|F|C");
    app.add_option("--flow-unit", t.flowUnit, "slpm or scfh")->option_text("slpm|scfh");
    app.add_flag("--characteristics", o.characteristics, "print the plasmatron characteristics after the run");
    app.add_flag("--charts", o.charts,
                 "after the run draw the chart pages into DIR as charts-all.png, charts-isotherms.png, "
                 "charts-radial.png and charts-axial.png (builds with the user interface only)");
    app.add_flag("--strict", o.strict,
                 "refuse (exit 2, nothing written) a variant that the model's ranges or steps would change");
    app.add_flag_callback("--no-progress", [&o] { o.progress = false; }, "no progress bar");
    app.add_option("DIR", o.dir, "working directory (default: the current directory)");
    app.footer(kRunNotes);
}

// The checks of the option values; on a fault prints it and returns false.
bool takeOptionTexts(const OptionTexts& t, Options& o) {
    const std::pair<const char*, const std::string*> numbers[] = {
        {"--gas", &t.gas}, {"--diameter", &t.diameter}, {"--length", &t.length}, {"--current", &t.current}, {"--flow", &t.flow}};
    std::optional<double>* const targets[] = {&o.gas, &o.diameter, &o.length, &o.current, &o.flow};
    for (int k = 0; k < 5; ++k) {
        const std::string& text = *numbers[k].second;
        if (text.empty()) continue;
        double number = 0;
        if (!parseDecimalNumber(text, number) || number < 0) {
            std::fprintf(stderr, "torvex-run: %s needs a non-negative decimal number, not \"%s\".\n", numbers[k].first,
                         text.c_str());
            return false;
        }
        *targets[k] = number;
    }
    struct Unit {
        const char* option;
        const std::string& text;
        std::optional<int>& code;
        int value;
    };
    const Unit units[] = {{"--length-unit", t.lengthUnit, o.lengthUnit, unitCode(t.lengthUnit, "mm", "in")},
                          {"--temperature-unit", t.temperatureUnit, o.temperatureUnit, unitCode(t.temperatureUnit, "K", "F", "C")},
                          {"--flow-unit", t.flowUnit, o.flowUnit, unitCode(t.flowUnit, "slpm", "scfh")}};
    for (const Unit& u : units) {
        if (u.text.empty()) continue;
        if (u.value == 0) {
            std::fprintf(stderr, "torvex-run: %s does not know the unit \"%s\".\n", u.option, u.text.c_str());
            return false;
        }
        u.code = u.value;
    }
    return true;
}

// The five variant options go together; the gas is one of ip.dat's codes
// before it becomes a whole number. The rest of the variant's checks are
// the run's.
bool checkVariantOptions(const Options& o) {
    const bool anyVariant = o.gas || o.diameter || o.length || o.current || o.flow;
    const bool allVariant = o.gas && o.diameter && o.length && o.current && o.flow;
    if (anyVariant && !allVariant) {
        std::fprintf(stderr, "torvex-run: --gas, --diameter, --length, --current and --flow go together.\n");
        return false;
    }
    if (allVariant && !isGasCode(*o.gas)) {
        std::fprintf(stderr, "torvex-run: --gas must be 1, 2 or 5 to 14.\n");
        return false;
    }
    return true;
}

// The run the options ask for.
VariantRunRequest runRequest(const Options& o) {
    VariantRunRequest request;
    request.folder = o.dir;
    if (o.gas && o.diameter && o.length && o.current && o.flow)
        request.variant = VariantInputs{static_cast<int>(*o.gas), *o.diameter, *o.length, *o.current, *o.flow};
    request.lengthUnit = o.lengthUnit;
    request.temperatureUnit = o.temperatureUnit;
    request.flowUnit = o.flowUnit;
    request.strict = o.strict;
    request.state = &sharedSolverState();
    return request;
}

// Prints what the model's ranges and steps change, each on a line of the
// error output.
void printNotes(const std::vector<std::string>& notes) {
    for (const std::string& note : notes) std::fprintf(stderr, "torvex-run: %s.\n", note.c_str());
}

// A two-phase bar on one terminal line: the plasmatron, then the jet. When
// the output goes to a file or a pipe, a plain line every quarter instead.
class ProgressBar {
public:
    explicit ProgressBar(bool enabled) : enabled_(enabled), terminal_(isatty(fileno(stdout)) != 0) {}
    void operator()(int value) {
        if (value == kNozzleExitProgress) {
            draw(100);
            if (enabled_ && terminal_) std::printf("\n");
            phase_ = 1;
            reachedNozzle_ = true;
            draw(0);
            return;
        }
        if (value >= 0 && value <= 100) draw(value);
    }
    void finish() const {
        if (enabled_ && terminal_ && drawn_) std::printf("\n");
        std::fflush(stdout);
    }
    bool reachedNozzle() const { return reachedNozzle_; }

private:
    void draw(int percent) {
        if (!enabled_) return;
        if (!terminal_ && (percent % 25 != 0 || percent == lastLine_)) return;
        constexpr int kWidth = 40;
        const int filled = percent * kWidth / 100;
        std::printf(terminal_ ? "\r%-26s [%.*s%*s] %3d %%" : "%-26s [%.*s%*s] %3d %%\n",
                    phase_ == 0 ? "Plasma inside plasmatron" : "Plasma jet outside", filled,
                    "########################################", kWidth - filled, "", percent);
        std::fflush(stdout);
        drawn_ = true;
        lastLine_ = terminal_ ? -1 : percent;
    }
    bool enabled_;
    bool terminal_;
    int phase_ = 0;
    bool drawn_ = false;
    bool reachedNozzle_ = false;
    int lastLine_ = -1;  // the percentage of the last plain line
};

// The summary's list of the inputs the model did not take as entered.
void printChangedInputs(const std::vector<std::string>& notes) {
    if (notes.empty()) return;
    std::printf("Inputs not taken as entered:\n");
    for (const std::string& note : notes) std::printf("  %s\n", note.c_str());
}

void printIntegralParameters(const std::string& dir) {
    IntegralParameters p;
    std::string fault;
    if (!readIntegralParameters(dir + "/iop.par", p, &fault)) {
        std::printf("The integral parameters could not be read back: %s\n", fault.c_str());
        return;
    }
    if (p.voltageOverflow) std::printf("Arc voltage:            1000 V or more\n");
    else std::printf("Arc voltage:            %.1f V\n", p.arcVoltage);
    if (p.powerOverflow) std::printf("Electric power:         1000 kW or more\n");
    else std::printf("Electric power:         %.1f kW\n", p.arcPower);
    if (p.efficiencyOverflow) std::printf("Plasmatron efficiency:  100 %% or more\n");
    else std::printf("Plasmatron efficiency:  %d %%\n", p.efficiencyPercent);
}

void printCharacteristics(const SolverState& s) {
    std::printf("Plasmatron characteristics:\n");
    std::printf("  arc voltage      %8.2f V\n", static_cast<double>(s.arcVoltage));
    std::printf("  inlet voltage    %8.2f V\n", static_cast<double>(s.inletVoltage));
    std::printf("  channel voltage  %8.2f V\n", static_cast<double>(s.channelVoltage));
    std::printf("  arc power        %8.2f kW\n", static_cast<double>(s.arcPower));
    std::printf("  mass flow        %8.3f g/s\n", static_cast<double>(s.massFlow) * 1000.0);
    // The channel inlet: the axis is the wall temperature plus the rise that
    // lets the fixed-shape profile carry the arc current.
    std::printf("Channel inlet:\n");
    std::printf("  axis temperature %8.0f K\n", 500.0 + static_cast<double>(s.axisTemperature));
    std::printf("  field strength   %8.0f V/m\n", static_cast<double>(s.inletField));
    std::printf("  conductivity     %8.0f S/m (the guess that carries the inlet power)\n",
                static_cast<double>(s.conductivityGuess));
    std::printf("  conducting radius %7.3f mm\n", static_cast<double>(s.conductingRadius) * 1000.0);
}

// The chart pages of the result files just written; false (with a message)
// when they could not be drawn.
bool exportCharts(const std::string& dir) {
    std::string error;
    if (!exportChartPages(dir, error)) {
        std::fprintf(stderr, "torvex-run: the charts were not written: %s.\n", error.c_str());
        return false;
    }
    std::printf("Charts: %s/charts-all.png, charts-isotherms.png, charts-radial.png, charts-axial.png\n",
                dir.c_str());
    return true;
}

} // namespace

int main(int argc, char** argv) {
    CLI::App app{"torvex-run: the plasma jet solver from a terminal.", "torvex-run"};
    Options options;
    OptionTexts texts;
    addRunOptions(app, options, texts);
    StudyCommands study;
    addStudyCommands(app, study);
    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& e) {
        // Help is not a fault; every malformed command line is bad input.
        return app.exit(e) == 0 ? kExitCompleted : kExitBadInput;
    }
    if (const std::optional<int> status = runStudyCommand(app, study)) return *status;
    if (!takeOptionTexts(texts, options)) return kExitBadInput;
    if (options.charts && !chartExportAvailable()) {
        std::fprintf(stderr, "torvex-run: --charts needs the build with the user interface (Qt).\n");
        return kExitBadInput;
    }
    if (!checkVariantOptions(options)) return kExitBadInput;

    ProgressBar bar(options.progress);
    VariantRunRequest request = runRequest(options);
    request.progress = [&bar](int value) { bar(value); };
    const VariantRunReport report = runVariant(request);
    bar.finish();
    printNotes(report.notes);
    const std::string& dir = report.directory;
    if (report.result != RunResult::Completed && report.result != RunResult::NotCalculable) {
        std::fprintf(stderr, "torvex-run: %s\n", report.message.c_str());
        if (report.reachedNozzle) std::fprintf(stderr, "torvex-run: %s/iop.par is new; its result files are missing or incomplete.\n", dir.c_str());
        return report.exitStatus;
    }
    printChangedInputs(report.notes);
    if (report.reachedNozzle) printIntegralParameters(dir);
    if (options.characteristics) printCharacteristics(sharedSolverState());
    // The charts show whatever the result files hold, also up to a failure.
    const bool chartsWritten = !options.charts || !report.reachedNozzle || exportCharts(dir);
    if (report.result == RunResult::NotCalculable) {
        std::printf("%s\n", report.message.c_str());
        if (report.reachedNozzle)
            std::printf("iop.par and the result files up to the failure are in %s.\n", dir.c_str());
        return kExitNotCalculable;
    }
    std::string files;
    for (const std::string& name : resultSetMembers()) files += (files.empty() ? dir + "/" : ", ") + name;
    std::printf("Result files: %s\n", files.c_str());
    return chartsWritten ? kExitCompleted : kExitChartsNotWritten;
}
