// Flow state at the entrance of the anode channel: a fully developed,
// turbulent, current-carrying channel flow.
//
// The temperature profile has a fixed shape; its axis temperature is chosen so
// that the profile carries the arc current at the field E = j/sigma_g. The
// conductivity guess sigma_g is raised pass by pass (which lowers E and heats
// the profile) until the enthalpy flux of the flow reaches the power the gas
// is known to carry into the channel.
#include "solver/inlet.h"

#include "solver/inlet_velocity.h"
#include "solver/march.h"
#include "solver/properties.h"
#include "solver/root_search.h"
#include "solver/scheme.h"

#include <cmath>

namespace torvex {

namespace {

constexpr float kWallTemperature = 500.0f;       // K, anode wall
constexpr float kStartConductivity = 1000.0f;    // S/m, before the first pass
constexpr float kConductivityIncrement = 100.0f; // S/m per pass
constexpr float kRootSearchStart = 12000.0f;     // K above the wall
constexpr float kRootSearchStep = 200.0f;        // K
constexpr float kCurrentTolerance = 0.01f;       // relative current error

// Generous bound: the guess passes the largest conductivity of any gas table
// (about 1.3e4 S/m) after some 120 passes, and the model's variants need far
// fewer.
constexpr int kMaxConductivityPasses = 2000;

bool fail(SolverState& s, const char* reason) {
    s.failFlag = 1;
    s.failReason = reason;
    return false;
}

// T_i = T_w + rise (1 - (r_i/r_N)^(2A)), then the properties there.
void setTemperatureProfile(SolverState& s, float rise) {
    const int n = s.radialNodeCount;
    const float outer = s.radius[n];
    const float power = 2.0f * s.profileExponent;
    for (int i = 1; i <= n; ++i) {
        s.temperature[i] = kWallTemperature + rise * (1.0f - std::pow(s.radius[i] / outer, power));
    }
    evaluateProperties(s);
}

// Relative error of the current that the profile with this axis rise carries
// at the inlet field: (E 2 pi int sigma r dr - I) / I.
float currentResidual(SolverState& s, float rise) {
    setTemperatureProfile(s, rise);
    float sum = 0.0f;
    for (int i = 1; i <= s.radialNodeCount; ++i) {
        sum += s.electricalConductivity[i] * s.radius[i] * s.simpsonWeight[i];
    }
    const float carried = s.inletField * s.radialStep * s.pi * sum / 1.5f;
    const float required = s.pi * s.currentDensity * (s.conductingRadius * s.conductingRadius);
    return (carried - required) / required;
}

// 2 pi int rho u H r dr (W); also sets inletMassFlow = 2 pi int rho u r dr.
float enthalpyFlux(SolverState& s, const NodeArray& u) {
    float energySum = 0.0f;
    float massSum = 0.0f;
    for (int i = 1; i <= s.radialNodeCount; ++i) {
        energySum += s.enthalpy[i] * s.simpsonWeight[i] * s.density[i] * u[i] * s.radius[i];
        massSum += s.density[i] * s.simpsonWeight[i] * s.radius[i] * u[i];
    }
    s.inletMassFlow = s.pi * s.radialStep * massSum / 1.5f;
    return s.pi * s.radialStep * energySum / 1.5f;
}

void keepLargest(int& largest, int value) {
    if (value > largest) {
        largest = value;
    }
}

// One conductivity pass: axis temperature, properties, velocity, enthalpy.
// Returns false (failFlag set) when a loop bound is reached.
bool conductivityPass(SolverState& s, NodeArray& u, InletIterationCounts& counts) {
    s.inletField = s.currentDensity / s.conductivityGuess;
    const RootSearchResult root =
        searchRoot(s.rootSearchStart, s.rootSearchStep, kCurrentTolerance,
                   [&s](float rise) { return currentResidual(s, rise); });
    keepLargest(counts.rootSearchSteps, root.steps);
    keepLargest(counts.bisections, root.halvings);
    if (root.status != RootSearchStatus::Found) {
        return fail(s, "no inlet axis temperature carries the arc current");
    }
    s.axisTemperature = root.root;
    setTemperatureProfile(s, s.axisTemperature);
    s.stationField = s.inletField;

    if (!parabolicStartVelocity(s, u)) {
        return false;
    }
    int rounds = 0;
    const bool converged = turbulentVelocity(s, u, rounds);
    keepLargest(counts.velocityRounds, rounds);
    if (!converged) {
        return false;
    }
    integrateEnthalpy(s, s.temperature);  // above the wall value
    return true;
}

// Previous-station slots of the coefficient tables and entry 1 of the pairs.
void seedStationData(SolverState& s) {
    const float fieldSquared = s.inletField * s.inletField;
    for (int i = 1; i <= s.radialNodeCount; ++i) {
        const float rho = s.density[i];
        const float u = s.axialVelocity[i];
        const float r = s.radius[i];
        const float cp = s.heatCapacity[i];
        s.radialFluxCoef[kPreviousEnergySlot][i] = 0.0f;
        s.radialFluxCoef[kPreviousMomentumSlot][i] = 0.0f;
        s.axialFluxCoef[kPreviousMomentumSlot][i] = rho * u * r;
        s.axialFluxCoef[kPreviousEnergySlot][i] = rho * u * r * cp;
        s.diffusionCoef[kPreviousMomentumSlot][i] = r * s.effectiveViscosity[i];
        s.diffusionCoef[kPreviousEnergySlot][i] = r * s.effectiveConductivity[i];
        s.sourceCoef[kPreviousEnergySlot][i] =
            r * (fieldSquared * s.electricalConductivity[i] - s.radiationLoss[i]);
        s.sourceCoef[kPreviousMomentumSlot][i] = 0.0f;

        s.temperaturePair[1][i] = s.temperature[i];
        s.axialVelocityPair[1][i] = u;
        s.radialVelocityPair[1][i] = 0.0f;
        s.magneticPressurePair[1][i] = s.magneticPressure[i];
    }
}

void completeInletState(SolverState& s, const NodeArray& u) {
    const int n = s.radialNodeCount;
    for (int i = 1; i <= n; ++i) {
        s.axialVelocity[i] = u[i];
        s.radialVelocity[i] = 0.0f;
    }
    // The pinch pressure of the enclosed current, with the field of the last pass.
    computePinchPressure(s, s.inletField, s.magneticPressure);
    s.stepIndex = 0;
    // The enthalpy of the last pass is still in place (nothing has changed
    // the temperatures since); the march starts with its axis value not below 0.
    if (s.enthalpy[1] < 0.0f) {
        s.enthalpy[1] = 0.0f;
    }

    s.enthalpyFluxIntegral = simpsonRule(
        s, [&](int i) { return s.enthalpy[i] * s.simpsonWeight[i] * s.density[i] * u[i] * s.radius[i]; });
    s.massFluxIntegral =
        simpsonRule(s, [&](int i) { return s.density[i] * s.simpsonWeight[i] * u[i] * s.radius[i]; });

    seedStationData(s);

    s.axialPosition = 0.0f;
    s.columnVoltage = 0.0f;
    s.rememberedField = s.inletField;
    s.rememberedAxisTemperature = s.temperature[1];
    s.rememberedAxisConductivity = s.effectiveConductivity[1];
    s.rememberedAxisHeatFlux = s.density[1] * s.heatCapacity[1] * u[1];
}

} // namespace

bool buildInletState(SolverState& s, InletIterationCounts& counts) {
    counts = InletIterationCounts{};
    if (s.radialNodeCount < 5 || s.radialNodeCount > kMaxNodes || s.currentDensity <= 0.0f ||
        s.conductingRadius <= 0.0f) {
        return fail(s, "the inlet state needs the grid and the plasmatron characteristics");
    }
    s.conductivityGuess = kStartConductivity;
    s.rootSearchStart = kRootSearchStart;
    s.rootSearchStep = kRootSearchStep;
    const float inletPower = s.inletPowerW;

    NodeArray u{};
    for (int pass = 1; pass <= kMaxConductivityPasses; ++pass) {
        counts.conductivityPasses = pass;
        s.conductivityGuess = s.conductivityGuess + kConductivityIncrement;
        if (!conductivityPass(s, u, counts)) {
            return false;
        }
        const float flux = enthalpyFlux(s, u);
        if (!std::isfinite(flux)) {
            return fail(s, "the inlet enthalpy flux is not a finite number");
        }
        // Done once the flow carries at least the power the gas brings in.
        if (!(inletPower > flux)) {
            completeInletState(s, u);
            return true;
        }
    }
    return fail(s, "the inlet enthalpy flux never reached the inlet power");
}

bool buildInletState(SolverState& s) {
    InletIterationCounts counts;
    return buildInletState(s, counts);
}

} // namespace torvex
