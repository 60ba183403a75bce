#include "pages/summary_text.h"

#include "solver/value_lists.h"

#include <cstdio>

namespace torvex {

std::string diameterLine(double diameter, int lengthCode) {
    if (lengthCode != 1) return formatReal("Anode diameter: %4.2lf in", diameter);
    return formatReal(diameter >= 10 ? "Anode diameter: %4.1lf mm" : "Anode diameter: %3.1lf mm", diameter);
}

std::string lengthLine(double length, int lengthCode) {
    if (lengthCode != 1) return formatReal("Anode length: %4.2lf in", length);
    return formatReal(length >= 10 ? "Anode length: %2.0lf mm" : "Anode length: %1.0lf mm", length);
}

std::string currentLine(double amperes) {
    return formatReal(amperes >= 1000 ? "Arc current: %4.0lf A" : "Arc current: %3.0lf A", amperes);
}

std::string flowLine(double flow, int flowCode) {
    if (flowCode == 1) {
        return formatReal(flow >= 100 ? "Gas flow rate: %3.0lf SLPM" : "Gas flow rate: %2.0lf SLPM", flow);
    }
    return formatReal(flow >= 100 ? "Gas flow rate: %3.0lf SCFH" : "Gas flow rate: %2.0lf SCFH", flow);
}

std::string voltageLine(double volts) {
    return formatReal(volts >= 100 ? "Arc voltage: %5.1lf V" : "Arc voltage: %4.1lf V", volts);
}

std::string powerLine(double kilowatts) {
    return formatReal(kilowatts >= 10 ? "Electric power: %4.1lf kW" : "Electric power: %3.1lf kW", kilowatts);
}

std::string efficiencyLine(double percent) { return formatReal("Plasmatron efficiency: %2.0lf %%", percent); }

// The fields of iop.par's second line are 5, 5 and 2 columns wide.
std::string voltageOverflowLine() { return "Arc voltage: ***** V"; }
std::string powerOverflowLine() { return "Electric power: ***** kW"; }
std::string efficiencyOverflowLine() { return "Plasmatron efficiency: ** %"; }
std::string notRepresentableLine(const std::string& label) { return label + ": not representable"; }

GasLine gasLine(double gasCode) {
    const int code = static_cast<int>(gasCode);  // cut toward zero
    const std::string hydrogen = "Plasma gas: Ar + H";
    switch (code) {
    case 1: return {"Plasma gas: Ar", ""};
    case 2: return {"Plasma gas: N", "Plasma gas: N"};
    case 5: case 6: case 7: case 8: case 9:
        return {hydrogen + "   (" + std::to_string(5 * (code - 4)) + " %)", hydrogen};
    case 10: case 11: case 12: case 13: case 14:
        return {"Plasma gas: Ar + He (" + std::to_string(10 * (code - 9)) + " %)", ""};
    default: return {"", ""};
    }
}

std::string inlineGasText(const std::string& text, const std::string& subscriptAfter, const std::string& two) {
    if (subscriptAfter.empty() || text.compare(0, subscriptAfter.size(), subscriptAfter) != 0) return text;
    std::string inlined = text;
    const std::size_t at = subscriptAfter.size();
    const std::size_t blanks = inlined.find_first_not_of(' ', at);
    inlined.replace(at, (blanks == std::string::npos ? inlined.size() : blanks) - at,
                    blanks == std::string::npos ? two : two + " ");
    return inlined;
}

} // namespace torvex
