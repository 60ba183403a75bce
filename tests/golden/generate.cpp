// Regenerates the reference results: runs every variant of a manifest (or
// the ones named) and stores its files under GOLDEN_DIR/<name>/, or for the
// spray manifest under GOLDEN_DIR/sprays/<name>/.
//   torvex-golden MANIFEST GOLDEN_DIR [NAME...]
//   torvex-golden --sprays SPRAY_MANIFEST MANIFEST GOLDEN_DIR [NAME...]
#include <algorithm>
#include <filesystem>
#include <functional>
#include <iostream>

#include "tests/golden/golden.h"
#include "tests/golden/spray_golden.h"
#include "tests/support/temp_dir.h"

namespace fs = std::filesystem;
using namespace torvex;

namespace {

bool wanted(const std::string& name, const std::vector<std::string>& names) {
    return names.empty() || std::find(names.begin(), names.end(), name) != names.end();
}

// Runs one variant in a fresh directory and copies its golden files.
bool storeGolden(const std::string& name, const fs::path& target, const std::vector<std::string>& files,
                 const std::function<void(const std::string&)>& run) {
    test::TempDir dir;
    run(dir.path());
    std::error_code error;
    fs::remove_all(target, error);
    fs::create_directories(target, error);
    if (error) {
        std::cerr << "torvex-golden: cannot create " << target.string() << ": " << error.message() << "\n";
        return false;
    }
    for (const std::string& file : files) {
        const fs::path from = fs::path(dir.path()) / file;
        if (fs::exists(from)) fs::copy_file(from, target / file, fs::copy_options::overwrite_existing, error);
        if (error) {
            std::cerr << "torvex-golden: cannot write " << (target / file).string() << ": " << error.message()
                      << "\n";
            return false;
        }
    }
    const std::string summary = golden::readFileText((target / files.front()).string()).text;
    std::cout << name << ": " << summary.substr(0, summary.find('\n')) << "\n";
    return true;
}

int usage() {
    std::cerr << "usage: torvex-golden MANIFEST GOLDEN_DIR [NAME...]\n"
                 "       torvex-golden --sprays SPRAY_MANIFEST MANIFEST GOLDEN_DIR [NAME...]\n";
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    const bool sprays = !args.empty() && args[0] == "--sprays";
    if (sprays) args.erase(args.begin());
    if (args.size() < (sprays ? 3u : 2u)) return usage();
    const std::string sprayManifest = sprays ? args[0] : std::string();
    if (sprays) args.erase(args.begin());
    const std::vector<std::string> names(args.begin() + 2, args.end());
    const fs::path goldenDir = fs::absolute(args[1]);

    std::vector<golden::GoldenVariant> jets;
    std::string error;
    if (!golden::readManifest(args[0], jets, error)) {
        std::cerr << "torvex-golden: " << error << "\n";
        return 2;
    }
    if (!sprays) {
        for (const auto& v : jets)
            if (wanted(v.name, names) &&
                !storeGolden(v.name, goldenDir / v.name, golden::goldenFileNames(),
                             [&v](const std::string& dir) { golden::runVariant(v, dir); }))
                return 1;
        return 0;
    }
    std::vector<golden::SprayVariant> variants;
    if (!golden::readSprayManifest(sprayManifest, variants, error)) {
        std::cerr << "torvex-golden: " << error << "\n";
        return 2;
    }
    for (const auto& spray : variants) {
        if (!wanted(spray.name, names)) continue;
        const auto jet =
            std::find_if(jets.begin(), jets.end(), [&spray](const auto& j) { return j.name == spray.jet; });
        if (jet == jets.end()) {
            std::cerr << "torvex-golden: the spray " << spray.name << " names the unknown jet " << spray.jet
                      << "\n";
            return 2;
        }
        if (!storeGolden(spray.name, goldenDir / "sprays" / spray.name, golden::sprayGoldenFileNames(),
                         [&](const std::string& dir) { golden::runSprayVariant(spray, *jet, dir); }))
            return 1;
    }
    return 0;
}
