#include "variant/progress_window.h"

#include "charts/palette.h"
#include "platform/painter_context.h"
#include "variant/summary_painter.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QPainter>
#include <QProgressBar>

#include <algorithm>

namespace torvex {

namespace {

constexpr int kBarStep = 5;

} // namespace

ProgressWindow::ProgressWindow(QWidget* owner) : TorvexDialog(owner, QStringLiteral("  Progress"), 151, 79) {
    setObjectName(QStringLiteral("PROGRESS"));
    setModal(false);
    placeAt(110, 135);
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

void ProgressWindow::closeEvent(QCloseEvent* event) { event->ignore(); }

void ProgressWindow::keyPressEvent(QKeyEvent* event) {
    // Escape would close a plain dialog; this one has nothing to answer keys.
    event->accept();
}

} // namespace torvex
