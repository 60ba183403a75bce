// One chart of the spray pages: a plot with a title, axis titles, tick
// labels, a grid, bars (histograms), lines (curves, isotherms, trajectories)
// and a legend on the title line. Layout first (from the area alone), then
// paint, so the same routine serves window, image, PDF and printer.
#pragma once

#include <string>
#include <vector>

#include "charts/chart_common.h"

namespace torvex::kavel {

// An axis over [first tick, last tick] with round 1-2-5 steps; unlike the
// jet charts' axes it need not start at 0.
AxisScale spanScale(double lo, double hi, int wishedIntervals);
double scaleLow(const AxisScale& s);
double scaleHigh(const AxisScale& s);

struct ChartLine {
    std::vector<double> x, y;
    Pen pen;
    std::string label;  // what the line is, for the exported data
    std::string tag;    // written on the curve at its point farthest from the axis ("" none)
};

struct ChartBar {
    double x0 = 0, x1 = 0, height = 0;
    Rgb colour;
    double mass = 0;  // share by mass of a histogram bin, %, for the exported data
};

struct LegendEntry {
    std::string label;
    Pen pen;
};

struct SprayChart {
    std::string title;
    std::string xTitle;
    std::string yTitle;
    AxisScale x, y;
    std::string xFormat = "%lg";
    std::string yFormat = "%lg";
    std::vector<ChartBar> bars;
    std::vector<ChartLine> lines;
    std::vector<LegendEntry> legend;
    // Shown in the middle of the plot: why there is nothing (or not all) to see.
    std::string emptyNote;
    // The text height the page gives its charts; 0: from the chart's area.
    int font = 0;

    DataWindow window() const { return DataWindow{scaleLow(x), scaleHigh(y), scaleHigh(x), scaleLow(y)}; }
};

struct SprayChartLayout {
    int titleFont = 0;
    int axisFont = 0;
    int legendFont = 0;
    int legendTop = 0;  // first legend row, under the title
    int legendLeft = 0;
    Rect plot;
};

// Fonts from the area's height (and width, for narrow areas); the plot leaves
// room for the title and the legend rows above (measured in the context),
// tick labels and the x title below, and tick labels and the rotated y title
// on the left.
SprayChartLayout sprayChartLayout(DrawingContext& dc, const Rect& area, const SprayChart& chart);

void drawSprayChart(DrawingContext& dc, const Rect& area, const SprayChart& chart);

// "Distance from the nozzle exit, mm" as a column name: "Distance from the
// nozzle exit [mm]".
std::string columnName(const std::string& title);

// The chart's data as one CSV table: a histogram's bins with their shares
// by number and by mass, or each curve's points named by the curve.
std::string sprayChartCsv(const SprayChart& chart);

}  // namespace torvex::kavel
