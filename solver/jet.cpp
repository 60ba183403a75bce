// The march through the free plasma jet beyond the nozzle exit: no current
// and no wall; the outer edge of the grid is held at 500 K and the ambient
// velocity, and surrounding gas is drawn in through it. A uniform eddy
// viscosity models the turbulent free jet. The axial step grows with the
// distance, and the radial grid grows (two nodes at a time) whenever the jet
// reaches its edge.
#include "march.h"
#include "march_support.h"
#include "normalise.h"
#include "output_schedule.h"
#include "properties.h"
#include "scheme.h"

#include <algorithm>
#include <cmath>

namespace torvex {
namespace {

constexpr float kEdgeTemperature = 500.0f;   // K, outer boundary while the grid can grow
constexpr float kStartClampHigh = 23500.0f;  // K, iteration start
constexpr float kUpdateClampHigh = 26000.0f; // K, after each energy solve
constexpr float kEdgeDifference = 20.0f;     // K, edge reached when the last two nodes differ this much
constexpr int kOuterLimit = 199;
constexpr int kInnerLimit = 66;
constexpr float kWindowVelocityRatio = 10.0f;
constexpr float kSpreadCoefficient = 0.015f;
constexpr float kMeanVelocityWeight = 2.13f;

constexpr int kInchUnit = 2;  // length unit code of inch mode

void fail(SolverState& s, const char* reason)
{
    s.failFlag = 1;
    s.failReason = reason;
}

float clampTemperature(float t, float high)
{
    if (!(t > kEdgeTemperature))
        t = kEdgeTemperature;
    if (!(t < high))
        t = high;
    return t;
}

// Tolerance on the axis temperature: loosened as a station drags on.
float outerTolerance(float tau, int iteration)
{
    if (iteration >= 77)
        return 600.0f * tau;
    if (iteration >= 66)
        return 200.0f * tau;
    if (iteration >= 33)
        return 50.0f * tau;
    return 2.0f * tau;
}

void openJetStation(SolverState& s, NodeArray& velocity)
{
    openStation(s);
    for (int i = 1; i <= s.radialNodeCount; ++i) {
        s.temperature[i] = clampTemperature(s.temperaturePair[1][i], kStartClampHigh);
        velocity[i] = s.axialVelocityPair[1][i];
    }
}

bool updateTemperature(SolverState& s)
{
    if (!solveTransport(s, Equation::Energy, s.temperaturePair[1], s.outerTemperature,
                        s.temperaturePair[2]))
        return false;
    for (int i = 1; i <= s.radialNodeCount; ++i)
        s.temperature[i] = clampTemperature((s.temperature[i] + s.temperaturePair[2][i]) / 2.0f,
                                            kUpdateClampHigh);
    evaluateProperties(s);
    return true;
}

// Last node of the averaging window: one past the first node (from node 2
// outward) whose velocity has fallen to ten times the ambient velocity, or
// the whole grid when none has.
int averagingWindowEnd(const SolverState& s, const NodeArray& u)
{
    const int n = s.radialNodeCount;
    const float threshold = kWindowVelocityRatio * s.ambientVelocity;
    for (int i = 2; i <= n; ++i)
        if (u[i] <= threshold)
            return std::min(i + 1, n);
    return n;
}

// Area-weighted mean velocity of the jet core (Simpson weights 1, 4, 2,
// ..., 1 over the window).
float coreMeanVelocity(const SolverState& s, const NodeArray& u)
{
    const int last = averagingWindowEnd(s, u);
    float weightedVelocity = 0.0f;
    float weightedRadius = 0.0f;
    for (int i = 1; i <= last; ++i) {
        const float w = simpsonWeightAt(i, last);
        weightedVelocity += w * s.radius[i] * u[i];
        weightedRadius += w * s.radius[i];
    }
    return weightedVelocity / weightedRadius;
}

// Radius where the velocity is nearest the mean of axis and ambient
// velocity; the node farther out wins a tie.
float halfVelocityRadius(const SolverState& s, const NodeArray& u)
{
    const float half = (u[1] + s.ambientVelocity) / 2.0f;
    int best = 1;
    float bestDifference = u[1] - half;
    for (int i = 2; i <= s.radialNodeCount; ++i) {
        const float d = std::fabs(u[i] - half);
        if (d <= bestDifference) {
            best = i;
            bestDifference = d;
        }
    }
    return s.radius[best];
}

// Free-jet eddy viscosity, uniform across the section: proportional to the
// velocity excess on the axis and the half-velocity radius, with a
// coefficient that grows while the core is still fast compared with the
// nozzle exit.
void applyFreeJetViscosity(SolverState& s, const NodeArray& u)
{
    const float mean = coreMeanVelocity(s, u);
    const float width = halfVelocityRadius(s, u);
    float speedTerm = 0.0f;
    if (s.referenceMeanVelocity != 0.0f) {
        const float ratio = mean / s.referenceMeanVelocity;
        speedTerm = kMeanVelocityWeight * (ratio * ratio);
    }
    const float kappa = (speedTerm + 1.0f) * kSpreadCoefficient;
    const float eddy = (std::fabs(u[1]) - s.ambientVelocity) * width * kappa;
    for (int i = 1; i <= s.radialNodeCount; ++i) {
        s.effectiveViscosity[i] = s.density[i] * eddy + s.viscosity[i];
        s.effectiveConductivity[i] = s.thermalConductivity[i] + s.density[i] * s.heatCapacity[i] * eddy;
    }
}

// Momentum and continuity alternate until the flow drawn in through the
// outer boundary settles (or for at most 66 passes).
bool solveMomentumAndEntrainment(SolverState& s, NodeArray& u)
{
    const int n = s.radialNodeCount;
    const float tolerance = 10.0f * s.toleranceBase;
    float referenceInflow = 0.0f;
    for (int pass = 1;; ++pass) {
        if (!solveTransport(s, Equation::Momentum, s.axialVelocityPair[1], s.ambientVelocity,
                            s.axialVelocityPair[2]))
            return false;
        for (int i = 1; i <= n; ++i) {
            u[i] = (s.axialVelocityPair[2][i] + u[i]) / 2.0f;
            s.axialFluxCoef[kCurrentMomentumSlot][i] = s.radius[i] * s.density[i] * u[i];
        }
        integrateContinuity(s);
        const float inflow = s.radialFluxCoef[kCurrentMomentumSlot][n];
        const bool settled = pass > 1 && changeBelow(inflow - referenceInflow, inflow, tolerance);
        if (pass >= kInnerLimit || settled) {
            // The density does not change within this loop, so the radial
            // velocity of the last pass is all that is needed.
            radialVelocityFromFlux(s);
            return true;
        }
        referenceInflow = inflow;
    }
}

// Iterates one station to convergence of the axis temperature. Returns false
// (failFlag set) when the limit is reached or the equations cannot be solved.
bool solveStation(SolverState& s, NodeArray& u)
{
    openJetStation(s, u);
    float referenceAxis = s.temperaturePair[1][1];
    for (int iteration = 1;; ++iteration) {
        const float tolerance = outerTolerance(s.toleranceBase, iteration);
        if (!updateTemperature(s)) {
            fail(s, "the energy equation in the free jet has no solution (vanishing pivot)");
            return false;
        }
        NodeArray& pressure = s.magneticPressurePair[2];
        for (int i = 1; i <= s.radialNodeCount; ++i)
            pressure[i] = 0.0f;
        applyFreeJetViscosity(s, u);
        refreshMomentumSlots(s, u);
        if (!solveMomentumAndEntrainment(s, u)) {
            fail(s, "the momentum equation in the free jet has no solution (vanishing pivot)");
            return false;
        }
        refreshEnergySlots(s, 0.0f);
        if (iteration >= kOuterLimit) {
            fail(s, "a station in the free jet did not converge within 199 iterations");
            return false;
        }
        const float axis = s.temperaturePair[2][1];
        if (iteration > 1 && changeBelow(referenceAxis - axis, referenceAxis, tolerance))
            return true;
        referenceAxis = axis;
    }
}

// The axial step grows where a stretch of the schedule begins (10, 50 and
// 100 mm past the nozzle exit); each new step size applies from the next
// step on.
void growAxialStep(SolverState& s, int j)
{
    const JetStretch& stretch = jetStretchAt(j);
    if (j == 0 || stretch.firstStep != j)
        return;
    s.axialStepMm = stretch.stepMmFloat;
    s.axialStep = s.axialStepMm * 0.001f;
}

// Position in mm from the channel inlet, exact where a stretch begins.
float jetAxialPosition(const SolverState& s, int k, int j)
{
    if (j < kJetStretches[1].firstStep)
        return static_cast<float>(k) * s.axialStepMm;
    const float exitPosition = static_cast<float>(s.channelStepCount) * kJetStretches[0].stepMmFloat;
    const JetStretch& stretch = jetStretchAt(j);
    return exitPosition + static_cast<float>(stretch.startMm) +
           stretch.stepMmFloat * static_cast<float>(j - stretch.firstStep);
}

// The radial planes of inch mode past the nozzle exit (0.2, 1, 2 and 4 in)
// do not fall on the regular output interval; they are output stations in
// either unit.
bool isInchPlane(int j)
{
    return radialPlaneAt(j, kInchUnit) > 0;
}

int nodeCeiling(const SolverState& s)
{
    return std::min(s.jetNodeCeiling, kMaxNodes);
}

} // namespace

void advanceJetMarch(SolverState& s, const ProgressCallback& progress)
{
    s.outerTemperature = kEdgeTemperature;
    s.failFlag = 0;
    NodeArray u{};
    while (s.stepIndex < s.totalStepCount) {
        const int k = ++s.stepIndex;
        const int j = k - s.channelStepCount;
        if (!solveStation(s, u))
            return;
        s.stationField = 0.0f;
        closeStation(s);
        reportPhaseProgress(progress, j, s.totalStepCount - s.channelStepCount);
        growAxialStep(s, j);
        s.axialPosition = jetAxialPosition(s, k, j);
        if (k % outputStationInterval(j) == 0 || isInchPlane(j))
            s.stationStep = k;

        if (k == s.totalStepCount)
            return;
        // The edge is judged on the profile the station just closed has
        // published (the converged energy solution, the one the radial files
        // show), and the full grid's outer boundary follows that same node:
        // it is also the only temperature the next station starts from.
        const int n = s.radialNodeCount;
        const NodeArray& t = s.temperaturePair[1];
        if (std::fabs(t[n] - t[n - 1]) >= kEdgeDifference) {
            if (n < nodeCeiling(s)) {
                // The jet has reached the edge of the grid: the driver adds
                // two nodes of ambient gas and calls again.
                s.jetNodeCount = std::min(s.jetNodeCount + 2, nodeCeiling(s));
                return;
            }
            // The grid is full: let the edge follow the jet instead. The
            // station return below still applies, so no output station is
            // skipped.
            s.outerTemperature = t[n - 1];
        }
        if (s.stationStep > 0 && k % s.stationStep == 0)
            return;
    }
}

} // namespace torvex
