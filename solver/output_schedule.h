// When the station loop writes its records: the axial records of ilt.res and
// ztu0.res (one per millimetre of jet), the five radial cross-sections and
// the field records of ftu.res.
#pragma once

#include <vector>

namespace torvex {

// True at the steps that get a line in ilt.res and ztu0.res.
bool isAxialRecordStep(int stepIndex, int channelStepCount, int totalStepCount);

// The radial plane (0..4 for rtu0 ... rtu100) written at this jet step, or -1.
// Inch mode puts the planes at 0, 0.2, 1, 2 and 4 in.
int radialPlaneAt(int jetStep, int lengthUnit);

// True at the steps that get a record in ftu.res.
bool isFieldRecordStep(int stepIndex, int channelStepCount);

// Distance past the nozzle exit (mm) that a jet step reaches: steps of 0.02 mm
// to 10 mm, then 0.05 mm to 50 mm, 0.1 mm to 100 mm and 0.2 mm beyond.
double jetStepDistanceMm(int jetStep);

// The distances past the nozzle exit (mm) of the records of ftu.res, in file
// order (the file does not hold them).
std::vector<double> fieldRecordDistancesMm();

} // namespace torvex
