#include "variant/summary_painter.h"

#include <QImage>
#include <QPainter>
#include <QRect>

#include "charts/palette.h"
#include "resources/bitmaps.h"
#include "shell/torvex_dialog.h"
#include "pages/summary_text.h"

#include <QPainter>

#include <string>
#include <vector>

namespace torvex {

namespace {

constexpr int kHeadingHeight = 24;
constexpr int kLineHeight = 18;
constexpr int kSubscriptHeight = 14;
constexpr int kInputtedTop = 60;
constexpr int kCalculatedTop = 280;
constexpr int kLinePitch = 30;

void selectArial(DrawingContext& dc, int height) {
    FontDescription font;
    font.face = "Arial";
    font.height = height;
    font.weight = 400;
    dc.selectFont(font);
}

void drawHeading(DrawingContext& dc, int y, const char* text) {
    selectArial(dc, kHeadingHeight);
    dc.setTextColour(kRed);
    dc.textOut(kSummaryLeft, y, text);
}

// Lines 40 pixels below the heading, 30 apart.
void drawLines(DrawingContext& dc, int headingTop, const std::vector<std::string>& lines) {
    selectArial(dc, kLineHeight);
    dc.setTextColour(kBlack);
    int y = headingTop + 40;
    for (const std::string& line : lines) {
        if (!line.empty()) dc.textOut(kSummaryLeft, y, line);
        y += kLinePitch;
    }
}

// The "2" of the formula, half a line lower and smaller, just after the text
// that precedes it on the gas line.
void drawGasSubscript(DrawingContext& dc, const std::string& subscriptAfter) {
    if (subscriptAfter.empty()) return;
    const int gasTop = kInputtedTop + 40;
    selectArial(dc, kLineHeight);
    const TextSize prefix = dc.textExtent(subscriptAfter);
    selectArial(dc, kSubscriptHeight);
    dc.textOut(kSummaryLeft + prefix.width + 3, gasTop + prefix.height / 2, "2");
    selectArial(dc, kLineHeight);
}

} // namespace

void drawVariantSummary(DrawingContext& dc, const VariantSummary& summary) {
    dc.setBackgroundMode(BackgroundMode::Opaque);
    dc.setBackgroundColour(kDialogGrey);
    if (!summary.hasInputs && !summary.hasCalculated) {
        selectArial(dc, kLineHeight);
        dc.setTextColour(kBlack);
        dc.textOut(kSummaryLeft, kInputtedTop + 40, "No variant has been calculated yet.");
        return;
    }
    if (summary.hasInputs) {
        drawHeading(dc, kInputtedTop, "Input data:");
        drawLines(dc, kInputtedTop, inputtedLines(summary));
        drawGasSubscript(dc, gasLine(summary.inputs.gasCode).subscriptAfter);
    }
    if (summary.hasCalculated) {
        drawHeading(dc, kCalculatedTop, "Calculated data:");
        drawLines(dc, kCalculatedTop, calculatedLines(summary));
    }
}

void drawPlasmatronDiagram(QPainter& painter) { painter.drawImage(kDiagramLeft, kDiagramTop, inpBitmap()); }

void drawPlasmatronDiagram(QPainter& painter, const QRect& frame) {
    const QImage diagram = inpBitmap();
    if (diagram.isNull() || frame.isEmpty()) return;
    const QSize size = diagram.size().boundedTo(frame.size()) == diagram.size()
                           ? diagram.size()
                           : diagram.size().scaled(frame.size(), Qt::KeepAspectRatio);
    const QRect target(frame.left() + (frame.width() - size.width()) / 2,
                       frame.top() + (frame.height() - size.height()) / 2, size.width(), size.height());
    painter.save();
    painter.setRenderHint(QPainter::SmoothPixmapTransform, true);
    painter.drawImage(target, diagram);
    painter.restore();
}

} // namespace torvex
