// Where the main window's chart pages are painted and printed. The shell calls
// these two functions only; the chart pages are drawn by the charts module.
#pragma once

#include "platform/drawing_context.h"
#include "solver/files.h"

class QWidget;

namespace torvex {

// The main window's client area in device units.
struct ViewArea {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
};

// Paints the page of a view (1 all charts, 2 isothermal lines, 3 radial,
// 5 axial) in the client area; view 0 paints nothing.
void paintCurrentView(DrawingContext& dc, int view, const UnitCodes& units, const ViewArea& area);

// Prints the page of a view on a printer chosen in the print dialog.
void printView(QWidget* owner, int view, const UnitCodes& units);

}  // namespace torvex
