// The station loop of a run: after every return of a marching module it
// writes the records due at that step, and at the nozzle exit iop.par; then
// it hands the march on. The modules are passed in so that the loop can be
// driven by stand-ins.
#pragma once

#include "inlet.h"
#include "march.h"
#include "solver.h"
#include "state.h"

#include <string>

namespace torvex {

struct SolverModules {
    bool (*inlet)(SolverState&) = buildInletState;
    void (*channel)(SolverState&, const ProgressCallback&) = advanceChannelMarch;
    void (*jet)(SolverState&, const ProgressCallback&) = advanceJetMarch;
};

// Runs the loop from the inlet state (stepIndex 0) to the end of the jet.
RunOutcome runStationLoop(SolverState& s, const std::string& workDir, const ProgressCallback& progress,
                          const SolverModules& modules);

// The outcome of a variant that cannot be calculated, with the reason.
RunOutcome notCalculable(const char* reason);

// runSolver with the given modules in place of the real ones.
RunOutcome runSolver(SolverState& s, const std::string& workDir, const ProgressCallback& progress,
                     const SolverModules& modules);
RunOutcome runSolver(SolverState& s, const WorkDirLock& lock, const ProgressCallback& progress,
                     const SolverModules& modules);

} // namespace torvex
