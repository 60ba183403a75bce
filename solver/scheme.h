// The discrete form shared by the arc-channel and free-jet marches: one
// axisymmetric parabolic station solved across the radius for energy
// (temperature), axial momentum and continuity (radial mass flux).
#pragma once

#include "state.h"

namespace torvex {

enum class Equation { Energy, Momentum };

// Copies the previous-station slots (1, 2) of the four coefficient tables
// into the current-station slots (3, 4) for nodes 1..N.
void openStation(SolverState& s);

// Fills A, B, C, F for the interior nodes 2..N-1 of the energy equation
// (slots 1 and 3, theta_T, averaged source) or the momentum equation
// (slots 2 and 4, theta_u, source of slot 4 only). previousProfile is entry 1
// of the temperature or axial-velocity pair.
void buildTransportCoefficients(SolverState& s, Equation eq, const NodeArray& previousProfile);

// Solves the tridiagonal system now in A, B, C, F with the axis condition of
// zero radial slope and Y_N = boundaryValue. Returns false (result untouched
// beyond what was already written) when a pivot or the axis denominator
// vanishes or the result is not finite; the caller ends the run as not
// calculable. Calling it again after replacing F reuses the same matrix.
bool sweepTridiagonal(SolverState& s, float boundaryValue, NodeArray& result);

// Two solves with the same A, B, C: the right-hand side now in F, and
// secondRightSide (nodes 2..N-1), both with Y_N = boundaryValue. Gives the
// same numbers as sweepTridiagonal called twice, in one pass.
bool sweepTridiagonalTwice(SolverState& s, float boundaryValue, const NodeArray& secondRightSide,
                           NodeArray& result, NodeArray& secondResult);

// buildTransportCoefficients followed by sweepTridiagonal.
bool solveTransport(SolverState& s, Equation eq, const NodeArray& previousProfile,
                    float boundaryValue, NodeArray& result);

// Momentum slots of the current station from velocity u and the present
// density, effective viscosity and the magnetic pressures of the pair.
void refreshMomentumSlots(SolverState& s, const NodeArray& velocity);

// Radial mass flux w(4, i) for i = 2..N from the change of rho u r between
// stations (a(4,i) must already hold r rho u). Each new value is multiplied by
// dampingFactor before it feeds the next node. Sets w(4,1) = 0. Does not touch
// the radial velocity.
void integrateContinuity(SolverState& s, float dampingFactor = 1.0f);

// v_i = w(4,i)/rho_i/r_i for i = 2..N into entry 2 of radialVelocityPair; v_1 = 0.
void radialVelocityFromFlux(SolverState& s);

// Energy slots of the current station for field strength E (V/m).
void refreshEnergySlots(SolverState& s, float field);

// Current slots become previous slots, entry 2 of each station pair becomes
// entry 1, and the new profiles are published to axialVelocity,
// radialVelocity and magneticPressure.
void closeStation(SolverState& s);

// Enthalpy (J/kg) above the outer-boundary value of a temperature profile,
// with the heat capacities of the last property evaluation: the trapezoidal
// integral of cp dT from node N inward, into `enthalpy`.
void integrateEnthalpy(SolverState& s, const NodeArray& temperature);

// integrateEnthalpy of entry 2 of temperaturePair, with H_1 raised to 0.
void computeEnthalpy(SolverState& s);

// Simpson's rule over r dr: (h/3) * sum w_i f_i r_i for i = 1..N.
float simpsonIntegral(const SolverState& s, const NodeArray& weights, const NodeArray& f);

// Simpson's rule over r dr with the summand written out by the caller:
// (h/3) * sum term(i) for i = 1..N, where term(i) is the integrand times w_i
// and r_i. Each integral keeps its own order of the factors, which sets
// its rounding.
template <typename Term>
float simpsonRule(const SolverState& s, Term term) {
    float sum = 0.0f;
    for (int i = 1; i <= s.radialNodeCount; ++i) {
        sum += term(i);
    }
    return s.radialStep / 3.0f * sum;
}

} // namespace torvex
