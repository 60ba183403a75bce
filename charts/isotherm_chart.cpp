#include "charts/isotherm_chart.h"

#include "charts/axes.h"
#include "charts/chart_font.h"
#include "charts/palette.h"
#include "solver/result_files.h"

namespace torvex {

namespace {

// Level colours, level 1 (the coolest, outermost isotherm) first.
constexpr std::array<Rgb, 5> kLevelColours{kBlue, kMagenta, kGreen, kOrange, kRed};

std::vector<double> ticksFromZero(double step, int count) {
    std::vector<double> ticks;
    for (int i = 0; i < count; ++i) ticks.push_back(i * step);
    return ticks;
}

void storeRecord(IsothermData& data, const IsothermRecord& r, int lengthCode) {
    data.distance.push_back(chartDistance(r.distanceMm, lengthCode));
    for (int k = 0; k < 5; ++k) data.radius[k].push_back(chartRadius(r.radiusMm[k], lengthCode));
}

}  // namespace

int IsothermData::levelLastIndex(int level) const {
    const std::vector<double>& r = radius[static_cast<std::size_t>(level - 1)];
    bool opened = false;
    for (int i = 0; i <= lastIndex(); ++i) {
        const double value = r[static_cast<std::size_t>(i)];
        if (value > 0) opened = true;
        else if (opened) return i;
    }
    return opened ? lastIndex() : -1;
}

IsothermData readIsothermData(const std::string& path, int lengthCode) {
    IsothermData data;
    const auto records = readIsothermRecords(path, kMaxIsothermRecords);
    for (std::size_t i = 0; i < records.size(); ++i) {
        const IsothermRecord& r = records[i];
        storeRecord(data, r, lengthCode);
        if (i < 2) continue;
        // The lowest level falling back to the axis closes the jet's hot
        // core: the curves end at this record.
        const double radius = r.radiusMm[0];
        if (radius == 0 && records[i - 1].radiusMm[0] > 0) {
            data.cutDistanceCm = r.distanceMm * 0.1;
            break;
        }
        if (radius > data.largestRadiusMm) data.largestRadiusMm = radius;
    }
    return data;
}

IsothermAxes isothermAxes(int lengthCode, double cutDistanceCm, double largestRadiusMm) {
    IsothermAxes axes;
    const bool shortJet = cutDistanceCm < 10;
    const bool narrowJet = largestRadiusMm < 5;
    if (lengthCode == 1) {
        axes.distanceTicks = ticksFromZero(shortJet ? 1 : 2, 11);
        axes.distanceFormat = "%lg";
        axes.radialTicks = ticksFromZero(narrowJet ? 1 : 2, 6);
        axes.radialFormat = "%-lg";
        return axes;
    }
    axes.distanceTicks = ticksFromZero(shortJet ? 0.5 : 1, 9);
    axes.distanceFormat = shortJet ? "%-3.1lf" : "%lg";
    // Plain inches: a narrow jet in steps of 0.05 in rather than tenths
    // of an inch under a power of ten.
    axes.radialTicks = ticksFromZero(narrowJet ? 0.05 : 0.1, 5);
    axes.radialFormat = narrowJet ? "%-4.2lf" : "%-3.1lf";
    return axes;
}

std::string isothermLabel(int level, int temperatureCode) {
    static const std::array<const char*, 5> kelvin{"2 kK", "4 kK", "6 kK", "8 kK", "10 kK"};
    static const std::array<const char*, 5> fahrenheit{"3 kF", "7 kF", "11 kF", "15 kF", "19 kF"};
    static const std::array<const char*, 5> celsius{"2 kC", "4 kC", "6 kC", "8 kC", "10 kC"};
    if (level < 1 || level > 5) return "";
    const auto& labels = temperatureCode == 2 ? fahrenheit : temperatureCode == 3 ? celsius : kelvin;
    return labels[level - 1];
}

Rect isothermPlot(const Rect& area, const TextSize& sample, bool metric) {
    return plotInArea(area, sample, metric ? 3.1 : 3.5, 5.5);
}

namespace {

struct IsothermPaint {
    DrawingContext& dc;
    Rect area;
    Rect plot;
    int axisFont;
    const ChartSource& source;
    const IsothermData& data;
    const IsothermAxes& axes;
};

void drawGrid(const IsothermPaint& p) {
    ScopedPen pen(p.dc, kGridPen);
    const DataWindow w = p.axes.window();
    std::vector<PlotCurve> curves;
    for (int level = 1; level <= 5; ++level) {
        const std::string label = p.source.runUnits ? "at " + isothermLabel(level, p.source.runUnits->temperature)
                                                    : "of isotherm " + std::to_string(level);
        curves.push_back(plotCurve(label, p.data.distance, p.data.radius[level - 1], p.data.levelLastIndex(level),
                                   kLevelColours[level - 1]));
    }
    notePlotAxes(p.dc, p.plot, w, "distance", distanceUnit(p.source), "radius", radiusUnit(p.source), 1,
                 std::move(curves));
    drawVerticalGrid(p.dc, p.plot, w, static_cast<int>(p.axes.distanceTicks.size()) - 1,
                     p.axes.distanceTicks);
    drawHorizontalGrid(p.dc, p.plot, w, static_cast<int>(p.axes.radialTicks.size()) - 1, p.axes.radialTicks);
}

// The legend entry of each level (label, line sample) and the level's curve.
void drawLegendAndCurves(const IsothermPaint& p) {
    const int digitWidth = p.dc.textExtent("1").width;
    const int headerWidth = p.dc.textExtentWithTerminator("Temperature:").width;
    p.dc.setTextColour(kLabelColour);
    drawText(p.dc, at(p.plot.right + 0.19090909 * headerWidth, p.plot.top), "Temperature:");
    const LegendStrip strip{p.plot.top, p.plot.right + 6 * digitWidth, p.area.right - 2 * digitWidth, digitWidth};
    for (int level = 1; level <= 5; ++level) {
        // The levels are those the solver searched for, in the run's unit.
        const std::string label =
            p.source.runUnits ? isothermLabel(level, p.source.runUnits->temperature) : std::string();
        drawLegendRow(p.dc, strip, level, kLevelColours[level - 1], label, [&] {
                          drawCurve(p.dc, p.data.levelLastIndex(level), p.data.distance, p.data.radius[level - 1],
                                    level == 1 ? kCurveSingle : kCurveDouble, p.plot, p.axes.window());
                      });
    }
}

void drawAxes(const IsothermPaint& p) {
    DrawingContext& dc = p.dc;
    ScopedPen pen(dc, kAxisPen);
    replaceFont(dc, p.axisFont, 0);
    dc.setTextColour(kLabelColour);
    const IsothermAxes& a = p.axes;
    drawXAxis(dc, p.plot.bottom, p.plot.left, p.plot.right, 0, a.distanceEnd(),
              static_cast<int>(a.distanceTicks.size()), tickLength(dc), a.distanceTicks, a.distanceFormat);
    const int n = static_cast<int>(a.radialTicks.size()) - 1;
    drawYAxisFormatted(dc, p.plot.left, p.plot.top, p.plot.bottom, a.radialEnd(), 0, n, tickLength(dc), a.radialTicks,
                       a.radialFormat);
}

// How far the rotated radial title, spanning titleLeft..titleRight across,
// moves left to stay clear of the radial labels.
int radialTitleShift(const IsothermPaint& p, int titleLeft, int titleRight, int textHeight) {
    const IsothermAxes& a = p.axes;
    const int widest = widestYLabel(p.dc, a.radialTicks, static_cast<int>(a.radialTicks.size()), a.radialFormat);
    return titleShiftClearOfLabels(p.area, p.plot.left, widest, titleLeft, titleRight, textHeight);
}

void drawTitles(const IsothermPaint& p) {
    DrawingContext& dc = p.dc;
    const Rect& plot = p.plot;
    dc.setTextColour(kLabelColour);
    replaceFont(dc, p.axisFont, 900);
    {
        const std::string title = p.source.metric() ? "Radial position, mm" : "Radial position, in";
        const TextSize size = dc.textExtent(title);
        const int x = p.area.left + size.height;
        const int shift = radialTitleShift(p, x, x + size.height, size.height);
        dc.textOut(x + shift, plot.top + (plot.bottom - plot.top + size.width) / 2, title);
    }

    replaceFont(dc, p.axisFont, 0);
    const TextSize distance = dc.textExtentWithTerminator("Distance, cm");
    dc.textOut(plot.left + (plot.right - plot.left - distance.width) / 2, p.area.bottom - 2 * distance.height,
               p.source.metric() ? "Distance, cm" : "Distance, in");

    replaceFont(dc, p.area.height() / 12, 0);
    const TextSize title = dc.textExtent("Isothermal Lines");
    dc.textOut(p.area.left + (p.area.width() - title.width) / 2, p.area.top + title.height / 2,
               "Isothermal Lines");
}

}  // namespace

int drawIsothermChart(DrawingContext& dc, const Rect& area, const ChartSource& source) {
    const IsothermData data = readIsothermData(source.file(kIsothermFile), source.units.length);
    const IsothermAxes axes = isothermAxes(source.units.length, data.cutDistanceCm, data.largestRadiusMm);

    const int axisFont = axisFontHeight(area.height());
    replaceFontWithArial(dc, axisFont);
    const Rect plot = isothermPlot(area, sampleSize(dc), source.metric());
    // Labels of this chart sit on white cells over whatever lies beneath.
    dc.setBackgroundMode(BackgroundMode::Opaque);

    const IsothermPaint paint{dc, area, plot, axisFont, source, data, axes};
    drawGrid(paint);
    drawLegendAndCurves(paint);
    drawAxes(paint);
    drawTitles(paint);
    return plot.left;
}

}  // namespace torvex
