#include "particles/injector_tuning.h"

#include "particles/in_flight.h"
#include "particles/spray_statistics.h"
#include "particles/text_file.h"

#include <algorithm>
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
    o.mostParticles = std::min(o.mostParticles, kTuneStepCap);
    return o;
}

TuneStep measure(double setting, const SprayOptions& o, const SprayOutcome& out) {
    const SprayStatistics s = computeStatistics(out);
    TuneStep step;
    step.setting = setting;
    step.deviationDeg = deviationAngleDeg(s, o.injection, out.standoffMm);
    step.moltenMassShare = s.moltenMassShare;
    step.arrivingMassShare = s.depositedMassShare;
    step.velocity = meanOf(s.velocity.byNumber);
    step.surfaceTemperature = meanOf(s.surfaceTemperature.byNumber);
    step.arrived = s.arrived;
    step.particles = s.total;
    return step;
}

// How far a step is from the goal, the smaller the better, and the reach of
// its interval.
Estimate shortfall(const TuneStep& s, const TuneOptions& tune) {
    if (tune.goal == TuneGoal::Molten) return {-s.moltenMassShare.value, s.moltenMassShare.halfWidth95};
    return {std::fabs(s.deviationDeg.value - tune.targetDeg), s.deviationDeg.halfWidth95};
}

// "a", "a and b", "a, b and c".
std::string listed(const std::vector<std::string>& items) {
    std::string text;
    for (std::size_t k = 0; k < items.size(); ++k)
        text += (k == 0 ? "" : k + 1 == items.size() ? " and " : ", ") + items[k];
    return text;
}

} // namespace

bool arrivesShort(const TuneStep& step) { return step.arrivingMassShare.value < kLowArrivingMassShare; }

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
        if (shortfall(s, tune).value < shortfall(b, tune).value) best = static_cast<int>(k);
    }
    return best;
}

std::vector<int> tellApart(const std::vector<TuneStep>& steps, const TuneOptions& tune, int chosen) {
    std::vector<int> indistinct;
    if (chosen < 0) return indistinct;
    const Estimate best = shortfall(steps[static_cast<std::size_t>(chosen)], tune);
    for (std::size_t k = 0; k < steps.size(); ++k) {
        if (static_cast<int>(k) == chosen || steps[k].arrived == 0) continue;
        const Estimate other = shortfall(steps[k], tune);
        // The other's best case reaches the chosen one's worst.
        const bool told = hasInterval(best) && hasInterval(other) &&
                          other.value - other.halfWidth95 > best.value + best.halfWidth95;
        if (!told) indistinct.push_back(static_cast<int>(k));
    }
    return indistinct;
}

std::string indistinctSentence(const TuneOptions& tune, const TuneOutcome& out) {
    if (out.chosen < 0 || out.indistinct.empty()) return {};
    std::vector<int> named = out.indistinct;
    named.push_back(out.chosen);
    std::sort(named.begin(), named.end());
    std::vector<std::string> settings, figures;
    for (const int k : named) {
        const TuneStep& s = out.steps[static_cast<std::size_t>(k)];
        settings.push_back(formatFixed(s.setting, 2));
        figures.push_back(tune.goal == TuneGoal::Molten ? withInterval(s.moltenMassShare, 1, 100)
                                                        : withInterval(s.deviationDeg, 2));
    }
    return listed(settings) + " " + tuneUnit(tune.scan) + " cannot be told apart at this count (" +
           (tune.goal == TuneGoal::Molten ? "molten mass " : "deviation ") + listed(figures) +
           (tune.goal == TuneGoal::Molten ? " %)" : " deg)");
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
    out.indistinct = tellApart(out.steps, tune, out.chosen);
    return out;
}

std::string tuneCsv(const TuneOptions& tune, const TuneOutcome& out) {
    std::string text = std::string(tune.scan == TuneScan::CarrierFlow ? "carrier_flow_slpm" : "injection_velocity_m_s") +
                       ",deviation_deg,molten_mass_share,arriving_mass_share,velocity_m_s,surface_temperature_K,"
                       "arrived,chosen,arriving_under_90_percent,deviation_half_width_deg,"
                       "molten_mass_share_half_width,arriving_mass_share_half_width,velocity_half_width_m_s,"
                       "surface_temperature_half_width_K,particles,cannot_be_told_apart\n";
    for (std::size_t k = 0; k < out.steps.size(); ++k) {
        const TuneStep& s = out.steps[k];
        const bool indistinct =
            std::find(out.indistinct.begin(), out.indistinct.end(), static_cast<int>(k)) != out.indistinct.end();
        text += formatFixed(s.setting, 3) + "," + formatFixed(s.deviationDeg.value, 3) + "," +
                formatFixed(s.moltenMassShare.value, 4) + "," + formatFixed(s.arrivingMassShare.value, 4) + "," +
                formatFixed(s.velocity.value, 2) + "," + formatFixed(s.surfaceTemperature.value, 1) + "," +
                std::to_string(s.arrived) + "," + (static_cast<int>(k) == out.chosen ? "1" : "0") + "," +
                (arrivesShort(s) ? "1" : "0") + "," + halfWidthField(s.deviationDeg, 3) + "," +
                halfWidthField(s.moltenMassShare, 4) + "," + halfWidthField(s.arrivingMassShare, 4) + "," +
                halfWidthField(s.velocity, 2) + "," + halfWidthField(s.surfaceTemperature, 1) + "," +
                std::to_string(s.particles) + "," + (indistinct ? "1" : "0") + "\n";
    }
    return text;
}

} // namespace torvex::particles
