// More flights that physics solves in closed form: a hot particle cooling by
// radiation alone, a particle settling at its terminal speed under gravity,
// a droplet at its boiling point shrinking by the d-squared law, and the
// energy balance of a ceramic particle boiling at its surface while its core
// still heats.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "particles/carrier_gas.h"
#include "particles/particle_flight.h"
#include "tests/particles/spray_fixture.h"

namespace torvex::particles {
namespace {

using test::plainMaterial;
using test::uniformField;

ParticleStart restingAt(double diameter, double temperature) {
    ParticleStart s;
    s.diameter = diameter;
    s.axialMm = 100;
    s.radialMm = 0;
    s.temperature = temperature;
    return s;
}

// One temperature per particle and the plain correlations: the limits below
// switch on only the effect they test.
ModelOptions plainModel() {
    ModelOptions m;
    m.internalConduction = false;
    m.knudsenCorrection = false;
    m.radiation = false;
    m.diffusiveEvaporation = false;
    m.vapourShielding = false;
    return m;
}

// Integral of dT / (T^4 - a^4): ln((T - a)/(T + a)) / (4 a^3) - atan(T / a) / (2 a^3).
double radiationPrimitive(double t, double a) {
    return std::log((t - a) / (t + a)) / (4 * a * a * a) - std::atan(t / a) / (2 * a * a * a);
}

TEST(FlightLimits, ALumpedParticleCoolsByRadiationAsTheStefanBoltzmannLawSays) {
    test::UniformGas gas;
    gas.conductivity = 1e-9;  // no convection to speak of
    const JetField field = uniformField(kAmbientTemperature, 0, gas);
    Material material = plainMaterial(5000, 6000);
    material.emissivity = 0.8;
    ModelOptions model = plainModel();
    model.radiation = true;
    const double d = 40e-6, start = 2000;
    ParticleFlight flight(field, material, model, restingAt(d, start));
    // dT/dt = -K (T^4 - Ta^4) with K = eps sigma pi d^2 / (m c) = 6 eps sigma / (rho c d).
    const double k =
        6 * material.emissivity * kStefanBoltzmann / (material.densitySolid * material.heatCapacitySolid * d);
    const double dt = 1e-5;
    for (int step = 1; step <= 30000; ++step) {
        flight.stepBy(dt);
        if (step % 5000 != 0) continue;
        const double t = flight.state().meanTemperature;
        const double expectedTime =
            (radiationPrimitive(start, kAmbientTemperature) - radiationPrimitive(t, kAmbientTemperature)) / k;
        EXPECT_NEAR(step * dt, expectedTime, 1e-3 * expectedTime) << "at " << t << " K";
    }
    EXPECT_LT(flight.state().meanTemperature, 800);
    // All that left the particle was radiated.
    EXPECT_NEAR(flight.energy().radiated, flight.initialEnthalpy() - flight.heat().enthalpy(),
                1e-3 * flight.energy().radiated);
}

TEST(FlightLimits, GravityPullsAParticleDownToItsTerminalSpeed) {
    const test::UniformGas gas;
    const JetField field = uniformField(300, 0, gas);
    const Material material = plainMaterial();
    ModelOptions model = plainModel();
    model.gravity = true;
    const double d = 10e-6;
    ParticleFlight flight(field, material, model, restingAt(d, 300));
    const double stokesTime = material.densitySolid * d * d / (18 * gas.viscosity);
    for (int step = 0; step < 300; ++step) flight.stepBy(stokesTime / 20);
    // Terminal speed: g tau over the Schiller-Naumann factor at its own Reynolds number.
    double terminal = kGravity * stokesTime;
    for (int k = 0; k < 50; ++k)
        terminal =
            kGravity * stokesTime / (1 + 0.15 * std::pow(gas.density * terminal * d / gas.viscosity, 0.687));
    EXPECT_NEAR(flight.state().radialVelocity, -terminal, 1e-4 * terminal);
    EXPECT_DOUBLE_EQ(flight.state().axialVelocity, 0.0);
    EXPECT_LT(flight.state().radialMm, 0.0);
}

// Shielded, the heat reaching the boiling droplet is cut by ln(1 + B) / B
// with the Spalding number B = cp (Tg - Tb) / Lv (Spalding 1953).
TEST(FlightLimits, ADropletAtItsBoilingPointShrinksByTheDSquaredLaw) {
    const test::UniformGas gas;
    const double gasTemperature = 10000;
    const JetField field = uniformField(gasTemperature, 0, gas);
    const Material material = plainMaterial(1500, 3000);
    const double d0 = 40e-6;
    for (const bool shielding : {false, true}) {
        ModelOptions model = plainModel();
        model.vapourShielding = shielding;
        ParticleFlight flight(field, material, model, restingAt(d0, material.boilingPoint));
        // Q = 2 pi d k (Tg - Tb) at Nu = 2 evaporates dm = Q dt / Lv, so
        // d^2 = d0^2 - 8 k (Tg - Tb) t / (rho Lv).
        const double spalding = gas.heatCapacity * (gasTemperature - material.boilingPoint) /
                                material.latentHeatVaporisation;
        const double rate = 8 * gas.conductivity * (gasTemperature - material.boilingPoint) /
                            (material.densitySolid * material.latentHeatVaporisation) *
                            (shielding ? std::log1p(spalding) / spalding : 1.0);
        const double dt = 1e-6;  // the droplet lives about 5.7 ms unshielded
        int checks = 0;
        for (int step = 1; step * dt * rate < 0.8 * d0 * d0; ++step) {
            flight.stepBy(dt);
            if (step % 500 != 0) continue;
            ++checks;
            const double d = flight.state().diameterUm * 1e-6;
            EXPECT_NEAR(d * d, d0 * d0 - rate * step * dt, 1e-3 * d0 * d0) << "t = " << step * dt << " s";
            EXPECT_NEAR(flight.state().massFraction, std::pow(d / d0, 3), 1e-9);
            EXPECT_DOUBLE_EQ(flight.state().surfaceTemperature, material.boilingPoint);
        }
        EXPECT_EQ(checks, shielding ? 14 : 9);
    }
}

// Below the boiling point the vapour diffuses off: m = pi d Sh rho D ln(1 +
// B_M) with Sh = 2 at rest, rho D = k / cp and the vapour's mass fraction Y
// at the surface from the Clausius-Clapeyron pressure, B_M = Y / (1 - Y), so
// d^2 falls by 8 k / cp ln(1 + B_M) / rho_p per second.
TEST(FlightLimits, BelowItsBoilingPointADropletShrinksAsTheSherwoodNumberSays) {
    const test::UniformGas gas;
    const double temperature = 2700;
    const JetField field = uniformField(temperature, 0, gas);
    Material material = plainMaterial(1500, 3000);
    material.heatCapacityLiquid = 1e12;  // evaporation does not cool it
    material.vapourPressureEnthalpy = 3e6;  // the curve's own slope, not the latent heat
    ModelOptions model = plainModel();
    model.diffusiveEvaporation = true;
    const double d0 = 40e-6;
    ParticleFlight flight(field, material, model, restingAt(d0, temperature));
    const double r = 8.314462618, mv = material.molarMass, tb = material.boilingPoint;
    const double x = std::exp(material.vapourPressureEnthalpy * mv / r * (1 / tb - 1 / temperature));
    const double mg = gas.density * r * temperature / 101325;
    const double y = x * mv / (x * mv + (1 - x) * mg);
    const double rate = 8 * gas.conductivity / gas.heatCapacity * std::log(1 / (1 - y)) / material.densitySolid;
    const double dt = 1e-5;
    for (int step = 1; step <= 2000; ++step) {
        flight.stepBy(dt);
        if (step % 400 != 0) continue;
        const double d = flight.state().diameterUm * 1e-6;
        EXPECT_NEAR(d * d, d0 * d0 - rate * step * dt, 1e-4 * d0 * d0) << "t = " << step * dt << " s";
    }
    EXPECT_LT(flight.state().massFraction, 0.85);
}

TEST(FlightLimits, ALumpedParticleHeatsMeltsAndHeatsOnInThreePhaseTimes) {
    const test::UniformGas gas;
    const double tGas = 3000, start = 300, tm = 1500, end = 2200;
    const JetField field = uniformField(tGas, 0, gas);
    Material material = plainMaterial(tm, 6000);
    material.heatCapacityLiquid = 1200;  // the liquid stores heat otherwise than the solid
    const double d = 40e-6;
    ParticleFlight flight(field, material, plainModel(), restingAt(d, start));
    // Nu = 2: the solid and the liquid approach the gas temperature with
    // tau = rho c d^2 / (12 k); melting at Tm takes L m / (2 pi d k (Tg - Tm)).
    auto tau = [&](double c) { return material.densitySolid * c * d * d / (12 * gas.conductivity); };
    const double mass = material.densitySolid * kPi * d * d * d / 6;
    const double solid = tau(material.heatCapacitySolid) * std::log((tGas - start) / (tGas - tm));
    const double melting = material.latentHeatFusion * mass / (2 * kPi * d * gas.conductivity * (tGas - tm));
    const double liquid = tau(material.heatCapacityLiquid) * std::log((tGas - tm) / (tGas - end));
    const double total = solid + melting + liquid;
    const double dt = total / 20000;
    double time = 0, meltStart = 0, meltEnd = 0;
    while (flight.state().meanTemperature < end && time < 2 * total) {
        flight.stepBy(dt);
        time += dt;
        if (meltStart == 0 && flight.state().moltenFraction > 0) meltStart = time;
        if (meltEnd == 0 && flight.state().moltenFraction >= 1) meltEnd = time;
    }
    EXPECT_NEAR(meltStart, solid, 1e-3 * total);
    EXPECT_NEAR(meltEnd - meltStart, melting, 1e-3 * total);
    EXPECT_NEAR(time, total, 1e-3 * total);
}

TEST(FlightLimits, AHeldSurfaceBelowTheMeltingPointConductsWithTheSolidConductivity) {
    Material material = plainMaterial(5000, 6000);
    material.conductivityLiquid = 10 * material.conductivitySolid;  // never reached
    material.heatCapacityLiquid = 3 * material.heatCapacitySolid;
    const double d = 100e-6, radius = d / 2, start = 300, surface = 1300;
    const double diffusivity =
        material.conductivitySolid / (material.densitySolid * material.heatCapacitySolid);
    SphereHeat sphere(material, d, start, 32);
    const double dt = 1e-4 * radius * radius / diffusivity;
    for (int step = 0; step < 1000; ++step) sphere.stepFixedSurface(dt, surface);
    // The centre after Fourier number 0.1 (Carslaw and Jaeger: the series at r = 0).
    double series = 0;
    for (int n = 1; n <= 50; ++n) series += (n % 2 == 1 ? 2.0 : -2.0) * std::exp(-n * n * kPi * kPi * 0.1);
    EXPECT_NEAR(sphere.coreTemperature(), surface + (start - surface) * series, 0.003 * (surface - start));
}

// The argon jet's gas table under a uniform, still gas at temperature t.
JetField stillArgon(double t) {
    JetField field = test::argonJet();
    std::fill(field.temperature.begin(), field.temperature.end(), static_cast<float>(t));
    std::fill(field.axialVelocity.begin(), field.axialVelocity.end(), 0.0f);
    std::fill(field.radialVelocity.begin(), field.radialVelocity.end(), 0.0f);
    return field;
}

// One backward-Euler step of a lumped particle at rest must solve its energy
// equation m c (T1 - T0) = dt [G (S(Tg) - S(T1)) - eps sigma pi d^2 (T1^4 - Ta^4)]
// to second order in the step's temperature change, whatever the slopes its
// Newton iteration linearises with.
TEST(FlightLimits, ALumpedStepSolvesTheImplicitEnergyEquation) {
    const Material material = test::packagedMaterial("ysz8");
    ModelOptions model;
    model.internalConduction = false;
    const double d = 50e-6;
    const double mass = material.densitySolid * kPi * d * d * d / 6;
    const double radiation = material.emissivity * kStefanBoltzmann * kPi * d * d;
    // Heated by hot argon; cooling by radiation in argon as hot as itself.
    for (const auto& [gasTemperature, start] : {std::pair<double, double>{10000, 1000}, {2500, 2500}}) {
        const JetField field = stillArgon(gasTemperature);
        const Exchange x =
            computeExchange(field, gasTemperature, start, 0, d, material.densitySolid, {true, true});
        auto net = [&](double t) {
            const double t4 = t * t * t * t, a4 = std::pow(kAmbientTemperature, 4);
            return x.heatConductance * field.conductionPotential12(t, gasTemperature) - radiation * (t4 - a4);
        };
        // A step that changes the temperature by about 1.5 K.
        const double dt = 1.5 * mass * material.heatCapacitySolid / std::fabs(net(start));
        ParticleFlight flight(field, material, model, restingAt(d, start));
        flight.stepBy(dt);
        double low = start - 10, high = start + 10;
        for (int k = 0; k < 200; ++k) {
            const double t = 0.5 * (low + high);
            const double residual = mass * material.heatCapacitySolid * (t - start) - dt * net(t);
            (residual > 0 ? high : low) = t;
        }
        EXPECT_NEAR(flight.heat().surfaceTemperature(), 0.5 * (low + high), 2e-5)
            << "gas at " << gasTemperature << " K";
        EXPECT_GT(std::fabs(flight.heat().surfaceTemperature() - start), 1.0);
    }
}

TEST(FlightLimits, AZirconiaParticleBoilingAtItsSurfaceKeepsItsEnergyBalance) {
    // A plasma-like conductivity gives a Biot number near 1.
    test::UniformGas plasma;
    plasma.density = 0.04;
    plasma.viscosity = 2.5e-4;
    plasma.conductivity = 2;
    const JetField field = uniformField(12000, 0, plasma);
    const Material material = test::packagedMaterial("ysz8");
    // Every effect on but the vapour's diffusion, which would keep the surface
    // just below the boiling point; a finer grid must never overshoot it.
    for (const auto& [shells, diameter] : {std::pair<int, double>{8, 100e-6}, {16, 100e-6}, {64, 100e-6}, {64, 40e-6}}) {
        ModelOptions model;
        model.diffusiveEvaporation = false;
        model.shellCount = shells;
        ParticleFlight flight(field, material, model, restingAt(diameter, 300));
        int checks = 0;
        double coreAtFirstBoiling = 0;
        // The flight's own step control, whose steps cross the melting kink
        // of the thin surface shell.
        for (int step = 1; step <= 20000 && flight.state().massFraction > 0.5 && flight.step(190); ++step) {
            ASSERT_LE(flight.state().surfaceTemperature, material.boilingPoint) << shells << " shells, step " << step;
            if (flight.energy().evaporatedMass <= 0) continue;
            if (coreAtFirstBoiling == 0) coreAtFirstBoiling = flight.heat().coreTemperature();
            if (step % 20 != 0) continue;
            const StepEnergy& e = flight.energy();
            const double gain = flight.heat().enthalpy() - flight.initialEnthalpy();
            EXPECT_NEAR(e.convective - e.radiated - e.vapour, gain, 0.005 * e.convective) << "step " << step;
            ++checks;
        }
        // The surface boiled while the core was still far colder.
        EXPECT_GT(checks, 3) << shells << " shells";
        if (diameter > 50e-6) {
            EXPECT_LT(coreAtFirstBoiling, material.boilingPoint - 500) << shells << " shells";
        }
        EXPECT_EQ(flight.heat().unconvergedSteps(), 0) << shells << " shells";
    }
}

// Beyond the computed field (25 mm from the axis) the gas is the still
// surroundings: a particle flies on as through still argon at room
// temperature, on a straight line (drag acts against its velocity alone),
// slowing and cooling, to the plane; beside the substrate it is lost.
TEST(FlightLimits, BeyondTheFieldsEdgeAParticleFliesStraightOnAndCoolsToThePlane) {
    const Material ysz = test::packagedMaterial("ysz8");
    ParticleStart start = restingAt(30e-6, 2500);
    start.axialMm = 20, start.radialMm = 30, start.axialVelocity = 60, start.radialVelocity = 6;
    Trajectory beyond, still;
    EXPECT_EQ(flyParticle(test::argonJet(), ysz, ModelOptions{}, start, 100, 50, &beyond).status,
              ParticleStatus::Arrived);
    flyParticle(stillArgon(kRoomTemperature), ysz, ModelOptions{}, start, 100, 50, &still);
    ASSERT_EQ(beyond.samples.size(), still.samples.size());
    for (std::size_t k = 1; k < beyond.samples.size(); ++k) {
        const ParticleState &s = beyond.samples[k], &before = beyond.samples[k - 1];
        EXPECT_EQ(s.velocity, still.samples[k].velocity) << k;
        EXPECT_EQ(s.surfaceTemperature, still.samples[k].surfaceTemperature) << k;
        EXPECT_NEAR(s.radialMm - 30, 0.1 * (s.axialMm - 20), 1e-9) << k;
        EXPECT_LT(s.velocity, before.velocity) << k;
        EXPECT_LT(s.surfaceTemperature, before.surfaceTemperature) << k;
    }
    // It crosses the plane 38 mm from the axis: beside a substrate of 35 mm.
    EXPECT_EQ(flyParticle(test::argonJet(), ysz, ModelOptions{}, start, 100, 35, nullptr).status,
              ParticleStatus::MissedSide);
}

// The carrier gas in the injector tube: a long enough tube brings every size
// to the gas speed; the tube as built lets fine particles leave faster.
TEST(FlightLimits, TheCarrierGasBringsParticlesToItsSpeedAndFineOnesLeaveFaster) {
    const double gas = carrierGasSpeed(3, 1.8);
    EXPECT_NEAR(gas, 3e-3 / 60 * 300 / 273.15 / (kPi * 0.9e-3 * 0.9e-3), 1e-9);
    for (double d : {10e-6, 40e-6}) EXPECT_NEAR(speedAtTubeExit(gas, d, 5890, 20000), gas, 1e-3 * gas) << d;
    double faster = gas;
    for (double d : {10e-6, 20e-6, 40e-6, 80e-6}) {
        const double v = speedAtTubeExit(gas, d, 5890);
        EXPECT_LT(v, faster) << d;
        faster = v;
    }
}

}  // namespace
}  // namespace torvex::particles
