// The isothermal-lines chart: for five temperature levels the radial position
// of the isotherm against the distance from the nozzle exit, with a colour
// legend. It reads ilt.res afresh on every paint.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "charts/chart_common.h"

namespace torvex {

constexpr std::size_t kMaxIsothermRecords = 220;

// ilt.res in the chart's units, up to the record where the lowest isotherm
// closes on the axis.
struct IsothermData {
    std::vector<double> distance;               // cm (metric) or in
    std::array<std::vector<double>, 5> radius;  // levels 1..5: mm (metric) or in
    // Where the level-1 isotherm closes (cm) and its largest radius (mm),
    // in the file's own units whatever the unit setting.
    double cutDistanceCm = 20.0;
    double largestRadiusMm = 0;

    int lastIndex() const { return static_cast<int>(distance.size()) - 1; }
    // The last record of a level's (1..5) curve: where the isotherm closes
    // on the axis, so that the curve ends there instead of running on along
    // r = 0; the last record when it stays open; -1 for a level the jet
    // never reaches.
    int levelLastIndex(int level) const;
};

IsothermData readIsothermData(const std::string& path, int lengthCode);

// The fixed tick tables of the two axes for the unit and the range figures.
struct IsothermAxes {
    std::vector<double> distanceTicks;
    std::string distanceFormat;
    std::vector<double> radialTicks;
    std::string radialFormat;

    double distanceEnd() const { return distanceTicks.back(); }
    double radialEnd() const { return radialTicks.back(); }
    DataWindow window() const { return DataWindow{0, radialEnd(), distanceEnd(), 0}; }
};

IsothermAxes isothermAxes(int lengthCode, double cutDistanceCm, double largestRadiusMm);

// The legend text of a level (1..5) in a temperature unit (1 K, 2 F, 3 C).
std::string isothermLabel(int level, int temperatureCode);

// The plot rectangle in a chart area, from the axis font's sample size; the
// strip right of it holds the legend.
Rect isothermPlot(const Rect& area, const TextSize& sample, bool metric);

// Paints the chart into the area and returns the plot's left edge.
int drawIsothermChart(DrawingContext& dc, const Rect& area, const ChartSource& source);

}  // namespace torvex
