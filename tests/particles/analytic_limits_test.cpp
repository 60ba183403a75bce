// The model against the cases physics solves in closed form: Stokes drag,
// the exponential heating of a lumped sphere at Nu = 2, the melting time at
// the melting point, the series solution of a sphere with a held surface,
// and the energy balance of a flight through the jet.
#include "particles/particle_flight.h"
#include "tests/particles/spray_fixture.h"

#include <gtest/gtest.h>

#include <cmath>

namespace torvex::particles {
namespace {

using test::plainMaterial;
using test::uniformField;

// A particle at rest (or nearly) in the middle of the uniform field.
ParticleStart restingParticle(double diameter, double temperature, double axialVelocity = 0) {
    ParticleStart s;
    s.diameter = diameter;
    s.axialMm = 100;
    s.radialMm = 0;
    s.axialVelocity = axialVelocity;
    s.temperature = temperature;
    return s;
}

ModelOptions analyticModel() {
    ModelOptions m;
    m.internalConduction = false;
    m.knudsenCorrection = false;
    m.radiation = false;
    return m;
}

TEST(AnalyticLimits, StokesDragDecaysTheVelocityExponentially) {
    const test::UniformGas gas;
    const JetField field = uniformField(300, 0, gas);
    const Material material = plainMaterial();
    const double d = 50e-6, v0 = 1e-4;  // Re about 3e-4: the Stokes limit
    ParticleFlight flight(field, material, analyticModel(), restingParticle(d, 300, v0));
    const double tau = material.densitySolid * d * d / (18 * gas.viscosity);
    const double dt = tau / 50;
    for (int k = 1; k <= 100; ++k) {
        flight.stepBy(dt);
        const double expected = v0 * std::exp(-k * dt / tau);
        ASSERT_NEAR(flight.state().axialVelocity, expected, 1e-3 * v0) << "step " << k;
    }
    // The distance travelled is the integral of the velocity.
    EXPECT_NEAR((flight.state().axialMm - 100) * 1e-3, v0 * tau * (1 - std::exp(-2.0)), 1e-3 * v0 * tau);
}

TEST(AnalyticLimits, LumpedSphereAtNusseltTwoHeatsExponentially) {
    const test::UniformGas gas;
    const double gasTemperature = 1200, start = 300;
    const JetField field = uniformField(gasTemperature, 0, gas);
    const Material material = plainMaterial(5000, 6000);  // no melting on the way
    const double d = 40e-6;
    ParticleFlight flight(field, material, analyticModel(), restingParticle(d, start));
    // Q = pi d Nu k (Tg - T) with Nu = 2: tau = rho cp d^2 / (12 k).
    const double tau = material.densitySolid * material.heatCapacitySolid * d * d / (12 * gas.conductivity);
    const double dt = tau / 2000;
    for (int k = 1; k <= 4000; ++k) {
        flight.stepBy(dt);
        if (k % 500 != 0) continue;
        const double expected = gasTemperature - (gasTemperature - start) * std::exp(-k * dt / tau);
        EXPECT_NEAR(flight.state().meanTemperature, expected, 1e-3 * (gasTemperature - start)) << "t/tau " << k * dt / tau;
    }
}

TEST(AnalyticLimits, MeltingAtTheMeltingPointTakesLatentHeatOverHeatFlow) {
    const test::UniformGas gas;
    const double gasTemperature = 2500;
    const JetField field = uniformField(gasTemperature, 0, gas);
    const Material material = plainMaterial(1500, 6000);
    const double d = 40e-6;
    // Starts as solid exactly at the melting point.
    ParticleFlight flight(field, material, analyticModel(), restingParticle(d, material.meltingPoint));
    const double mass = material.densitySolid * kPi * d * d * d / 6;
    const double heatFlow = kPi * d * 2 * gas.conductivity * (gasTemperature - material.meltingPoint);
    const double expected = material.latentHeatFusion * mass / heatFlow;
    const double dt = expected / 4000;
    int steps = 0;
    while (flight.state().moltenFraction < 1 && steps < 10000) {
        flight.stepBy(dt);
        ++steps;
        if (flight.state().moltenFraction < 1) {
            ASSERT_DOUBLE_EQ(flight.state().meanTemperature, material.meltingPoint);
        }
    }
    EXPECT_NEAR(steps * dt, expected, 0.5e-3 * expected);
}

// (T - Ts)/(T0 - Ts) at radius r of a sphere of radius R whose surface is held
// at Ts from t = 0 (Carslaw and Jaeger 1959, section 9.3).
double heldSurfaceSeries(double r, double radius, double fourier) {
    double sum = 0;
    for (int n = 1; n <= 200; ++n) {
        const double sign = n % 2 == 1 ? 1.0 : -1.0;
        const double shape = r > 0 ? radius / (n * kPi * r) * std::sin(n * kPi * r / radius) : 1.0;
        sum += sign * shape * std::exp(-n * n * kPi * kPi * fourier);
    }
    return 2 * sum;
}

TEST(AnalyticLimits, ConductionMatchesTheSeriesSolutionForAHeldSurface) {
    const Material material = plainMaterial(5000, 6000);
    const double d = 100e-6, radius = d / 2, start = 300, surface = 1300;
    const double diffusivity = material.conductivitySolid / (material.densitySolid * material.heatCapacitySolid);
    SphereHeat sphere(material, d, start, 32);
    const double dt = 2e-5 * radius * radius / diffusivity;  // Fourier step 2e-5
    double fourier = 0;
    for (double target : {0.03, 0.1, 0.2}) {
        while (fourier < target - 1e-12) {
            sphere.stepFixedSurface(dt, surface);
            fourier += dt * diffusivity / (radius * radius);
        }
        for (int node : {0, 8, 16, 24}) {
            const double r = sphere.nodeRadius(node);
            const double expected = surface + (start - surface) * heldSurfaceSeries(r, radius, fourier);
            EXPECT_NEAR(sphere.temperature(node), expected, 0.003 * (surface - start))
                << "Fourier " << target << ", node " << node;
        }
    }
}

TEST(AnalyticLimits, TheGasHeatEqualsTheParticlesEnthalpyGainRadiationAndVapour) {
    const JetField& jet = test::argonJet();
    ModelOptions model;  // every effect on
    for (const auto& [key, diameter] : {std::pair<const char*, double>{"ysz8", 30e-6}, {"al2o3", 10e-6}, {"cu", 20e-6}}) {
        ParticleStart start;
        start.diameter = diameter;
        start.radialMm = 8;
        start.radialVelocity = -15;
        const ParticleResult r = flyParticle(jet, test::packagedMaterial(key), model, start, 150, 50, nullptr);
        const double balance = r.heatFromGas - r.heatRadiated - r.heatOfVapour - r.enthalpyGain;
        EXPECT_GT(r.heatFromGas, 0) << key;
        EXPECT_LT(std::fabs(balance), 0.005 * r.heatFromGas) << key;
        // Fine copper boils on the way: the balance covers the vapour too.
        if (std::string(key) == "cu") {
            EXPECT_GT(r.heatOfVapour, 0.1 * r.heatFromGas);
        }
    }
}

} // namespace
} // namespace torvex::particles
