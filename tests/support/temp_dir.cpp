#include "tests/support/temp_dir.h"

#include "solver/files.h"
#include "solver/result_files.h"
#include "solver/result_set.h"
#include "solver/state.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <stdexcept>

namespace fs = std::filesystem;

namespace torvex::test {

TempDir::TempDir() {
    std::string pattern = (fs::temp_directory_path() / "torvex-test-XXXXXX").string();
    if (!mkdtemp(pattern.data())) throw std::runtime_error("cannot create a temporary directory");
    path_ = pattern;
}

TempDir::~TempDir() {
    std::error_code ignored;
    fs::remove_all(path_, ignored);
}

std::string TempDir::file(const std::string& name) const { return (fs::path(path_) / name).string(); }

void TempDir::write(const std::string& name, const std::string& text) const {
    std::ofstream out(file(name), std::ios::binary | std::ios::trunc);
    out << text;
}

std::string TempDir::read(const std::string& name) const {
    std::ifstream in(file(name), std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

bool TempDir::exists(const std::string& name) const { return fs::exists(file(name)); }

void TempDir::copyGasFile(const std::string& name) const {
    fs::copy_file(sourceDataFile(name), file(name), fs::copy_options::overwrite_existing);
}

std::string sourceDataFile(const std::string& name) {
    return (fs::path(TORVEX_SOURCE_DATA_DIR) / name).string();
}

void TempDir::stampResultSet(int lengthUnit) const {
    for (const char* name : torvex::ResultFiles::fileNames())
        if (!exists(name)) write(name, "");
    const auto state = std::make_unique<torvex::SolverState>();
    // The values of the ip.dat beside it, as a run records what it read.
    readSolverInputs(file("ip.dat"), *state, state->rawDiameter, state->rawLength, state->rawCurrent,
                     state->rawFlow);
    state->lengthUnit = lengthUnit;
    std::string fault;
    if (!torvex::writeResultStamp(path_, *state, fault)) throw std::runtime_error(fault);
}

} // namespace torvex::test
