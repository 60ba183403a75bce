// Every text file the program exchanges: the unit files un.dat/unp.dat, the
// input-parameter file ip.dat, the gas property files, the integral-parameter
// file iop.par and the eight result files. Each layout is read and written
// only here. The readers accept only regular files of a bounded size (see
// file_access.h); the writers replace a file by renaming a complete one onto
// it, so a reader never meets half a file.
#pragma once

#include "state.h"

#include <string>

namespace torvex {

// ----- un.dat / unp.dat: four one-digit codes ------------------------------
struct UnitCodes {
    int length = 1;       // 1 metric, 2 inches
    int temperature = 1;  // 1 K, 2 degF, 3 degC
    int flow = 1;         // 1 SLPM, 2 SCFH
};

// The interface's reader: four unsigned one-digit numbers ("%1u%1u%1u%1u").
// Returns false (codes untouched) when the file is missing, not a small
// regular file, or holds fewer than three numbers.
bool readUnitCodes(const std::string& path, UnitCodes& codes);
// Writes "%1u %1u %1u %1u \n" with the flow code repeated as the fourth digit.
// On failure the reason (completing "The file <path> ...") goes to *fault.
bool writeUnitCodes(const std::string& path, const UnitCodes& codes, std::string* fault = nullptr);

// ----- ip.dat -----------------------------------------------------------------
struct VariantInputs {
    int gasCode = 1;
    double diameter = 0;  // mm, or inches in inch mode
    double length = 0;    // mm, or inches in inch mode
    double current = 0;   // A
    double flow = 0;      // SLPM or SCFH
};

// Writes "%2.0lf %5.2lf %5.2lf %4.0lf %3.0lf\n"; the reason of a failure,
// completing "The file <path> ...", goes to *fault.
bool writeInputParameters(const std::string& path, const VariantInputs& in, std::string* fault = nullptr);

// Result of reading one of the solver's input files.
struct ReadStatus {
    bool ok = true;
    std::string message;  // one sentence naming the file and the fault
};

// The solver's reader of un.dat (columns 1, 3, 5, 7) into the state's codes.
ReadStatus readSolverUnits(const std::string& path, SolverState& s);
// The solver's fixed-column reader of ip.dat into gasCode and the raw inputs.
ReadStatus readSolverInputs(const std::string& path, SolverState& s, float& diameter,
                            float& length, int& current, int& flow);
// 432 numbers in 10-column fields into propertyTable, checking the
// temperature grid and that every property lies in the range a plasma gas
// can have (density, specific heat, viscosity and thermal conductivity
// positive, radiation and electrical conductivity not negative and not zero
// at the top of the table, none absurdly large).
ReadStatus readGasFile(const std::string& path, SolverState& s);

// Gas property file name for a gas code ("ar.dat", ...), or "" if none.
const char* gasFileName(int gasCode);

// ----- iop.par ----------------------------------------------------------------
struct IntegralParameters {
    int gasCode = 0;
    double diameter = 0, length = 0;
    int current = 0, flow = 0;
    double massFlowFigure = 0;
    double arcVoltage = 0, arcPower = 0;
    int efficiencyPercent = 0;
    // Set by the reader when a field was written as asterisks: the value was
    // not representable in its field, and its number above is 0.
    bool diameterOverflow = false, lengthOverflow = false;
    bool currentOverflow = false, flowOverflow = false, massFlowOverflow = false;
    bool voltageOverflow = false, powerOverflow = false, efficiencyOverflow = false;
};

// The two lines of iop.par.
std::string integralParametersText(const IntegralParameters& p);
bool writeIntegralParameters(const std::string& path, const IntegralParameters& p);
// Reads the nine numbers; a field of asterisks sets its overflow flag and does
// not derail the others. Returns false when the file is missing, not a small
// regular file, or malformed (a number that the writer could not have put in
// its field, a gas code of no gas); the sentence saying why goes to *fault.
bool readIntegralParameters(const std::string& path, IntegralParameters& p, std::string* fault = nullptr);

// A value right-justified in a field of the given width and decimals, or a
// field of asterisks when it does not fit.
std::string fixedField(double value, int width, int decimals);

} // namespace torvex
