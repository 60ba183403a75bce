// Gas property table of the chosen plasma gas and its linear interpolation
// in temperature onto the radial nodes.
#pragma once

#include "state.h"

namespace torvex {

// The six properties of the table at one temperature, interpolated as
// evaluateProperties does for a node (the temperature clamped to 300..23000 K).
struct PropertyValues {
    float temperature = 0;  // K, after the clamp
    float density = 0;
    float heatCapacity = 0;
    float radiationLoss = 0;
    float viscosity = 0;
    float thermalConductivity = 0;
    float electricalConductivity = 0;
};
PropertyValues propertiesAt(const PropertyTable& table, float temperature);

// Density, heat capacity, viscosity and thermal conductivity alone, the gas
// properties of the flow round a particle: the values of propertiesAt
// without the radiation and the electrical conductivity.
struct TransportValues {
    float density = 0;
    float heatCapacity = 0;
    float viscosity = 0;
    float thermalConductivity = 0;
};
TransportValues transportPropertiesAt(const PropertyTable& table, float temperature);

// Copies row 1 (300 K) of density and heat capacity into the cold-gas values.
void setColdValues(SolverState& s);

// Clamps temperature 1..N to 300..23000 K in place and interpolates the six
// property arrays there. Nodes above N are not touched.
void evaluateProperties(SolverState& s);

} // namespace torvex
