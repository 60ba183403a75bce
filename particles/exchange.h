// Momentum and heat exchange between the plasma and one particle: the drag
// and Nusselt correlations with the corrections for the steep temperature
// gradient around the particle and for non-continuum effects.
#pragma once

#include "particles/jet_field.h"
#include "particles/particle_model.h"

namespace torvex::particles {

constexpr double kAtmosphericPressure = 101325;  // Pa
constexpr double kStefanBoltzmann = 5.670374419e-8;  // W/(m2 K4)
constexpr double kPi = 3.14159265358979323846;

// Cd Re / 24 of a sphere (Schiller and Naumann 1933 up to Re 1000, the
// Newton-regime Cd = 0.44 above); 1 in the Stokes limit.
double dragRatio(double reynolds);

// Nu = 2 + 0.6 Re^1/2 Pr^1/3 (Ranz and Marshall 1952).
double ranzMarshall(double reynolds, double prandtl);

// Lee and Pfender (1985): the drag of a cold particle in a hot gas, taken at
// free-stream properties, times (rho_inf mu_inf / (rho_s mu_s))^-0.45.
double propertyRatioFactor(const GasProperties& free, const GasProperties& surface);

// Mean free path of the gas (kinetic theory, lambda = 2 mu / (rho c_mean) with
// the ideal-gas mean speed at 1 atm, so that no molar mass is needed).
double meanFreePath(const GasProperties& gas);

// The bracket of Chen and Pfender (1983): 1 + (2 - a)/a * g/(1 + g) * 4/Pr * Kn
// with thermal accommodation a = 0.8 and heat-capacity ratio g. Heat flux is
// divided by it, drag multiplied by its power -0.45.
double knudsenBracket(double knudsen, double prandtl, double heatCapacityRatio);

// Heat-capacity ratio of the plasma gas of code gasCode (1 argon, 2 nitrogen,
// 5..9 argon with 5..25 % hydrogen, 10..14 argon with 10..50 % helium) in the
// gas next to the particle surface, where the temperature jump sits: at
// surface temperatures (below 4000 K) nitrogen and most hydrogen are still
// molecular, so the mixture's cp/cv of ideal monatomic (cv = 3/2 R) and
// diatomic (cv = 5/2 R) parts by mole fraction: 5/3 for argon and argon-
// helium, 1.4 for nitrogen, 1.571 for argon with 25 % hydrogen.
double gasHeatCapacityRatio(int gasCode);

// The exchange coefficients of one particle at one moment.
struct Exchange {
    double reynolds = 0;        // with film properties and the slip speed
    double nusselt = 0;
    double knudsen = 0;
    double relaxationTime = 0;  // s: dv/dt = (u_gas - v) / relaxationTime
    double heatConductance = 0; // W per unit of conduction potential: Q = G * (S(T_gas) - S(T_s))
    double thermalConductance = 0;  // W/K, G times the film conductivity: sets the heating time
    // thermalConductance / cp of the film, kg/s. With the Lewis number 1 the
    // Sherwood number is the Nusselt number and rho D = k / cp, so this also
    // scales the vapour leaving the surface below the boiling point,
    // m = blowingScale ln(1 + B_M), and the shielding of the heat by it (see
    // SurfaceHeat::blowingScale).
    double blowingScale = 0;
};

struct ExchangeSwitches {
    bool freeStreamDrag = false;    // drag on free-stream properties with the Lee-Pfender factor
    bool knudsenCorrection = true;
    double heatCapacityRatio = 5.0 / 3.0;  // of the gas, for the Knudsen bracket
};

// The material's vapour pressure, atm, at temperature T: the Clausius-
// Clapeyron curve through the boiling point T_b, exp(H M / R (1/T_b - 1/T)),
// with H the vapour-pressure enthalpy (not the latent heat, which the heat
// balance of evaporation takes; the two differ where the material evaporates
// by decomposition).
double vapourPressureAtm(const Material& material, double temperature);

// ln(1 + B_M) of the vapour diffusing off a surface at temperature T below
// the boiling point T_b (Spalding 1953), B_M = Y / (1 - Y) with Y the mass
// fraction of vapour at the surface: its mole fraction is the vapour
// pressure above over 1 atm, the gas around it of molar mass gasMolarMass.
// Held just below 1 atm at and above T_b. `slope` gets its derivative by T.
double vapourTransfer(const Material& material, double temperature, double gasMolarMass, double& slope);

// Molar mass of the plasma gas (dissociated and ionised as it is) at one
// temperature, from its density: M = rho R T / p.
double gasMolarMass(const GasProperties& gas, double temperature);

// The switches of the model for a jet of gas code gasCode.
ExchangeSwitches exchangeSwitches(const ModelOptions& model, int gasCode);

// Film temperature (T_gas + T_s)/2 for Re, Pr, the mean free path and (unless
// freeStreamDrag) the drag; heat with the integral-mean conductivity.
Exchange computeExchange(const JetField& field, double gasTemperature, double surfaceTemperature, double slip,
                         double diameter, double particleDensity, const ExchangeSwitches& switches);

} // namespace torvex::particles
