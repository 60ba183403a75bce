#include "shell/units_dialog.h"

#include "shell/main_window.h"
#include "shell/messages.h"

#include <QKeyEvent>

#include <cerrno>

namespace torvex {

using namespace units_dialog;

UnitsDialog::UnitsDialog(MainWindow& main)
    : TorvexDialog(&main, QStringLiteral("  Units"), 190, 91), main_(main) {
    setObjectName(QStringLiteral("UNITES"));
    addGroupBox(502, QStringLiteral("Dimensions"), {7, 5, 54, 56});
    addRadioButton(kMetricLengths, QStringLiteral(" cm  "), {24, 15, 23, 15}, true);
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
    checkRadioButton(kMetricLengths, kInches, codes.length == 1 ? kMetricLengths : kInches);
    // A temperature code other than 1, 2, 3 checks none of the three.
    const int temperature =
        codes.temperature >= 1 && codes.temperature <= 3 ? kKelvin + codes.temperature - 1 : 0;
    checkRadioButton(kKelvin, kCelsius, temperature);
    checkRadioButton(kSlpm, kScfh, codes.flow == 1 ? kSlpm : kScfh);
}

UnitCodes UnitsDialog::checkedCodes() const {
    UnitCodes codes;
    codes.length = isChecked(kMetricLengths) ? 1 : 2;
    codes.temperature = isChecked(kKelvin) ? 1 : isChecked(kFahrenheit) ? 2 : 3;
    codes.flow = isChecked(kSlpm) ? 1 : 2;
    return codes;
}

void UnitsDialog::onCommand(int id) {
    if (id != kOk) {
        return;
    }
    main_.unitCodes() = checkedCodes();
    errno = 0;
    if (!main_.writeUnitFile(kUnitFile)) {
        // The charts take the choice at once, but the solver and the next
        // "&New" read un.dat: the user must know it was not saved.
        showMessage(this, QStringLiteral("The unit file %1. The units chosen are used for the charts shown now, "
                                         "but a new variant is entered and calculated in the units of that file.")
                              .arg(notWrittenText(QString::fromLatin1(kUnitFile), errno)));
    }
    accept();
}

void UnitsDialog::keyPressEvent(QKeyEvent* event) {
    // The dialog has no Cancel button, but Escape still backs out of it, as
    // its close box does.
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        closeFromTitleBar();
        return;
    }
    TorvexDialog::keyPressEvent(event);
}

}  // namespace torvex
