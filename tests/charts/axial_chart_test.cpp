// The axial distribution chart on the recording context: the scales chosen
// from the nozzle-exit values and the jet's length, units, the two plots'
// layout, pens, labels, and a missing file.
#include "charts/axial_chart.h"

#include <gtest/gtest.h>

#include "charts/palette.h"
#include "tests/charts/chart_files.h"

namespace torvex {
namespace {

using test::TempDir;

// Records every 1 mm from the nozzle exit to `endMm`, cooling and slowing
// linearly to a tenth of the exit values.
std::string axisFile(double endMm, double exitKiloKelvin, double exitVelocity) {
    std::string text;
    const int last = static_cast<int>(endMm + 0.5);
    for (int i = 0; i <= last; ++i) {
        const double share = 1.0 - 0.9 * i / last;
        char line[64];
        std::snprintf(line, sizeof line, "%6.1f %6.2f %8.2f\n", i * 1.0, exitKiloKelvin * share,
                      exitVelocity * share);
        text += line;
    }
    return text;
}

class AxialChartTest : public ::testing::Test {
protected:
    void SetUp() override {
        test::resetChartFont();
        dir.write("ztu0.res", axisFile(127, 13.2, 1500));
    }
    TempDir dir;
    RecordingContext dc;
    const Rect area{0, 0, 450, 540};
};

TEST_F(AxialChartTest, ScalesComeFromTheJetsLengthAndItsExitValues) {
    const AxialData data = readAxialData(test::sourceIn(dir));
    // 12.7 cm with 6 wished: step 3, 5 intervals.
    EXPECT_DOUBLE_EQ(data.distanceScale.step, 3);
    EXPECT_EQ(data.distanceScale.intervals, 5);
    EXPECT_DOUBLE_EQ(data.temperatureScale.end(), 16);
    EXPECT_DOUBLE_EQ(data.temperatureScale.step, 4);
    EXPECT_NEAR(data.velocity.front(), 15, 1e-12);
    EXPECT_EQ(data.lastIndex(), 127);

    const AxialData f = readAxialData(test::sourceIn(dir, 1, 2));
    EXPECT_NEAR(f.temperature.front(), 23.3, 0.01);
    // Fahrenheit and inches in steps a reader of those units expects.
    EXPECT_DOUBLE_EQ(f.temperatureScale.step, 5);
    EXPECT_DOUBLE_EQ(f.temperatureScale.end(), 25);

    const AxialData inch = readAxialData(test::sourceIn(dir, 2));
    EXPECT_NEAR(inch.distance.back(), 127 * 0.03937007874, 1e-9);
    EXPECT_NEAR(inch.velocity.front(), 1500 / 0.3048, 1e-9);  // ft/s
    EXPECT_DOUBLE_EQ(inch.velocityScale.step, 1000);
    EXPECT_DOUBLE_EQ(inch.distanceScale.step, 1);
}

TEST_F(AxialChartTest, TwoPlotsShareTheDistanceScaleUnderOneTitle) {
    AxialLayout layout = axialFonts(area);
    // (540 / 12) * 10 / 13 and (540 / 18) * 10 / 13.
    EXPECT_EQ(layout.titleFont, 34);
    EXPECT_EQ(layout.axisFont, 23);
    placeAxialPlots(layout, area, 34);
    EXPECT_EQ(layout.temperaturePlot, (Rect{99, 78, 405, toDevice(85 + (540 - 7.3 * 34) * 0.5)}));
    EXPECT_EQ(layout.velocityPlot.top, toDevice(170 + (540 - 7.3 * 34) * 0.5));
    EXPECT_EQ(layout.velocityPlot.bottom, 455);

    drawAxialChart(dc, area, test::sourceIn(dir));
    const auto temperature = test::polylinesIn(dc, kRed);
    ASSERT_EQ(temperature.size(), 1u);
    EXPECT_EQ(temperature[0].pen, (Pen{PenStyle::Solid, 2, kRed}));
    EXPECT_EQ(temperature[0].points.size(), 128u);
    // 13.2 of 16 kK at the left edge of the upper plot.
    const Rect upper = layout.temperaturePlot;
    EXPECT_EQ(temperature[0].points[0],
              (Point{99, toDevice(upper.top + (upper.bottom - upper.top) / 16.0 * (16 - 13.2))}));
    const auto velocity = test::polylinesIn(dc, kBlue);
    ASSERT_EQ(velocity.size(), 1u);
    EXPECT_EQ(velocity[0].pen, (Pen{PenStyle::DashDot, 2, kBlue}));
    // 12.7 of 15 cm.
    EXPECT_EQ(velocity[0].points.back().x, toDevice(99 + 306 / 15.0 * 12.7));

    // Distance labels "%3.3lg" on both plots; the lower axes drawn twice.
    int twelve = 0;
    for (const std::string& text : dc.textsDrawn()) twelve += text == " 12";
    EXPECT_EQ(twelve, 3);
    for (const char* text :
         {"Axial Distributions", "Temperature, kK", "Velocity, 10   m/s", "2", "Distance, cm"})
        EXPECT_TRUE(test::drew(dc, text)) << text;
    EXPECT_EQ(dc.findText("Axial Distributions").points.front().y, 17);
}

TEST_F(AxialChartTest, UnitsNameTheAxesAndAMissingFileDrawsEmptyPlots) {
    drawAxialChart(dc, area, test::sourceIn(dir, 2, 3));
    for (const char* text : {"Temperature, kC", "Velocity, ft/s", "Distance, in"})
        EXPECT_TRUE(test::drew(dc, text)) << text;

    // No file: bare axes with titles, and no lone "0" claiming a value.
    TempDir empty;
    dc.clear();
    drawAxialChart(dc, area, test::sourceIn(empty));
    EXPECT_TRUE(dc.callsOf(DrawOp::Polyline).empty());
    EXPECT_TRUE(test::drew(dc, "Axial Distributions"));
    EXPECT_TRUE(test::drew(dc, "no results"));
    for (const DrawCall& c : dc.callsOf(DrawOp::TextOut)) {
        if (c.font.escapement != 0) continue;  // the exponent of 10^2 m/s
        EXPECT_NE(c.text.find_first_not_of(" 0123456789."), std::string::npos) << "a tick label: " << c.text;
    }
}

// A file that stops short of the jet's end (a run that stopped) says where
// the results end, in the units of the axes; a whole jet says nothing.
TEST_F(AxialChartTest, AFileCutShortSaysWhereTheResultsEnd) {
    dir.write("ztu0.res", axisFile(40, 13.2, 1500));
    drawAxialChart(dc, area, test::sourceIn(dir));
    const DrawCall note = dc.findText("results end at 40 mm");
    ASSERT_FALSE(note.text.empty());
    EXPECT_EQ(note.textColour, kRed);

    dc.clear();
    drawAxialChart(dc, area, test::sourceIn(dir, 2));
    EXPECT_TRUE(test::drew(dc, "results end at 1.57 in"));

    for (double end : {200.0, 203.2}) {
        dir.write("ztu0.res", axisFile(end, 13.2, 1500) + (end > 200 ? " 203.2   1.40    90.00\n" : ""));
        dc.clear();
        drawAxialChart(dc, area, test::sourceIn(dir));
        for (const std::string& text : dc.textsDrawn()) EXPECT_EQ(text.find("results"), std::string::npos) << end;
    }
}

}  // namespace
}  // namespace torvex
