#include "particles/sphere_heat.h"

#include <algorithm>
#include <cmath>

namespace torvex::particles {

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr int kMaxNewtonIterations = 40;
constexpr int kMaxStepHalvings = 8;
// Newton iterations stop when no enthalpy moves by more than this share of
// the enthalpy of melting from 0 K (about 0.01 J/kg for an oxide).
constexpr double kEnthalpyTolerance = 1e-8;

// Surface temperature change (K) within which the linearised surface heat is
// taken as exact: the curvature of radiation and of the conduction potential
// makes an error of about 1e-6 of the heat flow there.
constexpr double kSurfaceLinearRange = 2.0;

double sphereVolume(double r) { return 4.0 / 3.0 * kPi * r * r * r; }

// The convective heat and its slope less what the outflowing vapour keeps off.
SurfaceHeat withShielding(const SurfaceHeat& heat) {
    if (heat.blowingScale <= 0) return heat;
    SurfaceHeat out = heat;
    double slope = 0;
    const double share = heatLeftByVapour(heat.evaporation / heat.blowingScale, slope);
    out.convective = heat.convective * share;
    out.convectiveSlope =
        heat.convectiveSlope * share + heat.convective * slope * heat.evaporationSlope / heat.blowingScale;
    return out;
}

// Evaporation rate m (kg/s) of a surface held at the boiling point that
// receives the convective heat q (unshielded) and loses `sinks` otherwise:
// q f(m / scale) - sinks = m L with f(phi) = phi / (e^phi - 1), the heat
// left by the vapour's outflow (Spalding 1953). Without other sinks the
// root is m L = q ln(1 + B) / B with B = q / (scale L). The left side falls
// and the right side rises with m, so bisection finds the root.
double boilingRate(double q, double sinks, double scale, double vaporisation) {
    const double surplus = q - sinks;
    if (surplus <= 0) return 0;
    if (scale <= 0) return surplus / vaporisation;
    auto imbalance = [&](double m) {
        const double phi = m / scale;
        const double shielded = phi > 1e-12 ? phi / std::expm1(phi) : 1.0;
        return q * shielded - sinks - m * vaporisation;
    };
    double low = 0, high = surplus / vaporisation;
    for (int k = 0; k < 80 && high - low > 1e-13 * high; ++k) {
        const double mid = 0.5 * (low + high);
        (imbalance(mid) > 0 ? low : high) = mid;
    }
    return 0.5 * (low + high);
}

// One row of the step's linear system for the enthalpies:
// lower H_i-1 + diag H_i + upper H_i+1 = rhs.
struct SystemRow {
    double lower, diag, upper, rhs;
};

// Copies the entries 0..n in use (the rest of the arrays is never read).
template <typename Nodes>
void copyNodes(const Nodes& from, int n, Nodes& to) {
    std::copy(from.begin(), from.begin() + n + 1, to.begin());
}

} // namespace

double heatLeftByVapour(double phi, double& slope) {
    if (phi > 700) {  // nothing left, and e^phi beyond the doubles
        slope = 0;
        return 0;
    }
    if (phi < 1e-6) {  // the series 1 - phi/2 + phi^2/12 avoids 0/0
        slope = -0.5 + phi / 6.0;
        return 1.0 - 0.5 * phi;
    }
    const double grown = std::expm1(phi);
    slope = (grown - phi * (grown + 1.0)) / (grown * grown);
    return phi / grown;
}

SphereHeat::SphereHeat(const Material& material, double diameter, double initialTemperature, int shellCount)
    : material_(material), nodes_(std::clamp(shellCount, 0, kMaxShells)), radius_(0.5 * diameter),
      solidSlope_(1.0 / material.heatCapacitySolid), liquidSlope_(1.0 / material.heatCapacityLiquid) {
    computeMasses();
    enthalpy_.fill(enthalpyOf(initialTemperature));
    updateOuterSize();
}

// Entries beyond the node count are never read.
void SphereHeat::computeMasses() {
    const double rho = material_.densitySolid;
    if (nodes_ == 0) {
        mass_[0] = rho * sphereVolume(radius_);
        totalMass_ = sumOfShellMasses();
        return;
    }
    const double dr = radius_ / nodes_;
    double inner = 0;  // volume inside the shell
    for (int i = 0; i <= nodes_; ++i) {
        const double outer = i == nodes_ ? radius_ : (i + 0.5) * dr;
        const double volume = sphereVolume(outer);
        mass_[i] = rho * (volume - inner);
        if (i < nodes_) conductance_[i] = 4.0 * kPi * outer * outer / dr;
        inner = volume;
    }
    totalMass_ = sumOfShellMasses();
}

double SphereHeat::sumOfShellMasses() const {
    double m = 0;
    for (int i = 0; i <= nodes_; ++i) m += mass_[i];
    return m;
}

// Enthalpy per kilogram, zero for the solid at the melting point.
inline double SphereHeat::enthalpyOf(double t) const {
    const double tm = material_.meltingPoint;
    if (t <= tm) return material_.heatCapacitySolid * (t - tm);
    return material_.latentHeatFusion + material_.heatCapacityLiquid * (t - tm);
}

inline double SphereHeat::temperatureOf(double h) const {
    const double tm = material_.meltingPoint;
    if (h < 0) return tm + h / material_.heatCapacitySolid;
    if (h <= material_.latentHeatFusion) return tm;
    return tm + (h - material_.latentHeatFusion) / material_.heatCapacityLiquid;
}

inline double SphereHeat::slopeOf(double h) const {
    if (h < 0) return solidSlope_;
    if (h < material_.latentHeatFusion) return 0;
    return liquidSlope_;
}

// The temperature at h and the slope dT/dH of the branch of H(T) h lies on,
// as temperatureOf and slopeOf give them, with one test of the branch.
inline double SphereHeat::temperatureAndSlopeOf(double h, double& slope) const {
    const double tm = material_.meltingPoint;
    const double l = material_.latentHeatFusion;
    if (h < 0) {
        slope = solidSlope_;
        return tm + h / material_.heatCapacitySolid;
    }
    if (h <= l) {
        slope = h < l ? 0.0 : liquidSlope_;
        return tm;
    }
    slope = liquidSlope_;
    return tm + (h - l) / material_.heatCapacityLiquid;
}

inline double SphereHeat::conductivityOf(double h) const {
    const double l = material_.latentHeatFusion;
    if (h <= 0) return material_.conductivitySolid;
    if (h >= l) return material_.conductivityLiquid;
    const double f = h / l;  // molten share of the shell
    return material_.conductivitySolid + f * (material_.conductivityLiquid - material_.conductivitySolid);
}

double SphereHeat::temperature(int node) const { return temperatureOf(enthalpy_[node]); }

double SphereHeat::enthalpy() const {
    double e = 0;
    for (int i = 0; i <= nodes_; ++i) e += mass_[i] * enthalpy_[i];
    return e;
}

// Molten share of a shell of enthalpy h.
// Wholly solid and wholly molten shells, most of them, need no division.
inline double SphereHeat::moltenShareOf(double h) const {
    const double l = material_.latentHeatFusion;
    if (h <= 0) return 0.0;
    if (h >= l) return 1.0;
    return h / l;  // 0 < h < l: l is positive here
}

// One pass over the shells for what the flight reads after every step.
void SphereHeat::updateOuterSize() {
    const double solid = material_.densitySolid;
    const double liquid = material_.densityLiquid > 0 ? material_.densityLiquid : solid;
    // The volume of a kilogram of a shell wholly solid or wholly molten, as
    // the mixture's formula gives it there.
    const double solidVolume = 1.0 / solid, liquidVolume = 1.0 / liquid;
    const double m = totalMass_;
    double v = 0, molten = 0, mt = 0;
    for (int i = 0; i <= nodes_; ++i) {
        const double f = moltenShareOf(enthalpy_[i]);
        const double volume = f == 0 ? solidVolume : (f == 1 ? liquidVolume : (1.0 - f) / solid + f / liquid);
        v += mass_[i] * volume;
        molten += mass_[i] * f;
        mt += mass_[i] * temperatureOf(enthalpy_[i]);
    }
    if (v != outerVolume_) {  // a solid particle that kept its mass keeps its size
        outerVolume_ = v;
        outerDiameter_ = std::cbrt(6.0 * v / kPi);
    }
    outerDensity_ = v > 0 ? m / v : material_.densitySolid;
    moltenFraction_ = m > 0 ? molten / m : 0;
    meanTemperature_ = m > 0 ? mt / m : temperatureOf(enthalpy_[nodes_]);
}

bool SphereHeat::solve(double dt, const Nodes& old, const SurfaceModel* surface, int heldNode,
                       double heldEnthalpy, double& innerFlux, SurfaceHeat& applied) {
    const int n = nodes_;
    Nodes& h = enthalpy_;  // the iterate
    if (heldNode >= 0) h[heldNode] = heldEnthalpy;
    // The iteration starts from the enthalpies the previous step's heating
    // rate leads to: along a smooth flight that is close to the solution,
    // and the surface heat is linearised near the surface temperature that
    // comes out.
    if (heldNode < 0 && surface && rateKnown_)
        for (int i = 0; i <= n; ++i) h[i] = old[i] + heatingRate_[i] * dt;
    // Conductances between the nodes at the start of the step (W/K).
    Nodes k, g;
    for (int i = 0; i <= n; ++i) k[i] = conductivityOf(old[i]);
    for (int i = 0; i < n; ++i) g[i] = conductance_[i] * 0.5 * (k[i] + k[i + 1]);

    const double tolerance =
        kEnthalpyTolerance * (material_.latentHeatFusion + material_.heatCapacitySolid * material_.meltingPoint);
    Nodes storage, stored;  // kg/s: each shell's mass over the step; W: times its enthalpy at the start
    for (int i = 0; i <= n; ++i) {
        storage[i] = mass_[i] / dt;
        stored[i] = storage[i] * old[i];
    }
    Nodes b, c, upper, next;  // entries 0..n written before they are read
    const double vaporisation = material_.latentHeatVaporisation;
    const bool exchanging = surface && heldNode != n;
    applied = SurfaceHeat{};
    for (int iteration = 0; iteration < kMaxNewtonIterations; ++iteration) {
        // T_i = c_i + b_i H_i near the present iterate: the surface node's
        // first, for the surface heat; the others as the elimination below
        // reaches them.
        auto linearise = [&](int i) {
            const double t = temperatureAndSlopeOf(h[i], b[i]);
            c[i] = t - b[i] * h[i];
            return t;
        };
        const double ts = linearise(n);
        for (int i = 0; i < std::min(2, n); ++i) linearise(i);
        const SurfaceHeat heat = exchanging ? surface->at(ts) : SurfaceHeat{};
        const SurfaceHeat shielded = withShielding(heat);
        // The surface exchange linearised at ts, on the surface node's row.
        const double surfaceSlope =
            shielded.convectiveSlope - heat.radiatedSlope - vaporisation * heat.evaporationSlope;
        const double surfaceGain = shielded.convective - heat.radiated - vaporisation * heat.evaporation +
                                   surfaceSlope * (c[n] - ts);
        // Row i: storage, then conduction to the inner and to the outer
        // neighbour, then the surface's exchange or the held enthalpy.
        auto row = [&](int i) {
            SystemRow r{0, storage[i], 0, stored[i]};
            if (i > 0) {
                r.diag += g[i - 1] * b[i];
                r.lower = -g[i - 1] * b[i - 1];
                r.rhs += g[i - 1] * (c[i - 1] - c[i]);
            }
            if (i < n) {
                r.diag += g[i] * b[i];
                r.upper = -g[i] * b[i + 1];
                r.rhs += g[i] * (c[i + 1] - c[i]);
            }
            if (i == n && exchanging) {
                r.diag -= surfaceSlope * b[n];
                r.rhs += surfaceGain;
            }
            if (i == heldNode) r = SystemRow{0, 1, 0, heldEnthalpy};
            return r;
        };
        // Thomas algorithm, each row eliminated as it is assembled: upper
        // gets the eliminated upper entries and next the eliminated right-hand
        // side, then the solution. The matrices of the step are column
        // diagonally dominant, so no pivoting is needed.
        const SystemRow first = row(0);
        upper[0] = first.upper / first.diag;
        next[0] = first.rhs / first.diag;
        for (int i = 1; i <= n; ++i) {
            if (i + 1 < n) linearise(i + 1);
            const SystemRow r = row(i);
            const double m = r.diag - r.lower * upper[i - 1];
            upper[i] = r.upper / m;
            next[i] = (r.rhs - r.lower * next[i - 1]) / m;
        }
        // Back substitution from the surface inward; each node's solution,
        // once known, is checked (is it finite, how far did it move, is the
        // node still on the branch of H(T) it was linearised on) and becomes
        // the iterate.
        bool finite = true, sameBranches = true;
        double change = 0;
        auto take = [&](int i) {
            finite = finite && std::isfinite(next[i]);
            change = std::max(change, std::fabs(next[i] - h[i]));
            sameBranches = sameBranches && slopeOf(next[i]) == b[i];
            h[i] = next[i];
        };
        take(n);
        for (int i = n - 1; i >= 0; --i) {
            next[i] = next[i] - upper[i] * next[i + 1];
            take(i);
        }
        if (!finite) {
            copyNodes(old, n, enthalpy_);  // the iteration ran away: the step is to be split
            applied = SurfaceHeat{};
            innerFlux = 0;
            return false;
        }
        // The surface heat the linear system used, at its own solution.
        const double linearSurface = c[n] + b[n] * next[n];
        applied.convective = shielded.convective + shielded.convectiveSlope * (linearSurface - ts);
        applied.radiated = heat.radiated + heat.radiatedSlope * (linearSurface - ts);
        applied.evaporation = std::max(0.0, heat.evaporation + heat.evaporationSlope * (linearSurface - ts));
        applied.blowingScale = heat.blowingScale;
        innerFlux = n > 0 ? g[n - 1] * (linearSurface - (c[n - 1] + b[n - 1] * next[n - 1])) : 0;
        // On unchanged branches the system is linear except for the surface
        // heat, whose linearisation error over a small change of the surface
        // temperature is of second order: the solution stands.
        if (change <= tolerance || (sameBranches && std::fabs(linearSurface - ts) < kSurfaceLinearRange)) return true;
    }
    return false;
}

void SphereHeat::stepFixedSurface(double dt, double surfaceTemperature) {
    double innerFlux = 0;
    SurfaceHeat applied;
    Nodes old;
    copyNodes(enthalpy_, nodes_, old);
    if (!solve(dt, old, nullptr, nodes_, enthalpyOf(surfaceTemperature), innerFlux, applied)) ++unconverged_;
    updateOuterSize();
}

StepEnergy SphereHeat::step(double dt, const SurfaceModel& surface) {
    Nodes before;
    copyNodes(enthalpy_, nodes_, before);
    const StepEnergy energy = splitStep(dt, surface, 0, before);
    for (int i = 0; i <= nodes_; ++i) heatingRate_[i] = (enthalpy_[i] - before[i]) / dt;
    rateKnown_ = true;
    updateOuterSize();
    return energy;
}

// The enthalpy method's Newton iteration can cycle when a thin surface shell
// jumps across the melting kink of H(T) in one step; half the step keeps the
// shell on one branch, so a failed step is retried in halves.
StepEnergy SphereHeat::splitStep(double dt, const SurfaceModel& surface, int depth,
                                 const Nodes& enthalpyBefore) {
    const double radiusBefore = radius_;
    StepEnergy energy;
    if (tryStep(dt, surface, enthalpyBefore, energy)) return energy;
    if (depth >= kMaxStepHalvings) {
        ++unconverged_;
        return energy;
    }
    copyNodes(enthalpyBefore, nodes_, enthalpy_);
    radius_ = radiusBefore;
    computeMasses();
    const StepEnergy first = splitStep(0.5 * dt, surface, depth + 1, enthalpyBefore);
    Nodes halfway;
    copyNodes(enthalpy_, nodes_, halfway);
    const StepEnergy second = splitStep(0.5 * dt, surface, depth + 1, halfway);
    energy.convective = first.convective + second.convective;
    energy.radiated = first.radiated + second.radiated;
    energy.vapour = first.vapour + second.vapour;
    energy.evaporatedMass = first.evaporatedMass + second.evaporatedMass;
    return energy;
}

bool SphereHeat::tryStep(double dt, const SurfaceModel& surface, const Nodes& before, StepEnergy& energy) {
    const double vaporisation = material_.latentHeatVaporisation;
    double innerFlux = 0;
    SurfaceHeat applied;
    bool converged = solve(dt, before, &surface, -1, 0, innerFlux, applied);
    double evaporated = applied.evaporation * dt;
    const double boiling = material_.boilingPoint;
    if (surfaceTemperature() > boiling) {
        // Hold the surface at the boiling point; what the gas brings beyond
        // what the shell stores and conducts inward evaporates it.
        copyNodes(before, nodes_, enthalpy_);
        const double held = enthalpyOf(boiling);
        converged = solve(dt, before, &surface, nodes_, held, innerFlux, applied) && converged;
        const SurfaceHeat atBoiling = surface.at(boiling);
        const double sinks = atBoiling.radiated + innerFlux + mass_[nodes_] * (held - before[nodes_]) / dt;
        // A converged free step above the boiling point leaves a surplus at
        // the held surface (convection is larger there, storage and inward
        // conduction smaller); none means the iteration went astray.
        converged = converged && atBoiling.convective > sinks;
        const double rate = boilingRate(atBoiling.convective, sinks, atBoiling.blowingScale, vaporisation);
        applied = atBoiling;
        applied.convective = sinks + rate * vaporisation;
        evaporated = rate * dt;
    }
    energy.convective = applied.convective * dt;
    energy.radiated = applied.radiated * dt;
    if (evaporated > 0) {
        double carried = 0;
        shrink(evaporated, carried);
        energy.evaporatedMass = evaporated;
        energy.vapour = evaporated * vaporisation + carried;
    }
    return converged;
}

// Evaporation takes the mass from the surface; the grid keeps its node count
// and scales with the radius, so every shell gives up the same share of its
// mass at its own enthalpy (the change of the profile is of the order of the
// shrinking, a few tenths of a per cent per step at most).
void SphereHeat::shrink(double evaporatedMass, double& carriedEnthalpy) {
    const double total = totalMass_;
    const double remaining = (total - evaporatedMass) / total;  // share of the mass kept
    // A loss too small to move the mass or the radius in its last digit
    // leaves every shell's mass as it is, and no enthalpy leaves with it.
    carriedEnthalpy = 0;
    if (remaining == 1.0) return;  // the cube root of 1 is 1
    const double radius = evaporatedMass >= total ? 0.0 : radius_ * std::cbrt(remaining);
    if (radius == radius_) return;
    Nodes oldMass;
    copyNodes(mass_, nodes_, oldMass);
    radius_ = radius;
    computeMasses();
    for (int i = 0; i <= nodes_; ++i) carriedEnthalpy += (oldMass[i] - mass_[i]) * enthalpy_[i];
}

} // namespace torvex::particles
