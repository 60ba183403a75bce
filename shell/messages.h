// The shell's small modal dialogs: the About box (also the start screen), the
// Caution dialog of the start-up display check, and the message shown when a
// variant cannot be calculated.
#pragma once

#include <QString>

class QWidget;

namespace torvex {

// "NEDOBRE": the variant could not be calculated.
void showCannotCalculate(QWidget* parent);
// The About box with the two pictures.
void showAboutBox(QWidget* parent);
// "CAUTION": the screen is too small for the program's windows. Returns
// whether to continue ("&Continue", the default); "&Quit" ends the program.
bool showCaution(QWidget* parent, int screenWidth = 0, int screenHeight = 0);

// A warning of the program (title "TORVEX") with one "OK" button.
void showMessage(QWidget* parent, const QString& text);
// The full path of a file in the working directory, as messages name files.
QString workingFilePath(const QString& name);
// The full path of a file in the working directory that could not be written,
// with the system's reason: "<path> cannot be written (<reason>)".
QString notWrittenText(const QString& name, int errorNumber);

}  // namespace torvex
