#include "platform/painter_context.h"

#include <QColor>
#include <QFontMetrics>
#include <QFontMetricsF>
#include <QImage>
#include <QPaintDevice>
#include <QPainter>
#include <QPen>
#include <QPolygon>
#include <QRawFont>
#include <QString>
#include <QVector>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <utility>

namespace torvex {

namespace {

// Size the probe font is measured at when fitting a cell height.
constexpr int kProbePixelSize = 1000;
// Cell height used for a description that leaves the height to the device.
constexpr int kDefaultCellHeight = 16;

QColor toQColor(const Rgb& c) { return QColor(c.red, c.green, c.blue); }

QString toQString(const std::string& text) { return QString::fromUtf8(text.data(), static_cast<int>(text.size())); }

QFont::StyleHint styleHintFor(int pitchAndFamily) {
    switch (pitchAndFamily & 0xF0) {
        case 0x10: return QFont::Serif;       // roman
        case 0x20: return QFont::SansSerif;   // swiss
        case 0x30: return QFont::TypeWriter;  // modern
        case 0x40: return QFont::Cursive;     // script
        case 0x50: return QFont::Decorative;  // decorative
        default: return QFont::AnyStyle;
    }
}

QFontMetricsF metricsOn(const QFont& font, QPaintDevice* device) {
    return device ? QFontMetricsF(font, device) : QFontMetricsF(font);
}

// Dash patterns in units of the pen width, like a display's styled pens:
// long dashes, short dots and their combinations.
QVector<qreal> dashPattern(PenStyle style) {
    switch (style) {
        case PenStyle::Dash: return {18, 6};
        case PenStyle::Dot: return {3, 3};
        case PenStyle::DashDot: return {9, 6, 3, 6};
        case PenStyle::DashDotDot: return {9, 3, 3, 3, 3, 3};
        default: return {};
    }
}

// The pen on a device with `unitsPerPixel` device units to a screen pixel:
// the width scales, and the dash pattern, counted in pen widths, with it.
QPen toQPen(const Pen& pen, double unitsPerPixel) {
    if (pen.style == PenStyle::Null) return QPen(Qt::NoPen);
    QPen qpen(toQColor(pen.colour));
    qpen.setWidth(std::max(1, static_cast<int>(std::lround(std::max(1, pen.width) * unitsPerPixel))));
    qpen.setCapStyle(Qt::FlatCap);
    qpen.setJoinStyle(Qt::MiterJoin);
    if (pen.style != PenStyle::Solid) qpen.setDashPattern(dashPattern(pen.style));
    return qpen;
}

QBrush toQBrush(const Brush& brush) {
    if (brush.style == BrushStyle::Null) return QBrush(Qt::NoBrush);
    return QBrush(toQColor(brush.colour));
}

} // namespace

QFont qtFontFor(const FontDescription& d, QPaintDevice* device) {
    QFont font(toQString(d.face));
    font.setStyleHint(styleHintFor(d.pitchAndFamily));
    font.setFixedPitch((d.pitchAndFamily & 0x03) == kFixedPitch);
    font.setWeight(static_cast<QFont::Weight>(d.weight <= 0 ? 400 : std::clamp(d.weight, 1, 1000)));
    font.setItalic(d.italic);
    font.setUnderline(d.underline);
    font.setStrikeOut(d.strikeOut);
    // Glyphs advance by their own widths, without pair kerning, so that a text
    // measures the sum of its characters on every device.
    font.setKerning(false);

    if (d.height < 0) {
        // A negative height asks for the em height itself.
        font.setPixelSize(std::max(1, -d.height));
    } else {
        // A positive height is the whole character cell: scale the em so that
        // ascent + descent come out at that height.
        const int cell = d.height == 0 ? kDefaultCellHeight : d.height;
        font.setPixelSize(kProbePixelSize);
        const QFontMetricsF probe = metricsOn(font, device);
        const double probeCell = probe.ascent() + probe.descent();
        const double scale = probeCell > 0 ? kProbePixelSize / probeCell : 1.0;
        font.setPixelSize(std::max(1, static_cast<int>(std::lround(cell * scale))));
    }
    if (d.width > 0) {
        const double average = metricsOn(font, device).averageCharWidth();
        if (average > 0) font.setStretch(std::clamp(static_cast<int>(std::lround(100.0 * d.width / average)), 1, 4000));
    }
    return font;
}

PainterContext::PainterContext(QPainter* painter) : painter_(painter) {
    painter_->save();
    painter_->setRenderHint(QPainter::Antialiasing, false);
    painter_->setRenderHint(QPainter::TextAntialiasing, true);
    state_.pen = Pen{PenStyle::Solid, 1, Rgb{0, 0, 0}};
    state_.brush = Brush{BrushStyle::Solid, Rgb{255, 255, 255}};
    state_.font = systemFontDescription();
    state_.qtFont = qtFontFor(state_.font, painter_->device());
    applyPen();
    applyBrush();
}

PainterContext::~PainterContext() { painter_->restore(); }

void PainterContext::applyPen() { painter_->setPen(toQPen(state_.pen, unitsPerPixel())); }

void PainterContext::applyBrush() { painter_->setBrush(toQBrush(state_.brush)); }

Pen PainterContext::selectPen(const Pen& pen) {
    const Pen previous = std::exchange(state_.pen, pen);
    applyPen();
    return previous;
}

Brush PainterContext::selectBrush(const Brush& brush) {
    const Brush previous = std::exchange(state_.brush, brush);
    applyBrush();
    return previous;
}

void PainterContext::selectFont(const FontDescription& font) {
    state_.font = font;
    state_.qtFont = qtFontFor(font, painter_->device());
}

TextSize PainterContext::textExtent(const std::string& text) const {
    const QFontMetrics metrics(state_.qtFont, painter_->device());
    return TextSize{metrics.horizontalAdvance(toQString(text)), metrics.ascent() + metrics.descent()};
}

int PainterContext::defaultGlyphWidth() const {
    // Glyph 0 of a font is its default glyph (the box drawn for characters the
    // font lacks, such as the terminator).
    const QRawFont raw = QRawFont::fromFont(state_.qtFont);
    if (raw.isValid()) {
        const QList<QPointF> advances = raw.advancesForGlyphIndexes(QList<quint32>{0});
        if (!advances.isEmpty() && advances.front().x() > 0) return static_cast<int>(std::lround(advances.front().x()));
    }
    return QFontMetrics(state_.qtFont, painter_->device()).averageCharWidth();
}

Rgb PainterContext::setTextColour(const Rgb& colour) { return std::exchange(state_.textColour, colour); }

BackgroundMode PainterContext::setBackgroundMode(BackgroundMode mode) {
    return std::exchange(state_.backgroundMode, mode);
}

Rgb PainterContext::setBackgroundColour(const Rgb& colour) { return std::exchange(state_.backgroundColour, colour); }

void PainterContext::textOut(int x, int y, const std::string& text) {
    const QString qtext = toQString(text);
    const QFontMetrics metrics(state_.qtFont, painter_->device());
    painter_->save();
    painter_->setFont(state_.qtFont);
    painter_->translate(x, y);
    // Escapement turns the text counter-clockwise about its top-left corner;
    // the painter's y axis points down, so the angle is negated.
    if (state_.font.escapement != 0) painter_->rotate(-state_.font.escapement / 10.0);
    if (state_.backgroundMode == BackgroundMode::Opaque) {
        painter_->fillRect(QRect(0, 0, metrics.horizontalAdvance(qtext), metrics.ascent() + metrics.descent()),
                           toQColor(state_.backgroundColour));
    }
    painter_->setPen(toQColor(state_.textColour));
    painter_->drawText(QPoint(0, metrics.ascent()), qtext);
    painter_->restore();
}

void PainterContext::moveTo(int x, int y) { position_ = Point{x, y}; }

void PainterContext::lineTo(int x, int y) {
    if (state_.pen.style != PenStyle::Null) painter_->drawLine(position_.x, position_.y, x, y);
    position_ = Point{x, y};
}

void PainterContext::polyline(const std::vector<Point>& points) {
    // A polyline needs two points; a single point draws nothing.
    if (points.size() < 2 || state_.pen.style == PenStyle::Null) return;
    QPolygon polygon;
    polygon.reserve(static_cast<int>(points.size()));
    for (const Point& p : points) polygon << QPoint(p.x, p.y);
    painter_->drawPolyline(polygon);
}

void PainterContext::rectangle(int left, int top, int right, int bottom) {
    if (left > right) std::swap(left, right);
    if (top > bottom) std::swap(top, bottom);
    if (right - left < 1 || bottom - top < 1) return;
    painter_->drawRect(QRect(QPoint(left, top), QPoint(right - 1, bottom - 1)));
}

void PainterContext::drawImage(const Rect& target, const QImage& image) {
    if (image.isNull() || target.width() <= 0 || target.height() <= 0) return;
    painter_->drawImage(QRect(target.left, target.top, target.width(), target.height()), image);
}

void PainterContext::saveState() { saved_.push_back(state_); }

void PainterContext::restoreState() {
    if (saved_.empty()) return;
    state_ = saved_.back();
    saved_.pop_back();
    applyPen();
    applyBrush();
}

double PainterContext::unitsPerPixel() const {
    // The screens the drawings were made for show 96 dots per inch.
    constexpr double kScreenDotsPerInch = 96.0;
    const QPaintDevice* device = painter_->device();
    if (!device) return 1.0;
    return std::max(1.0, device->logicalDpiY() / kScreenDotsPerInch);
}

DeviceSize PainterContext::deviceSize() const {
    const QPaintDevice* device = painter_->device();
    if (!device) return DeviceSize{};
    return DeviceSize{device->width(), device->height(), device->widthMM(), device->heightMM()};
}

} // namespace torvex
