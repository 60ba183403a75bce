// How many particles a spray flies and how well they tell the powder's
// figures. A spray estimates shares and means of a whole powder from a finite
// sample of random particles; every such figure is an Estimate: the value and
// the half-width of its 95 % interval.
//
// The particles are drawn in batches of kBatchSize. Within a batch the size,
// the injection speed and the direction are Latin hypercube samples: each of
// the batch's kBatchSize equal strata of every draw holds exactly one particle
// (McKay, Beckman and Conover 1979), so a batch covers the size distribution
// evenly instead of by chance. The batches are independent and drawn alike,
// so the spread of their totals gives the interval (a ratio of totals over
// independent clusters, Cochran 1977, sections 6.4 and 9.2, with Student's t
// on the batches' degrees of freedom); particle i stays the same particle
// whatever the count, so a spray of N particles is the first N of a longer one.
#pragma once

#include <limits>
#include <string>
#include <vector>

namespace torvex::particles {

constexpr int kBatchSize = 100;            // particles of one stratified batch
constexpr int kFirstRound = 1000;          // particles flown before the precision is first judged
constexpr int kCountCap = 100000;          // the most particles the precision rule adds to a spray
constexpr int kTuneStepCap = 5000;         // and to each setting of a scan
constexpr double kDefaultPrecisionPoints = 1;  // the rule's target, percentage points (95 %)

// A figure from the sample and the half-width of its 95 % interval, in the
// figure's own unit (a share's as a fraction). The half-width is NaN where
// the sample cannot tell it: fewer than two batches, or nothing to average.
struct Estimate {
    double value = 0;
    double halfWidth95 = std::numeric_limits<double>::quiet_NaN();
};

bool hasInterval(const Estimate& estimate);

// "36.4 +- 0.9" (value and half-width times `scale`, `decimals` each), or
// "36.4 +- n/a" without an interval; `sign` between them (a page's "±").
std::string withInterval(const Estimate& estimate, int decimals, double scale = 1, const char* sign = " +- ");

// A file's field for the half-width: `decimals` of it, or empty where the
// sample cannot tell it.
std::string halfWidthField(const Estimate& estimate, int decimals);

// The 97.5 % quantile of Student's t distribution: exact to four decimals up
// to 30 degrees of freedom (a table), the Cornish-Fisher expansion above
// (Abramowitz and Stegun 1964, 26.7.5).
double studentQuantile975(int degreesOfFreedom);

// The batch of population particle `index`.
inline int batchOf(int index) { return index / kBatchSize; }
// Batches holding `count` particles (the last may be partly filled).
inline int batchesFor(int count) { return (count + kBatchSize - 1) / kBatchSize; }

// A ratio of sums over the particles (a mean, a share) gathered batch by
// batch: sum(weight * value) / sum(weight), with the interval from the
// batches' totals.
class BatchedRatio {
public:
    explicit BatchedRatio(int batches);
    void add(int batch, double weight, double value);
    Estimate estimate() const;

private:
    std::vector<double> numerator_, denominator_;
};

// The ratio of the summed numerators to the summed denominators of the
// batches, and its interval from the batches' scatter about it (the
// linearised variance of a ratio of totals over independent clusters).
Estimate ratioOfTotals(const std::vector<double>& numerators, const std::vector<double>& denominators);

// A share of the powder's mass, sum(m g) / sum(m) over the whole powder, from
// particles of initial mass m and a part g between 0 and 1 (molten and
// arriving, arriving, evaporated, of a size class). The powder's mean
// particle mass is known from its size distribution, so the share is the
// regression estimator on it (Cochran 1977, section 7.1): the mean of m g,
// corrected by the slope of m g on m times the sample's excess of mass over
// the known mean, over that mean. The heavy particles, rare by number but a
// large part of the mass, then no longer sway the share through the mass of
// the sample: a coarse particle that does not melt moves the molten share as
// little as a fine one that does. The estimator is linear in g, so the
// shares of parts (the size classes) add up to the share of their whole.
// Without a known mean (0) the ratio of the sample's sums.
class MassShare {
public:
    MassShare(int batches, double meanMassKg);
    void add(int batch, double massKg, double part);
    Estimate estimate() const;
    // The share's totals batch by batch (in the known mean's unit; of mass
    // without it), for a share of a share: ratioOfTotals of two of them.
    std::vector<double> batchTotals() const;

private:
    struct Totals {
        double count = 0, mass = 0, share = 0;  // masses over the mean mass
    };
    double meanMass_;
    std::vector<Totals> batches_;
    double n_ = 0, sumX_ = 0, sumY_ = 0, sumXX_ = 0, sumXY_ = 0;
};

// How the count of a spray came about.
enum class CountRule {
    Fixed,      // the count the user gave
    Precision,  // particles added until both main shares were known to the precision
    Cap,        // the precision rule stopped at its cap
};

// What a spray's sample was, for its summary and its files' headers.
struct SamplingFacts {
    CountRule rule = CountRule::Fixed;
    int flown = 0;                  // particles of the population
    double precisionPoints = 0;     // the rule's target, percentage points
    double reachedPoints = 0;       // the wider half-width of the two shares at the end, points
    int cap = kCountCap;            // the most particles the rule would add
    double meanInjectedMassKg = 0;  // the powder's mean particle mass, from its size distribution
};

// "1300 particles, added until the molten and arriving mass shares were
// known to +-1 point (95 %)", "1000 particles, a fixed count", "100000
// particles, the most the precision rule adds: the molten and arriving mass
// shares are known to +-1.3 points, not +-1 point".
std::string countSentence(const SamplingFacts& facts);
// The sampling method as the run used it, with its references.
std::string samplingSentence(const SamplingFacts& facts);

} // namespace torvex::particles
