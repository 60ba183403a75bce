#!/usr/bin/env python3
"""Mutation check of the solver tests.

Applies realistic single slips to the solver (a constant off by a little, a
neighbour index, a dropped factor, a wrong clamp, a field read one column
off, ...) one at a time in a scratch copy of the source tree, rebuilds the
solver tests there and runs them. A mutation the tests fail on is killed;
one they pass survives. A survivor is then run over a wider set of variants
(the golden matrix and the corners of every gas's input ranges) and compared
with the unmutated solver, to tell a slip that changes results from one
that changes nothing (an equivalent mutation).

    scripts/mutation-check.py [--scratch DIR] [--only SUBSTRING]... [--list]

Takes minutes (one rebuild and one test run per mutation); it is not part of
the test suite. Prints a table and the kill rate over the mutations that
change results.
"""

import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import mutation_driver  # noqa: E402

# (file under solver/, text as it stands, text after the slip, what the slip is)
MUTATIONS = [
    # The free jet
    ("jet.cpp", "kSpreadCoefficient = 0.015f", "kSpreadCoefficient = 0.016f", "jet spreading constant 0.015 -> 0.016"),
    ("jet.cpp", "kEdgeDifference = 20.0f", "kEdgeDifference = 25.0f", "jet edge criterion 20 K -> 25 K"),
    ("jet.cpp", "const NodeArray& t = s.temperaturePair[1];", "const NodeArray& t = s.temperature;",
     "jet edge judged on the iteration temperature"),
    ("jet.cpp", "kMeanVelocityWeight = 2.13f", "kMeanVelocityWeight = 2.0f", "eddy-viscosity weight 2.13 -> 2.0"),
    ("jet.cpp", "kWindowVelocityRatio = 10.0f", "kWindowVelocityRatio = 5.0f", "averaging window ratio 10 -> 5"),
    ("jet.cpp", "return std::min(i + 1, n);", "return std::min(i, n);", "averaging window one node short"),
    ("jet.cpp", "if (iteration >= 33)", "if (iteration >= 34)", "jet tolerance switch at 34 iterations"),
    ("jet.cpp", "return exitPosition + 50.0f + 0.1f * static_cast<float>(j - 1300);",
     "return exitPosition + 50.0f + 0.1f * static_cast<float>(j - 1301);", "jet position off by one step past 50 mm"),
    ("jet.cpp", "s.outerTemperature = t[n - 1];", "s.outerTemperature = t[n];", "full grid edge follows the wrong node"),
    ("jet.cpp", "const float tolerance = 10.0f * s.toleranceBase;", "const float tolerance = 5.0f * s.toleranceBase;",
     "entrainment tolerance 10 tau -> 5 tau"),
    # The anode channel
    ("channel.cpp", "kDampingRate = 0.04f", "kDampingRate = 0.05f", "channel radial-flux damping 0.04 -> 0.05"),
    ("channel.cpp", "kDampedSteps = 30;", "kDampedSteps = 20;", "damping over 20 steps instead of 30"),
    ("channel.cpp", "kKarman = 0.41f", "kKarman = 0.40f", "von Karman constant 0.41 -> 0.40"),
    ("channel.cpp", "kSublayerEdge = 26.0f", "kSublayerEdge = 25.0f", "wall-layer edge y+ 26 -> 25"),
    ("channel.cpp", "kWallLayerLimit = 12.0f", "kWallLayerLimit = 11.0f", "wall-layer ratio limit 12 -> 11"),
    ("channel.cpp", "const float wallShear = mu[n] * u[n - 1] / h;", "const float wallShear = mu[n - 1] * u[n - 1] / h;",
     "wall shear with the neighbour's viscosity"),
    ("channel.cpp", "x[i] = x[i - 2] + (f[i - 2] + 4.0f * f[i - 1] + f[i]) * h / 3.0f;",
     "x[i] = x[i - 2] + (f[i - 1] + 4.0f * f[i - 1] + f[i]) * h / 3.0f;", "pinch integral reads a neighbour node"),
    ("channel.cpp", "tol = Tolerances{2.0f * tau, 0.5f * tau};", "tol = Tolerances{2.0f * tau, 1.0f * tau};",
     "channel field tolerance tau/2 -> tau"),
    ("channel.cpp", "if (k >= 20)", "if (k > 20)", "tighter tolerances one step late"),
    ("channel.cpp", "s.columnVoltage = s.columnVoltage + (field + previousField) * s.axialStep / 2.0f;",
     "s.columnVoltage = s.columnVoltage + field * s.axialStep;", "column voltage without the trapezoid"),
    ("channel.cpp", "it.pressureGradient = (s.inletMassFlow / s.pi / 2.0f - particularFlux) / responseFlux;",
     "it.pressureGradient = (s.inletMassFlow / s.pi - particularFlux) / responseFlux;",
     "pressure gradient drops the factor 1/2"),
    # The shared scheme
    ("scheme.cpp", "const float upper = theta * (dPlus - 2.0f * h * (std::fabs(w) + w)) * 0.25f;",
     "const float upper = theta * (dPlus - h * (std::fabs(w) + w)) * 0.25f;", "upwind convection loses a factor 2"),
    ("scheme.cpp", "beta[1] = (4.0f - 3.0f * alpha[1]) * F[2] / axisBetaDenominator;",
     "beta[1] = (4.0f - 2.0f * alpha[1]) * F[2] / axisBetaDenominator;", "axis condition coefficient 3 -> 2"),
    ("scheme.cpp", "axialChange * h / dz / theta / 2.0f;", "axialChange * h / dz / theta;",
     "continuity drops the factor 1/2"),
    ("scheme.cpp", "h[i] = (t[i] - t[i + 1]) * (s.heatCapacity[i] + s.heatCapacity[i + 1]) * 0.5f + h[i + 1];",
     "h[i] = (t[i] - t[i + 1]) * s.heatCapacity[i + 1] + h[i + 1];", "enthalpy with the outer node's heat capacity"),
    ("scheme.cpp", "const float source = kAveragedSource ? (sp[i] + sc[i]) * 0.5f : sc[i];",
     "const float source = kAveragedSource ? sc[i] : sc[i];", "energy source not averaged"),
    # Gas properties
    ("properties.cpp", "s.coldHeatCapacity = s.propertyTable[kHeatCapacityBlock][1];",
     "s.coldHeatCapacity = s.propertyTable[kHeatCapacityBlock][2];", "cold heat capacity from the 500 K row"),
    ("properties.cpp", "s.coldDensity = s.propertyTable[kDensityBlock][1];",
     "s.coldDensity = s.propertyTable[kDensityBlock][2];", "cold density from the 500 K row"),
    ("properties.cpp", "kHighestTemperature = 23000.0f", "kHighestTemperature = 23400.0f", "upper clamp 23000 -> 23400 K"),
    ("properties.cpp", "const float step = (j == 1) ? 200.0f : 500.0f;", "const float step = (j == 1) ? 250.0f : 500.0f;",
     "first interval step 200 -> 250 K"),
    # Characteristics and inlet
    ("characteristics.cpp", "case 11: return {2.0f, 6.6e7f, 35.4f,", "case 11: return {2.0f, 6.6e7f, 35.6f,",
     "Ar+20 % He voltage scale 35.4 -> 35.6"),
    ("characteristics.cpp", "case 8: return {2.0f, 8.0e7f, 69.2f, 400.0f, 0.02f, 0.35f, 0.24f, 13.5f,",
     "case 8: return {2.0f, 8.0e7f, 69.2f, 400.0f, 0.02f, 0.35f, 0.24f, 13.0f,", "Ar+20 % H2 inlet coefficient 13.5 -> 13"),
    ("characteristics.cpp", "case 13: return {2.0f, 7.2e7f, 39.8f, 400.0f, 0.08f, 0.36f, 0.24f, 9.4f, 11.5f};",
     "case 13: return {2.0f, 7.2e7f, 39.8f, 400.0f, 0.08f, 0.36f, 0.24f, 9.4f, 11.0f};", "Ar+40 % He column loss 11.5 -> 11"),
    ("characteristics.cpp", "return 12.0f * std::pow(current / (125.0f * static_cast<float>(diameterClass) - 300.0f), 0.2f);",
     "return 12.0f * std::pow(current / (125.0f * static_cast<float>(diameterClass) - 300.0f), 0.25f);",
     "argon column loss exponent 0.2 -> 0.25"),
    ("characteristics.cpp", "s.inletVoltage = 24.0f * flow / 40.0f;", "s.inletVoltage = 25.0f * flow / 40.0f;",
     "nitrogen inlet voltage 24 -> 25"),
    ("characteristics.cpp", "s.inletVoltage = k.inletCoef * flow / (6.67f * static_cast<float>(diameterClass));",
     "s.inletVoltage = k.inletCoef * flow / (6.7f * static_cast<float>(diameterClass));", "inlet voltage 6.67 -> 6.7"),
    ("characteristics.cpp", "std::pow(6.0f / diameter, k.diameterPower)", "std::pow(6.0f / diameter, 0.24f)",
     "diameter exponent fixed at argon's"),
    ("inlet.cpp", "const float power = 2.0f * s.profileExponent;", "const float power = s.profileExponent;",
     "inlet profile exponent A instead of 2A"),
    ("inlet.cpp", "kConductivityIncrement = 100.0f", "kConductivityIncrement = 50.0f", "conductivity passes in 50 S/m"),
    ("inlet.cpp", "kCurrentTolerance = 0.01f", "kCurrentTolerance = 0.02f", "inlet current tolerance 1 % -> 2 %"),
    ("inlet_velocity.cpp", "kWallReynoldsScale = 0.0154f", "kWallReynoldsScale = 0.0150f", "inlet wall-layer slope"),
    # Driver, normalisation and files
    ("isotherms.cpp", "if (unit == 3) return kelvin - 273.0f;", "if (unit == 3) return kelvin - 273.15f;",
     "degC with the offset 273.15"),
    ("isotherms.cpp", "if (unit == 2) return (kelvin - 273.0f) * 1.8f + 32.0f;",
     "if (unit == 2) return (kelvin - 273.0f) * 1.8f;", "degF without the 32 degrees"),
    ("isotherms.cpp", "if (t[i] >= hottest) hottest = t[i];", "if (t[i] > hottest) hottest = t[i + 1];",
     "hottest node read one node off"),
    ("isotherms.cpp", "1000.0f * static_cast<float>(2 * index - 1)", "1000.0f * static_cast<float>(2 * index + 1)",
     "degF isotherm levels one step up"),
    ("isotherms.cpp", "radiusMm = 1000.0f * (s.radius[i] + (ti - level) * (s.radius[i + 1] - s.radius[i]) / (ti - tn));",
     "radiusMm = 1000.0f * (s.radius[i] + (level - ti) * (s.radius[i + 1] - s.radius[i]) / (ti - tn));",
     "isotherm interpolation with the sign turned"),
    ("station_loop.cpp", "kFieldTemperatureFall = 33.3f", "kFieldTemperatureFall = 33.0f", "field fill falls 33 K a node"),
    ("station_loop.cpp", "kFieldNozzleOuter = 500.0f", "kFieldNozzleOuter = 300.0f", "field fill at the nozzle 300 K"),
    ("station_loop.cpp", "radial[j] = s_.radialVelocity[n];", "radial[j] = s_.radialVelocity[n + 1];",
     "field radial velocity one node off"),
    ("station_loop.cpp", "s_.plasmaEnthalpyFlux = 2.0f * s_.pi * 0.001f * s_.enthalpyFluxIntegral;",
     "s_.plasmaEnthalpyFlux = s_.pi * 0.001f * s_.enthalpyFluxIntegral;", "plasma power drops the factor 2"),
    ("files.cpp", "parseIntegerField(column(line, 15, 4), amps)", "parseIntegerField(column(line, 16, 3), amps)",
     "arc current read from three columns"),
    ("files.cpp", "parseIntegerField(column(line, 20, 3), rate)", "parseIntegerField(column(line, 21, 2), rate)",
     "gas flow read one column short"),
    ("normalise.cpp", "if (g == 5) return 150 * (k - 2);", "if (g == 5) return 150 * (k - 1);",
     "Ar+5 % H2 current cap one class high"),
    ("normalise.cpp", "if (k % 2 != 0) k += 1;", "if (k % 2 != 0) k -= 1;", "mass-flow figure rounded down"),
    ("normalise.cpp", "if (d < 10.5f) return 10;", "if (d <= 10.5f) return 10;", "diameter class boundary"),
    ("jet_grid.cpp", "s.axialFluxCoef[kPreviousEnergySlot][i] = s.axialFluxCoef[kPreviousMomentumSlot][i] * s.coldHeatCapacity;",
     "s.axialFluxCoef[kPreviousEnergySlot][i] = s.axialFluxCoef[kPreviousMomentumSlot][i] * s.heatCapacity[i];",
     "new jet nodes carry the local heat capacity"),
    ("jet_grid.cpp", "s.sourceCoef[kPreviousEnergySlot][i] = -s.radius[i] * s.radiationLoss[i];",
     "s.sourceCoef[kPreviousEnergySlot][i] = 0.0f;", "new jet nodes without radiation"),
    # Further slips: boundary values, schedule constants, records and rounding
    ("jet.cpp", "s.axialVelocityPair[1], s.ambientVelocity,", "s.axialVelocityPair[1], 0.0f,",
     "jet edge velocity 0 instead of the ambient"),
    ("jet_grid.cpp", "const float w = simpsonWeightAt(i, n);", "const float w = simpsonWeightAt(i, n + 1);",
     "reference mean velocity with the wrong end weight"),
    ("channel.cpp", "s.attachStep = k;", "s.attachStep = k + 1;", "arc attaches one step late"),
    ("channel.cpp", "s.radialFluxCoef[kCurrentMomentumSlot][n] = 0.0f;",
     "s.radialFluxCoef[kCurrentMomentumSlot][n] = s.radialFluxCoef[kCurrentMomentumSlot][n];",
     "radial flux through the anode wall kept"),
    ("normalise.cpp", "(inchMode(s) ? 2316 : 2300)", "(inchMode(s) ? 2315 : 2300)", "inch jet one step short"),
    ("station_loop.cpp", "return static_cast<int>(percent);", "return static_cast<int>(percent + 0.5f);",
     "efficiency rounded instead of truncated"),
    ("station_loop.cpp", "s_.temperaturePair[1][1] / 1000.0f, s_.axialVelocity[1]",
     "s_.temperature[1] / 1000.0f, s_.axialVelocity[1]", "axis record from the iteration temperature"),
]

# Corners of every gas's input ranges (anode 5 and 11 mm, currents and flows
# far below and above their bounds, the longest anode), besides the golden
# matrix: a survivor that moves none of these changes no result.
def corner_variants():
    lines = []
    for gas in (1, 2, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14):
        for diameter in ("5.00", "11.00"):
            for current in ("1", "5000"):
                for flow in ("1", "900"):
                    lines.append(f"corner_{gas}_{diameter[:-3]}_{current}_{flow} 1 1 1 {gas} {diameter} 99.00 {current} {flow}")
    return lines


TARGET = mutation_driver.Target(
    source_dir="solver",
    test_binary="torvex_solver_tests",
    generator="torvex-golden",
    golden_manifest=os.path.join("tests", "golden", "variants.txt"),
    wide_lines=corner_variants,
    scratch="/tmp/torvex-mutants",
    noun="variants",
)

if __name__ == "__main__":
    sys.exit(mutation_driver.main(__doc__, MUTATIONS, TARGET))
