// The free-jet march on hand-made nozzle-exit states: an argon jet with
// Gaussian temperature and velocity profiles, narrow (well inside the grid)
// or wide (reaching the grid edge).
#include "solver/files.h"
#include "solver/march.h"
#include "solver/normalise.h"
#include "solver/properties.h"
#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <vector>

namespace torvex {
namespace {

constexpr int kNodes = 71;
constexpr int kChannelSteps = 400;

std::unique_ptr<SolverState> jetExit(float widthMm, int stepsDone = 0)
{
    auto s = std::make_unique<SolverState>();
    EXPECT_TRUE(readGasFile(test::sourceDataFile("ar.dat"), *s).ok);
    s->radialNodeCount = kNodes;
    s->jetNodeCount = kNodes;
    s->channelStepCount = kChannelSteps;
    s->totalStepCount = kChannelSteps + 2300;
    s->stepIndex = kChannelSteps + stepsDone;
    s->stationStep = s->stepIndex;
    const float width = widthMm * 0.001f;
    for (int i = 1; i <= kNodes; ++i) {
        const float r = static_cast<float>(i - 1) * s->radialStep;
        const float shape = std::exp(-(r / width) * (r / width));
        s->radius[i] = r;
        s->jetSimpsonWeight[i] = simpsonWeightAt(i, kNodes);
        s->temperature[i] = 500.0f + 9500.0f * shape;
        s->axialVelocity[i] = s->ambientVelocity + 500.0f * shape;
    }
    evaluateProperties(*s);
    float weighted = 0.0f;
    float radii = 0.0f;
    for (int i = 1; i <= kNodes; ++i) {
        const float r = s->radius[i];
        const float eddy = 1.0e-3f;
        s->effectiveViscosity[i] = s->viscosity[i] + s->density[i] * eddy;
        s->effectiveConductivity[i] = s->thermalConductivity[i] + s->density[i] * s->heatCapacity[i] * eddy;
        s->axialFluxCoef[2][i] = r * s->density[i] * s->axialVelocity[i];
        s->axialFluxCoef[1][i] = s->axialFluxCoef[2][i] * s->heatCapacity[i];
        s->diffusionCoef[2][i] = r * s->effectiveViscosity[i];
        s->diffusionCoef[1][i] = r * s->effectiveConductivity[i];
        s->sourceCoef[1][i] = -r * s->radiationLoss[i];
        s->temperaturePair[1][i] = s->temperature[i];
        s->axialVelocityPair[1][i] = s->axialVelocity[i];
        weighted += s->jetSimpsonWeight[i] * s->axialVelocity[i] * r;
        radii += s->jetSimpsonWeight[i] * r;
    }
    s->referenceMeanVelocity = weighted / radii;
    return s;
}

TEST(JetMarchTest, NarrowJetReturnsAtEveryOutputStation)
{
    auto s = jetExit(0.6f);
    std::vector<int> reports;
    const ProgressCallback record = [&](int p) { reports.push_back(p); };
    for (int station = 1; station <= 8; ++station) {
        advanceJetMarch(*s, record);
        ASSERT_EQ(s->failFlag, 0) << (s->failReason ? s->failReason : "");
        EXPECT_EQ(s->stepIndex, kChannelSteps + 25 * station);
        EXPECT_EQ(s->stationStep, s->stepIndex);
        EXPECT_EQ(s->jetNodeCount, kNodes);
        EXPECT_FLOAT_EQ(s->axialPosition, 0.02f * static_cast<float>(s->stepIndex));
    }
    EXPECT_EQ(reports, (std::vector<int>{5}));  // 200 of 2300 steps
    // The jet spreads and slows; the edge keeps the ambient state.
    EXPECT_LT(s->axialVelocityPair[1][1], 500.2f);
    EXPECT_GT(s->axialVelocityPair[1][1], 10.0f);
    EXPECT_FLOAT_EQ(s->axialVelocityPair[1][kNodes], s->ambientVelocity);
    EXPECT_FLOAT_EQ(s->temperaturePair[1][kNodes], 500.0f);
    EXPECT_EQ(s->stationField, 0.0f);
    for (int i = 1; i <= kNodes; ++i)
        ASSERT_EQ(s->magneticPressurePair[1][i], 0.0f);
}

TEST(JetMarchTest, AxialStepGrowsAtTenMillimetresWithAContinuousPosition)
{
    auto s = jetExit(0.6f, 475);
    advanceJetMarch(*s, nullptr);
    ASSERT_EQ(s->failFlag, 0);
    EXPECT_EQ(s->stepIndex, kChannelSteps + 500);
    EXPECT_FLOAT_EQ(s->axialPosition, 8.0f + 10.0f);
    EXPECT_FLOAT_EQ(s->axialStepMm, 0.05f);
    EXPECT_FLOAT_EQ(s->axialStep, 0.05e-3f);
    advanceJetMarch(*s, nullptr);  // output interval is now 20 steps
    ASSERT_EQ(s->failFlag, 0);
    EXPECT_EQ(s->stepIndex, kChannelSteps + 520);
    EXPECT_NEAR(s->axialPosition, 8.0f + 10.0f + 1.0f, 1e-4f);
}

TEST(JetMarchTest, InchPlaneIsAnOutputStationOffTheInterval)
{
    auto s = jetExit(0.6f, 250);
    advanceJetMarch(*s, nullptr);
    ASSERT_EQ(s->failFlag, 0);
    EXPECT_EQ(s->stepIndex, kChannelSteps + 254);
    EXPECT_EQ(s->stationStep, s->stepIndex);
}

TEST(JetMarchTest, JetAtTheGridEdgeRequestsTwoMoreNodesUpToTheCeiling)
{
    auto s = jetExit(3.0f);
    s->jetNodeCeiling = kNodes + 3;
    advanceJetMarch(*s, nullptr);
    ASSERT_EQ(s->failFlag, 0);
    EXPECT_EQ(s->stepIndex, kChannelSteps + 1);
    EXPECT_NE(s->stationStep, s->stepIndex);
    EXPECT_EQ(s->jetNodeCount, kNodes + 2);
    // The request follows from the profile the station published.
    EXPECT_GE(std::fabs(s->temperaturePair[1][kNodes] - s->temperaturePair[1][kNodes - 1]), 20.0f);

    // A second request before the grid was extended is cut to the ceiling.
    advanceJetMarch(*s, nullptr);
    EXPECT_EQ(s->jetNodeCount, kNodes + 3);
}

TEST(JetMarchTest, FullGridStillReturnsAtEveryOutputStation)
{
    // With the grid full the edge temperature follows the jet; the march
    // must not run past output stations (their records would be lost).
    auto s = jetExit(3.0f);
    s->jetNodeCeiling = kNodes;
    for (int station = 1; station <= 4; ++station) {
        advanceJetMarch(*s, nullptr);
        ASSERT_EQ(s->failFlag, 0) << (s->failReason ? s->failReason : "");
        EXPECT_EQ(s->stepIndex, kChannelSteps + 25 * station);
        EXPECT_EQ(s->stationStep, s->stepIndex);
        EXPECT_EQ(s->jetNodeCount, kNodes);
        EXPECT_GT(s->outerTemperature, 500.0f);  // it followed the inner node
        // ... the node's published temperature, the one the edge is judged on
        EXPECT_EQ(s->outerTemperature, s->temperaturePair[1][kNodes - 1]);
    }
}

TEST(JetMarchTest, LastStepEndsTheMarch)
{
    auto s = jetExit(0.6f, 2290);
    s->axialStepMm = 0.2f;
    s->axialStep = 0.2e-3f;
    std::vector<int> reports;
    advanceJetMarch(*s, [&](int p) { reports.push_back(p); });
    advanceJetMarch(*s, [&](int p) { reports.push_back(p); });
    ASSERT_EQ(s->failFlag, 0);
    EXPECT_EQ(s->stepIndex, s->totalStepCount);
    EXPECT_FLOAT_EQ(s->axialPosition, 8.0f + 200.0f);
    EXPECT_EQ(reports, (std::vector<int>{100}));
    advanceJetMarch(*s, nullptr);  // past the end nothing more happens
    EXPECT_EQ(s->stepIndex, s->totalStepCount);
}

} // namespace
} // namespace torvex
