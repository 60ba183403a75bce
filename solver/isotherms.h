// Radii of the five isotherms of ilt.res at the last completed jet station.
#pragma once

#include "state.h"

namespace torvex {

// The isotherm level k (1..5) in the user's temperature unit: 2000 ... 10000
// for kelvin and Celsius, 3000 ... 19000 for Fahrenheit.
float isothermLevel(int k, int temperatureUnit);

// The same level in kelvin (offset 273, as everywhere in the program).
double isothermLevelKelvin(int k, int temperatureUnit);

// Updates isothermRadius[1..5] (mm) from entry 1 of temperaturePair. The
// search runs in the user's temperature unit; a level that no node pair
// brackets keeps its previous radius, a level above the hottest node gets 0.
// The stored temperatures are left exactly as they are.
void searchIsotherms(SolverState& s);

} // namespace torvex
