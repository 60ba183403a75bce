// The radial distribution charts on the recording context: scales shared by
// the five cross-sections, unit conversions, the curves and their pens, the
// legend, and cross-sections that are missing or cut short.
#include "charts/radial_charts.h"

#include <gtest/gtest.h>

#include "charts/palette.h"
#include "solver/result_files.h"
#include "tests/charts/chart_files.h"

namespace torvex {
namespace {

using test::TempDir;

// A cross-section from the axis out to `outerMm` every 0.1 mm, temperature
// and velocity falling linearly from their axis values.
std::string crossSection(double outerMm, double axisKiloKelvin, double axisVelocity) {
    std::string text;
    const int last = static_cast<int>(outerMm * 10 + 0.5);
    for (int i = 0; i <= last; ++i) {
        const double share = 1.0 - static_cast<double>(i) / (last + 1);
        char line[64];
        std::snprintf(line, sizeof line, "%5.1f %6.2f %8.2f\n", i * 0.1, axisKiloKelvin * share,
                      axisVelocity * share);
        text += line;
    }
    return text;
}

class RadialChartsTest : public ::testing::Test {
protected:
    void SetUp() override {
        test::resetChartFont();
        const double outer[5] = {7.9, 8.4, 9.6, 11.2, 12.5};
        const double axisT[5] = {12.3, 11.0, 8.1, 5.2, 3.3};
        const double axisV[5] = {1480, 1210, 700, 320, 140};
        for (int k = 0; k < 5; ++k)
            dir.write(radialFileNames()[k], crossSection(outer[k], axisT[k], axisV[k]));
    }
    TempDir dir;
    RecordingContext dc;
    // Axis font 540 / 18 = 30: "S" with its terminator 30 x 30.
    const Rect area{0, 0, 600, 540};
};

TEST_F(RadialChartsTest, TheFiveCrossSectionsShareRoundScales) {
    const RadialData t = readRadialData(test::sourceIn(dir), RadialQuantity::Temperature);
    // 12.5 mm outermost: step 4, 4 intervals; 12.3 kK on the axis: step 4, 4 intervals.
    EXPECT_DOUBLE_EQ(t.radial.step, 4);
    EXPECT_EQ(t.radial.intervals, 4);
    EXPECT_DOUBLE_EQ(t.value.end(), 16);
    EXPECT_EQ(t.curves[4].radius.size(), 126u);

    // Celsius and Fahrenheit with the offset 273; velocity in 100 m/s or 1000 in/s.
    const RadialData c = readRadialData(test::sourceIn(dir, 1, 3), RadialQuantity::Temperature);
    EXPECT_NEAR(c.curves[0].value[0], 12.027, 1e-9);
    EXPECT_NEAR(kelvinToCelsiusK(10), 9.727, 1e-12);
    const RadialData f = readRadialData(test::sourceIn(dir, 1, 2), RadialQuantity::Temperature);
    EXPECT_NEAR(f.curves[0].value[0], ((12300 - 273) * 1.8 + 32) / 1000, 1e-9);
    const RadialData v = readRadialData(test::sourceIn(dir), RadialQuantity::Velocity);
    EXPECT_NEAR(v.curves[0].value[0], 14.8, 1e-9);
    const RadialData vInch = readRadialData(test::sourceIn(dir, 2), RadialQuantity::Velocity);
    EXPECT_NEAR(vInch.curves[0].value[0], 1480 / 0.3048, 1e-9);
    EXPECT_NEAR(vInch.curves[4].radius.back(), 12.5 * 0.03937007874, 1e-9);
}

TEST_F(RadialChartsTest, TemperatureChartDrawsEveryCurveInItsPenOnTheScales) {
    const int left = drawRadialTemperatureChart(dc, area, test::sourceIn(dir));
    EXPECT_EQ(left, 93);
    const Rect plot = radialTemperaturePlot(area, TextSize{30, 30}, true);
    EXPECT_EQ(plot, (Rect{93, 103, 510, 427}));
    // Curve 1 once, the others once plain and once two units thick.
    EXPECT_EQ(test::polylinesIn(dc, kRed).size(), 1u);
    const auto blue = test::polylinesIn(dc, kBlue);
    ASSERT_EQ(blue.size(), 3u);
    EXPECT_EQ(blue[0].pen.style, PenStyle::Dot);
    EXPECT_EQ(blue[2].points[0].y, blue[1].points[0].y - 1);
    // The axis point of curve 1: r = 0 on the left edge, 12.3 of 16 kK.
    EXPECT_EQ(test::polylinesIn(dc, kRed)[0].points[0], (Point{93, toDevice(103 + 20.25 * (16 - 12.3))}));
    for (const char* text : {"0", "4", "8", "12", "16", "Temperature, kK", "Radial position, mm"})
        EXPECT_TRUE(test::drew(dc, text)) << text;
    EXPECT_FALSE(test::drew(dc, "Distance:"));
}

TEST_F(RadialChartsTest, VelocityChartCarriesTheLegendOfTheDistances) {
    drawRadialVelocityChart(dc, area, test::sourceIn(dir));
    const Rect plot = radialVelocityPlot(area, TextSize{30, 30}, true);
    EXPECT_EQ(plot.right, 435);
    // Curves 2 to 5 twice in mode 2: four polylines each.
    EXPECT_EQ(test::polylinesIn(dc, kRed).size(), 1u);
    EXPECT_EQ(test::polylinesIn(dc, kOrange).size(), 4u);
    // "10.0 cm" right-aligned at R + 8 digit widths, fifth row, in blue; its
    // sample line doubled one unit higher.
    const DrawCall last = dc.findText("10.0 cm");
    EXPECT_EQ(last.textColour, kBlue);
    EXPECT_EQ(last.points.front(), (Point{435 + 120 - 105, 103 + 300}));
    EXPECT_EQ(dc.findText("0.0 cm").textColour, kRed);
    EXPECT_TRUE(test::drew(dc, "Velocity, 10   m/s"));
    EXPECT_TRUE(test::drew(dc, "2"));

    dc.clear();
    test::resetChartFont();
    drawRadialVelocityChart(dc, area, test::sourceIn(dir, 2));
    for (const char* text :
         {"0.0 in", "4.0 in", "Velocity, ft/s", "Radial position, in", "0.2", "0.5", "2000", "4000"})
        EXPECT_TRUE(test::drew(dc, text)) << text;
    // Plain inches and feet per second: no powers of ten.
    EXPECT_FALSE(test::drew(dc, "-1") || test::drew(dc, "3") || test::drew(dc, "2.0"));
}

TEST_F(RadialChartsTest, MissingOrShortCrossSectionsAreSkippedOrShortened) {
    TempDir partial;
    partial.write("rtu0.res", crossSection(4.0, 13.0, 900));
    partial.write("rtu5.res", "  0.0  12.00   800.00\n  0.1  11.9");  // cut short
    const RadialData t = readRadialData(test::sourceIn(partial), RadialQuantity::Temperature);
    EXPECT_EQ(t.curves[1].radius.size(), 1u);
    EXPECT_TRUE(t.curves[2].radius.empty());
    EXPECT_DOUBLE_EQ(t.radial.end(), 4);  // 4 mm: step 1, 4 intervals

    drawRadialTemperatureChart(dc, area, test::sourceIn(partial));
    EXPECT_EQ(test::polylinesIn(dc, kGreen).size(), 0u);
    // One point: drawn (invisibly) as a curve, no garbage beyond it.
    const auto orange = test::polylinesIn(dc, kOrange);
    ASSERT_EQ(orange.size(), 3u);
    EXPECT_EQ(orange[0].points.size(), 1u);

    // No file at all: bare axes, no curves, and no lone "0" on either axis.
    TempDir empty;
    dc.clear();
    drawRadialVelocityChart(dc, area, test::sourceIn(empty));
    EXPECT_TRUE(dc.callsOf(DrawOp::Polyline).empty());
    int zeros = 0;
    for (const std::string& text : dc.textsDrawn()) zeros += text == "0";
    EXPECT_EQ(zeros, 0);
}

}  // namespace
}  // namespace torvex
