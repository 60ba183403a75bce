#include "solver/isotherms.h"

namespace torvex {

namespace {

// Kelvin to the user's unit, with the offset 273 (not 273.15).
float toUserUnit(float kelvin, int unit) {
    if (unit == 2) return (kelvin - 273.0f) * 1.8f + 32.0f;
    if (unit == 3) return kelvin - 273.0f;
    return kelvin;
}

// Radius in mm where the level crosses the pair (i, i+1), searched from the
// outer edge inward; the match nearest the axis wins. False if none.
bool crossingRadius(const SolverState& s, const NodeArray& t, float level, int n, float& radiusMm) {
    bool found = false;
    for (int i = n - 1; i >= 1; --i) {
        const float ti = t[i];
        const float tn = t[i + 1];
        const bool rising = ti < tn && ti <= level && level <= tn;
        const bool falling = ti > tn && ti >= level && level >= tn;
        if (rising || falling) {
            radiusMm = 1000.0f * (s.radius[i] + (ti - level) * (s.radius[i + 1] - s.radius[i]) / (ti - tn));
            found = true;
        } else if (ti == tn && ti == level) {
            radiusMm = 1000.0f * s.radius[i];
            found = true;
        }
    }
    return found;
}

} // namespace

float isothermLevel(int k, int temperatureUnit) {
    const int index = 2 * k;  // 2, 4, 6, 8, 10
    return temperatureUnit == 2 ? 1000.0f * static_cast<float>(2 * index - 1) : 1000.0f * static_cast<float>(index);
}

double isothermLevelKelvin(int k, int temperatureUnit) {
    const double level = isothermLevel(k, temperatureUnit);
    if (temperatureUnit == 2) return (level - 32.0) / 1.8 + 273.0;
    if (temperatureUnit == 3) return level + 273.0;
    return level;
}

void searchIsotherms(SolverState& s) {
    const int n = s.radialNodeCount < kMaxNodes ? s.radialNodeCount : kMaxNodes;
    const int unit = s.temperatureUnit;

    // The search runs on a converted copy: a round trip through degC or degF
    // in float would move the stored kelvin by a rounding error at every
    // record, and the march would then differ with the unit chosen.
    NodeArray t{};
    for (int i = 1; i <= n; ++i) t[i] = toUserUnit(s.temperaturePair[1][i], unit);
    float hottest = t[1];
    for (int i = 1; i <= n; ++i)
        if (t[i] >= hottest) hottest = t[i];

    for (int k = 1; k <= 5; ++k) {
        const float level = isothermLevel(k, unit);
        float radius = 0;
        if (crossingRadius(s, t, level, n, radius)) s.isothermRadius[k] = radius;
        if (level > hottest) s.isothermRadius[k] = 0.0f;
    }
}

} // namespace torvex
