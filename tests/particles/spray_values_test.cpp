// The spray's bookkeeping on inputs small enough to check by hand: how the
// injector launches the population, the statistics at the substrate and the
// columns of particles.csv.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <fstream>
#include <sstream>

#include "particles/exchange.h"
#include "particles/in_flight.h"
#include "particles/injector_tuning.h"
#include "particles/spray_files.h"
#include "particles/spray_statistics.h"
#include "tests/particles/spray_fixture.h"
#include "tests/support/temp_dir.h"

namespace torvex::particles {
namespace {

TEST(SprayValues, TheInjectorLaunchesTowardTheAxisWithinTheSpreadAndTheCone) {
    SprayOptions o;
    o.powder.count = 400;
    o.injection.speedFrom = InjectionSpeed::Fixed;
    o.injection.velocity = 20;
    o.injection.velocitySpread = 0.2;
    o.injection.divergenceDeg = 20;
    o.standoffMm = 5;  // short flights: only the launch matters here
    o.sampledTrajectories = 40;
    const SprayOutcome out = simulateSpray(test::argonJet(), test::packagedMaterial("ysz8"), o, nullptr);
    ASSERT_EQ(out.result, SprayResult::Completed) << out.message;
    double sum = 0, low = 1e9, high = 0;
    for (const ParticleResult& p : out.particles) {
        sum += p.injectionVelocity;
        low = std::min(low, p.injectionVelocity);
        high = std::max(high, p.injectionVelocity);
    }
    // Uniform over 20 m/s +- 20 %: mean 20, ends near 16 and 24.
    EXPECT_NEAR(sum / out.particles.size(), 20.0, 0.3);
    EXPECT_GE(low, 16.0);
    EXPECT_LT(low, 16.5);
    EXPECT_LE(high, 24.0);
    EXPECT_GT(high, 23.5);
    // d10, d50 and d90 leave straight toward the axis at the mean speed; the
    // sampled particles within the cone of 10 degrees around it, in 3-D.
    for (const Trajectory& t : out.trajectories) {
        ASSERT_FALSE(t.samples.empty());
        const ParticleState& launch = t.samples.front();
        EXPECT_DOUBLE_EQ(launch.radialMm, 8.0);
        EXPECT_LT(launch.radialVelocity, 0.0) << t.label << " " << t.index;
        const double angle = std::acos(-launch.radialVelocity / launch.velocity) * 180 / kPi;
        if (t.label == "sample") {
            EXPECT_LE(angle, 10.0 + 1e-9) << t.index;
        } else {
            EXPECT_DOUBLE_EQ(launch.axialVelocity, 0.0) << t.label;
            EXPECT_DOUBLE_EQ(launch.outOfPlaneVelocity, 0.0) << t.label;
            EXPECT_DOUBLE_EQ(launch.radialVelocity, -20.0) << t.label;
        }
    }
}

ParticleResult arrivedParticle(double initialMass, double massFraction, double velocity, double molten,
                               double radialMm) {
    ParticleResult p;
    p.status = ParticleStatus::Arrived;
    p.initialMassKg = initialMass;
    p.final.massFraction = massFraction;
    p.final.velocity = velocity;
    p.final.moltenFraction = molten;
    p.final.radialMm = radialMm;
    return p;
}

TEST(SprayValues, TheStatisticsWeighByTheMassThatArrivesAndTheSpotByTheMoltenMass) {
    std::vector<ParticleResult> particles = {
        arrivedParticle(1e-12, 1.0, 100, 1.0, 2),     // 1e-12 kg arrive, all molten
        arrivedParticle(3e-12, 0.5, 200, 0.995, -4),  // half evaporated on the way: 1.5e-12 kg arrive
        arrivedParticle(2e-12, 1.0, 50, 0, 30),
    };
    particles[2].status = ParticleStatus::MissedSide;
    const SprayStatistics s = computeStatistics(particles, 0);  // no known mean mass: the sample's ratios
    EXPECT_EQ(s.total, 3);
    EXPECT_EQ(s.arrived, 2);
    EXPECT_EQ(s.missed, 1);
    EXPECT_EQ(s.fullyMolten, 1);  // 0.5 % still solid is not fully molten
    EXPECT_EQ(s.partlyMolten, 1);
    EXPECT_DOUBLE_EQ(s.velocity.byNumber.mean, 150);
    EXPECT_DOUBLE_EQ(s.velocity.byNumber.spread, 50);
    EXPECT_DOUBLE_EQ(s.velocity.byMass.mean, (100 * 1.0 + 200 * 1.5) / 2.5);
    const double molten1 = 1e-12, molten2 = 1.5e-12 * 0.995;
    EXPECT_NEAR(s.spotCentreMm.value, (2 * molten1 - 4 * molten2) / (molten1 + molten2), 1e-12);
    EXPECT_NEAR(s.moltenMassShare.value, (molten1 + molten2) / 6e-12, 1e-12);
    EXPECT_NEAR(s.depositedMassShare.value, 2.5 / 6, 1e-12);
    EXPECT_NEAR(s.evaporatedMassShare.value, 1.5 / 6, 1e-12);
    EXPECT_EQ(s.missedSide, 1);

    // The molten-fraction bins divide 0 to 1 whatever their number; a fully
    // molten particle falls in the last, the one ending at 1.
    for (int bins : {10, 20}) {
        const Histogram h = histogramOf(particles, HistogramQuantity::MoltenFraction, bins);
        EXPECT_DOUBLE_EQ(h.lower, 0);
        EXPECT_DOUBLE_EQ(h.lower + h.binWidth * bins, 1);
        EXPECT_EQ(h.count[static_cast<std::size_t>(bins - 1)], 2);  // 1.0 and 0.995
    }
    // Other quantities: a round bin width whose bins hold the arrived ones (100 and 200 m/s).
    const Histogram speeds = histogramOf(particles, HistogramQuantity::Velocity, 10);
    EXPECT_DOUBLE_EQ(speeds.binWidth, 10);
    EXPECT_EQ(speeds.count.front() + speeds.count.back(), 2);
}

// A ratio's interval from two batches by hand: totals 1 and 3 of one
// particle each, ratio 2, variance 2 / 1 * (1 + 1) / 4, t = 12.7062 for one
// degree of freedom; shares of equal masses are plain means.
TEST(SprayValues, TheIntervalOfARatioComesFromTheScatterOfItsBatches) {
    const Estimate two = ratioOfTotals({1, 3}, {1, 1});
    EXPECT_DOUBLE_EQ(two.value, 2);
    EXPECT_NEAR(two.halfWidth95, 12.7062, 1e-12);
    EXPECT_FALSE(hasInterval(ratioOfTotals({1}, {1})));
    EXPECT_DOUBLE_EQ(studentQuantile975(30), 2.0423);
    EXPECT_NEAR(studentQuantile975(31), 2.0395, 1e-4);
    EXPECT_NEAR(studentQuantile975(100000), 1.95998, 1e-5);
    MassShare share(2, 1e-12);
    for (const double part : {0.0, 1.0, 1.0, 1.0}) share.add(part > 0 ? 1 : 0, 1e-12, part);
    EXPECT_DOUBLE_EQ(share.estimate().value, 0.75);
    // Residuals -0.75 and +0.75 of 4 particles: 12.7062 x sqrt(2 x 1.125) / 4.
    EXPECT_EQ(withInterval(share.estimate(), 1, 100), "75.0 +- 476.5");
}

// The sensor and the size classes are views of the particle list: their
// counts and mass sums must add up to what the list holds.
TEST(SprayValues, TheSensorAndTheSizeClassesAddUpToTheParticleList) {
    SprayOptions o;
    o.powder.count = 300;
    o.injection.divergenceDeg = 20;
    const SprayOutcome out = simulateSpray(test::argonJet(), test::packagedMaterial("ysz8"), o, nullptr);
    ASSERT_EQ(out.result, SprayResult::Completed) << out.message;
    const SprayStatistics s = computeStatistics(out);
    int count = 0, arrived = 0;
    double mass = 0, evaporated = 0, molten = 0;
    for (const SizeClass& c : sizeClasses(out, 7)) {
        count += c.count, arrived += c.arrived, mass += c.massShare.value;
        evaporated += c.evaporatedShare.value * c.massShare.value, molten += c.moltenShare.value * c.massShare.value;
    }
    EXPECT_EQ(count, s.total);
    EXPECT_EQ(arrived, s.arrived);
    EXPECT_NEAR(mass, 1.0, 1e-12);
    EXPECT_NEAR(evaporated, s.evaporatedMassShare.value, 1e-12);
    EXPECT_NEAR(molten, s.moltenMassShare.value, 1e-12);
    const SensorReading r = readSensor(out.particles, SensorOptions{});
    EXPECT_NEAR(r.centreYMm, s.radialPosition.byNumber.mean, 1e-9);
    int inside = 0;
    double speed = 0;
    for (const ParticleResult& p : out.particles) {
        if (p.status != ParticleStatus::Arrived) continue;
        if (std::hypot(p.final.outOfPlaneMm - r.centreXMm, p.final.radialMm - r.centreYMm) > 1.5) continue;
        ++inside, speed += p.final.velocity;
    }
    EXPECT_GT(r.count, 0);
    EXPECT_EQ(r.count, inside);
    EXPECT_NEAR(r.velocity.mean, speed / inside, 1e-9);
}

// Four particles counted by hand, 10e-12 kg injected: a arrives molten; b
// arrives half evaporated, 0.6 molten; c crosses beside the substrate; d times out.
SprayOutcome handSpray() {
    ParticleResult a = arrivedParticle(1e-12, 1.0, 100, 1.0, 0.5), b = arrivedParticle(3e-12, 0.5, 50, 0.6, -1.0),
                   c = arrivedParticle(2e-12, 0.9, 10, 0, 60), d = arrivedParticle(4e-12, 1.0, 10, 0, 5);
    a.final.surfaceTemperature = 2500, a.final.diameterUm = 20, a.diameterUm = 10;
    b.final.surfaceTemperature = 3000, b.final.diameterUm = 30, b.diameterUm = 15;
    c.status = ParticleStatus::MissedSide, c.diameterUm = 30;
    d.status = ParticleStatus::TimedOut, d.diameterUm = 80;
    SprayOutcome out;
    out.particles = {a, b, c, d};
    out.standoffMm = 102;  // 100 mm beyond the injector's plane
    return out;
}

TEST(SprayValues, TheInFlightMeasuresOfFourParticlesAreTheHandCountedOnes) {
    const SprayOutcome out = handSpray();
    SprayOptions o;
    o.sensor.atPlumeCentre = false;
    // The deviation weighs the mass arriving: (1 * 0.5 - 1.5 * 1.0) / 2.5 = -0.4 mm (by number -0.25).
    EXPECT_NEAR(deviationAngleDeg(computeStatistics(out), o.injection, 102).value, std::atan(0.004) * 180 / kPi,
                1e-12);
    // Classes of equal width in ln d from 10 to 80 um: 10, 20, 40, 80.
    const std::vector<SizeClass> c = sizeClasses(out, 3);
    ASSERT_EQ(c.size(), 3u);
    for (std::size_t k = 0; k < 3; ++k) EXPECT_NEAR(c[k].lowerUm, 10 * std::pow(2.0, k), 1e-9) << k;
    EXPECT_NEAR(c[2].upperUm, 80, 1e-9);
    EXPECT_EQ(c[0].arrived, 2);
    EXPECT_NEAR(c[0].massShare.value, 0.4, 1e-12);
    EXPECT_NEAR(c[0].moltenShare.value, 1.9 / 4, 1e-12);
    EXPECT_NEAR(c[1].evaporatedShare.value, 0.1, 1e-12);
    // A 3 mm sensor at the axis sees a and b; the header counts and shares all four.
    EXPECT_NE(sensorCsv(o, out).find(
                  "# particles: 4 injected, 2 arrived, 0 evaporated, lost: 1 beside the substrate, 0 upstream, 1 timeout\n"
                  "# mass of the injected: arriving 25.0 +- n/a %, molten arriving 19.0 +- n/a %, evaporated 17.0 +- n/a %\n"
                  "standoff_mm,centre_x_mm,centre_y_mm,size_mm,count,velocity_mean_m_s,velocity_spread_m_s,"
                  "surface_temperature_mean_K,surface_temperature_spread_K,diameter_mean_um,diameter_spread_um,"
                  "velocity_mean_half_width_m_s,surface_temperature_mean_half_width_K,diameter_mean_half_width_um\n"
                  "102.000,0.000,0.000,3.00,2,75.00,25.00,2750.0,250.0,25.00,5.00,,,\n"),
              std::string::npos)
        << sensorCsv(o, out);
    // 1.6 mm at the axis holds a alone; centred on the plume (y = -0.25 mm), both.
    o.sensor.sizeMm = 1.6;
    EXPECT_EQ(readSensor(out.particles, o.sensor).count, 1);
    o.sensor.atPlumeCentre = true;
    EXPECT_EQ(readSensor(out.particles, o.sensor).count, 2);
}

TEST(SprayValues, TuneChoosesTheDeviationNearestTheTargetOrTheMostMoltenMass) {
    TuneOutcome out;  // setting, deviation, molten, arriving, velocity, temperature, arrived
    out.steps = {{0, {1}, {0.3}, {0.95}, {0}, {0}, 10}, {0, {3}, {0.5}, {0.92}, {0}, {0}, 10},
                 {0, {4.2}, {0.6}, {0.85}, {0}, {0}, 10}, {0, {3.6}, {0.9}, {0}, {0}, {0}, 0}};
    // The last lies nearest 3.5 deg and is the most molten, but brings nothing.
    TuneOptions tune;
    EXPECT_EQ(chooseSetting(out.steps, tune), 1);
    tune.targetDeg = 4;
    EXPECT_EQ(chooseSetting(out.steps, tune), 2);
    tune.goal = TuneGoal::Molten;
    out.chosen = chooseSetting(out.steps, tune);
    EXPECT_EQ(out.chosen, 2);
    EXPECT_EQ(tuneCsv(tune, out), "carrier_flow_slpm,deviation_deg,molten_mass_share,arriving_mass_share,velocity_m_s,"
                                  "surface_temperature_K,arrived,chosen,arriving_under_90_percent,"
                                  "deviation_half_width_deg,molten_mass_share_half_width,"
                                  "arriving_mass_share_half_width,velocity_half_width_m_s,"
                                  "surface_temperature_half_width_K,particles,cannot_be_told_apart\n"
                                  "0.000,1.000,0.3000,0.9500,0.00,0.0,10,0,0,,,,,,0,0\n"
                                  "0.000,3.000,0.5000,0.9200,0.00,0.0,10,0,0,,,,,,0,0\n"
                                  "0.000,4.200,0.6000,0.8500,0.00,0.0,10,1,1,,,,,,0,0\n"
                                  "0.000,3.600,0.9000,0.0000,0.00,0.0,0,0,1,,,,,,0,0\n");
}

// Two settings whose deviations lie within each other's reach cannot be
// told apart; a third beyond both intervals can.
TEST(SprayValues, TuneSaysWhichStepsItsIntervalsCannotTellFromTheChosenOne) {
    TuneOutcome out;
    out.steps = {{2.0, {2.1, 0.3}, {0.3, 0.01}, {0.99, 0.001}, {0}, {0}, 900, 1000},
                 {2.5, {3.4, 0.4}, {0.35, 0.01}, {0.99, 0.001}, {0}, {0}, 900, 1000},
                 {3.0, {3.7, 0.4}, {0.36, 0.01}, {0.99, 0.001}, {0}, {0}, 900, 1000}};
    TuneOptions tune;  // 3.5 deg: 2.5 SLPM is 0.1 +- 0.4 from it, 3.0 SLPM 0.2 +- 0.4
    out.chosen = chooseSetting(out.steps, tune);
    out.indistinct = tellApart(out.steps, tune, out.chosen);
    EXPECT_EQ(out.chosen, 1);
    EXPECT_EQ(out.indistinct, std::vector<int>{2});
    EXPECT_EQ(indistinctSentence(tune, out),
              "2.50 and 3.00 SLPM cannot be told apart at this count (deviation 3.40 +- 0.40 and 3.70 +- 0.40 deg)");
    EXPECT_NE(tuneCsv(tune, out).find("3.000,3.700,0.3600,0.9900,0.00,0.0,900,0,0,0.400,0.0100,0.0010,,,1000,1\n"),
              std::string::npos)
        << tuneCsv(tune, out);
    // Narrower intervals tell them apart; so do the molten shares, 0.35 and 0.36 +- 0.001.
    for (TuneStep& s : out.steps) s.deviationDeg.halfWidth95 = 0.04, s.moltenMassShare.halfWidth95 = 0.001;
    EXPECT_TRUE(tellApart(out.steps, tune, 1).empty());
    tune.goal = TuneGoal::Molten;
    EXPECT_TRUE(tellApart(out.steps, tune, chooseSetting(out.steps, tune)).empty());
}

// A measured distribution is said by its file and the quantiles of its
// classes, a log-normal by its basis, in the summary and every header.
TEST(SprayValues, ThePowderIsSaidAsSprayed) {
    const torvex::test::TempDir dir;
    std::ofstream(dir.file("sizes.csv")) << "from_um,to_um,volume_percent\n20,30,10\n30,40,40\n40,50,40\n50,60,10\n";
    SprayOptions o;
    o.powder.count = 3;
    o.standoffMm = 5;
    o.powder.sizeDistributionFile = dir.file("sizes.csv");
    const SprayOutcome out = simulateSpray(test::argonJet(), test::packagedMaterial("ysz8"), o, nullptr);
    ASSERT_EQ(out.result, SprayResult::Completed) << out.message;
    const std::string said = "d10/d50/d90 = 30.0/40.0/50.0 um by volume, of the measured distribution " + dir.file("sizes.csv");
    EXPECT_EQ(describePowder(out.powder), said);
    EXPECT_NE(sensorCsv(o, out).find("# powder: Zirconia stabilised with 8 wt% yttria (8YSZ), " + said + ", seed 1\n"
                                     "# sample: 3 particles, a fixed count\n"),
              std::string::npos)
        << sensorCsv(o, out);
    PowderAsSprayed logNormal;
    logNormal.basis = SizeBasis::Number, logNormal.d10Um = 20, logNormal.d50Um = 40, logNormal.d90Um = 70;
    EXPECT_EQ(describePowder(logNormal), "d10/d50/d90 = 20.0/40.0/70.0 um by number (log-normal)");
}

TEST(SprayValues, EveryColumnOfTheParticleFileHoldsWhatItsNameSays) {
    ParticleResult p = arrivedParticle(1e-12, 0.75, 5, 0.25, -1.5);
    p.index = 7;
    p.diameterUm = 42.5;
    p.final.axialMm = 100;
    p.final.axialVelocity = 3;
    p.final.radialVelocity = -4;
    p.final.surfaceTemperature = 3001.3;
    p.final.meanTemperature = 2500;
    p.final.coreTemperature = 2000;
    p.final.timeMs = 1.25;
    p.maxSurfaceTemperature = 3500;
    const std::string text = particlesCsv({p});
    std::istringstream in(text);
    std::string header, row;
    std::getline(in, header);
    std::getline(in, row);
    auto split = [](const std::string& line) {
        std::vector<std::string> fields;
        std::istringstream s(line);
        std::string f;
        while (std::getline(s, f, ',')) fields.push_back(f);
        return fields;
    };
    const std::vector<std::string> names = split(header), values = split(row);
    ASSERT_EQ(names.size(), values.size());
    auto column = [&](const std::string& name) {
        const auto at = std::find(names.begin(), names.end(), name);
        return at == names.end() ? std::string("(no column)")
                                 : values[static_cast<std::size_t>(at - names.begin())];
    };
    EXPECT_EQ(column("index"), "7");
    EXPECT_EQ(column("diameter_um"), "42.50");
    EXPECT_EQ(column("status"), "arrived");
    EXPECT_EQ(column("axial_mm"), "100.000");
    EXPECT_EQ(column("radial_mm"), "-1.500");
    EXPECT_EQ(column("velocity_m_s"), "5.00");
    EXPECT_EQ(column("axial_velocity_m_s"), "3.00");
    EXPECT_EQ(column("radial_velocity_m_s"), "-4.00");
    EXPECT_EQ(column("surface_temperature_K"), "3001.3");
    EXPECT_EQ(column("mean_temperature_K"), "2500.0");
    EXPECT_EQ(column("core_temperature_K"), "2000.0");
    EXPECT_EQ(column("molten_fraction"), "0.2500");
    EXPECT_EQ(column("mass_fraction"), "0.7500");
    EXPECT_EQ(column("time_ms"), "1.2500");
    EXPECT_EQ(column("max_surface_temperature_K"), "3500.0");
    EXPECT_EQ(names[15], "out_of_plane_mm");  // added after the columns readers already know
}

}  // namespace
}  // namespace torvex::particles
