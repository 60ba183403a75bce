#include "particles/in_flight.h"

#include "particles/exchange.h"

#include <algorithm>
#include <cmath>

namespace torvex::particles {

namespace {

struct Sums {
    double n = 0, sum = 0, sumSq = 0;
    void add(double v) { n += 1, sum += v, sumSq += v * v; }
    MeanAndSpread result() const {
        MeanAndSpread r;
        if (n == 0) return r;
        r.mean = sum / n;
        r.spread = std::sqrt(std::max(0.0, sumSq / n - r.mean * r.mean));
        return r;
    }
};

bool arrived(const ParticleResult& p) { return p.status == ParticleStatus::Arrived; }

} // namespace

SensorReading readSensor(const std::vector<ParticleResult>& particles, const SensorOptions& sensor) {
    SensorReading r;
    r.sizeMm = sensor.sizeMm;
    r.centreXMm = sensor.xMm;
    r.centreYMm = sensor.yMm;
    if (sensor.atPlumeCentre) {
        Sums x, y;
        for (const ParticleResult& p : particles)
            if (arrived(p)) x.add(p.final.outOfPlaneMm), y.add(p.final.radialMm);
        r.centreXMm = x.result().mean;
        r.centreYMm = y.result().mean;
    }
    const double radius = 0.5 * sensor.sizeMm;
    Sums velocity, temperature, diameter;
    for (const ParticleResult& p : particles) {
        if (!arrived(p)) continue;
        if (std::hypot(p.final.outOfPlaneMm - r.centreXMm, p.final.radialMm - r.centreYMm) > radius) continue;
        ++r.count;
        velocity.add(p.final.velocity);
        temperature.add(p.final.surfaceTemperature);
        diameter.add(p.final.diameterUm);
    }
    r.velocity = velocity.result();
    r.surfaceTemperature = temperature.result();
    r.diameterUm = diameter.result();
    return r;
}

std::vector<SizeClass> sizeClasses(const std::vector<ParticleResult>& particles, int classes) {
    if (particles.empty()) return {};
    double low = particles.front().diameterUm, high = low;
    for (const ParticleResult& p : particles) low = std::min(low, p.diameterUm), high = std::max(high, p.diameterUm);
    const int n = high > low ? std::max(classes, 1) : 1;
    const double logLow = std::log(low), width = (std::log(high) - logLow) / n;
    std::vector<SizeClass> table(static_cast<std::size_t>(n));
    for (int k = 0; k < n; ++k) {
        table[static_cast<std::size_t>(k)].lowerUm = k == 0 ? low : std::exp(logLow + k * width);
        table[static_cast<std::size_t>(k)].upperUm = k == n - 1 ? high : std::exp(logLow + (k + 1) * width);
    }
    std::vector<double> injected(table.size(), 0.0), molten(table.size(), 0.0), evaporated(table.size(), 0.0);
    double total = 0;
    for (const ParticleResult& p : particles) {
        const int k = width > 0 ? std::clamp(static_cast<int>((std::log(p.diameterUm) - logLow) / width), 0, n - 1) : 0;
        const std::size_t i = static_cast<std::size_t>(k);
        SizeClass& c = table[i];
        ++c.count;
        injected[i] += p.initialMassKg;
        total += p.initialMassKg;
        evaporated[i] += p.initialMassKg * (1.0 - p.final.massFraction);
        if (!arrived(p)) continue;
        ++c.arrived;
        c.velocity += p.final.velocity;
        c.surfaceTemperature += p.final.surfaceTemperature;
        molten[i] += p.initialMassKg * p.final.massFraction * p.final.moltenFraction;
    }
    for (std::size_t i = 0; i < table.size(); ++i) {
        SizeClass& c = table[i];
        if (c.arrived > 0) c.velocity /= c.arrived, c.surfaceTemperature /= c.arrived;
        if (total > 0) c.massShare = injected[i] / total;
        if (injected[i] > 0) c.moltenShare = molten[i] / injected[i], c.evaporatedShare = evaporated[i] / injected[i];
    }
    return table;
}

double deviationAngleDeg(const SprayStatistics& s, const InjectionOptions& injection, double standoffMm) {
    const double side = injection.side < 0 ? -1.0 : 1.0;
    const double run = standoffMm - injection.distanceMm;
    if (s.arrived == 0 || !(run > 0)) return 0;
    return std::atan2(-side * s.radialPosition.byMass.mean, run) * 180.0 / kPi;
}

} // namespace torvex::particles
