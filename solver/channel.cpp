// The march through the anode channel: at every axial station the energy
// equation, Ohm's law for the field strength, the pinch pressure of the arc
// current, a two-layer turbulence model, axial momentum with the pressure
// gradient that keeps the mass flow, and continuity; iterated until the
// field strength (or, once the arc has ended, the axis temperature), the mass
// flux and the pressure gradient settle.
#include "march.h"
#include "march_support.h"
#include "properties.h"
#include "scheme.h"

#include <algorithm>
#include <cmath>

namespace torvex {
namespace {

constexpr float kWallTemperature = 500.0f;  // K, anode wall; also the lower clamp
constexpr int kIterationLimit = 199;
constexpr int kDampedSteps = 30;            // steps with damped radial flux
constexpr float kDampingRate = 0.04f;
constexpr int kDampingIterationCap = 8;
constexpr float kKarman = 0.41f;
constexpr float kWallLayerSlope = 0.0154f;
constexpr float kWallLayerLimit = 12.0f;
constexpr float kSublayerEdge = 26.0f;       // y+ at the edge of the wall layer
constexpr int kReturnInterval = 100;         // steps between regular returns

// Tolerances of one station: a for the pressure gradient, b for the field
// strength (or axis temperature) and the mass flux.
struct Tolerances {
    float pressure;
    float field;
};

// What one iteration of a station produces.
struct Iterate {
    NodeArray velocity{};       // u~, the iteration axial velocity, m/s
    float field = 0;            // E, V/m
    float massFlux = 0;         // int rho u r dr, kg/s per radian
    float pressureGradient = 0; // dp/dz, Pa/m
};

void fail(SolverState& s, const char* reason)
{
    s.failFlag = 1;
    s.failReason = reason;
}

// While the current still flows the field strength carries the convergence
// test; after the ramp it is the axis temperature.
bool currentFlows(const SolverState& s, int k)
{
    return k < s.attachStep + s.currentRampSteps;
}

// Once the column voltage is reached the arc attaches: the current falls by
// the decrement each step until the ramp is over.
void rampCurrent(SolverState& s, int k)
{
    if (k >= s.attachStep)
        s.stepCurrent = s.stepCurrent - s.currentDecrement;
    if (k >= s.attachStep + s.currentRampSteps)
        s.stepCurrent = 0.0f;
}

void openChannelStation(SolverState& s, NodeArray& velocity)
{
    openStation(s);
    const int n = s.radialNodeCount;
    for (int i = 1; i <= n; ++i) {
        s.temperature[i] = std::max(s.temperaturePair[1][i], kWallTemperature);
        velocity[i] = s.axialVelocityPair[1][i];
    }
}

// Energy equation with the wall held at 500 K; the iteration temperature
// moves half way to the new solution, and the properties follow it.
bool updateTemperature(SolverState& s)
{
    if (!solveTransport(s, Equation::Energy, s.temperaturePair[1], kWallTemperature,
                        s.temperaturePair[2]))
        return false;
    const int n = s.radialNodeCount;
    for (int i = 1; i <= n; ++i)
        s.temperature[i] = std::max((s.temperature[i] + s.temperaturePair[2][i]) / 2.0f,
                                    kWallTemperature);
    evaluateProperties(s);
    return true;
}

// Ohm's law for the whole column: E = I / (2 pi int sigma r dr).
bool fieldStrength(const SolverState& s, float& field)
{
    float conductance = 0.0f;
    for (int i = 1; i <= s.radialNodeCount; ++i)
        conductance += s.electricalConductivity[i] * s.simpsonWeight[i] * s.radius[i];
    if (conductance == 0.0f)
        return false;
    field = s.stepCurrent * 1.5f / s.pi / conductance / s.radialStep;
    return true;
}

// Running integral int_0^r_i f dr' for i = 1..n, Simpson's rule in steps of
// two nodes from the axis (node 2 by the trapezoid). f_1 is not used.
void integrateFromAxis(const NodeArray& f, float h, int n, NodeArray& x)
{
    x[1] = 0.0f;
    x[2] = f[2] * h / 2.0f;
    x[3] = (4.0f * f[2] + f[3]) * h / 3.0f;
    for (int i = 4; i <= n; ++i)
        x[i] = x[i - 2] + (f[i - 2] + 4.0f * f[i - 1] + f[i]) * h / 3.0f;
}

} // namespace

// c_i is the current inside radius r_i (per 2 pi E), e_i the integral of
// sigma c / r.
void computePinchPressure(const SolverState& s, float field, NodeArray& p)
{
    const int n = s.radialNodeCount;
    const float h = s.radialStep;
    const NodeArray& r = s.radius;
    const NodeArray& sigma = s.electricalConductivity;
    NodeArray sigmaR{};
    for (int i = 2; i <= n; ++i)
        sigmaR[i] = sigma[i] * r[i];
    NodeArray c{};
    integrateFromAxis(sigmaR, h, n, c);
    NodeArray g{};
    for (int i = 2; i <= n; ++i)
        g[i] = sigma[i] * c[i] / r[i];
    NodeArray e{};
    integrateFromAxis(g, h, n, e);
    float weighted = 0.0f;
    for (int i = 2; i <= n; ++i)
        weighted += s.simpsonWeight[i] * g[i];
    const float total = h / 3.0f * weighted;

    const float fieldSquared = field * field;
    p[1] = fieldSquared * s.mu0 * total;
    for (int i = 2; i <= n; ++i) {
        const float enclosed = c[i] / r[i];
        p[i] = (enclosed * enclosed * 0.5f + std::max(total - e[i], 0.0f)) * fieldSquared * s.mu0;
    }
}

namespace {

// Two-layer turbulence: a mixing-length core and a wall layer whose
// viscosity ratio grows with the local Reynolds number; the switch node is
// where the two agree, or the edge of the viscous sublayer.
void applyWallLayerModel(SolverState& s, const NodeArray& u)
{
    const int n = s.radialNodeCount;
    const float h = s.radialStep;
    const NodeArray& rho = s.density;
    const NodeArray& mu = s.viscosity;

    const float wallShear = mu[n] * u[n - 1] / h;
    const float frictionVelocity = std::sqrt(std::fabs(wallShear) / rho[n]);

    NodeArray turbulent{};
    NodeArray yPlus{};
    NodeArray ratio{};
    for (int i = 1; i <= n; ++i) {
        const float y = static_cast<float>(n - i) * h;
        const float mixingLength = kKarman * y;
        turbulent[i] = (i < n) ? std::fabs((u[i] - u[i + 1]) / h) * rho[i] * (mixingLength * mixingLength)
                               : 0.0f;
        yPlus[i] = y * rho[i] * frictionVelocity / mu[i];
        const float x = std::fabs(u[i] * y * rho[i] / mu[i] * kWallLayerSlope);
        ratio[i] = (x > kWallLayerLimit) ? x : (1.0f - std::exp(-x)) * x;
    }

    const int sublayerEdge = nearestNode(n, [&](int i) { return std::fabs(yPlus[i] - kSublayerEdge); });
    const int balance = nearestNode(n - 1, [&](int i) { return std::fabs(turbulent[i] - mu[i] * ratio[i]); });
    int last = balance;
    if (yPlus[balance] > kSublayerEdge)
        last = sublayerEdge;
    last = std::min(last, n - 1);

    for (int i = 1; i <= n; ++i) {
        if (i <= last) {
            s.effectiveViscosity[i] = mu[i] + turbulent[i];
            s.effectiveConductivity[i] = s.thermalConductivity[i] + s.heatCapacity[i] * turbulent[i];
        } else {
            s.effectiveViscosity[i] = (ratio[i] + 1.0f) * mu[i];
            s.effectiveConductivity[i] = s.thermalConductivity[i] + s.heatCapacity[i] * mu[i] * ratio[i];
        }
    }
}

// int rho u r dr: the mass flux (kg/s per radian) a velocity profile carries.
float carriedMassFlux(const SolverState& s, const NodeArray& velocity)
{
    return simpsonRule(s, [&](int i) { return s.simpsonWeight[i] * s.radius[i] * s.density[i] * velocity[i]; });
}

// Momentum is linear in the pressure gradient: solve once with the full
// right-hand side and once for a unit gradient, then pick the gradient that
// carries the inlet mass flow.
bool solveMomentumForMassFlow(SolverState& s, Iterate& it)
{
    const int n = s.radialNodeCount;
    const float h = s.radialStep;
    NodeArray particular{};
    NodeArray unitResponse{};
    buildTransportCoefficients(s, Equation::Momentum, s.axialVelocityPair[1]);
    NodeArray unitRightSide{};
    for (int i = 2; i <= n - 1; ++i)
        unitRightSide[i] = -(h * h) * s.radius[i];
    if (!sweepTridiagonalTwice(s, 0.0f, unitRightSide, particular, unitResponse))
        return false;

    const float particularFlux = carriedMassFlux(s, particular);
    const float responseFlux = carriedMassFlux(s, unitResponse);
    if (responseFlux == 0.0f)
        return false;
    it.pressureGradient = (s.inletMassFlow / s.pi / 2.0f - particularFlux) / responseFlux;

    NodeArray& newVelocity = s.axialVelocityPair[2];
    for (int i = 1; i <= n; ++i) {
        newVelocity[i] = unitResponse[i] * it.pressureGradient + particular[i];
        it.velocity[i] = (newVelocity[i] + it.velocity[i]) / 2.0f;
    }
    return true;
}

// Near the inlet the radial flux is brought in gradually, more so in the
// first iterations of a station, so the start profile can settle.
float radialFluxDamping(int k, int iteration)
{
    if (k > kDampedSteps)
        return 1.0f;
    const int m = std::min(iteration, kDampingIterationCap);
    const float exponent = static_cast<float>(m * m) * static_cast<float>(k) * kDampingRate /
                           static_cast<float>(kDampedSteps);
    return 1.0f - std::exp(-exponent);
}

// Continuity gives the radial mass flux; nothing crosses the anode wall.
void updateRadialFlow(SolverState& s, const NodeArray& velocity, int k, int iteration)
{
    const int n = s.radialNodeCount;
    for (int i = 1; i <= n; ++i)
        s.axialFluxCoef[kCurrentMomentumSlot][i] = s.radius[i] * s.density[i] * velocity[i];
    integrateContinuity(s, radialFluxDamping(k, iteration));
    radialVelocityFromFlux(s);
    s.radialFluxCoef[kCurrentMomentumSlot][n] = 0.0f;
    s.radialVelocityPair[2][n] = 0.0f;
}

// One iteration of a station: temperature, field, pinch pressure,
// turbulence, momentum, continuity. Returns false with the reason set when
// the station cannot be solved.
bool iterateStation(SolverState& s, int k, int iteration, Iterate& it)
{
    if (!updateTemperature(s)) {
        fail(s, "the energy equation in the anode channel has no solution (vanishing pivot)");
        return false;
    }
    it.field = 0.0f;
    if (currentFlows(s, k) && !fieldStrength(s, it.field)) {
        fail(s, "the arc column in the anode channel conducts no current");
        return false;
    }
    computePinchPressure(s, it.field, s.magneticPressurePair[2]);
    applyWallLayerModel(s, it.velocity);
    refreshMomentumSlots(s, it.velocity);
    if (!solveMomentumForMassFlow(s, it)) {
        fail(s, "the momentum equation in the anode channel has no solution (vanishing pivot)");
        return false;
    }
    updateRadialFlow(s, it.velocity, k, iteration);
    refreshEnergySlots(s, it.field);
    const NodeArray& newVelocity = s.axialVelocityPair[2];
    it.massFlux = simpsonRule(
        s, [&](int i) { return newVelocity[i] * s.simpsonWeight[i] * s.radius[i] * s.density[i]; });
    return true;
}

// Iterates one station to convergence. Returns false (failFlag set) when
// the iteration limit is reached or the equations cannot be solved.
bool solveStation(SolverState& s, int k, const Tolerances& tol, Iterate& it)
{
    openChannelStation(s, it.velocity);
    const bool fieldJudged = currentFlows(s, k);
    float referenceQuantity = fieldJudged ? s.stationField : s.temperaturePair[1][1];
    float referenceMassFlux = 0.0f;
    float referencePressure = 0.0f;
    for (int iteration = 1;; ++iteration) {
        if (!iterateStation(s, k, iteration, it))
            return false;
        s.massFluxIntegral = it.massFlux;
        s.pressureGradient = it.pressureGradient;
        if (iteration >= kIterationLimit) {
            fail(s, "a station in the anode channel did not converge within 199 iterations");
            return false;
        }
        const float quantity = fieldJudged ? it.field : s.temperaturePair[2][1];
        if (iteration > 1 && changeAtMost(referenceQuantity - quantity, referenceQuantity, tol.field) &&
            changeAtMost(it.massFlux - referenceMassFlux, it.massFlux, tol.field) &&
            changeBelow(it.pressureGradient - referencePressure, it.pressureGradient, tol.pressure))
            return true;
        referenceQuantity = quantity;
        referenceMassFlux = it.massFlux;
        referencePressure = it.pressureGradient;
    }
}

// Column voltage, slot rotation, enthalpy flux and the attachment decision.
void closeChannelStation(SolverState& s, int k, float previousField, float field)
{
    s.stationField = field;
    s.columnVoltage = s.columnVoltage + (field + previousField) * s.axialStep / 2.0f;
    closeStation(s);
    computeEnthalpy(s);
    // int rho u H r dr of the station just closed (its velocity is now entry 1).
    const NodeArray& u = s.axialVelocityPair[1];
    s.enthalpyFluxIntegral = simpsonRule(
        s, [&](int i) { return u[i] * s.enthalpy[i] * s.simpsonWeight[i] * s.radius[i] * s.density[i]; });
    if (k < s.attachStep && s.columnVoltage >= s.channelVoltage)
        s.attachStep = k;
}

// The driver sees every 100th step, the attachment step, the end of the
// current ramp and the nozzle exit.
int channelStationStep(const SolverState& s, int k)
{
    if (k % kReturnInterval == 0 || k == s.attachStep || k == s.attachStep + s.currentRampSteps ||
        k == s.channelStepCount)
        return k;
    return kReturnInterval;
}

} // namespace

void advanceChannelMarch(SolverState& s, const ProgressCallback& progress)
{
    s.failFlag = 0;
    const float tau = s.toleranceBase;
    Tolerances tol{5.0f * tau, tau};
    Iterate it;
    for (;;) {
        const int k = ++s.stepIndex;
        rampCurrent(s, k);
        if (k >= 20)
            tol = Tolerances{2.0f * tau, 0.5f * tau};
        const float previousField = s.stationField;
        if (!solveStation(s, k, tol, it))
            return;
        closeChannelStation(s, k, previousField, it.field);
        reportPhaseProgress(progress, k, s.channelStepCount);
        s.axialPosition = static_cast<float>(k) * s.axialStepMm;
        s.stationStep = channelStationStep(s, k);
        if (k >= s.totalStepCount || k % s.stationStep == 0)
            return;
    }
}

} // namespace torvex
