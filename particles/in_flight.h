// What an engineer compares with at the standoff: the reading of a virtual
// in-flight sensor, the results by size class and the deviation of the
// particle jet from the torch axis.
#pragma once

#include "particles/particle_model.h"
#include "particles/spray_statistics.h"

#include <vector>

namespace torvex::particles {

// The particles crossing the sensor's measurement volume, by number; each
// mean with its interval (the centre taken as it is).
struct SensorReading {
    double centreXMm = 0;  // across the injection plane
    double centreYMm = 0;  // in the injection plane
    double sizeMm = 0;
    int count = 0;
    MeanAndSpread velocity;            // m/s
    MeanAndSpread surfaceTemperature;  // K
    MeanAndSpread diameterUm;          // present diameter
};

// The arrived particles whose crossing of the substrate plane lies within the
// measurement volume (a circle of the sensor's size), centred where the
// options say or on the number-weighted mean position of the arrived ones.
SensorReading readSensor(const std::vector<ParticleResult>& particles, const SensorOptions& sensor);

// One class of initial diameters. Shares are of the class's injected mass
// except massShare, which is of the whole powder's; each figure with its
// interval (ratios over the batches).
struct SizeClass {
    double lowerUm = 0, upperUm = 0;
    int count = 0;    // injected
    int arrived = 0;
    Estimate massShare;
    Estimate velocity;            // m/s, mean of the arrived, by number
    Estimate surfaceTemperature;  // K, mean of the arrived, by number
    Estimate moltenShare;         // molten mass arriving
    Estimate evaporatedShare;     // mass lost to vapour
};

// `classes` classes of equal width in log d between the smallest and the
// largest diameter injected (one class when all are of one size), of a
// spray's population (its powder's mean particle mass for the shares).
std::vector<SizeClass> sizeClasses(const SprayOutcome& outcome, int classes);

// The particle jet's deviation, degrees: the angle between the torch axis and
// the line from the axis at the injector's plane to the centre of the
// arriving mass at the standoff, in the injection plane; positive when the
// particles end beyond the axis, away from the injector. Its interval is that
// of the centre carried through the angle (the delta method).
Estimate deviationAngleDeg(const SprayStatistics& statistics, const InjectionOptions& injection, double standoffMm);

} // namespace torvex::particles
