#include "charts/chart_common.h"

#include <algorithm>
#include <cmath>

#include "charts/axes.h"
#include "charts/palette.h"

namespace torvex {

std::string ChartSource::file(const std::string& name) const {
    return directory.empty() ? name : directory + "/" + name;
}

double kelvinToFahrenheitK(double kiloKelvin) { return ((kiloKelvin * 1000 - 273) * 1.8 + 32) / 1000; }

double kelvinToCelsiusK(double kiloKelvin) { return (kiloKelvin * 1000 - 273) / 1000; }

double chartTemperature(double kiloKelvin, int temperatureCode) {
    if (temperatureCode == 2) return kelvinToFahrenheitK(kiloKelvin);
    if (temperatureCode == 3) return kelvinToCelsiusK(kiloKelvin);
    return kiloKelvin;
}

double chartVelocity(double metresPerSecond, int lengthCode) {
    // 1 m/s = 39.37 in/s, so V * 0.03937 counts thousands of in/s.
    return lengthCode == 1 ? metresPerSecond * 0.01 : metresPerSecond / kMetresPerFoot;
}

double chartDistance(double millimetres, int lengthCode) {
    return lengthCode == 1 ? millimetres * 0.1 : millimetres * kInchesPerMillimetre;
}

double chartRadius(double millimetres, int lengthCode) {
    return lengthCode == 1 ? millimetres : millimetres * kInchesPerMillimetre;
}

namespace {

// The scale from 0 with the step chosen for the data's end.
AxisScale scaleOfStep(double dataEnd, const AxisStep& s) {
    AxisScale scale;
    if (dataEnd > 0 && s.step > 0 && s.intervals > 0) {
        scale.step = s.step;
        scale.intervals = s.intervals;
    }
    scale.ticks = tickValues(0, scale.step, scale.intervals);
    return scale;
}

}  // namespace

AxisScale axisScale(double dataEnd, int wishedIntervals) {
    return scaleOfStep(dataEnd, niceStep(dataEnd, wishedIntervals));
}

AxisScale readableAxisScale(double dataEnd, int wishedIntervals) {
    return scaleOfStep(dataEnd, readableStep(dataEnd, wishedIntervals));
}

std::string decimalsFormat(double step) {
    for (int decimals = 0; decimals <= 4; ++decimals) {
        const double scaled = step * std::pow(10.0, decimals);
        if (std::fabs(scaled - std::round(scaled)) < 1e-6 * std::max(1.0, scaled))
            return decimals == 0 ? "%lg" : "%." + std::to_string(decimals) + "lf";
    }
    return "%lg";
}

AxisScale chartAxisScale(double dataEnd, int wishedIntervals, bool readable) {
    return readable ? readableAxisScale(dataEnd, wishedIntervals) : axisScale(dataEnd, wishedIntervals);
}

Pen curvePen(int curve, const Rgb& colour) {
    switch (curve) {
        case 1:
            return Pen{PenStyle::Solid, 2, colour};
        case 2:
            return Pen{PenStyle::Dash, 1, colour};
        case 3:
            return Pen{PenStyle::DashDot, 1, colour};
        case 4:
            return Pen{PenStyle::DashDotDot, 1, colour};
        default:
            return Pen{PenStyle::Dot, 1, colour};
    }
}

std::string temperatureTitle(int temperatureCode) {
    switch (temperatureCode) {
        case 1:
            return "Temperature, kK";
        case 2:
            return "Temperature, kF";
        case 3:
            return "Temperature, kC";
        default:
            return "";
    }
}

int axisFontHeight(int chartHeight) { return chartHeight / 18; }

int tickLength(const DrawingContext& dc) {
    constexpr int kTickPixels = 6;
    return screenPixels(dc, kTickPixels);
}

Rect plotInArea(const Rect& area, const TextSize& sample, double leftWidths, double rightWidths) {
    return Rect{toDevice(area.left + leftWidths * sample.width), toDevice(area.top + 3.45 * sample.height),
                toDevice(area.right - rightWidths * sample.width), toDevice(area.bottom - 3.75 * sample.height)};
}

void drawScaleGrid(DrawingContext& dc, const Rect& plot, const DataWindow& window, const AxisScale& x,
                   const AxisScale& y) {
    ScopedPen pen(dc, kGridPen);
    drawVerticalGrid(dc, plot, window, x.intervals, x.ticks);
    drawHorizontalGrid(dc, plot, window, y.intervals, y.ticks);
}

int titleShiftClearOfLabels(const Rect& area, int plotLeft, int widestLabel, int titleLeft, int titleRight,
                            int textHeight) {
    const int labelsLeft = plotLeft - widestLabel - textHeight / 4;
    const int needed = std::min(0, labelsLeft - titleRight);
    // Two units keep the title off the frame drawn on the area's edge.
    const int allowed = std::min(0, area.left + 2 - titleLeft);
    return std::max(needed, allowed);
}

void drawLegendRow(DrawingContext& dc, const LegendStrip& strip, int curve, const Rgb& colour,
                   const std::string& label, const std::function<void()>& drawCurveInPen) {
    // A row keeps its place when its label is left out.
    const TextSize size = dc.textExtent(label.empty() ? std::string("0") : label);
    const int y = strip.plotTop + 2 * curve * size.height;
    dc.setTextColour(colour);
    if (!label.empty()) dc.textOut(strip.labelRight - size.width, y, label);

    ScopedPen pen(dc, curvePen(curve, colour));
    const int ys = toDevice(y + 0.5 * size.height);
    const int sampleEnd = strip.labelRight + strip.digitWidth;
    dc.line(strip.sampleStart, ys, sampleEnd, ys);
    const int offset = screenPixels(dc, 1);
    if (curve > 1) dc.line(strip.sampleStart, ys - offset, sampleEnd, ys - offset);
    drawCurveInPen();
}

Point at(double x, double y) { return Point{toDevice(x), toDevice(y)}; }

void drawText(DrawingContext& dc, const Point& p, const std::string& text) { dc.textOut(p.x, p.y, text); }

PlotCurve plotCurve(const std::string& label, const std::vector<double>& x, const std::vector<double>& y,
                    int lastIndex, const Rgb& colour) {
    PlotCurve curve;
    curve.label = label;
    curve.colour = colour;
    const std::size_t n = std::min({x.size(), y.size(), static_cast<std::size_t>(std::max(lastIndex + 1, 0))});
    curve.x.assign(x.begin(), x.begin() + static_cast<std::ptrdiff_t>(n));
    curve.y.assign(y.begin(), y.begin() + static_cast<std::ptrdiff_t>(n));
    return curve;
}

void notePlotAxes(DrawingContext& dc, const Rect& plot, const DataWindow& window, const std::string& xName,
                  const std::string& xUnit, const std::string& yName, const std::string& yUnit, double yFactor,
                  std::vector<PlotCurve> curves) {
    PlotNote note;
    note.curves = std::move(curves);
    note.plot = plot;
    note.xMin = window.xMin;
    note.yMax = window.yMax;
    note.xMax = window.xMax;
    note.yMin = window.yMin;
    note.xName = xName;
    note.xUnit = xUnit;
    note.yName = yName;
    note.yUnit = yUnit;
    note.yFactor = yFactor;
    dc.notePlot(note);
}

std::string distanceUnit(const ChartSource& source) { return source.metric() ? "cm" : "in"; }
std::string radiusUnit(const ChartSource& source) { return source.metric() ? "mm" : "in"; }

std::string temperatureUnitText(int temperatureCode) {
    if (temperatureCode == 2) return "kF";
    if (temperatureCode == 3) return "kC";
    return "kK";
}

std::string velocityUnit(const ChartSource& source) { return source.metric() ? "m/s" : "ft/s"; }
double velocityFactor(const ChartSource& source) { return source.metric() ? 100.0 : 1.0; }

}  // namespace torvex
