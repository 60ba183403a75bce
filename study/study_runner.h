// Runs the variants of a study (or of one shard of it) on several threads,
// each variant in its own directory under DIR/variants, and writes the
// study table. Each thread has its own solver state, so the results are the
// same as those of single runs. Each variant runs through the solver's one
// run procedure under its folder's lock, held until its row is written. A
// variant whose directory already holds its finished row is not run again,
// so an interrupted study resumes where it stopped; a row that is no result
// (an output fault, a folder in use) is never kept as finished.
//
// The same two steps serve a study spread over other processes or machines
// (Python's executors): each task runs one variant of the plan with
// runStudyVariant, and finishStudy writes the table from the tasks' results,
// byte for byte the table runStudy writes.
#pragma once

#include <atomic>
#include <functional>
#include <string>
#include <vector>

#include "solver/solver.h"  // RunResult
#include "solver/state.h"
#include "study/study_plan.h"

namespace torvex {

struct StudyRunSettings {
    std::string outDir;
    int jobs = 1;
    int shard = 0;
    int shardCount = 1;  // 1: the whole study, table study.csv
};

// Where a study run stands, for a progress display.
struct StudyProgress {
    int done = 0;  // variants finished, skipped ones included
    int total = 0;
    int skipped = 0;     // finished in an earlier run
    double seconds = 0;  // since the start of this run
};

struct StudyRunReport {
    int total = 0;
    int skipped = 0;
    int completed = 0;
    int notCalculable = 0;
    int badInput = 0;
    // Rows that are no result: an output that could not be written (a full
    // disk), a variant folder another program held. They are in the table
    // but not finished: the next run of the study computes them.
    int outputFaults = 0;
    int busy = 0;
    bool stopped = false;   // the stop flag was raised before the end
    bool failed = false;    // a file of the study could not be written
    std::string message;    // what failed, or the first unfinished row's reason
    std::string tablePath;  // written when neither stopped nor failed
    // The exit status of the worst row: kExitOutputFault, kExitBusy or
    // kExitCompleted (not calculable and bad input rows are results).
    int exitStatus() const;
};

// Runs the study. `stop` may be raised at any time (from a signal handler):
// no new variant starts, the running ones finish, no table is written.
// `report` is called from the calling thread a few times a second and once
// at the end.
StudyRunReport runStudy(const StudyPlan& plan, const StudyRunSettings& settings,
                        const std::atomic<bool>& stop,
                        const std::function<void(const StudyProgress&)>& report);

// How one variant of a study ended.
struct StudyVariantResult {
    std::string row;  // the columns of its table row after the index; empty: not run
    RunResult result = RunResult::Completed;
    bool skipped = false;  // its finished row was there from an earlier run
    bool failed = false;   // its folder could not be made: the study stops
    std::string message;
};

// Runs variant `index` of the plan (StudyVariant::index) in its folder under
// outDir exactly as runStudy runs each variant: under the folder's lock until
// its row file is written, skipped when that file already holds its finished
// row. A fault that is no result (an output fault, a folder in use) writes no
// row file. `state` is the solver state of the calling thread.
StudyVariantResult runStudyVariant(const StudyPlan& plan, int index, const std::string& outDir,
                                   SolverState& state);

// The report of a study from the results of its variants, in the order of
// shardVariants (a missing or empty result: a variant that was not run).
// The table is written only when every variant has its row and none failed.
StudyRunReport finishStudy(const StudyPlan& plan, const StudyRunSettings& settings,
                           const std::vector<StudyVariantResult>& results);

// The name of the file in a variant's directory that holds its finished
// table row; its presence marks the variant as done.
constexpr const char* kVariantRowFile = "variant-row.csv";

}  // namespace torvex
