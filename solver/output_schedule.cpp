#include "solver/output_schedule.h"

#include <cmath>
#include <numeric>

namespace torvex {

namespace {

int stepsPer(double spacingMm, const JetStretch& stretch) {
    return static_cast<int>(std::lround(spacingMm / stretch.stepMm));
}

int axialRecordInterval(const JetStretch& stretch) { return stepsPer(kAxialRecordSpacingMm, stretch); }
int fieldRecordInterval(const JetStretch& stretch) { return stepsPer(stretch.fieldSpacingMm, stretch); }

// The jet steps of the five cross-sections, metric [0] and inch mode [1].
const std::array<std::array<int, kRadialPlanes>, 2>& radialPlaneSteps() {
    static const std::array<std::array<int, kRadialPlanes>, 2> steps = [] {
        std::array<std::array<int, kRadialPlanes>, 2> made{};
        for (int unit = 1; unit <= 2; ++unit) {
            const std::array<double, kRadialPlanes> distances = radialPlaneDistancesMm(unit);
            for (int k = 0; k < kRadialPlanes; ++k) made[unit - 1][k] = jetStepAtMm(distances[k]);
        }
        return made;
    }();
    return steps;
}

int fieldEndStep() {
    static const int step = jetStepAtMm(kFieldEndMm);
    return step;
}

} // namespace

const JetStretch& jetStretchAt(int jetStep) {
    std::size_t k = 0;
    while (k + 1 < kJetStretches.size() && kJetStretches[k + 1].firstStep <= jetStep) ++k;
    return kJetStretches[k];
}

int jetStepAtMm(double distanceMm) {
    std::size_t k = 0;
    while (k + 1 < kJetStretches.size() && kJetStretches[k + 1].startMm <= distanceMm + 1e-9) ++k;
    const JetStretch& stretch = kJetStretches[k];
    return stretch.firstStep + static_cast<int>(std::lround((distanceMm - stretch.startMm) / stretch.stepMm));
}

int jetStepCount(int lengthUnit) {
    static const int metric = jetStepAtMm(kJetEndMm), inch = jetStepAtMm(kJetEndInchModeMm);
    return lengthUnit == 2 ? inch : metric;
}

std::array<double, kRadialPlanes> radialPlaneDistancesMm(int lengthUnit) {
    if (lengthUnit != 2) return kRadialPlanesMm;
    std::array<double, kRadialPlanes> mm{};
    for (int k = 0; k < kRadialPlanes; ++k) mm[k] = kRadialPlanesInches[k] * 25.4;
    return mm;
}

// One record per millimetre of jet, whatever the step, and one at its end.
bool isAxialRecordStep(int stepIndex, int channelStepCount, int totalStepCount) {
    if (stepIndex < channelStepCount) return false;
    if (stepIndex == totalStepCount) return true;
    const int s = stepIndex - channelStepCount;
    const JetStretch& stretch = jetStretchAt(s);
    return (s - stretch.firstStep) % axialRecordInterval(stretch) == 0;
}

int radialPlaneAt(int jetStep, int lengthUnit) {
    const std::array<int, kRadialPlanes>& planes = radialPlaneSteps()[lengthUnit == 2 ? 1 : 0];
    for (int k = 0; k < kRadialPlanes; ++k)
        if (jetStep == planes[k]) return k;
    return -1;
}

bool isFieldRecordStep(int stepIndex, int channelStepCount) {
    const int s = stepIndex - channelStepCount;
    if (s < 0 || s > fieldEndStep()) return false;
    return stepIndex % fieldRecordInterval(jetStretchAt(s)) == 0;
}

int outputStationInterval(int jetStep) {
    const JetStretch& stretch = jetStretchAt(jetStep);
    return std::gcd(axialRecordInterval(stretch), fieldRecordInterval(stretch));
}

double jetStepDistanceMm(int jetStep) {
    // The stretch that ends at this step, so that a step where the step size
    // changes is reached by the smaller steps before it.
    std::size_t k = 0;
    while (k + 1 < kJetStretches.size() && kJetStretches[k + 1].firstStep < jetStep) ++k;
    const JetStretch& stretch = kJetStretches[k];
    return stretch.startMm + stretch.stepMm * (jetStep - stretch.firstStep);
}

std::vector<double> fieldRecordDistancesMm() {
    // Any channel step count that is a multiple of 100 gives the same schedule.
    constexpr int kChannelSteps = 100;
    std::vector<double> distances;
    for (int s = 0; s <= fieldEndStep(); ++s)
        if (isFieldRecordStep(kChannelSteps + s, kChannelSteps)) distances.push_back(jetStepDistanceMm(s));
    return distances;
}

} // namespace torvex
