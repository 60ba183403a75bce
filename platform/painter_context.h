// The drawing context over a QPainter: the one back end for the window, for
// images, for PDF files and for printers. The painter must be active; the
// context leaves it in the state it found it when destroyed.
#pragma once

#include "platform/drawing_context.h"

#include <QFont>

#include <vector>

class QPainter;

namespace torvex {

// A Qt font for the description on a device, with the cell height
// (ascent + descent) as close to the description's height as the face allows.
QFont qtFontFor(const FontDescription& font, QPaintDevice* device);

class PainterContext : public DrawingContext {
public:
    // A fresh context as a device starts: black solid pen one unit wide, white
    // brush, the system font, black text on an opaque white background.
    explicit PainterContext(QPainter* painter);
    ~PainterContext() override;
    PainterContext(const PainterContext&) = delete;
    PainterContext& operator=(const PainterContext&) = delete;

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

    DeviceSize deviceSize() const override;
    // From the device's resolution: dots per inch / 96, at least 1.
    double unitsPerPixel() const override;

    // The painter underneath, for what the layer does not cover.
    QPainter* painter() const { return painter_; }

private:
    struct State {
        Pen pen;
        Brush brush;
        FontDescription font;
        QFont qtFont;
        Rgb textColour;
        Rgb backgroundColour{255, 255, 255};
        BackgroundMode backgroundMode = BackgroundMode::Opaque;
    };

    void applyPen();
    void applyBrush();

    QPainter* painter_;
    State state_;
    std::vector<State> saved_;
    Point position_;
};

} // namespace torvex
