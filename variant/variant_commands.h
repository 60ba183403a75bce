// The variant commands of the main window's menu.
#pragma once

namespace torvex {

class MainWindow;

// "&New": the parameter dialog chosen by the length and flow units, then the
// run dialog, the run and the Previous-variant dialog.
void openParameterInput(MainWindow& main);

// "&Previous": the Previous-variant dialog; the units in use stay.
void openPreviousVariant(MainWindow& main);

} // namespace torvex
