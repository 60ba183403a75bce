// The value readout of the chart views: the plots the window last painted,
// as the charts described them, and the position and value under a point of
// the window in the chart's units.
#pragma once

#include <string>
#include <vector>

#include "platform/painter_context.h"

namespace torvex {

class PlotReadout {
public:
    void clear() { notes_.clear(); }
    void add(const PlotNote& note) { notes_.push_back(note); }
    bool empty() const { return notes_.empty(); }

    // "Distance 3.52 cm, radius 1.87 mm" for a point inside a plot (the
    // plot drawn last wins where two overlap); "" elsewhere.
    std::string textAt(int x, int y) const;

private:
    std::vector<PlotNote> notes_;
};

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
