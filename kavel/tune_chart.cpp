#include "kavel/tune_chart.h"

#include <QString>
#include <algorithm>

#include "charts/palette.h"
#include "platform/page_devices.h"

namespace torvex::kavel {

namespace {

constexpr int kImageWidth = 1400;
constexpr int kImageHeight = 900;
constexpr Rgb kScanColour{0, 90, 200};
constexpr Rgb kSecondColour{200, 60, 0};
constexpr Rgb kChosenColour{0, 150, 0};

ChartLine lineOf(const particles::TuneOutcome& out, double (*value)(const particles::TuneStep&), const Rgb& colour) {
    ChartLine line{{}, {}, Pen{PenStyle::Solid, 2, colour}, "", ""};
    for (const particles::TuneStep& s : out.steps) {
        if (s.arrived == 0) continue;  // nothing arrives: no mean to draw
        line.x.push_back(s.setting);
        line.y.push_back(value(s));
    }
    return line;
}

void extent(const SprayChart& c, double& lo, double& hi) {
    for (const ChartLine& l : c.lines)
        for (double y : l.y) lo = std::min(lo, y), hi = std::max(hi, y);
}

}  // namespace

std::array<SprayChart, 4> tuneCharts(const particles::TuneOptions& tune, const particles::TuneOutcome& out) {
    const std::string setting = tune.scan == particles::TuneScan::CarrierFlow ? "Carrier-gas flow, SLPM"
                                                                               : "Injection velocity, m/s";
    std::array<SprayChart, 4> charts;
    charts[0].title = "Particle Jet Deviation";
    charts[0].yTitle = "Deviation, degrees";
    charts[0].lines.push_back(lineOf(out, [](const particles::TuneStep& s) { return s.deviationDeg; }, kScanColour));
    charts[1].title = "Mass Shares at the Standoff";
    charts[1].yTitle = "Share of the injected mass, %";
    charts[1].lines.push_back(
        lineOf(out, [](const particles::TuneStep& s) { return 100 * s.moltenMassShare; }, kScanColour));
    charts[1].lines.push_back(
        lineOf(out, [](const particles::TuneStep& s) { return 100 * s.arrivingMassShare; }, kSecondColour));
    charts[1].legend = {{"molten", charts[1].lines[0].pen}, {"arriving", charts[1].lines[1].pen}};
    charts[2].title = "Mean Velocity at the Standoff";
    charts[2].yTitle = "Velocity, m/s";
    charts[2].lines.push_back(lineOf(out, [](const particles::TuneStep& s) { return s.velocity; }, kScanColour));
    charts[3].title = "Mean Surface Temperature at the Standoff";
    charts[3].yTitle = "Temperature, K";
    charts[3].lines.push_back(
        lineOf(out, [](const particles::TuneStep& s) { return s.surfaceTemperature; }, kScanColour));

    if (tune.goal == particles::TuneGoal::Deviation) {
        charts[0].lines.push_back(
            ChartLine{{tune.from, tune.to}, {tune.targetDeg, tune.targetDeg}, Pen{PenStyle::Dash, 1, kBlack}, "target", ""});
        charts[0].legend.push_back({"target", Pen{PenStyle::Dash, 1, kBlack}});
    }
    const bool chosen = out.chosen >= 0;
    for (SprayChart& c : charts) {
        c.xTitle = setting;
        c.x = spanScale(tune.from, tune.to, 7);
        double lo = 0, hi = 1;
        extent(c, lo, hi);
        if (&c == &charts[3] || &c == &charts[2]) lo = std::min(lo, hi);  // from zero
        c.y = spanScale(lo, hi, 5);
        if (chosen) {
            const double x = out.steps[static_cast<std::size_t>(out.chosen)].setting;
            c.lines.push_back(ChartLine{{x, x}, {scaleLow(c.y), scaleHigh(c.y)},
                                        Pen{PenStyle::Dash, 2, kChosenColour}, "chosen setting", ""});
        }
        if (out.steps.empty()) c.emptyNote = "No tuning scan";
    }
    if (chosen) charts[0].legend.push_back({"chosen setting", Pen{PenStyle::Dash, 2, kChosenColour}});
    return charts;
}

void drawTunePage(DrawingContext& dc, const Rect& page, const particles::TuneOptions& tune,
                  const particles::TuneOutcome& outcome) {
    const std::array<SprayChart, 4> charts = tuneCharts(tune, outcome);
    const int midX = page.left + page.width() / 2, midY = page.top + page.height() / 2;
    const Rect cells[4] = {Rect{page.left, page.top, midX, midY}, Rect{midX, page.top, page.right, midY},
                           Rect{page.left, midY, midX, page.bottom}, Rect{midX, midY, page.right, page.bottom}};
    ScopedState state(dc);
    dc.setBackgroundMode(BackgroundMode::Transparent);
    for (int i = 0; i < 4; ++i) {
        const Rect& r = cells[i];
        {
            ScopedPen pen(dc, kFramePen);
            ScopedBrush brush(dc, Brush{BrushStyle::Solid, kWhite});
            dc.rectangle(r.left, r.top, r.right, r.bottom);
        }
        drawSprayChart(dc, Rect{r.left + 2, r.top + 2, r.right - 2, r.bottom - 2}, charts[static_cast<std::size_t>(i)]);
    }
}

bool writeTuneChartImage(const std::string& path, const particles::TuneOptions& tune,
                         const particles::TuneOutcome& outcome, std::string& error) {
    QString why;
    const Rect whole{0, 0, kImageWidth, kImageHeight};
    if (!renderPageToPng([&](DrawingContext& dc) { drawTunePage(dc, whole, tune, outcome); }, kImageWidth,
                         kImageHeight, QString::fromStdString(path), &why)) {
        error = why.toStdString();
        return false;
    }
    return true;
}

}  // namespace torvex::kavel
