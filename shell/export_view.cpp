#include "shell/export_view.h"

#include "platform/page_export.h"
#include "pages/jet_pages.h"
#include "study/text_files.h"
#include "study/variant_export.h"

namespace torvex {

namespace {

// The data of a view: each chart's table on its own, so that every file is
// one plain table with its header (All Charts: three files). The values are
// in mm, K and m/s as the headers say; the isotherm levels and the radial
// sections are those the run searched and wrote, named in its own units
// whatever units the chart shows now.
bool viewCsv(int view, const std::string& directory, std::vector<CsvTable>& tables, std::string& error) {
    const std::string dir = directory.empty() ? "." : directory;
    tables.clear();
    std::optional<UnitCodes> run = UnitCodes{};
    std::string why;
    if (view != kViewAxial) run = runUnitsIn(dir, &why);
    if (!run) {
        error = why + " Without the units it was calculated in, the isotherm levels and radial sections of " +
                displayPath(dir) + " cannot be named.";
        return false;
    }
    std::string part;
    if (view == kViewAllCharts || view == kViewIsotherms) {
        if (!isothermTableCsv(dir, run->temperature, part, error)) return false;
        tables.push_back({"isotherms", part});
    }
    if (view == kViewAllCharts || view == kViewRadial) {
        if (!radialProfilesCsv(dir, run->length, part, error)) return false;
        tables.push_back({"radial", part});
    }
    if (view == kViewAllCharts || view == kViewAxial) {
        if (!axialProfileCsv(dir, part, error)) return false;
        tables.push_back({"axial", part});
    }
    if (tables.empty()) error = "no chart view is shown";
    return !tables.empty();
}

PageExport viewExport(int view, const UnitCodes& units, int width, int height, const std::string& directory) {
    PageExport page;
    page.screen = [=](DrawingContext& dc, int w, int h) {
        paintCurrentView(dc, view, units, ViewArea{0, 0, w, h}, directory);
    };
    page.printed = [=](DrawingContext& dc) { paintPrintedView(dc, view, units, directory); };
    page.csv = [=](std::vector<CsvTable>& tables, std::string& error) {
        return viewCsv(view, directory, tables, error);
    };
    page.width = width;
    page.height = height;
    page.title = QStringLiteral("TORVEX chart");
    return page;
}

}  // namespace

bool exportViewTo(const QString& path, int view, const UnitCodes& units, int width, int height,
                  const std::string& directory, QString* error, int pngDotsPerInch) {
    return exportPage(path, viewExport(view, units, width, height, directory), pngDotsPerInch, nullptr,
                      error);
}

QString exportViewWithDialog(QWidget* owner, int view, const UnitCodes& units, int width, int height) {
    return exportPageWithDialog(owner, QStringLiteral("chart.png"),
                                viewExport(view, units, width, height, ""))
        .join(QStringLiteral(", "));
}

}  // namespace torvex
