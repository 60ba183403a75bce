// The value lists of the plasmatron parameter dialog. The user never types a
// number: every diameter, length, current and flow is picked from a list
// generated here from the gas, the anode diameter and the units, so that each
// offered combination lies in the range where the torch model holds.
#pragma once

#include <string>
#include <vector>

namespace torvex {

// Gas codes of ip.dat and iop.par.
constexpr int kGasArgon = 1;
constexpr int kGasNitrogen = 2;
constexpr int kGasFirstHydrogenMix = 5;  // 5..9: argon with 5..25 % hydrogen
constexpr int kGasFirstHeliumMix = 10;   // 10..14: argon with 10..50 % helium

using ValueList = std::vector<std::string>;

// List 801: the anode diameters, in mm (length code 1) or inches (otherwise).
// Nitrogen torches are built only up to 9 mm (0.35 in).
ValueList diameterEntries(bool nitrogen, int lengthCode);

// List 1026: the argon volume fractions offered for a mixture radio button
// (510 hydrogen, 511 helium); empty for pure argon or nitrogen.
ValueList argonFractionEntries(int radioId);

// The diameter in millimetres, clamped to the 5..11 mm of the model and
// rounded up to an even tenth (the model's radial grid works in 0.2 mm steps).
double roundedDiameterMillimetres(double diameter, int lengthCode);

// Diameter class k: the whole millimetres of a rounded diameter (5..11).
int diameterClass(double roundedMillimetres);

// Anode length bounds in whole millimetres for a gas code and class.
struct LengthRange {
    int lower = 0;
    int upper = 0;
};
LengthRange anodeLengthRange(int gasCode, int diameterClass);

// List 802: whole millimetres ("%lg"), or inches in 0.05 in steps ("%#4.2lf").
ValueList lengthEntries(int gasCode, int diameterClass, int lengthCode);

// List 803: arc currents in 10 A steps ("%-4.0lf").
ValueList currentEntries(int gasCode, int diameterClass);

// List 804: gas flow rates in steps of 5 SLPM or SCFH ("%-3.0lf").
ValueList flowEntries(int gasCode, int diameterClass, int flowCode);

// The number a list entry stands for.
double entryValue(const std::string& entry);

// printf-style formatting of one real into a std::string.
std::string formatReal(const char* pattern, double value);

} // namespace torvex
