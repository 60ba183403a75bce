// A few powders sprayed into jets of the reference matrix: particles.csv,
// trajectories.csv and the run's summary must equal the stored ones byte for
// byte; a difference is reported as the first differing record of each file
// with both values and their relative difference. Regenerated on purpose
// only, with scripts/regenerate-goldens.sh.
#include "tests/golden/spray_golden.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "tests/support/temp_dir.h"

namespace torvex {
namespace {

struct SprayCase {
    golden::SprayVariant spray;
    golden::GoldenVariant jet;
};

std::vector<SprayCase> sprays() {
    std::vector<golden::GoldenVariant> jets;
    std::vector<golden::SprayVariant> variants;
    std::string error;
    const std::string dir = TORVEX_GOLDEN_DIR;
    if (!golden::readManifest(dir + "/variants.txt", jets, error) ||
        !golden::readSprayManifest(dir + "/sprays.txt", variants, error)) {
        ADD_FAILURE() << error;
        return {};
    }
    std::vector<SprayCase> cases;
    for (const auto& spray : variants) {
        const auto jet =
            std::find_if(jets.begin(), jets.end(), [&spray](const auto& j) { return j.name == spray.jet; });
        if (jet == jets.end())
            ADD_FAILURE() << "the spray " << spray.name << " names the unknown jet " << spray.jet;
        else
            cases.push_back({spray, *jet});
    }
    return cases;
}

void PrintTo(const SprayCase& c, std::ostream* out) { *out << c.spray.name << " in " << c.jet.name; }

class SprayGoldens : public ::testing::TestWithParam<SprayCase> {};

TEST_P(SprayGoldens, EveryFileEqualsItsGoldenByteForByte) {
    const SprayCase& c = GetParam();
    const test::TempDir run;
    golden::runSprayVariant(c.spray, c.jet, run.path());
    const std::string goldenDir = std::string(TORVEX_GOLDEN_DIR) + "/sprays/" + c.spray.name + "/";
    ASSERT_TRUE(golden::readFileText(goldenDir + "spray.txt").exists)
        << "no golden for " << c.spray.name << " in " << goldenDir << " (run scripts/regenerate-goldens.sh)";
    for (const std::string& name : golden::sprayGoldenFileNames()) {
        const std::string report = golden::compareFile(name, golden::readFileText(goldenDir + name),
                                                       golden::readFileText(run.file(name)));
        if (!report.empty()) ADD_FAILURE() << c.spray.name << " " << report;
    }
}

INSTANTIATE_TEST_SUITE_P(Powders, SprayGoldens, ::testing::ValuesIn(sprays()),
                         [](const ::testing::TestParamInfo<SprayCase>& info) {
                             return info.param.spray.name;
                         });

}  // namespace
}  // namespace torvex
