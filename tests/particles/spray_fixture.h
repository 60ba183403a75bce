// Fields and materials for the particle-model tests: a uniform gas with
// constant properties (for the analytic limits) and the jet of the default
// argon variant, calculated once by the solver.
#pragma once

#include "particles/jet_field.h"
#include "particles/materials.h"
#include "tests/support/temp_dir.h"

#include <string>

namespace torvex::particles::test {

// Constant gas properties, SI.
struct UniformGas {
    double density = 1.0;
    double heatCapacity = 1000;
    double viscosity = 1.8e-5;
    double conductivity = 0.1;
};

// A complete field (136 cross-sections) of one temperature and velocity
// everywhere, over a gas table whose every row holds the same properties.
JetField uniformField(double temperature, double axialVelocity, const UniformGas& gas = {});

// A material with round numbers; melting and boiling points as given.
Material plainMaterial(double meltingPoint = 1500, double boilingPoint = 3000);

// The packaged material of that key.
Material packagedMaterial(const std::string& key);

// The working directory holding the default argon variant (8 mm, 14 mm,
// 500 A, 35 SLPM) with its results, computed on first use.
const torvex::test::TempDir& argonVariant();
// Its field.
const JetField& argonJet();

} // namespace torvex::particles::test
