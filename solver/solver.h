// The solver's one entry point: runs one variant in a working directory.
#pragma once

#include "file_access.h"
#include "march.h"
#include "data_folders.h"  // dataFolders, locatePackagedFile, locateDataFile
#include "state.h"

#include <string>
#include <utility>
#include <vector>

namespace torvex {

enum class RunResult {
    Completed = 0,       // every result file written
    NotCalculable = -1,  // a station did not converge (or an iteration bound was hit)
    BadInput = -2,       // an input file is missing or malformed; nothing written
    OutputFault = -3,    // an output file could not be written (full disk, a directory in its place, ...)
    Busy = -4,           // another run holds the working directory; nothing read or written
};

struct RunOutcome {
    RunOutcome() = default;
    RunOutcome(RunResult r, std::string m) : result(r), message(std::move(m)) {}
    RunResult result = RunResult::Completed;
    std::string message;  // one sentence for the user when result != Completed
    // One sentence for each input the model did not take as entered (out of
    // its range, or off its steps), whatever the result.
    std::vector<std::string> notes;
};

// Whether a run goes on with inputs that the model's ranges change (the
// notes say how), or refuses them as bad input before anything is written.
enum class ChangedInputs { Run, Refuse };

// Reads un.dat and ip.dat from workDir, the gas file from workDir or the
// installed data folder, and writes iop.par and the result files into
// workDir. Uses the given state record (sharedSolverState() in the program).
// Takes the directory's lock for the run; Busy when another run holds it.
RunOutcome runSolver(SolverState& s, const std::string& workDir, const ProgressCallback& progress);

// The same in the directory of a lock the caller already holds (a caller that
// writes the inputs first takes the lock before writing them).
RunOutcome runSolver(SolverState& s, const WorkDirLock& lock, const ProgressCallback& progress);

// The same, refusing a variant whose inputs the model would change when
// `changed` says so.
RunOutcome runSolver(SolverState& s, const WorkDirLock& lock, const ProgressCallback& progress,
                     ChangedInputs changed);

// The sentence for a gas property table that is neither in the working
// directory nor in the data folder.
std::string missingGasTableMessage(int gasCode, const std::string& workDir);

// The outcome for a lock that is not held: Busy, or the fault of the directory.
RunOutcome lockRefusal(const WorkDirLock& lock);

// The same with the program's shared state.
RunOutcome runSolver(const std::string& workDir, const ProgressCallback& progress);

} // namespace torvex
