#include "pages/tune_chart.h"

#include <QString>
#include <algorithm>
#include <cstdio>

#include "charts/palette.h"
#include "platform/page_devices.h"

namespace torvex::kavel {

namespace {

constexpr int kImageWidth = 1400;
constexpr int kImageHeight = 900;
constexpr Rgb kScanColour{0, 90, 200};
constexpr Rgb kSecondColour{200, 60, 0};
constexpr Rgb kChosenColour{0, 150, 0};
constexpr Rgb kShortColour{200, 0, 0};
const char* const kShortLabel = "arriving mass under 90 %";

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
    charts[0].lines.push_back(lineOf(out, [](const particles::TuneStep& s) { return s.deviationDeg.value; }, kScanColour));
    charts[1].title = "Molten and Arriving Mass";
    charts[1].yTitle = "Share of the injected mass, %";
    charts[1].lines.push_back(
        lineOf(out, [](const particles::TuneStep& s) { return 100 * s.moltenMassShare.value; }, kScanColour));
    charts[1].lines.push_back(
        lineOf(out, [](const particles::TuneStep& s) { return 100 * s.arrivingMassShare.value; }, kSecondColour));
    charts[1].legend = {{"molten", charts[1].lines[0].pen}, {"arriving", charts[1].lines[1].pen}};
    charts[2].title = "Mean Velocity";
    charts[2].yTitle = "Velocity, m/s";
    charts[2].lines.push_back(lineOf(out, [](const particles::TuneStep& s) { return s.velocity.value; }, kScanColour));
    charts[3].title = "Mean Surface Temperature";
    charts[3].yTitle = "Temperature, K";
    charts[3].lines.push_back(
        lineOf(out, [](const particles::TuneStep& s) { return s.surfaceTemperature.value; }, kScanColour));

    if (tune.goal == particles::TuneGoal::Deviation) {
        charts[0].lines.push_back(
            ChartLine{{tune.from, tune.to}, {tune.targetDeg, tune.targetDeg}, Pen{PenStyle::Dash, 1, kBlack}, "target", ""});
        charts[0].legend.push_back({"target", Pen{PenStyle::Dash, 1, kBlack}});
    }
    // A "*" over every setting that brings less than 90 % of the mass to the
    // substrate, as the terminal's table marks it.
    bool anyShort = false;
    for (SprayChart& c : charts) {
        // On the mass chart the marks go on the arriving share.
        const ChartLine curve = &c == &charts[1] ? c.lines[1] : c.lines.front();
        for (std::size_t k = 0; k < curve.x.size(); ++k)
            for (const particles::TuneStep& s : out.steps)
                if (s.setting == curve.x[k] && s.arrived > 0 && particles::arrivesShort(s)) {
                    c.lines.push_back(ChartLine{{curve.x[k]}, {curve.y[k]}, Pen{PenStyle::Solid, 1, kShortColour},
                                                kShortLabel, "*"});
                    anyShort = true;
                }
    }
    if (anyShort) charts[1].legend.push_back({std::string("* ") + kShortLabel, Pen{PenStyle::Null, 1, kShortColour}});
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
                  const particles::TuneOutcome& outcome, int font) {
    std::array<SprayChart, 4> charts = tuneCharts(tune, outcome);
    for (SprayChart& c : charts) c.font = font;
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

namespace {

std::string fixed(double value, int decimals) {
    char text[64];
    std::snprintf(text, sizeof text, "%.*f", decimals, value);
    return text;
}

}  // namespace

std::vector<TextBlock> tuneBlocks(const particles::TuneOptions& tune, const particles::TuneOutcome& out) {
    const char* unit = particles::tuneUnit(tune.scan);
    TextBlock goal{"Goal", {}, {}, -1};
    goal.lines.push_back(tune.goal == particles::TuneGoal::Deviation
                             ? "particle jet deviated by " + fixed(tune.targetDeg, 2) + "° from the torch axis"
                             : std::string("the most molten mass at the standoff"));
    goal.lines.push_back(std::string(tune.scan == particles::TuneScan::CarrierFlow ? "carrier-gas flow"
                                                                                  : "injection speed") +
                         " from " + fixed(tune.from, 2) + " to " + fixed(tune.to, 2) + " " + unit + " in " +
                         std::to_string(tune.steps) + " steps");
    if (out.chosen >= 0) {
        const particles::TuneStep& best = out.steps[static_cast<std::size_t>(out.chosen)];
        goal.lines.push_back("chosen: " + chosenSettingText(tune, out) + " (deviation " + fixed(best.deviationDeg.value, 2) +
                             "°, molten mass " + fixed(100 * best.moltenMassShare.value, 1) + " %)");
    } else if (!out.steps.empty()) {
        goal.lines.push_back("No setting brings particles to the standoff.");
    }
    const std::string apart = withPageSigns(particles::indistinctSentence(tune, out));
    if (!apart.empty()) goal.lines.push_back(apart + ": more particles per step would tell them");
    TextBlock steps{"Steps", {"at the standoff, \u00b1 the 95 % intervals of the sample; velocity and surface "
                              "temperature: means of the arrived, by number"},
                    {},
                    out.chosen};
    if (std::any_of(out.steps.begin(), out.steps.end(), particles::arrivesShort))
        steps.lines.push_back(printed("* less than %.0f %% of the injected mass arrives on the substrate",
                                      100 * particles::kLowArrivingMassShare));
    if (!out.indistinct.empty()) steps.lines.push_back("\u2248 cannot be told apart from the chosen setting");
    steps.table.push_back({std::string(tune.scan == particles::TuneScan::CarrierFlow ? "flow, " : "speed, ") + unit,
                           "deviation, °", "molten %", "arriving %", "velocity, m/s", "surface T, K",
                           "arrived"});
    for (std::size_t k = 0; k < out.steps.size(); ++k) {
        const particles::TuneStep& s = out.steps[k];
        const bool any = s.arrived > 0;
        const bool alike = std::find(out.indistinct.begin(), out.indistinct.end(), static_cast<int>(k)) !=
                           out.indistinct.end();
        steps.table.push_back({fixed(s.setting, 2) + (alike ? " \u2248" : ""),
                               any ? plusMinus(s.deviationDeg, 2) : "–", plusMinus(s.moltenMassShare, 1, 100),
                               fixed(100 * s.arrivingMassShare.value, 1) + (particles::arrivesShort(s) ? "*" : ""),
                               any ? fixed(s.velocity.value, 1) : "–", any ? fixed(s.surfaceTemperature.value, 0) : "–",
                               std::to_string(s.arrived)});
    }
    return {goal, steps};
}

std::string chosenSettingText(const particles::TuneOptions& tune, const particles::TuneOutcome& out) {
    if (out.chosen < 0 || out.chosen >= static_cast<int>(out.steps.size())) return {};
    return fixed(out.steps[static_cast<std::size_t>(out.chosen)].setting, 2) + " " + particles::tuneUnit(tune.scan);
}

particles::SprayOptions withChosenSetting(particles::SprayOptions o, const particles::TuneOptions& tune,
                                          const particles::TuneOutcome& out) {
    if (out.chosen < 0 || out.chosen >= static_cast<int>(out.steps.size())) return o;
    const double setting = out.steps[static_cast<std::size_t>(out.chosen)].setting;
    if (tune.scan == particles::TuneScan::CarrierFlow) {
        o.injection.speedFrom = particles::InjectionSpeed::CarrierGas;
        o.injection.carrierFlowSlpm = setting;
    } else {
        o.injection.speedFrom = particles::InjectionSpeed::Fixed;
        o.injection.velocity = setting;
    }
    return o;
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
