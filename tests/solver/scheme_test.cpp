// The shared marching scheme on small hand-made stations.
#include "solver/scheme.h"

#include "solver/normalise.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>

namespace torvex {
namespace {

constexpr int kNodes = 11;

// A channel-like grid of kNodes nodes with uniform, hand-set station data.
std::unique_ptr<SolverState> smallStation() {
    auto s = std::make_unique<SolverState>();
    s->radialNodeCount = kNodes;
    for (int i = 1; i <= kNodes; ++i) {
        s->radius[i] = static_cast<float>(i - 1) * s->radialStep;
        s->simpsonWeight[i] = simpsonWeightAt(i, kNodes);
        for (int slot = 1; slot <= 4; ++slot) {
            s->diffusionCoef[slot][i] = 2.0e-3f;
            s->axialFluxCoef[slot][i] = 0.5f + 0.1f * static_cast<float>(i);
        }
    }
    return s;
}

NodeArray uniform(float value) {
    NodeArray y{};
    for (int i = 1; i <= kNodes; ++i) {
        y[i] = value;
    }
    return y;
}

TEST(SchemeTest, UniformProfileWithoutSourcesOrFluxReproducesItself) {
    for (Equation eq : {Equation::Energy, Equation::Momentum}) {
        auto s = smallStation();
        const NodeArray previous = uniform(3000.0f);
        NodeArray result{};
        ASSERT_TRUE(solveTransport(*s, eq, previous, 3000.0f, result));
        for (int i = 1; i <= kNodes; ++i) {
            EXPECT_NEAR(result[i], 3000.0f, 3000.0f * 2e-6f) << "node " << i;
        }
        EXPECT_EQ(s->failFlag, 0);
    }
}

TEST(SchemeTest, ExplicitWeightAndSourceRules) {
    auto s = smallStation();
    NodeArray previous{};
    for (int i = 1; i <= kNodes; ++i) {
        previous[i] = static_cast<float>(i * i);
        s->sourceCoef[1][i] = 2.0f;  // previous energy
        s->sourceCoef[3][i] = 4.0f;  // current energy
        s->sourceCoef[2][i] = 100.0f; // previous momentum: never read
        s->sourceCoef[4][i] = 6.0f;  // current momentum
    }
    const float h2 = s->radialStep * s->radialStep;
    const int i = 5;

    // theta = 0.5: the previous station's diffusion enters with weight 1.
    buildTransportCoefficients(*s, Equation::Energy, previous);
    const float a = s->upperCoef[i];
    const float c = s->lowerCoef[i];
    const float storage = s->axialFluxCoef[1][i] / s->axialStep * h2;
    const double explicitPart = storage * previous[i] + a * (previous[i + 1] - previous[i]) +
                                c * (previous[i - 1] - previous[i]);
    EXPECT_NEAR(s->rightSide[i], explicitPart + h2 * 3.0, 1e-5 * std::fabs(explicitPart));

    // Fully implicit: only the storage term and the momentum's current source.
    s->thetaMomentum = 1.0f;
    buildTransportCoefficients(*s, Equation::Momentum, previous);
    const float storageM = s->axialFluxCoef[2][i] / s->axialStep * h2;
    EXPECT_NEAR(s->rightSide[i], storageM * previous[i] + h2 * 6.0f,
                1e-6f * storageM * previous[i]);
}

TEST(SchemeTest, RadialConvectionChangesOnlyOneNeighbourCoefficient) {
    auto s = smallStation();
    const NodeArray previous = uniform(1.0f);
    buildTransportCoefficients(*s, Equation::Momentum, previous);
    const NodeArray upper0 = s->upperCoef;
    const NodeArray lower0 = s->lowerCoef;

    s->radialFluxCoef[4][4] = 3.0f;   // outward flux at node 4
    s->radialFluxCoef[4][6] = -3.0f;  // inward flux at node 6
    buildTransportCoefficients(*s, Equation::Momentum, previous);
    EXPECT_LT(s->upperCoef[4], upper0[4]);
    EXPECT_EQ(s->lowerCoef[4], lower0[4]);
    EXPECT_EQ(s->upperCoef[6], upper0[6]);
    EXPECT_LT(s->lowerCoef[6], lower0[6]);
    EXPECT_EQ(s->upperCoef[5], upper0[5]);
    EXPECT_EQ(s->lowerCoef[5], lower0[5]);
    // Energy uses its own current slot (3), which still holds no flux.
    buildTransportCoefficients(*s, Equation::Energy, previous);
    EXPECT_EQ(s->upperCoef[4], upper0[4]);
    EXPECT_EQ(s->lowerCoef[6], lower0[6]);
}

TEST(SchemeTest, SweepSatisfiesEquationsAndAxisConditionForTwoRightSides) {
    auto s = smallStation();
    NodeArray previous{};
    for (int i = 1; i <= kNodes; ++i) {
        previous[i] = 10000.0f - 50.0f * static_cast<float>(i * i);
        s->sourceCoef[3][i] = 1.0e9f * s->radius[i];
    }
    buildTransportCoefficients(*s, Equation::Energy, previous);
    for (int round = 0; round < 2; ++round) {
        NodeArray y{};
        ASSERT_TRUE(sweepTridiagonal(*s, 500.0f, y));
        EXPECT_EQ(y[kNodes], 500.0f);
        EXPECT_NEAR(y[1], (4.0f * y[2] - y[3]) / 3.0f, 1e-3f);
        for (int i = 2; i <= kNodes - 1; ++i) {
            const double residual = double(s->diagonalCoef[i]) * y[i] -
                                    double(s->upperCoef[i]) * y[i + 1] -
                                    double(s->lowerCoef[i]) * y[i - 1] - s->rightSide[i];
            const double scale = std::fabs(double(s->diagonalCoef[i]) * y[i]) + std::fabs(s->rightSide[i]);
            EXPECT_NEAR(residual, 0.0, 1e-6 * scale) << "node " << i;
        }
        // A second solve with the same matrix and another right-hand side.
        for (int i = 2; i <= kNodes - 1; ++i) {
            s->rightSide[i] = 1.0e-6f * static_cast<float>(i);
        }
    }
}

TEST(SchemeTest, VanishingPivotEndsAsNotCalculable) {
    auto s = smallStation();
    NodeArray y = uniform(7.0f);
    // All-zero matrix: the axis condition is singular.
    EXPECT_FALSE(sweepTridiagonal(*s, 1.0f, y));
    EXPECT_EQ(s->failFlag, 1);
    EXPECT_NE(s->failReason, nullptr);
    EXPECT_EQ(y[1], 7.0f);

    // alpha_1 = 1, pivot_2 = 1, alpha_2 = 1, pivot_3 = 1 - 1 = 0.
    s = smallStation();
    for (int i = 2; i <= kNodes - 1; ++i) {
        s->upperCoef[i] = 1.0f;
        s->lowerCoef[i] = 1.0f;
        s->diagonalCoef[i] = 3.0f;
        s->rightSide[i] = 1.0f;
    }
    s->diagonalCoef[2] = 2.0f;
    s->diagonalCoef[3] = 1.0f;
    EXPECT_FALSE(sweepTridiagonal(*s, 1.0f, y));
    EXPECT_EQ(s->failFlag, 1);
    for (int i = 1; i <= kNodes; ++i) {
        EXPECT_FALSE(std::isnan(y[i]));
    }
}

TEST(SchemeTest, ContinuityWithUnchangedAxialFluxGivesNoRadialFlux) {
    auto s = smallStation();
    s->radialFluxCoef[4][1] = 5.0f;
    integrateContinuity(*s);
    for (int i = 1; i <= kNodes; ++i) {
        EXPECT_EQ(s->radialFluxCoef[4][i], 0.0f) << "node " << i;
    }

    // The axial flux drops by 1e-3 at node 2 only: the flux outside node 2
    // carries what it lost, and a damping factor feeds into the next node.
    s->axialFluxCoef[4][2] = s->axialFluxCoef[2][2] - 1.0e-3f;
    integrateContinuity(*s, 0.5f);
    const float step = 1.0e-3f * s->radialStep / s->axialStep / 2.0f;
    EXPECT_EQ(s->radialFluxCoef[4][1], 0.0f);
    EXPECT_NEAR(s->radialFluxCoef[4][2], 0.5f * step, 1e-4f * step);
    EXPECT_NEAR(s->radialFluxCoef[4][3], 0.5f * (0.5f * step + step), 1e-4f * step);
    EXPECT_FLOAT_EQ(s->radialFluxCoef[4][4], 0.5f * s->radialFluxCoef[4][3]);

    s->density = uniform(2.0f);
    radialVelocityFromFlux(*s);
    EXPECT_EQ(s->radialVelocityPair[2][1], 0.0f);
    EXPECT_FLOAT_EQ(s->radialVelocityPair[2][3],
                    s->radialFluxCoef[4][3] / 2.0f / s->radius[3]);
}

TEST(SchemeTest, SlotRefreshesAndStationHandOver) {
    auto s = smallStation();
    s->density = uniform(0.02f);
    s->heatCapacity = uniform(1000.0f);
    s->effectiveViscosity = uniform(2.0e-4f);
    s->effectiveConductivity = uniform(1.5f);
    s->electricalConductivity = uniform(5000.0f);
    s->radiationLoss = uniform(1.0e7f);
    s->magneticPressurePair[1] = uniform(300.0f);
    s->magneticPressurePair[2] = uniform(200.0f);
    const NodeArray u = uniform(400.0f);

    refreshMomentumSlots(*s, u);
    refreshEnergySlots(*s, 2000.0f);
    const int i = 7;
    const float r = s->radius[i];
    // Pinch force from the pressure drop between stations; Joule heat minus radiation.
    EXPECT_FLOAT_EQ(s->sourceCoef[4][i], 100.0f * r / s->axialStep);
    EXPECT_FLOAT_EQ(s->sourceCoef[3][i], (4.0e6f * 5000.0f - 1.0e7f) * r);
    EXPECT_FLOAT_EQ(s->axialFluxCoef[3][i], s->axialFluxCoef[4][i] * 1000.0f);

    s->axialVelocityPair[2] = u;
    s->radialVelocityPair[2] = uniform(-1.0f);
    s->temperaturePair[2] = uniform(9000.0f);
    closeStation(*s);
    EXPECT_EQ(s->axialFluxCoef[2][i], s->axialFluxCoef[4][i]);
    EXPECT_EQ(s->sourceCoef[1][i], s->sourceCoef[3][i]);
    EXPECT_EQ(s->temperaturePair[1][i], 9000.0f);
    EXPECT_EQ(s->axialVelocity[i], 400.0f);
    EXPECT_EQ(s->radialVelocity[i], -1.0f);
    EXPECT_EQ(s->magneticPressure[i], 200.0f);

    s->diffusionCoef[1][i] = 42.0f;
    openStation(*s);
    EXPECT_EQ(s->diffusionCoef[3][i], 42.0f);
}

TEST(SchemeTest, EnthalpyAndSimpsonIntegral) {
    auto s = smallStation();
    s->heatCapacity = uniform(500.0f);
    for (int i = 1; i <= kNodes; ++i) {
        s->temperaturePair[2][i] = 500.0f + 100.0f * static_cast<float>(kNodes - i);
    }
    computeEnthalpy(*s);
    EXPECT_EQ(s->enthalpy[kNodes], 0.0f);
    EXPECT_FLOAT_EQ(s->enthalpy[1], 500.0f * 100.0f * (kNodes - 1));

    s->temperaturePair[2][1] = 0.0f;  // colder axis: negative enthalpy raised to 0
    computeEnthalpy(*s);
    EXPECT_EQ(s->enthalpy[1], 0.0f);

    // Simpson's rule is exact for r^3: int_0^R r^2 r dr = R^4 / 4.
    NodeArray rSquared{};
    for (int i = 1; i <= kNodes; ++i) {
        rSquared[i] = s->radius[i] * s->radius[i];
    }
    const float outer = s->radius[kNodes];
    EXPECT_NEAR(simpsonIntegral(*s, s->simpsonWeight, rSquared),
                outer * outer * outer * outer / 4.0f, 1e-5f * outer * outer * outer * outer);
}

} // namespace
} // namespace torvex
