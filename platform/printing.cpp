#include "platform/printing.h"

#include "platform/painter_context.h"

#include <QPainter>
#include <QPdfWriter>
#include <QPrinter>

namespace torvex {

namespace {

void paintOn(QPainter& painter, const PagePainter& paint) {
    PainterContext dc(&painter);
    paint(dc);
}

} // namespace

bool printPage(QPrinter& printer, const PagePainter& paint, const QString& documentName) {
    printer.setDocName(documentName);
    // Qt would open the file itself and write through a link at its name.
    const QString file = printer.outputFileName();
    if (printer.outputFormat() == QPrinter::PdfFormat && !file.isEmpty())
        return saveThroughTemporary(file, nullptr, [&](QIODevice& device) {
            QPdfWriter writer(&device);
            writer.setResolution(printer.resolution());
            writer.setPageLayout(printer.pageLayout());
            writer.setTitle(documentName);
            writer.setCreator(printer.creator());
            QPainter painter;
            if (!painter.begin(&writer)) return QStringLiteral("Cannot start a PDF page for %1").arg(file);
            paintOn(painter, paint);
            painter.end();
            return QString();
        });
    QPainter painter;
    if (!painter.begin(&printer)) return false;
    paintOn(painter, paint);
    return painter.end();
}

} // namespace torvex
