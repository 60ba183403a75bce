// The chart pages: the arrangement of the charts and of the variant's
// parameters on a page rectangle. The same page painters draw the main
// window's client area and a printed sheet; only the rectangle differs.
#pragma once

#include <array>
#include <string>

#include "charts/chart_common.h"

namespace torvex {

// The variant's lines as the summaries word them (read from iop.par by the
// caller on every paint). An empty text is not drawn.
struct ParameterTexts {
    std::string gas;
    // The gas text after which the formula's lowered "2" goes ("" for none).
    std::string gasSubscriptAfter;
    // Anode diameter, anode length, arc current, gas flow rate (the inputted
    // data), then arc voltage, electric power, plasmatron efficiency.
    std::array<std::string, 7> lines;
};

struct PageInputs {
    ChartSource source;
    ParameterTexts parameters;
};

// The views of the main window.
constexpr int kViewNothing = 0;
constexpr int kViewAllCharts = 1;
constexpr int kViewIsotherms = 2;
constexpr int kViewRadial = 3;
constexpr int kViewAxial = 5;

// Where the All Charts page puts its elements (frames and chart areas).
struct AllChartsLayout {
    Rect isothermFrame, isothermArea;
    Rect radialFrame, radialTemperatureArea, radialVelocityArea;
    Rect axialFrame, axialArea;
    Rect panelFrame, panelArea;
};
AllChartsLayout allChartsLayout(const Rect& page);

void drawAllChartsPage(DrawingContext& dc, const Rect& page, const PageInputs& in);
void drawIsothermPage(DrawingContext& dc, const Rect& page, const PageInputs& in);
void drawRadialPage(DrawingContext& dc, const Rect& page, const PageInputs& in);
void drawAxialPage(DrawingContext& dc, const Rect& page, const PageInputs& in);

// Paints the page of a view; false (nothing drawn) for view 0 or an unknown view.
bool drawViewPage(DrawingContext& dc, int view, const Rect& page, const PageInputs& in);

// The "Parameters" panel of the All Charts page.
void drawParametersPanel(DrawingContext& dc, const Rect& area, const ParameterTexts& texts);

// The parameters block of a single-chart page: two columns (x and x2) near
// the page bottom below a chart, or one column beside it starting at y. The
// font follows the height y2 - y.
enum class BlockMode { BesideChart = 0, BelowChart = 1 };
void drawParametersBlock(DrawingContext& dc, const ParameterTexts& texts, int x, int y, int x2, int y2,
                         BlockMode mode, int pageBottom);

}  // namespace torvex
