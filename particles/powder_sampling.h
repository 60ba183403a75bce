// The particles of a powder: diameters from a log-normal size distribution
// and injection speeds and angles, drawn from a random stream of their own
// for every particle, so a particle is the same whatever thread computes it.
#pragma once

#include <cstdint>
#include <random>

namespace torvex::particles {

// The standard fixes mt19937_64's sequence; the transforms below are ours
// (the standard distributions differ between library implementations).
class ParticleRandom {
public:
    ParticleRandom(std::uint64_t seed, std::uint64_t particle);
    double uniform();        // in [0, 1)
    double standardNormal(); // Box-Muller

private:
    std::mt19937_64 engine_;
};

// Log-normal distribution of the diameter: ln d is normal with mean ln d50
// and standard deviation sigma.
struct LogNormalSize {
    double medianUm = 40;
    double sigma = 0;  // 0: every particle has the median size
};

// Fits the log-normal to d10/d50/d90: the median is d50 and sigma the mean of
// the two half-widths ln(d50/d10) and ln(d90/d50) over the 90 % quantile of
// the normal distribution, 1.2816 (a skewed triple is matched on average).
LogNormalSize fitLogNormal(double d10Um, double d50Um, double d90Um);

// A diameter drawn from the distribution, cut at three standard deviations
// (a drawn value beyond is drawn again) so that no particle is absurdly
// small or large.
double drawDiameterUm(const LogNormalSize& size, ParticleRandom& random);

} // namespace torvex::particles
