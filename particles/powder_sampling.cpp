#include "particles/powder_sampling.h"

#include "particles/text_file.h"

#include <algorithm>
#include <cmath>

namespace torvex::particles {

namespace {

// SplitMix64 (Steele, Lea and Flood 2014): spreads seed and particle index
// over the whole state so neighbouring particles get unrelated streams.
std::uint64_t splitMix(std::uint64_t x) {
    x += 0x9E3779B97F4A7C15ull;
    x = (x ^ (x >> 30)) * 0xBF58476D1CE4E5B9ull;
    x = (x ^ (x >> 27)) * 0x94D049BB133111EBull;
    return x ^ (x >> 31);
}

constexpr double kNormalQuantile90 = 1.2815515655446004;
constexpr double kPi = 3.14159265358979323846;

} // namespace

ParticleRandom::ParticleRandom(std::uint64_t seed, std::uint64_t particle)
    : engine_(splitMix(splitMix(seed) ^ (particle * 0xD1B54A32D192ED03ull + 1))) {}

double ParticleRandom::uniform() { return static_cast<double>(engine_() >> 11) * 0x1.0p-53; }

double ParticleRandom::standardNormal() {
    const double u1 = 1.0 - uniform();  // in (0, 1], so the logarithm is finite
    const double u2 = uniform();
    return std::sqrt(-2.0 * std::log(u1)) * std::cos(2.0 * kPi * u2);
}

LogNormalSize fitLogNormal(double d10Um, double d50Um, double d90Um, SizeBasis basis) {
    LogNormalSize size;
    size.sigma = 0.5 * (std::log(d50Um / d10Um) + std::log(d90Um / d50Um)) / kNormalQuantile90;
    if (basis == SizeBasis::Volume) {
        size.medianUm = d50Um * std::exp(-3.0 * size.sigma * size.sigma);
        size.cutCentre = 3.0 * size.sigma;
    } else {
        size.medianUm = d50Um;
    }
    return size;
}

namespace {

double lowerTail(double x) { return 0.5 * std::erfc(-x / std::sqrt(2.0)); }
double upperTail(double x) { return 0.5 * std::erfc(x / std::sqrt(2.0)); }

// The probability of the standard normal distribution between lo and hi,
// from the side where erfc keeps its digits (the lower tail or the upper one).
double normalBetween(double lo, double hi) {
    return lo >= 0 ? upperTail(lo) - upperTail(hi) : lowerTail(hi) - lowerTail(lo);
}

} // namespace

double diameterAtCountShareUm(const LogNormalSize& size, double u) {
    if (size.sigma <= 0) return size.medianUm;
    const double a = size.cutCentre - 3.0, b = size.cutCentre + 3.0;
    const double all = normalBetween(a, b);
    double low = a, high = b;
    for (int k = 0; k < 64; ++k) {
        const double mid = 0.5 * (low + high);
        (normalBetween(a, mid) / all < u ? low : high) = mid;
    }
    return size.medianUm * std::exp(size.sigma * 0.5 * (low + high));
}

double drawDiameterUm(const LogNormalSize& size, ParticleRandom& random) {
    return diameterAtCountShareUm(size, random.uniform());
}

double meanCubedDiameterUm3(const LogNormalSize& size) {
    const double median3 = size.medianUm * size.medianUm * size.medianUm;
    if (size.sigma <= 0) return median3;
    // ln d = ln median + sigma z with z normal, cut to [a, b]: the mean of
    // exp(3 sigma z) there is exp(9 sigma^2 / 2) times the share of the cut
    // distribution shifted by 3 sigma.
    const double a = size.cutCentre - 3.0, b = size.cutCentre + 3.0, s3 = 3.0 * size.sigma;
    return median3 * std::exp(0.5 * s3 * s3) * normalBetween(a - s3, b - s3) / normalBetween(a, b);
}

namespace {

constexpr std::size_t kMaxSizeFileBytes = 1 << 20;
constexpr std::size_t kMaxSizeClasses = 1000;

// Share of the particle count in a class per unit of its volume share: the
// integral of d^-3 over ln d across the class, per unit of ln d.
double countPerVolume(const MeasuredClass& c) {
    const double lo = c.fromUm, hi = c.toUm;
    return (1.0 / (lo * lo * lo) - 1.0 / (hi * hi * hi)) / (3.0 * std::log(hi / lo));
}

std::vector<std::string> splitFields(const std::string& line) {
    std::vector<std::string> fields;
    std::size_t start = 0;
    for (;;) {
        const std::size_t comma = line.find_first_of(",;\t", start);
        fields.push_back(line.substr(start, comma == std::string::npos ? std::string::npos : comma - start));
        if (comma == std::string::npos) return fields;
        start = comma + 1;
    }
}

} // namespace

bool readSizeDistribution(const std::string& path, MeasuredSizes& sizes, std::string& error) {
    std::vector<std::string> lines;
    if (!readTextLines(path, kMaxSizeFileBytes, "The size distribution file", lines, error)) return false;
    const std::string what = "The size distribution file " + displayPath(path);
    MeasuredSizes read;
    bool headerAllowed = true;
    double total = 0;
    for (std::size_t k = 0; k < lines.size(); ++k) {
        const std::string& line = lines[k];
        const std::size_t first = line.find_first_not_of(" \t\r");
        if (first == std::string::npos || line[first] == '#') continue;
        const std::string place = what + ", line " + std::to_string(k + 1) + ": ";
        const std::vector<std::string> fields = splitFields(line);
        double from = 0, to = 0, percent = 0;
        const bool numbers = fields.size() == 3 && parseNumber(fields[0], from) && parseNumber(fields[1], to) &&
                             parseNumber(fields[2], percent);
        if (!numbers && headerAllowed && fields.size() == 3) {
            headerAllowed = false;  // a column header
            continue;
        }
        headerAllowed = false;
        if (!numbers) {
            error = place + "three numbers expected (from_um,to_um,volume_percent).";
            return false;
        }
        if (!(from > 0 && to > from && to <= 5000)) {
            error = place + "the class must run from a size above 0 to a larger one of at most 5000 um.";
            return false;
        }
        if (!read.classes.empty() && from < read.classes.back().toUm) {
            error = place + "the class overlaps the one before (classes in increasing order expected).";
            return false;
        }
        if (!(percent >= 0 && percent <= 100)) {
            error = place + "the volume percent must lie between 0 and 100.";
            return false;
        }
        if (read.classes.size() >= kMaxSizeClasses) {
            error = what + " holds more than 1000 size classes.";
            return false;
        }
        read.classes.push_back({from, to, percent});
        total += percent;
    }
    if (read.classes.empty()) {
        error = what + " holds no size class.";
        return false;
    }
    if (std::fabs(total - 100) > 5) {
        error = what + " has volume percentages adding up to " + formatFixed(total, 1) + ", not 100.";
        return false;
    }
    double count = 0;
    for (MeasuredClass& c : read.classes) {
        c.volumeShare /= total;
        count += c.volumeShare * countPerVolume(c);
        read.cumulativeCount.push_back(count);
    }
    for (double& share : read.cumulativeCount) share /= count;
    sizes = std::move(read);
    return true;
}

double diameterAtCountShareUm(const MeasuredSizes& sizes, double u, double within) {
    const auto at = std::upper_bound(sizes.cumulativeCount.begin(), sizes.cumulativeCount.end(), u);
    const std::size_t k = std::min<std::size_t>(static_cast<std::size_t>(at - sizes.cumulativeCount.begin()),
                                                sizes.classes.size() - 1);
    // Inverse of the count distribution d^-3 within the class.
    const double lo = sizes.classes[k].fromUm, hi = sizes.classes[k].toUm;
    const double a = 1.0 / (lo * lo * lo), b = 1.0 / (hi * hi * hi);
    return 1.0 / std::cbrt(a - within * (a - b));
}

double drawDiameterUm(const MeasuredSizes& sizes, ParticleRandom& random) {
    const double u = random.uniform();
    return diameterAtCountShareUm(sizes, u, random.uniform());
}

double meanCubedDiameterUm3(const MeasuredSizes& sizes) {
    // Within a class the count per unit of ln d goes as d^-3, so d^3 is
    // even over ln d there: its mean is ln(hi/lo) over the integral of d^-3.
    double mean = 0, below = 0;
    for (std::size_t k = 0; k < sizes.classes.size(); ++k) {
        const double lo = sizes.classes[k].fromUm, hi = sizes.classes[k].toUm;
        const double share = sizes.cumulativeCount[k] - below;
        below = sizes.cumulativeCount[k];
        mean += share * 3.0 * std::log(hi / lo) / (1.0 / (lo * lo * lo) - 1.0 / (hi * hi * hi));
    }
    return mean;
}

double volumeQuantileUm(const MeasuredSizes& sizes, double p) {
    double below = 0;
    for (const MeasuredClass& c : sizes.classes) {
        if (below + c.volumeShare >= p && c.volumeShare > 0) {
            const double w = (p - below) / c.volumeShare;  // volume even over ln d
            return c.fromUm * std::pow(c.toUm / c.fromUm, w);
        }
        below += c.volumeShare;
    }
    return sizes.classes.empty() ? 0 : sizes.classes.back().toUm;
}

BatchStrata::BatchStrata(std::uint64_t seed, int batch) : order_(kDraws) {
    // Streams of their own, beyond every particle's.
    constexpr std::uint64_t kBatchStreams = std::uint64_t{1} << 63;
    ParticleRandom random(seed, kBatchStreams + static_cast<std::uint64_t>(batch));
    for (std::vector<int>& order : order_) {
        order.resize(kBatchSize);
        for (int k = 0; k < kBatchSize; ++k) order[static_cast<std::size_t>(k)] = k;
        // Fisher-Yates shuffle.
        for (int k = kBatchSize - 1; k > 0; --k) {
            const int j = std::min(k, static_cast<int>(random.uniform() * (k + 1)));
            std::swap(order[static_cast<std::size_t>(k)], order[static_cast<std::size_t>(j)]);
        }
    }
}

double BatchStrata::at(int draw, int member, double within) const {
    return (order_[static_cast<std::size_t>(draw)][static_cast<std::size_t>(member)] + within) / kBatchSize;
}

} // namespace torvex::particles
