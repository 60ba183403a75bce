#include "particles/sampling.h"

#include "particles/text_file.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace torvex::particles {

namespace {

// Student's t, 97.5 % quantile, for 1 to 30 degrees of freedom.
constexpr std::array<double, 30> kStudent975 = {
    12.7062, 4.3027, 3.1824, 2.7764, 2.5706, 2.4469, 2.3646, 2.3060, 2.2622, 2.2281,
    2.2010,  2.1788, 2.1604, 2.1448, 2.1314, 2.1199, 2.1098, 2.1009, 2.0930, 2.0860,
    2.0796,  2.0739, 2.0687, 2.0639, 2.0595, 2.0555, 2.0518, 2.0484, 2.0452, 2.0423};
constexpr double kNormal975 = 1.959963984540054;

std::string pointsText(double points) {
    return formatFixed(points, points == std::floor(points) ? 0 : 1) + (points == 1 ? " point" : " points");
}

} // namespace

// var = K / (K - 1) * sum_b (Y_b - R X_b)^2 / (sum_b X_b)^2 over the K batches.
Estimate ratioOfTotals(const std::vector<double>& numerators, const std::vector<double>& denominators) {
    Estimate e;
    double y = 0, x = 0;
    for (std::size_t b = 0; b < numerators.size(); ++b) y += numerators[b], x += denominators[b];
    if (!(x > 0)) return e;
    e.value = y / x;
    const std::size_t batches = numerators.size();
    if (batches < 2) return e;
    double scatter = 0;
    for (std::size_t b = 0; b < batches; ++b) {
        const double residual = numerators[b] - e.value * denominators[b];
        scatter += residual * residual;
    }
    const double variance = static_cast<double>(batches) / static_cast<double>(batches - 1) * scatter / (x * x);
    e.halfWidth95 = studentQuantile975(static_cast<int>(batches) - 1) * std::sqrt(variance);
    return e;
}

bool hasInterval(const Estimate& e) { return std::isfinite(e.halfWidth95); }

std::string withInterval(const Estimate& e, int decimals, double scale, const char* sign) {
    return formatFixed(e.value * scale, decimals) + sign +
           (hasInterval(e) ? formatFixed(e.halfWidth95 * scale, decimals) : std::string("n/a"));
}

std::string halfWidthField(const Estimate& e, int decimals) {
    return hasInterval(e) ? formatFixed(e.halfWidth95, decimals) : std::string();
}

double studentQuantile975(int dof) {
    if (dof < 1) return std::numeric_limits<double>::quiet_NaN();
    if (dof <= static_cast<int>(kStudent975.size())) return kStudent975[static_cast<std::size_t>(dof - 1)];
    const double z = kNormal975, z2 = z * z, n = dof;
    const double g1 = (z2 + 1) * z / 4;
    const double g2 = ((5 * z2 + 16) * z2 + 3) * z / 96;
    const double g3 = (((3 * z2 + 19) * z2 + 17) * z2 - 15) * z / 384;
    return z + g1 / n + g2 / (n * n) + g3 / (n * n * n);
}

BatchedRatio::BatchedRatio(int batches)
    : numerator_(static_cast<std::size_t>(std::max(batches, 1)), 0.0),
      denominator_(static_cast<std::size_t>(std::max(batches, 1)), 0.0) {}

void BatchedRatio::add(int batch, double weight, double value) {
    const std::size_t b = static_cast<std::size_t>(batch);
    numerator_[b] += weight * value;
    denominator_[b] += weight;
}

Estimate BatchedRatio::estimate() const { return ratioOfTotals(numerator_, denominator_); }

MassShare::MassShare(int batches, double meanMassKg)
    : meanMass_(meanMassKg), batches_(static_cast<std::size_t>(std::max(batches, 1))) {}

void MassShare::add(int batch, double massKg, double part) {
    // Masses over the known mean keep the sums of squares near 1.
    const double x = meanMass_ > 0 ? massKg / meanMass_ : massKg, y = x * part;
    Totals& t = batches_[static_cast<std::size_t>(batch)];
    t.count += 1, t.mass += x, t.share += y;
    n_ += 1, sumX_ += x, sumY_ += y, sumXX_ += x * x, sumXY_ += x * y;
}

std::vector<double> MassShare::batchTotals() const {
    std::vector<double> totals;
    if (!(meanMass_ > 0)) {
        for (const Totals& t : batches_) totals.push_back(t.share);
        return totals;
    }
    // The slope of m g on m over the whole sample (0 when every particle
    // weighs the same), then per batch the totals of m g less the slope
    // times the excess of m over the known mean.
    const double sxx = n_ > 0 ? sumXX_ - sumX_ * sumX_ / n_ : 0;
    const double sxy = n_ > 0 ? sumXY_ - sumX_ * sumY_ / n_ : 0;
    const double slope = sxx > 1e-12 * n_ ? sxy / sxx : 0;
    for (const Totals& t : batches_) totals.push_back(t.share - slope * (t.mass - t.count));
    return totals;
}

Estimate MassShare::estimate() const {
    std::vector<double> whole;
    for (const Totals& t : batches_) whole.push_back(meanMass_ > 0 ? t.count : t.mass);
    return ratioOfTotals(batchTotals(), whole);
}

std::string countSentence(const SamplingFacts& f) {
    const std::string flown = std::to_string(f.flown) + (f.flown == 1 ? " particle" : " particles");
    switch (f.rule) {
    case CountRule::Fixed: return flown + ", a fixed count";
    case CountRule::Precision:
        return flown + ", added until the molten and arriving mass shares were known to +-" +
               pointsText(f.precisionPoints) + " (95 %)";
    case CountRule::Cap:
        return flown + ", the most the precision rule adds here: the molten and arriving mass shares are known to +-" +
               formatFixed(f.reachedPoints, 1) + " points, not +-" + pointsText(f.precisionPoints);
    }
    return flown;
}

std::string samplingSentence(const SamplingFacts& f) {
    const int batches = batchesFor(f.flown);
    return "Latin hypercube in size and injection within batches of " + std::to_string(kBatchSize) +
           " particles (McKay, Beckman and Conover 1979); 95 % intervals from the spread of the " +
           (batches < 2 ? std::string("batches (one batch: too few for an interval)")
                        : std::to_string(batches) + " batches (Student's t)") +
           "; mass shares by regression on the powder's mean particle mass (Cochran 1977); the figures at the "
           "standoff +- the half-widths of their 95 % intervals";
}

} // namespace torvex::particles
