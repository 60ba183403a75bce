#include "variant/parameter_dialog.h"

#include "charts/formula.h"
#include "charts/palette.h"
#include "platform/painter_context.h"
#include "shell/main_window.h"
#include "shell/messages.h"
#include "variant/summary_painter.h"
#include "variant/variant_summary.h"

#include <QListWidget>
#include <QPainter>
#include <QSignalBlocker>

#include <cerrno>

namespace torvex {

using namespace input_ids;

namespace {

// List 1026 shows its few entries side by side in columns this wide (pixels).
constexpr int kFractionColumnWidth = 21;

QString lengthUnit(const UnitCodes& units) { return units.length == 1 ? "mm" : "in"; }
QString flowUnit(const UnitCodes& units) { return units.flow == 1 ? "SLPM" : "SCFH"; }

} // namespace

ParameterDialog::ParameterDialog(MainWindow& main, const UnitCodes& units)
    : TorvexDialog(&main, QStringLiteral("  Plasmatron Parameters "), 360, 262), input_(units) {
    setObjectName(QString::fromStdString(parameterTemplateName(units)));
    createControls();
    checkRadioButton(kArgon, kArgonHelium, kArgon);
    for (int id : {kArgonFractionList, kDiameterList, kLengthList, kCurrentList, kFlowList}) showList(id);
}

QListWidget* ParameterDialog::addValueList(int id, const DialogRect& r) {
    QListWidget* list = addListBox(id, r);
    list->setSelectionMode(QAbstractItemView::SingleSelection);
    list->setSortingEnabled(false);
    list->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    connect(list, &QListWidget::currentRowChanged, this, [this, id](int row) { pickEntry(id, row); });
    return list;
}

void ParameterDialog::createControls() {
    const UnitCodes& units = input_.units();
    addGroupBox(0, QStringLiteral("Diagram of plasmatron"), {9, 5, 192, 250});
    addGroupBox(kGroup1, QStringLiteral("Data being inputted (1) "), {211, 5, 141, 105});
    addGroupBox(kPlasmaGasGroup, QStringLiteral("Plasma gas:"), {215, 14, 133, 48});
    addRadioButton(kArgon, QString(), {220, 26, 8, 8}, true);
    addStatic(0, QStringLiteral("Ar"), {230, 26, 8, 8});
    addRadioButton(kNitrogen, QString(), {244, 26, 8, 8});
    addRadioButton(kArgonHydrogen, QString(), {271, 26, 8, 8});
    addRadioButton(kArgonHelium, QString(), {310, 26, 8, 8});
    addStatic(0, QStringLiteral("Ar + He"), {320, 26, 23, 8});
    addStatic(0, QStringLiteral("Volume fraction, Ar [%]:"), {222, 40, 69, 9});

    // The fractions side by side, scrolled sideways.
    QListWidget* fractions = addListBox(kArgonFractionList, {299, 39, 44, 18});
    fractions->setFlow(QListView::TopToBottom);
    fractions->setWrapping(true);
    fractions->setResizeMode(QListView::Adjust);
    fractions->setGridSize(QSize(kFractionColumnWidth, fractions->fontMetrics().height()));
    fractions->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    fractions->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    connect(fractions, &QListWidget::currentRowChanged, this,
            [this](int row) { pickEntry(kArgonFractionList, row); });

    addStatic(0, QStringLiteral("Anode diameter, d [%1]: ").arg(lengthUnit(units)), {219, 68, 76, 12});
    addValueList(kDiameterList, {299, 67, 44, 35});
    addPushButton(kGroup1Ok, QStringLiteral("OK"), {260, 88, 29, 14});

    addGroupBox(kGroup2, QStringLiteral("Data being inputted (2) "), {211, 115, 141, 140});
    addStatic(0, QStringLiteral("Anode length, L [%1]: ").arg(lengthUnit(units)), {219, 128, 68, 12});
    addValueList(kLengthList, {299, 127, 44, 35});
    addStatic(0, QStringLiteral(" Arc current, I [A]: "), {219, 172, 52, 12});
    addValueList(kCurrentList, {299, 170, 44, 35});
    addStatic(0, QStringLiteral("Gas flow rate, G [%1]: ").arg(flowUnit(units)), {219, 214, 74, 12});
    addValueList(kFlowList, {299, 213, 44, 35});
    addPushButton(kGroup2Ok, QStringLiteral("OK"), {260, 234, 29, 14});
    addPushButton(kCancel, QStringLiteral("&Cancel"), {219, 234, 29, 14});
}

void ParameterDialog::showList(int id) {
    auto* widget = controlAs<QListWidget>(id);
    if (!widget) return;
    const ListState& list = input_.list(id);
    const QSignalBlocker quiet(widget);
    widget->clear();
    for (const std::string& entry : list.entries) widget->addItem(QString::fromStdString(entry));
    widget->setCurrentRow(list.selected);
}

void ParameterDialog::showGroup2Lists() {
    for (int list : {kLengthList, kCurrentList, kFlowList}) showList(list);
}

void ParameterDialog::pickEntry(int listId, int row) {
    input_.selectEntry(listId, row);
    // A new fraction or diameter may have rebuilt the lists of group (2).
    if (listId == kArgonFractionList || listId == kDiameterList) showGroup2Lists();
}

void ParameterDialog::onCommand(int id) {
    switch (id) {
    case kArgon:
    case kNitrogen:
    case kArgonHydrogen:
    case kArgonHelium:
        input_.chooseGas(id);
        showList(kArgonFractionList);
        showList(kDiameterList);
        showGroup2Lists();
        break;
    case kGroup1Ok:
        input_.confirmGroup1();
        showGroup2Lists();
        break;
    case kGroup2Ok:
        confirmVariant();
        break;
    case kCancel:
        reject();
        break;
    default:
        break;
    }
}

void ParameterDialog::confirmVariant() {
    const std::optional<VariantInputs> variant = input_.confirmGroup2();
    if (!variant) return;  // group (1) not confirmed yet: nothing happens
    // The run would otherwise compute an older variant left in ip.dat.
    errno = 0;
    if (!writeInputParameters(kInputParametersFile, *variant)) {
        showMessage(this, QStringLiteral("The input-parameter file %1.")
                              .arg(notWrittenText(QString::fromLatin1(kInputParametersFile), errno)));
        return;
    }
    confirmed_ = *variant;
    accept();
}

void ParameterDialog::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    drawPlasmatronDiagram(painter);
    PainterContext dc(&painter);
    dc.setBackgroundColour(kDialogGrey);
    dc.setTextColour(kBlack);
    // The formulas of the two radio buttons with a lowered "2", in a font of
    // the dialog base unit height.
    const int fontHeight = kDialogBaseUnitHeight;
    const QPoint n2 = dialogPointToPixels(254, 26);
    const QPoint arH2 = dialogPointToPixels(282, 26);
    double cursor = 0;
    drawFormulaN2(dc, fontHeight, cursor, n2.x(), n2.y());
    cursor = 0;
    drawFormulaArH2(dc, fontHeight, cursor, arH2.x(), arH2.y());
}

} // namespace torvex
