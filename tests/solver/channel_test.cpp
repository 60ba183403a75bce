// The arc-channel march on a hand-made inlet state: argon in a 5 mm anode,
// a peaked temperature profile and a parabolic velocity profile.
#include "solver/files.h"
#include "solver/march.h"
#include "solver/normalise.h"
#include "solver/properties.h"
#include "solver/scheme.h"
#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <vector>

namespace torvex {
namespace {

constexpr int kNodes = 51;          // 5 mm anode
constexpr int kChannelSteps = 400;  // 8 mm channel

std::unique_ptr<SolverState> channelInlet(float current = 300.0f)
{
    auto s = std::make_unique<SolverState>();
    EXPECT_TRUE(readGasFile(test::sourceDataFile("ar.dat"), *s).ok);
    s->radialNodeCount = kNodes;
    s->channelStepCount = kChannelSteps;
    s->totalStepCount = kChannelSteps + 2300;
    s->jetNodeCount = kNodes + 20;
    s->stepCurrent = current;
    s->currentRampSteps = static_cast<int>(current) / 20 - 1;
    s->attachStep = kChannelSteps;
    s->channelVoltage = 1.0e6f;  // never reached unless a test lowers it
    const float wall = static_cast<float>(kNodes - 1) * s->radialStep;
    for (int i = 1; i <= kNodes; ++i) {
        const float x = static_cast<float>(i - 1) * s->radialStep / wall;
        s->radius[i] = static_cast<float>(i - 1) * s->radialStep;
        s->simpsonWeight[i] = simpsonWeightAt(i, kNodes);
        s->temperature[i] = 500.0f + 11000.0f * (1.0f - x * x * x * x);
        s->axialVelocity[i] = 150.0f * (1.0f - x * x);
    }
    evaluateProperties(*s);
    float conductance = 0.0f;
    float massFlux = 0.0f;
    for (int i = 1; i <= kNodes; ++i) {
        conductance += s->electricalConductivity[i] * s->simpsonWeight[i] * s->radius[i];
        massFlux += s->simpsonWeight[i] * s->density[i] * s->axialVelocity[i] * s->radius[i];
    }
    s->stationField = current * 1.5f / s->pi / conductance / s->radialStep;
    s->inletMassFlow = 2.0f * s->pi * s->radialStep / 3.0f * massFlux;
    computePinchPressure(*s, s->stationField, s->magneticPressurePair[1]);
    for (int i = 1; i <= kNodes; ++i) {
        const float r = s->radius[i];
        const float turbulent = 5.0f * s->viscosity[i];
        s->effectiveViscosity[i] = s->viscosity[i] + turbulent;
        s->effectiveConductivity[i] = s->thermalConductivity[i] + s->heatCapacity[i] * turbulent;
        s->axialFluxCoef[2][i] = s->density[i] * s->axialVelocity[i] * r;
        s->axialFluxCoef[1][i] = s->axialFluxCoef[2][i] * s->heatCapacity[i];
        s->diffusionCoef[2][i] = r * s->effectiveViscosity[i];
        s->diffusionCoef[1][i] = r * s->effectiveConductivity[i];
        const float e2 = s->stationField * s->stationField;
        s->sourceCoef[1][i] = r * (e2 * s->electricalConductivity[i] - s->radiationLoss[i]);
        s->temperaturePair[1][i] = s->temperature[i];
        s->axialVelocityPair[1][i] = s->axialVelocity[i];
    }
    return s;
}

TEST(ChannelMarchTest, PinchPressureOfAUniformColumnIsExact)
{
    // Uniform conductivity: the enclosed current grows as r^2, and Simpson's
    // rule integrates the resulting polynomials exactly.
    SolverState s;
    s.radialNodeCount = 21;
    for (int i = 1; i <= 21; ++i) {
        s.radius[i] = static_cast<float>(i - 1) * s.radialStep;
        s.simpsonWeight[i] = simpsonWeightAt(i, 21);
        s.electricalConductivity[i] = 2000.0f;
    }
    NodeArray p{};
    const float field = 3000.0f;
    computePinchPressure(s, field, p);
    const double wall = 20.0 * s.radialStep;
    const double scale = 2000.0 * 2000.0 * field * field * s.mu0;
    for (int i = 1; i <= 21; ++i) {
        const double r = s.radius[i];
        const double expected = scale * (r * r / 8.0 + (wall * wall - r * r) / 4.0);
        EXPECT_NEAR(p[i], expected, 1e-4 * expected + 1e-6) << "node " << i;
    }
}

TEST(ChannelMarchTest, ReturnsEveryHundredStepsWithTheMassFlowKept)
{
    auto s = channelInlet();
    std::vector<int> reports;
    const ProgressCallback record = [&](int p) { reports.push_back(p); };
    for (int expected = 100; expected <= 300; expected += 100) {
        advanceChannelMarch(*s, record);
        ASSERT_EQ(s->failFlag, 0) << (s->failReason ? s->failReason : "");
        EXPECT_EQ(s->stepIndex, expected);
        EXPECT_EQ(s->stationStep, expected);
        EXPECT_FLOAT_EQ(s->axialPosition, 0.02f * static_cast<float>(expected));
        // The pressure gradient is chosen so the station carries the inlet
        // mass flow; the converged flux may differ only within the tolerance.
        const float carried = 2.0f * s->pi * s->massFluxIntegral;
        EXPECT_NEAR(carried / s->inletMassFlow, 1.0f, 0.005f);
        EXPECT_GT(s->columnVoltage, 0.0f);
        EXPECT_GT(s->stationField, 0.0f);
        for (int i = 1; i <= kNodes; ++i) {
            ASSERT_TRUE(std::isfinite(s->temperaturePair[1][i]));
            ASSERT_TRUE(std::isfinite(s->axialVelocityPair[1][i]));
        }
        // Nothing crosses the anode wall, which stays at 500 K.
        EXPECT_EQ(s->radialVelocityPair[1][kNodes], 0.0f);
        EXPECT_EQ(s->temperaturePair[1][kNodes], 500.0f);
    }
    EXPECT_EQ(reports, (std::vector<int>{5, 10, 15, 20, 25, 30, 35, 40, 45, 50, 55, 60, 65, 70, 75}));
}

TEST(ChannelMarchTest, ArcAttachesWhenTheColumnVoltageIsReachedAndTheCurrentRampsDown)
{
    auto s = channelInlet(100.0f);  // ramp of 4 steps
    s->channelVoltage = 1.0e-6f;
    advanceChannelMarch(*s, nullptr);
    ASSERT_EQ(s->failFlag, 0);
    EXPECT_EQ(s->attachStep, 1);
    EXPECT_EQ(s->stepIndex, 1);
    EXPECT_EQ(s->stationStep, 1);
    EXPECT_FLOAT_EQ(s->stepCurrent, 100.0f);

    advanceChannelMarch(*s, nullptr);  // steps 2..5: the ramp ends at 1 + 4
    ASSERT_EQ(s->failFlag, 0) << (s->failReason ? s->failReason : "");
    EXPECT_EQ(s->stepIndex, 5);
    EXPECT_EQ(s->stepCurrent, 0.0f);
    EXPECT_EQ(s->stationField, 0.0f);
    EXPECT_EQ(s->attachStep, 1);  // moves only once

    // Without current the column no longer heats: the axis cools.
    const float axisAtRampEnd = s->temperaturePair[1][1];
    advanceChannelMarch(*s, nullptr);
    ASSERT_EQ(s->failFlag, 0) << (s->failReason ? s->failReason : "");
    EXPECT_EQ(s->stepIndex, 100);
    EXPECT_LT(s->temperaturePair[1][1], axisAtRampEnd);
}

TEST(ChannelMarchTest, NozzleExitIsAStationEvenOffTheHundredGrid)
{
    auto s = channelInlet();
    s->channelStepCount = 150;
    s->stepIndex = 0;
    advanceChannelMarch(*s, nullptr);
    advanceChannelMarch(*s, nullptr);
    ASSERT_EQ(s->failFlag, 0);
    EXPECT_EQ(s->stepIndex, 150);  // the current starts to fall here
    EXPECT_EQ(s->stationStep, 150);
}

TEST(ChannelMarchTest, IterationLimitEndsTheRunWithoutClosingTheStation)
{
    auto s = channelInlet();
    s->toleranceBase = 0.0f;  // no station can converge
    const NodeArray before = s->temperaturePair[1];
    advanceChannelMarch(*s, nullptr);
    EXPECT_EQ(s->failFlag, 1);
    ASSERT_NE(s->failReason, nullptr);
    EXPECT_EQ(s->stepIndex, 1);
    EXPECT_EQ(s->temperaturePair[1], before);
    EXPECT_EQ(s->columnVoltage, 0.0f);
}

TEST(ChannelMarchTest, NonConductingColumnIsNotCalculable)
{
    auto s = channelInlet();
    for (auto& row : s->propertyTable[8])
        row = 0.0f;  // electrical conductivity zero at every temperature
    advanceChannelMarch(*s, nullptr);
    EXPECT_EQ(s->failFlag, 1);
    ASSERT_NE(s->failReason, nullptr);
}

} // namespace
} // namespace torvex
