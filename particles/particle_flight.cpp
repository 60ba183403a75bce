#include "particles/particle_flight.h"

#include <algorithm>
#include <cmath>

namespace torvex::particles {

namespace {

// Step control: the particle moves at most this far in one step (the radial
// spacing of the field is 0.25 mm), and a step is at most this share of the
// momentum and of the heating response times.
constexpr double kMaxStepPathMm = 0.2;
// Where the gas is nearly uniform along the path (the cold outer region, the
// far field) the step may reach further, up to this path (half the far
// field's 2 mm between cross-sections), as long as the gas temperature and
// the gas velocity change along it by at most kGasChangeShare of themselves.
// Halving every step then moves the velocity and the surface temperature at
// a 200 mm standoff by less than 0.5 % (particles of 20 um and more; 0.6 %
// for the finest, whose slow arrival magnifies the relative change).
constexpr double kLongestStepPathMm = 1.0;
constexpr double kGasChangeShare = 0.02;
constexpr double kResponseShare = 0.1;
constexpr double kLongestStep = 20e-6;  // s
constexpr double kEvaporatedMassFraction = 1e-3;
// A flight that needs more steps than this (a particle shrunk by
// evaporation to a response time of nanoseconds) is given up as timed out.
constexpr long kMaxSteps = 2000000;

// Convection with the integral-mean conductivity and radiation to the
// surroundings, for the surface temperature the conduction solver tries.
class PlasmaSurface : public SurfaceModel {
public:
    PlasmaSurface(const JetField& field, double gasTemperature, const Exchange& exchange, double radiationFactor,
                  const Material& material, const ModelOptions& model)
        : field_(field), gasPotential_(field.conductionPotentialAt(gasTemperature)), exchange_(exchange),
          radiation_(radiationFactor), material_(material), model_(model) {}
    SurfaceHeat at(double ts) const override {
        SurfaceHeat heat;
        const double g = exchange_.heatConductance;
        // The gas next to the surface: one table lookup for its conductivity and density.
        const GasProperties film = field_.properties(ts);
        heat.convective = g * (gasPotential_ - field_.conductionPotentialAt(ts));
        heat.convectiveSlope = ts > 300 ? -g * film.conductivity : 0;
        constexpr double ambient4 = kAmbientTemperature * kAmbientTemperature * kAmbientTemperature * kAmbientTemperature;
        heat.radiated = radiation_ * (ts * ts * ts * ts - ambient4);
        heat.radiatedSlope = 4 * radiation_ * ts * ts * ts;
        if (model_.diffusiveEvaporation) {
            double slope = 0;
            const double molarMass = gasMolarMass(film, ts);
            heat.evaporation = exchange_.blowingScale * vapourTransfer(material_, ts, molarMass, slope);
            heat.evaporationSlope = exchange_.blowingScale * slope;
        }
        if (model_.vapourShielding) heat.blowingScale = exchange_.blowingScale;
        return heat;
    }

private:
    const JetField& field_;
    double gasPotential_;  // S at the gas temperature, W/m
    const Exchange& exchange_;
    double radiation_;  // emissivity * sigma * area, W/K4
    const Material& material_;
    const ModelOptions& model_;
};

double sign(double y) { return y > 0 ? 1.0 : (y < 0 ? -1.0 : 0.0); }

// Length of a vector given by its in-plane length and its out-of-plane
// component: exactly the in-plane length when the latter is zero, so a flight
// in the injection plane is the planar flight digit for digit.
double withOutOfPlane(double inPlane, double outOfPlane) {
    return outOfPlane == 0 ? std::fabs(inPlane) : std::hypot(inPlane, outOfPlane);
}

ParticleState interpolate(const ParticleState& a, const ParticleState& b, double w) {
    auto mix = [w](double x, double y) { return x + (y - x) * w; };
    ParticleState s;
    s.timeMs = mix(a.timeMs, b.timeMs);
    s.axialMm = mix(a.axialMm, b.axialMm);
    s.radialMm = mix(a.radialMm, b.radialMm);
    s.axialVelocity = mix(a.axialVelocity, b.axialVelocity);
    s.radialVelocity = mix(a.radialVelocity, b.radialVelocity);
    s.outOfPlaneMm = mix(a.outOfPlaneMm, b.outOfPlaneMm);
    s.outOfPlaneVelocity = mix(a.outOfPlaneVelocity, b.outOfPlaneVelocity);
    s.velocity = mix(a.velocity, b.velocity);
    s.surfaceTemperature = mix(a.surfaceTemperature, b.surfaceTemperature);
    s.meanTemperature = mix(a.meanTemperature, b.meanTemperature);
    s.coreTemperature = mix(a.coreTemperature, b.coreTemperature);
    s.moltenFraction = mix(a.moltenFraction, b.moltenFraction);
    s.massFraction = mix(a.massFraction, b.massFraction);
    s.diameterUm = mix(a.diameterUm, b.diameterUm);
    s.gasTemperature = mix(a.gasTemperature, b.gasTemperature);
    s.gasVelocity = mix(a.gasVelocity, b.gasVelocity);
    return s;
}

} // namespace

ParticleFlight::ParticleFlight(const JetField& field, const Material& material, const ModelOptions& model,
                               const ParticleStart& start)
    : field_(field),
      model_(model),
      emissivity_(model.radiation ? material.emissivity : 0),
      heatCapacity_(std::min(material.heatCapacitySolid, material.heatCapacityLiquid)),
      heat_(material, start.diameter, start.temperature, model.internalConduction ? model.shellCount : 0),
      z_(start.axialMm * 1e-3),
      y_(start.radialMm * 1e-3),
      x_(start.outOfPlaneMm * 1e-3),
      vz_(start.axialVelocity),
      vy_(start.radialVelocity),
      vx_(start.outOfPlaneVelocity),
      initialMass_(heat_.mass()),
      initialEnthalpy_(heat_.enthalpy()),
      switches_(exchangeSwitches(model, field.gasCode)) {
    lookUpHere();
}

void ParticleFlight::lookUpHere() {
    regionHere_ = gasAtParticle(gasHere_, &slopesHere_);
    updateState(gasHere_);
}

// The jet is axisymmetric: the gas is looked up at the distance from the axis,
// and its radial velocity points away from the axis through the particle.
// Beyond the field's radius the particle flies on through the surroundings:
// the same gas, at rest, at the field's ambient temperature.
GasRegion ParticleFlight::gasAtParticle(GasAtParticle& gas, GasSlopes* slopes) const {
    if (!(z_ >= 0)) return GasRegion::Upstream;
    auto lookUp = [&](double radiusMm) {
        return slopes ? field_.sampleWithSlopes(z_ * 1e3, radiusMm, gas, *slopes)
                      : field_.sample(z_ * 1e3, radiusMm, gas);
    };
    const double r = withOutOfPlane(y_, x_);
    if (!lookUp(r * 1e3)) {
        gas = GasAtParticle{};
        gas.temperature = field_.ambientTemperature;
        if (slopes) *slopes = GasSlopes{};
        return GasRegion::Surroundings;
    }
    if (x_ == 0) {
        gas.radialVelocity *= sign(y_);  // the gas flows away from the axis on either side
        gas.outOfPlaneVelocity = 0;
        return GasRegion::Field;
    }
    const double away = gas.radialVelocity;
    gas.radialVelocity = away * (y_ / r);
    gas.outOfPlaneVelocity = away * (x_ / r);
    return GasRegion::Field;
}

// The path (mm) over which the gas the particle meets changes by
// kGasChangeShare of itself, from the field's slopes at the particle and
// the direction it flies in; within kMaxStepPathMm..kLongestStepPathMm.
double ParticleFlight::uniformPathMm(const GasAtParticle& gas, const GasSlopes& slope, double speed) const {
    const double r = withOutOfPlane(y_, x_);
    const double away = r > 0 ? (y_ * vy_ + x_ * vx_) / r : 0.0;  // particle velocity away from the axis
    const double alongZ = vz_ / speed, alongR = away / speed;
    const double temperatureChange = std::fabs(slope.temperatureAxial * alongZ + slope.temperatureRadial * alongR);
    const double velocityChange = std::fabs(slope.velocityAxial * alongZ + slope.velocityRadial * alongR);
    const double velocityScale = std::max(std::fabs(gas.axialVelocity), speed);
    double path = kLongestStepPathMm;
    if (temperatureChange * path > kGasChangeShare * gas.temperature)
        path = kGasChangeShare * gas.temperature / temperatureChange;
    if (velocityChange * path > kGasChangeShare * velocityScale)
        path = kGasChangeShare * velocityScale / velocityChange;
    return std::max(path, kMaxStepPathMm);
}

double ParticleFlight::chooseStep(const Exchange& exchange) const {
    // The speed updateState found for the present velocity.
    const double speed = std::max(state_.velocity, 1.0);
    double dt = std::min(uniformPathMm(gasHere_, slopesHere_, speed) * 1e-3 / speed, kLongestStep);
    dt = std::min(dt, kResponseShare * exchange.relaxationTime);
    const double heatingTime = heat_.mass() * heatCapacity_ / exchange.thermalConductance;
    dt = std::min(dt, kResponseShare * heatingTime);
    return dt * model_.timeStepScale;
}

void ParticleFlight::updateState(const GasAtParticle& gas) {
    state_.timeMs = time_ * 1e3;
    state_.axialMm = z_ * 1e3;
    state_.radialMm = y_ * 1e3;
    state_.axialVelocity = vz_;
    state_.radialVelocity = vy_;
    state_.outOfPlaneMm = x_ * 1e3;
    state_.outOfPlaneVelocity = vx_;
    state_.velocity = withOutOfPlane(std::hypot(vz_, vy_), vx_);
    state_.surfaceTemperature = heat_.surfaceTemperature();
    state_.meanTemperature = heat_.meanTemperature();
    state_.coreTemperature = heat_.coreTemperature();
    state_.moltenFraction = heat_.moltenFraction();
    state_.massFraction = heat_.mass() / initialMass_;
    state_.diameterUm = heat_.diameter() * 1e6;
    state_.gasTemperature = gas.temperature;
    state_.gasVelocity = gas.axialVelocity;
    maxSurface_ = std::max(maxSurface_, state_.surfaceTemperature);
    maxMolten_ = std::max(maxMolten_, state_.moltenFraction);
}

// Momentum: over one step the gas velocity and the relaxation time are held,
// and dv/dt = (u - v)/tau + g is integrated exactly (an exponential
// approach to u + g tau). Gas state and exchange coefficients are taken as
// the mean of their values at the start and at the end of a first pass
// (Heun's predictor-corrector), which makes the step second order along the
// path. Heat: one implicit step of the conduction model with those means.
void ParticleFlight::advance(double dt, const GasAtParticle& start, const Exchange& startExchange) {
    const double z0 = z_, y0 = y_, x0 = x_, vz0 = vz_, vy0 = vy_, vx0 = vx_;
    auto move = [&](const GasAtParticle& gas, double tau) {
        const double decay = std::exp(-dt / tau);
        const double reach = tau * (1.0 - decay);  // integral of the decay over the step
        const double targetZ = gas.axialVelocity;
        const double targetY = gas.radialVelocity - (model_.gravity ? kGravity * tau : 0.0);
        z_ = z0 + targetZ * dt + (vz0 - targetZ) * reach;
        y_ = y0 + targetY * dt + (vy0 - targetY) * reach;
        const double targetX = gas.outOfPlaneVelocity;
        x_ = x0 + targetX * dt + (vx0 - targetX) * reach;
        vx_ = targetX + (vx0 - targetX) * decay;
        vz_ = targetZ + (vz0 - targetZ) * decay;
        vy_ = targetY + (vy0 - targetY) * decay;
    };
    move(start, startExchange.relaxationTime);
    GasAtParticle mean = start, end;
    Exchange exchange = startExchange;
    // A step that crosses the field's edge keeps the gas it started in: the
    // gas jumps there, and a mean across the jump is neither side's.
    if (gasAtParticle(end) == regionHere_) {
        mean.temperature = 0.5 * (start.temperature + end.temperature);
        mean.axialVelocity = 0.5 * (start.axialVelocity + end.axialVelocity);
        mean.radialVelocity = 0.5 * (start.radialVelocity + end.radialVelocity);
        mean.outOfPlaneVelocity = 0.5 * (start.outOfPlaneVelocity + end.outOfPlaneVelocity);
        const Exchange endExchange = exchangeWith(end);
        // The mean drag is the mean of the rates 1/tau.
        exchange.relaxationTime = 2.0 / (1.0 / startExchange.relaxationTime + 1.0 / endExchange.relaxationTime);
        exchange.heatConductance = 0.5 * (startExchange.heatConductance + endExchange.heatConductance);
        exchange.blowingScale = 0.5 * (startExchange.blowingScale + endExchange.blowingScale);
        move(mean, exchange.relaxationTime);
    }

    const double d = heat_.diameter();
    const PlasmaSurface surface(field_, mean.temperature, exchange, emissivity_ * kStefanBoltzmann * kPi * d * d,
                                heat_.material(), model_);
    const StepEnergy e = heat_.step(dt, surface);
    energy_.convective += e.convective;
    energy_.radiated += e.radiated;
    energy_.vapour += e.vapour;
    energy_.evaporatedMass += e.evaporatedMass;
    time_ += dt;
}

Exchange ParticleFlight::exchangeWith(const GasAtParticle& gas) const {
    const double slip = withOutOfPlane(std::hypot(gas.axialVelocity - vz_, gas.radialVelocity - vy_),
                                       gas.outOfPlaneVelocity - vx_);
    return computeExchange(field_, gas.temperature, heat_.surfaceTemperature(), slip, heat_.diameter(),
                           heat_.density(), switches_);
}

void ParticleFlight::stepBy(double dt) {
    if (regionHere_ == GasRegion::Upstream) return;
    advance(dt, gasHere_, exchangeWith(gasHere_));
    lookUpHere();
}

void ParticleFlight::endAtPlane(double planeMm, const ParticleState& before, ParticleStatus status) {
    const double span = state_.axialMm - before.axialMm;
    const double w = span > 0 ? std::clamp((planeMm - before.axialMm) / span, 0.0, 1.0) : 1.0;
    state_ = interpolate(before, state_, w);
    state_.axialMm = planeMm;
    status_ = status;
    ended_ = true;
}

bool ParticleFlight::step(double standoffMm) {
    if (ended_) return false;
    if (regionHere_ == GasRegion::Upstream) {  // started behind the nozzle exit
        status_ = ParticleStatus::MissedUpstream;
        ended_ = true;
        return false;
    }
    const Exchange exchange = exchangeWith(gasHere_);
    const ParticleState before = state_;
    advance(chooseStep(exchange), gasHere_, exchange);
    lookUpHere();

    if (state_.massFraction < kEvaporatedMassFraction) {
        status_ = ParticleStatus::Evaporated;
        ended_ = true;
    } else if (state_.axialMm >= standoffMm && standoffMm <= field_.endMm()) {
        endAtPlane(standoffMm, before, ParticleStatus::Arrived);
    } else if (state_.axialMm >= field_.endMm()) {
        // A field that ends before the plane is a jet the solver could not
        // march further: the gas beyond is the hot jet, not the surroundings,
        // and nothing is known of it. (A spray puts its plane there.)
        endAtPlane(field_.endMm(), before, ParticleStatus::FieldEnded);
    } else if (regionHere_ == GasRegion::Upstream) {
        status_ = ParticleStatus::MissedUpstream;
        ended_ = true;
    } else if (state_.timeMs > model_.maxFlightTimeMs || ++steps_ > kMaxSteps) {
        status_ = ParticleStatus::TimedOut;
        ended_ = true;
    }
    return !ended_;
}

ParticleResult flyParticle(const JetField& field, const Material& material, const ModelOptions& model,
                           const ParticleStart& start, double standoffMm, double substrateRadiusMm,
                           Trajectory* trajectory) {
    ParticleFlight flight(field, material, model, start);
    double pathSinceSample = 0;
    ParticleState last = flight.state();
    if (trajectory) trajectory->samples.push_back(last);
    while (flight.step(standoffMm)) {
        if (!trajectory) continue;
        const ParticleState& now = flight.state();
        pathSinceSample += withOutOfPlane(std::hypot(now.axialMm - last.axialMm, now.radialMm - last.radialMm),
                                          now.outOfPlaneMm - last.outOfPlaneMm);
        last = now;
        if (pathSinceSample >= 1.0) {
            trajectory->samples.push_back(now);
            pathSinceSample = 0;
        }
    }
    const ParticleState& end = flight.state();
    const bool besideSubstrate = flight.status() == ParticleStatus::Arrived &&
                                 withOutOfPlane(end.radialMm, end.outOfPlaneMm) > substrateRadiusMm;
    const ParticleStatus status = besideSubstrate ? ParticleStatus::MissedSide : flight.status();
    if (trajectory) {
        trajectory->samples.push_back(end);
        trajectory->status = status;
        trajectory->diameterUm = start.diameter * 1e6;
    }
    ParticleResult r;
    r.diameterUm = start.diameter * 1e6;
    r.injectionVelocity = withOutOfPlane(std::hypot(start.axialVelocity, start.radialVelocity), start.outOfPlaneVelocity);
    r.status = status;
    r.final = flight.state();
    r.maxSurfaceTemperature = flight.maxSurfaceTemperature();
    r.maxMoltenFraction = flight.maxMoltenFraction();
    r.initialMassKg = flight.initialMass();
    r.heatFromGas = flight.energy().convective;
    r.heatRadiated = flight.energy().radiated;
    r.heatOfVapour = flight.energy().vapour;
    r.enthalpyGain = flight.heat().enthalpy() - flight.initialEnthalpy();
    r.unconvergedSteps = flight.heat().unconvergedSteps();
    return r;
}

} // namespace torvex::particles
