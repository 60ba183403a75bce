#include "platform/page_export.h"

#include <QBuffer>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QInputDialog>
#include <QMessageBox>
#include <QPainter>
#include <array>
#include <cmath>
#include <memory>

#include "platform/page_devices.h"
#include "platform/painter_context.h"
#include "solver/file_access.h"

namespace torvex {

namespace {

struct FormatName {
    ExportFormat format;
    const char* extension;
    const char* filter;
};

constexpr std::array<FormatName, 4> kFormats{{{ExportFormat::Png, "png", "PNG image (*.png)"},
                                              {ExportFormat::Pdf, "pdf", "PDF document (*.pdf)"},
                                              {ExportFormat::Svg, "svg", "SVG drawing (*.svg)"},
                                              {ExportFormat::Csv, "csv", "CSV data (*.csv)"}}};

// The resolutions offered for PNG images: the screen's, and two for reports
// and print.
constexpr std::array<int, 3> kPngDotsPerInch{96, 150, 300};

void setError(QString* error, const QString& text) {
    if (error) *error = text;
}

int scaled(int pixels, int dotsPerInch) {
    return static_cast<int>(std::lround(static_cast<double>(pixels) * dotsPerInch / kScreenDotsPerInch));
}

// The page painted on screen at `dotsPerInch`: the image records its
// resolution, so pens and ticks grow with the pixels as they do on paper.
bool writePng(const QString& path, const PageExport& page, int dotsPerInch, QString* error) {
    const int width = std::max(1, scaled(page.width, dotsPerInch));
    const int height = std::max(1, scaled(page.height, dotsPerInch));
    QImage image(width, height, QImage::Format_RGB32);
    const int dotsPerMetre = static_cast<int>(std::lround(dotsPerInch / 0.0254));
    image.setDotsPerMeterX(dotsPerMetre);
    image.setDotsPerMeterY(dotsPerMetre);
    image.fill(Qt::white);
    {
        QPainter painter(&image);
        PainterContext dc(&painter);
        page.screen(dc, width, height);
    }
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    if (!image.save(&buffer, "PNG")) {
        setError(error, QStringLiteral("Cannot encode the image for %1").arg(path));
        return false;
    }
    return replaceFileWithBytes(path, png, error);
}

bool writeCsv(const QString& path, const PageExport& page, QStringList* written, QString* error) {
    std::vector<CsvTable> tables;
    std::string why;
    if (!page.csv || !page.csv(tables, why)) {
        setError(error, QString::fromStdString(why.empty() ? "the page holds no data" : why));
        return false;
    }
    const QStringList paths = csvPathsFor(path, tables);
    // Every table is whole in its temporary file before any is put in place,
    // through the writer of every output (a link at a name is replaced).
    std::vector<std::unique_ptr<ReplacementFile>> files;
    const auto failed = [&](const ReplacementFile& file) {
        setError(error, QString::fromStdString(file.path() + " " + why));
        return false;
    };
    for (std::size_t k = 0; k < tables.size(); ++k) {
        files.push_back(std::make_unique<ReplacementFile>());
        if (!files.back()->create(QFile::encodeName(paths[static_cast<int>(k)]).toStdString(), why))
            return failed(*files.back());
        files.back()->append(tables[k].text);
    }
    for (const auto& file : files)
        if (!file->finish(why)) return failed(*file);
    for (std::size_t k = 0; k < files.size(); ++k) {
        if (!files[k]->commit(why)) return failed(*files[k]);
        if (written) written->push_back(paths[static_cast<int>(k)]);
    }
    return true;
}

// The resolution for a PNG image, asked with the sizes it gives; 0 if cancelled.
int askPngResolution(QWidget* owner, const PageExport& page) {
    QStringList items;
    for (int dpi : kPngDotsPerInch) {
        items << QStringLiteral("%1 dpi: %2 \u00d7 %3 pixels%4")
                     .arg(dpi)
                     .arg(scaled(page.width, dpi))
                     .arg(scaled(page.height, dpi))
                     .arg(dpi == kScreenDotsPerInch ? QStringLiteral(" (as on screen)") : QString());
    }
    bool ok = false;
    const QString chosen =
        QInputDialog::getItem(owner, QStringLiteral("PNG Resolution"),
                              QStringLiteral("Resolution of the image:"), items, 0, false, &ok);
    if (!ok) return 0;
    return kPngDotsPerInch[static_cast<std::size_t>(std::max(0, static_cast<int>(items.indexOf(chosen))))];
}

}  // namespace

ExportFormat exportFormatOf(const QString& path) {
    const QString suffix = QFileInfo(path).suffix().toLower();
    for (const FormatName& f : kFormats)
        if (suffix == QLatin1String(f.extension)) return f.format;
    return ExportFormat::Unknown;
}

QStringList exportFilters() {
    QStringList filters;
    for (const FormatName& f : kFormats) filters << QString::fromLatin1(f.filter);
    return filters;
}

QString exportPathFor(const QString& typed, const QString& chosenFilter) {
    if (typed.isEmpty() || !QFileInfo(typed).suffix().isEmpty()) return typed;
    for (const FormatName& f : kFormats)
        if (chosenFilter == QLatin1String(f.filter))
            return typed + QLatin1Char('.') + QLatin1String(f.extension);
    return typed;
}

QStringList csvPathsFor(const QString& path, const std::vector<CsvTable>& tables) {
    const QFileInfo info(path);
    QStringList paths;
    for (const CsvTable& t : tables) {
        paths << (t.part.empty() || tables.size() == 1
                      ? path
                      : info.dir().filePath(info.completeBaseName() + QLatin1Char('-') +
                                            QString::fromStdString(t.part) + QLatin1Char('.') +
                                            info.suffix()));
    }
    return paths;
}

bool exportPage(const QString& path, const PageExport& page, int pngDotsPerInch, QStringList* written,
                QString* error) {
    const auto wrote = [&](bool ok) {
        if (ok && written) written->push_back(path);
        return ok;
    };
    switch (exportFormatOf(path)) {
        case ExportFormat::Png:
            return wrote(writePng(path, page, pngDotsPerInch, error));
        case ExportFormat::Svg:
            return wrote(
                renderPageToSvg([&](DrawingContext& dc) { page.screen(dc, page.width, page.height); },
                                page.width, page.height, path, page.title, error));
        case ExportFormat::Pdf:
            return wrote(renderPageToPdf(page.printed, path, QPageLayout::Landscape, 300, error));
        case ExportFormat::Csv:
            return writeCsv(path, page, written, error);
        case ExportFormat::Unknown:
            break;
    }
    setError(
        error,
        QStringLiteral("%1 names no known format: the name must end in .png, .pdf, .svg or .csv").arg(path));
    return false;
}

QStringList exportPageWithDialog(QWidget* owner, const QString& suggestedPath, const PageExport& page) {
    const QStringList filters = exportFilters();
    QString filter = filters.front();
    for (const QString& f : filters)
        if (exportFormatOf(suggestedPath) != ExportFormat::Unknown &&
            f.contains(QLatin1String("*.") + QFileInfo(suggestedPath).suffix().toLower()))
            filter = f;
    const QString typed =
        QFileDialog::getSaveFileName(owner, QStringLiteral("Export the Chart Page"), suggestedPath,
                                     filters.join(QStringLiteral(";;")), &filter);
    if (typed.isEmpty()) return {};
    const QString path = exportPathFor(typed, filter);
    QString why;
    QStringList written;
    int dotsPerInch = kScreenDotsPerInch;
    if (exportFormatOf(path) == ExportFormat::Png) {
        dotsPerInch = askPngResolution(owner, page);
        if (dotsPerInch == 0) return {};
    }
    if (!exportPage(path, page, dotsPerInch, &written, &why)) {
        QMessageBox::warning(owner, QStringLiteral("Export"),
                             QStringLiteral("The page was not exported: %1.").arg(why));
        return {};
    }
    return written;
}

}  // namespace torvex
