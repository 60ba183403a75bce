// The flight of one particle through the jet: position and velocity in three
// dimensions (the plane through the axis and the injector, and across it),
// drag toward the local plasma velocity of the axisymmetric jet, heating,
// melting and evaporation, step by step in time.
#pragma once

#include "particles/exchange.h"
#include "particles/particle_model.h"
#include "particles/sphere_heat.h"

namespace torvex::particles {

struct ParticleStart {
    double diameter = 40e-6;   // m
    double axialMm = 2;        // from the nozzle exit
    double radialMm = 8;       // signed, in the injection plane
    double axialVelocity = 0;  // m/s
    double radialVelocity = 0; // m/s, along +y
    double outOfPlaneMm = 0;   // x, across the injection plane
    double outOfPlaneVelocity = 0;  // m/s, along +x
    double temperature = 300;  // K
};

// The gas at the particle: the jet's state at its distance from the axis,
// with the radial velocity split into its y (radialVelocity) and x parts.
struct GasAtParticle : GasPoint {
    double outOfPlaneVelocity = 0;  // m/s, along +x
};

constexpr double kAmbientTemperature = kRoomTemperature;  // K, surroundings the particle radiates to
constexpr double kGravity = 9.81;            // m/s2, along -y when switched on

// Where the particle is: in the computed field, in the still surroundings
// beyond its radius or its last cross-section, or behind the nozzle exit.
enum class GasRegion { Field, Surroundings, Upstream };

class ParticleFlight {
public:
    ParticleFlight(const JetField& field, const Material& material, const ModelOptions& model,
                   const ParticleStart& start);

    // One time step; false once the flight has ended (status() tells why).
    // The flight ends at the plane standoffMm (status Arrived there, whatever
    // the distance from the axis), behind the nozzle exit, by evaporation or
    // after the longest flight time; beyond the field it goes on through the
    // still surroundings.
    bool step(double standoffMm);
    // A step of exactly dt seconds in the gas at the particle (tests).
    void stepBy(double dt);

    const ParticleState& state() const { return state_; }
    ParticleStatus status() const { return status_; }
    bool ended() const { return ended_; }
    const SphereHeat& heat() const { return heat_; }
    double initialMass() const { return initialMass_; }
    double initialEnthalpy() const { return initialEnthalpy_; }
    const StepEnergy& energy() const { return energy_; }  // totals of the flight
    double maxSurfaceTemperature() const { return maxSurface_; }
    double maxMoltenFraction() const { return maxMolten_; }

private:
    // With `slopes`, also the field's slopes there (zero in the surroundings).
    GasRegion gasAtParticle(GasAtParticle& gas, GasSlopes* slopes = nullptr) const;
    Exchange exchangeWith(const GasAtParticle& gas) const;  // at the present velocity and surface
    double uniformPathMm(const GasAtParticle& gas, const GasSlopes& slope, double speed) const;
    double chooseStep(const Exchange& exchange) const;  // from the gas here and its slopes
    void advance(double dt, const GasAtParticle& gas, const Exchange& exchange);
    void updateState(const GasAtParticle& gas);
    void lookUpHere();  // the gas and its slopes at the new position, then the state
    void endAtPlane(double planeMm, const ParticleState& before, ParticleStatus status);

    const JetField& field_;
    ModelOptions model_;
    double emissivity_;
    double heatCapacity_;  // J/(kg K), the smaller of solid and liquid
    SphereHeat heat_;
    double z_, y_, x_, vz_, vy_, vx_;  // m, m/s
    double time_ = 0;         // s
    long steps_ = 0;
    double initialMass_, initialEnthalpy_;
    StepEnergy energy_;
    ParticleState state_;
    ParticleStatus status_ = ParticleStatus::Arrived;
    bool ended_ = false;
    double maxSurface_ = 0, maxMolten_ = 0;
    ExchangeSwitches switches_;
    // The gas at the present position and the field's slopes there (looked
    // up once per position), and the region that position lies in.
    GasAtParticle gasHere_;
    GasSlopes slopesHere_;
    GasRegion regionHere_ = GasRegion::Upstream;
};

// Flies one particle to the plane (or the end of its flight) and returns its
// result: arrived when it crosses the plane on the substrate, a disc of
// substrateRadiusMm around the axis, missed sideways when beside it. With a
// trajectory, records about one sample per millimetre of path.
ParticleResult flyParticle(const JetField& field, const Material& material, const ModelOptions& model,
                           const ParticleStart& start, double standoffMm, double substrateRadiusMm,
                           Trajectory* trajectory);

} // namespace torvex::particles
