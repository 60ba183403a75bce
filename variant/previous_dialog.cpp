#include "variant/previous_dialog.h"

#include "platform/painter_context.h"
#include "shell/main_window.h"
#include "variant/summary_painter.h"
#include "variant/variant_summary.h"

#include <QPainter>

namespace torvex {

PreviousDialog::PreviousDialog(MainWindow& main)
    : TorvexDialog(&main, QStringLiteral("  Plasmatron Parameters "), 360, 262),
      main_(main) {
    setObjectName(QStringLiteral("PREVIOUS"));
    addPushButton(previous_ids::kOk, QStringLiteral("OK"), {302, 234, 30, 14}, true);
    // Without unp.dat (no variant calculated yet) the units in memory stay as
    // they are instead of falling back to metric.
    unitsKnown_ = main_.readUnitFile(kPreviousUnitFile);
}

void PreviousDialog::onCommand(int id) {
    if (id != previous_ids::kOk) return;
    main_.applyMenuEvent(MenuEvent::PreviousOk);
    main_.setSprayLaunchAllowed(true);
    accept();
}

void PreviousDialog::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    drawPlasmatronDiagram(painter);
    PainterContext dc(&painter);
    drawVariantSummary(dc, previousVariantSummary(kIntegralParametersFile, unitsKnown_, main_.unitCodes()));
}

} // namespace torvex
