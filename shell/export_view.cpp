#include "shell/export_view.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>

#include "platform/page_devices.h"
#include "shell/chart_view.h"
#include "study/text_files.h"
#include "study/variant_export.h"

namespace torvex {

namespace {

// The CSV data of a view: each chart's data with its own header line.
bool viewCsv(int view, const UnitCodes& units, const std::string& directory, std::string& text,
             std::string& error) {
    const std::string dir = directory.empty() ? "." : directory;
    std::string part;
    text.clear();
    if (view == kViewAllCharts || view == kViewIsotherms) {
        if (!isothermTableCsv(dir, units.temperature, part, error)) return false;
        text += part;
    }
    if (view == kViewAllCharts || view == kViewRadial) {
        if (!radialProfilesCsv(dir, units.length, part, error)) return false;
        text += (text.empty() ? "" : "\n") + part;
    }
    if (view == kViewAllCharts || view == kViewAxial) {
        if (!axialProfileCsv(dir, part, error)) return false;
        text += (text.empty() ? "" : "\n") + part;
    }
    if (text.empty()) error = "no chart view is shown";
    return !text.empty();
}

}  // namespace

bool exportViewTo(const QString& path, int view, const UnitCodes& units, int width, int height,
                  const std::string& directory, QString* error) {
    const QString suffix = QFileInfo(path).suffix().toLower();
    const ViewArea area{0, 0, width, height};
    const PagePainter onScreen = [&](DrawingContext& dc) {
        paintCurrentView(dc, view, units, area, directory);
    };
    if (suffix == QLatin1String("png")) return renderPageToPng(onScreen, width, height, path, error);
    if (suffix == QLatin1String("svg"))
        return renderPageToSvg(onScreen, width, height, path, QStringLiteral("TORVEX chart"), error);
    if (suffix == QLatin1String("pdf"))
        return renderPageToPdf([&](DrawingContext& dc) { paintPrintedView(dc, view, units, directory); },
                               path, QPageLayout::Landscape, 300, error);
    if (suffix == QLatin1String("csv")) {
        std::string text, why;
        if (viewCsv(view, units, directory, text, why) && writeFileAtomically(path.toStdString(), text, why))
            return true;
        if (error) *error = QString::fromStdString(why);
        return false;
    }
    if (error) *error = QStringLiteral("%1 names no known format (png, pdf, svg, csv)").arg(path);
    return false;
}

QString exportViewWithDialog(QWidget* owner, int view, const UnitCodes& units, int width, int height) {
    const QString png = QStringLiteral("PNG image (*.png)"), pdf = QStringLiteral("PDF document (*.pdf)"),
                  svg = QStringLiteral("SVG drawing (*.svg)"), csv = QStringLiteral("CSV data (*.csv)");
    QString filter = png;
    QString path = QFileDialog::getSaveFileName(
        owner, QStringLiteral("Export the chart view"), QStringLiteral("chart.png"),
        png + QStringLiteral(";;") + pdf + QStringLiteral(";;") + svg + QStringLiteral(";;") + csv, &filter);
    if (path.isEmpty()) return {};
    // A name without an extension takes the one of the chosen format.
    if (QFileInfo(path).suffix().isEmpty()) {
        const int open = filter.indexOf(QLatin1String("*."));
        path += filter.mid(open + 1, 4);
    }
    QString why;
    if (!exportViewTo(path, view, units, width, height, "", &why)) {
        QMessageBox::warning(owner, QStringLiteral("Export"),
                             QStringLiteral("The view was not exported: %1.").arg(why));
        return {};
    }
    return path;
}

}  // namespace torvex
