// The data one variant summary shows, gathered from its sources: the run
// dialog shows the inputs just chosen (and the calculated data once the
// plasmatron has been computed); the Previous-variant dialog shows the last
// calculated variant as iop.par and unp.dat hold it.
#pragma once

#include "solver/files.h"

#include <string>
#include <vector>

namespace torvex {

// Written by the solver at the nozzle exit, in the working directory.
constexpr const char* kIntegralParametersFile = "iop.par";
constexpr const char* kInputParametersFile = "ip.dat";
// The unit files: the units chosen now (un.dat, read by the solver) and those
// the last variant was calculated in (unp.dat).
constexpr const char* kUnitFile = "un.dat";
constexpr const char* kPreviousUnitFile = "unp.dat";

struct VariantSummary {
    bool hasInputs = false;
    VariantInputs inputs;
    // iop.par held asterisks for the value: it was not representable in its field.
    bool diameterOverflow = false, lengthOverflow = false, currentOverflow = false, flowOverflow = false;
    int lengthCode = 1;
    int flowCode = 1;

    bool hasCalculated = false;
    double arcVoltage = 0;    // V
    double arcPower = 0;      // kW
    double efficiency = 0;    // %
    bool voltageOverflow = false, powerOverflow = false, efficiencyOverflow = false;
};

// The run dialog: the chosen inputs in the units in memory; the calculated
// section from iop.par only once calculated (and only if iop.par is readable).
VariantSummary runDialogSummary(const VariantInputs& inputs, const UnitCodes& units, bool calculated,
                                const std::string& integralParametersPath);

// The Previous-variant dialog: everything from iop.par. Without a readable
// iop.par nothing is shown; without the units it was calculated in (unp.dat
// unreadable) the inputted lines are left out rather than shown in units that
// may not be theirs.
VariantSummary previousVariantSummary(const std::string& integralParametersPath, bool unitsKnown,
                                      const UnitCodes& units);

// The same from iop.par's values as a reader already holds them (the set a
// jet was read from).
VariantSummary variantSummaryOf(const IntegralParameters& p, bool unitsKnown, const UnitCodes& units);

// The calculated section read from iop.par into a summary; false if unreadable.
bool readCalculatedData(const std::string& integralParametersPath, VariantSummary& summary);

// The five inputted lines (gas line text first) and the three calculated
// lines, in drawing order; empty when the section is not shown.
std::vector<std::string> inputtedLines(const VariantSummary& s);
std::vector<std::string> calculatedLines(const VariantSummary& s);

// The variant on one line, for lists and document titles: the values of the
// inputted lines ("Ar, 8.0 mm, 14 mm, 500 A, 35 SLPM"), or of the calculated
// lines when the inputs cannot be shown; "" when there is neither.
std::string variantDescription(const VariantSummary& s);

} // namespace torvex
