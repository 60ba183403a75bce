// Export of the chart pages as PNG images after a headless run. Only the Qt
// build can draw them; the solver-only build links a version that says so.
#pragma once

#include <string>
#include <vector>

namespace torvex {

// True when this build can draw the chart pages.
bool chartExportAvailable();

// Draws the All Charts page and the three single-chart pages from the result
// files, iop.par and un.dat in `dir` and writes them there as charts-all.png,
// charts-isotherms.png, charts-radial.png and charts-axial.png. On failure
// `error` names the file or the fault.
bool exportChartPages(const std::string& dir, std::string& error);

// A study chart to draw: the study folder holding study.csv, "flow" or "gas"
// for one curve per flow rate or per gas, and the formats ("png,pdf,svg").
struct StudyChartRequest {
    std::string dir;
    std::string by;
    std::string formats;
};

// Draws the study chart page from dir/study.csv into dir/study-chart.png,
// .pdf and .svg (those asked for); `written` gets the full paths. On failure
// `error` names the file or the fault.
bool exportStudyChart(const StudyChartRequest& request, std::vector<std::string>& written, std::string& error);

}  // namespace torvex
