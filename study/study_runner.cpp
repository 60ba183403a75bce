#include "study/study_runner.h"

#include "solver/exit_status.h"
#include "solver/variant_run.h"

#include <chrono>
#include <filesystem>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

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

bool transient(RunResult r) { return r == RunResult::OutputFault || r == RunResult::Busy; }

// The row of a variant finished by an earlier run, or "". A row that is no
// result (an output fault, a folder in use, as older versions kept them)
// does not count.
std::string finishedRow(const std::string& dir, const std::string& key) {
    std::string text, ignored;
    if (!readBoundedTextFile(dir + "/" + kVariantRowFile, kMaxRowFileBytes, text, ignored)) return {};
    const std::size_t first = text.find('\n');
    if (first == std::string::npos || text.substr(0, first) != key || text.back() != '\n') return {};
    const std::string row = text.substr(first + 1, text.size() - first - 2);
    if (row.find('\n') != std::string::npos || transient(rowStatus(row))) return {};
    return row;
}

// One variant of the study in its folder, under the folder's lock from
// before its earlier row goes until its new row is written: another study
// in the same folder, or any other program's run, finds it busy and leaves
// it alone.
StudyVariantResult runVariantOfStudy(SolverState& state, const StudyVariant& v, const UnitCodes& units,
                                     const std::string& outDir) {
    StudyVariantResult r;
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
    if (error) {
        r.failed = true;
        r.message = "The variant folder " + displayPath(dir) + " cannot be made: " + error.message() + ".";
        return r;
    }
    const WorkDirLock lock(dir);
    if (lock.held()) {
        // Another study may have finished it while this one waited its turn.
        r.row = finishedRow(dir, key);
        if (!r.row.empty()) {
            r.skipped = true;
            return r;
        }
        std::string ignored;
        removeEntry(dir + "/" + kVariantRowFile, ignored);
    }
    VariantRunRequest request;
    request.folder = dir;
    request.heldLock = &lock;
    request.variant = v.entered;
    request.lengthUnit = units.length;
    request.temperatureUnit = units.temperature;
    request.flowUnit = units.flow;
    request.state = &state;
    request.callerOutputs = {kVariantRowFile};
    const VariantRunReport run = runVariant(request);
    VariantOutcome outcome{run.result, run.message, run.reachedNozzle};
    r.row = variantRow(v, units, outcome, dir, relative);
    if (!transient(run.result) &&
        !writeFileAtomically(dir + "/" + kVariantRowFile, key + "\n" + r.row + "\n", outcome.message)) {
        // Not kept as finished: the next run of the study computes it again.
        outcome.result = RunResult::OutputFault;
        r.row = variantRow(v, units, outcome, dir, relative);
    }
    r.result = outcome.result;
    r.message = outcome.message;
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
            results_[k] = runVariantOfStudy(*state, variants_[k], plan_.units, settings_.outDir);
            if (results_[k].failed) failed_ = true;
            if (results_[k].skipped) skipped_.fetch_add(1);
            done_.fetch_add(1);
        }
    }

    StudyProgress progress(double seconds) const {
        return {done_.load(), static_cast<int>(variants_.size()), skipped_.load(), seconds};
    }

    StudyRunReport finish() const { return finishStudy(plan_, settings_, results_); }

private:
    const StudyPlan& plan_;
    const StudyRunSettings& settings_;
    const std::atomic<bool>& stop_;
    const std::vector<StudyVariant> variants_;
    std::vector<StudyVariantResult> results_;
    std::atomic<std::size_t> next_{0};
    std::atomic<int> done_{0};
    std::atomic<int> skipped_{0};
    std::atomic<bool> failed_{false};
};

}  // namespace

StudyVariantResult runStudyVariant(const StudyPlan& plan, int index, const std::string& outDir,
                                   SolverState& state) {
    if (index < 0 || static_cast<std::size_t>(index) >= plan.variants.size()) {
        StudyVariantResult r;
        r.failed = true;
        r.message = "The study has " + std::to_string(plan.variants.size()) + " variants; there is no variant " +
                    std::to_string(index) + ".";
        return r;
    }
    return runVariantOfStudy(state, plan.variants[static_cast<std::size_t>(index)], plan.units, outDir);
}

StudyRunReport finishStudy(const StudyPlan& plan, const StudyRunSettings& settings,
                           const std::vector<StudyVariantResult>& results) {
    const std::vector<StudyVariant> variants = shardVariants(plan, settings.shard, settings.shardCount);
    StudyRunReport report;
    report.total = static_cast<int>(variants.size());
    std::vector<TableRow> rows;
    for (std::size_t k = 0; k < variants.size(); ++k) {
        // A variant without a result (the study stopped before it) has no row.
        static const StudyVariantResult notRun;
        const StudyVariantResult& r = k < results.size() ? results[k] : notRun;
        if (r.skipped) ++report.skipped;
        if (r.failed) {
            report.failed = true;
            report.message = r.message;
        }
        if (r.row.empty()) continue;
        rows.push_back({variants[k].index, r.row});
        const RunResult status = rowStatus(r.row);
        if (transient(status) && report.message.empty()) report.message = r.message;
        switch (status) {
        case RunResult::Completed: ++report.completed; break;
        case RunResult::NotCalculable: ++report.notCalculable; break;
        case RunResult::OutputFault: ++report.outputFaults; break;
        case RunResult::Busy: ++report.busy; break;
        case RunResult::BadInput: ++report.badInput; break;
        }
    }
    report.stopped = !report.failed && rows.size() < variants.size();
    if (report.failed || report.stopped) return report;
    const std::string path = settings.outDir + "/" + studyTableName(settings.shard, settings.shardCount);
    if (!writeFileAtomically(path, studyTableText(studyTableHeader(plan.units), std::move(rows),
                                                  settings.shard, settings.shardCount),
                             report.message)) {
        report.failed = true;
        return report;
    }
    report.tablePath = displayPath(path);
    return report;
}


int StudyRunReport::exitStatus() const {
    if (outputFaults > 0) return kExitOutputFault;
    if (busy > 0) return kExitBusy;
    return kExitCompleted;
}

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
