// Turbulent velocity profile at the channel inlet: a mixing-length model in
// the core, a wall layer whose viscosity ratio follows from a local Reynolds
// number, and a uniform pressure gradient chosen to carry the mass flow.
#include "solver/inlet_velocity.h"

#include "solver/march_support.h"
#include "solver/scheme.h"

#include <cmath>
#include <limits>

namespace torvex {

namespace {

constexpr float kVonKarman = 0.41f;
constexpr float kWallReynoldsScale = 0.0154f;
constexpr float kFullyTurbulentRatio = 12.0f;
constexpr float kWallLayerEdge = 26.0f;   // y+ at the edge of the wall layer
constexpr float kConvergence = 0.01f;

bool fail(SolverState& s, const char* reason) {
    s.failFlag = 1;
    s.failReason = reason;
    return false;
}

// Turbulence quantities of one round.
struct WallLayer {
    NodeArray turbulentViscosity{};  // mu_t, mixing length
    NodeArray yPlus{};               // dimensionless wall distance
    NodeArray ratio{};               // phi, turbulent/molecular viscosity of the wall layer
};

WallLayer wallLayer(const SolverState& s, const NodeArray& u) {
    const int n = s.radialNodeCount;
    const float h = s.radialStep;
    const float wallShear = u[n - 1] * s.viscosity[n] / h;
    const float frictionVelocity = std::sqrt(std::fabs(wallShear) / s.density[n]);
    WallLayer layer;
    for (int i = 1; i <= n; ++i) {
        const float y = static_cast<float>(n - i) * h;  // distance from the wall
        const float mixingLength = kVonKarman * y;
        layer.turbulentViscosity[i] =
            i < n ? std::fabs((u[i] - u[i + 1]) / h) * s.density[i] * (mixingLength * mixingLength)
                  : 0.0f;
        layer.yPlus[i] = y * s.density[i] * frictionVelocity / s.viscosity[i];
        const float x = std::fabs(kWallReynoldsScale * u[i] * y * s.density[i] / s.viscosity[i]);
        layer.ratio[i] = x > kFullyTurbulentRatio ? x : (1.0f - std::exp(-x)) * x;
    }
    return layer;
}

// Last node of the turbulent core. J1 is the first node, walking in from the
// wall, whose y+ reaches the wall-layer edge (node 2 at the latest); J2 is
// where the mixing-length viscosity meets the wall-layer viscosity best (a
// later node wins ties). J2 is used unless it lies beyond the layer edge.
int coreEdge(const SolverState& s, const WallLayer& layer) {
    const int n = s.radialNodeCount;
    int j1 = n - 1;
    while (j1 > 2 && layer.yPlus[j1] < kWallLayerEdge) {
        --j1;
    }
    const int j2 = nearestNode(n - 1, [&](int i) {
        return std::fabs(layer.turbulentViscosity[i] - s.viscosity[i] * layer.ratio[i]);
    });
    int j = j2;
    if (layer.yPlus[j2] > kWallLayerEdge) {
        j = j1;
    }
    return j < n - 1 ? j : n - 1;
}

void effectiveCoefficients(SolverState& s, const WallLayer& layer, int coreLast) {
    for (int i = 1; i <= s.radialNodeCount; ++i) {
        const float mu = s.viscosity[i];
        const float cp = s.heatCapacity[i];
        if (i <= coreLast) {
            const float cpTurbulent = cp * layer.turbulentViscosity[i];
            s.effectiveViscosity[i] = mu + layer.turbulentViscosity[i];
            s.effectiveConductivity[i] = s.thermalConductivity[i] + cpTurbulent;
        } else {
            const float phi = layer.ratio[i];
            s.effectiveViscosity[i] = (phi + 1.0f) * mu;
            s.effectiveConductivity[i] = s.thermalConductivity[i] + mu * cp * phi;
        }
    }
}

// G_i = int_r^R r'/mu_eff dr' (Simpson recurrences), the shape of the
// velocity of a flow driven by a uniform pressure gradient.
NodeArray shearIntegralComplement(const SolverState& s) {
    const int n = s.radialNodeCount;
    const float h = s.radialStep;
    const NodeArray& r = s.radius;
    const NodeArray& mu = s.effectiveViscosity;
    NodeArray running{};
    running[1] = 0.0f;
    running[2] = (r[1] / mu[1] + r[2] / mu[2]) * h / 2.0f;
    for (int i = 3; i <= n; ++i) {
        running[i] = running[i - 2] +
                     (r[i - 2] / mu[i - 2] + 4.0f * r[i - 1] / mu[i - 1] + r[i] / mu[i]) * h / 3.0f;
    }
    const float total = simpsonRule(s, [&](int i) { return s.simpsonWeight[i] * r[i] / mu[i]; });
    NodeArray complement{};
    for (int i = 1; i <= n; ++i) {
        const float g = total - running[i];
        complement[i] = g < 0.0f ? 0.0f : g;
    }
    return complement;
}

// Largest relative change between two iterates over nodes 1..N-1.
float largestRelativeChange(const SolverState& s, const NodeArray& u, const NodeArray& old) {
    float largest = 0.0f;
    for (int i = 1; i <= s.radialNodeCount - 1; ++i) {
        const float sum = u[i] + old[i];
        const float difference = u[i] - old[i];
        float change = 0.0f;
        if (sum != 0.0f) {
            change = std::fabs(2.0f * difference / sum);
        } else if (difference != 0.0f) {
            change = std::numeric_limits<float>::infinity();  // u changed sign: certainly not converged
        }
        if (change > largest) {
            largest = change;
        }
    }
    return largest;
}

} // namespace

bool parabolicStartVelocity(SolverState& s, NodeArray& velocity) {
    const int n = s.radialNodeCount;
    const float outer = s.radius[n];
    float flowIntegral = 0.0f;
    for (int i = 1; i <= n; ++i) {
        const float q = s.radius[i] / outer;
        flowIntegral += (1.0f - q * q) * s.simpsonWeight[i] * s.density[i] * s.radius[i];
    }
    if (flowIntegral == 0.0f || !std::isfinite(flowIntegral)) {
        return fail(s, "the inlet flow integral vanished");
    }
    const float axisVelocity = s.massFlow * 1.5f / flowIntegral / s.radialStep / s.pi;
    for (int i = 1; i <= n; ++i) {
        const float q = s.radius[i] / outer;
        velocity[i] = (1.0f - q * q) * axisVelocity;
    }
    velocity[n] = 0.0f;
    return true;
}

bool turbulentVelocity(SolverState& s, NodeArray& velocity, int& rounds) {
    const int n = s.radialNodeCount;
    NodeArray previous = velocity;
    for (rounds = 1; rounds <= kMaxInletVelocityRounds; ++rounds) {
        const WallLayer layer = wallLayer(s, velocity);
        effectiveCoefficients(s, layer, coreEdge(s, layer));

        const NodeArray complement = shearIntegralComplement(s);
        const float flowIntegral = simpsonRule(
            s, [&](int i) { return s.simpsonWeight[i] * s.density[i] * s.radius[i] * complement[i]; });
        if (flowIntegral == 0.0f || !std::isfinite(flowIntegral)) {
            return fail(s, "the inlet velocity integral vanished");
        }
        // Uniform pressure gradient that drives the mass flow through the channel.
        s.pressureGradient = -s.massFlow / s.pi / flowIntegral;
        for (int i = 1; i <= n; ++i) {
            velocity[i] = -complement[i] * s.pressureGradient / 2.0f;
        }

        const float change = largestRelativeChange(s, velocity, previous);
        previous = velocity;
        if (change < kConvergence) {
            return true;
        }
    }
    rounds = kMaxInletVelocityRounds;
    return fail(s, "the inlet velocity profile did not converge");
}

} // namespace torvex
