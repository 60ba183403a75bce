#include "charts/page_rect.h"
#include "charts/scales.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace torvex {
namespace {

TEST(NiceStep, RoundsTheStepUpWithinItsDecade) {
    const AxisStep distance = niceStep(12.7, 6);  // a = 2.54
    EXPECT_DOUBLE_EQ(distance.step, 3);
    EXPECT_EQ(distance.intervals, 5);
    const AxisStep small = niceStep(0.8, 5);  // a = 0.2
    EXPECT_DOUBLE_EQ(small.step, 0.2);
    EXPECT_EQ(small.intervals, 4);
    const AxisStep hundred = niceStep(100, 5);  // a = 25
    EXPECT_DOUBLE_EQ(hundred.step, 30);
    EXPECT_EQ(hundred.intervals, 4);
    const AxisStep temperature = niceStep(13.2, 5);
    EXPECT_DOUBLE_EQ(temperature.step, 4);
    EXPECT_EQ(temperature.intervals, 4);
    const AxisStep fahrenheit = niceStep(23.3, 5);
    EXPECT_DOUBLE_EQ(fahrenheit.step, 6);
    EXPECT_EQ(fahrenheit.intervals, 4);
}

TEST(NiceStep, DegenerateRangesGiveAZeroStepAndKeepTheCount) {
    EXPECT_EQ(niceStep(0, 6).step, 0);
    EXPECT_EQ(niceStep(0, 6).intervals, 6);
    EXPECT_EQ(niceStep(std::numeric_limits<double>::quiet_NaN(), 5).step, 0);
    EXPECT_EQ(niceStep(std::numeric_limits<double>::infinity(), 5).step, 0);
    // One wished interval would divide by zero; it counts as one interval.
    EXPECT_DOUBLE_EQ(niceStep(7, 1).step, 7);
}

TEST(TickValues, SeriesStartsAtTheMultipleNextToTheStart) {
    EXPECT_EQ(tickValues(0, 0.5, 4), (std::vector<double>{0, 0.5, 1, 1.5, 2}));
    EXPECT_EQ(tickValues(7, 3, 2), (std::vector<double>{6, 9, 12}));
    EXPECT_EQ(tickValues(6, 3, 1), (std::vector<double>{3, 6}));  // exact multiple: one step below
    EXPECT_EQ(tickValues(-7, 3, 2), (std::vector<double>{-6, -3, 0}));
    EXPECT_TRUE(tickValues(0, 1, -1).empty());
    EXPECT_EQ(tickValues(0, 1, 0), (std::vector<double>{0}));
}

TEST(TickValues, AStepThatCannotReachTheStartDoesNotHang) {
    EXPECT_EQ(tickValues(5, 0, 2), (std::vector<double>{5, 5, 5}));
    EXPECT_EQ(tickValues(5, -1, 1), (std::vector<double>{5, 4}));
    EXPECT_EQ(tickValues(1.0e12, 1.0, 0), (std::vector<double>{1.0e12 - 1}));
}

TEST(Mapping, TruncatesTowardZero) {
    const Rect plot{100, 50, 400, 350};
    const DataWindow window{0, 3, 7, 0};  // 300 / 7 units across, 100 down
    EXPECT_EQ(mapCurvePoint(plot, window, 1, 1), (Point{142, 250}));
    EXPECT_EQ(gridLineX(plot, window, 1), 142);
    EXPECT_EQ(gridLineY(plot, window, 1), 250);
    // Left of the plot's origin at x = 0: -0.857... becomes 0, not -1.
    const Rect atOrigin{0, 0, 300, 300};
    EXPECT_EQ(mapCurvePoint(atOrigin, window, -0.02, 3.001).x, 0);
    EXPECT_EQ(mapCurvePoint(atOrigin, window, -0.05, 3.001), (Point{-2, 0}));
    // An empty data window maps everything to the corner instead of dividing by zero.
    EXPECT_EQ(mapCurvePoint(plot, DataWindow{0, 0, 0, 0}, 5, 5), (Point{100, 50}));
    EXPECT_EQ(toDevice(1.0e30), 1000000000);
    EXPECT_EQ(toDevice(std::nan("")), 0);
}

TEST(FormatLabel, PrintfPatternsOfOneReal) {
    EXPECT_EQ(formatLabel("%3.3lg", 12), " 12");
    EXPECT_EQ(formatLabel("%3.3lg", 0.5), "0.5");
    EXPECT_EQ(formatLabel("%lg", 9.727), "9.727");
    EXPECT_EQ(formatLabel("%-3.1lf", 0.5), "0.5");
    EXPECT_EQ(formatLabel("%-lg", 10), "10");
    EXPECT_EQ(formatLabel("%3.0lf %%", 57.6), " 58 %");
    // Patterns that would read missing arguments fall back to "%lg".
    EXPECT_EQ(formatLabel("%s", 2.5), "2.5");
    EXPECT_EQ(formatLabel("%lg %lg", 2.5), "2.5");
    EXPECT_EQ(formatLabel("no value", 2.5), "2.5");
}

TEST(PrintPageRect, PortraitAndLandscapeSheets) {
    EXPECT_EQ(printPageRect(DeviceSize{2480, 3508, 210, 297}), (Rect{275, 286, 2315, 1673}));
    // Landscape: 25 mm right, 26 mm top, 16 mm bottom, width 1.47 of the height.
    EXPECT_EQ(printPageRect(DeviceSize{3508, 2480, 297, 210}), (Rect{266, 286, 3233, 2304}));
    // No physical size known: the whole surface.
    EXPECT_EQ(printPageRect(DeviceSize{640, 480, 0, 0}), (Rect{0, 0, 640, 480}));
}

} // namespace
} // namespace torvex
