// Plasmatron characteristics, the axis-temperature root search and the
// inlet flow state built from the real gas tables.
#include "solver/inlet.h"

#include "solver/files.h"
#include "solver/normalise.h"
#include "solver/properties.h"
#include "solver/root_search.h"
#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>

namespace torvex {
namespace {

constexpr double kPi = 3.14159265358979;

// The fields the driver fills before the characteristics and the inlet state.
std::unique_ptr<SolverState> variantState(int gasCode, int diameterTenths, int diameterClass,
                                          int current, float flowSlpm) {
    auto s = std::make_unique<SolverState>();
    s->gasCode = gasCode;
    s->diameterTenths = diameterTenths;
    s->anodeDiameter = static_cast<float>(diameterTenths) * 0.1f;
    s->diameterClass = diameterClass;
    s->arcCurrent = current;
    s->gasFlowSlpm = flowSlpm;
    s->radialNodeCount = diameterTenths + 1;
    for (int i = 1; i <= s->radialNodeCount; ++i) {
        s->radius[i] = static_cast<float>(i - 1) * s->radialStep;
        s->simpsonWeight[i] = simpsonWeightAt(i, s->radialNodeCount);
    }
    computeCharacteristics(*s);
    return s;
}

void loadGas(SolverState& s) {
    const ReadStatus status = readGasFile(test::sourceDataFile(gasFileName(s.gasCode)), s);
    ASSERT_TRUE(status.ok) << status.message;
    setColdValues(s);
    computeMassFlow(s);
}

// (h/3) sum w f r over the channel grid.
double simpson(const SolverState& s, const NodeArray& f) {
    double sum = 0.0;
    for (int i = 1; i <= s.radialNodeCount; ++i) {
        sum += double(s.simpsonWeight[i]) * f[i] * s.radius[i];
    }
    return s.radialStep / 3.0 * sum;
}

TEST(CharacteristicsTest, ArgonReferenceVariant) {
    auto s = variantState(1, 60, 6, 400, 40.0f);
    EXPECT_EQ(s->arcVoltage, 31.0f);  // every ratio of the power law is 1
    EXPECT_NEAR(s->inletVoltage, 8.0f * 40.0f / (6.67f * 6.0f), 1e-5f);
    EXPECT_NEAR(s->inletVoltage, 8.0f, 0.01f);
    EXPECT_NEAR(s->channelVoltage, 31.0f - s->inletVoltage - 12.0f * std::pow(400.0f / 450.0f, 0.2f),
                1e-4f);
    EXPECT_NEAR(s->channelVoltage, 11.3f, 0.05f);
    EXPECT_FLOAT_EQ(s->arcPowerW, 12400.0f);
    EXPECT_FLOAT_EQ(s->arcPower, 12.4f);
    EXPECT_FLOAT_EQ(s->inletPowerW, 400.0f * s->inletVoltage);
    EXPECT_EQ(s->profileExponent, 2.0f);
    EXPECT_NEAR(s->conductingRadius, std::sqrt(400.0 / kPi / 6.0e7), 1e-8);
}

TEST(CharacteristicsTest, GasSpecificRules) {
    // Nitrogen's inlet voltage follows the flow alone.
    auto small = variantState(2, 50, 5, 300, 50.0f);
    auto large = variantState(2, 90, 9, 300, 50.0f);
    EXPECT_FLOAT_EQ(small->inletVoltage, 30.0f);
    EXPECT_FLOAT_EQ(large->inletVoltage, 30.0f);
    EXPECT_FLOAT_EQ(large->channelVoltage, large->arcVoltage - 30.0f - 20.0f);
    EXPECT_EQ(large->profileExponent, 0.68f);
    EXPECT_EQ(large->currentDensity, 9.0e7f);

    // A fixed column loss for the mixtures; argon's formula for unknown codes.
    auto hydrogen = variantState(7, 80, 8, 500, 40.0f);
    EXPECT_FLOAT_EQ(hydrogen->channelVoltage,
                    hydrogen->arcVoltage - hydrogen->inletVoltage - 18.5f);
    EXPECT_FLOAT_EQ(hydrogen->inletVoltage, 12.5f * 40.0f / (6.67f * 8.0f));
    auto argon = variantState(1, 80, 8, 500, 40.0f);
    auto unknown = variantState(3, 80, 8, 500, 40.0f);
    EXPECT_EQ(unknown->arcVoltage, argon->arcVoltage);
    EXPECT_EQ(unknown->channelVoltage, argon->channelVoltage);

    loadGas(*argon);
    EXPECT_FLOAT_EQ(argon->massFlow, argon->coldDensity * 40.0f / 60000.0f);
}

TEST(RootSearchTest, WalksReversesAndBisects) {
    // Root above the start: walk upward and bisect the last step.
    float x = 12000.0f;
    float step = 200.0f;
    auto rising = [](float t) { return (t - 12345.0f) / 10000.0f; };
    RootSearchResult r = searchRoot(x, step, 1e-4f, rising);
    ASSERT_EQ(r.status, RootSearchStatus::Found);
    EXPECT_NEAR(r.root, 12345.0f, 1.0f);
    EXPECT_EQ(x, 12200.0f);  // the last accepted point stays with the caller
    EXPECT_GT(r.halvings, 0);

    // Root below the start: the first step goes the wrong way and turns round.
    x = 12000.0f;
    step = 200.0f;
    r = searchRoot(x, step, 1e-4f, [](float t) { return (t - 11111.0f) / 10000.0f; });
    ASSERT_EQ(r.status, RootSearchStatus::Found);
    EXPECT_NEAR(r.root, 11111.0f, 1.0f);
    EXPECT_EQ(step, -200.0f);

    // Flat residual and a jump across zero: bounded instead of endless.
    x = 0.0f;
    step = 200.0f;
    r = searchRoot(x, step, 0.01f, [](float) { return 0.5f; });
    EXPECT_EQ(r.status, RootSearchStatus::StepLimitReached);
    x = 0.0f;
    step = 200.0f;
    r = searchRoot(x, step, 0.01f, [](float t) { return t < 99.0f ? -1.0f : 1.0f; });
    EXPECT_EQ(r.status, RootSearchStatus::BisectionLimitReached);
}

TEST(InletStateTest, ArgonReferenceVariantCarriesCurrentMassAndPower) {
    auto s = variantState(1, 60, 6, 400, 40.0f);
    loadGas(*s);
    ASSERT_TRUE(buildInletState(*s)) << s->failReason;
    const int n = s->radialNodeCount;

    EXPECT_EQ(s->temperature[n], 500.0f);
    EXPECT_FLOAT_EQ(s->temperature[1], 500.0f + s->axisTemperature);
    EXPECT_EQ(s->stationField, s->inletField);
    EXPECT_FLOAT_EQ(s->inletField, s->currentDensity / s->conductivityGuess);

    // The profile carries the arc current within the search tolerance.
    const double current = s->inletField * 2.0 * kPi * simpson(*s, s->electricalConductivity);
    EXPECT_NEAR(current / 400.0, 1.0, 0.01);

    // Zero velocity at the wall, positive inside, and the mass flow carried.
    EXPECT_NEAR(s->axialVelocity[n], 0.0f, 1e-6f * s->axialVelocity[1]);
    for (int i = 1; i < n; ++i) {
        EXPECT_GT(s->axialVelocity[i], 0.0f) << "node " << i;
        EXPECT_EQ(s->radialVelocity[i], 0.0f);
    }
    NodeArray massFlux{};
    for (int i = 1; i <= n; ++i) {
        massFlux[i] = s->density[i] * s->axialVelocity[i];
    }
    EXPECT_NEAR(2.0 * kPi * simpson(*s, massFlux), s->massFlow, 1e-4 * s->massFlow);
    EXPECT_NEAR(s->inletMassFlow, s->massFlow, 1e-4f * s->massFlow);
    EXPECT_NEAR(s->massFluxIntegral * 2.0f * s->pi, s->massFlow, 1e-4f * s->massFlow);
    EXPECT_LT(s->pressureGradient, 0.0f);

    // The flow brings at least the inlet power into the channel.
    EXPECT_GE(2.0f * s->pi * s->enthalpyFluxIntegral, s->inletPowerW * 0.999f);
    EXPECT_EQ(s->enthalpy[n], 0.0f);
    EXPECT_GT(s->enthalpy[1], 0.0f);

    // Pinch pressure: highest on the axis, B^2/(2 mu0) of the whole current
    // at the wall.
    const double wallField = 4e-7 * kPi * current / (2.0 * kPi * s->radius[n]);
    EXPECT_NEAR(s->magneticPressure[n], wallField * wallField / (2.0 * 4e-7 * kPi),
                0.02 * s->magneticPressure[n]);
    EXPECT_GT(s->magneticPressure[1], s->magneticPressure[n]);

    // Station data the channel march starts from.
    const int i = 17;
    EXPECT_EQ(s->temperaturePair[1][i], s->temperature[i]);
    EXPECT_EQ(s->magneticPressurePair[1][i], s->magneticPressure[i]);
    EXPECT_FLOAT_EQ(s->axialFluxCoef[2][i], s->density[i] * s->axialVelocity[i] * s->radius[i]);
    EXPECT_GE(s->effectiveViscosity[i], s->viscosity[i]);
    EXPECT_EQ(s->rememberedAxisTemperature, s->temperature[1]);
}

TEST(InletStateTest, EveryGasGivesASensibleStateAtItsFirstListedVariant) {
    // 8 mm anode, class 8: the lowest current and flow the input lists offer.
    struct Variant {
        int gas, current, flow;
    };
    const Variant variants[] = {{1, 500, 35},  {2, 250, 40},  {5, 500, 35},  {6, 500, 40},
                                {7, 500, 40},  {8, 500, 45},  {9, 500, 45},  {10, 500, 35},
                                {11, 500, 35}, {12, 500, 35}, {13, 500, 35}, {14, 500, 35}};
    for (const Variant& v : variants) {
        auto s = variantState(v.gas, 80, 8, v.current, static_cast<float>(v.flow));
        loadGas(*s);
        InletIterationCounts counts;
        ASSERT_TRUE(buildInletState(*s, counts)) << "gas " << v.gas << ": " << s->failReason;
        const int n = s->radialNodeCount;
        EXPECT_EQ(s->temperature[n], 500.0f) << "gas " << v.gas;
        EXPECT_GT(s->temperature[1], 7000.0f) << "gas " << v.gas;
        EXPECT_LT(s->temperature[1], 23000.0f) << "gas " << v.gas;
        for (int i = 1; i < n; ++i) {
            ASSERT_GT(s->axialVelocity[i], 0.0f) << "gas " << v.gas << " node " << i;
            ASSERT_TRUE(std::isfinite(s->magneticPressure[i]));
            ASSERT_TRUE(std::isfinite(s->effectiveConductivity[i]));
        }
        EXPECT_NEAR(s->inletMassFlow, s->massFlow, 1e-4f * s->massFlow) << "gas " << v.gas;
        EXPECT_LT(counts.conductivityPasses, 500) << "gas " << v.gas;
        EXPECT_LT(counts.velocityRounds, 500) << "gas " << v.gas;
        EXPECT_EQ(s->failFlag, 0);
    }
}

TEST(InletStateTest, UnreachableDemandsEndAsNotCalculable) {
    auto missing = variantState(1, 60, 6, 400, 40.0f);
    loadGas(*missing);
    missing->currentDensity = 0.0f;  // characteristics not computed
    EXPECT_FALSE(buildInletState(*missing));
    EXPECT_EQ(missing->failFlag, 1);

    // An inlet power no flow can reach: the passes stop at their bound.
    auto s = variantState(1, 60, 6, 400, 40.0f);
    loadGas(*s);
    s->inletPowerW = 1.0e9f;
    EXPECT_FALSE(buildInletState(*s));
    EXPECT_EQ(s->failFlag, 1);
    ASSERT_NE(s->failReason, nullptr);
}

} // namespace
} // namespace torvex
