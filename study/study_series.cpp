#include "study/study_series.h"

#include "solver/file_access.h"
#include "solver/number_text.h"

#include <algorithm>
#include <map>
#include <set>

#include "study/study_table.h"

namespace torvex {

namespace {

// Index of the column whose header starts with `prefix`, or -1.
int columnStarting(const std::vector<std::string>& header, const std::string& prefix) {
    for (std::size_t k = 0; k < header.size(); ++k)
        if (header[k].rfind(prefix, 0) == 0) return static_cast<int>(k);
    return -1;
}

int columnNamed(const std::vector<std::string>& header, const std::string& name) {
    for (std::size_t k = 0; k < header.size(); ++k)
        if (header[k] == name) return static_cast<int>(k);
    return -1;
}

// The unit in brackets of a header ("flow [SLPM]" gives "SLPM").
std::string unitOf(const std::string& header) {
    const std::size_t open = header.find('['), close = header.find(']');
    return open != std::string::npos && close > open ? header.substr(open + 1, close - open - 1)
                                                     : std::string();
}

struct Columns {
    int gasCode, gas, diameter, length, current, flow, status, efficiency, voltage, exitTemperature;
};

struct Point {
    double current, efficiency, voltage, exitTemperature;
};

}  // namespace

bool studyChartData(const std::string& tableText, const std::string& name, StudyCurves by,
                    StudyChartData& data, std::string& error) {
    std::vector<std::vector<std::string>> rows;
    for (const std::string& line : splitLines(tableText)) rows.push_back(splitCsvLine(line));
    if (rows.empty()) {
        error = "The study table " + name + " is empty.";
        return false;
    }
    const std::vector<std::string>& header = rows.front();
    const Columns c{columnNamed(header, "gas_code"),         columnNamed(header, "gas"),
                    columnStarting(header, "diameter_used"), columnStarting(header, "length_used"),
                    columnStarting(header, "current_used"),  columnStarting(header, "flow_used"),
                    columnStarting(header, "status"),        columnStarting(header, "efficiency"),
                    columnStarting(header, "arc_voltage"),   columnStarting(header, "T_exit")};
    for (int k : {c.gasCode, c.gas, c.diameter, c.length, c.current, c.flow, c.status, c.efficiency,
                  c.voltage, c.exitTemperature}) {
        if (k < 0) {
            error = "The study table " + name + " lacks a column of the study table.";
            return false;
        }
    }
    const std::string flowUnit = unitOf(header[static_cast<std::size_t>(c.flow)]);
    // What the curves of the chart share (gas, diameter and length, or
    // diameter, length and flow): the combination with the most curves, the
    // first in the table among equals.
    const auto at = [](const std::vector<std::string>& row, int k) {
        return row[static_cast<std::size_t>(k)];
    };
    const auto sharedKey = [&](const std::vector<std::string>& row) {
        return by == StudyCurves::PerFlow
                   ? std::vector<std::string>{at(row, c.gasCode), at(row, c.diameter), at(row, c.length)}
                   : std::vector<std::string>{at(row, c.diameter), at(row, c.length), at(row, c.flow)};
    };
    const int curveColumn = by == StudyCurves::PerFlow ? c.flow : c.gasCode;
    std::vector<const std::vector<std::string>*> completed;
    std::map<std::vector<std::string>, std::set<std::string>> curvesOf;
    std::vector<std::vector<std::string>> order;
    for (std::size_t r = 1; r < rows.size(); ++r) {
        const std::vector<std::string>& row = rows[r];
        if (row.size() != header.size() || at(row, c.status) != "completed") continue;
        completed.push_back(&row);
        const auto key = sharedKey(row);
        if (!curvesOf.count(key)) order.push_back(key);
        curvesOf[key].insert(at(row, curveColumn));
    }
    std::vector<std::string> fixed;
    for (const auto& key : order)
        if (fixed.empty() || curvesOf[key].size() > curvesOf[fixed].size()) fixed = key;
    std::map<double, std::pair<std::string, std::vector<Point>>> curves;  // by flow or gas code
    for (const std::vector<std::string>* row : completed) {
        if (sharedKey(*row) != fixed) continue;
        const auto field = [&](int k) { return at(*row, k); };
        if (curves.empty())
            data.title =
                by == StudyCurves::PerFlow
                    ? field(c.gas) + ", d = " + field(c.diameter) + " mm, L = " + field(c.length) + " mm"
                    : "d = " + field(c.diameter) + " mm, L = " + field(c.length) +
                          " mm, G = " + field(c.flow) + " " + flowUnit;
        Point p{};
        double curveKey = 0;
        if (!parseDecimalNumber(field(c.current), p.current) || !parseDecimalNumber(field(c.efficiency), p.efficiency) ||
            !parseDecimalNumber(field(c.voltage), p.voltage) || !parseDecimalNumber(field(c.exitTemperature), p.exitTemperature) ||
            !parseDecimalNumber(field(curveColumn), curveKey))
            continue;
        auto& curve = curves[curveKey];
        curve.first = by == StudyCurves::PerFlow ? field(c.flow) + " " + flowUnit : field(c.gas);
        curve.second.push_back(p);
    }
    if (curves.empty()) {
        error = "The study table " + name + " holds no completed variant to draw.";
        return false;
    }
    data.temperatureUnit = unitOf(header[static_cast<std::size_t>(c.exitTemperature)]);
    data.curves.clear();
    for (auto& [key, curve] : curves) {
        std::sort(curve.second.begin(), curve.second.end(),
                  [](const Point& a, const Point& b) { return a.current < b.current; });
        StudyCurve out;
        out.label = curve.first;
        for (const Point& p : curve.second) {
            out.current.push_back(p.current);
            out.efficiency.push_back(p.efficiency);
            out.voltage.push_back(p.voltage);
            out.exitTemperature.push_back(p.exitTemperature);
        }
        data.curves.push_back(out);
    }
    return true;
}

}  // namespace torvex
