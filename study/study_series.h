// The curves of the study chart read back from a study table: efficiency,
// arc voltage and axis temperature at the nozzle exit against the arc
// current, one curve per gas flow rate (for the gas, diameter and length
// with the most flow rates in the table) or one per gas (for the diameter,
// length and flow with the most gases).
#pragma once

#include <string>
#include <vector>

namespace torvex {

struct StudyCurve {
    std::string label;                    // "35 SLPM", or "Ar + 10 % H2"
    std::vector<double> current;          // A, ascending
    std::vector<double> efficiency;       // %
    std::vector<double> voltage;          // V
    std::vector<double> exitTemperature;  // the table's temperature unit
};

struct StudyChartData {
    std::string title;            // what the curves share, e.g. "Ar, d = 8.0 mm, L = 14 mm"
    std::string temperatureUnit;  // "K", "F" or "C", from the table's header
    std::vector<StudyCurve> curves;
};

enum class StudyCurves { PerFlow, PerGas };

// The curves from the text of study.csv (completed variants only). False
// with a message naming `name` when the table lacks a column or holds no
// completed variant.
bool studyChartData(const std::string& tableText, const std::string& name, StudyCurves by,
                    StudyChartData& data, std::string& error);

}  // namespace torvex
