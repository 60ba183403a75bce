// The chart pages: how each page splits its rectangle, where the parameters
// go, pages with no result files, and a page painted offscreen.
#include "charts/chart_pages.h"

#include <gtest/gtest.h>

#include <QGuiApplication>
#include <cstdio>
#include <memory>

#include "charts/axes.h"
#include "charts/isotherm_chart.h"
#include "solver/result_files.h"
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

// Result files of a plausible jet: 200 mm of axis, five cross-sections,
// isotherms closing at 60 mm.
void writeJet(const TempDir& dir) {
    std::string axis, isotherms;
    char line[96];
    for (int z = 0; z <= 200; ++z) {
        const double share = 1.0 / (1.0 + z / 25.0);
        std::snprintf(line, sizeof line, "%6.1f %6.2f %8.2f\n", z * 1.0, 13.2 * share, 1500 * share);
        axis += line;
        const double r = z < 60 ? 3.0 + z / 20.0 : 0.0;
        std::snprintf(line, sizeof line, "%6.1f %6.3f %6.3f %6.3f %6.3f %6.3f\n", z * 1.0, r, 0.8 * r, 0.6 * r,
                      0.4 * r, 0.2 * r);
        isotherms += line;
    }
    dir.write("ztu0.res", axis);
    dir.write("ilt.res", isotherms);
    const double axisT[5] = {13.2, 12.4, 9.5, 6.1, 3.3}, axisV[5] = {1500, 1400, 900, 480, 210};
    for (int k = 0; k < 5; ++k) {
        std::string section;
        for (int i = 0; i <= 80 + 20 * k; ++i) {
            const double share = 1.0 - i / (81.0 + 20 * k);
            std::snprintf(line, sizeof line, "%5.1f %6.2f %8.2f\n", i * 0.1, axisT[k] * share, axisV[k] * share);
            section += line;
        }
        dir.write(radialFileNames()[k], section);
    }
}

// The box a text covers: rotated texts (escapement 900) run upward from
// their point and reach one text height to the right of it.
Rect textBox(const DrawCall& call) {
    RecordingContext measure;
    measure.selectFont(call.font);
    const TextSize size = measure.textExtent(call.text);
    const Point p = call.points.front();
    if (call.font.escapement == 900) return Rect{p.x, p.y - size.width, p.x + size.height, p.y};
    return Rect{p.x, p.y, p.x + size.width, p.y + size.height};
}

bool overlap(const Rect& a, const Rect& b) {
    return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
}

bool isTickLabel(const std::string& text) {
    return !text.empty() && text.find_first_not_of(" 0123456789.-") == std::string::npos;
}

// The rotated value-axis titles keep clear of the widest tick label on every
// page, in every unit system and page size (window, small window, paper).
TEST_F(ChartPagesTest, RotatedAxisTitlesKeepClearOfTheTickLabels) {
    writeJet(dir);
    const Rect pages[] = {{0, 0, 972, 690}, {0, 0, 640, 420}, {0, 0, 2880, 1960}};
    for (const UnitCodes units : {UnitCodes{1, 1, 1}, UnitCodes{2, 2, 2}, UnitCodes{2, 3, 1}}) {
        in.source = test::sourceIn(dir, units.length, units.temperature);
        for (const Rect& size : pages) {
            for (int view : {kViewAllCharts, kViewIsotherms, kViewRadial, kViewAxial}) {
                dc.clear();
                test::resetChartFont();
                drawViewPage(dc, view, size, in);
                std::vector<DrawCall> titles, labels;
                for (const DrawCall& c : dc.callsOf(DrawOp::TextOut)) {
                    if (c.font.escapement == 900) titles.push_back(c);
                    else if (isTickLabel(c.text)) labels.push_back(c);
                }
                ASSERT_FALSE(titles.empty());
                for (const DrawCall& title : titles)
                    for (const DrawCall& label : labels)
                        EXPECT_FALSE(overlap(textBox(title), textBox(label)))
                            << "view " << view << ", page " << size.right << ", units " << units.length
                            << units.temperature << ": \"" << title.text << "\" over \"" << label.text << "\"";
            }
        }
    }
}

// Pens, dashes, tick marks and the doubling of thin curves follow the
// device's resolution: on a 1200 dpi sheet a screen pixel is 12.5 dots.
TEST(DeviceResolution, ScreenPixelsBecomeDeviceUnits) {
    struct Sheet : RecordingContext {
        double unitsPerPixel() const override { return 12.5; }
    } sheet;
    EXPECT_EQ(screenPixels(sheet, 1), 13);
    EXPECT_EQ(screenPixels(sheet, 6), 75);
    EXPECT_EQ(tickLength(sheet), 75);
    const std::vector<double> x{0, 1}, y{0, 1};
    drawCurve(sheet, 1, x, y, kCurveDouble, Rect{0, 0, 100, 100}, DataWindow{0, 1, 1, 0});
    const auto curves = sheet.callsOf(DrawOp::Polyline);
    ASSERT_EQ(curves.size(), 2u);
    EXPECT_EQ(curves[0].points[0].y - curves[1].points[0].y, 13);
    RecordingContext screen;
    EXPECT_EQ(tickLength(screen), 6);
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
