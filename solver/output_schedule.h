// When the station loop writes its records: the axial records of ilt.res and
// ztu0.res (one per millimetre of jet), the five radial cross-sections and
// the field records of ftu.res.
#pragma once

namespace torvex {

// True at the steps that get a line in ilt.res and ztu0.res.
bool isAxialRecordStep(int stepIndex, int channelStepCount, int totalStepCount);

// The radial plane (0..4 for rtu0 ... rtu100) written at this jet step, or -1.
// Inch mode puts the planes at 0, 0.2, 1, 2 and 4 in.
int radialPlaneAt(int jetStep, int lengthUnit);

// True at the steps that get a record in ftu.res.
bool isFieldRecordStep(int stepIndex, int channelStepCount);

} // namespace torvex
