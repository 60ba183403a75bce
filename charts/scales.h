// Axis scales without a painter: the tick step, the tick series, the mapping
// of data coordinates into a plot rectangle and the tick label text. Every
// conversion of a real to device units truncates toward zero.
#pragma once

#include "platform/drawing_context.h"

#include <string>
#include <vector>

namespace torvex {

// Data coordinates of the plot rectangle's top-left and bottom-right corners,
// in the order the painters pass them.
struct DataWindow {
    double xMin = 0;
    double yMax = 0;
    double xMax = 0;
    double yMin = 0;
};

// A real to device units, truncated toward zero; values beyond the device
// range (or not numbers) are held at the edge so no conversion overflows.
int toDevice(double value);

// Device units per data unit: |pixels| / |range|, or 0 for an empty range.
double unitsPerValue(double pixels, double range);

// Curve points: (trunc(L + sx (x - xMin)), trunc(T + sy (yMax - y))).
Point mapCurvePoint(const Rect& plot, const DataWindow& window, double x, double y);
// Grid lines: a vertical line at trunc(L + sx (x - xMin)), a horizontal line
// at trunc(B - sy (y - yMin)).
int gridLineX(const Rect& plot, const DataWindow& window, double x);
int gridLineY(const Rect& plot, const DataWindow& window, double y);

struct AxisStep {
    double step = 0;
    int intervals = 0;
};

// A round tick step for a range of values with about `wishedIntervals`
// intervals: the step is one or more units of the decade just below
// range / (wished - 1), and the interval count the ceiling of range / step.
// A zero range gives step 0 and keeps the wished count.
AxisStep niceStep(double range, int wishedIntervals);

// A step a reader takes in at a glance for a range of values with about
// `wishedIntervals` intervals: 1, 2, 2.5 or 5 units of a decade, the
// smallest of them not below range / wished, so that the axis has at most
// the wished intervals. A zero range gives step 0 and keeps the wished count.
AxisStep readableStep(double range, int wishedIntervals);

// n + 1 ticks from the multiple of `step` next to `start` (strictly below a
// positive start, strictly above a negative one, 0 for start 0) on; empty
// for n < 0.
std::vector<double> tickValues(double start, double step, int n);

// The label text of a tick: `format` is a printf pattern taking one double
// ("%lg", "%-3.1lf", ...). A pattern that does not consume exactly one real
// conversion prints the value with "%lg".
std::string formatLabel(const std::string& format, double value);

} // namespace torvex
