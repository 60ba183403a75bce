// The jet's step schedule and what the result files record along it, in one
// place: the axial step grows from 0.02 mm to 0.05, 0.1 and 0.2 mm at 10, 50
// and 100 mm past the nozzle exit; the jet ends at 200 mm (8 in in inch
// mode); ilt.res and ztu0.res get one record per millimetre, ftu.res one
// every 0.5 mm to 10 mm, every 1 mm to 50 mm and every 2 mm beyond (to
// 200 mm in either unit); the five radial cross-sections lie at 0, 5, 20, 50
// and 100 mm, or 0, 0.2, 1, 2 and 4 in. Every step count below follows from
// these distances.
#pragma once

#include <array>
#include <cstddef>
#include <vector>

namespace torvex {

// A stretch of the jet marched with one axial step.
struct JetStretch {
    int firstStep;          // jet steps past the nozzle exit where it begins
    double startMm;         // its distance from the nozzle exit
    double stepMm;          // the axial step
    float stepMmFloat;      // the same step as the march takes it
    double fieldSpacingMm;  // between the records of ftu.res
};

constexpr std::array<JetStretch, 4> kJetStretches = {{
    {0, 0.0, 0.02, 0.02f, 0.5},
    {500, 10.0, 0.05, 0.05f, 1.0},
    {1300, 50.0, 0.1, 0.1f, 2.0},
    {1800, 100.0, 0.2, 0.2f, 2.0},
}};

constexpr double kAxialRecordSpacingMm = 1.0;  // ilt.res and ztu0.res
constexpr double kJetEndMm = 200.0;
constexpr double kJetEndInchModeMm = 8 * 25.4;
constexpr double kFieldEndMm = 200.0;  // the last record of ftu.res, in either unit
constexpr int kRadialPlanes = 5;
constexpr std::array<double, kRadialPlanes> kRadialPlanesMm = {0.0, 5.0, 20.0, 50.0, 100.0};
constexpr std::array<double, kRadialPlanes> kRadialPlanesInches = {0.0, 0.2, 1.0, 2.0, 4.0};

// The stretch a jet step belongs to: the last one that begins at or before it.
const JetStretch& jetStretchAt(int jetStep);

// The jet step that reaches a distance past the nozzle exit (mm).
int jetStepAtMm(double distanceMm);

// The jet steps of a run in the given length unit (1 mm, 2 inches).
int jetStepCount(int lengthUnit);

// The distances (mm past the nozzle exit) of the five radial cross-sections
// in the given length unit.
std::array<double, kRadialPlanes> radialPlaneDistancesMm(int lengthUnit);

// True at the steps that get a line in ilt.res and ztu0.res.
bool isAxialRecordStep(int stepIndex, int channelStepCount, int totalStepCount);

// The radial plane (0..4 for rtu0 ... rtu100) written at this jet step, or -1.
int radialPlaneAt(int jetStep, int lengthUnit);

// True at the steps that get a record in ftu.res. The channel's step count is
// a multiple of 100 (50 steps per mm of an even channel length).
bool isFieldRecordStep(int stepIndex, int channelStepCount);

// The steps between the jet march's returns to the station loop: every step
// at which a record of ilt.res, ztu0.res or ftu.res may fall.
int outputStationInterval(int jetStep);

// Distance past the nozzle exit (mm) that a jet step reaches.
double jetStepDistanceMm(int jetStep);

// The distances past the nozzle exit (mm) of the records of ftu.res, in file
// order (the file does not hold them).
std::vector<double> fieldRecordDistancesMm();

// Distance (mm past the nozzle exit) of field record k = 0..135: every 0.5 mm
// to 10 mm, every 1 mm to 50 mm, every 2 mm to 200 mm (also in inch mode).
// Inline: the particles' flight looks it up at every step.
inline double fieldRecordDistanceMm(int record) {
    int first = 0;
    for (std::size_t k = 0; k < kJetStretches.size(); ++k) {
        const JetStretch& stretch = kJetStretches[k];
        const bool lastStretch = k + 1 == kJetStretches.size();
        const double end = lastStretch ? kFieldEndMm : kJetStretches[k + 1].startMm;
        const int last = first + static_cast<int>((end - stretch.startMm) / stretch.fieldSpacingMm + 0.5);
        if (record <= last || lastStretch) return stretch.startMm + stretch.fieldSpacingMm * (record - first);
        first = last;
    }
    return 0;
}

} // namespace torvex
