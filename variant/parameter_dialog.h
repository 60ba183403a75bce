// The plasmatron parameter dialog ("INPUT_ML", "INPUT_MF", "INPUT_IL",
// "INPUT_IF": one layout, the unit words of three captions differ). The
// widgets mirror a ParameterInput, which holds the behaviour.
#pragma once

#include "shell/torvex_dialog.h"
#include "variant/parameter_input.h"

class QListWidget;
class QFont;

namespace torvex {

class MainWindow;

class ParameterDialog : public TorvexDialog {
    Q_OBJECT
public:
    // The units must name one of the four templates (parameterTemplateName).
    ParameterDialog(MainWindow& main, const UnitCodes& units);

    const ParameterInput& input() const { return input_; }
    // The variant confirmed by group (2) "OK" (valid once accepted).
    const VariantInputs& confirmedInputs() const { return confirmed_; }

protected:
    void onCommand(int id) override;
    void paintEvent(QPaintEvent* event) override;
    // Enter in a list accepts its group's choice: group (1)'s "OK" from the
    // fraction and diameter lists (the focus then goes to group (2)),
    // group (2)'s from the others.
    void keyPressEvent(QKeyEvent* event) override;

private:
    void createControls();
    void layOutGasChoices();
    void fitFractionList(QListWidget* fractions);
    QFont subscriptFont() const;
    // Width of a formula label: the main text and its lowered "2".
    int formulaWidth(const QString& main) const;
    QListWidget* addValueList(int id, const DialogRect& r);
    // Puts the entries and the selection of a list of the model into its widget.
    void showList(int id);
    void showGroup2Lists();
    // The user picked a row of a list: the model follows, and the lists of
    // group (2) are shown again when the pick rebuilt them.
    void pickEntry(int listId, int row);
    void confirmVariant();

    ParameterInput input_;
    VariantInputs confirmed_;
    QWidget* diagramFrame_ = nullptr;
    QPoint n2At_, arH2At_;  // where the formula labels are painted
};

} // namespace torvex
