// The chart pages drawn offscreen, with the same page painters as the main
// window's views, into PNG images of a window-like size.
#include "app/chart_export.h"

#include <QBuffer>
#include <array>

#include "platform/offscreen_session.h"
#include "platform/page_devices.h"
#include "pages/jet_pages.h"
#include "charts/study_chart.h"
#include "solver/file_access.h"
#include "solver/files.h"
#include "study/text_files.h"

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
        const std::string path = dir + "/" + page.fileName;
        // The files are those of the run just made, in these units.
        const QImage image = renderPageImage(
            [&](DrawingContext& dc) { paintCurrentView(dc, page.view, units, area, dir, &units); }, kImageWidth,
            kImageHeight);
        QByteArray png;
        QBuffer buffer(&png);
        buffer.open(QIODevice::WriteOnly);
        if (!image.save(&buffer, "PNG")) {
            error = "the image for " + path + " cannot be encoded";
            return false;
        }
        // Renamed into place like every output: a link there is replaced,
        // not written through.
        std::string why;
        if (!replaceFile(path, png.toStdString(), why)) {
            error = path + " " + why;
            return false;
        }
    }
    return true;
}

namespace {

constexpr std::size_t kMaxStudyTableBytes = std::size_t(256) << 20;

std::vector<std::string> formatList(const std::string& formats, std::string& error) {
    std::vector<std::string> list;
    std::size_t start = 0;
    while (start <= formats.size()) {
        std::size_t end = formats.find(',', start);
        if (end == std::string::npos) end = formats.size();
        const std::string word = formats.substr(start, end - start);
        if (word != "png" && word != "pdf" && word != "svg") {
            error = "the format \"" + word + "\" is not one of png, pdf, svg";
            return {};
        }
        list.push_back(word);
        start = end + 1;
    }
    return list;
}

bool writeStudyChart(const StudyChartData& data, const std::string& format, const QString& path, QString& why) {
    const PagePainter paint = [&data](DrawingContext& dc) {
        const DeviceSize size = dc.deviceSize();
        drawStudyChartPage(dc, Rect{0, 0, size.dotsAcross, size.dotsDown}, data);
    };
    if (format == "png") return renderPageToPng(paint, kImageWidth, kImageHeight, path, &why);
    if (format == "svg")
        return renderPageToSvg(paint, kImageWidth, kImageHeight, path, QStringLiteral("Parameter study"), &why);
    return renderPageToPdf(paint, path, QPageLayout::Landscape, 300, &why);
}

}  // namespace

bool exportStudyChart(const StudyChartRequest& request, std::vector<std::string>& written, std::string& error) {
    const std::vector<std::string> formats = formatList(request.formats, error);
    if (formats.empty()) return false;
    const std::string table = request.dir + "/study.csv";
    std::string text;
    if (!readBoundedTextFile(table, kMaxStudyTableBytes, text, error)) return false;
    StudyChartData data;
    const StudyCurves by = request.by == "gas" ? StudyCurves::PerGas : StudyCurves::PerFlow;
    if (!studyChartData(text, displayPath(table), by, data, error)) return false;
    const OffscreenSession session("torvex-run");
    for (const std::string& format : formats) {
        const std::string path = request.dir + "/study-chart." + format;
        QString why;
        if (!writeStudyChart(data, format, QString::fromStdString(path), why)) {
            error = why.toStdString();
            return false;
        }
        written.push_back(displayPath(path));
    }
    return true;
}

}  // namespace torvex
