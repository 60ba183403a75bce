// Regenerates the reference results of the particle model: computes every
// jet of the manifest once, flies every case (or the ones named) through it
// and stores the case's files under GOLDEN_DIR/<name>/.
//   kavel-golden MANIFEST GOLDEN_DIR [NAME...]
#include <algorithm>
#include <filesystem>
#include <iostream>
#include <map>
#include <memory>

#include "tests/particles/golden/spray_golden.h"
#include "tests/support/temp_dir.h"

namespace fs = std::filesystem;
using namespace torvex::particles::golden;

namespace {

bool wanted(const GoldenCase& c, int argc, char** argv) {
    if (argc <= 3) return true;
    return std::any_of(argv + 3, argv + argc, [&c](const char* name) { return c.name == name; });
}

bool storeGolden(const GoldenCase& c, const std::string& jetDir, const fs::path& goldenDir) {
    const torvex::test::TempDir run;
    runCase(c, jetDir, run.path());
    const fs::path target = goldenDir / c.name;
    std::error_code error;
    fs::remove_all(target, error);
    fs::create_directories(target, error);
    for (const std::string& name : goldenFileNames()) {
        if (error) break;
        if (run.exists(name))
            fs::copy_file(run.file(name), target / name, fs::copy_options::overwrite_existing, error);
    }
    if (error) {
        std::cerr << "kavel-golden: cannot write " << target.string() << ": " << error.message() << "\n";
        return false;
    }
    const std::string summary = run.read("summary.txt");
    std::size_t line = summary.find("\nparticles:");
    line = line == std::string::npos ? 0 : line + 1;
    std::cout << c.name << ": " << summary.substr(line, summary.find('\n', line) - line) << "\n";
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::cerr << "usage: kavel-golden MANIFEST GOLDEN_DIR [NAME...]\n";
        return 2;
    }
    GoldenManifest manifest;
    std::string error;
    if (!readManifest(argv[1], manifest, error)) {
        std::cerr << "kavel-golden: " << error << "\n";
        return 2;
    }
    std::map<std::string, std::unique_ptr<torvex::test::TempDir>> jets;
    for (const GoldenCase& c : manifest.cases) {
        if (!wanted(c, argc, argv)) continue;
        auto& jetDir = jets[c.jet];
        if (!jetDir) {
            jetDir = std::make_unique<torvex::test::TempDir>();
            const std::string fault = computeJet(*manifest.findJet(c.jet), jetDir->path());
            if (!fault.empty()) {
                std::cerr << "kavel-golden: " << fault << "\n";
                return 1;
            }
        }
        if (!storeGolden(c, jetDir->path(), fs::absolute(argv[2]))) return 1;
    }
    return 0;
}
