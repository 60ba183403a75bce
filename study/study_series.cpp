#include "study/study_series.h"

#include <algorithm>
#include <charconv>
#include <map>

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

bool number(const std::string& text, double& value) {
    const auto r = std::from_chars(text.data(), text.data() + text.size(), value);
    return !text.empty() && r.ec == std::errc() && r.ptr == text.data() + text.size();
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
    std::size_t start = 0;
    while (start < tableText.size()) {
        std::size_t end = tableText.find('\n', start);
        if (end == std::string::npos) end = tableText.size();
        rows.push_back(splitCsvLine(tableText.substr(start, end - start)));
        start = end + 1;
    }
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
    // What the curves of the chart share: fixed by the first completed row.
    std::vector<std::string> fixed;
    std::map<double, std::pair<std::string, std::vector<Point>>> curves;  // by flow or gas code
    for (std::size_t r = 1; r < rows.size(); ++r) {
        const std::vector<std::string>& row = rows[r];
        if (row.size() != header.size() || row[static_cast<std::size_t>(c.status)] != "completed") continue;
        const auto at = [&row](int k) { return row[static_cast<std::size_t>(k)]; };
        const std::vector<std::string> key =
            by == StudyCurves::PerFlow ? std::vector<std::string>{at(c.gasCode), at(c.diameter), at(c.length)}
                                       : std::vector<std::string>{at(c.diameter), at(c.length), at(c.flow)};
        if (fixed.empty()) {
            fixed = key;
            data.title = by == StudyCurves::PerFlow
                             ? at(c.gas) + ", d = " + at(c.diameter) + " mm, L = " + at(c.length) + " mm"
                             : "d = " + at(c.diameter) + " mm, L = " + at(c.length) +
                                   " mm, G = " + at(c.flow) + " " + flowUnit;
        }
        if (key != fixed) continue;
        Point p{};
        double curveKey = 0;
        if (!number(at(c.current), p.current) || !number(at(c.efficiency), p.efficiency) ||
            !number(at(c.voltage), p.voltage) || !number(at(c.exitTemperature), p.exitTemperature) ||
            !number(at(by == StudyCurves::PerFlow ? c.flow : c.gasCode), curveKey))
            continue;
        auto& curve = curves[curveKey];
        curve.first = by == StudyCurves::PerFlow ? at(c.flow) + " " + flowUnit : at(c.gas);
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
