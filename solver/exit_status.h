// The exit statuses of the terminal programs (torvex-run, its subcommands
// and kavel-run), one table so that scripts read every program alike. What
// each leaves on disk is listed in the manual pages and the README.
#pragma once

#include "solver.h"

namespace torvex {

constexpr int kExitCompleted = 0;
constexpr int kExitBadInput = 2;           // options or an input file; nothing written
constexpr int kExitNotCalculable = 3;      // the model cannot compute the variant
constexpr int kExitChartsNotWritten = 4;   // completed, but the chart images are missing
constexpr int kExitOutputFault = 5;        // an output could not be written; the message names it
constexpr int kExitBusy = 6;               // another run is using the directory; nothing changed

// The status of a solver run's outcome.
constexpr int exitStatusOf(RunResult result) {
    switch (result) {
    case RunResult::Completed: return kExitCompleted;
    case RunResult::NotCalculable: return kExitNotCalculable;
    case RunResult::BadInput: return kExitBadInput;
    case RunResult::OutputFault: return kExitOutputFault;
    case RunResult::Busy: return kExitBusy;
    }
    return kExitOutputFault;
}

}  // namespace torvex
