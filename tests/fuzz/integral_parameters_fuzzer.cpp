// iop.par: the reader, and the summary lines the Previous-variant dialog and
// the run dialog make of it in every length and flow unit.
#include "solver/files.h"
#include "tests/fuzz/fuzz_files.h"
#include "pages/variant_summary.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string path = torvex::fuzz::writeScratchFile("iop.par", data, size);
    torvex::IntegralParameters parameters;
    torvex::readIntegralParameters(path, parameters);
    for (int lengthCode : {1, 2})
        for (int flowCode : {1, 2}) {
            torvex::UnitCodes units;
            units.length = lengthCode;
            units.flow = flowCode;
            const torvex::VariantSummary previous = torvex::previousVariantSummary(path, true, units);
            torvex::inputtedLines(previous);
            torvex::calculatedLines(previous);
            const torvex::VariantSummary run = torvex::runDialogSummary(previous.inputs, units, true, path);
            torvex::calculatedLines(run);
        }
    return 0;
}
