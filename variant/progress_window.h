// "PROGRESS": the small modeless window that tells which phase of a run is
// being computed (the flow inside the plasmatron, then the jet outside it)
// and how far it has got. The run replaces it with a fresh one when the
// inside phase is done, so the bar starts again from zero.
#pragma once

#include "shell/torvex_dialog.h"
#include "variant/progress_text.h"

#include <string>

namespace torvex {

namespace progress_ids {
constexpr int kBar = 805;
} // namespace progress_ids

// Where the progress window's frame goes on a screen area: clear of the run
// dialog's frame where there is room (right of it, left, below, above, in
// this order), else over the lower part of the dialog's plasmatron diagram,
// so that the texts of the calculated data stay visible; always wholly on
// the screen area.
QPoint progressWindowPosition(const QRect& screen, const QRect& runDialog, const QSize& progressFrame);

class ProgressWindow : public TorvexDialog {
    Q_OBJECT
public:
    // Owned by the run dialog, the window manager keeps it above that
    // dialog; it is placed clear of it (progressWindowPosition).
    explicit ProgressWindow(QWidget* runDialog);

    // Shows a report: the phase line and the percentage text; a positive
    // value also advances the bar by one step of 5.
    void showReport(RunPhase phase, int value);

    int barValue() const;
    RunPhase phase() const { return phase_; }
    const std::string& percentText() const { return percentText_; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void showEvent(QShowEvent* event) override;
    // The window lives exactly as long as its phase of the run: closing it
    // from the title bar is refused.
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    RunPhase phase_ = RunPhase::Inside;
    std::string percentText_;
};

} // namespace torvex
