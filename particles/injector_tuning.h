// Tuning the injector: the same spray at a series of carrier-gas flows (or
// fixed injection speeds), and the setting that meets the user's goal.
#pragma once

#include "particles/particle_model.h"
#include "particles/sampling.h"

#include <string>
#include <vector>

namespace torvex::particles {

enum class TuneScan { CarrierFlow, InjectionSpeed };
enum class TuneGoal {
    // The particle jet deviated from the torch axis by the target angle; about
    // 3.5 to 4 deg is the usual advice (M. Vardelle, A. Vardelle and Fauchais 1993).
    Deviation,
    Molten,     // the most molten mass arriving at the standoff
};

struct TuneOptions {
    TuneScan scan = TuneScan::CarrierFlow;
    double from = 1;   // SLPM or m/s
    double to = 8;
    int steps = 15;    // settings from `from` to `to`, both included
    TuneGoal goal = TuneGoal::Deviation;
    double targetDeg = 3.5;
};

// What the spray gives at one setting, at the standoff, each figure with its
// 95 % interval.
struct TuneStep {
    double setting = 0;          // SLPM or m/s
    Estimate deviationDeg;
    Estimate moltenMassShare;    // of the injected mass
    Estimate arrivingMassShare;
    Estimate velocity;            // m/s, mean of the arrived, by number
    Estimate surfaceTemperature;  // K, mean of the arrived, by number
    int arrived = 0;
    int particles = 0;            // flown (the spray's count rule at every setting)
};

// A setting that brings less than this share of the injected mass to the
// substrate is marked: its deviation and molten share describe a spray
// whose powder is largely lost.
constexpr double kLowArrivingMassShare = 0.9;
bool arrivesShort(const TuneStep& step);

struct TuneOutcome {
    SprayResult result = SprayResult::Completed;
    std::string message;   // when result != Completed
    std::vector<TuneStep> steps;
    int chosen = -1;       // the step that meets the goal best
    std::vector<int> indistinct;  // the steps the sample cannot tell from the chosen one (tellApart)
};

// The step that meets the goal best among those with particles arriving:
// the deviation nearest the target, or the most molten mass; the first of
// equals. -1 when no step has any.
int chooseSetting(const std::vector<TuneStep>& steps, const TuneOptions& tune);

// The other steps with particles arriving that the intervals cannot tell
// from the chosen one for the goal: whose distance from the target deviation
// (or whose molten mass) lies within the reach of both intervals of the
// chosen one's. Empty when the chosen step stands apart.
std::vector<int> tellApart(const std::vector<TuneStep>& steps, const TuneOptions& tune, int chosen);

// "2.50 and 3.00 SLPM cannot be told apart at this count (deviation 3.42 +-
// 0.35 and 3.61 +- 0.38 deg)": the chosen step and those tellApart names, in
// the order of the scan; "" when there are none.
std::string indistinctSentence(const TuneOptions& tune, const TuneOutcome& outcome);

// Range check of the scan; empty when it is sound.
std::string checkTuneOptions(const TuneOptions& tune);

// Runs the spray of `base` at every setting (each spray on base.threads
// threads, 0: every core); progress is over the whole scan.
TuneOutcome tuneInjection(const JetField& field, const Material& material, const SprayOptions& base,
                          const TuneOptions& tune, const SprayProgress& progress);

const char* tuneUnit(TuneScan scan);  // "SLPM" or "m/s"

// The scan as a CSV table (tune.csv): one row per setting, the chosen one
// marked 1 in the column "chosen", a setting whose arriving mass is under
// 90 % marked 1 in "arriving_under_90_percent"; after the columns of earlier
// versions the half-widths of the 95 % intervals (empty where the sample
// cannot tell), the particles flown and "cannot_be_told_apart" (1 on the
// steps tellApart names).
std::string tuneCsv(const TuneOptions& tune, const TuneOutcome& outcome);

} // namespace torvex::particles
