// The discrete form shared by the channel and jet marches.
//
// Each transport equation is written per interior node as
//   B_i Y_i = A_i Y_i+1 + C_i Y_i-1 + F_i
// with a theta-weighted average of the previous (slots 1, 2) and current
// (slots 3, 4) station coefficients, and solved with the Thomas algorithm.
// Every product and quotient is evaluated in float and in the order the model
// was calibrated with; reordering changes the march's rounding.
#include "solver/scheme.h"

#include <cmath>

namespace torvex {

namespace {

struct SlotChoice {
    int previous;
    int current;
    float theta;
};

SlotChoice slotsFor(const SolverState& s, Equation eq) {
    if (eq == Equation::Energy) {
        return {kPreviousEnergySlot, kCurrentEnergySlot, s.thetaEnergy};
    }
    return {kPreviousMomentumSlot, kCurrentMomentumSlot, s.thetaMomentum};
}

bool failSolve(SolverState& s, const char* reason) {
    s.failFlag = 1;
    s.failReason = reason;
    return false;
}

bool usableDivisor(float value) { return value != 0.0f && std::isfinite(value); }

// Copies the energy and momentum slots `from`, from + 1 of the four
// coefficient tables into slots `to`, to + 1, nodes 1..N.
void copyStationSlots(SolverState& s, int from, int to) {
    const int n = s.radialNodeCount;
    for (int k = 0; k <= 1; ++k) {
        for (int i = 1; i <= n; ++i) {
            s.radialFluxCoef[to + k][i] = s.radialFluxCoef[from + k][i];
            s.axialFluxCoef[to + k][i] = s.axialFluxCoef[from + k][i];
            s.diffusionCoef[to + k][i] = s.diffusionCoef[from + k][i];
            s.sourceCoef[to + k][i] = s.sourceCoef[from + k][i];
        }
    }
}

} // namespace

void openStation(SolverState& s) { copyStationSlots(s, kPreviousEnergySlot, kCurrentEnergySlot); }

namespace {

// The coefficient loop for one equation. The energy source is the average of
// the two stations, the momentum source that of the current station alone; the
// choice is a template parameter so the loop has no branch and vectorises.
template <bool kAveragedSource>
void fillTransportCoefficients(SolverState& s, const SlotChoice slot, const NodeArray& previousProfile) {
    const int p = slot.previous;
    const int c = slot.current;
    const float theta = slot.theta;
    const float h = s.radialStep;
    const float h2 = h * h;
    const float dz = s.axialStep;
    const float explicitWeight = (1.0f - theta) / theta;
    const NodeArray& dp = s.diffusionCoef[p];
    const NodeArray& dc = s.diffusionCoef[c];
    const NodeArray& ap = s.axialFluxCoef[p];
    const NodeArray& ac = s.axialFluxCoef[c];
    const NodeArray& sp = s.sourceCoef[p];
    const NodeArray& sc = s.sourceCoef[c];
    const NodeArray& wc = s.radialFluxCoef[c];
    const NodeArray& y0 = previousProfile;
    const int last = s.radialNodeCount - 1;

    // Built in local arrays: they alias nothing, so the loop vectorises.
    NodeArray upperCoef, lowerCoef, diagonalCoef, rightSide;
    for (int i = 2; i <= last; ++i) {
        const float w = wc[i];
        const float dPlus = dp[i + 1] + dc[i + 1] + dp[i] + dc[i];
        const float dMinus = dp[i - 1] + dc[i - 1] + dp[i] + dc[i];
        // Radial convection enters the upper coefficient for outward flux and
        // the lower one for inward flux only.
        const float upper = theta * (dPlus - 2.0f * h * (std::fabs(w) + w)) * 0.25f;
        const float lower = theta * (dMinus + 2.0f * h * (w - std::fabs(w))) * 0.25f;
        const float axialStorage = (ap[i] + ac[i]) * 0.5f / dz * h2;
        const float source = kAveragedSource ? (sp[i] + sc[i]) * 0.5f : sc[i];

        upperCoef[i] = upper;
        lowerCoef[i] = lower;
        diagonalCoef[i] = axialStorage + lower + upper;
        rightSide[i] = (axialStorage - explicitWeight * (lower + upper)) * y0[i] +
                       (y0[i + 1] * upper + y0[i - 1] * lower) * (1.0f - theta) / theta + h2 * source;
    }
    for (int i = 2; i <= last; ++i) {
        s.upperCoef[i] = upperCoef[i];
        s.lowerCoef[i] = lowerCoef[i];
        s.diagonalCoef[i] = diagonalCoef[i];
        s.rightSide[i] = rightSide[i];
    }
}

} // namespace

void buildTransportCoefficients(SolverState& s, Equation eq, const NodeArray& previousProfile) {
    if (eq == Equation::Energy) {
        fillTransportCoefficients<true>(s, slotsFor(s, eq), previousProfile);
    } else {
        fillTransportCoefficients<false>(s, slotsFor(s, eq), previousProfile);
    }
}

namespace {

// Zero radial slope on the axis, Y_1 = (4 Y_2 - Y_3)/3, eliminated with the
// node-2 equation: the first sweep coefficients. Returns false when singular.
bool axisSweepStart(SolverState& s, float& alpha1, float& axisBetaDenominator) {
    const NodeArray& A = s.upperCoef;
    const NodeArray& B = s.diagonalCoef;
    const NodeArray& C = s.lowerCoef;
    const float axisDenominator = 3.0f * A[2] - C[2];
    axisBetaDenominator = 3.0f * B[2] - 4.0f * C[2];
    if (!usableDivisor(axisDenominator) || !usableDivisor(axisBetaDenominator)) {
        return failSolve(s, "the axis condition of the radial sweep is singular");
    }
    alpha1 = (4.0f * A[2] - B[2]) / axisDenominator;
    return true;
}

// Back substitution from Y_N = boundaryValue; false if a value is not finite.
bool backSubstitute(SolverState& s, const NodeArray& alpha, const NodeArray& beta, float boundaryValue,
                    NodeArray& result) {
    const int n = s.radialNodeCount;
    NodeArray y;
    y[n] = boundaryValue;
    for (int i = n - 1; i >= 1; --i) {
        y[i] = alpha[i] * y[i + 1] + beta[i];
        if (!std::isfinite(y[i])) {
            return failSolve(s, "the radial sweep produced a non-finite value");
        }
    }
    for (int i = 1; i <= n; ++i) {
        result[i] = y[i];
    }
    return true;
}

// Forward sweep of the system in A, B, C with the right-hand side F and, when
// kTwoSides, a second right-hand side G that shares the pivots; then back
// substitution of each. The betas of the last right-hand side stay in the state.
template <bool kTwoSides>
bool sweep(SolverState& s, float boundaryValue, const NodeArray* secondRightSide, NodeArray& result,
           NodeArray* secondResult) {
    const int n = s.radialNodeCount;
    if (n < 3) {
        return failSolve(s, "the radial grid has too few nodes for the sweep");
    }
    const NodeArray& A = s.upperCoef;
    const NodeArray& B = s.diagonalCoef;
    const NodeArray& C = s.lowerCoef;
    const NodeArray& F = s.rightSide;
    NodeArray& alpha = s.sweepAlpha;
    NodeArray firstBeta;
    NodeArray& beta = kTwoSides ? firstBeta : s.sweepBeta;
    NodeArray& secondBeta = s.sweepBeta;

    float axisBetaDenominator = 0.0f;
    if (!axisSweepStart(s, alpha[1], axisBetaDenominator)) {
        return false;
    }
    beta[1] = (4.0f - 3.0f * alpha[1]) * F[2] / axisBetaDenominator;
    if (kTwoSides) {
        secondBeta[1] = (4.0f - 3.0f * alpha[1]) * (*secondRightSide)[2] / axisBetaDenominator;
    }

    for (int i = 2; i <= n - 1; ++i) {
        const float pivot = B[i] - alpha[i - 1] * C[i];
        if (!usableDivisor(pivot)) {
            return failSolve(s, "a pivot of the radial sweep vanished");
        }
        alpha[i] = A[i] / pivot;
        beta[i] = (beta[i - 1] * C[i] + F[i]) / pivot;
        if (kTwoSides) {
            secondBeta[i] = (secondBeta[i - 1] * C[i] + (*secondRightSide)[i]) / pivot;
        }
    }
    if (!backSubstitute(s, alpha, beta, boundaryValue, result)) {
        return false;
    }
    if (kTwoSides) {
        if (!backSubstitute(s, alpha, secondBeta, boundaryValue, *secondResult)) {
            return false;
        }
        // Leave the system as a second solve would: its right-hand side in F.
        for (int i = 2; i <= n - 1; ++i) {
            s.rightSide[i] = (*secondRightSide)[i];
        }
    }
    return true;
}

} // namespace

bool sweepTridiagonal(SolverState& s, float boundaryValue, NodeArray& result) {
    return sweep<false>(s, boundaryValue, nullptr, result, nullptr);
}

bool sweepTridiagonalTwice(SolverState& s, float boundaryValue, const NodeArray& secondRightSide,
                           NodeArray& result, NodeArray& secondResult) {
    return sweep<true>(s, boundaryValue, &secondRightSide, result, &secondResult);
}

bool solveTransport(SolverState& s, Equation eq, const NodeArray& previousProfile,
                    float boundaryValue, NodeArray& result) {
    buildTransportCoefficients(s, eq, previousProfile);
    return sweepTridiagonal(s, boundaryValue, result);
}

void refreshMomentumSlots(SolverState& s, const NodeArray& velocity) {
    const float dz = s.axialStep;
    const auto& pressure = s.magneticPressurePair;
    for (int i = 1; i <= s.radialNodeCount; ++i) {
        const float r = s.radius[i];
        s.axialFluxCoef[kCurrentMomentumSlot][i] = r * s.density[i] * velocity[i];
        s.diffusionCoef[kCurrentMomentumSlot][i] = r * s.effectiveViscosity[i];
        // Axial force of the pinch pressure falling from one station to the next.
        s.sourceCoef[kCurrentMomentumSlot][i] = (pressure[1][i] - pressure[2][i]) * r / dz;
    }
}

void integrateContinuity(SolverState& s, float dampingFactor) {
    const float h = s.radialStep;
    const float dz = s.axialStep;
    const float theta = s.thetaContinuity;
    const float explicitWeight = (1.0f - theta) / theta;
    NodeArray& w = s.radialFluxCoef[kCurrentMomentumSlot];
    const NodeArray& wPrevious = s.radialFluxCoef[kPreviousMomentumSlot];
    const NodeArray& a = s.axialFluxCoef[kCurrentMomentumSlot];
    const NodeArray& aPrevious = s.axialFluxCoef[kPreviousMomentumSlot];

    // No radial mass flux crosses the axis; outward, the flux grows by what
    // the axial mass flux loses between the two stations.
    w[1] = 0.0f;
    for (int i = 1; i <= s.radialNodeCount - 1; ++i) {
        const float axialChange = a[i + 1] - aPrevious[i + 1] + a[i] - aPrevious[i];
        w[i + 1] = w[i] - explicitWeight * (wPrevious[i + 1] - wPrevious[i]) -
                   axialChange * h / dz / theta / 2.0f;
        // A factor of exactly 1 leaves the flux as it is: skip the product.
        if (dampingFactor != 1.0f) w[i + 1] *= dampingFactor;
    }
}

void radialVelocityFromFlux(SolverState& s) {
    NodeArray& v = s.radialVelocityPair[2];
    v[1] = 0.0f;
    for (int i = 2; i <= s.radialNodeCount; ++i) {
        v[i] = s.radialFluxCoef[kCurrentMomentumSlot][i] / s.density[i] / s.radius[i];
    }
}

void refreshEnergySlots(SolverState& s, float field) {
    const float fieldSquared = field * field;
    for (int i = 1; i <= s.radialNodeCount; ++i) {
        const float cp = s.heatCapacity[i];
        const float r = s.radius[i];
        s.radialFluxCoef[kCurrentEnergySlot][i] = s.radialFluxCoef[kCurrentMomentumSlot][i] * cp;
        s.axialFluxCoef[kCurrentEnergySlot][i] = s.axialFluxCoef[kCurrentMomentumSlot][i] * cp;
        s.diffusionCoef[kCurrentEnergySlot][i] = r * s.effectiveConductivity[i];
        // Joule heating minus radiation, per unit volume, times r.
        s.sourceCoef[kCurrentEnergySlot][i] =
            (fieldSquared * s.electricalConductivity[i] - s.radiationLoss[i]) * r;
    }
}

void closeStation(SolverState& s) {
    copyStationSlots(s, kCurrentEnergySlot, kPreviousEnergySlot);
    const int n = s.radialNodeCount;
    for (int i = 1; i <= n; ++i) {
        s.temperaturePair[1][i] = s.temperaturePair[2][i];
        s.axialVelocityPair[1][i] = s.axialVelocityPair[2][i];
        s.radialVelocityPair[1][i] = s.radialVelocityPair[2][i];
        s.magneticPressurePair[1][i] = s.magneticPressurePair[2][i];
        s.axialVelocity[i] = s.axialVelocityPair[2][i];
        s.radialVelocity[i] = s.radialVelocityPair[2][i];
        s.magneticPressure[i] = s.magneticPressurePair[2][i];
    }
}

void integrateEnthalpy(SolverState& s, const NodeArray& t) {
    const int n = s.radialNodeCount;
    NodeArray& h = s.enthalpy;
    h[n] = 0.0f;
    for (int i = n - 1; i >= 1; --i) {
        h[i] = (t[i] - t[i + 1]) * (s.heatCapacity[i] + s.heatCapacity[i + 1]) * 0.5f + h[i + 1];
    }
}

void computeEnthalpy(SolverState& s) {
    integrateEnthalpy(s, s.temperaturePair[2]);
    if (s.enthalpy[1] < 0.0f) {
        s.enthalpy[1] = 0.0f;
    }
}

float simpsonIntegral(const SolverState& s, const NodeArray& weights, const NodeArray& f) {
    return simpsonRule(s, [&](int i) { return weights[i] * f[i] * s.radius[i]; });
}

} // namespace torvex
