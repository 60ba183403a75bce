// The powder and injection last chosen in a folder (kavel.dat), read over
// the defaults and written back: what it reads, it writes so that it reads
// it again.
#include "particles/spray_option_table.h"
#include "tests/fuzz/fuzz_files.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    torvex::fuzz::writeScratchFile(torvex::particles::kPowderMemoryFile, data, size);
    torvex::particles::SprayOptions options;
    std::string error;
    if (!torvex::particles::readPowderMemory(torvex::fuzz::scratchFolder(), options, error)) return 0;
    const std::string text = torvex::particles::powderMemoryText(options);
    torvex::fuzz::writeScratchFile(torvex::particles::kPowderMemoryFile, text);
    torvex::particles::SprayOptions again;
    if (!torvex::particles::readPowderMemory(torvex::fuzz::scratchFolder(), again, error)) std::abort();
    return 0;
}
