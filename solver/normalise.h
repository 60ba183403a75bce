// Brings the plasmatron parameters read from ip.dat into the ranges for which
// the empirical model holds, and lays out the radial and axial grids.
#pragma once

#include "state.h"

#include <string>
#include <vector>

namespace torvex {

// Raw values as read from ip.dat, in the user's units.
struct RawInputs {
    float diameter = 0;
    float length = 0;
    int current = 0;
    int flow = 0;
};

// Anode diameter (even tenths of a millimetre) and its class.
void normaliseDiameter(SolverState& s, float rawDiameter);
// Anode length in whole millimetres and the even channel length.
void normaliseLength(SolverState& s, float rawLength);
// Arc current, a multiple of 10 A within the bounds of gas and class.
void normaliseCurrent(SolverState& s, int rawCurrent);
// Gas flow, a multiple of 5 in the user's flow unit, and the flow in l/min.
void normaliseFlow(SolverState& s, int rawFlow);
// All four, in this order, keeping the raw diameter and length. Returns one
// sentence for each value the model did not take as entered ("anode diameter
// 99.99 mm is outside the model's range for argon (5.0 to 11.0 mm); 11.0 mm
// was used"), so that every program can tell its user what was run.
std::vector<std::string> normaliseInputs(SolverState& s, const RawInputs& raw);

// Radii, Simpson weights, axial step and the step counts of channel and jet.
void setUpGrid(SolverState& s);

// Simpson weight of node i on a grid of n nodes (n odd): 1, 4, 2, ..., 4, 1.
// Inline: the jet's averaging window asks for it node by node.
inline float simpsonWeightAt(int i, int n) {
    if (i == 1 || i == n) return 1.0f;
    return i % 2 == 0 ? 4.0f : 2.0f;
}

// The sixth number of iop.par from the cold-gas density and the flow.
float massFlowFigure(float coldDensity, float gasFlowSlpm);

} // namespace torvex
