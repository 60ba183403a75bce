#include "platform/printing.h"

#include "platform/painter_context.h"

#include <QPainter>
#include <QPrinter>

namespace torvex {

bool printPage(QPrinter& printer, const PagePainter& paint, const QString& documentName) {
    printer.setDocName(documentName);
    QPainter painter;
    if (!painter.begin(&printer)) return false;
    {
        PainterContext dc(&painter);
        paint(dc);
    }
    return painter.end();
}

} // namespace torvex
