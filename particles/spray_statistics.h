// What the substrate sees: means and spreads of the particles that arrived,
// number- and mass-weighted, the shares of molten, evaporated and missing
// particles, the deposition spot, and histograms for the charts.
#pragma once

#include "particles/particle_model.h"

#include <string>
#include <vector>

namespace torvex::particles {

struct MeanAndSpread {
    double mean = 0;
    double spread = 0;  // standard deviation
};

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
    double spotCentreMm = 0;
    double spotSpreadMm = 0;
    double spotCentreOutOfPlaneMm = 0;
    double spotSpreadOutOfPlaneMm = 0;
    double moltenMassShare = 0;  // molten mass arriving / mass injected
    double depositedMassShare = 0;  // mass arriving / mass injected
    double evaporatedMassShare = 0; // mass lost to vapour by every particle / mass injected
};

constexpr double kFullyMolten = 0.999;

SprayStatistics computeStatistics(const std::vector<ParticleResult>& particles);

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
