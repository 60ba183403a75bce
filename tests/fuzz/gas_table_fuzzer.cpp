// A gas property table: 54 lines of eight 10-column numbers.
#include "solver/files.h"
#include "solver/state.h"
#include "tests/fuzz/fuzz_files.h"

#include <memory>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const auto state = std::make_unique<torvex::SolverState>();
    const std::string path = torvex::fuzz::writeScratchFile("ar.dat", data, size);
    torvex::readGasFile(path, *state);
    return 0;
}
