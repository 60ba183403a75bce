// A build without the spray charts: kavel-run says so when --charts is asked.
#include "app/kavel_chart_export.h"

namespace torvex {

bool sprayChartExportAvailable() { return false; }

bool exportSprayChartPages(const std::string&, const particles::SprayReport&, std::string&, std::string& error) {
    error = "this kavel-run was built without the spray charts and cannot draw them";
    return false;
}

bool exportTuneChart(const std::string&, const particles::TuneOptions&, const particles::TuneOutcome&,
                     std::string& error) {
    error = "this kavel-run was built without the spray charts and cannot draw them";
    return false;
}

}  // namespace torvex
