#include "solver/normalise.h"

#include <algorithm>

namespace torvex {

namespace {

constexpr int kNitrogen = 2;

int clampInt(int value, int lower, int upper) { return std::min(std::max(value, lower), upper); }

// Diameter class: the diameter to the nearest millimetre, 5..11.
int diameterClassOf(float d) {
    if (d < 5.5f) return 5;
    if (d < 6.5f) return 6;
    if (d < 7.5f) return 7;
    if (d < 8.5f) return 8;
    if (d < 9.5f) return 9;
    if (d < 10.5f) return 10;
    return 11;
}

int currentLowerBound(int g, int k) { return g <= 4 ? 50 * (k - 3) * (3 - g) : 100 * (k - 3); }

int currentUpperBound(int g, int k) {
    if (g <= 4) return 50 * ((k - 2) * (4 - g) + (k - 5) * (1 - g));
    if (g == 5) return 150 * (k - 2);
    if (g <= 7) return 150 * (k - 2) - 50 * (k - 5);
    if (g <= 9) return 150 * (k - 2) - 50 * (k - 4);
    return 150 * (k - 2) + 50;
}

int flowLowerBound(int g, int k, int f) {
    if (g <= 4) return 5 * (k + g - 2) * f + 5 * (f - 1) * (g - 1);
    if (g == 5) return 5 * ((k - 1) * f + f - 1);
    if (g <= 7) return 5 * (k * f + f - 1);
    if (g <= 9) return 5 * ((k + 1) * f + f - 1);
    return 5 * (k - 1) * f;
}

int flowUpperBound(int g, int k, int f) { return g <= 4 ? 10 * (k - g + 1) * f : 10 * k * f; }

bool inchMode(const SolverState& s) { return s.lengthUnit == 2; }

} // namespace

void normaliseDiameter(SolverState& s, float rawDiameter) {
    float d = inchMode(s) ? rawDiameter * s.mmPerInch : rawDiameter;
    const float upper = s.gasCode == kNitrogen ? 9.0f : 11.0f;
    if (d < 5.0f) d = 5.0f;
    if (d > upper) d = upper;
    // Formed in double from the float, so that 7.1 (stored just below) gives 70.
    int tenths = static_cast<int>(10.0 * static_cast<double>(d));
    if (tenths % 2 != 0) tenths += 1;
    s.diameterTenths = tenths;
    s.anodeDiameter = static_cast<float>(tenths) * 0.1f;
    s.diameterClass = diameterClassOf(s.anodeDiameter);
}

void normaliseLength(SolverState& s, float rawLength) {
    s.anodeLength = inchMode(s) ? rawLength * s.mmPerInch : rawLength;
    const int k = s.diameterClass;
    const int g = s.gasCode;
    const int lower = g <= 4 ? (k - 1) * (g + 1) : 2 * k - 2;
    const int upper = g <= 4 ? (k - 1) * (g + 3) : 5 * (k - 1);
    // The bounds are a few dozen mm, so clamping the float first keeps the
    // integer conversion defined for any value read.
    const float bounded = std::min(std::max(s.anodeLength, -1.0f), static_cast<float>(upper) + 1.0f);
    s.anodeLengthMm = clampInt(static_cast<int>(bounded), lower, upper);
    const int channel = s.anodeLengthMm % 2 != 0 ? s.anodeLengthMm + 1 : s.anodeLengthMm;
    s.channelLength = static_cast<float>(channel);
}

void normaliseCurrent(SolverState& s, int rawCurrent) {
    const int current = clampInt(rawCurrent, currentLowerBound(s.gasCode, s.diameterClass),
                                 currentUpperBound(s.gasCode, s.diameterClass));
    s.arcCurrent = current - current % 10;
}

void normaliseFlow(SolverState& s, int rawFlow) {
    const int f = s.flowUnit;
    const int flow = clampInt(rawFlow, flowLowerBound(s.gasCode, s.diameterClass, f),
                              flowUpperBound(s.gasCode, s.diameterClass, f));
    s.gasFlow = flow - flow % 5;
    s.gasFlowSlpm = f == 2 ? static_cast<float>(s.gasFlow) * s.slpmPerScfh : static_cast<float>(s.gasFlow);
}

void normaliseInputs(SolverState& s, const RawInputs& raw) {
    s.rawDiameter = raw.diameter;
    s.rawLength = raw.length;
    s.rawCurrent = raw.current;
    s.rawFlow = raw.flow;
    normaliseDiameter(s, raw.diameter);
    normaliseLength(s, raw.length);
    normaliseCurrent(s, raw.current);
    normaliseFlow(s, raw.flow);
}

void setUpGrid(SolverState& s) {
    s.axialStepMm = 0.02f;
    const float radialStepMm = 0.05f;
    s.axialStep = s.axialStepMm * 0.001f;
    s.radialStep = radialStepMm * 0.001f;
    s.radialNodeCount = std::min(s.diameterTenths + 1, kMaxNodes);
    s.jetNodeCount = std::min(s.radialNodeCount + 20, kMaxNodes);
    for (int i = 1; i <= s.radialNodeCount; ++i) {
        s.radius[i] = static_cast<float>(i - 1) * s.radialStep;
        s.simpsonWeight[i] = simpsonWeightAt(i, s.radialNodeCount);
    }
    s.channelStepCount = static_cast<int>(50.0f * s.channelLength);
    // The jet ends 200 mm, or 8 in, past the nozzle exit.
    s.totalStepCount = s.channelStepCount + (inchMode(s) ? 2316 : 2300);
    s.ambientVelocity = 0.2f;
}

float massFlowFigure(float coldDensity, float gasFlowSlpm) {
    const float massFlow = coldDensity * gasFlowSlpm / 60000.0f;  // kg/s
    const float scaled = massFlow * 3600.0f * 15.0f / 2.0f;
    // Bounded so that a table with absurd densities cannot overflow the conversion.
    int k = static_cast<int>(std::min(std::max(scaled, -1.0e9f), 1.0e9f));
    if (k % 2 != 0) k += 1;
    return 0.1f * static_cast<float>(k);
}

} // namespace torvex
