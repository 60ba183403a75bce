// What the substrate sees: means and spreads of the particles that arrived,
// number- and mass-weighted, the shares of molten, evaporated and missing
// particles, the deposition spot, and histograms for the charts. Every mean
// and share is an estimate of the powder's from the particles flown and
// carries its 95 % interval (particles/sampling.h).
#pragma once

#include "particles/particle_model.h"
#include "particles/sampling.h"

#include <limits>

#include <string>
#include <vector>

namespace torvex::particles {

struct MeanAndSpread {
    double mean = 0;
    double spread = 0;  // standard deviation of the particles
    double halfWidth95 = std::numeric_limits<double>::quiet_NaN();  // of the mean's 95 % interval
};

// The mean with its interval.
inline Estimate meanOf(const MeanAndSpread& m) { return {m.mean, m.halfWidth95}; }

struct WeightedMoments {
    MeanAndSpread byNumber;
    MeanAndSpread byMass;  // weighted by the particle's mass at the plane
};

struct SprayStatistics {
    int total = 0;
    int arrived = 0;
    int evaporated = 0;
    int missed = 0;       // did not reach the plane: the four below, so arrived + evaporated + missed = total
    int missedSide = 0;   // crossed the substrate plane beside the substrate
    int missedUpstream = 0;
    int timedOut = 0;     // still in flight after the longest flight time
    int fieldEnded = 0;   // reached the end of a field shorter than the standoff
    int fullyMolten = 0;  // arrived with molten fraction >= kFullyMolten
    int partlyMolten = 0; // arrived with some melt but not fully molten
    int solid = 0;        // arrived without melt
    WeightedMoments velocity;            // m/s
    WeightedMoments surfaceTemperature;  // K
    WeightedMoments meanTemperature;     // K
    WeightedMoments moltenFraction;
    WeightedMoments radialPosition;      // mm, signed
    WeightedMoments flightTime;          // ms
    WeightedMoments outOfPlanePosition;  // mm, across the injection plane
    // Deposition spot: centre and spread (mm) of where the molten mass lands,
    // in the injection plane (y) and across it (x).
    Estimate spotCentreMm;
    double spotSpreadMm = 0;
    Estimate spotCentreOutOfPlaneMm;
    double spotSpreadOutOfPlaneMm = 0;
    // Shares of the powder's mass (MassShare: regression on the powder's
    // mean particle mass where it is known).
    Estimate moltenMassShare;      // molten mass arriving / mass injected
    Estimate depositedMassShare;   // mass arriving / mass injected
    Estimate evaporatedMassShare;  // mass lost to vapour by every particle / mass injected
};

constexpr double kFullyMolten = 0.999;

// The statistics of a population (particles in population order, their
// batches from their indices); `meanInjectedMassKg` is the powder's mean
// particle mass (0 where it is not known: the shares are then the sample's
// ratios).
SprayStatistics computeStatistics(const std::vector<ParticleResult>& particles, double meanInjectedMassKg);
// Those of a spray, with its powder's mean particle mass.
SprayStatistics computeStatistics(const SprayOutcome& outcome);

// The stratified batches the population's particles belong to (one more
// than the highest batch of an index).
int batchCount(const std::vector<ParticleResult>& particles);

// The particles lost, by reason, as every front end shows them:
// "2 beside the substrate, 0 upstream, 1 timeout".
std::string lossesByReason(const SprayStatistics& statistics);

struct Histogram {
    double lower = 0;
    double binWidth = 0;
    std::vector<double> count;  // particles per bin (number-weighted)
    std::vector<double> mass;   // mass fraction per bin (sums to 1 over the arrived particles)
};

// What a histogram shows.
enum class HistogramQuantity { Velocity, SurfaceTemperature, MoltenFraction, RadialPosition, Diameter };

// Histogram of the arrived particles with `bins` bins over a range chosen to
// hold them all (round limits).
Histogram histogramOf(const std::vector<ParticleResult>& particles, HistogramQuantity quantity, int bins);

} // namespace torvex::particles
