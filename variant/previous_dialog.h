// "PREVIOUS": the Previous-variant dialog. It shows the last calculated
// variant as iop.par holds it, in the units it was calculated in (unp.dat),
// and switches the program to those units. Its "OK" makes the chart views
// available once there is a variant to show.
#pragma once

#include "shell/torvex_dialog.h"
#include "solver/files.h"

namespace torvex {

class MainWindow;

namespace previous_ids {
constexpr int kOk = 1;
} // namespace previous_ids

// Whether the dialog hands the variant's units on to the program.
enum class VariantUnits { Adopt, KeepUsersUnits };

class PreviousDialog : public TorvexDialog {
    Q_OBJECT
public:
    // Reads unp.dat when it is readable; with VariantUnits::Adopt the program
    // works in those units from now on.
    explicit PreviousDialog(MainWindow& main, VariantUnits units = VariantUnits::Adopt);

    // Whether unp.dat could be read when the dialog opened.
    bool unitsKnown() const { return unitsKnown_; }
    // The units the variant was calculated in (meaningful when known).
    const UnitCodes& variantUnits() const { return variantUnits_; }

protected:
    void onCommand(int id) override;
    void paintEvent(QPaintEvent* event) override;
    // Closed without "OK": the variant can still be shown later.
    void reject() override;

private:
    MainWindow& main_;
    bool unitsKnown_ = false;
    UnitCodes variantUnits_;
};

} // namespace torvex
