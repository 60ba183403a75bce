// un.dat and unp.dat: the interface's reader of the four codes and the
// solver's column reader.
#include "solver/files.h"
#include "solver/state.h"
#include "tests/fuzz/fuzz_files.h"

#include <memory>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const auto state = std::make_unique<torvex::SolverState>();
    const std::string path = torvex::fuzz::writeScratchFile("un.dat", data, size);
    torvex::UnitCodes codes;
    torvex::readUnitCodes(path, codes);
    torvex::readSolverUnits(path, *state);
    return 0;
}
