// The size classes along the flight: how fast, how hot and how molten the
// particles of each class of the size-class table are at every distance from
// the nozzle, from the trajectories a spray keeps (trajectories.csv: the
// d10, d50 and d90 particles and a sample of the population, whose number
// the option "sampled-trajectories" sets).
//
// A trajectory belongs to the class of its initial diameter. At each
// distance the class's figures are means over its trajectories that reach
// that distance: velocity and surface temperature by number (as the
// size-class table's at the standoff), the molten share weighted by the
// mass each particle still has there.
#pragma once

#include "particles/particle_model.h"

#include <vector>

namespace torvex::particles {

struct ClassFlight {
    double lowerUm = 0, upperUm = 0;  // the class's bounds, as in sizeClasses()
    int trajectories = 0;             // kept trajectories in the class
    std::vector<double> distanceMm, velocity, surfaceTemperature, moltenShare;  // m/s, K, 0..1
};

// One entry per class of sizeClasses(outcome.particles, classes); a class
// without a kept trajectory has none and empty curves. Distances every
// `stepMm` from the injector's plane to the standoff.
std::vector<ClassFlight> flightBySizeClass(const SprayOutcome& outcome, int classes, double stepMm = 1);

}  // namespace torvex::particles
