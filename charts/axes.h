// Axis, grid and curve painters. They draw with the pen and font the caller
// has selected (axes: the axis pen and the axis font; grids: the grid pen;
// curves: the curve's pen) and keep no state.
//
// Counts follow the callers: the "n + 1 tick" painters take n as the last
// index of the value array, the "n tick" painters take the count of values.
// A count larger than the values given is cut to the values given.
#pragma once

#include "charts/scales.h"
#include "platform/drawing_context.h"

#include <string>
#include <vector>

namespace torvex {

// Horizontal axis from (x0, y) to (x1, y) with n + 1 ticks hanging down from
// the line, labels "%3.3lg" measured with their terminator, centred under the
// tick half a text height below the line. Only the line for n < 0.
void drawXAxisFixed(DrawingContext& dc, int y, int x0, int x1, double lo, double hi, int n, int tickLength,
                    const std::vector<double>& values);

// Horizontal axis with n ticks, labels in `format`, measured as drawn; only
// the line for n <= 0.
void drawXAxis(DrawingContext& dc, int y, int x0, int x1, double lo, double hi, int n, int tickLength,
               const std::vector<double>& values, const std::string& format);
// As drawXAxis, the labels showing value * factor.
void drawXAxisScaled(DrawingContext& dc, int y, int x0, int x1, double lo, double hi, int n, int tickLength,
                     const std::vector<double>& values, const std::string& format, double factor);

// Vertical axes at x with n + 1 ticks pointing left, labels right-aligned
// against the line (measured with their terminator, so one character cell
// stays free) and centred on the tick. Only the line for n < 0.
// drawYAxis labels "%lg", ticks measured down from yTop.
void drawYAxis(DrawingContext& dc, int x, int yBottom, int yTop, double vMax, double vMin, int n, int tickLength,
               const std::vector<double>& values);
// Labels in `format` of value * factor, ticks measured up from yBottom.
void drawYAxisScaled(DrawingContext& dc, int x, int yTop, int yBottom, double vMax, double vMin, int n,
                     int tickLength, const std::vector<double>& values, const std::string& format, double factor);
// Labels in `format`, ticks measured down from yTop.
void drawYAxisFormatted(DrawingContext& dc, int x, int yTop, int yBottom, double vMax, double vMin, int n,
                        int tickLength, const std::vector<double>& values, const std::string& format);

// Width of the widest of the first count labels of a vertical axis, in
// `format` of value * factor, measured as the vertical axes measure them
// (with the terminator) in the font selected now.
int widestYLabel(DrawingContext& dc, const std::vector<double>& values, int count, const std::string& format,
                 double factor = 1.0);

// n + 1 vertical grid lines from the plot's bottom to its top at the x values.
void drawVerticalGrid(DrawingContext& dc, const Rect& plot, const DataWindow& window, int n,
                      const std::vector<double>& xValues);
// n + 1 horizontal grid lines from the plot's left to its right at the y values.
void drawHorizontalGrid(DrawingContext& dc, const Rect& plot, const DataWindow& window, int n,
                        const std::vector<double>& yValues);

// Mode 2 draws a curve two device units thick even with a one-unit styled pen.
constexpr int kCurveSingle = 1;
constexpr int kCurveDouble = 2;

// One polyline through the points 0..n; in mode 2 a second one through the
// same points one unit higher.
void drawCurve(DrawingContext& dc, int n, const std::vector<double>& x, const std::vector<double>& y, int mode,
               const Rect& plot, const DataWindow& window);

} // namespace torvex
