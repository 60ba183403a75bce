// Hand-made result files for the chart tests and helpers to pick the drawing
// calls of one curve out of a recording.
#pragma once

#include <string>
#include <vector>

#include "charts/chart_common.h"
#include "charts/chart_font.h"
#include "platform/recording_context.h"
#include "tests/support/temp_dir.h"

namespace torvex::test {

inline ChartSource sourceIn(const TempDir& dir, int lengthCode = 1, int temperatureCode = 1) {
    ChartSource source;
    source.units.length = lengthCode;
    source.units.temperature = temperatureCode;
    source.directory = dir.path();
    source.runUnits = source.units;  // files of a run made in these units
    return source;
}

// Polylines drawn with a pen of this colour, in order.
inline std::vector<DrawCall> polylinesIn(const RecordingContext& dc, const Rgb& colour) {
    std::vector<DrawCall> found;
    for (const DrawCall& c : dc.callsOf(DrawOp::Polyline))
        if (c.pen.colour == colour) found.push_back(c);
    return found;
}

inline bool drew(const RecordingContext& dc, const std::string& text) {
    return !dc.findText(text).text.empty();
}

// A fresh chart font, as the main window starts with it.
inline void resetChartFont() { chartFont() = initialChartFont(); }

}  // namespace torvex::test
