// The result files the charts read: ilt.res, ztu0.res and rtu*.res, each
// with the record limit its chart uses.
#include "charts/axial_chart.h"
#include "charts/isotherm_chart.h"
#include "charts/radial_charts.h"
#include "solver/result_files.h"
#include "tests/fuzz/fuzz_files.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string path = torvex::fuzz::writeScratchFile("result.res", data, size);
    torvex::readIsothermRecords(path, torvex::kMaxIsothermRecords);
    torvex::readAxisRecords(path, torvex::kMaxAxisRecords);
    torvex::readRadialRecords(path, torvex::kMaxRadialRecords);
    return 0;
}
