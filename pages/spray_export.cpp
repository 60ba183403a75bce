#include "pages/spray_export.h"

#include <QString>
#include <array>

#include "platform/page_devices.h"
#include "particles/spray_option_table.h"
#include "pages/jet_pages.h"

namespace torvex::kavel {

namespace {

// A window-like size, as the exported pages of the jet.
constexpr int kImageWidth = 1400;
constexpr int kImageHeight = 900;

struct ImagePage {
    int view;
    const char* fileName;
};

constexpr std::array<ImagePage, 5> kImagePages{{{kViewAll, "kavel-all.png"},
                                                {kViewTrajectories, "kavel-trajectories.png"},
                                                {kViewFlight, "kavel-flight.png"},
                                                {kViewSubstrate, "kavel-substrate.png"},
                                                {kViewSensor, "kavel-sensor.png"}}};

}  // namespace

SprayPageInputs variantPageInputs(const std::string& dir) {
    SprayPageInputs in;
    in.units = sprayUnitsOf(shownUnitCodes(dir));
    // The programs' defaults: particles added until the main shares are
    // known to +-1 point; the standoff 100 mm, or 4 in when the variant is
    // in inches.
    in.options = particles::defaultSprayOptions(in.units.metric() ? 1 : 2);
    return in;
}

bool writeSprayPageImages(const std::string& dir, const SprayPageInputs& in, std::string& written,
                          std::string& error) {
    written.clear();
    for (const ImagePage& page : kImagePages) {
        const QString path = QString::fromStdString(dir + "/" + page.fileName);
        QString why;
        const Rect whole{0, 0, kImageWidth, kImageHeight};
        if (!renderPageToPng([&](DrawingContext& dc) { drawSprayPage(dc, page.view, whole, in); },
                             kImageWidth, kImageHeight, path, &why)) {
            error = why.toStdString();
            return false;
        }
        written += (written.empty() ? "" : ", ") + std::string(page.fileName);
    }
    return true;
}

}  // namespace torvex::kavel
