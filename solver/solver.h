// The solver's one entry point: runs one variant in a working directory.
#pragma once

#include "march.h"
#include "data_folders.h"  // dataFolders, locatePackagedFile, locateDataFile
#include "state.h"

#include <string>
#include <vector>

namespace torvex {

enum class RunResult {
    Completed = 0,       // every result file written
    NotCalculable = -1,  // a station did not converge (or an iteration bound was hit)
    BadInput = -2,       // an input file is missing or malformed; nothing written
};

struct RunOutcome {
    RunResult result = RunResult::Completed;
    std::string message;  // one sentence for the user when result != Completed
};

// Reads un.dat and ip.dat from workDir, the gas file from workDir or the
// installed data folder, and writes iop.par and the result files into
// workDir. Uses the given state record (sharedSolverState() in the program).
RunOutcome runSolver(SolverState& s, const std::string& workDir, const ProgressCallback& progress);

// The same with the program's shared state.
RunOutcome runSolver(const std::string& workDir, const ProgressCallback& progress);

} // namespace torvex
