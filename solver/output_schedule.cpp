#include "solver/output_schedule.h"

namespace torvex {

// The jet step grows from 0.02 mm to 0.05, 0.1 and 0.2 mm at jet steps 500,
// 1300 and 1800; the record interval shrinks with it so that there is one
// record per millimetre of jet.
bool isAxialRecordStep(int stepIndex, int channelStepCount, int totalStepCount) {
    if (stepIndex < channelStepCount) return false;
    if (stepIndex == totalStepCount) return true;
    const int s = stepIndex - channelStepCount;
    int interval = 5, base = 1800;
    if (s <= 500) interval = 50, base = 0;
    else if (s <= 1300) interval = 20, base = 500;
    else if (s <= 1800) interval = 10, base = 1300;
    return (s - base) % interval == 0;
}

int radialPlaneAt(int jetStep, int lengthUnit) {
    static const int metric[5] = {0, 250, 700, 1300, 1800};  // 0, 5, 20, 50, 100 mm
    static const int inch[5] = {0, 254, 808, 1308, 1808};    // 0, 0.2, 1, 2, 4 in
    const int* planes = lengthUnit == 2 ? inch : metric;
    for (int k = 0; k < 5; ++k)
        if (jetStep == planes[k]) return k;
    return -1;
}

// Every 0.5 mm up to 10 mm, every 1 mm up to 50 mm, every 2 mm up to 200 mm.
bool isFieldRecordStep(int stepIndex, int channelStepCount) {
    const int s = stepIndex - channelStepCount;
    if (s < 0 || s > 2300) return false;
    const int multiple = s <= 500 ? 25 : (s <= 1800 ? 20 : 10);
    return stepIndex % multiple == 0;
}

double jetStepDistanceMm(int jetStep) {
    if (jetStep <= 500) return 0.02 * jetStep;
    if (jetStep <= 1300) return 10.0 + 0.05 * (jetStep - 500);
    if (jetStep <= 1800) return 50.0 + 0.1 * (jetStep - 1300);
    return 100.0 + 0.2 * (jetStep - 1800);
}

std::vector<double> fieldRecordDistancesMm() {
    // The channel's step count is a multiple of 100 (50 steps per mm of an
    // even channel length), so any such count gives the same schedule.
    constexpr int kChannelSteps = 100;
    std::vector<double> distances;
    for (int s = 0; s <= 2300; ++s)
        if (isFieldRecordStep(kChannelSteps + s, kChannelSteps)) distances.push_back(jetStepDistanceMm(s));
    return distances;
}

} // namespace torvex
