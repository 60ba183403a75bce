// The isothermal-lines chart on the recording context: where the curves end,
// which tick tables the jet's extent selects, the units of both axes, the
// legend, and a missing file.
#include "charts/isotherm_chart.h"

#include <gtest/gtest.h>

#include "charts/palette.h"
#include "tests/charts/chart_files.h"

namespace torvex {
namespace {

using test::TempDir;

// Records every 0.7 cm: the level-1 radius opens, stays open and closes at
// `closeMm` (0 keeps it open to the end); the other levels at fixed fractions.
std::string isothermFile(double peakMm, double closeMm, int records = 12) {
    std::string text;
    for (int i = 0; i < records; ++i) {
        const double z = i * 7.0;
        double r1 = i == 0 ? 0 : peakMm * (i % 3 == 0 ? 1.0 : 0.8);
        if (closeMm > 0 && z >= closeMm) r1 = 0;
        char line[96];
        std::snprintf(line, sizeof line, "%6.1f %6.3f %6.3f %6.3f %6.3f %6.3f\n", z, r1, r1 * 0.8, r1 * 0.6,
                      r1 * 0.4, 0.0);
        text += line;
    }
    return text;
}

class IsothermChartTest : public ::testing::Test {
protected:
    void SetUp() override { test::resetChartFont(); }
    TempDir dir;
    RecordingContext dc;
    // Axis font 540 / 18 = 30: "S" with its terminator 30 x 30.
    const Rect area{0, 0, 900, 540};
};

TEST_F(IsothermChartTest, TheLowestIsothermClosingEndsEveryCurveAndPicksTheTables) {
    dir.write("ilt.res", isothermFile(6.2, 63));
    const IsothermData data = readIsothermData(dir.file("ilt.res"), 1);
    // Records at 0, 7, ..., 63 mm: the closing record is the last point.
    ASSERT_EQ(data.distance.size(), 10u);
    EXPECT_DOUBLE_EQ(data.distance.back(), 6.3);
    EXPECT_DOUBLE_EQ(data.cutDistanceCm, 6.3);
    EXPECT_DOUBLE_EQ(data.largestRadiusMm, 6.2);
    for (const auto& level : data.radius) EXPECT_EQ(level.size(), 10u);

    const IsothermAxes shortWide = isothermAxes(1, 6.3, 6.2);
    EXPECT_DOUBLE_EQ(shortWide.distanceEnd(), 10);
    EXPECT_EQ(shortWide.distanceTicks.size(), 11u);
    EXPECT_DOUBLE_EQ(shortWide.radialEnd(), 10);
    const IsothermAxes longNarrow = isothermAxes(1, 12.0, 4.9);
    EXPECT_DOUBLE_EQ(longNarrow.distanceEnd(), 20);
    EXPECT_DOUBLE_EQ(longNarrow.radialEnd(), 5);
    EXPECT_EQ(longNarrow.radialTicks.size(), 6u);

    // Never closing: drawn to the last record on the long table.
    dir.write("ilt.res", isothermFile(4.0, 0));
    const IsothermData open = readIsothermData(dir.file("ilt.res"), 1);
    EXPECT_EQ(open.distance.size(), 12u);
    EXPECT_DOUBLE_EQ(open.cutDistanceCm, 20);
    // Fewer than three records never close, and leave the radius figure at 0.
    dir.write("ilt.res", "  0.0 4 3 2 1 0\n  0.5 0 0 0 0 0\n");
    EXPECT_DOUBLE_EQ(readIsothermData(dir.file("ilt.res"), 1).cutDistanceCm, 20);
}

TEST_F(IsothermChartTest, CurvesAreMappedIntoThePlotWithTheLegendBeside) {
    dir.write("ilt.res", isothermFile(6.2, 63));
    const int left = drawIsothermChart(dc, area, test::sourceIn(dir));
    // L = 3.1 sx, R = c - 5.5 sx, T = 3.45 sy, B = d - 3.75 sy with sx = sy = 30.
    EXPECT_EQ(left, 93);
    const Rect plot = isothermPlot(area, TextSize{30, 30}, true);
    EXPECT_EQ(plot, (Rect{93, 103, 735, 427}));

    // Level 1 (blue) once; its legend sample is a line, its curve a polyline.
    const auto blue = test::polylinesIn(dc, kBlue);
    ASSERT_EQ(blue.size(), 1u);
    EXPECT_EQ(blue[0].pen, (Pen{PenStyle::Solid, 2, kBlue}));
    ASSERT_EQ(blue[0].points.size(), 10u);
    // 6.3 cm on 0..10 cm over 642 units; radius 0 on the bottom edge.
    EXPECT_EQ(blue[0].points.back(), (Point{497, 427}));
    EXPECT_EQ(blue[0].points.front(), (Point{93, 427}));
    // 6.2 mm on 0..10 mm over 324 units, measured down from the top.
    EXPECT_EQ(blue[0].points[9 - 6].y, toDevice(103 + 32.4 * (10 - 6.2)));

    // Levels 2 to 5 are two units thick: a second polyline one unit higher.
    const auto orange = test::polylinesIn(dc, kOrange);
    ASSERT_EQ(orange.size(), 2u);
    EXPECT_EQ(orange[1].points[0].y, orange[0].points[0].y - 1);
    // Level 5, never reached (radius 0 throughout), has no curve along r = 0.
    EXPECT_TRUE(test::polylinesIn(dc, kRed).empty());

    // Legend: "10 kK" right-aligned at R + 6 digit widths (digit 15), five rows down.
    const DrawCall label = dc.findText("10 kK");
    EXPECT_EQ(label.textColour, kRed);
    EXPECT_EQ(label.points.front(), (Point{735 + 90 - 75, 103 + 10 * 30}));
    EXPECT_EQ(dc.findText("Temperature:").points.front(), (Point{toDevice(735 + 0.19090909 * 195), 103}));
    // Labels sit on white cells over the grid.
    EXPECT_EQ(label.backgroundMode, BackgroundMode::Opaque);
    EXPECT_TRUE(test::drew(dc, "Isothermal Lines"));
    EXPECT_TRUE(test::drew(dc, "Radial position, mm"));
    EXPECT_TRUE(test::drew(dc, "Distance, cm"));
    EXPECT_EQ(dc.findText("Radial position, mm").font.escapement, 900);
}

TEST_F(IsothermChartTest, InchModeAndTemperatureUnitsLabelTheAxesAndLegend) {
    // A narrow, short jet: Rmax 4 mm, closed at 42 mm.
    dir.write("ilt.res", isothermFile(4.0, 42));
    const IsothermData data = readIsothermData(dir.file("ilt.res"), 2);
    EXPECT_NEAR(data.distance[1], 7 * 0.03937007874, 1e-12);
    EXPECT_NEAR(data.radius[0][3], 4 * 0.03937007874, 1e-12);
    // The thresholds still compare centimetres and millimetres.
    EXPECT_DOUBLE_EQ(data.cutDistanceCm, 4.2);

    drawIsothermChart(dc, area, test::sourceIn(dir, 2, 2));
    for (const char* text : {"0.00", "0.05", "0.10", "0.15", "0.20", "4.0", "Radial position, in",
                             "Distance, in", "3 kF", "7 kF", "11 kF", "15 kF", "19 kF"})
        EXPECT_TRUE(test::drew(dc, text)) << text;
    EXPECT_FALSE(test::drew(dc, "2 kK"));
    EXPECT_FALSE(test::drew(dc, "-1"));  // plain inches, not tenths under a power of ten
}

TEST_F(IsothermChartTest, AMissingFileDrawsTheEmptyChart) {
    const int left = drawIsothermChart(dc, area, test::sourceIn(dir));
    EXPECT_EQ(left, 93);
    EXPECT_TRUE(dc.callsOf(DrawOp::Polyline).empty());
    EXPECT_TRUE(test::drew(dc, "Isothermal Lines"));
    EXPECT_TRUE(test::drew(dc, "20"));
    EXPECT_TRUE(test::drew(dc, "5"));
}

}  // namespace
}  // namespace torvex
