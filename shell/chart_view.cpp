#include "shell/chart_view.h"

#include <QDir>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>

#include "platform/printing.h"

namespace torvex {

bool printViewOn(QPrinter& printer, int view, const UnitCodes& units, const std::string& directory) {
    return printPage(printer, [&](DrawingContext& dc) { paintPrintedView(dc, view, units, directory); },
                     QString::fromStdString(viewDocumentTitle(view, directory)));
}

namespace {

QString printFileName(int view) {
    QString name = QString::fromStdString(viewPageName(view)).toLower();
    name.replace(QLatin1Char(' '), QLatin1Char('-'));
    return QDir::current().absoluteFilePath(name + QStringLiteral(".pdf"));
}

}  // namespace

void printView(QWidget* owner, int view, const UnitCodes& units) {
    QPrinter printer(QPrinter::HighResolution);
    // The pages are wider than high: on a landscape sheet they fill it, on
    // a portrait one they take its top third.
    printer.setPageOrientation(QPageLayout::Landscape);
    // Without a printer the only choice is a PDF file: it goes beside the
    // variant's own files, named after the page. (Setting a file name would
    // otherwise turn the first choice from the printer to a file.)
    if (QPrinterInfo::availablePrinters().isEmpty()) printer.setOutputFileName(printFileName(view));
    printer.setDocName(QString::fromStdString(viewDocumentTitle(view, "")));
    QPrintDialog dialog(&printer, owner);
    // The dialog only chooses the printer: one page is printed, so there is
    // no page range, selection or current page to offer.
    dialog.setOption(QAbstractPrintDialog::PrintPageRange, false);
    dialog.setOption(QAbstractPrintDialog::PrintSelection, false);
    dialog.setOption(QAbstractPrintDialog::PrintCurrentPage, false);
    if (dialog.exec() != QDialog::Accepted) return;
    // The spooler's own faults are not reported, as with any print job.
    printViewOn(printer, view, units);
}

}  // namespace torvex
