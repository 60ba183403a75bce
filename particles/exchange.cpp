#include "particles/exchange.h"

#include <cmath>

namespace torvex::particles {

namespace {
constexpr double kAccommodation = 0.8;
constexpr double kHeatCapacityRatio = 5.0 / 3.0;
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

double knudsenBracket(double knudsen, double prandtl) {
    const double accommodation = (2.0 - kAccommodation) / kAccommodation;
    return 1.0 + accommodation * kHeatCapacityRatio / (1.0 + kHeatCapacityRatio) * 4.0 / prandtl * knudsen;
}

Exchange computeExchange(const JetField& field, double gasTemperature, double surfaceTemperature, double slip,
                         double diameter, double particleDensity, const ExchangeSwitches& switches) {
    const GasProperties free = field.properties(gasTemperature);
    const GasProperties film = field.properties(0.5 * (gasTemperature + surfaceTemperature));
    Exchange x;
    x.reynolds = film.density * slip * diameter / film.viscosity;
    const double prandtl = film.heatCapacity * film.viscosity / film.conductivity;
    x.nusselt = ranzMarshall(x.reynolds, prandtl);
    double heatFactor = 1, dragFactor = 1;
    if (switches.knudsenCorrection) {
        x.knudsen = meanFreePath(film) / diameter;
        const double bracket = knudsenBracket(x.knudsen, prandtl);
        heatFactor = 1.0 / bracket;
        dragFactor = std::pow(bracket, -0.45);
    }
    // Drag on free-stream properties: Stokes' law 3 pi mu d w in the limit.
    const double freeReynolds = free.density * slip * diameter / free.viscosity;
    if (switches.propertyCorrection)
        dragFactor *= propertyRatioFactor(free, field.properties(surfaceTemperature));
    const double stokesTime = particleDensity * diameter * diameter / (18.0 * free.viscosity);
    x.relaxationTime = stokesTime / (dragRatio(freeReynolds) * dragFactor);
    // Bourdin, Fauchais and Boulos (1983): the integral-mean conductivity
    // across the boundary layer, (S(T_gas) - S(T_s)) / (T_gas - T_s).
    x.integralMean = switches.propertyCorrection;
    x.heatConductance = kPi * diameter * x.nusselt * heatFactor;
    x.thermalConductance = x.heatConductance * film.conductivity;
    if (!x.integralMean) x.heatConductance *= free.conductivity;
    return x;
}

} // namespace torvex::particles
