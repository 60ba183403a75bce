// One page painter for every device: the same routine paints the window, a
// PNG image, a PDF file and a printer page (platform/printing.h); only the
// device (and so the rectangle the painter derives from it) differs. These
// devices need the drawing layer only (QtGui, QtSvg), not the desktop widgets.
#pragma once

#include "platform/drawing_context.h"

#include <QByteArray>
#include <QImage>
#include <QPageLayout>
#include <QString>

#include <functional>

class QIODevice;

namespace torvex {

// Paints one page on the context it is given; the page rectangle comes from
// the context's deviceSize() or from the caller's own binding.
using PagePainter = std::function<void(DrawingContext&)>;

// Puts `bytes` at `path` through the writer of every output of the programs
// (solver/file_access.h): a temporary file in the same folder, flushed and
// renamed onto the name, so that a symbolic link there is replaced, never
// followed, and a dangling one gets no target. False with the reason in
// `error` (if given); whatever stood at path then stays.
bool replaceFileWithBytes(const QString& path, const QByteArray& bytes, QString* error = nullptr);

// Draws into memory with `write`, which returns the fault or an empty text,
// and puts the bytes at path through replaceFileWithBytes only when it
// succeeded: a failed drawing leaves whatever stood at path untouched.
bool saveThroughTemporary(const QString& path, QString* error, const std::function<QString(QIODevice&)>& write);

// The page painted on a white image of the given size (pixels).
QImage renderPageImage(const PagePainter& paint, int width, int height);

// The page painted on a white image and saved as PNG. The file is written
// whole or not at all; on failure `error` (if given) says why.
bool renderPageToPng(const PagePainter& paint, int width, int height, const QString& path, QString* error = nullptr);

// The page painted on one A4 PDF page at `dotsPerInch` with no margins, so
// the device reports the sheet's full size in dots and millimetres. Written
// whole or not at all; on failure `error` (if given) says why.
bool renderPageToPdf(const PagePainter& paint, const QString& path, QPageLayout::Orientation orientation,
                     int dotsPerInch = 300, QString* error = nullptr);

// The page painted on an SVG drawing of the given size (device units = SVG
// user units) with a white background. Written whole or not at all.
bool renderPageToSvg(const PagePainter& paint, int width, int height, const QString& path, const QString& title,
                     QString* error = nullptr);

} // namespace torvex
