// Small pieces shared by the marches: relative changes that survive a
// vanishing reference, the whole-percent progress of a phase, and the node
// search of the wall-layer models.
#pragma once

#include "march.h"

#include <cmath>

namespace torvex {

// |change/reference| <= tolerance. A vanishing reference counts as converged
// only when nothing changed at all (otherwise the ratio is unbounded).
inline bool changeAtMost(float change, float reference, float tolerance)
{
    if (reference == 0.0f)
        return change == 0.0f;
    return std::fabs(change / reference) <= tolerance;
}

// |change/reference| < tolerance, with the same rule for a zero reference.
inline bool changeBelow(float change, float reference, float tolerance)
{
    if (reference == 0.0f)
        return change == 0.0f;
    return std::fabs(change / reference) < tolerance;
}

// Node of 1..last with the smallest distance(i); the later node wins a tie
// (the one nearer the wall).
template <typename Distance>
int nearestNode(int last, Distance distance)
{
    int best = 1;
    float bestDistance = distance(1);
    for (int i = 2; i <= last; ++i) {
        const float d = distance(i);
        if (d <= bestDistance) {
            best = i;
            bestDistance = d;
        }
    }
    return best;
}

// Whole percent of a phase after `done` of `total` steps.
inline int phasePercent(int done, int total)
{
    return static_cast<int>(static_cast<float>(done) / static_cast<float>(total) * 100.0f);
}

// Reports 5, 10, ..., 100 once each: when the step moved the whole percent
// onto a new multiple of five.
inline void reportPhaseProgress(const ProgressCallback& progress, int done, int total)
{
    if (total <= 0)
        return;
    const int before = phasePercent(done - 1, total);
    const int after = phasePercent(done, total);
    if (after != before && after % 5 == 0 && progress)
        progress(after);
}

} // namespace torvex
