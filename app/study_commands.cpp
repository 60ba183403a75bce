#include "app/study_commands.h"

#include <unistd.h>  // isatty

#include <CLI/CLI.hpp>
#include <atomic>
#include <csignal>
#include <cstdio>
#include <filesystem>
#include <thread>

#include "app/chart_export.h"
#include "solver/exit_status.h"
#include "study/plan_limit.h"
#include "study/progress_line.h"
#include "study/study_file.h"
#include "study/study_runner.h"
#include "study/study_table.h"
#include "study/text_files.h"
#include "study/variant_export.h"

namespace torvex {

namespace {

constexpr int kExitNotWritten = kExitOutputFault;
constexpr int kExitInterrupted = 130;  // 128 + SIGINT, as shells report it

std::atomic<bool> stopRequested{false};
static_assert(std::atomic<bool>::is_always_lock_free, "the stop flag is set from a signal handler");

// The first Ctrl-C (or SIGTERM) lets the running variants finish and stops;
// a second one ends the program at once.
extern "C" void requestStop(int signal) {
    stopRequested.store(true);
    std::signal(signal, SIG_DFL);
}

void fail(const std::string& message) { std::fprintf(stderr, "torvex-run: %s\n", message.c_str()); }

// "i/n" with 0 <= i < n.
bool parseShard(const std::string& text, int& shard, int& count) {
    if (text.empty()) {
        shard = 0, count = 1;
        return true;
    }
    unsigned i = 0, n = 0;
    char end = 0;
    if (std::sscanf(text.c_str(), "%u/%u%c", &i, &n, &end) != 2 || n == 0 || i >= n || n > 100000)
        return false;
    shard = static_cast<int>(i), count = static_cast<int>(n);
    return true;
}

// One line redrawn in place on a terminal; elsewhere a plain line at every
// tenth of the study.
class StudyBar {
public:
    explicit StudyBar(bool enabled) : enabled_(enabled), terminal_(isatty(fileno(stdout)) != 0) {}
    void operator()(const StudyProgress& p) {
        if (!enabled_) return;
        const int tenth = p.total > 0 ? p.done * 10 / p.total : 10;
        if (!terminal_ && tenth == lastTenth_) return;
        lastTenth_ = tenth;
        std::printf(terminal_ ? "\r%s" : "%s\n", studyProgressLine(p).c_str());
        std::fflush(stdout);
        drawn_ = true;
    }
    void finish() const {
        if (enabled_ && terminal_ && drawn_) std::printf("\n");
        std::fflush(stdout);
    }

private:
    bool enabled_;
    bool terminal_;
    bool drawn_ = false;
    int lastTenth_ = -1;
};

// A study may plan at most `limit` combinations of values; false (with the
// message printed) when it plans more.
bool planWithinLimit(const StudyDefinition& definition, const StudyCommands& c) {
    const std::string fault = planLimitFault(definition, c.maxVariants, displayPath(c.studyFile), "--max-variants");
    if (!fault.empty()) fail(fault);
    return fault.empty();
}

// The study folder when --out is not given: the study file's name without
// its extension, in the current directory.
std::string defaultOutDir(const std::string& studyFile) {
    return std::filesystem::path(studyFile).stem().string();
}

int runStudyFile(const StudyCommands& c) {
    StudyRunSettings settings;
    if (!parseShard(c.shard, settings.shard, settings.shardCount)) {
        fail("--shard needs i/n with 0 \u2264 i < n, not \"" + c.shard + "\".");
        return kExitBadInput;
    }
    StudyDefinition definition;
    StudyPlan plan;
    std::string error;
    if (!readStudyFile(c.studyFile, definition, error)) {
        fail(error);
        return kExitBadInput;
    }
    if (!planWithinLimit(definition, c)) return kExitBadInput;
    if (!expandStudy(definition, plan, error)) {
        fail("The study file " + displayPath(c.studyFile) + ": " + error + ".");
        return kExitBadInput;
    }
    settings.outDir = c.outDir.empty() ? defaultOutDir(c.studyFile) : c.outDir;
    const double runHere = static_cast<double>(shardVariants(plan, settings.shard, settings.shardCount).size());
    std::printf("Planned: %s variants in %s/variants, about %s of disk.\n", groupedCount(runHere).c_str(),
                displayPath(settings.outDir).c_str(), diskSize(runHere * kBytesPerVariant).c_str());
    std::fflush(stdout);
    settings.jobs = c.jobs > 0 ? c.jobs : static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
    std::signal(SIGINT, requestStop);
    std::signal(SIGTERM, requestStop);
    StudyBar bar(c.progress);
    const StudyRunReport report =
        runStudy(plan, settings, stopRequested, [&bar](const StudyProgress& p) { bar(p); });
    bar.finish();
    if (report.failed) {
        fail(report.message);
        return kExitNotWritten;
    }
    const int done = report.completed + report.notCalculable + report.badInput + report.outputFaults + report.busy;
    if (report.stopped) {
        std::printf("Stopped: %d of %d variants done in %s. The same command goes on from there.\n", done,
                    report.total, displayPath(settings.outDir).c_str());
        return kExitInterrupted;
    }
    // Rows that are no result are counted only where there are any, so
    // that the usual line stays as scripts know it.
    std::string unfinished;
    if (report.outputFaults > 0) unfinished += ", " + std::to_string(report.outputFaults) + " output fault";
    if (report.busy > 0) unfinished += ", " + std::to_string(report.busy) + " folder in use";
    std::printf("%d variants: %d completed, %d not calculable, %d bad input%s (%d from an earlier run).\n",
                report.total, report.completed, report.notCalculable, report.badInput, unfinished.c_str(),
                report.skipped);
    std::printf("Study table: %s\n", report.tablePath.c_str());
    std::fflush(stdout);
    if (!unfinished.empty())
        fail(report.message + " Those variants are not finished: the same command computes them again.");
    return report.exitStatus();
}

int mergeShards(const StudyCommands& c) {
    std::string message;
    if (!mergeShardTables(c.mergeDir, message)) {
        fail(message);
        return kExitBadInput;
    }
    std::printf("%s\n", message.c_str());
    return kExitCompleted;
}

int drawStudyChart(const StudyCommands& c) {
    if (!chartExportAvailable()) {
        fail("study-chart needs the build with the user interface (Qt).");
        return kExitBadInput;
    }
    std::vector<std::string> written;
    std::string error;
    const StudyChartRequest request{c.chartDir, c.chartBy, c.chartFormats};
    if (!exportStudyChart(request, written, error)) {
        fail(error);
        return kExitBadInput;
    }
    for (const std::string& file : written) std::printf("Study chart: %s\n", file.c_str());
    return kExitCompleted;
}

int exportOneVariant(const StudyCommands& c) {
    std::vector<std::string> written;
    std::string error;
    bool busy = false;
    const bool ok = exportVariant(c.exportDir, written, error, &busy);
    for (const std::string& file : written)
        std::printf("Written: %s\n", displayPath(c.exportDir + "/" + file).c_str());
    if (!ok) {
        fail(error);
        return busy ? kExitBusy : kExitBadInput;
    }
    return kExitCompleted;
}

}  // namespace

void addStudyCommands(CLI::App& app, StudyCommands& c) {
    c.study = app.add_subcommand("study",
                                 "Runs every variant of a study file and writes the study table study.csv.");
    c.study->add_option("STUDY", c.studyFile, "the study file (TOML)")->required();
    c.study
        ->add_option("--out", c.outDir,
                     "study folder (default: the study file's name in the current directory)")
        ->option_text("DIR");
    c.study->add_option("--jobs", c.jobs, "variants run at once on threads (default: one per core)")
        ->option_text("N")
        ->check(CLI::Range(1, 1024));
    c.study->add_option("--shard", c.shard, "run only slice i of n (i from 0) and write study-i-of-n.csv")
        ->option_text("i/n");
    c.study->add_flag_callback(
        "--no-progress", [&c] { c.progress = false; }, "no progress bar");
    c.study
        ->add_option("--max-variants", c.maxVariants,
                     "refuse a study that asks for more combinations of values (default: 100000)")
        ->option_text("N")
        ->check(CLI::Range(1LL, 1000000000LL));
    c.study->footer(
        "\nEach variant runs in DIR/variants/<name>, which the desktop program can open. A variant whose\n"
        "folder holds its finished row is not run again, so an interrupted study resumes.\n"
        "Before it starts, the study prints how many variants it plans and the disk they take.\n"
        "Exit status: 0 table written, 2 bad study file or option, 5 a file could not be\n"
        "written (also a variant's: an \"output fault\" row), 6 a variant folder was in use by\n"
        "another program (a \"folder in use\" row), 130 stopped by Ctrl-C. Such rows are not\n"
        "finished: the same command computes them again.\n");

    c.merge = app.add_subcommand("study-merge",
                                 "Joins the shard tables study-i-of-n.csv of DIR into DIR/study.csv.");
    c.merge->add_option("DIR", c.mergeDir, "the study folder holding the shard tables")->required();

    c.chart = app.add_subcommand(
        "study-chart",
        "Draws efficiency, arc voltage and exit temperature against current from DIR/study.csv.");
    c.chart->add_option("DIR", c.chartDir, "the study folder")->required();
    c.chart->add_option("--by", c.chartBy, "one curve per flow rate, or per gas")
        ->option_text("flow|gas")
        ->check(CLI::IsMember({"flow", "gas"}));
    c.chart->add_option("--format", c.chartFormats, "comma-separated: png, pdf, svg (default: all three)")
        ->option_text("LIST");

    c.exporter = app.add_subcommand(
        "export",
        "Writes a calculated variant's profiles as CSV and its jet field as DIR/jet-field.vtr (VTK).");
    c.exporter->add_option("DIR", c.exportDir, "the variant's folder")->required();
}

std::optional<int> runStudyCommand(const CLI::App& app, const StudyCommands& c) {
    const bool sub = c.study->parsed() || c.merge->parsed() || c.chart->parsed() || c.exporter->parsed();
    if (!sub) return std::nullopt;
    // The options of a single run say nothing to a subcommand.
    for (const CLI::Option* option : app.get_options()) {
        if (option->count() > 0) {
            fail("the option " + option->get_name() + " belongs to a single run, not to a subcommand.");
            return kExitBadInput;
        }
    }
    if (c.study->parsed()) return runStudyFile(c);
    if (c.merge->parsed()) return mergeShards(c);
    if (c.chart->parsed()) return drawStudyChart(c);
    if (c.exporter->parsed()) return exportOneVariant(c);
    return std::nullopt;
}

}  // namespace torvex
