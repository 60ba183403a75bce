#include "pages/variant_summary.h"

#include "pages/summary_text.h"

namespace torvex {

namespace {

void copyCalculated(const IntegralParameters& p, VariantSummary& s) {
    s.hasCalculated = true;
    s.arcVoltage = p.arcVoltage;
    s.arcPower = p.arcPower;
    s.efficiency = p.efficiencyPercent;
    s.voltageOverflow = p.voltageOverflow;
    s.powerOverflow = p.powerOverflow;
    s.efficiencyOverflow = p.efficiencyOverflow;
}

} // namespace

bool readCalculatedData(const std::string& integralParametersPath, VariantSummary& summary) {
    IntegralParameters p;
    if (!readIntegralParameters(integralParametersPath, p)) return false;
    copyCalculated(p, summary);
    return true;
}

VariantSummary runDialogSummary(const VariantInputs& inputs, const UnitCodes& units, bool calculated,
                                const std::string& integralParametersPath) {
    VariantSummary s;
    s.hasInputs = true;
    s.inputs = inputs;
    s.lengthCode = units.length;
    s.flowCode = units.flow;
    if (calculated) readCalculatedData(integralParametersPath, s);
    return s;
}

VariantSummary previousVariantSummary(const std::string& integralParametersPath, bool unitsKnown,
                                      const UnitCodes& units) {
    IntegralParameters p;
    if (!readIntegralParameters(integralParametersPath, p)) return VariantSummary();
    return variantSummaryOf(p, unitsKnown, units);
}

VariantSummary variantSummaryOf(const IntegralParameters& p, bool unitsKnown, const UnitCodes& units) {
    VariantSummary s;
    copyCalculated(p, s);
    if (unitsKnown) {
        s.hasInputs = true;
        s.inputs.gasCode = p.gasCode;
        s.inputs.diameter = p.diameter;
        s.inputs.length = p.length;
        s.inputs.current = p.current;
        s.inputs.flow = p.flow;
        s.diameterOverflow = p.diameterOverflow;
        s.lengthOverflow = p.lengthOverflow;
        s.currentOverflow = p.currentOverflow;
        s.flowOverflow = p.flowOverflow;
        s.lengthCode = units.length;
        s.flowCode = units.flow;
    }
    return s;
}

std::vector<std::string> inputtedLines(const VariantSummary& s) {
    if (!s.hasInputs) return {};
    return {gasLine(s.inputs.gasCode).text,
            s.diameterOverflow ? notRepresentableLine("Anode diameter") : diameterLine(s.inputs.diameter, s.lengthCode),
            s.lengthOverflow ? notRepresentableLine("Anode length") : lengthLine(s.inputs.length, s.lengthCode),
            s.currentOverflow ? notRepresentableLine("Arc current") : currentLine(s.inputs.current),
            s.flowOverflow ? notRepresentableLine("Gas flow rate") : flowLine(s.inputs.flow, s.flowCode)};
}

std::vector<std::string> calculatedLines(const VariantSummary& s) {
    if (!s.hasCalculated) return {};
    return {s.voltageOverflow ? voltageOverflowLine() : voltageLine(s.arcVoltage),
            s.powerOverflow ? powerOverflowLine() : powerLine(s.arcPower),
            s.efficiencyOverflow ? efficiencyOverflowLine() : efficiencyLine(s.efficiency)};
}

std::string variantDescription(const VariantSummary& s) {
    std::string text;
    std::vector<std::string> lines = s.hasInputs ? inputtedLines(s) : calculatedLines(s);
    // The gas keeps its subscript: "Ar + H\u2082 (10 %)", not "Ar + H   (10 %)".
    if (s.hasInputs) lines.front() = inlineGasText(lines.front(), gasLine(s.inputs.gasCode).subscriptAfter, "\u2082");
    for (const std::string& line : lines) {
        const std::size_t colon = line.find(':');
        std::string value = colon == std::string::npos ? line : line.substr(colon + 1);
        value.erase(0, value.find_first_not_of(' '));
        if (!text.empty()) text += ", ";
        text += value;
    }
    return text;
}

} // namespace torvex
