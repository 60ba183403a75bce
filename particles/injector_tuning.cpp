#include "particles/injector_tuning.h"

#include "particles/in_flight.h"
#include "particles/spray_statistics.h"
#include "particles/text_file.h"

#include <cmath>

namespace torvex::particles {

namespace {

double settingAt(const TuneOptions& tune, int k) {
    if (tune.steps < 2) return tune.from;
    return tune.from + (tune.to - tune.from) * k / (tune.steps - 1);
}

SprayOptions atSetting(SprayOptions o, TuneScan scan, double setting) {
    if (scan == TuneScan::CarrierFlow) {
        o.injection.speedFrom = InjectionSpeed::CarrierGas;
        o.injection.carrierFlowSlpm = setting;
    } else {
        o.injection.speedFrom = InjectionSpeed::Fixed;
        o.injection.velocity = setting;
    }
    o.sampledTrajectories = 0;
    return o;
}

TuneStep measure(double setting, const SprayOptions& o, const SprayOutcome& out) {
    const SprayStatistics s = computeStatistics(out.particles);
    TuneStep step;
    step.setting = setting;
    step.deviationDeg = deviationAngleDeg(s, o.injection, out.standoffMm);
    step.moltenMassShare = s.moltenMassShare;
    step.arrivingMassShare = s.depositedMassShare;
    step.velocity = s.velocity.byNumber.mean;
    step.surfaceTemperature = s.surfaceTemperature.byNumber.mean;
    step.arrived = s.arrived;
    return step;
}

} // namespace

bool arrivesShort(const TuneStep& step) { return step.arrivingMassShare < kLowArrivingMassShare; }

int chooseSetting(const std::vector<TuneStep>& steps, const TuneOptions& tune) {
    int best = -1;
    for (std::size_t k = 0; k < steps.size(); ++k) {
        const TuneStep& s = steps[k];
        if (s.arrived == 0) continue;
        if (best < 0) {
            best = static_cast<int>(k);
            continue;
        }
        const TuneStep& b = steps[static_cast<std::size_t>(best)];
        const bool better = tune.goal == TuneGoal::Molten
                                ? s.moltenMassShare > b.moltenMassShare
                                : std::fabs(s.deviationDeg - tune.targetDeg) < std::fabs(b.deviationDeg - tune.targetDeg);
        if (better) best = static_cast<int>(k);
    }
    return best;
}

const char* tuneUnit(TuneScan scan) { return scan == TuneScan::CarrierFlow ? "SLPM" : "m/s"; }

std::string checkTuneOptions(const TuneOptions& t) {
    if (t.steps < 2 || t.steps > 100) return "The number of tuning steps must lie between 2 and 100.";
    const double low = t.scan == TuneScan::CarrierFlow ? 0.1 : 0.1;
    const double high = t.scan == TuneScan::CarrierFlow ? 30 : 500;
    const bool inRange = std::isfinite(t.from) && std::isfinite(t.to) && t.from >= low && t.to <= high && t.from < t.to;
    if (!inRange)
        return std::string("The scan must run from a lower to a higher ") +
               (t.scan == TuneScan::CarrierFlow ? "carrier-gas flow between 0.1 and 30 SLPM."
                                                : "injection speed between 0.1 and 500 m/s.");
    if (!std::isfinite(t.targetDeg) || std::fabs(t.targetDeg) > 45)
        return "The target deviation must lie between -45 and 45 degrees.";
    return {};
}

TuneOutcome tuneInjection(const JetField& field, const Material& material, const SprayOptions& base,
                          const TuneOptions& tune, const SprayProgress& progress) {
    TuneOutcome out;
    const std::string fault = checkTuneOptions(tune);
    if (!fault.empty()) {
        out.result = SprayResult::BadInput;
        out.message = fault;
        return out;
    }
    for (int k = 0; k < tune.steps; ++k) {
        const double setting = settingAt(tune, k);
        const SprayOptions o = atSetting(base, tune.scan, setting);
        // Each spray's progress, scaled into the whole scan's.
        const SprayProgress part = [&](int percent) {
            return !progress || progress((k * 100 + percent) / tune.steps);
        };
        const SprayOutcome spray = simulateSpray(field, material, o, part);
        if (spray.result != SprayResult::Completed) {
            out.result = spray.result;
            out.message = spray.message;
            return out;
        }
        out.steps.push_back(measure(setting, o, spray));
    }
    out.chosen = chooseSetting(out.steps, tune);
    return out;
}

std::string tuneCsv(const TuneOptions& tune, const TuneOutcome& out) {
    std::string text = std::string(tune.scan == TuneScan::CarrierFlow ? "carrier_flow_slpm" : "injection_velocity_m_s") +
                       ",deviation_deg,molten_mass_share,arriving_mass_share,velocity_m_s,surface_temperature_K,"
                       "arrived,chosen,arriving_under_90_percent\n";
    for (std::size_t k = 0; k < out.steps.size(); ++k) {
        const TuneStep& s = out.steps[k];
        text += formatFixed(s.setting, 3) + "," + formatFixed(s.deviationDeg, 3) + "," +
                formatFixed(s.moltenMassShare, 4) + "," + formatFixed(s.arrivingMassShare, 4) + "," +
                formatFixed(s.velocity, 2) + "," + formatFixed(s.surfaceTemperature, 1) + "," +
                std::to_string(s.arrived) + "," + (static_cast<int>(k) == out.chosen ? "1" : "0") + "," +
                (arrivesShort(s) ? "1" : "0") + "\n";
    }
    return text;
}

} // namespace torvex::particles
