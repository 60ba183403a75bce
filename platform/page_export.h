// "Charts > Export..." of both programs: the page shown saved as a PNG image
// (at a chosen resolution), a PDF page as printed, an SVG drawing, or the data
// of its charts as CSV. The file name's extension decides the format; a name
// without one takes the extension of the format chosen in the dialog; any
// other extension is refused with a message, and nothing is written.
#pragma once

#include <QString>
#include <functional>
#include <string>
#include <vector>

#include "platform/page_devices.h"

class QWidget;

namespace torvex {

enum class ExportFormat { Png, Pdf, Svg, Csv, Unknown };

// The format an extension names (any case); Unknown for another or none.
ExportFormat exportFormatOf(const QString& path);

// The dialog's filters, in the order offered: PNG, PDF, SVG, CSV.
QStringList exportFilters();

// The path as written: with no extension typed, the chosen filter's
// extension ("name" with "PDF document (*.pdf)" gives "name.pdf").
QString exportPathFor(const QString& typed, const QString& chosenFilter);

// One table of a page's data: `part` is "" for the only table of a page, or
// a short word that goes into the file name of each table of a page with
// several ("chart.csv" gives "chart-isotherms.csv", "chart-axial.csv", ...),
// so that every file is one plain table any tool reads as it is.
struct CsvTable {
    std::string part;
    std::string text;
};

// What a page offers to export.
struct PageExport {
    // Paints the page as on screen in a rectangle of this size (device units).
    std::function<void(DrawingContext&, int width, int height)> screen;
    // Paints the page as printed, on an A4 landscape sheet.
    PagePainter printed;
    // The page's data; false with a message naming the fault.
    std::function<bool(std::vector<CsvTable>&, std::string& error)> csv;
    int width = 0, height = 0;  // the page's size on screen, pixels
    QString title;              // of the SVG drawing and the PDF document
};

// The screen resolution the views are drawn for; PNG images at more dots per
// inch have the same layout with more pixels.
constexpr int kScreenDotsPerInch = 96;

// The paths a CSV export of `tables` writes for the name `path`.
QStringList csvPathsFor(const QString& path, const std::vector<CsvTable>& tables);

// Writes the page to `path` in the format of its extension; a PNG at
// `pngDotsPerInch` (the screen size at 96). `written` gets every file
// written (several for a page with several tables). False with `error` on a
// fault; nothing is left half-written.
bool exportPage(const QString& path, const PageExport& page, int pngDotsPerInch, QStringList* written,
                QString* error);

// Asks for a file name, a format and, for PNG, a resolution, and writes the
// page; a message box says why when it cannot. Returns the files written
// (empty when cancelled or refused).
QStringList exportPageWithDialog(QWidget* owner, const QString& suggestedPath, const PageExport& page);

}  // namespace torvex
