// The value readout of the chart views: the plots the window last painted,
// as the charts described them with their curves, and what lies under a
// point of the window in the chart's units: the curves' values at the
// pointer's abscissa, or the pointer's own position where no curve is.
#pragma once

#include <string>
#include <vector>

#include "platform/painter_context.h"

namespace torvex {

// A point on a curve that the readout reports, in window coordinates.
struct ReadoutMarker {
    Point at;
    Rgb colour;
};

struct Readout {
    std::string text;
    std::vector<ReadoutMarker> markers;
};

class PlotReadout {
public:
    void clear() { notes_.clear(); }
    void add(const PlotNote& note) { notes_.push_back(note); }
    bool empty() const { return notes_.empty(); }

    // For a point inside a plot (the plot drawn last wins where two overlap):
    // at the pointer's abscissa, the value of every curve that reaches it,
    // "Distance 3.52 cm: temperature 3.6 kK", several curves by their labels
    // ("Radius 1.87 mm: temperature 10.2 kK at 0.0 cm, 9.8 kK at 0.5 cm"),
    // with a marker on each; where no curve reaches the abscissa, the
    // pointer's position "Distance 3.52 cm, radius 1.87 mm" without
    // markers. Outside every plot: nothing.
    Readout readAt(int x, int y) const;
    std::string textAt(int x, int y) const { return readAt(x, y).text; }

private:
    std::vector<PlotNote> notes_;
};

// A curve's value at abscissa x, linear between its points; false where the
// curve does not reach x.
bool curveValueAt(const PlotCurve& curve, double x, double& value);

// A value on an axis spanning `range` in the same unit: as many decimals as
// the range needs for about three significant digits.
std::string readoutNumber(double value, double range);

// The window's painter context, which also keeps what the charts tell of
// their plots.
class NotingPainterContext : public PainterContext {
public:
    NotingPainterContext(QPainter* painter, PlotReadout& readout)
        : PainterContext(painter), readout_(readout) {}
    void notePlot(const PlotNote& note) override { readout_.add(note); }

private:
    PlotReadout& readout_;
};

}  // namespace torvex
