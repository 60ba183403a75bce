// The chart page of a parameter study: plasmatron efficiency, arc voltage and
// the axis temperature at the nozzle exit against the arc current, one curve
// per flow rate or per gas, with a legend in the study's units.
#pragma once

#include "platform/drawing_context.h"
#include "study/study_series.h"

namespace torvex {

// Where the parts of the page go in a page rectangle.
struct StudyChartLayout {
    Rect efficiencyArea;
    Rect voltageArea;
    Rect temperatureArea;
    Rect legendArea;
    int titleFont = 0;
    int axisFont = 0;
};

StudyChartLayout studyChartLayout(const Rect& page);

// Paints the whole page into `page`.
void drawStudyChartPage(DrawingContext& dc, const Rect& page, const StudyChartData& data);

}  // namespace torvex
