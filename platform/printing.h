// A page on a printer: the desktop programs' side of the page devices
// (platform/page_devices.h), apart because printers come with the desktop
// widgets (Qt Print Support) that the terminal programs do without.
#pragma once

#include "platform/page_devices.h"

class QPrinter;

namespace torvex {

// The page printed as one document of one page named `documentName` (a PDF's
// title). False when the printer could not be started. Printed to a PDF file
// (a file name set on the printer), the file is written as the exports are.
bool printPage(QPrinter& printer, const PagePainter& paint,
               const QString& documentName = QStringLiteral("Chart page"));

} // namespace torvex
