#include "shell/units_dialog.h"

#include "shell/main_window.h"

namespace torvex {

using namespace units_dialog;

UnitsDialog::UnitsDialog(MainWindow& main)
    : TorvexDialog(&main, QStringLiteral("  Units"), 190, 91), main_(main) {
    setObjectName(QStringLiteral("UNITES"));
    addGroupBox(502, QStringLiteral("Dimensions"), {7, 5, 54, 56});
    addRadioButton(kCentimetres, QStringLiteral(" cm  "), {24, 15, 23, 15}, true);
    addRadioButton(kInches, QStringLiteral(" in  "), {24, 38, 23, 15});
    addGroupBox(504, QStringLiteral("Temperatures"), {68, 5, 54, 78});
    addRadioButton(kKelvin, QStringLiteral(" K  "), {87, 15, 23, 15}, true);
    addRadioButton(kFahrenheit, QStringLiteral(" F  "), {87, 38, 23, 15});
    addRadioButton(kCelsius, QStringLiteral(" C  "), {87, 61, 23, 15});
    addGroupBox(503, QStringLiteral("Gas Flow Rates"), {129, 5, 54, 56});
    addRadioButton(kSlpm, QStringLiteral(" SLPM  "), {141, 15, 35, 15}, true);
    addRadioButton(kScfh, QStringLiteral(" SCFH  "), {141, 38, 35, 15});
    addPushButton(kOk, QStringLiteral("OK"), {154, 70, 29, 14}, true);

    main_.readUnitFile(kUnitFile);
    showCodes(main_.unitCodes());
}

void UnitsDialog::showCodes(const UnitCodes& codes) {
    checkRadioButton(kCentimetres, kInches, codes.length == 1 ? kCentimetres : kInches);
    // A temperature code other than 1, 2, 3 checks none of the three.
    const int temperature =
        codes.temperature >= 1 && codes.temperature <= 3 ? kKelvin + codes.temperature - 1 : 0;
    checkRadioButton(kKelvin, kCelsius, temperature);
    checkRadioButton(kSlpm, kScfh, codes.flow == 1 ? kSlpm : kScfh);
}

UnitCodes UnitsDialog::checkedCodes() const {
    UnitCodes codes;
    codes.length = isChecked(kCentimetres) ? 1 : 2;
    codes.temperature = isChecked(kKelvin) ? 1 : isChecked(kFahrenheit) ? 2 : 3;
    codes.flow = isChecked(kSlpm) ? 1 : 2;
    return codes;
}

void UnitsDialog::onCommand(int id) {
    if (id != kOk) {
        return;
    }
    main_.unitCodes() = checkedCodes();
    main_.writeUnitFile(kUnitFile);
    accept();
}

}  // namespace torvex
