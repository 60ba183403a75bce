// The axial distribution chart: axis temperature (upper plot) and axis
// velocity (lower plot) against the distance from the nozzle exit, on one
// distance scale, under the title "Axial Distributions". It reads ztu0.res
// afresh on every paint.
#pragma once

#include <string>
#include <vector>

#include "charts/chart_common.h"

namespace torvex {

constexpr std::size_t kMaxAxisRecords = 220;
// The solver marches the jet 200 mm past the nozzle exit (8 in, 203.2 mm, in
// inch runs): a file that ends sooner was cut short (a run that stopped).
constexpr double kJetLengthMm = 200.0;

// ztu0.res in the chart's units with the three scales: distance to the last
// record, temperature and velocity to their values at the nozzle exit.
struct AxialData {
    std::vector<double> distance;     // cm (metric) or in
    std::vector<double> temperature;  // thousands of the temperature unit
    std::vector<double> velocity;     // 100 m/s (metric) or 1000 in/s
    AxisScale distanceScale;
    AxisScale temperatureScale;
    AxisScale velocityScale;
    double lastDistanceMm = 0;  // of the last record read

    int lastIndex() const { return static_cast<int>(distance.size()) - 1; }
    DataWindow temperatureWindow() const { return {0, temperatureScale.end(), distanceScale.end(), 0}; }
    DataWindow velocityWindow() const { return {0, velocityScale.end(), distanceScale.end(), 0}; }
};

AxialData readAxialData(const ChartSource& source);

// The note shown under the chart title when the file does not reach the end
// of the jet: "results end at 40 mm" (metric) or "results end at 1.57 in";
// "no results" for an empty or missing file; "" for a whole jet.
std::string axialResultsNote(const AxialData& data, int lengthCode);

// Fonts and the two plot rectangles of a chart area.
struct AxialLayout {
    int titleFont = 0;
    int axisFont = 0;
    Rect temperaturePlot;
    Rect velocityPlot;
};

// Font heights of a chart area (10/13 of the other charts').
AxialLayout axialFonts(const Rect& area);
// The plots, from the line height h1 of the title font.
void placeAxialPlots(AxialLayout& layout, const Rect& area, int titleLineHeight);

void drawAxialChart(DrawingContext& dc, const Rect& area, const ChartSource& source);

}  // namespace torvex
