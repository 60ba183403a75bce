// The particles of a powder: diameters from a log-normal size distribution
// and injection speeds and angles, drawn from a random stream of their own
// for every particle, so a particle is the same whatever thread computes it.
#pragma once

#include "particles/particle_model.h"
#include "particles/sampling.h"

#include <cstdint>
#include <random>
#include <string>
#include <vector>

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

// Log-normal distribution of the particle count over the diameter: ln d is
// normal with mean ln(medianUm) and standard deviation sigma.
struct LogNormalSize {
    double medianUm = 40;  // count median diameter
    double sigma = 0;  // 0: every particle has the median size
    // The distribution is cut at three standard deviations around this many
    // standard deviations above the count median: 0 by number, 3 sigma by
    // volume (the cut then lies around the volume median, where the mass is).
    double cutCentre = 0;
};

// Fits the log-normal to d10/d50/d90: sigma is the mean of the two
// half-widths ln(d50/d10) and ln(d90/d50) over the 90 % quantile of the
// normal distribution, 1.2816 (a skewed triple is matched on average). By
// number the median is d50; by volume d50 is the volume median and the count
// median is d50 exp(-3 sigma^2) (Hatch and Choate 1929: the volume of a
// log-normal powder is log-normal with the same sigma, shifted by 3 sigma^2
// in ln d).
LogNormalSize fitLogNormal(double d10Um, double d50Um, double d90Um, SizeBasis basis = SizeBasis::Number);

// The diameter below which the share u (0..1) of the particle count lies,
// in the distribution cut at three standard deviations around the centre of
// the cut so that no particle is absurdly small or large (the inverse of the
// normal distribution function between the cuts).
double diameterAtCountShareUm(const LogNormalSize& size, double u);
// A diameter drawn by count from the distribution: one uniform number.
double drawDiameterUm(const LogNormalSize& size, ParticleRandom& random);
// The mean of d^3 over the particle count, um^3 (the mean particle mass over
// the density and pi/6).
double meanCubedDiameterUm3(const LogNormalSize& size);

// A measured size distribution: classes of diameter and the share of the
// powder's volume in each, as laser diffraction and sieve analyses report.
struct MeasuredClass {
    double fromUm = 0, toUm = 0;
    double volumeShare = 0;  // of the whole powder, the classes add up to 1
};

struct MeasuredSizes {
    std::vector<MeasuredClass> classes;
    std::vector<double> cumulativeCount;  // share of the particle count up to the end of each class
};

// Reads a size-distribution file: lines "from_um,to_um,volume_percent" (a
// header line and # comment lines allowed), classes in increasing order
// without overlap, percentages adding up to 100 within 5 (rescaled to 100).
// On a fault returns false with a sentence naming the file, the line and the
// fault, and leaves `sizes` as it was.
bool readSizeDistribution(const std::string& path, MeasuredSizes& sizes, std::string& error);

// Diameter of a particle drawn by count from the measured classes: the volume
// is taken as spread evenly over ln d within a class, so the count density
// there falls as d^-3. The share u of the count chooses the class, `within`
// (0..1) the place in it.
double diameterAtCountShareUm(const MeasuredSizes& sizes, double u, double within);
double drawDiameterUm(const MeasuredSizes& sizes, ParticleRandom& random);
double meanCubedDiameterUm3(const MeasuredSizes& sizes);

// Diameter below which the share p (0..1) of the volume lies.
double volumeQuantileUm(const MeasuredSizes& sizes, double p);

// Latin hypercube sampling of one batch of particles (McKay, Beckman and
// Conover 1979): for every draw of a particle (size, speed, direction) the
// batch's members take the kBatchSize equal strata of [0, 1) in an order of
// the batch's own random stream, and each its own uniform number within its
// stratum. Every member is then still drawn uniformly, so any part of a batch
// is an unbiased sample, and a whole batch covers every stratum once.
class BatchStrata {
public:
    static constexpr int kDraws = 4;  // size, speed, polar angle, azimuth
    BatchStrata(std::uint64_t seed, int batch);
    // The stratified number of `member` (0 to kBatchSize - 1) for `draw`,
    // from its uniform number `within` the stratum.
    double at(int draw, int member, double within) const;

private:
    std::vector<std::vector<int>> order_;
};

} // namespace torvex::particles
