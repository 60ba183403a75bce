// The exchange correlations against what is known of them outside this
// code: the mean free path of cold argon, the limits of the drag law, and
// where the non-continuum and property corrections matter.
#include "particles/exchange.h"
#include "tests/particles/spray_fixture.h"

#include <gtest/gtest.h>

#include <cmath>

namespace torvex::particles {
namespace {

TEST(Exchange, TheMeanFreePathOfColdArgonIsTheTextbookValue) {
    // About 68 nm at room temperature and 1 atm (kinetic theory with the
    // measured viscosity).
    const GasProperties cold = test::argonJet().properties(300);
    EXPECT_NEAR(meanFreePath(cold), 68e-9, 7e-9);
    // In the plasma (10 000 K) it is some micrometres.
    const double hot = meanFreePath(test::argonJet().properties(10000));
    EXPECT_GT(hot, 1e-6);
    EXPECT_LT(hot, 2e-5);
}

TEST(Exchange, TheDragLawJoinsStokesAndNewton) {
    EXPECT_NEAR(dragRatio(1e-8), 1.0, 1e-5);       // Cd = 24/Re
    EXPECT_NEAR(dragRatio(1000) * 24 / 1000, 0.44, 0.01);  // continuous at the switch to Cd = 0.44
    EXPECT_DOUBLE_EQ(dragRatio(5000) * 24 / 5000, 0.44);
    EXPECT_DOUBLE_EQ(ranzMarshall(0, 0.7), 2.0);
}

TEST(Exchange, NonContinuumEffectsMatterForFineParticlesInHotGasOnly) {
    const JetField& jet = test::argonJet();
    auto heatRatio = [&](double diameter, double gasTemperature) {
        const Exchange with = computeExchange(jet, gasTemperature, 2000, 50, diameter, 4000, {true, true});
        const Exchange without = computeExchange(jet, gasTemperature, 2000, 50, diameter, 4000, {true, false});
        return with.heatConductance / without.heatConductance;
    };
    EXPECT_LT(heatRatio(5e-6, 10000), 0.8);
    EXPECT_GT(heatRatio(100e-6, 10000), 0.85);
    EXPECT_GT(heatRatio(100e-6, 3000), 0.93);
    EXPECT_LT(heatRatio(5e-6, 10000), heatRatio(20e-6, 10000));
}

TEST(Exchange, ThePropertyCorrectionRaisesTheDragOfAColdParticleInHotGas) {
    const JetField& jet = test::argonJet();
    const GasProperties hot = jet.properties(10000), cold = jet.properties(2000);
    EXPECT_GT(propertyRatioFactor(hot, cold), 1.0);
    EXPECT_DOUBLE_EQ(propertyRatioFactor(cold, cold), 1.0);
    // The integral-mean conductivity lies between those of the two ends.
    const double mean = jet.conductionPotential12(2000, 10000) / 8000;
    EXPECT_GT(mean, std::min(hot.conductivity, cold.conductivity));
    EXPECT_LT(mean, std::max(hot.conductivity, cold.conductivity) * 1.5);
}

} // namespace
} // namespace torvex::particles
