// Regenerates the reference results: runs every variant of the manifest (or
// the ones named) and stores its files under GOLDEN_DIR/<name>/.
//   torvex-golden MANIFEST GOLDEN_DIR [NAME...]
#include <algorithm>
#include <filesystem>
#include <iostream>

#include "tests/golden/golden.h"
#include "tests/support/temp_dir.h"

namespace fs = std::filesystem;
using namespace torvex;

namespace {

bool wanted(const golden::GoldenVariant& v, int argc, char** argv) {
    if (argc <= 3) return true;
    return std::any_of(argv + 3, argv + argc, [&v](const char* name) { return v.name == name; });
}

bool storeGolden(const golden::GoldenVariant& v, const std::string& goldenDir) {
    test::TempDir run;
    golden::runVariant(v, run.path());
    const fs::path target = fs::path(goldenDir) / v.name;
    std::error_code error;
    fs::remove_all(target, error);
    fs::create_directories(target, error);
    if (error) {
        std::cerr << "torvex-golden: cannot create " << target.string() << ": " << error.message() << "\n";
        return false;
    }
    for (const std::string& name : golden::goldenFileNames()) {
        const fs::path from = fs::path(run.path()) / name;
        if (fs::exists(from)) fs::copy_file(from, target / name, fs::copy_options::overwrite_existing, error);
        if (error) {
            std::cerr << "torvex-golden: cannot write " << (target / name).string() << ": " << error.message()
                      << "\n";
            return false;
        }
    }
    const std::string outcome = golden::readFileText(run.file("outcome.txt")).text;
    std::cout << v.name << ": " << outcome.substr(0, outcome.find('\n')) << "\n";
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::cerr << "usage: torvex-golden MANIFEST GOLDEN_DIR [NAME...]\n";
        return 2;
    }
    std::vector<golden::GoldenVariant> variants;
    std::string error;
    if (!golden::readManifest(argv[1], variants, error)) {
        std::cerr << "torvex-golden: " << error << "\n";
        return 2;
    }
    for (const auto& v : variants)
        if (wanted(v, argc, argv) && !storeGolden(v, fs::absolute(argv[2]).string())) return 1;
    return 0;
}
