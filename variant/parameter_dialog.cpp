#include "variant/parameter_dialog.h"

#include "charts/formula.h"
#include "charts/palette.h"
#include "platform/painter_context.h"
#include "shell/main_window.h"
#include "shell/messages.h"
#include "solver/variant_run.h"
#include "variant/summary_painter.h"
#include "pages/variant_summary.h"

#include <QFontInfo>
#include <QGroupBox>
#include <QKeyEvent>
#include <QListWidget>
#include <QStyle>
#include <QPainter>
#include <QSignalBlocker>

#include <algorithm>
#include <memory>
#include <optional>

namespace torvex {

using namespace input_ids;

namespace {

// List 1026 shows its five entries side by side.
constexpr int kFractionCount = 5;
// Ids of the static labels the layout moves (the template leaves them
// without ids).
constexpr int kArgonLabel = 9001;
constexpr int kArgonHeliumLabel = 9002;
constexpr int kFractionLabel = 9003;

QString lengthUnit(const UnitCodes& units) { return units.length == 1 ? "mm" : "in"; }
QString flowUnit(const UnitCodes& units) { return units.flow == 1 ? "SLPM" : "SCFH"; }

// The variant the folder's ip.dat holds, when it is readable.
std::optional<VariantInputs> lastEnteredVariant() {
    auto state = std::make_unique<SolverState>();
    float diameter = 0, length = 0;
    int current = 0, flow = 0;
    if (!readSolverInputs(kInputParametersFile, *state, diameter, length, current, flow).ok) return std::nullopt;
    VariantInputs in;
    in.gasCode = state->gasCode;
    in.diameter = diameter;
    in.length = length;
    in.current = current;
    in.flow = flow;
    return in;
}

} // namespace

ParameterDialog::ParameterDialog(MainWindow& main, const UnitCodes& units)
    : TorvexDialog(&main, QStringLiteral("  Plasmatron Parameters "), 360, 262), input_(units) {
    setObjectName(QString::fromStdString(parameterTemplateName(units)));
    createControls();
    // The engineer usually varies the last variant a little: the dialog
    // opens on it when the folder's ip.dat offers it in these units.
    if (const auto last = lastEnteredVariant()) input_.startFrom(*last);
    checkRadioButton(kArgon, kArgonHelium, input_.checkedGas());
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
    diagramFrame_ = addGroupBox(0, QStringLiteral("Diagram of plasmatron"), {9, 5, 192, 250});
    addGroupBox(kGroup1, QStringLiteral("Input data (1) "), {211, 5, 141, 105});
    addGroupBox(kPlasmaGasGroup, QStringLiteral("Plasma gas:"), {215, 14, 133, 48});
    addRadioButton(kArgon, QString(), {220, 26, 8, 8}, true);
    addStatic(kArgonLabel, QStringLiteral("Ar"), {230, 26, 8, 8});
    addRadioButton(kNitrogen, QString(), {244, 26, 8, 8});
    addRadioButton(kArgonHydrogen, QString(), {271, 26, 8, 8});
    addRadioButton(kArgonHelium, QString(), {310, 26, 8, 8});
    addStatic(kArgonHeliumLabel, QStringLiteral("Ar + He"), {320, 26, 23, 8});
    addStatic(kFractionLabel, QStringLiteral("Volume fraction, Ar [%]:"), {222, 40, 69, 9});
    layOutGasChoices();

    // The five fractions side by side in one row, all in sight.
    QListWidget* fractions = addListBox(kArgonFractionList, {299, 39, 44, 18});
    fractions->setFlow(QListView::LeftToRight);
    fractions->setWrapping(false);
    fractions->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    fractions->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    fitFractionList(fractions);
    connect(fractions, &QListWidget::currentRowChanged, this,
            [this](int row) { pickEntry(kArgonFractionList, row); });

    addStatic(0, QStringLiteral("Anode diameter, d [%1]: ").arg(lengthUnit(units)), {219, 68, 76, 12});
    addValueList(kDiameterList, {299, 67, 44, 35});
    addPushButton(kGroup1Ok, QStringLiteral("OK"), {260, 88, 29, 14});

    addGroupBox(kGroup2, QStringLiteral("Input data (2) "), {211, 115, 141, 140});
    addStatic(0, QStringLiteral("Anode length, L [%1]: ").arg(lengthUnit(units)), {219, 128, 68, 12});
    addValueList(kLengthList, {299, 127, 44, 35});
    addStatic(0, QStringLiteral(" Arc current, I [A]: "), {219, 172, 52, 12});
    addValueList(kCurrentList, {299, 170, 44, 35});
    addStatic(0, QStringLiteral("Gas flow rate, G [%1]: ").arg(flowUnit(units)), {219, 214, 74, 12});
    addValueList(kFlowList, {299, 213, 44, 35});
    addPushButton(kGroup2Ok, QStringLiteral("OK"), {260, 234, 29, 14});
    addPushButton(kCancel, QStringLiteral("&Cancel"), {219, 234, 29, 14});
}

QFont ParameterDialog::subscriptFont() const {
    QFont small = font();
    small.setPixelSize(std::max(1, font().pixelSize() * 4 / 5));
    return small;
}

int ParameterDialog::formulaWidth(const QString& main) const {
    // The main text, half a subscript cell, the subscript.
    const QFontMetrics sub(subscriptFont());
    return fontMetrics().horizontalAdvance(main) + sub.horizontalAdvance(QStringLiteral("2")) * 3 / 2;
}

void ParameterDialog::layOutGasChoices() {
    // Each radio button with its label, the four pairs spread evenly over
    // the group's inside, so that no label runs into the next button.
    const QRect group = control(kPlasmaGasGroup)->geometry();
    const int indicator = style()->pixelMetric(QStyle::PM_ExclusiveIndicatorWidth, nullptr, this);
    const int labelGap = 4;
    const int margin = 8;
    const int labels[4] = {fontMetrics().horizontalAdvance(QStringLiteral("Ar")), formulaWidth(QStringLiteral("N")),
                           formulaWidth(QStringLiteral("Ar + H")),
                           fontMetrics().horizontalAdvance(QStringLiteral("Ar + He"))};
    int used = 0;
    for (int w : labels) used += indicator + labelGap + w;
    const int inside = group.width() - 2 * margin;
    const int spacing = std::max(labelGap, (inside - used) / 3);
    const int top = control(kArgon)->y();
    const int height = control(kArgon)->height();
    int x = group.left() + margin;
    const int radios[4] = {kArgon, kNitrogen, kArgonHydrogen, kArgonHelium};
    QPoint labelAt[4];
    for (int k = 0; k < 4; ++k) {
        control(radios[k])->setGeometry(x, top, indicator, height);
        labelAt[k] = QPoint(x + indicator + labelGap, top);
        x = labelAt[k].x() + labels[k] + spacing;
    }
    control(kArgonLabel)->setGeometry(QRect(labelAt[0], QSize(labels[0] + 2, height)));
    control(kArgonHeliumLabel)->setGeometry(QRect(labelAt[3], QSize(labels[3] + 2, height)));
    // The painted formulas start where their labels go, level with the
    // static labels' text.
    n2At_ = labelAt[1];
    arH2At_ = labelAt[2];
}

void ParameterDialog::fitFractionList(QListWidget* fractions) {
    // The caption takes two lines, the list the rest of the row up to the
    // group's inside edge; its five columns share the width, so every
    // fraction is in sight without scrolling.
    const QRect group = control(kPlasmaGasGroup)->geometry();
    QWidget* caption = control(kFractionLabel);
    const QFontMetrics metrics = fontMetrics();
    const int captionWidth = std::max(metrics.horizontalAdvance(QStringLiteral("Volume fraction,")),
                                      metrics.horizontalAdvance(QStringLiteral("Ar [%]:"))) + 4;
    const int captionTop = caption->y() - metrics.height() / 2;
    caption->setGeometry(caption->x(), captionTop, captionWidth, 2 * metrics.height() + 2);
    const int left = caption->x() + captionWidth + 6;
    const int right = group.right() - 6;
    const int rowHeight = metrics.height() + 6;
    const int frame = 2 * fractions->frameWidth();
    fractions->setGeometry(left, captionTop + (2 * metrics.height() - rowHeight - frame) / 2, right - left,
                           rowHeight + frame);
    fractions->setGridSize(QSize((right - left - frame) / kFractionCount, rowHeight));
    fractions->setTextElideMode(Qt::ElideNone);
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
    // The run dialog would otherwise compute an older variant left in
    // ip.dat. Written as every front end writes a variant: not while
    // another program runs one here, and not when the run would be refused
    // for its outputs.
    VariantRunRequest request;
    request.variant = *variant;
    request.inputsOnly = true;
    const VariantRunReport written = runVariant(request);
    if (written.result != RunResult::Completed) {
        showMessage(this, QString::fromStdString(written.message));
        return;
    }
    confirmed_ = *variant;
    accept();
}

void ParameterDialog::keyPressEvent(QKeyEvent* event) {
    const bool enter = (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) &&
                       (event->modifiers() == Qt::NoModifier || event->modifiers() == Qt::KeypadModifier);
    QWidget* focused = focusWidget();
    if (enter && focused && (focused == control(kArgonFractionList) || focused == control(kDiameterList))) {
        activate(kGroup1Ok);
        control(kLengthList)->setFocus(Qt::TabFocusReason);
        return;
    }
    // Elsewhere (a list of group (2) among them) Enter is group (2)'s "OK",
    // the dialog's id 1.
    TorvexDialog::keyPressEvent(event);
}

void ParameterDialog::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    // Inside the frame of its group box, below the caption.
    const QRect frame = diagramFrame_->geometry();
    const int caption = diagramFrame_->fontMetrics().height();
    drawPlasmatronDiagram(painter, frame.adjusted(6, caption + 4, -6, -6));
    PainterContext dc(&painter);
    dc.setBackgroundColour(kDialogGrey);
    dc.setTextColour(kBlack);
    // The formulas of the two radio buttons with a lowered "2": the main
    // text in the dialog's own font, as "Ar" and "Ar + He" are.
    const QFontInfo dialogFont(font());
    const QFontMetrics metrics = fontMetrics();
    FormulaFonts fonts;
    fonts.mainFace = dialogFont.family().toStdString();
    fonts.mainHeight = metrics.ascent() + metrics.descent();
    const QFontMetrics sub(subscriptFont());
    fonts.subscriptHeight = sub.ascent() + sub.descent();
    const int fontHeight = kDialogBaseUnitHeight;
    double cursor = 0;
    drawFormulaN2(dc, fonts, fontHeight, cursor, n2At_.x(), n2At_.y());
    cursor = 0;
    drawFormulaArH2(dc, fonts, fontHeight, cursor, arH2At_.x(), arH2At_.y());
}

} // namespace torvex
