#include "particles/exchange.h"

#include <algorithm>
#include <cmath>

namespace torvex::particles {

namespace {
constexpr double kAccommodation = 0.8;
}

double dragRatio(double reynolds) {
    if (reynolds <= 1000) return 1.0 + 0.15 * std::pow(reynolds, 0.687);
    return 0.44 * reynolds / 24.0;
}

double ranzMarshall(double reynolds, double prandtl) {
    return 2.0 + 0.6 * std::sqrt(reynolds) * std::cbrt(prandtl);
}

double propertyRatioFactor(const GasProperties& free, const GasProperties& surface) {
    return std::pow(free.density * free.viscosity / (surface.density * surface.viscosity), -0.45);
}

double meanFreePath(const GasProperties& gas) {
    return gas.viscosity * std::sqrt(kPi / (2.0 * gas.density * kAtmosphericPressure));
}

double knudsenBracket(double knudsen, double prandtl, double heatCapacityRatio) {
    const double accommodation = (2.0 - kAccommodation) / kAccommodation;
    return 1.0 + accommodation * heatCapacityRatio / (1.0 + heatCapacityRatio) * 4.0 / prandtl * knudsen;
}

double gasHeatCapacityRatio(int gasCode) {
    // Mole fraction of diatomic gas: nitrogen, or the hydrogen share of
    // argon-hydrogen (5 % steps from code 5); helium is monatomic.
    double diatomic = 0;
    if (gasCode == 2) diatomic = 1;
    else if (gasCode >= 5 && gasCode <= 9) diatomic = 0.05 * (gasCode - 4);
    const double cv = 1.5 + diatomic;  // in units of R
    return (cv + 1.0) / cv;
}

namespace {
constexpr double kGasConstant = 8.314462618;  // J/(mol K)
// The largest vapour mole fraction taken below the boiling point: keeps
// ln(1 + B_M) finite (about 14 with oxide vapour in argon) where the heat
// left by the vapour is long gone.
constexpr double kHighestVapourFraction = 1.0 - 1e-6;

// The Clausius-Clapeyron curve's slope, H M / R, K.
double vapourPressureLift(const Material& material) {
    return material.vapourPressureEnthalpy * material.molarMass / kGasConstant;
}
}

double gasMolarMass(const GasProperties& gas, double temperature) {
    return gas.density * kGasConstant * temperature / kAtmosphericPressure;
}

double vapourPressureAtm(const Material& material, double temperature) {
    return std::exp(vapourPressureLift(material) * (1.0 / material.boilingPoint - 1.0 / temperature));
}

double vapourTransfer(const Material& material, double temperature, double gasMolarMass, double& slope) {
    const double lift = vapourPressureLift(material);  // K
    slope = 0;
    if (!(temperature > 0)) return 0;  // a trial temperature of the iteration far off
    double fraction = vapourPressureAtm(material, temperature);
    double fractionSlope = fraction * lift / (temperature * temperature);
    if (fraction > kHighestVapourFraction) {
        fraction = kHighestVapourFraction;
        fractionSlope = 0;
    }
    // Y = X Mv / (X Mv + (1 - X) Mg), and ln(1 + B_M) = -ln(1 - Y).
    const double vapour = fraction * material.molarMass;
    const double mixture = vapour + (1.0 - fraction) * gasMolarMass;
    const double massFraction = vapour / mixture;
    const double massFractionSlope = fractionSlope * material.molarMass * gasMolarMass / (mixture * mixture);
    slope = massFractionSlope / (1.0 - massFraction);
    return -std::log1p(-massFraction);
}

ExchangeSwitches exchangeSwitches(const ModelOptions& model, int gasCode) {
    ExchangeSwitches s;
    s.freeStreamDrag = model.dragBasis == DragBasis::FreeStream;
    s.knudsenCorrection = model.knudsenCorrection;
    s.heatCapacityRatio = model.gasGamma > 0 ? model.gasGamma : gasHeatCapacityRatio(gasCode);
    return s;
}

Exchange computeExchange(const JetField& field, double gasTemperature, double surfaceTemperature, double slip,
                         double diameter, double particleDensity, const ExchangeSwitches& switches) {
    const GasProperties film = field.properties(0.5 * (gasTemperature + surfaceTemperature));
    Exchange x;
    x.reynolds = film.density * slip * diameter / film.viscosity;
    const double prandtl = film.heatCapacity * film.viscosity / film.conductivity;
    x.nusselt = ranzMarshall(x.reynolds, prandtl);
    double heatFactor = 1, dragFactor = 1;
    if (switches.knudsenCorrection) {
        x.knudsen = meanFreePath(film) / diameter;
        const double bracket = knudsenBracket(x.knudsen, prandtl, switches.heatCapacityRatio);
        heatFactor = 1.0 / bracket;
        dragFactor = std::pow(bracket, -0.45);
    }
    // Stokes' law 3 pi mu d w in the limit, with mu and Re of the chosen basis.
    double viscosity = film.viscosity, dragReynolds = x.reynolds;
    if (switches.freeStreamDrag) {
        const GasProperties free = field.properties(gasTemperature);
        viscosity = free.viscosity;
        dragReynolds = free.density * slip * diameter / free.viscosity;
        dragFactor *= propertyRatioFactor(free, field.properties(surfaceTemperature));
    }
    const double stokesTime = particleDensity * diameter * diameter / (18.0 * viscosity);
    x.relaxationTime = stokesTime / (dragRatio(dragReynolds) * dragFactor);
    // Bourdin, Fauchais and Boulos (1983): the integral-mean conductivity
    // across the boundary layer, (S(T_gas) - S(T_s)) / (T_gas - T_s).
    x.heatConductance = kPi * diameter * x.nusselt * heatFactor;
    x.thermalConductance = x.heatConductance * film.conductivity;
    x.blowingScale = x.thermalConductance / film.heatCapacity;
    return x;
}

} // namespace torvex::particles
