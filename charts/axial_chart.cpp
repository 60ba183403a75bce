#include "charts/axial_chart.h"

#include <algorithm>

#include "charts/axes.h"
#include "charts/chart_font.h"
#include "charts/palette.h"
#include "solver/result_files.h"

namespace torvex {

AxialData readAxialData(const ChartSource& source) {
    AxialData data;
    const UnitCodes& units = source.units;
    const auto records = readAxisRecords(source.file(kAxisFile), kMaxAxisRecords);
    for (const AxisRecord& r : records) {
        data.distance.push_back(chartDistance(r.distanceMm, units.length));
        data.temperature.push_back(chartTemperature(r.temperatureKiloKelvin, units.temperature));
        data.velocity.push_back(chartVelocity(r.velocity, units.length));
    }
    // The jet is hottest and fastest at the nozzle exit, the first record.
    const bool any = !records.empty();
    if (any) data.lastDistanceMm = records.back().distanceMm;
    const bool inches = units.length != 1;
    data.distanceScale = chartAxisScale(any ? data.distance.back() : 0, 6, inches);
    data.temperatureScale = chartAxisScale(any ? data.temperature.front() : 0, 5, units.temperature == 2);
    data.velocityScale = chartAxisScale(any ? data.velocity.front() : 0, 5, inches);
    return data;
}

std::string axialResultsNote(const AxialData& data, int lengthCode) {
    if (data.distance.empty()) return "no results";
    // The file prints distances to a tenth of a millimetre.
    if (data.lastDistanceMm >= kJetLengthMm - 0.05) return "";
    return lengthCode == 1 ? formatLabel("results end at %.0lf mm", data.lastDistanceMm)
                           : formatLabel("results end at %.2lf in", data.lastDistanceMm * kInchesPerMillimetre);
}

AxialLayout axialFonts(const Rect& area) {
    const int h = area.height();
    AxialLayout layout;
    layout.titleFont = toDevice((h / 12) * 0.76923077);
    layout.axisFont = toDevice((h / 18) * 0.76923077);
    return layout;
}

void placeAxialPlots(AxialLayout& layout, const Rect& area, int h1) {
    const int a = area.left;
    const int b = area.top;
    const int c = area.right;
    const double half = (area.height() - 7.3 * h1) * 0.5;
    const int left = toDevice(a + (c - a) * 0.22222222);
    const int right = c - (c - a) / 10;
    layout.temperaturePlot = Rect{left, toDevice(b + 2.3 * h1), right, toDevice(b + 2.5 * h1 + half)};
    layout.velocityPlot = Rect{left, toDevice(b + 5 * h1 + half), right, toDevice(area.bottom - 2.5 * h1)};
}

namespace {

struct AxialPaint {
    DrawingContext& dc;
    Rect area;
    const AxialLayout& layout;
    const ChartSource& source;
    const AxialData& data;
};

// How far a rotated value-axis title, spanning titleLeft..titleRight across,
// moves left to stay clear of the plot's value labels.
int valueTitleShift(const AxialPaint& p, const Rect& plot, const AxisScale& values, int titleLeft,
                    int titleRight, int textHeight) {
    const int widest = widestYLabel(p.dc, values.ticks, values.intervals + 1, "%lg");
    return titleShiftClearOfLabels(p.area, plot.left, widest, titleLeft, titleRight, textHeight);
}

void drawAxes(const AxialPaint& p, const Rect& plot, const AxisScale& values) {
    DrawingContext& dc = p.dc;
    ScopedPen pen(dc, kAxisPen);
    replaceFont(dc, p.layout.axisFont, 0);
    dc.setTextColour(kLabelColour);
    // Without a range (no records) the axes are bare lines: a lone "0"
    // would claim a value the file does not hold.
    const AxisScale& x = p.data.distanceScale;
    drawXAxisFixed(dc, plot.bottom, plot.left, plot.right, 0, x.end(), x.intervals > 0 ? x.intervals : -1, tickLength(dc),
                   x.ticks);
    drawYAxis(dc, plot.left, plot.bottom, plot.top, values.end(), 0, values.intervals > 0 ? values.intervals : -1,
              tickLength(dc), values.ticks);
}

// A distance title centred under a plot: the width is that of the metric
// title, whatever the unit.
void drawDistanceTitle(const AxialPaint& p, const Rect& plot, bool belowUpperPlot) {
    DrawingContext& dc = p.dc;
    replaceFont(dc, p.layout.axisFont, 0);
    const TextSize size = dc.textExtentWithTerminator("Distance, cm");
    const int x = plot.left + (plot.right - size.width - plot.left) / 2;
    const int y =
        belowUpperPlot ? toDevice(plot.bottom + 1.8 * size.height) : p.area.bottom - 2 * size.height;
    dc.textOut(x, y, p.source.metric() ? "Distance, cm" : "Distance, in");
}

void drawUpperPlot(const AxialPaint& p) {
    DrawingContext& dc = p.dc;
    const Rect& plot = p.layout.temperaturePlot;
    const AxialData& data = p.data;
    drawScaleGrid(dc, plot, data.temperatureWindow(), data.distanceScale, data.temperatureScale);
    notePlotAxes(dc, plot, data.temperatureWindow(), "distance", distanceUnit(p.source), "temperature",
                 temperatureUnitText(p.source.units.temperature), 1,
                 {plotCurve("", data.distance, data.temperature, data.lastIndex(), kRed)});
    {
        ScopedPen pen(dc, Pen{PenStyle::Solid, 2, kRed});
        drawCurve(dc, data.lastIndex(), data.distance, data.temperature, kCurveSingle, plot,
                  data.temperatureWindow());
    }
    drawAxes(p, plot, data.temperatureScale);

    replaceFont(dc, p.layout.axisFont, 900);
    const TextSize size = dc.textExtentWithTerminator("Temperature, kK");
    const std::string title = temperatureTitle(p.source.units.temperature);
    if (!title.empty()) {
        const int x = p.area.left + size.height;
        const int shift = valueTitleShift(p, plot, data.temperatureScale, x, x + size.height, size.height);
        dc.textOut(x + shift, plot.bottom + (plot.top - plot.bottom + size.width) / 2, title);
    }
    drawDistanceTitle(p, plot, true);
}

void drawChartTitle(const AxialPaint& p) {
    DrawingContext& dc = p.dc;
    replaceFont(dc, p.layout.titleFont, 0);
    const TextSize size = dc.textExtent("Axial Distributions");
    dc.textOut(p.area.left + (p.area.right - size.width - p.area.left) / 2, p.area.top + size.height / 2,
               "Axial Distributions");
    // Under the title, over the middle of the upper plot: where the results
    // end when the file does not reach the end of the jet.
    const std::string note = axialResultsNote(p.data, p.source.units.length);
    if (note.empty()) return;
    replaceFont(dc, p.layout.axisFont, 0);
    const Rect& plot = p.layout.temperaturePlot;
    const TextSize noteSize = dc.textExtent(note);
    dc.setTextColour(kRed);
    dc.textOut(plot.left + (plot.width() - noteSize.width) / 2, plot.top - noteSize.height - noteSize.height / 4,
               note);
    dc.setTextColour(kLabelColour);
}

// "Velocity, 10^2 m/s" (the blanks in the title leave room for the
// exponent) or "Velocity, ft/s".
void drawVelocityTitle(const AxialPaint& p, const Rect& plot) {
    DrawingContext& dc = p.dc;
    const bool metric = p.source.metric();
    replaceFont(dc, p.layout.axisFont, 900);
    const std::string title = metric ? "Velocity, 10   m/s" : "Velocity, ft/s";
    const TextSize size = dc.textExtent(title);
    const int a = p.area.left + valueTitleShift(p, plot, p.data.velocityScale,
                                                toDevice(p.area.left + 0.8 * size.height),
                                                p.area.left + 2 * size.height, size.height);
    const int yv = plot.bottom + (plot.top - plot.bottom + size.width) / 2;
    dc.textOut(a + size.height, yv, title);
    if (!metric) return;
    replaceFont(dc, toDevice(0.75 * p.layout.axisFont), 900);
    drawText(dc, at(a + 0.8 * size.height, yv - 0.68888889 * size.width), "2");
}

void drawLowerPlot(const AxialPaint& p) {
    DrawingContext& dc = p.dc;
    const Rect& plot = p.layout.velocityPlot;
    const AxialData& data = p.data;
    drawScaleGrid(dc, plot, data.velocityWindow(), data.distanceScale, data.velocityScale);
    notePlotAxes(dc, plot, data.velocityWindow(), "distance", distanceUnit(p.source), "velocity",
                 velocityUnit(p.source), velocityFactor(p.source),
                 {plotCurve("", data.distance, data.velocity, data.lastIndex(), kBlue)});
    drawAxes(p, plot, data.velocityScale);
    {
        ScopedPen pen(dc, Pen{PenStyle::DashDot, 2, kBlue});
        drawCurve(dc, data.lastIndex(), data.distance, data.velocity, kCurveSingle, plot,
                  data.velocityWindow());
    }
    // Again over the curve, which starts on the value axis.
    drawAxes(p, plot, data.velocityScale);
    drawVelocityTitle(p, plot);
    drawDistanceTitle(p, plot, false);
}

// The rotated value titles and the value labels between the area's edge and
// the plots: the layout's 22 % of the width leaves room for labels of one or
// two digits, not for "3000" in ft/s. Where they would overlap, both plots
// start further right, where the velocity title (0.8 to 2 text heights from
// the edge, its exponent first) and the widest label fit side by side.
void makeRoomForValueTitles(DrawingContext& dc, AxialLayout& layout, const Rect& area, const AxialData& data) {
    replaceFont(dc, layout.axisFont, 0);
    const int h = dc.textExtent("Velocity, ft/s").height;
    const AxisScale& t = data.temperatureScale;
    const AxisScale& v = data.velocityScale;
    const int widest = std::max(widestYLabel(dc, t.ticks, t.intervals + 1, "%lg"),
                                widestYLabel(dc, v.ticks, v.intervals + 1, "%lg"));
    const int titleWidth = area.left + 2 * h - toDevice(area.left + 0.8 * h);
    const int needed = area.left + 2 + titleWidth + widest + h / 4;
    if (needed <= layout.temperaturePlot.left) return;
    layout.temperaturePlot.left = needed;
    layout.velocityPlot.left = needed;
}

}  // namespace

void drawAxialChart(DrawingContext& dc, const Rect& area, const ChartSource& source) {
    const AxialData data = readAxialData(source);
    AxialLayout layout = axialFonts(area);
    replaceFontWithArial(dc, layout.titleFont);
    placeAxialPlots(layout, area, dc.textExtent("Axial Distributions").height);
    makeRoomForValueTitles(dc, layout, area, data);
    replaceFontWithArial(dc, layout.titleFont);

    const AxialPaint paint{dc, area, layout, source, data};
    dc.setTextColour(kLabelColour);
    drawUpperPlot(paint);
    drawChartTitle(paint);
    drawLowerPlot(paint);
}

}  // namespace torvex
