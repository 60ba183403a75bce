// Heat conduction inside a spherical particle with melting and evaporation:
// an enthalpy method on radial shells, implicit (backward Euler) in time,
// with the nonlinear enthalpy-temperature relation solved by Newton
// iterations on the enthalpy (Voller and Swaminathan 1991; Voller 1990).
//
// Nodes 0..N lie at radii i R / N (node 0 at the centre, node N on the
// surface); each owns the shell between the midpoints to its neighbours.
// With N = 0 the particle is lumped: one temperature for the whole sphere.
#pragma once

#include "particles/materials.h"

#include <array>

namespace torvex::particles {

constexpr int kMaxShells = 64;

// What the surface exchanges with its surroundings, as a function of the
// surface temperature: Q_in(T) = convective(T) - radiated(T), both with their
// derivatives, from a model the caller sets up for one step.
struct SurfaceHeat {
    double convective = 0, convectiveSlope = 0;  // W, W/K
    double radiated = 0, radiatedSlope = 0;      // W, W/K
    // Vapour diffusing off the surface below the boiling point, kg/s and
    // kg/(s K); it takes the latent heat of vaporisation with it.
    double evaporation = 0, evaporationSlope = 0;
    // Mass flow (kg/s) that scales the vapour's blowing: a surface
    // evaporating at m gets the convective heat times heatLeftByVapour(m /
    // blowingScale). 0: no shielding. `convective` is the heat without it.
    double blowingScale = 0;
};

// Share of the convective heat that reaches a surface blowing vapour off,
// phi / (e^phi - 1) with phi the vapour's mass flow over the blowing scale
// (Spalding 1953; Abramzon and Sirignano 1989); `slope` gets its derivative
// by phi. At a boiling surface whose whole heat goes into vapour this is
// ln(1 + B) / B, B the Spalding transfer number.
double heatLeftByVapour(double phi, double& slope);

class SurfaceModel {
public:
    virtual ~SurfaceModel() = default;
    virtual SurfaceHeat at(double surfaceTemperature) const = 0;
};

// Energy that crossed the surface in one step, J (and mass evaporated, kg).
struct StepEnergy {
    double convective = 0;
    double radiated = 0;
    double vapour = 0;  // latent heat of the vapour plus the enthalpy it carried
    double evaporatedMass = 0;
};

class SphereHeat {
public:
    SphereHeat(const Material& material, double diameter, double initialTemperature, int shellCount);

    // One implicit step of dt seconds with the surface exchanging heat as the
    // model says. Once the surface reaches the boiling point it is held there
    // and the surplus heat, less the vapour's shielding, evaporates mass from
    // it. A step whose iteration does not converge is split in halves (down to
    // 1/256 of it); one that still fails is kept and counted.
    StepEnergy step(double dt, const SurfaceModel& surface);
    // One implicit step with the surface held at a given temperature (no
    // evaporation): the classical conduction problem.
    void stepFixedSurface(double dt, double surfaceTemperature);

    // Outer diameter: the molten share of every shell at the liquid density,
    // the rest at the solid one (the particle swells as it melts). The
    // conduction grid keeps the solid geometry.
    double diameter() const { return outerDiameter_; }
    double mass() const { return totalMass_; }
    double enthalpy() const;  // J, relative to solid at the melting point
    double surfaceTemperature() const { return temperature(nodes_); }
    double coreTemperature() const { return temperature(0); }
    double meanTemperature() const { return meanTemperature_; }  // mass-weighted
    double moltenFraction() const { return moltenFraction_; }    // of the present mass
    int shellCount() const { return nodes_; }
    double temperature(int node) const;
    double nodeRadius(int node) const { return nodes_ == 0 ? 0 : radius_ * node / nodes_; }
    double density() const { return outerDensity_; }  // mass over the outer volume
    int unconvergedSteps() const { return unconverged_; }
    const Material& material() const { return material_; }

private:
    using Nodes = std::array<double, kMaxShells + 1>;
    double temperatureOf(double h) const;
    double slopeOf(double h) const;  // dT/dH
    double temperatureAndSlopeOf(double h, double& slope) const;
    double conductivityOf(double h) const;
    double enthalpyOf(double t) const;
    double moltenShareOf(double h) const;
    // The shell masses and the shells' conductances from the radius, and
    // their sum, after every change of the radius.
    void computeMasses();
    double sumOfShellMasses() const;
    // The outer size, the molten fraction and the mean temperature, after
    // every change of the enthalpies or the mass.
    void updateOuterSize();
    // Solves the implicit step from the enthalpies `old` (a copy of those at
    // its start, which the caller keeps for the step's other uses); with
    // heldNode >= 0 that node is kept at the enthalpy heldEnthalpy. Returns
    // the heat that entered through the surface (linearised model) when
    // surface != nullptr, and whether the iteration converged.
    bool solve(double dt, const Nodes& old, const SurfaceModel* surface, int heldNode, double heldEnthalpy,
               double& innerFlux, SurfaceHeat& applied);
    // One step without splitting from the enthalpies `before` (equal to the
    // present ones); false when it did not converge.
    bool tryStep(double dt, const SurfaceModel& surface, const Nodes& before, StepEnergy& energy);
    StepEnergy splitStep(double dt, const SurfaceModel& surface, int depth, const Nodes& enthalpyBefore);
    void shrink(double evaporatedMass, double& carriedEnthalpy);

    Material material_;
    int nodes_ = 0;
    double radius_ = 0;
    double solidSlope_, liquidSlope_;  // dT/dH of the solid and of the liquid, kg K/J
    Nodes enthalpy_{};     // J/kg; 0 = solid at the melting point, L = liquid there
    Nodes mass_{};         // kg of each shell
    double totalMass_ = 0;  // kg, the sum of mass_ from the centre outward
    Nodes conductance_{};  // area / distance between node i and i+1, m (times k gives W/K)
    Nodes heatingRate_{};  // J/(kg s) of each shell over the last step, to start the next one's iteration
    bool rateKnown_ = false;
    int unconverged_ = 0;
    double outerDiameter_ = 0;
    double outerVolume_ = -1;  // m3, the volume outerDiameter_ was computed for (none yet)
    double outerDensity_ = 0;
    double moltenFraction_ = 0;
    double meanTemperature_ = 0;
};

} // namespace torvex::particles
