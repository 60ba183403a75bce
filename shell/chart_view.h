// Where the main window's chart pages are printed; they are painted by the
// page painters (pages/jet_pages.h), which the shell calls only.
#pragma once

#include <string>

#include "pages/jet_pages.h"

class QPrinter;
class QWidget;

namespace torvex {

// Prints the page of a view on a printer chosen in the print dialog: one
// landscape page in a document titled after the page and the variant
// (viewDocumentTitle). A
// cancelled dialog prints nothing. Without any printer the dialog offers a
// PDF file in the working folder named after the page.
void printView(QWidget* owner, int view, const UnitCodes& units);

// Prints the page of a view on a printer already chosen; false when the
// printer could not be started.
bool printViewOn(QPrinter& printer, int view, const UnitCodes& units, const std::string& directory = "");

}  // namespace torvex
