// Empirical plasmatron characteristics and the turbulent, current-carrying
// flow state at the entrance of the anode channel.
#pragma once

#include "state.h"

namespace torvex {

// Arc voltage, inlet and channel voltages, power, current density and
// conducting radius from the per-gas power laws.
void computeCharacteristics(SolverState& s);

// Mass flow from the cold-gas density (call after the table is loaded).
void computeMassFlow(SolverState& s);

// Builds the inlet state. Returns false and sets failFlag and failReason
// when an iteration bound is reached or a denominator vanishes.
bool buildInletState(SolverState& s);

// How much work the inlet state took; the largest counts of any pass.
struct InletIterationCounts {
    int conductivityPasses = 0;
    int rootSearchSteps = 0;    // largest number of trial steps in one search
    int bisections = 0;         // largest number of halvings in one search
    int velocityRounds = 0;     // largest number of turbulent velocity rounds
};

// The same, reporting the iteration counts.
bool buildInletState(SolverState& s, InletIterationCounts& counts);

} // namespace torvex
