// The four chart pages drawn from fuzzed files onto the recording context.
// One input holds the files separated by form feeds, in this order: un.dat,
// iop.par, ilt.res, ztu0.res, rtu0.res, rtu5.res, rtu20.res, rtu50.res,
// rtu100.res; a file the input does not reach is missing.
#include "charts/chart_pages.h"
#include "platform/recording_context.h"
#include "pages/jet_pages.h"
#include "solver/files.h"
#include "tests/fuzz/fuzz_files.h"

#include <array>

namespace {

constexpr std::array<const char*, 9> kFiles{"un.dat",   "iop.par",  "ilt.res",   "ztu0.res",  "rtu0.res",
                                            "rtu5.res", "rtu20.res", "rtu50.res", "rtu100.res"};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace torvex;
    const std::vector<std::string> pieces = fuzz::splitAtFormFeeds(data, size);
    for (std::size_t k = 0; k < kFiles.size(); ++k) {
        if (k < pieces.size()) fuzz::writeScratchFile(kFiles[k], pieces[k]);
        else fuzz::removeScratchFile(kFiles[k]);
    }
    UnitCodes units;
    readUnitCodes(fuzz::scratchFolder() + "/un.dat", units);
    for (int view : {kViewAllCharts, kViewIsotherms, kViewRadial, kViewAxial}) {
        RecordingContext dc;
        paintCurrentView(dc, view, units, ViewArea{0, 0, 1000, 700}, fuzz::scratchFolder());
    }
    return 0;
}
