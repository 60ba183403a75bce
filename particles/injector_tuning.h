// Tuning the injector: the same spray at a series of carrier-gas flows (or
// fixed injection speeds), and the setting that meets the user's goal.
#pragma once

#include "particles/particle_model.h"

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

// What the spray gives at one setting, at the standoff.
struct TuneStep {
    double setting = 0;          // SLPM or m/s
    double deviationDeg = 0;
    double moltenMassShare = 0;  // of the injected mass
    double arrivingMassShare = 0;
    double velocity = 0;             // m/s, mean of the arrived, by number
    double surfaceTemperature = 0;   // K, mean of the arrived, by number
    int arrived = 0;
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
};

// The step that meets the goal best among those with particles arriving:
// the deviation nearest the target, or the most molten mass; the first of
// equals. -1 when no step has any.
int chooseSetting(const std::vector<TuneStep>& steps, const TuneOptions& tune);

// Range check of the scan; empty when it is sound.
std::string checkTuneOptions(const TuneOptions& tune);

// Runs the spray of `base` at every setting (each spray on base.threads
// threads, 0: every core); progress is over the whole scan.
TuneOutcome tuneInjection(const JetField& field, const Material& material, const SprayOptions& base,
                          const TuneOptions& tune, const SprayProgress& progress);

const char* tuneUnit(TuneScan scan);  // "SLPM" or "m/s"

// The scan as a CSV table (tune.csv): one row per setting, the chosen one
// marked 1 in the column "chosen", a setting whose arriving mass is under
// 90 % marked 1 in the last, "arriving_under_90_percent" (added after the
// columns of earlier versions).
std::string tuneCsv(const TuneOptions& tune, const TuneOutcome& outcome);

} // namespace torvex::particles
