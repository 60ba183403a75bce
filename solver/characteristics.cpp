// Empirical plasmatron characteristics: power laws fitted per plasma gas for
// the arc voltage, the voltage whose power the gas carries into the anode
// channel, and the voltage of the arc column inside the channel.
#include "solver/inlet.h"

#include <cmath>

namespace torvex {

namespace {

// Coefficients of one gas. inletCoef is k2 of U_in = k2*G/(6.67*K);
// columnLoss is the fixed k3 (argon computes its own, see argonColumnLoss).
struct GasCoefficients {
    float profileExponent;  // A of the inlet temperature profile
    float currentDensity;   // j, A/m2
    float voltageScale;     // K1, V
    float referenceCurrent; // c, A
    float currentPower;     // a
    float flowPower;        // b
    float diameterPower;    // e
    float inletCoef;        // k2
    float columnLoss;       // k3, V
};

constexpr GasCoefficients kArgon{2.0f, 6.0e7f, 31.0f, 400.0f, 0.08f, 0.36f, 0.24f, 8.0f, 0.0f};
constexpr GasCoefficients kNitrogen{0.68f, 9.0e7f, 80.0f, 250.0f, 0.3f, 0.49f, 0.25f, 0.0f, 20.0f};

GasCoefficients coefficientsFor(int gasCode) {
    switch (gasCode) {
    case 2: return kNitrogen;
    case 5: return {2.0f, 6.5e7f, 52.7f, 400.0f, 0.03f, 0.22f, 0.24f, 10.0f, 17.5f};
    case 6: return {2.0f, 7.0e7f, 58.8f, 400.0f, 0.04f, 0.21f, 0.24f, 11.5f, 18.0f};
    case 7: return {2.0f, 7.5e7f, 63.8f, 400.0f, 0.03f, 0.31f, 0.24f, 12.5f, 18.5f};
    case 8: return {2.0f, 8.0e7f, 69.2f, 400.0f, 0.02f, 0.35f, 0.24f, 13.5f, 19.0f};
    case 9: return {2.0f, 8.5e7f, 75.0f, 400.0f, 0.04f, 0.28f, 0.24f, 14.5f, 19.5f};
    case 10: return {2.0f, 6.3e7f, 33.2f, 400.0f, 0.08f, 0.36f, 0.24f, 8.2f, 10.0f};
    case 11: return {2.0f, 6.6e7f, 35.4f, 400.0f, 0.08f, 0.36f, 0.24f, 8.6f, 10.5f};
    case 12: return {2.0f, 6.9e7f, 37.6f, 400.0f, 0.08f, 0.36f, 0.24f, 9.0f, 11.0f};
    case 13: return {2.0f, 7.2e7f, 39.8f, 400.0f, 0.08f, 0.36f, 0.24f, 9.4f, 11.5f};
    case 14: return {2.0f, 7.5e7f, 42.0f, 400.0f, 0.08f, 0.36f, 0.24f, 9.8f, 12.0f};
    default: return kArgon;  // argon, and any code without its own fit
    }
}

bool hasFixedColumnLoss(int gasCode) {
    return gasCode == 2 || (gasCode >= 5 && gasCode <= 14);
}

// Argon's cathode and anode fall grows slowly with the current relative to
// what the diameter class carries.
float argonColumnLoss(float current, int diameterClass) {
    return 12.0f * std::pow(current / (125.0f * static_cast<float>(diameterClass) - 300.0f), 0.2f);
}

} // namespace

void computeCharacteristics(SolverState& s) {
    const GasCoefficients k = coefficientsFor(s.gasCode);
    const float current = static_cast<float>(s.arcCurrent);
    const float flow = s.gasFlowSlpm;
    const float diameter = s.anodeDiameter;
    const int diameterClass = s.diameterClass;

    s.arcVoltage = k.voltageScale * std::pow(k.referenceCurrent / current, k.currentPower) *
                   std::pow(flow / 40.0f, k.flowPower) * std::pow(6.0f / diameter, k.diameterPower);
    if (s.gasCode == 2) {
        s.inletVoltage = 24.0f * flow / 40.0f;  // nitrogen: the flow alone
    } else {
        s.inletVoltage = k.inletCoef * flow / (6.67f * static_cast<float>(diameterClass));
    }
    const float columnLoss =
        hasFixedColumnLoss(s.gasCode) ? k.columnLoss : argonColumnLoss(current, diameterClass);
    s.channelVoltage = s.arcVoltage - s.inletVoltage - columnLoss;

    s.arcPowerW = current * s.arcVoltage;
    s.arcPower = current * s.arcVoltage / 1000.0f;
    s.inletPowerW = current * s.inletVoltage;
    s.profileExponent = k.profileExponent;
    s.currentDensity = k.currentDensity;
    s.conductingRadius = std::sqrt(current / s.pi / k.currentDensity);
}

void computeMassFlow(SolverState& s) {
    s.massFlow = s.coldDensity * s.gasFlowSlpm / 60000.0f;
}

} // namespace torvex
