// Velocity profile of the fully developed turbulent flow at the channel
// inlet, for the temperature and properties already on the grid.
#pragma once

#include "state.h"

namespace torvex {

// Generous bound on the turbulent velocity rounds: the iteration settles
// within a few tens of rounds for every gas in the model's ranges.
constexpr int kMaxInletVelocityRounds = 5000;

// Parabolic profile carrying massFlow: u_i = (1 - (r_i/r_N)^2) u0, u_N = 0.
// Returns false (failFlag set) when the flow integral vanishes.
bool parabolicStartVelocity(SolverState& s, NodeArray& velocity);

// Mixing-length core with a two-layer wall model, iterated from the given
// profile until the relative change is below 1 %; fills effectiveViscosity,
// effectiveConductivity, pressureGradient and the velocity. Returns false
// (failFlag set) when the round bound is reached or an integral vanishes.
bool turbulentVelocity(SolverState& s, NodeArray& velocity, int& rounds);

} // namespace torvex
