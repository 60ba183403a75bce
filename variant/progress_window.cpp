#include "variant/progress_window.h"

#include "charts/palette.h"
#include "platform/painter_context.h"
#include "variant/summary_painter.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QScreen>
#include <QKeyEvent>
#include <QPainter>
#include <QProgressBar>

#include <algorithm>

namespace torvex {

namespace {

constexpr int kBarStep = 5;
// Room kept for a window manager's frame before the window is framed.
constexpr int kFrameAllowanceX = 8;
constexpr int kFrameAllowanceY = 32;
// Width of the run dialog's plasmatron diagram, pixels.
constexpr int kDiagramWidth = 391;
constexpr int kGap = 8;

// The frame moved just enough to lie wholly on the screen area.
QPoint onScreen(const QRect& screen, QPoint at, const QSize& frame) {
    at.setX(std::clamp(at.x(), screen.left(), std::max(screen.left(), screen.right() + 1 - frame.width())));
    at.setY(std::clamp(at.y(), screen.top(), std::max(screen.top(), screen.bottom() + 1 - frame.height())));
    return at;
}

} // namespace

QPoint progressWindowPosition(const QRect& screen, const QRect& runDialog, const QSize& progressFrame) {
    const int w = progressFrame.width(), h = progressFrame.height();
    const int middleY = runDialog.top() + (runDialog.height() - h) / 2;
    const int middleX = runDialog.left() + (runDialog.width() - w) / 2;
    const QPoint candidates[] = {
        {runDialog.right() + 1 + kGap, middleY},
        {runDialog.left() - kGap - w, middleY},
        {middleX, runDialog.bottom() + 1 + kGap},
        {middleX, runDialog.top() - kGap - h},
    };
    for (const QPoint& at : candidates) {
        if (screen.contains(QRect(at, progressFrame))) return at;
    }
    const QPoint overDiagram(runDialog.left() + kDiagramLeft + (kDiagramWidth - w) / 2,
                             runDialog.bottom() - h - 2 * kGap);
    return onScreen(screen, overDiagram, progressFrame);
}

ProgressWindow::ProgressWindow(QWidget* runDialog)
    : TorvexDialog(runDialog, QStringLiteral("  Progress"), 151, 79) {
    setObjectName(QStringLiteral("PROGRESS"));
    setModal(false);
    QProgressBar* bar = addProgressBar(progress_ids::kBar, {13, 52, 125, 12});
    bar->setRange(0, 100);
    bar->setValue(0);
    percentText_ = progressPercentText(0);
}

int ProgressWindow::barValue() const {
    auto* bar = controlAs<QProgressBar>(progress_ids::kBar);
    return bar ? bar->value() : 0;
}

void ProgressWindow::showReport(RunPhase phase, int value) {
    phase_ = phase;
    percentText_ = progressPercentText(value);
    if (progressAdvancesBar(value)) {
        if (auto* bar = controlAs<QProgressBar>(progress_ids::kBar)) {
            bar->setValue(std::min(bar->maximum(), bar->value() + kBarStep));
        }
    }
    update();
}

void ProgressWindow::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    PainterContext dc(&painter);
    FontDescription font;
    font.face = "MS Sans Serif";
    font.weight = 400;
    // A twelfth of the window's outer height: the texts grow with the frame.
    font.height = std::max(1, frameGeometry().height() / 12);
    dc.selectFont(font);
    dc.setTextColour(kBlack);
    dc.setBackgroundMode(BackgroundMode::Opaque);
    dc.setBackgroundColour(kDialogGrey);
    dc.textOut(75, 15, progressWaitText());
    dc.textOut(75, 40, progressPhaseText(phase_));
    dc.textOut(75, 55, progressCalculatedText());
    dc.textOut(140, 85, percentText_);
}

void ProgressWindow::showEvent(QShowEvent* event) {
    TorvexDialog::showEvent(event);
    QWidget* runDialog = parentWidget();
    QScreen* screen = runDialog ? runDialog->screen() : QGuiApplication::primaryScreen();
    if (!runDialog || !screen) return;
    // Before the window manager has framed the window its frame is its
    // client area: room for a title bar and borders is kept.
    QSize frame = frameGeometry().size();
    if (frame == size()) frame += QSize(kFrameAllowanceX, kFrameAllowanceY);
    move(progressWindowPosition(screen->availableGeometry(), runDialog->frameGeometry(), frame));
    raise();
}

void ProgressWindow::closeEvent(QCloseEvent* event) { event->ignore(); }

void ProgressWindow::keyPressEvent(QKeyEvent* event) {
    // Escape would close a plain dialog; this one has nothing to answer keys.
    event->accept();
}

} // namespace torvex
