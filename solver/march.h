// The axial marches through the anode channel and through the free jet.
#pragma once

#include "state.h"

#include <functional>

namespace torvex {

// Called with 5, 10, ..., 100 as a phase advances, and with
// kNozzleExitProgress once at the nozzle exit. Must not throw.
using ProgressCallback = std::function<void(int)>;

// The progress value that ends the plasmatron phase and starts the jet's.
constexpr int kNozzleExitProgress = -3;

// Advances the channel march by one or more axial steps; returns with
// failFlag = 1, at an output station (stepIndex == stationStep) or at the
// nozzle exit (stepIndex == channelStepCount).
void advanceChannelMarch(SolverState& s, const ProgressCallback& progress);

// Magnetic pressure (Pa) of the arc current at field strength E (V/m) with the
// present electrical conductivity, nodes 1..N: the field pressure of the
// enclosed current plus the pinch pressure integrated in from the wall.
void computePinchPressure(const SolverState& s, float field, NodeArray& pressure);

// Advances the jet march; returns with failFlag = 1, at the last step, with
// jetNodeCount raised by 2 (the jet reached the grid edge) or at an output
// station.
void advanceJetMarch(SolverState& s, const ProgressCallback& progress);

} // namespace torvex
