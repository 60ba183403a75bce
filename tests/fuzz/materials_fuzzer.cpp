// The powder materials table (materials.csv).
#include "particles/materials.h"
#include "tests/fuzz/fuzz_files.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string path = torvex::fuzz::writeScratchFile("materials.csv", data, size);
    torvex::particles::MaterialTable table;
    torvex::particles::readMaterialFile(path, table);
    return 0;
}
