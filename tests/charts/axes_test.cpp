#include "charts/axes.h"
#include "charts/chart_font.h"
#include "charts/formula.h"
#include "platform/recording_context.h"

#include <gtest/gtest.h>

namespace torvex {
namespace {

// A recording context with a 20-unit chart font: glyphs 10 units wide.
class AxisTest : public ::testing::Test {
protected:
    void SetUp() override {
        chartFont() = initialChartFont();
        replaceFont(dc, 20, 0);
        dc.clear();
    }

    std::vector<DrawCall> lines() const { return dc.callsOf(DrawOp::LineTo); }

    RecordingContext dc;
    const std::vector<double> ticks{0, 5, 10};
};

TEST_F(AxisTest, HorizontalLabelsAreCentredUnderTheTickHalfATextHeightDown) {
    drawXAxis(dc, 400, 100, 300, 0, 10, 3, 6, ticks, "%lg");
    ASSERT_EQ(lines().size(), 4u);
    EXPECT_EQ(lines()[0].points, (std::vector<Point>{{100, 400}, {300, 400}}));
    EXPECT_EQ(lines()[2].points, (std::vector<Point>{{200, 406}, {200, 400}}));
    EXPECT_EQ(dc.textsDrawn(), (std::vector<std::string>{"0", "5", "10"}));
    EXPECT_EQ(dc.findText("5").points.front(), (Point{195, 410}));
    EXPECT_EQ(dc.findText("10").points.front(), (Point{290, 410}));
}

TEST_F(AxisTest, FixedAxisMeasuresItsLabelsWithTheTerminator) {
    drawXAxisFixed(dc, 400, 100, 300, 0, 10, 2, 6, ticks);
    EXPECT_EQ(lines()[2].points, (std::vector<Point>{{200, 400}, {200, 406}}));
    // "  5" is three glyphs plus the terminator: 40 wide, so 20 left of the tick.
    EXPECT_EQ(dc.findText("  5").points.front(), (Point{180, 410}));
}

TEST_F(AxisTest, ScaledAxisPrintsTheValueTimesTheFactor) {
    drawXAxisScaled(dc, 400, 100, 300, 0, 10, 3, 6, ticks, "%-3.1lf", 10);
    EXPECT_EQ(dc.textsDrawn(), (std::vector<std::string>{"0.0", "50.0", "100.0"}));
}

TEST_F(AxisTest, CountsOfZeroAndBelow) {
    drawXAxis(dc, 400, 100, 300, 0, 10, 0, 6, ticks, "%lg");
    EXPECT_EQ(lines().size(), 1u);
    EXPECT_TRUE(dc.textsDrawn().empty());
    dc.clear();
    drawXAxisFixed(dc, 400, 100, 300, 0, 10, 0, 6, ticks);
    EXPECT_EQ(lines().size(), 2u);
    EXPECT_EQ(dc.textsDrawn(), (std::vector<std::string>{"  0"}));
    dc.clear();
    drawYAxis(dc, 100, 500, 100, 4, 0, -1, 6, ticks);
    EXPECT_EQ(lines().size(), 1u);
    dc.clear();
    // More ticks asked for than values given: only the values given.
    drawXAxisFixed(dc, 400, 100, 300, 0, 10, 9, 6, ticks);
    EXPECT_EQ(dc.textsDrawn().size(), 3u);
}

TEST_F(AxisTest, VerticalLabelsAreRightAlignedWithATerminatorGap) {
    const std::vector<double> values{0, 1, 2, 3, 4};
    drawYAxis(dc, 100, 500, 100, 4, 0, 4, 6, values);
    EXPECT_EQ(lines()[0].points, (std::vector<Point>{{100, 500}, {100, 100}}));
    EXPECT_EQ(lines()[2].points, (std::vector<Point>{{94, 400}, {100, 400}}));
    // "1" plus terminator is 20 wide: its glyph ends 10 units before the axis.
    EXPECT_EQ(dc.findText("1").points.front(), (Point{80, 390}));

    dc.clear();
    drawYAxisScaled(dc, 100, 100, 500, 4, 0, 4, 6, values, "%-3.1lf", 10);
    EXPECT_EQ(dc.findText("10.0").points.front(), (Point{50, 390}));

    dc.clear();
    drawYAxisFormatted(dc, 100, 100, 500, 0.2, 0, 2, 6, {0, 0.1, 0.2}, "%-3.1lf");
    EXPECT_EQ(dc.findText("0.1").points.front(), (Point{60, 290}));
}

TEST_F(AxisTest, GridsAndCurvesFollowTheMapping) {
    const Rect plot{100, 100, 300, 300};
    const DataWindow window{0, 4, 10, 0};
    drawVerticalGrid(dc, plot, window, 2, ticks);
    drawHorizontalGrid(dc, plot, window, 1, {0, 1});
    ASSERT_EQ(lines().size(), 5u);
    EXPECT_EQ(lines()[1].points, (std::vector<Point>{{200, 300}, {200, 100}}));
    EXPECT_EQ(lines()[4].points, (std::vector<Point>{{100, 250}, {300, 250}}));

    dc.clear();
    drawCurve(dc, 1, {0, 10}, {4, 0}, kCurveDouble, plot, window);
    const std::vector<DrawCall> polylines = dc.callsOf(DrawOp::Polyline);
    ASSERT_EQ(polylines.size(), 2u);
    EXPECT_EQ(polylines[0].points, (std::vector<Point>{{100, 100}, {300, 300}}));
    EXPECT_EQ(polylines[1].points, (std::vector<Point>{{100, 99}, {300, 299}}));

    dc.clear();
    drawCurve(dc, 0, {5}, {2}, kCurveDouble, plot, window);
    EXPECT_EQ(dc.callsOf(DrawOp::Polyline).size(), 2u);
    dc.clear();
    drawCurve(dc, 3, {0, 10}, {4, 0}, kCurveSingle, plot, window);
    EXPECT_EQ(dc.callsOf(DrawOp::Polyline).front().points.size(), 2u);
}

TEST_F(AxisTest, FormulaSubscriptSitsHalfACellAfterTheTextAndLower) {
    double cursor = 100;
    drawFormulaN2(dc, 20, cursor, 10, 50);
    // "N" at 16 units is 8 wide; "2" at 14 units is 7 wide, half a cell 3;
    // the drop is 0.4 of the 20-unit "S" height, 8.
    EXPECT_EQ(cursor, 108);
    const DrawCall main = dc.findText("N");
    EXPECT_EQ(main.points.front(), (Point{110, 50}));
    EXPECT_EQ(main.font.height, 16);
    EXPECT_EQ(main.font.face, "MS Sans Serif");
    const DrawCall subscript = dc.findText("2");
    EXPECT_EQ(subscript.points.front(), (Point{121, 58}));
    EXPECT_EQ(subscript.font.height, 14);
    EXPECT_EQ(subscript.font.face, "Arial");
    EXPECT_EQ(chartFont().height, 14);

    cursor = 0;
    drawFormulaArH2(dc, 10, cursor, 0, 0);
    EXPECT_EQ(cursor, 48);  // "Ar + H": six glyphs of 8
    EXPECT_EQ(dc.callsOf(DrawOp::TextOut).back().points.front(), (Point{51, 4}));
}

TEST_F(AxisTest, ReplaceFontKeepsTheOtherFieldsOfTheChartFont) {
    chartFont().face = "Times";
    chartFont().weight = 700;
    replaceFont(dc, 33, 900);
    EXPECT_EQ(dc.font().face, "Times");
    EXPECT_EQ(dc.font().height, 33);
    EXPECT_EQ(dc.font().weight, 400);
    EXPECT_EQ(dc.font().escapement, 900);
    EXPECT_EQ(sampleSize(dc), (TextSize{32, 33}));
}

} // namespace
} // namespace torvex
