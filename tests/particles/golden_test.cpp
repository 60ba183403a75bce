// Every spray case of the reference matrix is flown again through a jet the
// solver computes afresh, and each of its files must equal the stored one
// byte for byte. A difference is reported as the first differing record of
// each file with both values and their relative difference. The goldens are
// regenerated on purpose only, with scripts/regenerate-particle-goldens.sh.
#include <gtest/gtest.h>

#include <map>
#include <memory>

#include "tests/particles/golden/spray_golden.h"
#include "tests/support/temp_dir.h"

namespace torvex::particles {

namespace golden {
// Test names and failure lines show the case by its name.
void PrintTo(const GoldenCase& c, std::ostream* out) { *out << c.name; }
}  // namespace golden

namespace {

const std::string kGoldenDir = KAVEL_GOLDEN_DIR;

const golden::GoldenManifest& manifest() {
    static const golden::GoldenManifest read = [] {
        golden::GoldenManifest m;
        std::string error;
        if (!golden::readManifest(kGoldenDir + "/cases.txt", m, error)) ADD_FAILURE() << error;
        return m;
    }();
    return read;
}

// The directory of a jet, computed on first use and kept while the test
// program runs (the solver is deterministic, so there is no file to store).
const std::string& jetDirectory(const std::string& name) {
    static std::map<std::string, std::unique_ptr<torvex::test::TempDir>> jets;
    auto& dir = jets[name];
    if (!dir) {
        dir = std::make_unique<torvex::test::TempDir>();
        const golden::GoldenJet* jet = manifest().findJet(name);
        const std::string fault = jet ? golden::computeJet(*jet, dir->path()) : "no jet " + name;
        EXPECT_EQ(fault, "");
    }
    return dir->path();
}

std::string firstLine(const std::string& text) { return text.substr(0, text.find('\n')); }

class SprayMatrixGolden : public ::testing::TestWithParam<golden::GoldenCase> {};

TEST_P(SprayMatrixGolden, EveryFileEqualsItsGoldenByteForByte) {
    const golden::GoldenCase& c = GetParam();
    const std::string goldenDir = kGoldenDir + "/" + c.name + "/";
    ASSERT_TRUE(golden::readFileText(goldenDir + "summary.txt").exists)
        << "no golden for " << c.name << " in " << goldenDir
        << " (run scripts/regenerate-particle-goldens.sh)";
    const torvex::test::TempDir run;
    golden::runCase(c, jetDirectory(c.jet), run.path());
    for (const std::string& name : golden::goldenFileNames()) {
        const golden::FileText expected = golden::readFileText(goldenDir + name);
        const golden::FileText actual = golden::readFileText(run.file(name));
        std::string report = golden::compareFile(name, expected, actual);
        if (name == "summary.txt" && firstLine(expected.text) != firstLine(actual.text))
            report +=
                "  The jet itself is not the one the golden was made on: the solver's results moved (see its "
                "own golden test); once that is meant, regenerate these goldens.\n";
        if (!report.empty()) ADD_FAILURE() << c.name << " " << report;
    }
}

INSTANTIATE_TEST_SUITE_P(Matrix, SprayMatrixGolden, ::testing::ValuesIn(manifest().cases),
                         [](const ::testing::TestParamInfo<golden::GoldenCase>& info) {
                             return info.param.name;
                         });

}  // namespace
}  // namespace torvex::particles
