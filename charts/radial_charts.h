// The radial distribution charts: temperature and axial velocity against the
// radial position at five distances from the nozzle exit, one curve per
// rtu*.res file. The velocity chart carries the legend of the distances; the
// temperature chart uses the same pens and is shown beside it. Both read the
// five files afresh on every paint.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "charts/chart_common.h"

namespace torvex {

constexpr std::size_t kMaxRadialRecords = 200;

enum class RadialQuantity { Temperature, Velocity };

struct RadialCurve {
    std::vector<double> radius;  // mm (metric) or in
    std::vector<double> value;   // thousands of the temperature unit, or velocity units

    int lastIndex() const { return static_cast<int>(radius.size()) - 1; }
};

// The five cross-sections in the chart's units with the scales they share:
// the radial axis reaches the largest outer radius, the value axis the
// largest value on the axis.
struct RadialData {
    std::array<RadialCurve, 5> curves;
    AxisScale radial;
    AxisScale value;

    DataWindow window() const { return DataWindow{0, value.end(), radial.end(), 0}; }
};

RadialData readRadialData(const ChartSource& source, RadialQuantity quantity);

// The legend text of a curve (1..5).
std::string radialLegendLabel(int curve, bool metric);

// Plot rectangles in a chart area from the axis font's sample size.
Rect radialTemperaturePlot(const Rect& area, const TextSize& sample, bool metric);
Rect radialVelocityPlot(const Rect& area, const TextSize& sample, bool metric);

// Paint the charts into the area; each returns its plot's left edge.
int drawRadialTemperatureChart(DrawingContext& dc, const Rect& area, const ChartSource& source);
int drawRadialVelocityChart(DrawingContext& dc, const Rect& area, const ChartSource& source);

}  // namespace torvex
