// The chart pages drawn offscreen, with the same page painters as the main
// window's views, into PNG images of a window-like size.
#include "app/chart_export.h"

#include <array>

#include "platform/offscreen_session.h"
#include "platform/page_devices.h"
#include "shell/chart_view.h"
#include "solver/files.h"

namespace torvex {

namespace {

constexpr int kImageWidth = 1200;
constexpr int kImageHeight = 840;

struct ExportedPage {
    int view;
    const char* fileName;
};

constexpr std::array<ExportedPage, 4> kPages{{{kViewAllCharts, "charts-all.png"},
                                              {kViewIsotherms, "charts-isotherms.png"},
                                              {kViewRadial, "charts-radial.png"},
                                              {kViewAxial, "charts-axial.png"}}};

}  // namespace

bool chartExportAvailable() { return true; }

bool exportChartPages(const std::string& dir, std::string& error) {
    const OffscreenSession session("torvex-run");
    UnitCodes units;  // metric, kelvin, SLPM unless un.dat says otherwise
    readUnitCodes(dir + "/un.dat", units);
    const ViewArea area{0, 0, kImageWidth, kImageHeight};
    for (const ExportedPage& page : kPages) {
        const QString path = QString::fromStdString(dir + "/" + page.fileName);
        QString why;
        const bool written =
            // The files are those of the run just made, in these units.
            renderPageToPng([&](DrawingContext& dc) { paintCurrentView(dc, page.view, units, area, dir, &units); },
                            kImageWidth, kImageHeight, path, &why);
        if (!written) {
            error = why.toStdString();
            return false;
        }
    }
    return true;
}

}  // namespace torvex
