#include "platform/page_devices.h"

#include "platform/painter_context.h"
#include "solver/file_access.h"

#include <QBuffer>
#include <QFile>
#include <QMarginsF>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QSvgGenerator>

#include <algorithm>
#include <functional>

namespace torvex {

namespace {

// Paints the page on an active painter through a fresh drawing context.
void paintOn(QPainter& painter, const PagePainter& paint) {
    PainterContext dc(&painter);
    paint(dc);
}

void setError(QString* error, const QString& text) {
    if (error) *error = text;
}

} // namespace

bool saveThroughTemporary(const QString& path, QString* error, const std::function<QString(QIODevice&)>& write) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    const QString fault = write(buffer);
    buffer.close();
    if (!fault.isEmpty()) {
        setError(error, fault);
        return false;
    }
    return replaceFileWithBytes(path, bytes, error);
}


bool replaceFileWithBytes(const QString& path, const QByteArray& bytes, QString* error) {
    std::string why;
    if (replaceFile(QFile::encodeName(path).toStdString(), bytes.toStdString(), why)) return true;
    setError(error, QStringLiteral("%1 %2").arg(path, QString::fromStdString(why)));
    return false;
}

QImage renderPageImage(const PagePainter& paint, int width, int height) {
    QImage image(std::max(1, width), std::max(1, height), QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    paintOn(painter, paint);
    painter.end();
    return image;
}

bool renderPageToPng(const PagePainter& paint, int width, int height, const QString& path, QString* error) {
    const QImage image = renderPageImage(paint, width, height);
    return saveThroughTemporary(path, error, [&](QIODevice& file) {
        return image.save(&file, "PNG") ? QString()
                                        : QStringLiteral("Cannot encode the image for %1").arg(path);
    });
}

bool renderPageToPdf(const PagePainter& paint, const QString& path, QPageLayout::Orientation orientation,
                     int dotsPerInch, QString* error) {
    return saveThroughTemporary(path, error, [&](QIODevice& file) {
        QPdfWriter writer(&file);
        writer.setResolution(dotsPerInch);
        writer.setPageLayout(
            QPageLayout(QPageSize(QPageSize::A4), orientation, QMarginsF(0, 0, 0, 0), QPageLayout::Millimeter));
        QPainter painter;
        if (!painter.begin(&writer)) return QStringLiteral("Cannot start a PDF page for %1").arg(path);
        paintOn(painter, paint);
        painter.end();
        return QString();
    });
}

bool renderPageToSvg(const PagePainter& paint, int width, int height, const QString& path, const QString& title,
                     QString* error) {
    return saveThroughTemporary(path, error, [&](QIODevice& file) {
        QSvgGenerator generator;
        generator.setOutputDevice(&file);
        generator.setSize(QSize(width, height));
        generator.setViewBox(QRect(0, 0, width, height));
        generator.setTitle(title);
        // Text is measured at the resolution of the screen the charts are laid out for.
        generator.setResolution(96);
        QPainter painter;
        if (!painter.begin(&generator)) return QStringLiteral("Cannot start an SVG drawing for %1").arg(path);
        painter.fillRect(QRect(0, 0, width, height), Qt::white);
        paintOn(painter, paint);
        painter.end();
        return QString();
    });
}

} // namespace torvex
