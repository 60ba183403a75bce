#include "charts/axes.h"

#include <algorithm>
#include <cstddef>

namespace torvex {

namespace {

// How many of the first `wanted` values exist.
int availableCount(int wanted, const std::vector<double>& values) {
    return std::min(wanted, static_cast<int>(values.size()));
}

// Where a horizontal axis puts a value, and where its label (w x h) goes:
// centred under the tick, half a text height below the line.
int xAxisTick(double v, double lo, double k, int x0) { return toDevice((v - lo) * k + x0); }

Point xAxisLabel(double v, double lo, double k, int x0, int y, const TextSize& size) {
    return Point{toDevice((v - lo) * k - size.width / 2 + x0), toDevice(y + size.height / 2)};
}

// A vertical-axis label right-aligned against the line, centred on the tick.
Point yAxisLabel(int x, int tickY, const TextSize& size) {
    return Point{x - size.width, tickY - size.height / 2};
}

// The n ticks of a horizontal axis whose labels are measured as drawn.
void drawXTicks(DrawingContext& dc, int y, int x0, int x1, double lo, double hi, int count, int tickLength,
                const std::vector<double>& values, const std::string& format, double factor) {
    const double k = unitsPerValue(x1 - x0, hi - lo);
    for (int i = 0; i < availableCount(count, values); ++i) {
        const double v = values[static_cast<std::size_t>(i)];
        const int x = xAxisTick(v, lo, k, x0);
        dc.line(x, y + tickLength, x, y);
        const std::string label = formatLabel(format, v * factor);
        const Point at = xAxisLabel(v, lo, k, x0, y, dc.textExtent(label));
        dc.textOut(at.x, at.y, label);
    }
}

// Which end of a vertical axis the tick positions are measured from.
enum class MeasuredFrom { Top, Bottom };

void drawYTicks(DrawingContext& dc, int x, int yTop, int yBottom, double vMax, double vMin, int n, int tickLength,
                const std::vector<double>& values, const std::string& format, double factor, MeasuredFrom from) {
    const double k = unitsPerValue(yBottom - yTop, vMax - vMin);
    for (int i = 0; i < availableCount(n + 1, values); ++i) {
        const double v = values[static_cast<std::size_t>(i)];
        const int y = from == MeasuredFrom::Top ? toDevice(yTop + (vMax - v) * k) : toDevice(yBottom - (v - vMin) * k);
        dc.line(x - tickLength, y, x, y);
        const std::string label = formatLabel(format, v * factor);
        const Point at = yAxisLabel(x, y, dc.textExtentWithTerminator(label));
        dc.textOut(at.x, at.y, label);
    }
}

} // namespace

int widestYLabel(DrawingContext& dc, const std::vector<double>& values, int count, const std::string& format,
                 double factor) {
    int widest = 0;
    for (int i = 0; i < availableCount(count, values); ++i) {
        const std::string label = formatLabel(format, values[static_cast<std::size_t>(i)] * factor);
        widest = std::max(widest, dc.textExtentWithTerminator(label).width);
    }
    return widest;
}

void drawXAxisFixed(DrawingContext& dc, int y, int x0, int x1, double lo, double hi, int n, int tickLength,
                    const std::vector<double>& values) {
    dc.line(x0, y, x1, y);
    const double k = unitsPerValue(x1 - x0, hi - lo);
    for (int i = 0; i < availableCount(n + 1, values); ++i) {
        const double v = values[static_cast<std::size_t>(i)];
        const int x = xAxisTick(v, lo, k, x0);
        dc.line(x, y, x, y + tickLength);
        const std::string label = formatLabel("%3.3lg", v);
        const Point at = xAxisLabel(v, lo, k, x0, y, dc.textExtentWithTerminator(label));
        dc.textOut(at.x, at.y, label);
    }
}

void drawXAxis(DrawingContext& dc, int y, int x0, int x1, double lo, double hi, int n, int tickLength,
               const std::vector<double>& values, const std::string& format) {
    dc.line(x0, y, x1, y);
    drawXTicks(dc, y, x0, x1, lo, hi, n, tickLength, values, format, 1.0);
}

void drawXAxisScaled(DrawingContext& dc, int y, int x0, int x1, double lo, double hi, int n, int tickLength,
                     const std::vector<double>& values, const std::string& format, double factor) {
    dc.line(x0, y, x1, y);
    drawXTicks(dc, y, x0, x1, lo, hi, n, tickLength, values, format, factor);
}

void drawYAxis(DrawingContext& dc, int x, int yBottom, int yTop, double vMax, double vMin, int n, int tickLength,
               const std::vector<double>& values) {
    dc.line(x, yBottom, x, yTop);
    drawYTicks(dc, x, yTop, yBottom, vMax, vMin, n, tickLength, values, "%lg", 1.0, MeasuredFrom::Top);
}

void drawYAxisScaled(DrawingContext& dc, int x, int yTop, int yBottom, double vMax, double vMin, int n,
                     int tickLength, const std::vector<double>& values, const std::string& format, double factor) {
    dc.line(x, yTop, x, yBottom);
    drawYTicks(dc, x, yTop, yBottom, vMax, vMin, n, tickLength, values, format, factor, MeasuredFrom::Bottom);
}

void drawYAxisFormatted(DrawingContext& dc, int x, int yTop, int yBottom, double vMax, double vMin, int n,
                        int tickLength, const std::vector<double>& values, const std::string& format) {
    dc.line(x, yTop, x, yBottom);
    drawYTicks(dc, x, yTop, yBottom, vMax, vMin, n, tickLength, values, format, 1.0, MeasuredFrom::Top);
}

void drawVerticalGrid(DrawingContext& dc, const Rect& plot, const DataWindow& window, int n,
                      const std::vector<double>& xValues) {
    for (int i = 0; i < availableCount(n + 1, xValues); ++i) {
        const int x = gridLineX(plot, window, xValues[static_cast<std::size_t>(i)]);
        dc.line(x, plot.bottom, x, plot.top);
    }
}

void drawHorizontalGrid(DrawingContext& dc, const Rect& plot, const DataWindow& window, int n,
                        const std::vector<double>& yValues) {
    for (int i = 0; i < availableCount(n + 1, yValues); ++i) {
        const int y = gridLineY(plot, window, yValues[static_cast<std::size_t>(i)]);
        dc.line(plot.left, y, plot.right, y);
    }
}

void drawCurve(DrawingContext& dc, int n, const std::vector<double>& x, const std::vector<double>& y, int mode,
               const Rect& plot, const DataWindow& window) {
    const int count = std::min(availableCount(n + 1, x), availableCount(n + 1, y));
    if (count <= 0) return;
    std::vector<Point> points;
    points.reserve(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i) {
        points.push_back(mapCurvePoint(plot, window, x[static_cast<std::size_t>(i)], y[static_cast<std::size_t>(i)]));
    }
    dc.polyline(points);
    if (mode != kCurveDouble) return;
    // The second pass one screen pixel higher makes the curve two pixels
    // thick even with a one-pixel styled pen.
    const int offset = screenPixels(dc, 1);
    for (Point& p : points) p.y -= offset;
    dc.polyline(points);
}

} // namespace torvex
