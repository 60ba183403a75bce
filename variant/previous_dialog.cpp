#include "variant/previous_dialog.h"

#include "platform/painter_context.h"
#include "shell/main_window.h"
#include "variant/summary_painter.h"
#include "pages/variant_summary.h"

#include <QPainter>

namespace torvex {

namespace {

// A variant exists once the solver has written a readable iop.par.
bool variantCalculated() {
    IntegralParameters p;
    return readIntegralParameters(kIntegralParametersFile, p);
}

} // namespace

PreviousDialog::PreviousDialog(MainWindow& main, VariantUnits units)
    : TorvexDialog(&main, QStringLiteral("  Plasmatron Parameters "), 360, 262),
      main_(main) {
    setObjectName(QStringLiteral("PREVIOUS"));
    addPushButton(previous_ids::kOk, QStringLiteral("OK"), {302, 234, 30, 14}, true);
    // Without unp.dat (no variant calculated yet) the units in memory stay as
    // they are instead of falling back to metric.
    unitsKnown_ = readUnitCodes(kPreviousUnitFile, variantUnits_);
    if (unitsKnown_ && units == VariantUnits::Adopt) main_.readUnitFile(kPreviousUnitFile);
}

void PreviousDialog::onCommand(int id) {
    if (id != previous_ids::kOk) return;
    // With nothing calculated there is nothing to chart or to hand on to the
    // spray-particle module: the menu stays as it is.
    if (variantCalculated()) {
        main_.applyMenuEvent(MenuEvent::PreviousOk);
        main_.setSprayLaunchAllowed(true);
    }
    accept();
}

void PreviousDialog::reject() {
    if (variantCalculated()) main_.applyMenuEvent(MenuEvent::PreviousDismissed);
    TorvexDialog::reject();
}

void PreviousDialog::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    drawPlasmatronDiagram(painter);
    PainterContext dc(&painter);
    drawVariantSummary(dc, previousVariantSummary(kIntegralParametersFile, unitsKnown_, variantUnits_));
}

} // namespace torvex
