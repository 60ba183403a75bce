// Velocity profile of the fully developed turbulent flow at the channel
// inlet, for the temperature and properties already on the grid.
#pragma once

#include "state.h"

namespace torvex {

// Bound on the turbulent velocity rounds. Where the core edge keeps jumping
// between nodes the iteration settles only when two rounds happen to agree
// within 1 %: over the model's whole input ranges that took up to about 1000
// rounds, so the bound leaves a wide margin (a round costs microseconds).
constexpr int kMaxInletVelocityRounds = 100000;

// Parabolic profile carrying massFlow: u_i = (1 - (r_i/r_N)^2) u0, u_N = 0.
// Returns false (failFlag set) when the flow integral vanishes.
bool parabolicStartVelocity(SolverState& s, NodeArray& velocity);

// Mixing-length core with a two-layer wall model, iterated from the given
// profile until the relative change is below 1 %; fills effectiveViscosity,
// effectiveConductivity, pressureGradient and the velocity. Returns false
// (failFlag set) when the round bound is reached or an integral vanishes.
bool turbulentVelocity(SolverState& s, NodeArray& velocity, int& rounds);

} // namespace torvex
