#include "charts/scales.h"

#include <algorithm>

#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>

namespace torvex {

namespace {

// Device coordinates stay far inside int so that sums of them cannot overflow.
constexpr double kDeviceLimit = 1.0e9;

// Above this many steps between 0 and the start the series start is computed
// by division instead of repeated addition.
constexpr double kMaxStepsByAddition = 1.0e6;

// The first tick for a start s and step h: the last multiple of h strictly
// below a positive s, the first strictly above a negative s, 0 for s = 0.
// Found by repeated addition, so the ticks are the sums a hand count gives.
double firstTick(double start, double step) {
    if (start == 0) return 0;
    if (!(step > 0) || !std::isfinite(step) || !std::isfinite(start)) return start;
    if (std::fabs(start / step) > kMaxStepsByAddition) {
        const double k = start > 0 ? std::ceil(start / step) - 1 : std::floor(start / step) + 1;
        return k * step;
    }
    double tick = 0;
    if (start > 0) {
        while (tick < start) tick += step;
        return tick - step;
    }
    while (tick > start) tick -= step;
    return tick + step;
}

// True when the printf pattern holds exactly one conversion of a double
// (flags, width, precision, an optional 'l', then f, e, g or a).
bool takesOneReal(const std::string& format) {
    int conversions = 0;
    for (std::size_t i = 0; i < format.size(); ++i) {
        if (format[i] != '%') continue;
        ++i;
        if (i < format.size() && format[i] == '%') continue;
        while (i < format.size() && std::strchr("-+ #0", format[i])) ++i;
        while (i < format.size() && std::isdigit(static_cast<unsigned char>(format[i]))) ++i;
        if (i < format.size() && format[i] == '.') {
            ++i;
            while (i < format.size() && std::isdigit(static_cast<unsigned char>(format[i]))) ++i;
        }
        if (i < format.size() && format[i] == 'l') ++i;
        if (i >= format.size() || !std::strchr("fFeEgGaA", format[i])) return false;
        ++conversions;
    }
    return conversions == 1;
}

} // namespace

int toDevice(double value) {
    if (std::isnan(value)) return 0;
    if (value > kDeviceLimit) return static_cast<int>(kDeviceLimit);
    if (value < -kDeviceLimit) return -static_cast<int>(kDeviceLimit);
    return static_cast<int>(value);  // truncation toward zero
}

double unitsPerValue(double pixels, double range) {
    const double span = std::fabs(range);
    if (span == 0 || !std::isfinite(span)) return 0;
    return std::fabs(pixels) / span;
}

Point mapCurvePoint(const Rect& plot, const DataWindow& w, double x, double y) {
    const double sx = unitsPerValue(plot.right - plot.left, w.xMax - w.xMin);
    const double sy = unitsPerValue(plot.bottom - plot.top, w.yMax - w.yMin);
    return Point{toDevice(plot.left + sx * (x - w.xMin)), toDevice(plot.top + sy * (w.yMax - y))};
}

int gridLineX(const Rect& plot, const DataWindow& w, double x) {
    const double sx = unitsPerValue(plot.right - plot.left, w.xMax - w.xMin);
    return toDevice(plot.left + sx * (x - w.xMin));
}

int gridLineY(const Rect& plot, const DataWindow& w, double y) {
    const double sy = unitsPerValue(plot.bottom - plot.top, w.yMax - w.yMin);
    return toDevice(plot.bottom - sy * (y - w.yMin));
}

AxisStep niceStep(double range, int wishedIntervals) {
    // Divided by one less than the wished count: the axis then usually needs
    // one interval fewer than wished once the step is rounded up.
    const int divisor = wishedIntervals > 1 ? wishedIntervals - 1 : 1;
    const double a = std::fabs(range / divisor);
    if (a == 0 || !std::isfinite(a)) return AxisStep{0, wishedIntervals};
    const int decade = static_cast<int>(std::ceil(std::log10(a)));
    const double base = std::pow(10.0, decade - 1);
    const int units = static_cast<int>(std::ceil(a / base));
    const double step = units * base;
    return AxisStep{step, static_cast<int>(std::ceil(range / step))};
}

AxisStep readableStep(double range, int wishedIntervals) {
    const double a = std::fabs(range / std::max(wishedIntervals, 1));
    if (a == 0 || !std::isfinite(a)) return AxisStep{0, wishedIntervals};
    const double base = std::pow(10.0, std::floor(std::log10(a)));
    double step = 10 * base;
    for (const double m : {1.0, 2.0, 2.5, 5.0}) {
        if (m * base >= a * (1 - 1e-9)) {
            step = m * base;
            break;
        }
    }
    return AxisStep{step, static_cast<int>(std::ceil(range / step - 1e-9))};
}

std::vector<double> tickValues(double start, double step, int n) {
    std::vector<double> ticks;
    if (n < 0) return ticks;
    ticks.reserve(static_cast<std::size_t>(n) + 1);
    double tick = firstTick(start, step);
    for (int i = 0; i <= n; ++i) {
        ticks.push_back(tick);
        tick += step;
    }
    return ticks;
}

std::string formatLabel(const std::string& format, double value) {
    const char* pattern = takesOneReal(format) ? format.c_str() : "%lg";
    char text[64];
    std::snprintf(text, sizeof text, pattern, value);
    return text;
}

} // namespace torvex
