// Running a variant in a working folder: the one procedure behind
// torvex-run, the desktop program's run, every variant of a study and
// Python's torvex.run, so that each gives the same answers and refusals.
// In this order, under the folder's exclusive lock:
//
//   1. the lock: Busy when another run holds the folder;
//   2. every output the run will write (un.dat and ip.dat when they are to
//      be written, iop.par, the result files, the stamp, and the caller's
//      own files) is tried before anything changes;
//   3. the variant: within ip.dat's columns, of a gas whose table is there;
//   4. the normalisation's notes (values off ip.dat's columns or outside the
//      model's ranges and steps); in strict mode a note refuses the variant;
//   5. un.dat and ip.dat written;
//   6. the solver's run, which writes iop.par, the result files and the
//      stamp last.
//
// A refusal in steps 1 to 4 leaves the folder as it was, and says so.
//
//     VariantRunRequest request;
//     request.folder = "work";
//     request.variant = VariantInputs{1, 8.0, 14.0, 500.0, 35.0};
//     const VariantRunReport report = runVariant(request);
//     if (report.result != RunResult::Completed) ... report.message, report.exitStatus
//     ... report.notes, report.used, report.written
#pragma once

#include "exit_status.h"
#include "file_access.h"
#include "files.h"
#include "march.h"
#include "normalise.h"
#include "solver.h"
#include "state.h"

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace torvex {

struct VariantRunRequest {
    std::string folder = ".";
    // The variant to write into ip.dat first, in the units of the run;
    // none: the ip.dat already in the folder.
    std::optional<VariantInputs> variant;
    // Unit codes over those of un.dat (else millimetres, kelvin, SLPM).
    // un.dat is written when one is given, or when a variant comes into a
    // folder without a readable un.dat.
    std::optional<int> lengthUnit, temperatureUnit, flowUnit;
    // Refuse (bad input, nothing written) a variant that ip.dat's columns or
    // the model's ranges and steps would change.
    bool strict = false;
    // Write the inputs and stop: the desktop's input dialog, whose run
    // dialog runs the ip.dat it wrote.
    bool inputsOnly = false;
    // Files of the caller in the folder that it writes under the same lock
    // after the run (a study's row): tried with the run's outputs.
    std::vector<std::string> callerOutputs;
    // Percentages of each phase and kNozzleExitProgress, as the solver reports them.
    ProgressCallback progress;
    // The solver state to use (the programs' shared one for the desktop and
    // torvex-run, a thread's own in a study); none: one of its own.
    SolverState* state = nullptr;
    // A lock on the folder the caller already holds (taken on another thread
    // or held around the run for the caller's own files); none: the run
    // takes it and lets it go when done.
    const WorkDirLock* heldLock = nullptr;
    // Called with the folder after a completed run, before the lock is let
    // go: the caller reads the results this run wrote, not another's.
    std::function<void(const std::string& directory)> whileLocked;
};

struct VariantRunReport {
    RunResult result = RunResult::Completed;
    int exitStatus = kExitCompleted;  // exit_status.h
    std::string message;              // one sentence for the user when not completed
    // One sentence for each input not taken as entered, whatever the result.
    std::vector<std::string> notes;
    std::string directory;  // the folder as a full path
    // The units of the run and the values the solver used (when it came as
    // far as normalising them).
    UnitCodes units;
    bool usedKnown = false;
    UsedInputs used;
    // The files this run wrote into the folder, in the order written.
    std::vector<std::string> written;
    bool reachedNozzle = false;   // iop.par is this run's
    bool nothingChanged = false;  // refused before anything was written
    // For an output fault: the system's error (errno) and the file.
    int systemError = 0;
    std::string faultPath;
};

VariantRunReport runVariant(const VariantRunRequest& request);

}  // namespace torvex
