#include "charts/study_chart.h"

#include <algorithm>
#include <cmath>
#include <functional>

#include "charts/axes.h"
#include "charts/chart_common.h"
#include "charts/chart_font.h"
#include "charts/palette.h"

namespace torvex {

namespace {

constexpr PenStyle kCurveStyles[] = {PenStyle::Solid, PenStyle::Dash, PenStyle::DashDot, PenStyle::Dot};

// Curve k: the five family colours, then the same in the next pen style.
Pen studyCurvePen(std::size_t k) {
    const std::size_t colours = kCurveFamilyColours.size();
    return Pen{kCurveStyles[(k / colours) % 4], 2, kCurveFamilyColours[k % colours]};
}

// A current axis from the multiple of a round step below the lowest current
// to the one at or above the highest.
struct CurrentScale {
    double first = 0;
    double step = 1;
    int intervals = 1;
    std::vector<double> ticks;
    double end() const { return first + step * intervals; }
};

CurrentScale currentScale(const StudyChartData& data) {
    double lo = 1e300, hi = -1e300;
    for (const StudyCurve& c : data.curves)
        for (double i : c.current) lo = std::min(lo, i), hi = std::max(hi, i);
    CurrentScale s;
    const AxisStep step = niceStep(hi - lo, 6);
    s.step = step.step > 0 ? step.step : 10.0;
    s.first = std::floor(lo / s.step) * s.step;
    s.intervals = std::max(1, static_cast<int>(std::ceil((hi - s.first) / s.step - 1e-9)));
    for (int k = 0; k <= s.intervals; ++k) s.ticks.push_back(s.first + k * s.step);
    return s;
}

using Quantity = std::function<const std::vector<double>&(const StudyCurve&)>;

void drawPlot(DrawingContext& dc, const Rect& area, int axisFont, const StudyChartData& data,
              const CurrentScale& x, const Quantity& values, const std::string& title) {
    double top = 0;
    for (const StudyCurve& c : data.curves)
        for (double v : values(c)) top = std::max(top, v);
    const AxisScale y = axisScale(top, 5);
    replaceFontWithArial(dc, axisFont);
    const Rect plot = plotInArea(area, dc.textExtentWithTerminator("S"), 6.0, 1.5);
    const DataWindow window{x.first, y.end(), x.end(), 0};
    {
        ScopedPen grid(dc, kGridPen);
        drawVerticalGrid(dc, plot, window, x.intervals, x.ticks);
        drawHorizontalGrid(dc, plot, window, y.intervals, y.ticks);
    }
    const int mark = screenPixels(dc, 3);
    for (std::size_t k = 0; k < data.curves.size(); ++k) {
        const StudyCurve& c = data.curves[k];
        ScopedPen pen(dc, studyCurvePen(k));
        drawCurve(dc, static_cast<int>(c.current.size()) - 1, c.current, values(c), kCurveSingle, plot,
                  window);
        // A mark at each calculated variant, so single points show too.
        for (std::size_t i = 0; i < c.current.size(); ++i) {
            const Point p = mapCurvePoint(plot, window, c.current[i], values(c)[i]);
            dc.rectangle(p.x - mark, p.y - mark, p.x + mark + 1, p.y + mark + 1);
        }
    }
    ScopedPen pen(dc, kAxisPen);
    dc.setTextColour(kLabelColour);
    const int tick = screenPixels(dc, 6);
    drawXAxisFixed(dc, plot.bottom, plot.left, plot.right, x.first, x.end(), x.intervals, tick, x.ticks);
    drawYAxis(dc, plot.left, plot.bottom, plot.top, y.end(), 0, y.intervals, tick, y.ticks);
    const TextSize xTitle = dc.textExtent("Arc current, A");
    dc.textOut(plot.left + (plot.width() - xTitle.width) / 2, toDevice(plot.bottom + 1.6 * xTitle.height),
               "Arc current, A");
    const TextSize titleSize = dc.textExtent(title);
    dc.textOut(plot.left + (plot.width() - titleSize.width) / 2, toDevice(plot.top - 1.5 * titleSize.height),
               title);
}

void drawLegend(DrawingContext& dc, const Rect& area, int axisFont, const StudyChartData& data) {
    replaceFontWithArial(dc, axisFont);
    dc.setTextColour(kLabelColour);
    const TextSize line = dc.textExtent("Legend");
    const int x = area.left + 2 * line.height;
    int y = area.top + line.height;
    dc.textOut(x, y, data.curves.size() > 1 ? "One curve each:" : "Curve:");
    const int sample = 3 * line.height;
    for (std::size_t k = 0; k < data.curves.size() && y + 3 * line.height < area.bottom; ++k) {
        y += toDevice(1.4 * line.height);
        {
            ScopedPen pen(dc, studyCurvePen(k));
            dc.line(x, y + line.height / 2, x + sample, y + line.height / 2);
            dc.rectangle(x + sample / 2 - 3, y + line.height / 2 - 3, x + sample / 2 + 4,
                         y + line.height / 2 + 4);
        }
        dc.textOut(x + sample + line.height, y, data.curves[k].label);
    }
}

}  // namespace

StudyChartLayout studyChartLayout(const Rect& page) {
    StudyChartLayout l;
    const int h = page.height();
    l.titleFont = std::max(8, h / 28);
    l.axisFont = std::max(7, h / 40);
    const int top = page.top + 2 * l.titleFont;
    const int midX = page.left + page.width() / 2;
    const int midY = top + (page.bottom - top) / 2;
    l.efficiencyArea = Rect{page.left, top, midX, midY};
    l.voltageArea = Rect{midX, top, page.right, midY};
    l.temperatureArea = Rect{page.left, midY, midX, page.bottom};
    l.legendArea = Rect{midX, midY, page.right, page.bottom};
    return l;
}

void drawStudyChartPage(DrawingContext& dc, const Rect& page, const StudyChartData& data) {
    const StudyChartLayout l = studyChartLayout(page);
    {
        ScopedPen frame(dc, kFramePen);
        dc.rectangle(page.left + 1, page.top + 1, page.right - 2, page.bottom - 2);
    }
    dc.setTextColour(kLabelColour);
    replaceFontWithArial(dc, l.titleFont);
    const std::string title = "Parameter study: " + data.title;
    const TextSize size = dc.textExtent(title);
    dc.textOut(page.left + (page.width() - size.width) / 2, page.top + size.height / 2, title);
    if (data.curves.empty()) return;
    const CurrentScale x = currentScale(data);
    drawPlot(
        dc, l.efficiencyArea, l.axisFont, data, x,
        [](const StudyCurve& c) -> const std::vector<double>& { return c.efficiency; },
        "Plasmatron efficiency, %");
    drawPlot(
        dc, l.voltageArea, l.axisFont, data, x,
        [](const StudyCurve& c) -> const std::vector<double>& { return c.voltage; }, "Arc voltage, V");
    drawPlot(
        dc, l.temperatureArea, l.axisFont, data, x,
        [](const StudyCurve& c) -> const std::vector<double>& { return c.exitTemperature; },
        "Axis temperature at the nozzle exit, " + data.temperatureUnit);
    drawLegend(dc, l.legendArea, l.axisFont, data);
}

}  // namespace torvex
