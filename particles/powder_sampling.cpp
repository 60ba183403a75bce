#include "particles/powder_sampling.h"

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

LogNormalSize fitLogNormal(double d10Um, double d50Um, double d90Um) {
    LogNormalSize size;
    size.medianUm = d50Um;
    size.sigma = 0.5 * (std::log(d50Um / d10Um) + std::log(d90Um / d50Um)) / kNormalQuantile90;
    return size;
}

double drawDiameterUm(const LogNormalSize& size, ParticleRandom& random) {
    if (size.sigma <= 0) return size.medianUm;
    double z = random.standardNormal();
    for (int tries = 0; std::fabs(z) > 3.0 && tries < 64; ++tries) z = random.standardNormal();
    if (std::fabs(z) > 3.0) z = 0;  // practically never: 64 draws beyond 3 sigma
    return size.medianUm * std::exp(size.sigma * z);
}

} // namespace torvex::particles
