#include "resources/bitmaps.h"

#include <QFont>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <cmath>
#include <random>

namespace torvex {

namespace {

// ----- plasma: a jet leaving the nozzle ----------------------------------------

constexpr int kPlasmaWidth = 302;
constexpr int kPlasmaHeight = 300;
// The nozzle exit: the jet axis runs from here to the right edge.
constexpr double kNozzleExitX = 74;
constexpr double kJetAxisY = 150;

void paintDarkGround(QPainter& p) {
    QLinearGradient ground(0, 0, 0, kPlasmaHeight);
    ground.setColorAt(0, QColor(12, 14, 34));
    ground.setColorAt(0.5, QColor(22, 18, 48));
    ground.setColorAt(1, QColor(6, 6, 16));
    p.fillRect(0, 0, kPlasmaWidth, kPlasmaHeight, ground);
}

void paintTorchBody(QPainter& p) {
    QLinearGradient metal(0, 95, 0, 205);
    metal.setColorAt(0, QColor(70, 74, 82));
    metal.setColorAt(0.35, QColor(196, 200, 208));
    metal.setColorAt(0.6, QColor(120, 124, 132));
    metal.setColorAt(1, QColor(40, 42, 48));
    p.setPen(Qt::NoPen);
    p.setBrush(metal);
    p.drawRect(QRectF(0, 95, 58, 110));
    // Copper nozzle cone towards the exit.
    QLinearGradient copper(0, 112, 0, 188);
    copper.setColorAt(0, QColor(110, 52, 22));
    copper.setColorAt(0.4, QColor(230, 142, 82));
    copper.setColorAt(1, QColor(90, 40, 16));
    QPainterPath cone;
    cone.moveTo(58, 108);
    cone.lineTo(kNozzleExitX, 124);
    cone.lineTo(kNozzleExitX, 176);
    cone.lineTo(58, 192);
    cone.closeSubpath();
    p.setBrush(copper);
    p.drawPath(cone);
}

// One glowing layer of the jet: an ellipse stretched along the axis, bright
// at the nozzle and fading outwards.
void paintJetLayer(QPainter& p, double length, double halfWidth, const QColor& inner, const QColor& outer) {
    p.save();
    p.translate(kNozzleExitX, kJetAxisY);
    p.scale(length / halfWidth, 1.0);
    QRadialGradient glow(QPointF(0, 0), halfWidth);
    glow.setColorAt(0, inner);
    glow.setColorAt(0.55, outer);
    glow.setColorAt(1, QColor(outer.red(), outer.green(), outer.blue(), 0));
    p.setPen(Qt::NoPen);
    p.setBrush(glow);
    p.drawEllipse(QPointF(0, 0), halfWidth, halfWidth);
    p.restore();
}

void paintJet(QPainter& p) {
    p.setCompositionMode(QPainter::CompositionMode_Plus);
    paintJetLayer(p, 240, 92, QColor(150, 60, 190, 200), QColor(90, 30, 140, 110));
    paintJetLayer(p, 200, 56, QColor(255, 120, 40, 230), QColor(200, 60, 30, 140));
    paintJetLayer(p, 150, 34, QColor(255, 220, 90, 255), QColor(255, 150, 40, 170));
    paintJetLayer(p, 90, 18, QColor(255, 255, 245, 255), QColor(255, 240, 170, 220));
    p.setCompositionMode(QPainter::CompositionMode_SourceOver);
}

// Hot spray particles carried by the jet; a fixed seed keeps the picture the
// same at every start.
void paintParticles(QPainter& p) {
    std::mt19937 random(1957);
    std::uniform_real_distribution<double> along(0.15, 1.0);
    std::normal_distribution<double> across(0.0, 0.28);
    p.setPen(Qt::NoPen);
    for (int i = 0; i < 90; ++i) {
        const double s = along(random);
        const double x = kNozzleExitX + s * (kPlasmaWidth - kNozzleExitX);
        const double y = kJetAxisY + across(random) * (20 + 70 * s);
        const int heat = static_cast<int>(255 * (1.0 - 0.6 * s));
        p.setBrush(QColor(255, heat, heat / 4, 230));
        p.drawEllipse(QPointF(x, y), 1.3, 1.3);
    }
}

// ----- torvex: the lettered product name ----------------------------------------

constexpr int kTorvexWidth = 167;
constexpr int kTorvexHeight = 57;
// The About box shows the picture near its right edge, which cuts a few
// columns off; the lettering keeps clear of them.
constexpr int kLetteringWidth = 150;

QFont letteringFont() {
    QFont f;
    f.setFamilies({QStringLiteral("Times New Roman"), QStringLiteral("Liberation Serif"),
                   QStringLiteral("DejaVu Serif")});
    f.setStyleHint(QFont::Serif);
    f.setItalic(true);
    f.setBold(true);
    f.setPixelSize(38);
    return f;
}

// ----- Inp: half-section of the plasmatron ---------------------------------------

constexpr int kInpWidth = 391;
constexpr int kInpHeight = 487;
constexpr int kAxisX = 150;    // torch axis
constexpr int kBodyLeft = 40;  // outer wall of the casing
constexpr int kBodyRight = 260;
constexpr int kHolderTop = 30;  // cathode holder (insulator)
constexpr int kHolderBottom = 115;
constexpr int kCathodeHalf = 18;  // cathode rod half-width
constexpr int kCathodeTop = 12;
constexpr int kCathodeShoulder = 150;
constexpr int kCathodeTip = 176;
constexpr int kChamberHalf = 52;    // nozzle inlet radius at the holder
constexpr int kChannelHalf = 28;    // anode channel radius (d / 2)
constexpr int kChannelInlet = 198;  // origin 0 of the axes
constexpr int kChannelExit = 400;
constexpr int kGasPassage = 44;  // distance of the gas passages from the axis
constexpr int kGasPassageHalf = 5;

QFont letterFont(int pixels, bool italic) {
    QFont f;
    f.setFamilies({QStringLiteral("Times New Roman"), QStringLiteral("Liberation Serif"),
                   QStringLiteral("DejaVu Serif")});
    f.setStyleHint(QFont::Serif, QFont::NoAntialias);
    f.setStyleStrategy(QFont::NoAntialias);
    f.setItalic(italic);
    f.setPixelSize(pixels);
    return f;
}

void drawArrowHead(QPainter& p, QPointF tip, QPointF from) {
    const double dx = tip.x() - from.x();
    const double dy = tip.y() - from.y();
    const double len = std::hypot(dx, dy);
    const double ux = dx / len;
    const double uy = dy / len;
    const double size = 10;
    const double spread = 4;
    QPolygonF head;
    head << tip << QPointF(tip.x() - ux * size - uy * spread, tip.y() - uy * size + ux * spread)
         << QPointF(tip.x() - ux * size + uy * spread, tip.y() - uy * size - ux * spread);
    p.save();
    p.setBrush(Qt::black);
    p.drawPolygon(head);
    p.restore();
}

void drawArrow(QPainter& p, QPointF from, QPointF to) {
    p.drawLine(from, to);
    drawArrowHead(p, to, from);
}

// Section hatching: parallel lines at 45 degrees inside a region.
void hatch(QPainter& p, const QPainterPath& region, bool rising) {
    p.save();
    p.setClipPath(region);
    const QRectF box = region.boundingRect();
    const double span = box.width() + box.height();
    for (double t = 0; t <= span; t += 8) {
        if (rising) {
            p.drawLine(QPointF(box.left() + t, box.bottom()),
                       QPointF(box.left() + t - box.height(), box.top()));
        } else {
            p.drawLine(QPointF(box.left() + t - box.height(), box.bottom()),
                       QPointF(box.left() + t, box.top()));
        }
    }
    p.restore();
    p.drawPath(region);
}

// The right half of the nozzle (anode) wall in section.
QPainterPath nozzleSection() {
    QPainterPath wall;
    wall.moveTo(kAxisX + kChamberHalf, kHolderBottom);
    wall.lineTo(kBodyRight, kHolderBottom);
    wall.lineTo(kBodyRight, kChannelExit);
    wall.lineTo(kAxisX + kChannelHalf, kChannelExit);
    wall.lineTo(kAxisX + kChannelHalf, kChannelInlet);
    wall.closeSubpath();
    return wall;
}

// The right half of the cathode holder in section, cut by the gas passage.
QPainterPath holderSection() {
    QPainterPath holder;
    holder.addRect(QRectF(kAxisX + kCathodeHalf, kHolderTop, kBodyRight - kAxisX - kCathodeHalf,
                          kHolderBottom - kHolderTop));
    QPainterPath passage;
    passage.addRect(QRectF(kAxisX + kGasPassage - kGasPassageHalf, kHolderTop, 2 * kGasPassageHalf,
                           kHolderBottom - kHolderTop));
    return holder.subtracted(passage);
}

QPainterPath cathodeHalf(int side) {
    QPainterPath c;
    c.moveTo(kAxisX, kCathodeTop);
    c.lineTo(kAxisX + side * kCathodeHalf, kCathodeTop);
    c.lineTo(kAxisX + side * kCathodeHalf, kCathodeShoulder);
    c.lineTo(kAxisX, kCathodeTip);
    c.closeSubpath();
    return c;
}

// The left half: the torch seen from outside, outlines only.
void paintOutsideHalf(QPainter& p) {
    p.drawRect(QRect(kBodyLeft, kHolderTop, kAxisX - kCathodeHalf - kBodyLeft, kHolderBottom - kHolderTop));
    p.drawRect(QRect(kBodyLeft, kHolderBottom, kAxisX - kBodyLeft, kChannelExit - kHolderBottom));
    p.drawPath(cathodeHalf(-1));
}

// The right half: holder, cathode and nozzle cut along the axis.
void paintSectionHalf(QPainter& p) {
    hatch(p, holderSection(), false);
    hatch(p, cathodeHalf(1), false);
    hatch(p, nozzleSection(), true);
}

void paintAxes(QPainter& p) {
    QPen centre(Qt::black, 1, Qt::DashDotLine);
    p.save();
    p.setPen(centre);
    p.drawLine(kAxisX, 4, kAxisX, kChannelInlet);
    p.restore();
    // z along the axis, downwards from the channel inlet.
    drawArrow(p, QPointF(kAxisX, kChannelInlet), QPointF(kAxisX, 472));
    // r across the channel, to the right.
    drawArrow(p, QPointF(kAxisX, kChannelInlet), QPointF(352, kChannelInlet));
    p.setFont(letterFont(24, true));
    p.drawText(QPointF(kAxisX + 8, 478), QStringLiteral("z"));
    p.drawText(QPointF(356, kChannelInlet - 6), QStringLiteral("r"));
    p.setFont(letterFont(20, false));
    p.drawText(QPointF(kAxisX - 18, kChannelInlet + 18), QStringLiteral("0"));
}

void paintGasInflow(QPainter& p) {
    const int right = kAxisX + kGasPassage;
    const int left = kAxisX - kGasPassage;
    drawArrow(p, QPointF(right, 0), QPointF(right, kHolderTop + 40));
    drawArrow(p, QPointF(right, kHolderBottom - 6), QPointF(kAxisX + 30, kChannelInlet - 36));
    p.setFont(letterFont(24, true));
    p.drawText(QPointF(right + 10, 24), QStringLiteral("G"));
    p.save();
    p.setPen(QPen(Qt::black, 1, Qt::DashLine));
    p.drawLine(left, kHolderTop, left, kHolderBottom);
    p.restore();
}

void paintPolarity(QPainter& p) {
    p.setFont(letterFont(30, false));
    // Cathode negative, anode positive.
    p.drawText(QPointF(kAxisX - kCathodeHalf - 34, 26), QStringLiteral("\u2212"));
    p.drawText(QPointF(kBodyRight + 10, 260), QStringLiteral("+"));
}

void paintArcCurrent(QPainter& p) {
    // The arc runs from the cathode tip to the anode wall of the channel.
    QPainterPath arc;
    arc.moveTo(kAxisX, kCathodeTip);
    arc.cubicTo(kAxisX + 4, 250, kAxisX + 20, 300, kAxisX + kChannelHalf - 1, 330);
    p.drawPath(arc);
    drawArrowHead(p, QPointF(kAxisX + kChannelHalf - 1, 330), QPointF(kAxisX + 18, 310));
    p.setFont(letterFont(24, true));
    p.drawText(QPointF(kAxisX + 4, 290), QStringLiteral("I"));
}

void paintDimensions(QPainter& p) {
    // d: the channel diameter under the exit.
    const int dy = 432;
    p.drawLine(kAxisX - kChannelHalf, kChannelExit, kAxisX - kChannelHalf, dy + 8);
    p.drawLine(kAxisX + kChannelHalf, kChannelExit, kAxisX + kChannelHalf, dy + 8);
    drawArrow(p, QPointF(kAxisX, dy), QPointF(kAxisX - kChannelHalf, dy));
    drawArrow(p, QPointF(kAxisX, dy), QPointF(kAxisX + kChannelHalf, dy));
    p.setFont(letterFont(24, true));
    p.drawText(QPointF(kAxisX + kChannelHalf + 8, dy + 8), QStringLiteral("d"));
    // L: the channel length, beside the torch.
    const int lx = 318;
    p.drawLine(kBodyRight, kChannelExit, lx + 8, kChannelExit);
    const int mid = (kChannelInlet + kChannelExit) / 2;
    drawArrow(p, QPointF(lx, mid), QPointF(lx, kChannelInlet));
    drawArrow(p, QPointF(lx, mid), QPointF(lx, kChannelExit));
    p.drawText(QPointF(lx + 10, mid + 8), QStringLiteral("L"));
}

// The About box letters its texts over the picture's right edge: the edge
// fades into the dialog's grey so they stay readable.
void paintFadingEdge(QPainter& p) {
    const double fadeStart = kPlasmaWidth - 120;
    QLinearGradient fade(fadeStart, 0, kPlasmaWidth, 0);
    fade.setColorAt(0, QColor(194, 194, 194, 0));
    fade.setColorAt(0.4, QColor(194, 194, 194, 60));
    fade.setColorAt(0.75, QColor(194, 194, 194, 190));
    fade.setColorAt(0.9, QColor(194, 194, 194, 255));
    p.fillRect(QRectF(fadeStart, 0, kPlasmaWidth - fadeStart, kPlasmaHeight), fade);
}

}  // namespace

QImage plasmaBitmap() {
    QImage image(kPlasmaWidth, kPlasmaHeight, QImage::Format_RGB32);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    paintDarkGround(p);
    paintJet(p);
    paintParticles(p);
    paintTorchBody(p);
    paintFadingEdge(p);
    return image;
}

QImage torvexBitmap() {
    QImage image(kTorvexWidth, kTorvexHeight, QImage::Format_RGB32);
    image.fill(QColor(192, 192, 192));
    QPainter p(&image);
    p.setRenderHint(QPainter::TextAntialiasing);
    QFont font = letteringFont();
    const QString name = QStringLiteral("TORVEX");
    // Shrink the lettering until it fits its width.
    while (QFontMetrics(font).horizontalAdvance(name) > kLetteringWidth - 8 && font.pixelSize() > 10) {
        font.setPixelSize(font.pixelSize() - 1);
    }
    p.setFont(font);
    const QFontMetrics fm(font);
    const int x = (kLetteringWidth - fm.horizontalAdvance(name)) / 2;
    const int y = (kTorvexHeight + fm.ascent() - fm.descent()) / 2;
    p.setPen(QColor(64, 0, 64));
    p.drawText(x + 2, y + 2, name);  // shadow
    p.setPen(QColor(128, 0, 160));
    p.drawText(x, y, name);
    return image;
}

QImage torvexIcon(int size) {
    // Drawn on a 32-unit square scaled to the size asked for.
    constexpr int kIconSize = 32;
    QImage image(size, size, QImage::Format_ARGB32);
    image.fill(QColor(192, 192, 192));
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / double(kIconSize), size / double(kIconSize));
    // The flame leaves the nozzle at the bottom and fades upward.
    QLinearGradient flame(16, 31, 16, 8);
    flame.setColorAt(0.0, QColor(255, 255, 255));
    flame.setColorAt(0.4, QColor(255, 120, 220));
    flame.setColorAt(1.0, QColor(192, 192, 192));
    p.setPen(Qt::NoPen);
    p.setBrush(flame);
    p.drawEllipse(QRectF(9, 8, 14, 26));
    QFont font = letteringFont();
    font.setPixelSize(26);
    p.setFont(font);
    p.setPen(QColor(128, 0, 160));
    p.drawText(QRect(0, 0, kIconSize, kIconSize), Qt::AlignCenter, QStringLiteral("T"));
    return image;
}

QImage inpBitmap() {
    QImage image(kInpWidth, kInpHeight, QImage::Format_RGB32);
    image.fill(Qt::white);
    {
        QPainter p(&image);
        p.setRenderHint(QPainter::Antialiasing, false);
        p.setRenderHint(QPainter::TextAntialiasing, false);
        p.setPen(QPen(Qt::black, 1));
        paintOutsideHalf(p);
        paintSectionHalf(p);
        paintAxes(p);
        paintGasInflow(p);
        paintPolarity(p);
        paintArcCurrent(p);
        paintDimensions(p);
    }
    // Strictly two colours, as a line drawing.
    return image.convertToFormat(QImage::Format_Mono, Qt::ThresholdDither | Qt::MonoOnly)
        .convertToFormat(QImage::Format_RGB32);
}

}  // namespace torvex
