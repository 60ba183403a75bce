// One run of the solver: read the inputs, bring them into the model's
// ranges, set up grid, gas data and inlet state, then the station loop.
#include "solver/solver.h"

#include "solver/data_folders.h"
#include "solver/files.h"
#include "solver/inlet.h"
#include "solver/normalise.h"
#include "solver/properties.h"
#include "solver/station_loop.h"

namespace torvex {

namespace {

RunOutcome badInput(const std::string& message) { return {RunResult::BadInput, message}; }

void setConstants(SolverState& s) {
    s.pi = 3.141593f;
    s.mu0 = 1.25664e-6f;
    s.mmPerInch = 25.4f;
    s.slpmPerScfh = 0.472f;
}

// Reads un.dat, ip.dat and the gas file, in this order, each once; nothing
// is written.
RunOutcome readInputs(SolverState& s, const std::string& workDir, RawInputs& raw) {
    ReadStatus status = readSolverUnits(workDir + "/un.dat", s);
    if (!status.ok) return badInput(status.message);
    status = readSolverInputs(workDir + "/ip.dat", s, raw.diameter, raw.length, raw.current, raw.flow);
    if (!status.ok) return badInput(status.message);
    const std::string path = locateDataFile(workDir, gasFileName(s.gasCode));
    if (path.empty()) return badInput(missingGasTableMessage(s.gasCode, workDir));
    status = readGasFile(path, s);
    if (!status.ok) return badInput(status.message);
    return {};
}

// Tolerances, implicitness weights and the current ramp of the channel.
void setMarchParameters(SolverState& s) {
    s.toleranceBase = 0.01f;
    s.thetaEnergy = 0.5f;
    s.thetaMomentum = 0.5f;
    s.thetaContinuity = 1.0f;
    s.stepCurrent = static_cast<float>(s.arcCurrent);
    s.currentDecrement = 20.0f;
    s.currentRampSteps = s.arcCurrent / 20 - 1;
    s.attachStep = s.channelStepCount;
    s.failFlag = 0;
    s.failReason = nullptr;
    s.stepIndex = 0;
    s.stationStep = 0;
}

} // namespace

std::string missingGasTableMessage(int gasCode, const std::string& workDir) {
    // The first folder searched: the installed one, or the host's.
    const std::vector<std::string> folders = dataFolders();
    return "The gas property file " + std::string(gasFileName(gasCode)) + " for gas code " + std::to_string(gasCode) +
           " is neither in " + displayPath(workDir) + " nor in the data folder " +
           (folders.empty() ? std::string() : folders.front()) + ".";
}

RunOutcome lockRefusal(const WorkDirLock& lock) {
    switch (lock.status()) {
    case WorkDirLock::Status::Held: return {};
    case WorkDirLock::Status::Busy: return {RunResult::Busy, lock.message()};
    case WorkDirLock::Status::NoDirectory: return badInput(lock.message());
    case WorkDirLock::Status::CannotLock: break;
    }
    return {RunResult::OutputFault, lock.message()};
}

namespace {

// The run from the normalised inputs to the end of the jet.
RunOutcome runNormalised(SolverState& s, const std::string& workDir, const ProgressCallback& progress,
                         const SolverModules& modules) {
    setUpGrid(s);
    computeCharacteristics(s);
    setColdValues(s);
    computeMassFlow(s);
    setMarchParameters(s);
    if (!modules.inlet(s) || s.failFlag == 1)
        return notCalculable(s.failReason ? s.failReason : "the inlet state could not be built");
    s.massFlowFigure = massFlowFigure(s.coldDensity, s.gasFlowSlpm);
    return runStationLoop(s, workDir, progress, modules);
}

RunOutcome runLocked(SolverState& s, const WorkDirLock& lock, const ProgressCallback& progress,
                     const SolverModules& modules, ChangedInputs changed) {
    if (!lock.held()) return lockRefusal(lock);
    const std::string& workDir = lock.directory();
    // No other run can be writing here: what temporary files lie about are
    // those of a run that was killed.
    removeLeftTemporaryFiles(workDir);
    setConstants(s);
    RawInputs raw;
    const RunOutcome read = readInputs(s, workDir, raw);
    if (read.result != RunResult::Completed) return read;

    const std::vector<std::string> notes = normaliseInputs(s, raw);
    if (changed == ChangedInputs::Refuse && !notes.empty()) {
        RunOutcome refused = badInput("The variant in " + displayPath(workDir) +
                                      "/ip.dat lies outside the model's ranges or steps; it was not calculated.");
        refused.notes = notes;
        return refused;
    }
    RunOutcome outcome = runNormalised(s, workDir, progress, modules);
    outcome.notes = notes;
    return outcome;
}

} // namespace

RunOutcome runSolver(SolverState& s, const WorkDirLock& lock, const ProgressCallback& progress,
                     const SolverModules& modules) {
    return runLocked(s, lock, progress, modules, ChangedInputs::Run);
}

RunOutcome runSolver(SolverState& s, const WorkDirLock& lock, const ProgressCallback& progress,
                     ChangedInputs changed) {
    return runLocked(s, lock, progress, SolverModules{}, changed);
}

RunOutcome runSolver(SolverState& s, const std::string& workDir, const ProgressCallback& progress,
                     const SolverModules& modules) {
    const WorkDirLock lock(workDir);
    return runSolver(s, lock, progress, modules);
}

RunOutcome runSolver(SolverState& s, const WorkDirLock& lock, const ProgressCallback& progress) {
    return runSolver(s, lock, progress, SolverModules{});
}

RunOutcome runSolver(SolverState& s, const std::string& workDir, const ProgressCallback& progress) {
    return runSolver(s, workDir, progress, SolverModules{});
}

RunOutcome runSolver(const std::string& workDir, const ProgressCallback& progress) {
    return runSolver(sharedSolverState(), workDir, progress);
}

} // namespace torvex
