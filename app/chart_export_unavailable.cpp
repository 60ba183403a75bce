// The solver-only build has no drawing layer: charts cannot be exported.
#include "app/chart_export.h"

namespace torvex {

bool chartExportAvailable() { return false; }

bool exportChartPages(const std::string&, std::string& error) {
    error = "this torvex-run was built without Qt and cannot draw the charts";
    return false;
}

bool exportStudyChart(const StudyChartRequest&, std::vector<std::string>&, std::string& error) {
    error = "this torvex-run was built without Qt and cannot draw the study chart";
    return false;
}

}  // namespace torvex
