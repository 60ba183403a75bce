// Stub: the model is being built; the interface is final.
#include "particles/particle_model.h"

namespace torvex::particles {

const char* statusName(ParticleStatus status) {
    switch (status) {
    case ParticleStatus::Arrived: return "arrived";
    case ParticleStatus::Evaporated: return "evaporated";
    case ParticleStatus::MissedSide: return "missed_side";
    case ParticleStatus::MissedUpstream: return "missed_upstream";
    case ParticleStatus::FieldEnded: return "field_end";
    case ParticleStatus::TimedOut: return "timeout";
    }
    return "";
}

std::string checkOptions(const SprayOptions&, double) { return {}; }

SprayOutcome simulateSpray(const JetField&, const Material&, const SprayOptions&, const SprayProgress&) {
    SprayOutcome out;
    out.result = SprayResult::BadInput;
    out.message = "The particle model is not built yet.";
    return out;
}

SprayOutcome runSpray(const std::string&, const SprayOptions&, const SprayProgress&) {
    SprayOutcome out;
    out.result = SprayResult::BadInput;
    out.message = "The particle model is not built yet.";
    return out;
}

} // namespace torvex::particles
