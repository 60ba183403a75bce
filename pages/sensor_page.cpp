#include "pages/sensor_page.h"

#include <cstdio>

#include "particles/in_flight.h"
#include "particles/spray_statistics.h"

namespace torvex::kavel {

namespace {

// A spread of temperatures: a difference, without the scale's offset.
double temperatureSpread(const SprayUnits& u, double kelvin) { return kelvin * (u.temperature == 2 ? 1.8 : 1.0); }

// A share of the powder's mass in percent with its 95 % interval: "36.3 ± 0.9".
std::string percent(const particles::Estimate& share) { return plusMinus(share, 1, 100); }

// The three shares of the injected mass, each with its interval.
std::string massShares(const particles::SprayStatistics& s) {
    return "Mass of the injected (95 % intervals): molten arriving " + percent(s.moltenMassShare) + " %, arriving " +
           percent(s.depositedMassShare) + " %, evaporated " + percent(s.evaporatedMassShare) + " %";
}

TextBlock sensorBlock(const SprayPageInputs& in, const particles::SensorReading& r) {
    const SprayUnits& u = in.units;
    const std::string length = u.distanceUnit();
    const int decimals = u.metric() ? 1 : 3;
    TextBlock b{printed("In-flight sensor at %.4g %s", u.distance(in.outcome->standoffMm), length.c_str()), {}, {}, -1};
    b.lines.push_back(printed("Measurement volume %.*f %s wide at (x, y) = (%.*f, %.*f) %s%s", decimals,
                              u.distance(r.sizeMm), length.c_str(), decimals + 1, u.distance(r.centreXMm),
                              decimals + 1, u.distance(r.centreYMm), length.c_str(),
                              in.options.sensor.atPlumeCentre ? " (plume centre)" : ""));
    b.lines.push_back(printed("Particles crossing it: %d (mean \u00b1 standard deviation by number)", r.count));
    if (r.count == 0) return b;
    b.lines.push_back(printed("Velocity: %.1f \u00b1 %.1f %s (the mean to \u00b1 %.1f)", u.velocity(r.velocity.mean),
                              u.velocity(r.velocity.spread), u.velocityUnit().c_str(),
                              u.velocity(r.velocity.halfWidth95)));
    b.lines.push_back(printed("Surface temperature: %.0f \u00b1 %.0f %s (the mean to \u00b1 %.0f)",
                              u.temperatureOf(r.surfaceTemperature.mean),
                              temperatureSpread(u, r.surfaceTemperature.spread), u.temperatureUnit().c_str(),
                              temperatureSpread(u, r.surfaceTemperature.halfWidth95)));
    b.lines.push_back(printed("Diameter: %.1f \u00b1 %.1f \u00b5m", r.diameterUm.mean, r.diameterUm.spread));
    return b;
}

TextBlock jetBlock(const SprayPageInputs& in, const particles::SprayStatistics& s) {
    TextBlock b{"Particle jet and injected mass", {}, {}, -1};
    if (s.arrived > 0)
        b.lines.push_back("Deviation from the torch axis: " +
                          plusMinus(particles::deviationAngleDeg(s, in.options.injection, in.outcome->standoffMm), 2) +
                          "\u00b0 (+: beyond the axis)");
    b.lines.push_back(massShares(s));
    b.lines.push_back(printed("Particles: %d of %d arrived, %d evaporated; lost ", s.arrived, s.total, s.evaporated) +
                      particles::lossesByReason(s));
    b.lines.push_back("Sample: " + withPageSigns(particles::countSentence(in.outcome->sampling)));
    return b;
}

TextBlock sizeClassBlock(const SprayPageInputs& in) {
    const SprayUnits& u = in.units;
    TextBlock b{"By size class",
                {"of the initial diameter; velocity and surface temperature: means of the arrived, by number"},
                {},
                -1};
    b.table.push_back({"d, \u00b5m", "count", "mass %", "arrived", "velocity, " + u.velocityUnit(),
                       "surface T, " + u.temperatureUnit(), "molten %", "evaporated %"});
    for (const particles::SizeClass& c : particles::sizeClasses(*in.outcome, in.options.sizeClasses)) {
        const bool any = c.arrived > 0;
        b.table.push_back({printed("%.1f \u2013 %.1f", c.lowerUm, c.upperUm), std::to_string(c.count),
                           percent(c.massShare), std::to_string(c.arrived),
                           any ? printed("%.1f", u.velocity(c.velocity.value)) : "\u2013",
                           any ? printed("%.0f", u.temperatureOf(c.surfaceTemperature.value)) : "\u2013",
                           percent(c.moltenShare), plusMinus(c.evaporatedShare, 2, 100)});
    }
    return b;
}

// The compared spray's sensor reading and mass shares, beside the first's.
TextBlock comparedBlock(const SprayPageInputs& in) {
    const SprayUnits& u = in.units;
    const particles::SprayStatistics s = particles::computeStatistics(*in.compared);
    const particles::SensorReading r = particles::readSensor(in.compared->particles, in.comparedOptions.sensor);
    TextBlock b{"Compared: " + in.comparedName, {}, {}, -1};
    if (!in.comparedJet.empty()) b.lines.push_back("Jet: " + in.comparedJet);
    b.lines.push_back(printed("Sensor: %d particles, velocity %.1f %s, surface temperature %.0f %s", r.count,
                              u.velocity(r.velocity.mean), u.velocityUnit().c_str(),
                              u.temperatureOf(r.surfaceTemperature.mean), u.temperatureUnit().c_str()));
    b.lines.push_back(massShares(s));
    if (s.arrived > 0)
        b.lines.push_back(
            "Deviation from the torch axis: " +
            plusMinus(particles::deviationAngleDeg(s, in.comparedOptions.injection, in.compared->standoffMm), 2) +
            "\u00b0");
    return b;
}

}  // namespace

std::vector<TextBlock> sensorBlocks(const SprayPageInputs& in) {
    if (!in.outcome) return {TextBlock{"No spray run yet", {"Spray \u203a Powder and Injection\u2026 runs one."}, {}, -1}};
    const particles::SprayStatistics s = particles::computeStatistics(*in.outcome);
    std::vector<TextBlock> blocks;
    blocks.push_back(sensorBlock(in, particles::readSensor(in.outcome->particles, in.options.sensor)));
    blocks.push_back(jetBlock(in, s));
    blocks.push_back(sizeClassBlock(in));
    blocks.push_back(TextBlock{"Model", particles::describeModel(in.options.model, in.outcome->gasCode), {}, -1});
    blocks.push_back(TextBlock{"Material data", particles::describeMaterial(in.outcome->material), {}, -1});
    if (in.compared) blocks.push_back(comparedBlock(in));
    return blocks;
}

}  // namespace torvex::kavel
