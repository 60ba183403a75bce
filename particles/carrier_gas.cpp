#include "particles/carrier_gas.h"

#include "particles/exchange.h"

#include <algorithm>
#include <cmath>

namespace torvex::particles {

namespace {

// Argon at 300 K and 1 atm: density from the ideal gas, viscosity 22.7 uPa s
// (Kestin et al. 1984).
constexpr double kCarrierDensity = 101325.0 * 0.039948 / (8.314462618 * 300.0);
constexpr double kCarrierViscosity = 22.7e-6;
constexpr double kStandardTemperature = 273.15;
constexpr double kTubeTemperature = 300;

// dv/dt of the particle at speed v in gas at u: Stokes drag times Cd Re / 24.
double acceleration(double u, double v, double diameter, double density) {
    const double reynolds = kCarrierDensity * std::fabs(u - v) * diameter / kCarrierViscosity;
    const double stokesTime = density * diameter * diameter / (18.0 * kCarrierViscosity);
    return (u - v) * dragRatio(reynolds) / stokesTime;
}

} // namespace

double carrierGasSpeed(double flowSlpm, double tubeDiameterMm) {
    const double flow = flowSlpm * 1e-3 / 60.0 * kTubeTemperature / kStandardTemperature;  // m3/s in the tube
    const double radius = 0.5 * tubeDiameterMm * 1e-3;
    return flow / (kPi * radius * radius);
}

// Classic fourth-order Runge-Kutta in time on (position, speed), with steps
// a twentieth of the particle's Stokes time (or of the transit at gas speed,
// whichever is shorter); the last step is cut where the tube ends.
double speedAtTubeExit(double gasSpeed, double diameter, double density, double tubeLengthMm) {
    const double length = tubeLengthMm * 1e-3;
    if (!(gasSpeed > 0) || !(length > 0)) return 0;
    const double stokesTime = density * diameter * diameter / (18.0 * kCarrierViscosity);
    const double dt = std::min(stokesTime, length / gasSpeed) / 20.0;
    double x = 0, v = 0;
    for (int step = 0; step < 10000000; ++step) {
        auto a = [&](double speed) { return acceleration(gasSpeed, speed, diameter, density); };
        const double k1v = a(v), k1x = v;
        const double k2v = a(v + 0.5 * dt * k1v), k2x = v + 0.5 * dt * k1v;
        const double k3v = a(v + 0.5 * dt * k2v), k3x = v + 0.5 * dt * k2v;
        const double k4v = a(v + dt * k3v), k4x = v + dt * k3v;
        const double nextX = x + dt / 6.0 * (k1x + 2 * k2x + 2 * k3x + k4x);
        const double nextV = v + dt / 6.0 * (k1v + 2 * k2v + 2 * k3v + k4v);
        if (nextX >= length) {
            const double w = (length - x) / (nextX - x);
            return v + (nextV - v) * w;
        }
        x = nextX;
        v = nextV;
    }
    return v;
}

} // namespace torvex::particles
