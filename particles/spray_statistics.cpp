#include "particles/spray_statistics.h"

#include <algorithm>
#include <cmath>
#include <string>

namespace torvex::particles {

namespace {

bool arrived(const ParticleResult& p) { return p.status == ParticleStatus::Arrived; }
double massAtPlane(const ParticleResult& p) { return p.initialMassKg * p.final.massFraction; }

// Mean and standard deviation of value over the arrived particles, by number
// and by mass.
template <typename Value>
WeightedMoments moments(const std::vector<ParticleResult>& particles, Value value) {
    double n = 0, sum = 0, sumSq = 0, m = 0, msum = 0, msumSq = 0;
    for (const ParticleResult& p : particles) {
        if (!arrived(p)) continue;
        const double v = value(p);
        const double w = massAtPlane(p);
        n += 1, sum += v, sumSq += v * v;
        m += w, msum += w * v, msumSq += w * v * v;
    }
    WeightedMoments r;
    if (n > 0) {
        r.byNumber.mean = sum / n;
        r.byNumber.spread = std::sqrt(std::max(0.0, sumSq / n - r.byNumber.mean * r.byNumber.mean));
    }
    if (m > 0) {
        r.byMass.mean = msum / m;
        r.byMass.spread = std::sqrt(std::max(0.0, msumSq / m - r.byMass.mean * r.byMass.mean));
    }
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

SprayStatistics computeStatistics(const std::vector<ParticleResult>& particles) {
    SprayStatistics s;
    double injectedMass = 0, arrivedMass = 0, moltenMass = 0, spot = 0, spotSq = 0, spotX = 0, spotXSq = 0;
    double evaporatedMass = 0;
    for (const ParticleResult& p : particles) {
        ++s.total;
        injectedMass += p.initialMassKg;
        evaporatedMass += p.initialMassKg * (1.0 - p.final.massFraction);
        switch (p.status) {
        case ParticleStatus::Arrived: ++s.arrived; break;
        case ParticleStatus::Evaporated: ++s.evaporated; break;
        case ParticleStatus::FieldEnded: ++s.fieldEnded, ++s.missed; break;
        case ParticleStatus::MissedSide: ++s.missedSide, ++s.missed; break;
        case ParticleStatus::MissedUpstream: ++s.missedUpstream, ++s.missed; break;
        case ParticleStatus::TimedOut: ++s.timedOut, ++s.missed; break;
        }
        if (!arrived(p)) continue;
        if (p.final.moltenFraction >= kFullyMolten) ++s.fullyMolten;
        else if (p.final.moltenFraction > 0) ++s.partlyMolten;
        else ++s.solid;
        const double mass = massAtPlane(p);
        const double molten = mass * p.final.moltenFraction;
        arrivedMass += mass;
        moltenMass += molten;
        spot += molten * p.final.radialMm;
        spotSq += molten * p.final.radialMm * p.final.radialMm;
        spotX += molten * p.final.outOfPlaneMm;
        spotXSq += molten * p.final.outOfPlaneMm * p.final.outOfPlaneMm;
    }
    s.velocity = moments(particles, [](const ParticleResult& p) { return p.final.velocity; });
    s.surfaceTemperature = moments(particles, [](const ParticleResult& p) { return p.final.surfaceTemperature; });
    s.meanTemperature = moments(particles, [](const ParticleResult& p) { return p.final.meanTemperature; });
    s.moltenFraction = moments(particles, [](const ParticleResult& p) { return p.final.moltenFraction; });
    s.radialPosition = moments(particles, [](const ParticleResult& p) { return p.final.radialMm; });
    s.flightTime = moments(particles, [](const ParticleResult& p) { return p.final.timeMs; });
    s.outOfPlanePosition = moments(particles, [](const ParticleResult& p) { return p.final.outOfPlaneMm; });
    if (moltenMass > 0) {
        s.spotCentreMm = spot / moltenMass;
        s.spotSpreadMm = std::sqrt(std::max(0.0, spotSq / moltenMass - s.spotCentreMm * s.spotCentreMm));
        s.spotCentreOutOfPlaneMm = spotX / moltenMass;
        s.spotSpreadOutOfPlaneMm =
            std::sqrt(std::max(0.0, spotXSq / moltenMass - s.spotCentreOutOfPlaneMm * s.spotCentreOutOfPlaneMm));
    }
    if (injectedMass > 0) {
        s.moltenMassShare = moltenMass / injectedMass;
        s.depositedMassShare = arrivedMass / injectedMass;
        s.evaporatedMassShare = evaporatedMass / injectedMass;
    }
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
