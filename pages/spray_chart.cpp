#include "pages/spray_chart.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "charts/axes.h"
#include "charts/chart_font.h"
#include "charts/palette.h"
#include "particles/text_file.h"

namespace torvex::kavel {

namespace {

// 1, 2 or 5 times a power of ten, the first not below `rough`.
double roundStep(double rough) {
    const double decade = std::pow(10.0, std::floor(std::log10(rough)));
    for (double unit : {1.0, 2.0, 5.0, 10.0}) {
        if (unit * decade >= rough * (1 - 1e-9)) return unit * decade;
    }
    return 10 * decade;
}

// Ticks on an axis that count from n + 1: the painters take the last index.
int lastTick(const AxisScale& s) { return static_cast<int>(s.ticks.size()) - 1; }

void drawBars(DrawingContext& dc, const SprayChart& chart, const Rect& plot) {
    const DataWindow w = chart.window();
    ScopedPen pen(dc, Pen{PenStyle::Solid, 1, kFrameColour});
    for (const ChartBar& bar : chart.bars) {
        if (bar.height <= 0) continue;
        const Point a = mapCurvePoint(plot, w, bar.x0, bar.height);
        const Point b = mapCurvePoint(plot, w, bar.x1, scaleLow(chart.y));
        ScopedBrush brush(dc, Brush{BrushStyle::Solid, bar.colour});
        dc.rectangle(a.x, a.y, std::max(b.x, a.x + 1), std::max(b.y, a.y + 1));
    }
}

// Points outside the window are held at its edge so that a line leaving the
// plot runs along the frame instead of across the page.
double clamp(double v, double lo, double hi) { return std::min(std::max(v, lo), hi); }

void drawLines(DrawingContext& dc, const SprayChart& chart, const Rect& plot) {
    const DataWindow w = chart.window();
    for (const ChartLine& line : chart.lines) {
        const std::size_t n = std::min(line.x.size(), line.y.size());
        if (n < 2) continue;
        std::vector<Point> points;
        points.reserve(n);
        for (std::size_t i = 0; i < n; ++i) {
            points.push_back(
                mapCurvePoint(plot, w, clamp(line.x[i], w.xMin, w.xMax), clamp(line.y[i], w.yMin, w.yMax)));
        }
        ScopedPen pen(dc, line.pen);
        dc.polyline(points);
    }
}

// The tags of the curves (isotherm levels) beside their last point in the
// plot, where an isotherm closes on the axis, in the curve's colour; kept
// inside the plot.
void drawTags(DrawingContext& dc, const SprayChart& chart, const Rect& plot, int font) {
    const DataWindow w = chart.window();
    replaceFont(dc, font, 0);
    for (const ChartLine& line : chart.lines) {
        const std::size_t n = std::min(line.x.size(), line.y.size());
        if (line.tag.empty() || n == 0) continue;
        std::size_t last = 0;
        for (std::size_t i = 0; i < n; ++i)
            if (line.x[i] <= w.xMax) last = i;
        const Point p =
            mapCurvePoint(plot, w, clamp(line.x[last], w.xMin, w.xMax), clamp(line.y[last], w.yMin, w.yMax));
        const TextSize size = dc.textExtent(line.tag);
        const int x = std::min(p.x + size.height / 4, plot.right - size.width - 2);
        const int y = std::max(plot.top + 1, p.y - size.height);
        dc.setTextColour(line.pen.colour);
        dc.textOut(x, y, line.tag);
    }
    dc.setTextColour(kLabelColour);
}

// The ticks of the x axis that get a label: every one, or every second
// (fifth, tenth…) where a narrow chart would run the labels into each other.
std::vector<double> labelledXTicks(DrawingContext& dc, const SprayChart& chart, int plotWidth) {
    const std::vector<double>& ticks = chart.x.ticks;
    if (ticks.size() < 3) return ticks;
    int widest = 0;
    for (double v : ticks) widest = std::max(widest, dc.textExtent(formatLabel(chart.xFormat, v)).width);
    const double room = static_cast<double>(plotWidth) / static_cast<double>(ticks.size() - 1);
    const double wanted = 1.3 * widest;
    if (room >= wanted) return ticks;
    std::size_t every = 50;
    for (const std::size_t k : {std::size_t(2), std::size_t(5), std::size_t(10), std::size_t(20)})
        if (room * static_cast<double>(k) >= wanted) {
            every = k;
            break;
        }
    std::vector<double> kept;
    for (std::size_t i = 0; i < ticks.size(); i += every) kept.push_back(ticks[i]);
    return kept;
}

void drawAxes(DrawingContext& dc, const SprayChart& chart, const SprayChartLayout& layout) {
    const Rect& plot = layout.plot;
    const DataWindow w = chart.window();
    ScopedPen pen(dc, kAxisPen);
    replaceFont(dc, layout.axisFont, 0);
    dc.setTextColour(kLabelColour);
    const int tick = std::max(2, layout.axisFont / 3);
    const std::vector<double> labelled = labelledXTicks(dc, chart, plot.width());
    drawXAxis(dc, plot.bottom, plot.left, plot.right, w.xMin, w.xMax, static_cast<int>(labelled.size()), tick,
              labelled, chart.xFormat);
    drawYAxisFormatted(dc, plot.left, plot.top, plot.bottom, w.yMax, w.yMin, lastTick(chart.y), tick,
                       chart.y.ticks, chart.yFormat);
    dc.line(plot.left, plot.top, plot.right, plot.top);
    dc.line(plot.right, plot.top, plot.right, plot.bottom);
}

void drawTitles(DrawingContext& dc, const Rect& area, const SprayChart& chart,
                const SprayChartLayout& layout) {
    const Rect& plot = layout.plot;
    dc.setTextColour(kLabelColour);
    replaceFontWithArial(dc, layout.titleFont);
    const TextSize title = dc.textExtent(chart.title);
    dc.textOut(plot.left, area.top + title.height / 4, chart.title);

    replaceFont(dc, layout.axisFont, 0);
    const TextSize xTitle = dc.textExtent(chart.xTitle);
    dc.textOut(plot.left + (plot.width() - xTitle.width) / 2, area.bottom - toDevice(1.2 * xTitle.height),
               chart.xTitle);

    replaceFont(dc, layout.axisFont, 900);
    const TextSize yTitle = dc.textExtent(chart.yTitle);
    dc.textOut(area.left + yTitle.height / 3, plot.bottom - (plot.height() - yTitle.width) / 2, chart.yTitle);
    replaceFont(dc, layout.axisFont, 0);
}

// Legend entries in rows under the title: a line sample, then the label;
// a row that would run past the area's right edge wraps.
struct LegendPlace {
    std::size_t entry;
    int x, y;
};

std::vector<LegendPlace> placeLegend(DrawingContext& dc, const Rect& area, const SprayChart& chart, int font,
                                     int left, int top, int* bottom) {
    replaceFont(dc, font, 0);
    const int sample = 2 * dc.textExtent("M").width;
    const int gap = dc.textExtent("  ").width;
    const int rowHeight = toDevice(1.3 * dc.textExtent("Mg").height);
    std::vector<LegendPlace> places;
    int x = left, y = top;
    for (std::size_t i = 0; i < chart.legend.size(); ++i) {
        const int width = sample + gap / 2 + dc.textExtent(chart.legend[i].label).width;
        if (x > left && x + width > area.right) {
            x = left;
            y += rowHeight;
        }
        places.push_back({i, x, y});
        x += width + gap;
    }
    *bottom = chart.legend.empty() ? top : y + rowHeight;
    return places;
}

void drawLegend(DrawingContext& dc, const Rect& area, const SprayChart& chart,
                const SprayChartLayout& layout) {
    int bottom = 0;
    const auto places =
        placeLegend(dc, area, chart, layout.legendFont, layout.legendLeft, layout.legendTop, &bottom);
    replaceFont(dc, layout.legendFont, 0);
    const int sample = 2 * dc.textExtent("M").width;
    const int gap = dc.textExtent("  ").width;
    for (const LegendPlace& p : places) {
        const LegendEntry& e = chart.legend[p.entry];
        const TextSize size = dc.textExtent(e.label);
        {
            ScopedPen pen(dc, e.pen);
            dc.line(p.x, p.y + size.height / 2, p.x + sample, p.y + size.height / 2);
        }
        dc.setTextColour(e.pen.colour);
        dc.textOut(p.x + sample + gap / 2, p.y, e.label);
    }
    dc.setTextColour(kLabelColour);
}

// The note in lines as wide as the plot allows, broken between words.
std::vector<std::string> noteLines(DrawingContext& dc, const std::string& note, int width) {
    std::vector<std::string> lines{""};
    std::size_t start = 0;
    while (start < note.size()) {
        std::size_t end = note.find(' ', start);
        if (end == std::string::npos) end = note.size();
        const std::string word = note.substr(start, end - start);
        const std::string longer = lines.back().empty() ? word : lines.back() + " " + word;
        if (!lines.back().empty() && dc.textExtent(longer).width > width) lines.push_back(word);
        else lines.back() = longer;
        start = end + 1;
    }
    return lines;
}

void drawEmptyNote(DrawingContext& dc, const SprayChart& chart, const SprayChartLayout& layout) {
    if (chart.emptyNote.empty()) return;
    replaceFont(dc, layout.axisFont, 0);
    const Rect& plot = layout.plot;
    const std::vector<std::string> lines = noteLines(dc, chart.emptyNote, plot.width() * 9 / 10);
    const int pitch = dc.textExtent("M").height * 5 / 4;
    int y = plot.top + (plot.height() - pitch * static_cast<int>(lines.size())) / 2;
    for (const std::string& line : lines) {
        dc.textOut(plot.left + (plot.width() - dc.textExtent(line).width) / 2, y, line);
        y += pitch;
    }
}

}  // namespace

AxisScale spanScale(double lo, double hi, int wishedIntervals) {
    if (!std::isfinite(lo) || !std::isfinite(hi)) lo = 0, hi = 1;
    if (hi < lo) std::swap(lo, hi);
    if (hi - lo < 1e-12) {
        const double pad = std::max(std::fabs(lo) * 0.1, 1e-3);
        lo -= pad;
        hi += pad;
    }
    AxisScale s;
    s.step = roundStep((hi - lo) / std::max(wishedIntervals, 1));
    const double first = std::floor(lo / s.step + 1e-9) * s.step;
    s.intervals = std::max(1, static_cast<int>(std::ceil((hi - first) / s.step - 1e-9)));
    for (int i = 0; i <= s.intervals; ++i) {
        const double t = first + i * s.step;
        s.ticks.push_back(std::fabs(t) < s.step * 1e-9 ? 0.0 : t);
    }
    return s;
}

double scaleLow(const AxisScale& s) { return s.ticks.empty() ? 0 : s.ticks.front(); }
double scaleHigh(const AxisScale& s) { return s.ticks.empty() ? 1 : s.ticks.back(); }

SprayChartLayout sprayChartLayout(DrawingContext& dc, const Rect& area, const SprayChart& chart) {
    SprayChartLayout layout;
    // One size for the chart's texts: from its area, so that narrow charts
    // stay legible and wide ones do not shout.
    const double w = area.width(), h0 = area.height();
    const double bySize = std::sqrt(w * h0) / 34;
    // The page's size when it gives one, as large as the jet charts' texts;
    // smaller only where a narrow or low chart could not hold it.
    const double wished = chart.font > 0 ? chart.font : std::min({h0 / 16, w / 18, bySize});
    int font = std::max(6, toDevice(std::min({wished, h0 / 13, w / 14})));
    // No title, axis title or legend entry wider than the chart: each
    // measured in the font wished for and made smaller in proportion.
    const auto fitted = [&](int size, int widest, double margins) {
        const int room = static_cast<int>(w) - toDevice(margins * font);
        return widest > room && widest > 0 ? std::max(6, size * room / widest) : size;
    };
    replaceFont(dc, font, 0);
    font = fitted(font, dc.textExtent(chart.xTitle).width, 6.7);
    layout.axisFont = font;
    replaceFontWithArial(dc, toDevice(1.2 * font));
    layout.titleFont = fitted(toDevice(1.2 * font), dc.textExtent(chart.title).width, 6.7);
    const int legendFont = font;
    replaceFont(dc, legendFont, 0);
    int widestEntry = 0;
    for (const LegendEntry& e : chart.legend)
        widestEntry = std::max(widestEntry, dc.textExtent(e.label).width + 3 * dc.textExtent("M").width);
    // The legend starts at the left edge of the y axis's tick labels.
    layout.legendFont = fitted(legendFont, widestEntry, 3.2);
    // Margins in heights of the axis font: a text is about one font height
    // high, and a tick label at most five digits wide.
    const int h = layout.axisFont;
    const int left = area.left + toDevice(5.2 * h);
    layout.legendTop = area.top + toDevice(1.7 * layout.titleFont);
    int legendBottom = layout.legendTop;
    layout.legendLeft = area.left + toDevice(1.7 * h);
    placeLegend(dc, area, chart, layout.legendFont, layout.legendLeft, layout.legendTop, &legendBottom);
    layout.plot = Rect{left, std::max(legendBottom, area.top + toDevice(1.9 * layout.titleFont)) + h / 2,
                       area.right - toDevice(1.5 * h), area.bottom - toDevice(3.2 * h)};
    return layout;
}

void drawSprayChart(DrawingContext& dc, const Rect& area, const SprayChart& chart) {
    const SprayChartLayout layout = sprayChartLayout(dc, area, chart);
    drawScaleGrid(dc, layout.plot, chart.window(), chart.x, chart.y);
    drawBars(dc, chart, layout.plot);
    drawLines(dc, chart, layout.plot);
    drawTags(dc, chart, layout.plot, layout.legendFont);
    drawAxes(dc, chart, layout);
    drawTitles(dc, area, chart, layout);
    drawLegend(dc, area, chart, layout);
    drawEmptyNote(dc, chart, layout);
}

std::string columnName(const std::string& title) {
    const std::size_t comma = title.rfind(", ");
    if (comma == std::string::npos) return title;
    return title.substr(0, comma) + " [" + title.substr(comma + 2) + "]";
}

namespace {

std::string number(double v) {
    char text[32];
    std::snprintf(text, sizeof text, "%.6g", v);
    return text;
}

// A text cell, quoted when it holds a comma or a quote.
std::string cell(const std::string& text) { return particles::csvField(text); }

}  // namespace

std::string sprayChartCsv(const SprayChart& chart) {
    const std::string x = columnName(chart.xTitle);
    if (!chart.bars.empty()) {
        std::string text = x + " from," + x + " to,share by number [%],share by mass [%]\n";
        for (const ChartBar& b : chart.bars)
            text += number(b.x0) + "," + number(b.x1) + "," + number(b.height) + "," + number(b.mass) + "\n";
        return text;
    }
    std::string text = "curve," + cell(x) + "," + cell(columnName(chart.yTitle)) + "\n";
    for (const ChartLine& line : chart.lines) {
        const std::size_t n = std::min(line.x.size(), line.y.size());
        for (std::size_t i = 0; i < n; ++i)
            text += cell(line.label) + "," + number(line.x[i]) + "," + number(line.y[i]) + "\n";
    }
    return text;
}

}  // namespace torvex::kavel
