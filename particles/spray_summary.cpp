// The summary of a spray and the table of a scan as kavel-run prints them,
// and the count of lost particles every front end shows.
#include "particles/spray_in_folder.h"

#include <algorithm>
#include <cstdarg>
#include <cstdio>

namespace torvex::particles {

namespace {

constexpr double kMmPerInch = 25.4;

std::string printed(const char* format, ...) __attribute__((format(printf, 1, 2)));
std::string printed(const char* format, ...) {
    va_list arguments, again;
    va_start(arguments, format);
    va_copy(again, arguments);
    std::string text(static_cast<std::size_t>(std::max(0, std::vsnprintf(nullptr, 0, format, arguments))), '\0');
    va_end(arguments);
    std::vsnprintf(text.data(), text.size() + 1, format, again);
    va_end(again);
    return text;
}

struct LengthUnit {
    double perMm;
    const char* name;
    int decimals;
};

LengthUnit lengthUnitOf(int code) { return code == 2 ? LengthUnit{1 / kMmPerInch, "in", 3} : LengthUnit{1, "mm", 1}; }

// "36.4 +- 0.9", or "36.4 +- n/a" where the sample cannot tell.
std::string pm(const Estimate& e, int decimals, double scale = 1) { return withInterval(e, decimals, scale); }

// A mean with its interval and the particles' spread: "107.7 +- 0.3  sd 6.1".
std::string meanCell(const MeanAndSpread& m, int decimals, double scale) {
    return printed("%18s  sd %-8.*f", pm(meanOf(m), decimals, scale).c_str(), decimals, m.spread * scale);
}

std::string moments(const char* what, const WeightedMoments& m, const char* unit, int decimals, double scale = 1) {
    std::string line = printed("  %-20s %s %-4s %s %s", what, meanCell(m.byNumber, decimals, scale).c_str(), unit,
                               meanCell(m.byMass, decimals, scale).c_str(), unit);
    return line.erase(line.find_last_not_of(' ') + 1);
}

double percentOf(int part, int whole) { return whole > 0 ? 100.0 * part / whole : 0.0; }

std::string powderLine(const SprayReport& r) {
    return "Powder: " + r.material.name + ", " + describePowder(r.spray.powder) +
           printed(", seed %llu", static_cast<unsigned long long>(r.options.seed));
}

std::string injectionLine(const InjectionOptions& in, const LengthUnit& unit) {
    std::string line = printed("Injection: %.*f %s downstream, %.*f %s from the axis, angle %.1f deg, ", unit.decimals,
                               in.distanceMm * unit.perMm, unit.name, unit.decimals, in.radiusMm * unit.perMm, unit.name,
                               in.angleDeg);
    line += in.speedFrom == InjectionSpeed::Fixed
                ? printed("%.1f m/s", in.velocity)
                : printed("carrier gas %.2f SLPM argon through %.*f %s (speed of each size at the exit)",
                          in.carrierFlowSlpm, unit.decimals + 1, in.injectorDiameterMm * unit.perMm, unit.name);
    return line + printed(" +- %.0f %%, cone %.1f deg", in.velocitySpread * 100, in.divergenceDeg);
}

void addFates(std::vector<std::string>& lines, const SprayStatistics& s, const SprayReport& r) {
    lines.push_back(printed("Particles: %d arrived (%.1f %%): %d fully molten (%.1f %%), %d partly molten, %d solid",
                            s.arrived, percentOf(s.arrived, s.total), s.fullyMolten, percentOf(s.fullyMolten, s.total),
                            s.partlyMolten, s.solid));
    const LengthUnit unit = lengthUnitOf(r.jet.lengthUnit);
    lines.push_back(printed("           %d evaporated (%.1f %%), %d lost (%.1f %%): %d beside the substrate (crossed the "
                            "plane beyond %.*f %s from the axis), %d upstream, %d still in flight after %.1f ms",
                            s.evaporated, percentOf(s.evaporated, s.total), s.missed, percentOf(s.missed, s.total),
                            s.missedSide, unit.decimals, r.options.substrateRadiusMm * unit.perMm, unit.name,
                            s.missedUpstream, s.timedOut, r.options.model.maxFlightTimeMs));
    int unconverged = 0, particlesUnconverged = 0;
    for (const ParticleResult& p : r.spray.particles)
        if (p.unconvergedSteps > 0) unconverged += p.unconvergedSteps, ++particlesUnconverged;
    if (unconverged > 0)
        lines.push_back(printed("Warning: %d steps of %d particles did not converge in the heat solver (kept at the "
                                "best state).",
                                unconverged, particlesUnconverged));
}

void addSensor(std::vector<std::string>& lines, const SprayReport& r, const LengthUnit& unit) {
    const SensorReading& s = r.figures.sensor;
    lines.push_back(printed("In-flight sensor: %.*f %s volume at (x, y) = (%.*f, %.*f) %s%s, %d particles by number:",
                            unit.decimals, s.sizeMm * unit.perMm, unit.name, unit.decimals + 1, s.centreXMm * unit.perMm,
                            unit.decimals + 1, s.centreYMm * unit.perMm, unit.name,
                            r.options.sensor.atPlumeCentre ? " (plume centre)" : "", s.count));
    lines.push_back(printed("  velocity %s m/s (sd %.1f), surface temperature %s K (sd %.0f), diameter %s um (sd %.1f)",
                            pm(meanOf(s.velocity), 1).c_str(), s.velocity.spread,
                            pm(meanOf(s.surfaceTemperature), 0).c_str(), s.surfaceTemperature.spread,
                            pm(meanOf(s.diameterUm), 1).c_str(), s.diameterUm.spread));
    lines.push_back("By size class:  d (um)         count  mass %         arrived  velocity m/s    surface T K    "
                    "molten %       evaporated %");
    for (const SizeClass& c : r.figures.sizeClasses)
        lines.push_back(printed("  %6.1f - %6.1f   %7d  %-13s  %7d  %-14s  %-13s  %-13s  %s", c.lowerUm, c.upperUm, c.count,
                                pm(c.massShare, 1, 100).c_str(), c.arrived, pm(c.velocity, 1).c_str(),
                                pm(c.surfaceTemperature, 0).c_str(), pm(c.moltenShare, 1, 100).c_str(),
                                pm(c.evaporatedShare, 2, 100).c_str()));
}

} // namespace

std::vector<std::string> spraySummaryLines(const SprayReport& r) {
    const LengthUnit unit = lengthUnitOf(r.jet.lengthUnit);
    std::vector<std::string> lines;
    lines.push_back(printed("Jet: %s, field to %.*f %s (%d cross-sections)", r.jet.variantName.c_str(), unit.decimals,
                            r.jet.fieldEndMm * unit.perMm, unit.name, r.jet.recordCount));
    lines.push_back(powderLine(r));
    lines.push_back("Sample: " + countSentence(r.spray.sampling));
    lines.push_back("Sampling: " + samplingSentence(r.spray.sampling));
    lines.push_back("Model:");
    for (const std::string& line : describeModel(r.options.model, r.jet.gasCode)) lines.push_back("  " + line);
    lines.push_back("Material:");
    for (const std::string& line : describeMaterial(r.spray.material)) lines.push_back("  " + line);
    lines.push_back(injectionLine(r.options.injection, unit));
    if (!r.spray.notice.empty()) lines.push_back(r.spray.notice);

    const SprayStatistics& s = r.figures.statistics;
    lines.push_back(printed("At %.*f %s from the nozzle exit (means +- their 95 %% intervals; sd: the particles' spread):",
                            unit.decimals, r.spray.standoffMm * unit.perMm, unit.name));
    lines.push_back("                       by number                                by mass");
    lines.push_back(moments("velocity", s.velocity, "m/s", 1));
    lines.push_back(moments("surface temperature", s.surfaceTemperature, "K", 0));
    lines.push_back(moments("mean temperature", s.meanTemperature, "K", 0));
    lines.push_back(moments("molten fraction", s.moltenFraction, "", 3));
    lines.push_back(moments("position", s.radialPosition, unit.name, unit.decimals + 1, unit.perMm));
    lines.push_back(moments("flight time", s.flightTime, "ms", 3));
    addFates(lines, s, r);
    lines.push_back(printed("Deposition spot: molten mass centred at (x, y) = (%s, %s) %s, spread %.*f x %.*f %s",
                            pm(s.spotCentreOutOfPlaneMm, unit.decimals + 1, unit.perMm).c_str(),
                            pm(s.spotCentreMm, unit.decimals + 1, unit.perMm).c_str(), unit.name, unit.decimals + 1,
                            s.spotSpreadOutOfPlaneMm * unit.perMm, unit.decimals + 1, s.spotSpreadMm * unit.perMm,
                            unit.name));
    lines.push_back(printed("Mass of the injected: molten arriving %s %%, arriving %s %%, evaporated %s %%",
                            pm(s.moltenMassShare, 1, 100).c_str(), pm(s.depositedMassShare, 1, 100).c_str(),
                            pm(s.evaporatedMassShare, 1, 100).c_str()));
    lines.push_back(printed("Particle jet deviation: %s deg from the torch axis (+: beyond the axis)",
                            pm(r.figures.deviationDeg, 2).c_str()));
    addSensor(lines, r, unit);
    return lines;
}

std::vector<std::string> tuneSummaryLines(const TuneReport& r) {
    const TuneOptions& tune = r.tune;
    const char* unit = tuneUnit(tune.scan);
    std::vector<std::string> lines;
    lines.push_back(printed("%-9s  deviation deg   molten mass %%   arriving mass %%  velocity m/s   surface T K  "
                            "arrived  particles",
                            tune.scan == TuneScan::CarrierFlow ? "flow" : "speed"));
    bool anyShort = false;
    for (const TuneStep& s : r.outcome.steps) {
        lines.push_back(printed("%5.2f %-4s %-14s  %-13s  %-13s%s  %-13s  %-11s  %7d  %9d", s.setting, unit,
                                pm(s.deviationDeg, 2).c_str(), pm(s.moltenMassShare, 1, 100).c_str(),
                                pm(s.arrivingMassShare, 1, 100).c_str(), arrivesShort(s) ? "*" : " ",
                                pm(s.velocity, 1).c_str(), pm(s.surfaceTemperature, 0).c_str(), s.arrived, s.particles));
        anyShort = anyShort || arrivesShort(s);
    }
    if (anyShort)
        lines.push_back(printed("* less than %.0f %% of the injected mass arrives on the substrate",
                                100 * kLowArrivingMassShare));
    const SprayOptions& o = r.options;
    lines.push_back(
        "(+- the half-widths of the 95 % intervals; particles per setting: " +
        (o.precisionPoints > 0 ? printed("added until the molten and arriving mass shares were known to +-%g %s, at "
                                         "most %d)",
                                         o.precisionPoints, o.precisionPoints == 1 ? "point" : "points",
                                         std::min(o.mostParticles, kTuneStepCap))
                               : printed("a fixed count of %d)", o.powder.count)));
    if (r.outcome.chosen < 0) {
        lines.push_back("No setting brings particles to the standoff.");
        return lines;
    }
    const TuneStep& best = r.outcome.steps[static_cast<std::size_t>(r.outcome.chosen)];
    if (tune.goal == TuneGoal::Deviation)
        lines.push_back(printed("Setting for a deviation of %.2f deg: %.2f %s (deviation %s deg, molten mass %s %%)",
                                tune.targetDeg, best.setting, unit, pm(best.deviationDeg, 2).c_str(),
                                pm(best.moltenMassShare, 1, 100).c_str()));
    else
        lines.push_back(printed("Setting for the most molten mass: %.2f %s (molten mass %s %%, deviation %s deg)",
                                best.setting, unit, pm(best.moltenMassShare, 1, 100).c_str(),
                                pm(best.deviationDeg, 2).c_str()));
    const std::string indistinct = indistinctSentence(tune, r.outcome);
    if (!indistinct.empty()) lines.push_back(indistinct);
    return lines;
}

} // namespace torvex::particles
