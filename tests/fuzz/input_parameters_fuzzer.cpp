// ip.dat: the solver's fixed-column reader of the variant.
#include "solver/files.h"
#include "solver/state.h"
#include "tests/fuzz/fuzz_files.h"

#include <memory>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const auto state = std::make_unique<torvex::SolverState>();
    const std::string path = torvex::fuzz::writeScratchFile("ip.dat", data, size);
    float diameter = 0, length = 0;
    int current = 0, flow = 0;
    torvex::readSolverInputs(path, *state, diameter, length, current, flow);
    return 0;
}
