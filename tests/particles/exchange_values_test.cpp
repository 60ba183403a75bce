// The exchange correlations at points where their published forms give
// round or textbook numbers, and the coefficients of one particle on a gas
// whose properties rise linearly with temperature, so that a property taken
// at the wrong temperature (free stream, film or surface) shows.
#include <gtest/gtest.h>

#include <cmath>

#include "particles/exchange.h"
#include "tests/particles/spray_fixture.h"

namespace torvex::particles {
namespace {

TEST(ExchangeValues, TheCorrelationsGiveTheirPublishedNumbers) {
    // Schiller and Naumann: Cd = 24/Re (1 + 0.15 Re^0.687) = 1.09 at Re = 100,
    // the textbook drag coefficient of a sphere there.
    EXPECT_NEAR(dragRatio(100) * 24 / 100, 1.0917, 1e-4);
    EXPECT_NEAR(dragRatio(1), 1.15, 1e-12);
    // Ranz and Marshall at Re = 100, Pr = 0.9^3: 2 + 0.6 * 10 * 0.9 = 7.4.
    EXPECT_NEAR(ranzMarshall(100, 0.729), 7.4, 1e-12);
    EXPECT_NEAR(ranzMarshall(25, 1), 5.0, 1e-12);
    // Chen and Pfender with a = 0.8, gamma = 5/3: (2 - a)/a = 1.5, gamma/(1 +
    // gamma) = 0.625, so at Pr = 0.75 the bracket is 1 + 5 Kn.
    EXPECT_NEAR(knudsenBracket(0.1, 0.75, 5.0 / 3.0), 1.5, 1e-12);
    EXPECT_NEAR(knudsenBracket(0.02, 0.75, 5.0 / 3.0), 1.1, 1e-12);
    // Heat-capacity ratios: monatomic argon and helium, diatomic nitrogen, and
    // argon with 25 % hydrogen, cv = (3/2 + 1/4) R.
    EXPECT_DOUBLE_EQ(gasHeatCapacityRatio(1), 5.0 / 3.0);
    EXPECT_DOUBLE_EQ(gasHeatCapacityRatio(14), 5.0 / 3.0);
    EXPECT_NEAR(gasHeatCapacityRatio(2), 1.4, 1e-12);
    EXPECT_NEAR(gasHeatCapacityRatio(9), 2.75 / 1.75, 1e-12);
    // Lee and Pfender: a rho-mu product twice that at the surface gives 2^-0.45.
    const GasProperties free{0.02, 1000, 2e-4, 1};
    const GasProperties surface{0.1, 1000, 2e-5, 1};
    EXPECT_NEAR(propertyRatioFactor(free, surface), 0.7320428479728127, 1e-12);
}

// The packaged alumina row against the total vapour pressure measured over
// alumina (Doremus 2008, table 15): its own curve, not the latent heat's,
// lies within a factor of two of each measurement.
TEST(ExchangeValues, AluminasVapourPressureMeetsTheMeasuredOne) {
    const Material alumina = test::packagedMaterial("al2o3");
    for (const auto& [temperature, log10Atm] : {std::pair<double, double>{2309, -5.06}, {2459, -4.42}, {2605, -3.72}})
        EXPECT_NEAR(std::log10(vapourPressureAtm(alumina, temperature)), log10Atm, 0.3) << temperature << " K";
}

// A gas whose properties are linear in temperature, which the table's
// linear interpolation reproduces exactly.
struct LinearGas {
    static double density(double t) { return 2.0 - 1e-4 * t; }        // kg/m3
    static double heatCapacity(double t) { return 500 + 0.1 * t; }    // J/(kg K)
    static double viscosity(double t) { return 1e-5 + 2e-8 * t; }     // Pa s
    static double conductivity(double t) { return 0.02 + 1e-4 * t; }  // W/(m K)
};

JetField linearGasField() {
    JetField f = test::uniformField(300, 0);
    for (int row = 1; row <= kTableRows; ++row) {
        const double t = f.gasTable[1][row];
        f.gasTable[3][row] = static_cast<float>(LinearGas::density(t));
        f.gasTable[4][row] = static_cast<float>(LinearGas::heatCapacity(t));
        f.gasTable[6][row] = static_cast<float>(LinearGas::viscosity(t));
        f.gasTable[7][row] = static_cast<float>(LinearGas::conductivity(t));
    }
    prepareGasTable(f);
    return f;
}

TEST(ExchangeValues, EachPropertyIsTakenWhereTheModelTakesIt) {
    const JetField field = linearGasField();
    const double tGas = 8000, tSurface = 2000, tFilm = 5000;
    const double slip = 100, d = 40e-6, particleDensity = 4000;
    const Exchange x = computeExchange(field, tGas, tSurface, slip, d, particleDensity, {true, true});
    using G = LinearGas;
    const double relative = 1e-5;  // the table holds 4-byte floats

    // Heat: Reynolds and Prandtl numbers of the film, Ranz-Marshall.
    const double reFilm = G::density(tFilm) * slip * d / G::viscosity(tFilm);
    const double prFilm = G::heatCapacity(tFilm) * G::viscosity(tFilm) / G::conductivity(tFilm);
    EXPECT_NEAR(x.reynolds, reFilm, relative * reFilm);
    const double nusselt = 2 + 0.6 * std::sqrt(reFilm) * std::cbrt(prFilm);
    EXPECT_NEAR(x.nusselt, nusselt, relative * nusselt);

    // Knudsen number from the film's mean free path, 2 mu / (rho c) with the
    // mean molecular speed c = (8 p / (pi rho))^1/2.
    const double meanSpeed = std::sqrt(8 * kAtmosphericPressure / (kPi * G::density(tFilm)));
    const double knudsen = 2 * G::viscosity(tFilm) / (G::density(tFilm) * meanSpeed) / d;
    EXPECT_NEAR(x.knudsen, knudsen, relative * knudsen);
    const double bracket = 1 + 1.5 * 0.625 * 4 / prFilm * knudsen;

    // Heat flow per unit of conduction potential, and per kelvin with the
    // film conductivity.
    EXPECT_NEAR(x.heatConductance, kPi * d * nusselt / bracket, relative * x.heatConductance);
    EXPECT_NEAR(x.thermalConductance, kPi * d * nusselt / bracket * G::conductivity(tFilm),
                relative * x.thermalConductance);

    // Drag: Schiller-Naumann at the free-stream Reynolds number, Lee and
    // Pfender's ratio of the free stream to the surface, the Knudsen bracket
    // to the power -0.45.
    const double reFree = G::density(tGas) * slip * d / G::viscosity(tGas);
    const double ratio = std::pow(
        G::density(tGas) * G::viscosity(tGas) / (G::density(tSurface) * G::viscosity(tSurface)), -0.45);
    const double stokes = particleDensity * d * d / (18 * G::viscosity(tGas));
    const double tau = stokes / ((1 + 0.15 * std::pow(reFree, 0.687)) * ratio * std::pow(bracket, -0.45));
    EXPECT_NEAR(x.relaxationTime, tau, relative * tau);
}

TEST(ExchangeValues, TheIntegralMeanConductivityIsTheIntegralOfTheTable) {
    // Simpson's rule over the interpolated argon conductivity, against the
    // conduction potential, across rows and within one.
    const JetField& jet = test::argonJet();
    auto integral = [&jet](double t1, double t2) {
        constexpr int kIntervals = 20000;
        const double h = (t2 - t1) / kIntervals;
        double sum = 0;
        for (int k = 0; k <= kIntervals; ++k) {
            const double weight = k == 0 || k == kIntervals ? 1 : (k % 2 == 1 ? 4 : 2);
            sum += weight * jet.properties(t1 + k * h).conductivity;
        }
        return sum * h / 3;
    };
    for (const auto& [t1, t2] : {std::pair<double, double>{300, 450},
                                 {350, 2750},
                                 {1800, 14300},
                                 {2000, 10000},
                                 {6100, 6400},
                                 {9000, 22900}}) {
        const double expected = integral(t1, t2);
        EXPECT_NEAR(jet.conductionPotential12(t1, t2), expected, 2e-5 * expected) << t1 << " to " << t2;
    }
}

}  // namespace
}  // namespace torvex::particles
