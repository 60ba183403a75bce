#include "solver/jet_grid.h"

#include "solver/normalise.h"
#include "solver/properties.h"

namespace torvex {

namespace {

// Area-weighted mean axial velocity over nodes 1..N (Simpson's rule over
// r dr; the common factor h/3 cancels).
float meanAxialVelocity(const SolverState& s) {
    const int n = s.radialNodeCount;
    float flux = 0, area = 0;
    for (int i = 1; i <= n; ++i) {
        const float w = simpsonWeightAt(i, n);
        flux += w * s.axialVelocity[i] * s.radius[i];
        area += w * s.radius[i];
    }
    return area != 0.0f ? flux / area : 0.0f;
}

// The outer node averages its inner neighbour with the surrounding gas.
void relaxOuterVelocity(SolverState& s) {
    const int n = s.radialNodeCount;
    s.axialVelocity[n] = (s.axialVelocity[n - 1] + s.ambientVelocity) / 2.0f;
}

// Axial-flux slots of the previous station: momentum r u rho, energy
// that times c_p, with the cold surrounding gas.
void setColdAxialFlux(SolverState& s, int i) {
    s.axialFluxCoef[kPreviousMomentumSlot][i] = s.radius[i] * s.axialVelocity[i] * s.coldDensity;
    s.axialFluxCoef[kPreviousEnergySlot][i] = s.axialFluxCoef[kPreviousMomentumSlot][i] * s.coldHeatCapacity;
}

void addAmbientNode(SolverState& s, int i, float outerTemperature) {
    s.radius[i] = static_cast<float>(i - 1) * s.radialStep;
    s.temperature[i] = outerTemperature;
    s.axialVelocity[i] = s.ambientVelocity;
    s.radialVelocity[i] = 0.0f;
    s.magneticPressure[i] = 0.0f;
    s.temperaturePair[1][i] = s.temperature[i];
    s.axialVelocityPair[1][i] = s.axialVelocity[i];
    s.radialVelocityPair[1][i] = 0.0f;
    s.magneticPressurePair[1][i] = 0.0f;
    s.radialFluxCoef[kPreviousEnergySlot][i] = 0.0f;
    s.radialFluxCoef[kPreviousMomentumSlot][i] = 0.0f;
    setColdAxialFlux(s, i);
}

// Transport slots of a new node once its properties are known; outside the
// channel there is no Joule heating, only radiation loss.
void setNewNodeTransport(SolverState& s, int i) {
    s.diffusionCoef[kPreviousMomentumSlot][i] = s.radius[i] * s.viscosity[i];
    s.diffusionCoef[kPreviousEnergySlot][i] = s.radius[i] * s.thermalConductivity[i];
    s.sourceCoef[kPreviousEnergySlot][i] = -s.radius[i] * s.radiationLoss[i];
    s.sourceCoef[kPreviousMomentumSlot][i] = 0.0f;
}

} // namespace

void limitJetNodeCount(SolverState& s) {
    if (s.jetNodeCount > kMaxNodes) s.jetNodeCount = kMaxNodes;
}

void fillJetEdge(SolverState& s) {
    limitJetNodeCount(s);
    const int n = s.radialNodeCount;
    relaxOuterVelocity(s);
    for (int i = n + 1; i <= s.jetNodeCount; ++i) {
        s.temperature[i] = s.temperature[n];
        s.axialVelocity[i] = s.ambientVelocity;
    }
}

void extendJetGrid(SolverState& s) {
    limitJetNodeCount(s);
    const int n = s.radialNodeCount;
    const int grown = s.jetNodeCount > n ? s.jetNodeCount : n;
    s.referenceMeanVelocity = meanAxialVelocity(s);
    for (int i = 1; i <= grown; ++i) s.jetSimpsonWeight[i] = simpsonWeightAt(i, grown);

    relaxOuterVelocity(s);
    s.axialVelocityPair[1][n] = s.axialVelocity[n];
    setColdAxialFlux(s, n);
    for (int i = n + 1; i <= grown; ++i) addAmbientNode(s, i, s.temperature[n]);

    s.radialNodeCount = grown;
    evaluateProperties(s);
    for (int i = n + 1; i <= grown; ++i) setNewNodeTransport(s, i);
}

} // namespace torvex
