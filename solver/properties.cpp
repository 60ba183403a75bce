#include "solver/properties.h"

namespace torvex {

namespace {

// Table blocks of the six node properties, in the order of the arrays below.
constexpr int kDensityBlock = 3;
constexpr int kHeatCapacityBlock = 4;
constexpr int kRadiationBlock = 5;
constexpr int kViscosityBlock = 6;
constexpr int kConductivityBlock = 7;
constexpr int kElectricalBlock = 8;

constexpr float kLowestTemperature = 300.0f;    // K, first table row
constexpr float kHighestTemperature = 23000.0f; // K, row 47: row 48 only closes the last interval

// First row j with T_j <= T < T_j+1, as a search from row 1 would find it.
// The table rows lie on the grid 300, 500, 1000, ... K (checked when the file
// is read), so the row follows from T directly; the search from row 1 remains
// for a temperature off that grid or not a number, and the bound protects the
// table then.
int tableInterval(const PropertyTable& table, float t) {
    const auto& temperatures = table[1];
    if (t >= kLowestTemperature && t <= kHighestTemperature) {
        const int guess = (t < 500.0f) ? 1 : static_cast<int>(t / 500.0f) + 1;
        if (guess >= 1 && guess < kTableRows && temperatures[guess] <= t && t < temperatures[guess + 1]) {
            return guess;
        }
    }
    int j = 1;
    while (j < kTableRows - 1 && !(temperatures[j] <= t && t < temperatures[j + 1])) ++j;
    return j;
}

// Linear interpolation in block `block` between rows j and j+1. The step is
// the nominal grid spacing (200 K below 500 K, 500 K above), not the
// difference of the stored temperatures.
float interpolate(const PropertyTable& table, int block, int j, float t) {
    const float step = (j == 1) ? 200.0f : 500.0f;
    const float lower = table[block][j];
    const float upper = table[block][j + 1];
    return lower + (upper - lower) * (t - table[1][j]) / step;
}

} // namespace

void setColdValues(SolverState& s) {
    s.coldDensity = s.propertyTable[kDensityBlock][1];
    s.coldHeatCapacity = s.propertyTable[kHeatCapacityBlock][1];
}

namespace {

float clampedToTable(float t) {
    if (t <= kLowestTemperature) return kLowestTemperature;
    if (t >= kHighestTemperature) return kHighestTemperature;
    return t;
}

} // namespace

TransportValues transportPropertiesAt(const PropertyTable& table, float temperature) {
    const float t = clampedToTable(temperature);
    const int j = tableInterval(table, t);
    TransportValues v;
    v.density = interpolate(table, kDensityBlock, j, t);
    v.heatCapacity = interpolate(table, kHeatCapacityBlock, j, t);
    v.viscosity = interpolate(table, kViscosityBlock, j, t);
    v.thermalConductivity = interpolate(table, kConductivityBlock, j, t);
    return v;
}

PropertyValues propertiesAt(const PropertyTable& table, float temperature) {
    const float t = clampedToTable(temperature);
    const int j = tableInterval(table, t);
    PropertyValues v;
    v.temperature = t;
    v.density = interpolate(table, kDensityBlock, j, t);
    v.heatCapacity = interpolate(table, kHeatCapacityBlock, j, t);
    v.radiationLoss = interpolate(table, kRadiationBlock, j, t);
    v.viscosity = interpolate(table, kViscosityBlock, j, t);
    v.thermalConductivity = interpolate(table, kConductivityBlock, j, t);
    v.electricalConductivity = interpolate(table, kElectricalBlock, j, t);
    return v;
}

void evaluateProperties(SolverState& s) {
    const PropertyTable& table = s.propertyTable;
    const int n = (s.radialNodeCount < kMaxNodes) ? s.radialNodeCount : kMaxNodes;
    for (int i = 1; i <= n; ++i) {
        const PropertyValues v = propertiesAt(table, s.temperature[i]);
        s.temperature[i] = v.temperature;  // the callers see the clamped temperature
        s.density[i] = v.density;
        s.heatCapacity[i] = v.heatCapacity;
        s.radiationLoss[i] = v.radiationLoss;
        s.viscosity[i] = v.viscosity;
        s.thermalConductivity[i] = v.thermalConductivity;
        s.electricalConductivity[i] = v.electricalConductivity;
    }
}

} // namespace torvex
