#include "particles/spray_statistics.h"

#include <algorithm>
#include <cmath>
#include <string>

namespace torvex::particles {

namespace {

bool arrived(const ParticleResult& p) { return p.status == ParticleStatus::Arrived; }
double massAtPlane(const ParticleResult& p) { return p.initialMassKg * p.final.massFraction; }

// Mean, interval and standard deviation of value over the arrived
// particles, by number and by mass.
template <typename Value>
WeightedMoments moments(const std::vector<ParticleResult>& particles, int batches, Value value) {
    BatchedRatio byNumber(batches), byMass(batches);
    double n = 0, sumSq = 0, m = 0, msumSq = 0;
    for (const ParticleResult& p : particles) {
        if (!arrived(p)) continue;
        const double v = value(p);
        const double w = massAtPlane(p);
        byNumber.add(batchOf(p.index), 1, v);
        byMass.add(batchOf(p.index), w, v);
        n += 1, sumSq += v * v;
        m += w, msumSq += w * v * v;
    }
    WeightedMoments r;
    const auto meanAndSpread = [](const Estimate& mean, double weights, double sumSq) {
        MeanAndSpread out{mean.value, 0, mean.halfWidth95};
        if (weights > 0) out.spread = std::sqrt(std::max(0.0, sumSq / weights - mean.value * mean.value));
        return out;
    };
    r.byNumber = meanAndSpread(byNumber.estimate(), n, sumSq);
    r.byMass = meanAndSpread(byMass.estimate(), m, msumSq);
    return r;
}

double quantityOf(const ParticleResult& p, HistogramQuantity q) {
    switch (q) {
    case HistogramQuantity::Velocity: return p.final.velocity;
    case HistogramQuantity::SurfaceTemperature: return p.final.surfaceTemperature;
    case HistogramQuantity::MoltenFraction: return p.final.moltenFraction;
    case HistogramQuantity::RadialPosition: return p.final.radialMm;
    case HistogramQuantity::Diameter: return p.diameterUm;
    }
    return 0;
}

// A round step (1, 2 or 5 times a power of ten) at least `span`.
double roundStep(double span) {
    const double power = std::pow(10.0, std::floor(std::log10(span)));
    for (double f : {1.0, 2.0, 5.0, 10.0})
        if (f * power >= span) return f * power;
    return 10 * power;
}

} // namespace

std::string lossesByReason(const SprayStatistics& s) {
    return std::to_string(s.missedSide) + " beside the substrate, " + std::to_string(s.missedUpstream) +
           " upstream, " + std::to_string(s.timedOut) + " timeout" +
           (s.fieldEnded > 0 ? ", " + std::to_string(s.fieldEnded) + " at the end of the field" : "");
}

int batchCount(const std::vector<ParticleResult>& particles) {
    int highest = 0;
    for (const ParticleResult& p : particles) highest = std::max(highest, batchOf(p.index));
    return highest + 1;
}

SprayStatistics computeStatistics(const SprayOutcome& outcome) {
    return computeStatistics(outcome.particles, outcome.sampling.meanInjectedMassKg);
}

SprayStatistics computeStatistics(const std::vector<ParticleResult>& particles, double meanInjectedMassKg) {
    SprayStatistics s;
    const int batches = batchCount(particles);
    MassShare molten(batches, meanInjectedMassKg), deposited(batches, meanInjectedMassKg),
        evaporated(batches, meanInjectedMassKg);
    BatchedRatio spotY(batches), spotX(batches);
    double moltenMass = 0, spotSq = 0, spotXSq = 0;
    for (const ParticleResult& p : particles) {
        ++s.total;
        const int batch = batchOf(p.index);
        const bool here = arrived(p);
        const double kept = p.final.massFraction;
        molten.add(batch, p.initialMassKg, here ? kept * p.final.moltenFraction : 0.0);
        deposited.add(batch, p.initialMassKg, here ? kept : 0.0);
        evaporated.add(batch, p.initialMassKg, 1.0 - kept);
        switch (p.status) {
        case ParticleStatus::Arrived: ++s.arrived; break;
        case ParticleStatus::Evaporated: ++s.evaporated; break;
        case ParticleStatus::FieldEnded: ++s.fieldEnded, ++s.missed; break;
        case ParticleStatus::MissedSide: ++s.missedSide, ++s.missed; break;
        case ParticleStatus::MissedUpstream: ++s.missedUpstream, ++s.missed; break;
        case ParticleStatus::TimedOut: ++s.timedOut, ++s.missed; break;
        }
        if (!here) continue;
        if (p.final.moltenFraction >= kFullyMolten) ++s.fullyMolten;
        else if (p.final.moltenFraction > 0) ++s.partlyMolten;
        else ++s.solid;
        const double moltenHere = massAtPlane(p) * p.final.moltenFraction;
        moltenMass += moltenHere;
        spotY.add(batch, moltenHere, p.final.radialMm);
        spotX.add(batch, moltenHere, p.final.outOfPlaneMm);
        spotSq += moltenHere * p.final.radialMm * p.final.radialMm;
        spotXSq += moltenHere * p.final.outOfPlaneMm * p.final.outOfPlaneMm;
    }
    const auto of = [&](auto value) { return moments(particles, batches, value); };
    s.velocity = of([](const ParticleResult& p) { return p.final.velocity; });
    s.surfaceTemperature = of([](const ParticleResult& p) { return p.final.surfaceTemperature; });
    s.meanTemperature = of([](const ParticleResult& p) { return p.final.meanTemperature; });
    s.moltenFraction = of([](const ParticleResult& p) { return p.final.moltenFraction; });
    s.radialPosition = of([](const ParticleResult& p) { return p.final.radialMm; });
    s.flightTime = of([](const ParticleResult& p) { return p.final.timeMs; });
    s.outOfPlanePosition = of([](const ParticleResult& p) { return p.final.outOfPlaneMm; });
    s.spotCentreMm = spotY.estimate();
    s.spotCentreOutOfPlaneMm = spotX.estimate();
    if (moltenMass > 0) {
        const double y = s.spotCentreMm.value, x = s.spotCentreOutOfPlaneMm.value;
        s.spotSpreadMm = std::sqrt(std::max(0.0, spotSq / moltenMass - y * y));
        s.spotSpreadOutOfPlaneMm = std::sqrt(std::max(0.0, spotXSq / moltenMass - x * x));
    }
    s.moltenMassShare = molten.estimate();
    s.depositedMassShare = deposited.estimate();
    s.evaporatedMassShare = evaporated.estimate();
    return s;
}

Histogram histogramOf(const std::vector<ParticleResult>& particles, HistogramQuantity quantity, int bins) {
    Histogram h;
    bins = std::max(bins, 1);
    h.count.assign(static_cast<std::size_t>(bins), 0.0);
    h.mass.assign(static_cast<std::size_t>(bins), 0.0);
    double low = 0, high = 0, totalMass = 0;
    bool any = false;
    for (const ParticleResult& p : particles) {
        if (!arrived(p)) continue;
        const double v = quantityOf(p, quantity);
        low = any ? std::min(low, v) : v;
        high = any ? std::max(high, v) : v;
        any = true;
    }
    if (!any) {
        h.binWidth = 1;
        return h;
    }
    if (quantity == HistogramQuantity::MoltenFraction) {
        // The molten fraction has its own limits: the bins divide 0 to 1, and
        // the fully molten particles fall in the last bin, the one ending at 1.
        h.lower = 0;
        h.binWidth = 1.0 / bins;
    } else {
        h.binWidth = roundStep(std::max(high - low, 1e-9) / bins);
        h.lower = std::floor(low / h.binWidth) * h.binWidth;
        while (h.lower + h.binWidth * bins < high) h.binWidth = roundStep(h.binWidth * 1.01);
    }
    for (const ParticleResult& p : particles) {
        if (!arrived(p)) continue;
        const int k = std::clamp(static_cast<int>((quantityOf(p, quantity) - h.lower) / h.binWidth), 0, bins - 1);
        h.count[static_cast<std::size_t>(k)] += 1;
        h.mass[static_cast<std::size_t>(k)] += massAtPlane(p);
        totalMass += massAtPlane(p);
    }
    if (totalMass > 0)
        for (double& m : h.mass) m /= totalMass;
    return h;
}

} // namespace torvex::particles
