#include "shell/value_readout.h"

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

std::string PlotReadout::textAt(int x, int y) const {
    for (auto it = notes_.rbegin(); it != notes_.rend(); ++it) {
        const PlotNote& n = *it;
        if (!contains(n.plot, x, y) || n.plot.width() == 0 || n.plot.height() == 0) continue;
        // The inverse of the charts' mapping of data into the plot rectangle.
        const double dataX = n.xMin + (x - n.plot.left) * (n.xMax - n.xMin) / n.plot.width();
        const double dataY = n.yMax - (y - n.plot.top) * (n.yMax - n.yMin) / n.plot.height();
        const double xRange = (n.xMax - n.xMin) * n.xFactor, yRange = (n.yMax - n.yMin) * n.yFactor;
        return capitalised(n.xName) + " " + readoutNumber(dataX * n.xFactor, xRange) + " " + n.xUnit + ", " +
               n.yName + " " + readoutNumber(dataY * n.yFactor, yRange) + " " + n.yUnit;
    }
    return {};
}

}  // namespace torvex
