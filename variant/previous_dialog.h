// "PREVIOUS": the Previous-variant dialog. It shows the last calculated
// variant as iop.par holds it, in the units it was calculated in (unp.dat),
// and switches the program to those units. Its "OK" makes the chart views
// available.
#pragma once

#include "shell/torvex_dialog.h"

namespace torvex {

class MainWindow;

namespace previous_ids {
constexpr int kOk = 1;
} // namespace previous_ids

class PreviousDialog : public TorvexDialog {
    Q_OBJECT
public:
    // Reads unp.dat into the program's unit codes when it is readable.
    explicit PreviousDialog(MainWindow& main);

    // Whether unp.dat could be read when the dialog opened.
    bool unitsKnown() const { return unitsKnown_; }

protected:
    void onCommand(int id) override;
    void paintEvent(QPaintEvent* event) override;

private:
    MainWindow& main_;
    bool unitsKnown_ = false;
};

} // namespace torvex
