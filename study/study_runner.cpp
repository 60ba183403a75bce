#include "study/study_runner.h"

#include "solver/result_set.h"

#include <chrono>
#include <filesystem>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "solver/solver.h"
#include "study/study_table.h"
#include "study/text_files.h"

namespace torvex {

namespace {

namespace fs = std::filesystem;

constexpr std::size_t kMaxRowFileBytes = 64 * 1024;
constexpr const char* kVariantsFolder = "variants";

// The first line of a row file: what the variant was run with. A row is
// reused only when this matches, so a changed study or unit reruns it.
std::string runKey(const StudyVariant& v, const UnitCodes& u) {
    const VariantInputs& e = v.entered;
    return "units " + std::to_string(u.length) + std::to_string(u.temperature) + std::to_string(u.flow) +
           " inputs " + std::to_string(e.gasCode) + " " + fixedField(e.diameter, 5, 2) + " " +
           fixedField(e.length, 5, 2) + " " + fixedField(e.current, 4, 0) + " " + fixedField(e.flow, 3, 0);
}

// The row of a variant finished by an earlier run, or "".
std::string finishedRow(const std::string& dir, const std::string& key) {
    std::string text, ignored;
    if (!readBoundedTextFile(dir + "/" + kVariantRowFile, kMaxRowFileBytes, text, ignored)) return {};
    const std::size_t first = text.find('\n');
    if (first == std::string::npos || text.substr(0, first) != key || text.back() != '\n') return {};
    const std::string row = text.substr(first + 1, text.size() - first - 2);
    return row.find('\n') == std::string::npos ? row : std::string();
}

// Results of an interrupted or earlier run go before a variant runs, so the
// row is built only from what this run writes.
void removeOldResults(const std::string& dir) {
    std::error_code ignored;
    for (const char* name : {kResultStampFile, kVariantRowFile, "iop.par", "ilt.res", "ztu0.res", "rtu0.res", "rtu5.res",
                             "rtu20.res", "rtu50.res", "rtu100.res", "ftu.res"})
        fs::remove(fs::path(dir) / name, ignored);
}

struct VariantResult {
    std::string row;
    RunResult result = RunResult::Completed;
    bool skipped = false;
    bool failed = false;
    std::string message;
};

VariantResult runVariant(SolverState& state, const StudyVariant& v, const UnitCodes& units,
                         const std::string& outDir) {
    VariantResult r;
    const std::string relative = std::string(kVariantsFolder) + "/" + v.name;
    const std::string dir = outDir + "/" + relative;
    const std::string key = runKey(v, units);
    r.row = finishedRow(dir, key);
    if (!r.row.empty()) {
        r.skipped = true;
        return r;
    }
    std::error_code error;
    fs::create_directories(dir, error);
    std::string fault;
    if (!error && !checkRunOutputs(dir, {"un.dat", "ip.dat"}, fault)) {
        r.failed = true;
        r.message = fault;
        return r;
    }
    removeOldResults(dir);
    if (error || !writeUnitCodes(dir + "/un.dat", units) ||
        !writeInputParameters(dir + "/ip.dat", v.entered)) {
        r.failed = true;
        r.message = "The variant folder " + displayPath(dir) + " cannot be written.";
        return r;
    }
    VariantOutcome outcome;
    const RunOutcome run = runSolver(state, dir, [&outcome](int value) {
        if (value == kNozzleExitProgress) outcome.reachedNozzle = true;
    });
    outcome.result = run.result;
    outcome.message = run.message;
    r.result = run.result;
    r.row = variantRow(v, units, outcome, dir, relative);
    if (!writeFileAtomically(dir + "/" + kVariantRowFile, key + "\n" + r.row + "\n", r.message))
        r.failed = true;
    return r;
}

class StudyWork {
public:
    StudyWork(const StudyPlan& plan, const StudyRunSettings& settings, const std::atomic<bool>& stop)
        : plan_(plan),
          settings_(settings),
          stop_(stop),
          variants_(shardVariants(plan, settings.shard, settings.shardCount)),
          results_(variants_.size()) {}

    void work() {
        const auto state = std::make_unique<SolverState>();
        for (;;) {
            if (stop_.load() || failed_.load()) return;
            const std::size_t k = next_.fetch_add(1);
            if (k >= variants_.size()) return;
            results_[k] = runVariant(*state, variants_[k], plan_.units, settings_.outDir);
            if (results_[k].failed) failed_ = true;
            if (results_[k].skipped) skipped_.fetch_add(1);
            done_.fetch_add(1);
        }
    }

    StudyProgress progress(double seconds) const {
        return {done_.load(), static_cast<int>(variants_.size()), skipped_.load(), seconds};
    }

    StudyRunReport finish() const;

private:
    const StudyPlan& plan_;
    const StudyRunSettings& settings_;
    const std::atomic<bool>& stop_;
    const std::vector<StudyVariant> variants_;
    std::vector<VariantResult> results_;
    std::atomic<std::size_t> next_{0};
    std::atomic<int> done_{0};
    std::atomic<int> skipped_{0};
    std::atomic<bool> failed_{false};
};

StudyRunReport StudyWork::finish() const {
    StudyRunReport report;
    report.total = static_cast<int>(variants_.size());
    report.skipped = skipped_.load();
    std::vector<TableRow> rows;
    for (std::size_t k = 0; k < variants_.size(); ++k) {
        const VariantResult& r = results_[k];
        if (r.failed) {
            report.failed = true;
            report.message = r.message;
        }
        if (r.row.empty()) continue;
        rows.push_back({variants_[k].index, r.row});
        const std::string status = splitCsvLine(r.row).at(10);
        if (status == "completed")
            ++report.completed;
        else if (status == "not calculable")
            ++report.notCalculable;
        else
            ++report.badInput;
    }
    report.stopped = !report.failed && rows.size() < variants_.size();
    if (report.failed || report.stopped) return report;
    const std::string path = settings_.outDir + "/" + studyTableName(settings_.shard, settings_.shardCount);
    if (!writeFileAtomically(path, studyTableText(studyTableHeader(plan_.units), std::move(rows),
                                                  settings_.shard, settings_.shardCount),
                             report.message)) {
        report.failed = true;
        return report;
    }
    report.tablePath = displayPath(path);
    return report;
}

}  // namespace

StudyRunReport runStudy(const StudyPlan& plan, const StudyRunSettings& settings,
                        const std::atomic<bool>& stop,
                        const std::function<void(const StudyProgress&)>& report) {
    using Clock = std::chrono::steady_clock;
    const Clock::time_point start = Clock::now();
    const auto seconds = [&start] { return std::chrono::duration<double>(Clock::now() - start).count(); };
    StudyWork work(plan, settings, stop);
    std::vector<std::thread> threads;
    const int jobs = settings.jobs < 1 ? 1 : settings.jobs;
    for (int k = 0; k < jobs; ++k) threads.emplace_back([&work] { work.work(); });
    std::atomic<bool> finished{false};
    // The display is drawn by this thread while the workers run.
    std::thread joiner([&threads, &finished] {
        for (std::thread& t : threads) t.join();
        finished = true;
    });
    while (!finished.load()) {
        if (report) report(work.progress(seconds()));
        for (int k = 0; k < 4 && !finished.load(); ++k)
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    joiner.join();
    if (report) report(work.progress(seconds()));
    return work.finish();
}

}  // namespace torvex
