#include "charts/radial_charts.h"

#include <algorithm>

#include "charts/axes.h"
#include "charts/chart_font.h"
#include "charts/palette.h"
#include "solver/result_files.h"

namespace torvex {

namespace {

double chartValue(const RadialRecord& r, RadialQuantity quantity, const UnitCodes& units) {
    return quantity == RadialQuantity::Temperature
               ? chartTemperature(r.temperatureKiloKelvin, units.temperature)
               : chartVelocity(r.velocity, units.length);
}

}  // namespace

RadialData readRadialData(const ChartSource& source, RadialQuantity quantity) {
    RadialData data;
    double radialEnd = 0;
    double valueEnd = 0;
    for (int k = 0; k < kRadialPlanes; ++k) {
        RadialCurve& curve = data.curves[k];
        for (const RadialRecord& r :
             readRadialRecords(source.file(radialFileNames()[k]), kMaxRadialRecords)) {
            curve.radius.push_back(chartRadius(r.radiusMm, source.units.length));
            curve.value.push_back(chartValue(r, quantity, source.units));
        }
        if (curve.radius.empty()) continue;
        // The records run outward from the axis, where the jet is hottest
        // and fastest.
        radialEnd = std::max(radialEnd, curve.radius.back());
        valueEnd = std::max(valueEnd, curve.value.front());
    }
    const bool inches = !source.metric();
    data.radial = chartAxisScale(radialEnd, 5, inches);
    data.value = chartAxisScale(valueEnd, 5,
                                quantity == RadialQuantity::Temperature ? source.units.temperature == 2 : inches);
    return data;
}

std::string radialLegendLabel(int curve, bool metric) {
    static const std::array<const char*, 5> centimetres{"0.0 cm", "0.5 cm", "2.0 cm", "5.0 cm", "10.0 cm"};
    static const std::array<const char*, 5> inches{"0.0 in", "0.2 in", "1.0 in", "2.0 in", "4.0 in"};
    if (curve < 1 || curve > 5) return "";
    return metric ? centimetres[curve - 1] : inches[curve - 1];
}

// Inch tick labels ("0.5") are wider than millimetre ones, and so are the
// four digits of feet per second on the velocity axis; the velocity
// chart keeps a strip on its right for the legend of the distances.
Rect radialTemperaturePlot(const Rect& area, const TextSize& sample, bool metric) {
    return plotInArea(area, sample, metric ? 3.1 : 3.5, 3);
}

Rect radialVelocityPlot(const Rect& area, const TextSize& sample, bool metric) {
    return plotInArea(area, sample, metric ? 2.9 : 4.3, 5.5);
}

namespace {

struct RadialPaint {
    DrawingContext& dc;
    Rect area;
    Rect plot;
    int axisFont;
    const ChartSource& source;
    const RadialData& data;
};

// Face Arial and the axis font selected; returns its height. A font of the
// title's size is created first and replaced at once: it shows nothing, but
// keeps the chart's sequence of font selections.
int selectAxisFont(DrawingContext& dc, const Rect& area) {
    replaceFontWithArial(dc, area.height() / 12);
    const int height = axisFontHeight(area.height());
    replaceFont(dc, height, 0);
    return height;
}

void drawCurveOf(const RadialPaint& p, int curve, int mode) {
    const RadialCurve& c = p.data.curves[curve - 1];
    drawCurve(p.dc, c.lastIndex(), c.radius, c.value, mode, p.plot, p.data.window());
}

// The five sections' curves for the readout, labelled with their distances
// in the run's unit ("section 1".. when that unit is unknown).
std::vector<PlotCurve> notedCurves(const RadialData& data, const ChartSource& source) {
    const bool metricRun = source.runUnits ? source.runUnits->length == 1 : source.metric();
    std::vector<PlotCurve> curves;
    for (int curve = 1; curve <= 5; ++curve) {
        const RadialCurve& c = data.curves[curve - 1];
        const std::string label = source.runUnits ? "at " + radialLegendLabel(curve, metricRun)
                                                  : "of section " + std::to_string(curve);
        curves.push_back(plotCurve(label, c.radius, c.value, c.lastIndex(), kCurveFamilyColours[curve - 1]));
    }
    return curves;
}

void drawAxes(const RadialPaint& p) {
    DrawingContext& dc = p.dc;
    ScopedPen pen(dc, kAxisPen);
    replaceFont(dc, p.axisFont, 0);
    dc.setTextColour(kLabelColour);
    const AxisScale& radial = p.data.radial;
    const AxisScale& value = p.data.value;
    // Without a range (no records) the axes are bare lines, without a lone "0".
    const int radialTicks = radial.intervals > 0 ? radial.intervals + 1 : 0;
    if (p.source.metric()) {
        drawXAxis(dc, p.plot.bottom, p.plot.left, p.plot.right, 0, radial.end(), radialTicks, tickLength(dc), radial.ticks,
                  "%lg");
    } else {
        drawXAxis(dc, p.plot.bottom, p.plot.left, p.plot.right, 0, radial.end(), radialTicks, tickLength(dc),
                  radial.ticks, decimalsFormat(radial.step));
    }
    drawYAxis(dc, p.plot.left, p.plot.bottom, p.plot.top, value.end(), 0, value.intervals > 0 ? value.intervals : -1,
              tickLength(dc), value.ticks);
}

// "Radial position, mm" or "Radial position, in".
void drawRadialTitle(const RadialPaint& p) {
    DrawingContext& dc = p.dc;
    const Rect& plot = p.plot;
    replaceFont(dc, p.axisFont, 0);
    dc.setTextColour(kLabelColour);
    const TextSize size = dc.textExtentWithTerminator("Radial position, mm");
    const int y = p.area.bottom - 2 * size.height;
    dc.textOut(plot.left + (plot.right - size.width - plot.left) / 2, y,
               p.source.metric() ? "Radial position, mm" : "Radial position, in");
}

// How far the rotated value-axis title, spanning titleLeft..titleRight across,
// moves left to stay clear of the value labels.
int valueTitleShift(const RadialPaint& p, int titleLeft, int titleRight, int textHeight) {
    const AxisScale& value = p.data.value;
    const int widest = widestYLabel(p.dc, value.ticks, value.intervals + 1, "%lg");
    return titleShiftClearOfLabels(p.area, p.plot.left, widest, titleLeft, titleRight, textHeight);
}

void drawTemperatureTitle(const RadialPaint& p) {
    DrawingContext& dc = p.dc;
    replaceFont(dc, p.axisFont, 900);
    dc.setTextColour(kLabelColour);
    const TextSize size = dc.textExtentWithTerminator("Temperature, kK");
    const std::string title = temperatureTitle(p.source.units.temperature);
    if (title.empty()) return;
    const int x = p.area.left + size.height;
    const int shift = valueTitleShift(p, x, x + size.height, size.height);
    dc.textOut(x + shift, p.plot.top + (p.plot.bottom - p.plot.top + size.width) / 2, title);
}

// "Velocity, 10^2 m/s" (the blanks in the title leave room for the
// exponent) or "Velocity, ft/s".
void drawVelocityTitle(const RadialPaint& p) {
    DrawingContext& dc = p.dc;
    replaceFont(dc, p.axisFont, 900);
    dc.setTextColour(kLabelColour);
    const bool metric = p.source.metric();
    const std::string title = metric ? "Velocity, 10   m/s" : "Velocity, ft/s";
    const TextSize size = dc.textExtent(title);
    const int yt = p.plot.top + (p.plot.bottom - p.plot.top + size.width) / 2;
    const int a = p.area.left + valueTitleShift(p, toDevice(p.area.left + 0.8 * size.height),
                                                p.area.left + 2 * size.height, size.height);
    if (metric) {
        drawText(dc, at(a + 0.9 * size.height, yt), title);
    } else {
        dc.textOut(a + size.height, yt, title);
        return;
    }
    replaceFont(dc, toDevice(0.75 * p.axisFont), 900);
    drawText(dc, at(a + 0.8 * size.height, yt - 0.68888889 * size.width), "2");
}

// The legend entry of one curve (label, line sample) and the curve itself,
// drawn with the curve's pen.
void drawVelocityCurve(const RadialPaint& p, int curve, int digitWidth) {
    // The sections lie where the run put them, in its length unit; the
    // strip is as wide as labels in that unit need.
    const bool metricRun = p.source.runUnits ? p.source.runUnits->length == 1 : p.source.metric();
    const int labelRight = p.plot.right + (metricRun ? 8 : 7) * digitWidth;
    const LegendStrip strip{p.plot.top, labelRight, p.area.right - 2 * digitWidth, digitWidth};
    const std::string label = p.source.runUnits ? radialLegendLabel(curve, metricRun) : std::string();
    drawLegendRow(p.dc, strip, curve, kCurveFamilyColours[curve - 1], label, [&] {
                      if (curve == 1) {
                          drawCurveOf(p, curve, kCurveSingle);
                      } else {
                          // Two passes of the two-unit curve: the second one
                          // lands on the first and changes no pixel.
                          drawCurveOf(p, curve, kCurveDouble);
                          drawCurveOf(p, curve, kCurveDouble);
                      }
                  });
}

}  // namespace

int drawRadialTemperatureChart(DrawingContext& dc, const Rect& area, const ChartSource& source) {
    const RadialData data = readRadialData(source, RadialQuantity::Temperature);
    const int axisFont = selectAxisFont(dc, area);
    const Rect plot = radialTemperaturePlot(area, sampleSize(dc), source.metric());
    const RadialPaint paint{dc, area, plot, axisFont, source, data};

    drawScaleGrid(dc, plot, data.window(), data.radial, data.value);
    notePlotAxes(dc, plot, data.window(), "radius", radiusUnit(source), "temperature",
                 temperatureUnitText(source.units.temperature), 1, notedCurves(data, source));
    for (int curve = 1; curve <= 5; ++curve) {
        ScopedPen pen(dc, curvePen(curve, kCurveFamilyColours[curve - 1]));
        drawCurveOf(paint, curve, kCurveSingle);
        if (curve > 1) drawCurveOf(paint, curve, kCurveDouble);
    }
    drawAxes(paint);
    drawTemperatureTitle(paint);
    drawRadialTitle(paint);
    return plot.left;
}

int drawRadialVelocityChart(DrawingContext& dc, const Rect& area, const ChartSource& source) {
    const RadialData data = readRadialData(source, RadialQuantity::Velocity);
    const int axisFont = selectAxisFont(dc, area);
    const Rect plot = radialVelocityPlot(area, sampleSize(dc), source.metric());
    const RadialPaint paint{dc, area, plot, axisFont, source, data};

    drawScaleGrid(dc, plot, data.window(), data.radial, data.value);
    notePlotAxes(dc, plot, data.window(), "radius", radiusUnit(source), "velocity", velocityUnit(source),
                 velocityFactor(source), notedCurves(data, source));
    dc.setTextColour(kLabelColour);
    const int headerWidth = dc.textExtentWithTerminator("Distance:").width;
    drawText(dc, at(plot.right + 0.2625 * headerWidth, plot.top), "Distance:");
    const int digitWidth = dc.textExtent("1").width;
    for (int curve = 1; curve <= 5; ++curve) drawVelocityCurve(paint, curve, digitWidth);
    drawAxes(paint);
    drawVelocityTitle(paint);
    drawRadialTitle(paint);
    return plot.left;
}

}  // namespace torvex
