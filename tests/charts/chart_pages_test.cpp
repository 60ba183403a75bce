// The chart pages: how each page splits its rectangle, where the parameters
// go, pages with no result files, and a page painted offscreen.
#include "charts/chart_pages.h"

#include <gtest/gtest.h>

#include <QGuiApplication>
#include <memory>

#include "charts/isotherm_chart.h"
#include "charts/palette.h"
#include "platform/page_devices.h"
#include "tests/charts/chart_files.h"

namespace torvex {
namespace {

using test::TempDir;

ParameterTexts argonHydrogen() {
    ParameterTexts texts;
    texts.gas = "Plasma gas: Ar + H   (10 %)";
    texts.gasSubscriptAfter = "Plasma gas: Ar + H";
    texts.lines = {"Anode diameter: 8.0 mm",     "Anode length: 14 mm", "Arc current: 500 A",
                   "Gas flow rate: 35 SLPM",     "Arc voltage: 27.1 V", "Electric power: 13.5 kW",
                   "Plasmatron efficiency: 53 %"};
    return texts;
}

class ChartPagesTest : public ::testing::Test {
protected:
    void SetUp() override {
        test::resetChartFont();
        in.source = test::sourceIn(dir);
        in.parameters = argonHydrogen();
    }
    TempDir dir;
    PageInputs in;
    RecordingContext dc;
    const Rect page{0, 0, 1000, 700};
};

TEST_F(ChartPagesTest, AllChartsPageSplitsTheRectangle) {
    const AllChartsLayout layout = allChartsLayout(page);
    EXPECT_EQ(layout.isothermArea, (Rect{0, 0, 666, 350}));
    EXPECT_EQ(layout.radialTemperatureArea, (Rect{0, 350, 333, 700}));
    EXPECT_EQ(layout.radialVelocityArea, (Rect{276, 350, 666, 700}));
    EXPECT_EQ(layout.panelArea, (Rect{666, 0, 1000, 262}));
    EXPECT_EQ(layout.axialArea, (Rect{666, 262, 1000, 700}));
    EXPECT_EQ(layout.radialFrame, (Rect{1, 348, 668, 699}));

    drawAllChartsPage(dc, page, in);
    // Four frames in the frame pen, drawn in the order of the elements.
    std::vector<Rect> frames;
    for (const DrawCall& c : dc.callsOf(DrawOp::Rectangle)) {
        EXPECT_EQ(c.pen, kFramePen);
        frames.push_back(Rect{c.points[0].x, c.points[0].y, c.points[1].x, c.points[1].y});
    }
    EXPECT_EQ(frames, (std::vector<Rect>{layout.isothermFrame, layout.radialFrame, layout.axialFrame,
                                         layout.panelFrame}));
    // The panel: heading font 1.56 f with f = 262 / 14 = 18; lines at
    // t + k g with g = 26, left edge 666 + trunc(0.25 s + 9 wP / 12) = 739.
    EXPECT_EQ(dc.findText("Parameters").font.height, 28);
    EXPECT_EQ(dc.findText(in.parameters.gas).points.front(), (Point{739, 54}));
    EXPECT_EQ(dc.findText("Plasmatron efficiency: 53 %").points.front(), (Point{739, toDevice(8.4 * 26)}));
    // The hydrogen's "2" in the smaller font right after "Ar + H".
    const DrawCall subscript = dc.findText(" 2");
    EXPECT_EQ(subscript.font.height, 14);
    EXPECT_EQ(subscript.points.front(), (Point{739 + 18 * 9, toDevice(54.6 + 9)}));
    EXPECT_TRUE(test::drew(dc, "Radial Distributions"));
}

TEST_F(ChartPagesTest, SingleChartPagesPutTheBlockBelowOrBeside) {
    drawIsothermPage(dc, page, in);
    // The page frame first, then the chart in the upper three quarters.
    EXPECT_EQ(dc.callsOf(DrawOp::Rectangle).front().points, (std::vector<Point>{{1, 1}, {998, 698}}));
    EXPECT_EQ(dc.findText("Isothermal Lines").font.height, 525 / 12);
    // Block font 525 / 18 = 29, line unit trunc(1.5 * 29) = 43: the first
    // line 3.9 units above the bottom, the right column at the page middle.
    const int left = isothermPlot(Rect{0, 0, 1000, 525}, TextSize{28, 29}, true).left;
    EXPECT_EQ(dc.findText(in.parameters.gas).points.front(), (Point{left, 532}));
    EXPECT_EQ(dc.findText("Gas flow rate: 35 SLPM").points.front(), (Point{500, 532}));
    EXPECT_EQ(dc.findText("Arc current: 500 A").points.front(), (Point{left, toDevice(532 + 3 * 0.8 * 43)}));
    // The block's "2", drawn after the chart's tick labels.
    DrawCall subscript;
    for (const DrawCall& c : dc.callsOf(DrawOp::TextOut))
        if (c.text == "2") subscript = c;
    EXPECT_EQ(subscript.font.height, 21);
    EXPECT_EQ(subscript.points.front(), (Point{left + 14 / 6 + 18 * 14, toDevice(532 + 0.35 * 43)}));

    dc.clear();
    test::resetChartFont();
    drawAxialPage(dc, page, in);
    // One column beside the chart: x = 0.577 W plus one character cell,
    // one line unit apart from 2.05 units down.
    const int f = 525 / 18;
    const int s = toDevice(1.5 * f);
    const int x = 576 + (26 * (f / 2)) / 26;
    EXPECT_EQ(dc.findText(in.parameters.gas).points.front(), (Point{x, toDevice(2.05 * s)}));
    EXPECT_EQ(dc.findText("Plasmatron efficiency: 53 %").points.front(),
              (Point{x, toDevice(2.05 * s) + 7 * s}));

    dc.clear();
    test::resetChartFont();
    drawRadialPage(dc, page, in);
    EXPECT_EQ(dc.findText("Radial Distributions").font.height, 525 / 12);
    EXPECT_EQ(dc.callsOf(DrawOp::Rectangle).size(), 1u);
}

TEST_F(ChartPagesTest, ViewsWithoutResultsOrParametersDrawWhatTheyCan) {
    PageInputs bare;
    bare.source = test::sourceIn(dir);
    for (int view : {kViewAllCharts, kViewIsotherms, kViewRadial, kViewAxial}) {
        dc.clear();
        EXPECT_TRUE(drawViewPage(dc, view, page, bare));
        EXPECT_TRUE(dc.callsOf(DrawOp::Polyline).empty());
        for (const std::string& text : dc.textsDrawn()) EXPECT_FALSE(text.empty());
    }
    dc.clear();
    EXPECT_FALSE(drawViewPage(dc, kViewNothing, page, bare));
    EXPECT_FALSE(drawViewPage(dc, 4, page, bare));
    EXPECT_TRUE(dc.calls().empty());
}

TEST_F(ChartPagesTest, APagePaintedOffscreenIsNotBlank) {
    static int argc = 1;
    static char name[] = "torvex_charts_tests";
    static char* argv[] = {name, nullptr};
    const auto app = QCoreApplication::instance() ? nullptr : std::make_unique<QGuiApplication>(argc, argv);
    dir.write("ztu0.res", "   0.0  13.20  1500.00\n  50.0   6.00   500.00\n 100.0   2.00   100.00\n");
    const QImage image = renderPageImage(
        [&](DrawingContext& painter) {
            drawAxialPage(painter, Rect{0, 0, 800, 560}, in);
        },
        800, 560);
    int red = 0, black = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QRgb p = image.pixel(x, y);
            red += qRed(p) > 200 && qGreen(p) < 60 && qBlue(p) < 60;
            black += qRed(p) < 60 && qGreen(p) < 60 && qBlue(p) < 60;
        }
    }
    EXPECT_GT(red, 100);     // the temperature curve
    EXPECT_GT(black, 1000);  // axes, labels, parameters
}

}  // namespace
}  // namespace torvex
