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

} // namespace torvex
