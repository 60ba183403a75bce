// The speed a particle reaches in the carrier gas inside the injector tube:
// the gas (argon near room temperature) flows at the mean speed the flow rate
// gives in the tube, and drags the particle, which enters at rest, along the
// tube's straight length with the same drag law as in the jet. Fine
// particles follow the gas closely and leave faster than coarse ones.
#pragma once

namespace torvex::particles {

// The straight run the particle is accelerated along: the injector and the
// fitting before it, after the last bend of the powder line (where the
// particles are taken to lose their speed against the wall).
constexpr double kInjectorTubeLengthMm = 100;

// Mean speed of the carrier gas in the tube, m/s: the flow in standard litres
// per minute (0 °C, 1 atm) at 300 K over the tube's cross-section.
double carrierGasSpeed(double flowSlpm, double tubeDiameterMm);

// Speed of a particle of this diameter (m) and density (kg/m3) after
// tubeLengthMm in carrier gas flowing at gasSpeed (m/s), starting at rest.
double speedAtTubeExit(double gasSpeed, double diameter, double particleDensity,
                       double tubeLengthMm = kInjectorTubeLengthMm);

} // namespace torvex::particles
