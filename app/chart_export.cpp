// The chart pages drawn offscreen, with the same page painters as the main
// window's views, into PNG images of a window-like size.
#include "app/chart_export.h"

#include <QFile>
#include <QGuiApplication>
#include <QTemporaryDir>
#include <array>
#include <memory>

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

// Fonts need a GUI application; without a display it runs offscreen.
std::unique_ptr<QGuiApplication> guiApplication() {
    if (QCoreApplication::instance()) return nullptr;
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "torvex-run";
    static char* argv[] = {name, nullptr};
    return std::make_unique<QGuiApplication>(argc, argv);
}

// The offscreen platform asks for a per-user runtime directory and warns when
// the session has none; a private temporary one stands in during the export.
std::unique_ptr<QTemporaryDir> runtimeDirectory() {
    if (qEnvironmentVariableIsSet("XDG_RUNTIME_DIR")) return nullptr;
    auto dir = std::make_unique<QTemporaryDir>();
    if (dir->isValid()) qputenv("XDG_RUNTIME_DIR", QFile::encodeName(dir->path()));
    return dir;
}

}  // namespace

bool chartExportAvailable() { return true; }

bool exportChartPages(const std::string& dir, std::string& error) {
    const auto runtime = runtimeDirectory();
    const auto app = guiApplication();
    UnitCodes units;  // metric, kelvin, SLPM unless un.dat says otherwise
    readUnitCodes(dir + "/un.dat", units);
    const ViewArea area{0, 0, kImageWidth, kImageHeight};
    for (const ExportedPage& page : kPages) {
        const QString path = QString::fromStdString(dir + "/" + page.fileName);
        QString why;
        const bool written =
            renderPageToPng([&](DrawingContext& dc) { paintCurrentView(dc, page.view, units, area, dir); },
                            kImageWidth, kImageHeight, path, &why);
        if (!written) {
            error = why.toStdString();
            return false;
        }
    }
    return true;
}

}  // namespace torvex
