// Brings the plasmatron parameters read from ip.dat into the ranges for which
// the empirical model holds, and lays out the radial and axial grids.
#pragma once

#include "files.h"
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

// ----- A variant as entered, before it is written to ip.dat ----------------------

// The inputs after the solver's normalisation (its clamping and rounding).
struct UsedInputs {
    int gasCode = 0;
    int diameterTenths = 0;  // anode diameter in tenths of a millimetre
    int lengthMm = 0;        // anode length, whole millimetres
    int current = 0;         // A
    int flow = 0;            // SLPM or SCFH, as the units say
    float flowSlpm = 0;      // the flow in l/min, as the model takes it
    bool operator<(const UsedInputs& o) const;
};

// The gas codes of ip.dat: argon, nitrogen, argon + 5..25 % hydrogen, argon
// + 10..50 % helium.
inline constexpr int kGasCodes[] = {1, 2, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14};
bool isGasCode(double code);

// True when the values fit the columns of ip.dat; else `why` says which not.
bool fitsInputFile(const VariantInputs& entered, std::string& why);

// The values as ip.dat carries them, normalised in `scratch` exactly as a
// run normalises what it reads; the notes of the changes go to *notes.
UsedInputs normaliseEntered(SolverState& scratch, const VariantInputs& entered, const UnitCodes& units,
                            std::vector<std::string>* notes = nullptr);

// The same with a state of its own.
UsedInputs normalisedInputs(const VariantInputs& entered, const UnitCodes& units);

// What the solver's normalisation would change in these values as ip.dat
// carries them: one sentence each, as a run reports them.
std::vector<std::string> normalisationNotes(const VariantInputs& entered, const UnitCodes& units);

// ip.dat holds diameter and length with two decimals, current and flow as
// whole numbers: one sentence for each value that its field rounds ("arc
// current 502.5 A is written to ip.dat as 502 A").
std::vector<std::string> inputFileNotes(const VariantInputs& entered, const UnitCodes& units);

} // namespace torvex
