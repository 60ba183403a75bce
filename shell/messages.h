// The shell's small modal dialogs: the About box (also the start screen), the
// Caution dialog of the start-up display check, and the message shown when a
// variant cannot be calculated.
#pragma once

class QWidget;

namespace torvex {

// "NEDOBRE": the variant could not be calculated.
void showCannotCalculate(QWidget* parent);
// The About box with the two pictures.
void showAboutBox(QWidget* parent);
// "CAUTION": the display is not set up as the program's windows expect.
// Returns whether to continue ("&Cancel"); "OK " means end the program.
bool showCaution(QWidget* parent);

}  // namespace torvex
