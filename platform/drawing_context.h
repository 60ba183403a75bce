// The drawing layer every chart, page and dialog summary paints through.
// It offers what the painters need and nothing more: styled pens, brushes,
// fonts from a FontDescription (with escapement), text measurement, text
// output placed by the top-left corner, lines, polylines, rectangles and
// images.
// Positions are integer device units with y growing downwards.
//
// Two implementations: PainterContext (painter_context.h) over a QPainter on a
// window, image, PDF file or printer, and RecordingContext
// (recording_context.h), which records every call with fixed glyph metrics so
// that layouts can be tested to the device unit.
//
// Object lifetime: a pen or brush is selected for one element through
// ScopedPen / ScopedBrush, which put the previous one back when they go out of
// scope (the context owns no pen object beyond the selection). A font is
// replaced with selectFont(): the new one is created and selected and the one
// selected before is deleted; it stays selected until the next selectFont().
#pragma once

#include "platform/font_description.h"

#include <string>
#include <vector>

class QImage;

namespace torvex {

struct Rgb {
    int red = 0;
    int green = 0;
    int blue = 0;

    bool operator==(const Rgb& o) const { return red == o.red && green == o.green && blue == o.blue; }
    bool operator!=(const Rgb& o) const { return !(*this == o); }
};

enum class PenStyle { Solid, Dash, Dot, DashDot, DashDotDot, Null };

struct Pen {
    PenStyle style = PenStyle::Solid;
    // Line width, device units; 0 draws one unit wide.
    int width = 1;
    Rgb colour;

    bool operator==(const Pen& o) const { return style == o.style && width == o.width && colour == o.colour; }
    bool operator!=(const Pen& o) const { return !(*this == o); }
};

enum class BrushStyle { Solid, Null };

struct Brush {
    BrushStyle style = BrushStyle::Solid;
    Rgb colour{255, 255, 255};

    bool operator==(const Brush& o) const { return style == o.style && colour == o.colour; }
    bool operator!=(const Brush& o) const { return !(*this == o); }
};

// Text backgrounds: transparent leaves what lies under the text; opaque fills
// each text cell with the background colour first.
enum class BackgroundMode { Transparent, Opaque };

struct Point {
    int x = 0;
    int y = 0;

    bool operator==(const Point& o) const { return x == o.x && y == o.y; }
};

struct TextSize {
    int width = 0;
    int height = 0;

    bool operator==(const TextSize& o) const { return width == o.width && height == o.height; }
};

// A device rectangle: left and top inclusive, right and bottom as the
// painters pass them.
struct Rect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;

    int width() const { return right - left; }
    int height() const { return bottom - top; }
    bool operator==(const Rect& o) const {
        return left == o.left && top == o.top && right == o.right && bottom == o.bottom;
    }
};

// Extent of the drawing surface: resolution in device units and physical size
// in millimetres (0 where the device has none, e.g. a plain image).
struct DeviceSize {
    int dotsAcross = 0;
    int dotsDown = 0;
    int millimetresAcross = 0;
    int millimetresDown = 0;
};

// What a chart tells its device about a plot it draws: the plot rectangle,
// the data coordinates of its corners, and the names and units of its axes,
// so that a window can say which values lie under the pointer. A shown value
// is the data value times its factor (a velocity axis in 100 m/s shows m/s).
// A curve of a plot as drawn: its points in the plot's data coordinates, in
// drawing order, its colour and the label that tells it from the others of the
// plot ("" for a plot's only curve).
struct PlotCurve {
    std::string label;
    std::vector<double> x, y;
    Rgb colour;
};

struct PlotNote {
    Rect plot;
    double xMin = 0, yMax = 0, xMax = 0, yMin = 0;
    std::string xName, xUnit, yName, yUnit;
    double xFactor = 1, yFactor = 1;
    std::vector<PlotCurve> curves;
};

class DrawingContext {
public:
    virtual ~DrawingContext() = default;

    // Selects a pen or a brush and returns the one selected before.
    virtual Pen selectPen(const Pen& pen) = 0;
    virtual Brush selectBrush(const Brush& brush) = 0;

    // Creates a font from the description, selects it and deletes the font
    // selected before.
    virtual void selectFont(const FontDescription& font) = 0;
    virtual const FontDescription& font() const = 0;

    // Advance width and cell height of the text in the selected font (the
    // escapement does not change the extent).
    virtual TextSize textExtent(const std::string& text) const = 0;
    // Width of the font's default glyph, the one drawn for characters the font
    // lacks (such as the string terminator).
    virtual int defaultGlyphWidth() const = 0;
    // Extent of the text measured together with its terminating character:
    // the default glyph's width added.
    TextSize textExtentWithTerminator(const std::string& text) const;

    // Text colour, background mode and background colour; each returns the
    // previous setting.
    virtual Rgb setTextColour(const Rgb& colour) = 0;
    virtual BackgroundMode setBackgroundMode(BackgroundMode mode) = 0;
    virtual Rgb setBackgroundColour(const Rgb& colour) = 0;

    // Draws the text with the top-left corner of its (unrotated) box at (x, y),
    // in the selected font, the text colour and the background mode.
    virtual void textOut(int x, int y, const std::string& text) = 0;

    // Moves the current position; lineTo draws from it with the selected pen
    // and makes the end point the current position.
    virtual void moveTo(int x, int y) = 0;
    virtual void lineTo(int x, int y) = 0;
    // Connected lines through the points with the selected pen (the current
    // position is neither used nor changed).
    virtual void polyline(const std::vector<Point>& points) = 0;
    // Rectangle outlined with the selected pen and filled with the selected
    // brush; right and bottom are exclusive.
    virtual void rectangle(int left, int top, int right, int bottom) = 0;

    // Draws the image stretched to the target rectangle (right and bottom
    // exclusive); a target of the image's own size draws it unscaled.
    virtual void drawImage(const Rect& target, const QImage& image) = 0;

    // Saves or restores pen, brush, font, colours and background mode.
    virtual void saveState() = 0;
    virtual void restoreState() = 0;

    virtual DeviceSize deviceSize() const = 0;

    // Device units per pixel of the 96-dot-per-inch screen the drawings were
    // made for: 1 on a screen, 12.5 on a 1200-dot-per-inch printer. Pen
    // widths and dash lengths scale by it, and so do the chart's tick
    // lengths and the offsets that thicken curves, so paper looks like the
    // screen. Never below 1.
    virtual double unitsPerPixel() const { return 1.0; }

    // Told of each plot a chart draws; devices other than the window ignore it.
    virtual void notePlot(const PlotNote&) {}

    // Convenience: a line from (x0, y0) to (x1, y1), leaving the current
    // position at the end point.
    void line(int x0, int y0, int x1, int y1);
};

// A length given in screen pixels, in device units of the context (at least 1).
int screenPixels(const DrawingContext& dc, int pixels);

// Selects a pen for one element and puts the previous pen back on leaving.
class ScopedPen {
public:
    ScopedPen(DrawingContext& dc, const Pen& pen) : dc_(dc), previous_(dc.selectPen(pen)) {}
    ~ScopedPen() { dc_.selectPen(previous_); }
    ScopedPen(const ScopedPen&) = delete;
    ScopedPen& operator=(const ScopedPen&) = delete;

private:
    DrawingContext& dc_;
    Pen previous_;
};

// Selects a brush for one element and puts the previous brush back on leaving.
class ScopedBrush {
public:
    ScopedBrush(DrawingContext& dc, const Brush& brush) : dc_(dc), previous_(dc.selectBrush(brush)) {}
    ~ScopedBrush() { dc_.selectBrush(previous_); }
    ScopedBrush(const ScopedBrush&) = delete;
    ScopedBrush& operator=(const ScopedBrush&) = delete;

private:
    DrawingContext& dc_;
    Brush previous_;
};

// Saves the whole drawing state and restores it on leaving.
class ScopedState {
public:
    explicit ScopedState(DrawingContext& dc) : dc_(dc) { dc_.saveState(); }
    ~ScopedState() { dc_.restoreState(); }
    ScopedState(const ScopedState&) = delete;
    ScopedState& operator=(const ScopedState&) = delete;

private:
    DrawingContext& dc_;
};

} // namespace torvex
