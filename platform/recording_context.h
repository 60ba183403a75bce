// A drawing context that draws nothing and records every call, for tests of
// layouts to the device unit.
//
// Glyph metrics are fixed so that expected positions can be worked out by
// hand: with a font of height h (the description's cell height),
//   - every character (UTF-8 code point) is h / 2 units wide (integer halving),
//   - every text is h units high, whatever its escapement,
//   - the default glyph (the terminator) is h / 2 wide as well,
// so "S" measured with the terminator in a 26-unit font is 26 x 26.
// The device is 1000 x 700 units, 0 x 0 mm unless given.
#pragma once

#include "platform/drawing_context.h"

#include <string>
#include <vector>

namespace torvex {

enum class DrawOp {
    SelectPen,
    SelectBrush,
    SelectFont,
    SetTextColour,
    SetBackgroundMode,
    SetBackgroundColour,
    TextOut,
    MoveTo,
    LineTo,
    Polyline,
    Rectangle,
    DrawImage,
    SaveState,
    RestoreState,
};

// One recorded call with the drawing state in force when it was made.
struct DrawCall {
    DrawOp op = DrawOp::MoveTo;
    // TextOut, MoveTo: the position. LineTo: start and end. Polyline: every
    // point. Rectangle: top-left and bottom-right (exclusive).
    std::vector<Point> points;
    std::string text;  // TextOut only
    TextSize imageSize;  // DrawImage only: the image's own size
    Pen pen;
    Brush brush;
    FontDescription font;
    Rgb textColour;
    Rgb backgroundColour;
    BackgroundMode backgroundMode = BackgroundMode::Opaque;
};

class RecordingContext : public DrawingContext {
public:
    explicit RecordingContext(DeviceSize size = DeviceSize{1000, 700, 0, 0});

    Pen selectPen(const Pen& pen) override;
    Brush selectBrush(const Brush& brush) override;
    void selectFont(const FontDescription& font) override;
    const FontDescription& font() const override { return state_.font; }

    TextSize textExtent(const std::string& text) const override;
    int defaultGlyphWidth() const override;

    Rgb setTextColour(const Rgb& colour) override;
    BackgroundMode setBackgroundMode(BackgroundMode mode) override;
    Rgb setBackgroundColour(const Rgb& colour) override;

    void textOut(int x, int y, const std::string& text) override;
    void moveTo(int x, int y) override;
    void lineTo(int x, int y) override;
    void polyline(const std::vector<Point>& points) override;
    void rectangle(int left, int top, int right, int bottom) override;
    void drawImage(const Rect& target, const QImage& image) override;

    void saveState() override;
    void restoreState() override;

    DeviceSize deviceSize() const override { return size_; }

    // Everything recorded, in order.
    const std::vector<DrawCall>& calls() const { return calls_; }
    // The recorded calls of one kind, in order.
    std::vector<DrawCall> callsOf(DrawOp op) const;
    // The texts drawn, in order.
    std::vector<std::string> textsDrawn() const;
    // The first TextOut of this text; a call with an empty text if none.
    DrawCall findText(const std::string& text) const;
    void clear() { calls_.clear(); }

private:
    struct State {
        Pen pen;
        Brush brush;
        FontDescription font;
        Rgb textColour;
        Rgb backgroundColour{255, 255, 255};
        BackgroundMode backgroundMode = BackgroundMode::Opaque;
    };

    void record(DrawOp op, std::vector<Point> points = {}, const std::string& text = {});

    DeviceSize size_;
    State state_;
    std::vector<State> saved_;
    Point position_;
    std::vector<DrawCall> calls_;
};

} // namespace torvex
