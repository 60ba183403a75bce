#include "particles/in_flight.h"

#include "particles/exchange.h"

#include <algorithm>
#include <cmath>

namespace torvex::particles {

namespace {

// A number mean over particles, with its spread and its interval.
class Sums {
public:
    explicit Sums(int batches) : mean_(batches) {}
    void add(int batch, double v) { mean_.add(batch, 1, v), n_ += 1, sumSq_ += v * v; }
    MeanAndSpread result() const {
        const Estimate mean = mean_.estimate();
        MeanAndSpread r{mean.value, 0, mean.halfWidth95};
        if (n_ > 0) r.spread = std::sqrt(std::max(0.0, sumSq_ / n_ - r.mean * r.mean));
        return r;
    }

private:
    BatchedRatio mean_;
    double n_ = 0, sumSq_ = 0;
};

bool arrived(const ParticleResult& p) { return p.status == ParticleStatus::Arrived; }

} // namespace

SensorReading readSensor(const std::vector<ParticleResult>& particles, const SensorOptions& sensor) {
    SensorReading r;
    r.sizeMm = sensor.sizeMm;
    r.centreXMm = sensor.xMm;
    r.centreYMm = sensor.yMm;
    const int batches = batchCount(particles);
    if (sensor.atPlumeCentre) {
        Sums x(batches), y(batches);
        for (const ParticleResult& p : particles)
            if (arrived(p)) x.add(batchOf(p.index), p.final.outOfPlaneMm), y.add(batchOf(p.index), p.final.radialMm);
        r.centreXMm = x.result().mean;
        r.centreYMm = y.result().mean;
    }
    const double radius = 0.5 * sensor.sizeMm;
    Sums velocity(batches), temperature(batches), diameter(batches);
    for (const ParticleResult& p : particles) {
        if (!arrived(p)) continue;
        if (std::hypot(p.final.outOfPlaneMm - r.centreXMm, p.final.radialMm - r.centreYMm) > radius) continue;
        ++r.count;
        const int batch = batchOf(p.index);
        velocity.add(batch, p.final.velocity);
        temperature.add(batch, p.final.surfaceTemperature);
        diameter.add(batch, p.final.diameterUm);
    }
    r.velocity = velocity.result();
    r.surfaceTemperature = temperature.result();
    r.diameterUm = diameter.result();
    return r;
}

std::vector<SizeClass> sizeClasses(const SprayOutcome& outcome, int classes) {
    const std::vector<ParticleResult>& particles = outcome.particles;
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
    // Per class the shares of the whole powder's mass it holds, and of that
    // molten and arriving, and evaporated (MassShare: linear in the part, so
    // the classes add up to the whole), and the means of the arrived.
    const int batches = batchCount(particles);
    const double meanMass = outcome.sampling.meanInjectedMassKg;
    struct Figures {
        MassShare mass, molten, evaporated;
        BatchedRatio velocity, temperature;
        Figures(int b, double m) : mass(b, m), molten(b, m), evaporated(b, m), velocity(b), temperature(b) {}
    };
    std::vector<Figures> figures(table.size(), Figures(batches, meanMass));
    for (const ParticleResult& p : particles) {
        const int k = width > 0 ? std::clamp(static_cast<int>((std::log(p.diameterUm) - logLow) / width), 0, n - 1) : 0;
        const std::size_t i = static_cast<std::size_t>(k);
        const int batch = batchOf(p.index);
        const double m = p.initialMassKg;
        const double molten = arrived(p) ? p.final.massFraction * p.final.moltenFraction : 0.0;
        ++table[i].count;
        for (std::size_t j = 0; j < table.size(); ++j) {
            figures[j].mass.add(batch, m, j == i ? 1.0 : 0.0);
            figures[j].molten.add(batch, m, j == i ? molten : 0.0);
            figures[j].evaporated.add(batch, m, j == i ? 1.0 - p.final.massFraction : 0.0);
        }
        if (!arrived(p)) continue;
        ++table[i].arrived;
        figures[i].velocity.add(batch, 1, p.final.velocity);
        figures[i].temperature.add(batch, 1, p.final.surfaceTemperature);
    }
    for (std::size_t i = 0; i < table.size(); ++i) {
        SizeClass& c = table[i];
        const std::vector<double> classMass = figures[i].mass.batchTotals();
        c.massShare = figures[i].mass.estimate();
        c.moltenShare = ratioOfTotals(figures[i].molten.batchTotals(), classMass);
        c.evaporatedShare = ratioOfTotals(figures[i].evaporated.batchTotals(), classMass);
        c.velocity = figures[i].velocity.estimate();
        c.surfaceTemperature = figures[i].temperature.estimate();
    }
    return table;
}

Estimate deviationAngleDeg(const SprayStatistics& s, const InjectionOptions& injection, double standoffMm) {
    const double side = injection.side < 0 ? -1.0 : 1.0;
    const double run = standoffMm - injection.distanceMm;
    if (s.arrived == 0 || !(run > 0)) return {};
    const MeanAndSpread& centre = s.radialPosition.byMass;
    // d(atan(y / run))/dy = run / (run^2 + y^2).
    const double perMm = run / (run * run + centre.mean * centre.mean) * 180.0 / kPi;
    return {std::atan2(-side * centre.mean, run) * 180.0 / kPi, centre.halfWidth95 * perMm};
}

} // namespace torvex::particles
