// Step search with reversal and bisection for a root of a residual that is
// expensive to evaluate (each call evaluates the gas properties on the grid).
#pragma once

#include <cmath>

namespace torvex {

enum class RootSearchStatus {
    Found,
    StepLimitReached,       // no sign change within kMaxRootSearchSteps steps
    BisectionLimitReached,  // the bracket stopped shrinking before the tolerance
};

// Generous bounds: a full sweep of the temperature table takes about 120
// steps of 200 K and float bisection of a 200 K bracket stalls after about
// 20 halvings.
constexpr int kMaxRootSearchSteps = 2000;
constexpr int kMaxBisections = 200;

struct RootSearchResult {
    RootSearchStatus status = RootSearchStatus::Found;
    float root = 0.0f;
    int steps = 0;      // trial steps taken (accepted or reversed)
    int halvings = 0;   // bisections of the final bracket
};

// Starting from x with step `step`, walks while |residual| does not grow,
// reverses the step when it grows, and bisects once the residual changes
// sign. A residual within `tolerance` (or exactly 0) ends the search. The last
// accepted x and the step with its current sign are left in the caller's
// variables, so that a following search starts from there.
template <typename Residual>
RootSearchResult searchRoot(float& x, float& step, float tolerance, Residual residual) {
    RootSearchResult out;
    float f0 = residual(x);
    if (std::fabs(f0) <= tolerance) {
        out.root = x;
        return out;
    }
    for (int stepCount = 0; stepCount < kMaxRootSearchSteps; ++stepCount) {
        if (f0 == 0.0f) {
            out.root = x;
            return out;
        }
        const float x1 = x + step;
        const float f1 = residual(x1);
        ++out.steps;
        if (std::fabs(f1) <= tolerance) {
            out.root = x1;
            return out;
        }
        if (f0 * f1 < 0.0f) {
            // Sign change: bisect between the two points.
            float lo = f0 < 0.0f ? x : x1;
            float hi = f0 < 0.0f ? x1 : x;
            for (int halving = 0; halving < kMaxBisections; ++halving) {
                const float mid = (lo + hi) / 2.0f;
                const float f = residual(mid);
                ++out.halvings;
                if (std::fabs(f) <= tolerance || f == 0.0f) {
                    out.root = mid;
                    return out;
                }
                if (f > 0.0f) {
                    hi = mid;
                } else {
                    lo = mid;
                }
            }
            out.status = RootSearchStatus::BisectionLimitReached;
            return out;
        }
        if (f0 * f1 == 0.0f) {
            out.root = x1;
            return out;
        }
        if (f1 / f0 <= 1.0f) {
            x = x1;  // the residual did not grow: accept the step
            f0 = f1;
        } else {
            step = -step;  // moving away from the root: turn round
        }
    }
    out.status = RootSearchStatus::StepLimitReached;
    return out;
}

} // namespace torvex
