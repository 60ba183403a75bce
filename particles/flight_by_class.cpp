#include "particles/flight_by_class.h"

#include "particles/in_flight.h"

#include <algorithm>
#include <cmath>

namespace torvex::particles {

namespace {

// The state of a trajectory where it first crosses `z` (linear between its
// samples); false where it never gets there.
bool stateAt(const Trajectory& t, double z, ParticleState& at) {
    for (std::size_t k = 1; k < t.samples.size(); ++k) {
        const ParticleState& a = t.samples[k - 1];
        const ParticleState& b = t.samples[k];
        if (!(a.axialMm <= z && z <= b.axialMm)) continue;
        const double share = b.axialMm > a.axialMm ? (z - a.axialMm) / (b.axialMm - a.axialMm) : 0;
        const auto along = [share](double x, double y) { return x + (y - x) * share; };
        at.velocity = along(a.velocity, b.velocity);
        at.surfaceTemperature = along(a.surfaceTemperature, b.surfaceTemperature);
        at.moltenFraction = along(a.moltenFraction, b.moltenFraction);
        at.massFraction = along(a.massFraction, b.massFraction);
        return true;
    }
    return false;
}

// The class of a diameter, those beyond the table's ends in its end classes
// (as sizeClasses() counts the population).
std::size_t classOf(const std::vector<SizeClass>& classes, double diameterUm) {
    std::size_t c = 0;
    while (c + 1 < classes.size() && diameterUm >= classes[c].upperUm) ++c;
    return c;
}

}  // namespace

std::vector<ClassFlight> flightBySizeClass(const SprayOutcome& outcome, int classes, double stepMm) {
    const std::vector<SizeClass> table = sizeClasses(outcome, classes);
    std::vector<ClassFlight> flights(table.size());
    std::vector<std::vector<const Trajectory*>> members(table.size());
    double start = outcome.standoffMm;
    for (const Trajectory& t : outcome.trajectories) {
        if (table.empty() || t.samples.empty()) continue;
        const std::size_t c = classOf(table, t.diameterUm);
        members[c].push_back(&t);
        start = std::min(start, t.samples.front().axialMm);
    }
    for (std::size_t c = 0; c < table.size(); ++c) {
        ClassFlight& f = flights[c];
        f.lowerUm = table[c].lowerUm;
        f.upperUm = table[c].upperUm;
        f.trajectories = static_cast<int>(members[c].size());
        const int steps = static_cast<int>(std::floor((outcome.standoffMm - start) / stepMm + 1e-9));
        for (int k = 0; k <= steps && !members[c].empty(); ++k) {
            const double z = std::min(start + k * stepMm, outcome.standoffMm);
            double n = 0, velocity = 0, temperature = 0, mass = 0, molten = 0;
            for (const Trajectory* t : members[c]) {
                ParticleState s;
                if (!stateAt(*t, z, s)) continue;
                const double m = t->diameterUm * t->diameterUm * t->diameterUm * s.massFraction;
                n += 1, velocity += s.velocity, temperature += s.surfaceTemperature;
                mass += m, molten += m * s.moltenFraction;
            }
            if (n == 0) continue;
            f.distanceMm.push_back(z);
            f.velocity.push_back(velocity / n);
            f.surfaceTemperature.push_back(temperature / n);
            f.moltenShare.push_back(mass > 0 ? molten / mass : 0);
        }
    }
    return flights;
}

}  // namespace torvex::particles
