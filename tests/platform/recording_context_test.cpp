#include "platform/recording_context.h"

#include <QImage>

#include <gtest/gtest.h>

namespace torvex {
namespace {

FontDescription fontOfHeight(int height, int escapement = 0) {
    FontDescription font = initialChartFont();
    font.height = height;
    font.escapement = escapement;
    return font;
}

TEST(RecordingContext, GlyphMetricsAreHalfTheCellHeightPerCharacter) {
    RecordingContext dc;
    dc.selectFont(fontOfHeight(26));
    EXPECT_EQ(dc.textExtent("S"), (TextSize{13, 26}));
    EXPECT_EQ(dc.textExtentWithTerminator("S"), (TextSize{26, 26}));
    EXPECT_EQ(dc.textExtent(""), (TextSize{0, 26}));
    // Code points, not bytes: the degree sign is one glyph.
    EXPECT_EQ(dc.textExtent("\xC2\xB0" "F").width, 26);
    dc.selectFont(fontOfHeight(21, 900));
    EXPECT_EQ(dc.textExtent("abc"), (TextSize{30, 21}));
}

TEST(RecordingContext, RecordsEachCallWithTheStateInForce) {
    RecordingContext dc;
    const Pen dotted{PenStyle::Dot, 1, Rgb{127, 127, 127}};
    {
        ScopedPen pen(dc, dotted);
        dc.line(1, 2, 3, 4);
    }
    dc.lineTo(5, 6);
    dc.setTextColour(Rgb{255, 0, 0});
    dc.setBackgroundMode(BackgroundMode::Transparent);
    dc.textOut(7, 8, "x");
    dc.drawImage(Rect{17, 17, 408, 504}, QImage(391, 487, QImage::Format_RGB32));

    const std::vector<DrawCall> lines = dc.callsOf(DrawOp::LineTo);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0].points, (std::vector<Point>{{1, 2}, {3, 4}}));
    EXPECT_EQ(lines[0].pen, dotted);
    // The scoped pen put the default pen back; lineTo starts at the last end.
    EXPECT_EQ(lines[1].pen, Pen{});
    EXPECT_EQ(lines[1].points, (std::vector<Point>{{3, 4}, {5, 6}}));

    const DrawCall text = dc.findText("x");
    EXPECT_EQ(text.points, (std::vector<Point>{{7, 8}}));
    EXPECT_EQ(text.textColour, (Rgb{255, 0, 0}));
    EXPECT_EQ(text.backgroundMode, BackgroundMode::Transparent);
    EXPECT_TRUE(dc.findText("absent").text.empty());
    const DrawCall image = dc.callsOf(DrawOp::DrawImage).front();
    EXPECT_EQ(image.points, (std::vector<Point>{{17, 17}, {408, 504}}));
    EXPECT_EQ(image.imageSize, (TextSize{391, 487}));
}

TEST(RecordingContext, SavedStateComesBackWhole) {
    RecordingContext dc;
    dc.selectFont(fontOfHeight(30));
    {
        ScopedState state(dc);
        dc.selectFont(fontOfHeight(12, 900));
        dc.selectBrush(Brush{BrushStyle::Null, {}});
        dc.setTextColour(Rgb{1, 2, 3});
    }
    EXPECT_EQ(dc.font().height, 30);
    EXPECT_EQ(dc.font().escapement, 0);
    dc.rectangle(0, 0, 10, 10);
    const DrawCall rect = dc.callsOf(DrawOp::Rectangle).front();
    EXPECT_EQ(rect.brush, Brush{});
    EXPECT_EQ(rect.textColour, Rgb{});
}

} // namespace
} // namespace torvex
