// Gas property table of the chosen plasma gas and its linear interpolation
// in temperature onto the radial nodes.
#pragma once

#include "state.h"

namespace torvex {

// Copies row 1 (300 K) of density and heat capacity into the cold-gas values.
void setColdValues(SolverState& s);

// Clamps temperature 1..N to 300..23000 K in place and interpolates the six
// property arrays there. Nodes above N are not touched.
void evaluateProperties(SolverState& s);

} // namespace torvex
