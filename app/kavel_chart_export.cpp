// The spray chart pages drawn offscreen with the kavel window's page
// painters, into PNG images in the working directory.
#include "app/kavel_chart_export.h"

#include "pages/spray_export.h"
#include "pages/tune_chart.h"
#include "particles/materials.h"
#include "platform/offscreen_session.h"

namespace torvex {

bool sprayChartExportAvailable() { return true; }

bool exportSprayChartPages(const std::string& dir, const particles::SprayReport& report, std::string& written,
                           std::string& error) {
    const OffscreenSession session("kavel-run");
    kavel::SprayPageInputs in = kavel::variantPageInputs(dir);
    kavel::showJet(in, report.field.get());
    in.options = report.options;
    in.outcome = &report.spray;
    in.materialName = report.spray.material.name;
    return kavel::writeSprayPageImages(dir, in, written, error);
}

bool exportTuneChart(const std::string& dir, const particles::TuneOptions& tune, const particles::TuneOutcome& outcome,
                     std::string& error) {
    const OffscreenSession session("kavel-run");
    return kavel::writeTuneChartImage(dir + "/tune.png", tune, outcome, error);
}

}  // namespace torvex
