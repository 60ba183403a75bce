#include "shell/value_readout.h"

#include "charts/scales.h"

#include <algorithm>
#include <charconv>
#include <cmath>

namespace torvex {

namespace {

bool contains(const Rect& r, int x, int y) {
    return x >= r.left && x <= r.right && y >= r.top && y <= r.bottom;
}

std::string capitalised(std::string text) {
    if (!text.empty() && text[0] >= 'a' && text[0] <= 'z') text[0] = static_cast<char>(text[0] - 'a' + 'A');
    return text;
}

}  // namespace

std::string readoutNumber(double value, double range) {
    const double span = std::fabs(range);
    const int decimals = span >= 100 ? 0 : span >= 10 ? 1 : span >= 1 ? 2 : 3;
    char text[64];
    const auto r = std::to_chars(text, text + sizeof text, value, std::chars_format::fixed, decimals);
    std::string s(text, r.ptr);
    if (s.find_first_not_of("-0.") == std::string::npos && s[0] == '-') s.erase(0, 1);  // no "-0.00"
    return s;
}

bool curveValueAt(const PlotCurve& curve, double x, double& value) {
    const std::size_t n = std::min(curve.x.size(), curve.y.size());
    for (std::size_t i = 0; i < n; ++i) {
        if (curve.x[i] == x) {
            value = curve.y[i];
            return true;
        }
        if (i + 1 == n) break;
        const double x0 = curve.x[i], x1 = curve.x[i + 1];
        if ((x0 < x && x < x1) || (x1 < x && x < x0)) {
            value = curve.y[i] + (curve.y[i + 1] - curve.y[i]) * (x - x0) / (x1 - x0);
            return true;
        }
    }
    return false;
}

Readout PlotReadout::readAt(int x, int y) const {
    for (auto it = notes_.rbegin(); it != notes_.rend(); ++it) {
        const PlotNote& n = *it;
        if (!contains(n.plot, x, y) || n.plot.width() == 0 || n.plot.height() == 0) continue;
        // The inverse of the charts' mapping of data into the plot rectangle.
        const double dataX = n.xMin + (x - n.plot.left) * (n.xMax - n.xMin) / n.plot.width();
        const double dataY = n.yMax - (y - n.plot.top) * (n.yMax - n.yMin) / n.plot.height();
        const double xRange = (n.xMax - n.xMin) * n.xFactor, yRange = (n.yMax - n.yMin) * n.yFactor;
        const std::string abscissa = capitalised(n.xName) + " " + readoutNumber(dataX * n.xFactor, xRange) + " " + n.xUnit;
        const DataWindow window{n.xMin, n.yMax, n.xMax, n.yMin};
        Readout r;
        for (const PlotCurve& curve : n.curves) {
            double value = 0;
            if (!curveValueAt(curve, dataX, value)) continue;
            r.text += r.markers.empty() ? ": " + n.yName + " " : ", ";
            r.text += readoutNumber(value * n.yFactor, yRange) + " " + n.yUnit;
            if (!curve.label.empty()) r.text += " " + curve.label;
            r.markers.push_back({mapCurvePoint(n.plot, window, dataX, value), curve.colour});
        }
        if (!r.markers.empty()) {
            r.text = abscissa + r.text;
            return r;
        }
        r.text = abscissa + ", " + n.yName + " " + readoutNumber(dataY * n.yFactor, yRange) + " " + n.yUnit;
        return r;
    }
    return {};
}

}  // namespace torvex
