#include "platform/recording_context.h"

#include <QImage>

#include <utility>

namespace torvex {

namespace {

// Code points in a UTF-8 string: every byte that does not continue a sequence.
int codePoints(const std::string& text) {
    int count = 0;
    for (unsigned char c : text) {
        if ((c & 0xC0) != 0x80) ++count;
    }
    return count;
}

} // namespace

RecordingContext::RecordingContext(DeviceSize size) : size_(size) { state_.font = systemFontDescription(); }

void RecordingContext::record(DrawOp op, std::vector<Point> points, const std::string& text) {
    DrawCall call;
    call.op = op;
    call.points = std::move(points);
    call.text = text;
    call.pen = state_.pen;
    call.brush = state_.brush;
    call.font = state_.font;
    call.textColour = state_.textColour;
    call.backgroundColour = state_.backgroundColour;
    call.backgroundMode = state_.backgroundMode;
    calls_.push_back(std::move(call));
}

Pen RecordingContext::selectPen(const Pen& pen) {
    const Pen previous = std::exchange(state_.pen, pen);
    record(DrawOp::SelectPen);
    return previous;
}

Brush RecordingContext::selectBrush(const Brush& brush) {
    const Brush previous = std::exchange(state_.brush, brush);
    record(DrawOp::SelectBrush);
    return previous;
}

void RecordingContext::selectFont(const FontDescription& font) {
    state_.font = font;
    record(DrawOp::SelectFont);
}

TextSize RecordingContext::textExtent(const std::string& text) const {
    return TextSize{codePoints(text) * defaultGlyphWidth(), state_.font.height};
}

int RecordingContext::defaultGlyphWidth() const { return state_.font.height / 2; }

Rgb RecordingContext::setTextColour(const Rgb& colour) {
    const Rgb previous = std::exchange(state_.textColour, colour);
    record(DrawOp::SetTextColour);
    return previous;
}

BackgroundMode RecordingContext::setBackgroundMode(BackgroundMode mode) {
    const BackgroundMode previous = std::exchange(state_.backgroundMode, mode);
    record(DrawOp::SetBackgroundMode);
    return previous;
}

Rgb RecordingContext::setBackgroundColour(const Rgb& colour) {
    const Rgb previous = std::exchange(state_.backgroundColour, colour);
    record(DrawOp::SetBackgroundColour);
    return previous;
}

void RecordingContext::textOut(int x, int y, const std::string& text) { record(DrawOp::TextOut, {{x, y}}, text); }

void RecordingContext::moveTo(int x, int y) {
    position_ = Point{x, y};
    record(DrawOp::MoveTo, {position_});
}

void RecordingContext::lineTo(int x, int y) {
    const Point from = std::exchange(position_, Point{x, y});
    record(DrawOp::LineTo, {from, position_});
}

void RecordingContext::polyline(const std::vector<Point>& points) { record(DrawOp::Polyline, points); }

void RecordingContext::rectangle(int left, int top, int right, int bottom) {
    record(DrawOp::Rectangle, {{left, top}, {right, bottom}});
}

void RecordingContext::drawImage(const Rect& target, const QImage& image) {
    record(DrawOp::DrawImage, {{target.left, target.top}, {target.right, target.bottom}});
    calls_.back().imageSize = TextSize{image.width(), image.height()};
}

void RecordingContext::saveState() {
    saved_.push_back(state_);
    record(DrawOp::SaveState);
}

void RecordingContext::restoreState() {
    if (!saved_.empty()) {
        state_ = saved_.back();
        saved_.pop_back();
    }
    record(DrawOp::RestoreState);
}

std::vector<DrawCall> RecordingContext::callsOf(DrawOp op) const {
    std::vector<DrawCall> found;
    for (const DrawCall& call : calls_) {
        if (call.op == op) found.push_back(call);
    }
    return found;
}

std::vector<std::string> RecordingContext::textsDrawn() const {
    std::vector<std::string> texts;
    for (const DrawCall& call : calls_) {
        if (call.op == DrawOp::TextOut) texts.push_back(call.text);
    }
    return texts;
}

DrawCall RecordingContext::findText(const std::string& text) const {
    for (const DrawCall& call : calls_) {
        if (call.op == DrawOp::TextOut && call.text == text) return call;
    }
    DrawCall none;
    none.op = DrawOp::TextOut;
    return none;
}

} // namespace torvex
