// "UNITES": the choice of length, temperature and flow-rate units. It opens
// with the codes of un.dat; "OK" saves the choice, Escape and the close box
// leave the units as they were.
#pragma once

#include "shell/torvex_dialog.h"
#include "solver/files.h"

namespace torvex {

class MainWindow;

// Control ids of the dialog.
namespace units_dialog {
constexpr int kOk = 1;
constexpr int kMetricLengths = 1013;  // length code 1: millimetres (the button reads " cm  ")
constexpr int kInches = 1014;
constexpr int kKelvin = 1015;
constexpr int kFahrenheit = 1016;
constexpr int kCelsius = 1017;
constexpr int kSlpm = 1024;
constexpr int kScfh = 1025;
}  // namespace units_dialog

class UnitsDialog : public TorvexDialog {
    Q_OBJECT
public:
    // Reads un.dat into the main window's unit codes and checks their buttons.
    explicit UnitsDialog(MainWindow& main);

protected:
    void onCommand(int id) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void showCodes(const UnitCodes& codes);
    UnitCodes checkedCodes() const;

    MainWindow& main_;
};

}  // namespace torvex
