// A result set's stamp as every reader of a jet checks it: the stamp, iop.par
// and ip.dat of one input (separated by form feeds), read as a set whose
// other members are missing or stray.
#include "solver/result_set.h"
#include "tests/fuzz/fuzz_files.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::vector<std::string> pieces = torvex::fuzz::splitAtFormFeeds(data, size);
    const char* const names[] = {"results.stamp", "iop.par", "ip.dat", "ftu.res"};
    for (std::size_t k = 0; k < 4; ++k) {
        if (k < pieces.size())
            torvex::fuzz::writeScratchFile(names[k], pieces[k]);
        else
            torvex::fuzz::removeScratchFile(names[k]);
    }
    const torvex::ResultSet set = torvex::readResultSet(torvex::fuzz::scratchFolder());
    if (set.ok && set.variantName.empty()) __builtin_trap();  // a finished set always names its variant
    return 0;
}
