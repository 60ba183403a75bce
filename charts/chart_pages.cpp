#include "charts/chart_pages.h"

#include "charts/axial_chart.h"
#include "charts/chart_font.h"
#include "charts/isotherm_chart.h"
#include "charts/palette.h"
#include "charts/radial_charts.h"

namespace torvex {

namespace {

// A frame outlined in the frame pen and filled with the current brush, which
// clears its inside before a chart is drawn into it.
void drawFrame(DrawingContext& dc, const Rect& r) {
    ScopedPen pen(dc, kFramePen);
    dc.rectangle(r.left, r.top, r.right, r.bottom);
}

void framePage(DrawingContext& dc, const Rect& page) {
    drawFrame(dc, Rect{page.left + 1, page.top + 1, page.right - 2, page.bottom - 2});
}

// The top of the lower quarter of a page: the single-chart pages give the
// chart the upper three quarters.
int upperThreeQuarters(const Rect& page) { return page.bottom + (page.top - page.bottom) / 4; }

}  // namespace

AllChartsLayout allChartsLayout(const Rect& page) {
    const int l = page.left, t = page.top, r = page.right, b = page.bottom;
    const int w = r - l;
    const int x2 = l + (2 * w) / 3;
    const int ym = b + (t - b) / 2;
    const int yc = t + (b - t) / 2;
    const int hp = 3 * (b - t) / 8;
    const int ya = t + hp;
    AllChartsLayout layout;
    layout.isothermFrame = Rect{l + 1, t + 1, x2 + 2, ym};
    layout.isothermArea = Rect{l, t, x2, ym};
    layout.radialFrame = Rect{l + 1, yc - 2, x2 + 2, b - 1};
    layout.radialTemperatureArea = Rect{l, yc, l + w / 3, b};
    layout.radialVelocityArea = Rect{toDevice(l + 0.27624309 * w), yc, x2, b};
    layout.axialFrame = Rect{x2, ya, r - 2, b - 1};
    layout.axialArea = Rect{x2, ya, r, b};
    layout.panelFrame = Rect{x2, t + 1, r - 2, t + hp + 2};
    layout.panelArea = Rect{x2, t, r, t + hp};
    return layout;
}

void drawAllChartsPage(DrawingContext& dc, const Rect& page, const PageInputs& in) {
    const AllChartsLayout layout = allChartsLayout(page);
    drawFrame(dc, layout.isothermFrame);
    drawIsothermChart(dc, layout.isothermArea, in.source);

    drawFrame(dc, layout.radialFrame);
    drawRadialTemperatureChart(dc, layout.radialTemperatureArea, in.source);
    drawRadialVelocityChart(dc, layout.radialVelocityArea, in.source);
    // One title over the pair of radial charts.
    const Rect& radial = layout.radialTemperatureArea;
    const int x2 = layout.radialVelocityArea.right;
    replaceFontWithArial(dc, (radial.bottom - radial.top) / 12);
    dc.setTextColour(kLabelColour);
    const TextSize title = dc.textExtent("Radial Distributions");
    dc.textOut(radial.left + (x2 - 3 - title.width - radial.left) / 2, radial.top + title.height / 2,
               "Radial Distributions");

    drawFrame(dc, layout.axialFrame);
    drawAxialChart(dc, layout.axialArea, in.source);

    drawFrame(dc, layout.panelFrame);
    drawParametersPanel(dc, layout.panelArea, in.parameters);
}

void drawIsothermPage(DrawingContext& dc, const Rect& page, const PageInputs& in) {
    framePage(dc, page);
    const int y4 = upperThreeQuarters(page);
    const int left = drawIsothermChart(dc, Rect{page.left, page.top, page.right, y4}, in.source);
    drawParametersBlock(dc, in.parameters, left, page.top, toDevice(page.left + 0.5 * page.width()), y4,
                        BlockMode::BelowChart, page.bottom);
}

void drawRadialPage(DrawingContext& dc, const Rect& page, const PageInputs& in) {
    const int l = page.left, t = page.top, r = page.right, b = page.bottom;
    const int w = r - l;
    framePage(dc, page);
    const int y4 = upperThreeQuarters(page);
    const int left = drawRadialTemperatureChart(dc, Rect{l, t, l + w / 2, y4}, in.source);
    drawRadialVelocityChart(dc, Rect{toDevice(l + 0.41436464 * w), t, r, y4}, in.source);

    replaceFontWithArial(dc, ((t - b) / 4 + b - t) / 12);
    dc.setTextColour(kLabelColour);
    const TextSize title = dc.textExtent("Radial Distributions");
    dc.textOut(l + (r - title.width - l) / 2, t + title.height / 2, "Radial Distributions");
    // The right column starts under the end of the word "Radial" of a title
    // centred over the plots.
    const int radialWidth = dc.textExtent("Radial").width;
    const int xt = left + (r - title.width - left) / 2;
    drawParametersBlock(dc, in.parameters, left, t, toDevice(xt + 0.93 * radialWidth), y4,
                        BlockMode::BelowChart, b);
}

void drawAxialPage(DrawingContext& dc, const Rect& page, const PageInputs& in) {
    const int l = page.left, t = page.top, b = page.bottom;
    const int w = page.width();
    framePage(dc, page);
    drawAxialChart(dc, Rect{l, t, l + w / 2, b}, in.source);
    drawParametersBlock(dc, in.parameters, toDevice(l + 0.57692308 * w), t, page.right, b + (t - b) / 4,
                        BlockMode::BesideChart, b);
}

bool drawViewPage(DrawingContext& dc, int view, const Rect& page, const PageInputs& in) {
    switch (view) {
        case kViewAllCharts:
            drawAllChartsPage(dc, page, in);
            return true;
        case kViewIsotherms:
            drawIsothermPage(dc, page, in);
            return true;
        case kViewRadial:
            drawRadialPage(dc, page, in);
            return true;
        case kViewAxial:
            drawAxialPage(dc, page, in);
            return true;
        default:
            return false;
    }
}

void drawParametersPanel(DrawingContext& dc, const Rect& area, const ParameterTexts& texts) {
    const int x2 = area.left, t = area.top, r = area.right;
    const int hp = area.height();
    const int f = hp / 14;
    const int fs = hp / 18;
    dc.setTextColour(kLabelColour);

    replaceFontWithArial(dc, toDevice(1.56 * f));
    const TextSize heading = dc.textExtent("Parameters");
    dc.textOut(x2 + (r - heading.width - x2) / 2, t + heading.height / 2, "Parameters");

    replaceFont(dc, f, 0);
    const TextSize measure = dc.textExtent("Parameters");
    const int s = toDevice(1.4 * measure.height);
    const int g = toDevice(1.05 * s);
    const int xl = x2 + toDevice(0.25 * s + (9 * measure.width) / 12);

    const double gasRow = 2.1;
    if (!texts.gas.empty()) dc.textOut(xl, toDevice(t + gasRow * g), texts.gas);
    if (!texts.gasSubscriptAfter.empty()) {
        const TextSize before = dc.textExtent(texts.gasSubscriptAfter);
        replaceFont(dc, fs, 0);
        dc.textOut(xl + before.width, toDevice(t + gasRow * g + before.height / 2), " 2");
        replaceFont(dc, f, 0);
    }
    const double rows[7] = {3.0, 3.9, 4.8, 5.7, 6.6, 7.5, 8.4};
    for (int k = 0; k < 7; ++k) {
        if (!texts.lines[k].empty()) dc.textOut(xl, toDevice(t + rows[k] * g), texts.lines[k]);
    }
}

void drawParametersBlock(DrawingContext& dc, const ParameterTexts& texts, int x, int y, int x2, int y2,
                         BlockMode mode, int pageBottom) {
    const int f = (y2 - y) / 18;
    dc.setTextColour(kLabelColour);
    replaceFontWithArial(dc, f);
    const int wH = dc.textExtent("H").width;
    const TextSize cell = dc.textExtent("Anode diameter:         mm");
    const int s = toDevice(1.5 * cell.height);
    const double drop = 0.35 * s;

    const bool twoColumns = mode == BlockMode::BelowChart;
    const int left = twoColumns ? x : x + cell.width / 26;
    const int right = twoColumns ? x2 : left;
    const double pitch = twoColumns ? 0.8 * s : s;
    const int y0 = twoColumns ? toDevice(pageBottom - 3.9 * s) : toDevice(y + 2.05 * s);
    // Row of each line after the gas line, and its column.
    auto row = [&](int line) { return twoColumns ? line % 4 : line; };
    auto column = [&](int line) { return twoColumns && line >= 4 ? right : left; };

    if (!texts.gas.empty()) dc.textOut(left, y0, texts.gas);
    if (!texts.gasSubscriptAfter.empty()) {
        const int before = dc.textExtent(texts.gasSubscriptAfter).width;
        replaceFont(dc, toDevice(0.75 * f), 0);
        drawText(dc, at(left + wH / 6 + before, y0 + drop), "2");
        replaceFont(dc, f, 0);
    }
    for (int k = 0; k < 7; ++k) {
        const int line = k + 1;  // the gas line is line 0
        if (texts.lines[k].empty()) continue;
        dc.textOut(column(line), toDevice(y0 + row(line) * pitch), texts.lines[k]);
    }
}

}  // namespace torvex
