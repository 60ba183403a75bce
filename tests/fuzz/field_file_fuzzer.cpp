// ftu.res as the spray-particle model reads it, and a look-up in what was read.
#include "particles/jet_field.h"
#include "tests/fuzz/fuzz_files.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string path = torvex::fuzz::writeScratchFile("ftu.res", data, size);
    torvex::particles::JetField field;
    if (torvex::particles::readFieldFile(path, field).ok) {
        torvex::particles::GasPoint point;
        field.sample(0.3, 0.1, point);
        field.sample(field.endMm() / 2, 12.5, point);
    }
    return 0;
}
