// The lines of the variant summary: the inputted data (gas, anode diameter
// and length, arc current, gas flow) and the calculated data (arc voltage,
// electric power, efficiency). The run dialog, the Previous-variant dialog and
// the chart pages' parameter panels all print these same texts; the width of
// each number is chosen by its value range and the units.
#pragma once

#include <string>

namespace torvex {

std::string diameterLine(double diameter, int lengthCode);  // code 1 mm, else inches
std::string lengthLine(double length, int lengthCode);
std::string currentLine(double amperes);
std::string flowLine(double flow, int flowCode);  // code 1 SLPM, else SCFH
std::string voltageLine(double volts);
std::string powerLine(double kilowatts);
std::string efficiencyLine(double percent);

// The same lines when iop.par holds asterisks for the value (it did not fit
// its field: 1000 V or more, 100 % or more): the asterisks are shown as read.
std::string voltageOverflowLine();
std::string powerOverflowLine();
std::string efficiencyOverflowLine();
// An inputted value that iop.par holds as asterisks (too wide for its field
// when written, so its number is unknown): "Anode length: not representable".
std::string notRepresentableLine(const std::string& label);

// The gas line. The formula's "2" is drawn lowered and smaller after the text
// `subscriptAfter` ("Plasma gas: N" or "Plasma gas: Ar + H"); the hydrogen
// lines keep three blanks after the "H" as room for it. An unknown gas code
// gives an empty line.
struct GasLine {
    std::string text;
    std::string subscriptAfter;  // "" when the formula has no subscript
};
GasLine gasLine(double gasCode);

// A gas line (or any text starting with one) with the formula's "2" written
// inline after `subscriptAfter`, the blanks kept for the lowered digit going
// with it: `two` is "2" on the spray pages and "\u2082" (a subscript two)
// in menus and lists, "Plasma gas: Ar + H\u2082 (10 %)". Without a subscript
// the text is returned as it is.
std::string inlineGasText(const std::string& text, const std::string& subscriptAfter, const std::string& two);

} // namespace torvex
