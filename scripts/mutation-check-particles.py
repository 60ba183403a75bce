#!/usr/bin/env python3
"""Mutation check of the particle-model tests.

Applies realistic single slips to the particle model (a constant of a
correlation off by a little, a dropped factor, a sign turned, a neighbour
index, a property read at the wrong temperature, a field column read one
off, ...) one at a time in a scratch copy of the source tree, rebuilds the
particle tests there and runs them twice: first without the golden cases
(the analytic limits, the physical checks and the readers), then the golden
cases alone. A mutation a run fails on is killed by it. A mutation both
pass is run over a wider set of spray cases (the golden matrix, every
material on both jets, single sizes from 5 to 100 um, the model switches)
and compared with the unmutated model, to tell a slip that changes results
from one that changes nothing (an equivalent mutation).

    scripts/mutation-check-particles.py [--scratch DIR] [--only SUBSTRING]... [--list]

Takes minutes (one rebuild and two test runs per mutation); it is not part
of the test suite. Prints a table and the kill rates over the mutations that
change results: by the whole suite, and by the suite without the goldens.
"""

import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import mutation_driver  # noqa: E402

# (file under particles/, text as it stands, text after the slip, what the slip is)
MUTATIONS = [
    # Drag and heat exchange
    ("exchange.cpp", "1.0 + 0.15 * std::pow(reynolds, 0.687)", "1.0 + 0.15 * std::pow(reynolds, 0.678)",
     "Schiller-Naumann exponent 0.687 -> 0.678"),
    ("exchange.cpp", "1.0 + 0.15 * std::pow(reynolds, 0.687)", "1.0 + 0.16 * std::pow(reynolds, 0.687)",
     "Schiller-Naumann coefficient 0.15 -> 0.16"),
    ("exchange.cpp", "return 0.44 * reynolds / 24.0;", "return 0.4 * reynolds / 24.0;", "Newton-regime Cd 0.44 -> 0.4"),
    ("exchange.cpp", "return 2.0 + 0.6 * std::sqrt(reynolds) * std::cbrt(prandtl);",
     "return 2.0 + 0.66 * std::sqrt(reynolds) * std::cbrt(prandtl);", "Ranz-Marshall coefficient 0.6 -> 0.66"),
    ("exchange.cpp", "return 2.0 + 0.6 * std::sqrt(reynolds) * std::cbrt(prandtl);",
     "return 2.0 + 0.6 * std::sqrt(reynolds) * std::sqrt(prandtl);", "Ranz-Marshall Pr^1/2 instead of Pr^1/3"),
    ("exchange.cpp", "surface.viscosity), -0.45);", "surface.viscosity), -0.4);",
     "Lee-Pfender property exponent -0.45 -> -0.4"),
    ("exchange.cpp", "std::sqrt(kPi / (2.0 * gas.density * kAtmosphericPressure))",
     "std::sqrt(kPi / (gas.density * kAtmosphericPressure))", "mean free path without the factor 2"),
    ("exchange.cpp", "constexpr double kAccommodation = 0.8;", "constexpr double kAccommodation = 0.9;",
     "thermal accommodation 0.8 -> 0.9"),
    ("exchange.cpp", "constexpr double kHeatCapacityRatio = 5.0 / 3.0;", "constexpr double kHeatCapacityRatio = 7.0 / 5.0;",
     "Knudsen bracket with a diatomic gamma"),
    ("exchange.cpp", "dragFactor = std::pow(bracket, -0.45);", "dragFactor = std::pow(bracket, -0.5);",
     "Knudsen drag exponent -0.45 -> -0.5"),
    ("exchange.cpp", "heatFactor = 1.0 / bracket;", "heatFactor = 1.0;", "Knudsen factor dropped from the heat flux"),
    ("exchange.cpp", "x.knudsen = meanFreePath(film) / diameter;", "x.knudsen = meanFreePath(free) / diameter;",
     "Knudsen number at free-stream properties"),
    ("exchange.cpp", "const double freeReynolds = free.density * slip * diameter / free.viscosity;",
     "const double freeReynolds = film.density * slip * diameter / film.viscosity;", "drag Reynolds number on the film"),
    ("exchange.cpp", "dragFactor *= propertyRatioFactor(free, field.properties(surfaceTemperature));",
     "dragFactor *= propertyRatioFactor(free, film);", "property ratio against the film, not the surface"),
    ("exchange.cpp", "particleDensity * diameter * diameter / (18.0 * free.viscosity)",
     "particleDensity * diameter * diameter / (12.0 * free.viscosity)", "Stokes time with 12 instead of 18"),
    ("exchange.cpp", "x.reynolds = film.density * slip * diameter / film.viscosity;",
     "x.reynolds = film.density * slip * diameter / free.viscosity;", "Nusselt Reynolds number with a free viscosity"),
    ("exchange.cpp", "const double prandtl = film.heatCapacity * film.viscosity / film.conductivity;",
     "const double prandtl = free.heatCapacity * free.viscosity / free.conductivity;", "Prandtl number at free stream"),
    ("exchange.cpp", "x.thermalConductance = x.heatConductance * film.conductivity;",
     "x.thermalConductance = x.heatConductance * free.conductivity;", "heating time with the free conductivity"),
    # Gas field and properties
    ("jet_field.cpp", "const std::size_t i10 = i00 + kFieldRadii;", "const std::size_t i10 = i00 + kFieldRadii + 1;",
     "downstream cross-section read one radius out"),
    ("jet_field.cpp", "const double lower = v[i00] + (v[i00 + 1] - static_cast<double>(v[i00])) * b;",
     "const double lower = v[i00] + (v[i10] - static_cast<double>(v[i00])) * b;",
     "radial interpolation toward the next cross-section"),
    ("jet_field.cpp", "if (z < 50) return 20 + static_cast<int>(z - 10);", "if (z < 50) return 21 + static_cast<int>(z - 10);",
     "record search one cross-section late from 10 mm"),
    ("jet_field.cpp", "return 50.0 + 2.0 * (record - 60);", "return 50.0 + 2.0 * (record - 59);",
     "distances beyond 50 mm one step ahead"),
    ("jet_field.cpp", "block == 1 ? read.axialVelocity : read.radialVelocity;",
     "block == 1 ? read.radialVelocity : read.axialVelocity;", "axial and radial velocity blocks swapped"),
    ("jet_field.cpp", "return conductionPotential[j] + k0 * x + 0.5 * (k1 - k0) / rowStep(j) * x * x;",
     "return conductionPotential[j] + k0 * x + (k1 - k0) / rowStep(j) * x * x;", "conduction potential: quadratic term doubled"),
    ("jet_field.cpp", "field.conductionPotential[j] + 0.5 * (k0 + k1) * rowStep(j);",
     "field.conductionPotential[j] + k1 * rowStep(j);", "conduction potential by the upper row alone"),
    ("jet_field.cpp", "int tableRow(double t) { return t < 500 ? 1 : static_cast<int>(t / 500) + 1; }",
     "int tableRow(double t) { return t < 500 ? 1 : static_cast<int>(t / 500); }", "conduction potential one table row low"),
    # Flight
    ("particle_flight.cpp", "gas.radialVelocity *= sign(y_);", "gas.radialVelocity *= 1.0;",
     "gas radial velocity not turned below the axis"),
    ("particle_flight.cpp", "heat.radiated = radiation_ * (ts * ts * ts * ts - ambient4);",
     "heat.radiated = radiation_ * (ts * ts * ts * ts + ambient4);", "radiation: surroundings with the wrong sign"),
    ("particle_flight.cpp", "heat.radiatedSlope = 4 * radiation_ * ts * ts * ts;",
     "heat.radiatedSlope = 3 * radiation_ * ts * ts * ts;", "radiation slope 4 T^3 -> 3 T^3"),
    ("particle_flight.cpp", "emissivity_ * kStefanBoltzmann * kPi * d * d)", "emissivity_ * kStefanBoltzmann * kPi * d * d / 4)",
     "radiation from the projected area"),
    ("particle_flight.cpp", "heat.convectiveSlope = ts > 300 ? -g * field_.properties(ts).conductivity : 0;",
     "heat.convectiveSlope = ts > 300 ? -g * field_.properties(gas_).conductivity : 0;",
     "convective slope with the gas conductivity"),
    ("particle_flight.cpp", "const double targetY = gas.radialVelocity - (model_.gravity ? kGravity * tau : 0.0);",
     "const double targetY = gas.radialVelocity + (model_.gravity ? kGravity * tau : 0.0);", "gravity upward"),
    ("particle_flight.cpp", "const double reach = tau * (1.0 - decay);", "const double reach = tau * decay;",
     "path integral of the decay wrong"),
    ("particle_flight.cpp", "exchange.heatConductance = 0.5 * (startExchange.heatConductance + endExchange.heatConductance);",
     "exchange.heatConductance = endExchange.heatConductance;", "heat conductance of the step's end only"),
    ("particle_flight.cpp", "mean.temperature = 0.5 * (start.temperature + end.temperature);",
     "mean.temperature = start.temperature;", "gas temperature of the step's start only"),
    ("particle_flight.cpp", "constexpr double kResponseShare = 0.1;", "constexpr double kResponseShare = 0.3;",
     "step up to 0.3 of the response times"),
    ("particle_flight.cpp", "const double w = span > 0 ? std::clamp((planeMm - before.axialMm) / span, 0.0, 1.0) : 1.0;",
     "const double w = 1.0;", "state at the plane not interpolated"),
    ("particle_flight.cpp", "heatCapacity_(std::min(material.heatCapacitySolid, material.heatCapacityLiquid)),",
     "heatCapacity_(std::max(material.heatCapacitySolid, material.heatCapacityLiquid)),",
     "step control with the larger heat capacity"),
    # Conduction, melting and evaporation
    ("sphere_heat.cpp", "return material_.latentHeatFusion + material_.heatCapacityLiquid * (t - tm);",
     "return material_.heatCapacityLiquid * (t - tm);", "liquid enthalpy without the latent heat"),
    ("sphere_heat.cpp", "if (h < 0) return 1.0 / material_.heatCapacitySolid;",
     "if (h < 0) return 1.0 / material_.heatCapacityLiquid;", "solid slope with the liquid heat capacity"),
    ("sphere_heat.cpp", "if (h <= 0) return material_.conductivitySolid;", "if (h <= 0) return material_.conductivityLiquid;",
     "solid conducts as the liquid"),
    ("sphere_heat.cpp", "if (i < nodes_) conductance_[i] = 4.0 * kPi * outer * outer / dr;",
     "if (i < nodes_) conductance_[i] = 4.0 * kPi * inner * inner / dr;", "shell conductance at the inner face"),
    ("sphere_heat.cpp", "const double outer = i == nodes_ ? radius_ : (i + 0.5) * dr;",
     "const double outer = i == nodes_ ? radius_ : (i + 1) * dr;", "shell boundaries at the nodes, not midway"),
    ("sphere_heat.cpp", "g[i] = conductance_[i] * 0.5 * (conductivityOf(old[i]) + conductivityOf(old[i + 1]));",
     "g[i] = conductance_[i] * conductivityOf(old[i]);", "conductivity of the inner node only"),
    ("sphere_heat.cpp", "lower[i] = -g[i - 1] * b[i - 1];", "lower[i] = -g[i - 1] * b[i];", "tridiagonal: lower slope of the node itself"),
    ("sphere_heat.cpp", "rhs[n] += heat.convective - heat.radiated + slope * (c[n] - ts);",
     "rhs[n] += heat.convective + heat.radiated + slope * (c[n] - ts);", "radiation gained, not lost"),
    ("sphere_heat.cpp", "double evaporated = surplus * dt / material_.latentHeatVaporisation;",
     "double evaporated = surplus * dt / material_.latentHeatFusion;", "evaporation with the latent heat of fusion"),
    ("sphere_heat.cpp", "energy.vapour = surplus * dt + carried;", "energy.vapour = surplus * dt;",
     "vapour's own enthalpy not counted"),
    ("sphere_heat.cpp", "radius_ *= std::cbrt((total - evaporatedMass) / total);",
     "radius_ *= std::sqrt((total - evaporatedMass) / total);", "radius shrinks as the square root of the mass"),
    ("sphere_heat.cpp", "const double f = l > 0 ? std::clamp(h / l, 0.0, 1.0) : (h > 0 ? 1.0 : 0.0);",
     "const double f = l > 0 ? (h > 0 ? 1.0 : 0.0) : (h > 0 ? 1.0 : 0.0);",
     "molten fraction counts a shell molten as soon as it starts to melt"),
    ("sphere_heat.cpp", "const double surplus = atBoiling.convective - atBoiling.radiated - innerFlux -",
     "const double surplus = atBoiling.convective - atBoiling.radiated -", "evaporation ignores the heat conducted inward"),
    # Powder, statistics and files
    ("powder_sampling.cpp", "constexpr double kNormalQuantile90 = 1.2815515655446004;",
     "constexpr double kNormalQuantile90 = 1.6448536269514722;", "log-normal fit with the 95 % quantile"),
    ("powder_sampling.cpp", "return size.medianUm * std::exp(size.sigma * z);", "return size.medianUm * std::exp(size.sigma * z * z);",
     "diameter drawn with z squared"),
    ("spray_run.cpp", "(1.0 + o.injection.velocitySpread * (2.0 * random.uniform() - 1.0))",
     "(1.0 + o.injection.velocitySpread * random.uniform())", "speed spread one-sided"),
    ("spray_run.cpp", "s.axialVelocity = speed * std::sin(angle);", "s.axialVelocity = speed * std::cos(angle);",
     "injection angle: sine and cosine swapped"),
    ("spray_statistics.cpp", "const double w = massAtPlane(p);", "const double w = p.initialMassKg;",
     "mass weighting with the injected mass"),
    ("spray_statistics.cpp", "spot += molten * p.final.radialMm;", "spot += mass * p.final.radialMm;",
     "deposition spot weighted by all the mass"),
    ("spray_statistics.h", "constexpr double kFullyMolten = 0.999;", "constexpr double kFullyMolten = 0.99;",
     "fully molten from 99 %"),
    ("spray_files.cpp", "formatFixed(s.velocity, 2) + \",\" +\n           formatFixed(s.axialVelocity, 2)",
     "formatFixed(s.axialVelocity, 2) + \",\" +\n           formatFixed(s.axialVelocity, 2)", "velocity column holds the axial velocity"),
]

# Besides the golden matrix: every material on both jets at three single
# sizes, the model switches, and injection corners. A survivor that moves
# none of these changes no result.
def wide_cases():
    lines = []
    for jet in ("argon", "argon_hydrogen10"):
        for material in ("al2o3", "ysz8", "tio2", "ni", "nicr", "mo", "cu"):
            for diameter in (5, 30, 100):
                lines.append(f"case wide_{jet}_{material}_{diameter} {jet} material={material} diameter={diameter} "
                             f"count=8 divergence=30 radius=4 velocity=10")
        lines.append(f"case wide_{jet}_lumped_gravity {jet} material=ysz8 lumped gravity divergence=40 count=20")
        lines.append(f"case wide_{jet}_fast {jet} material=mo d10=10 d50=25 d90=45 velocity=60 side=-1 count=20")
        lines.append(f"case wide_{jet}_shells {jet} material=al2o3 shells=40 count=10 standoff=180")
    return lines


TARGET = mutation_driver.Target(
    source_dir="particles",
    test_binary="torvex_particles_tests",
    generator="kavel-golden",
    golden_manifest=os.path.join("tests", "particles", "golden", "cases.txt"),
    wide_lines=wide_cases,
    scratch="/tmp/kavel-mutants",
    noun="cases",
    golden_filter="Matrix/SprayMatrixGolden.*:Powders/SprayGoldens.*",
)

if __name__ == "__main__":
    sys.exit(mutation_driver.main(__doc__, MUTATIONS, TARGET))
