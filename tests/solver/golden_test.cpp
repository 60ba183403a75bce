// Every variant of the reference matrix is run again and each of its files
// must equal the stored one byte for byte. A difference is reported as the
// first differing record of each file, with both values and their relative
// difference. The goldens are regenerated on purpose only, with
// scripts/regenerate-goldens.sh.
#include "tests/golden/golden.h"

#include <gtest/gtest.h>

#include <sstream>

#include "tests/support/temp_dir.h"

namespace torvex {
namespace {

std::vector<golden::GoldenVariant> matrix() {
    std::vector<golden::GoldenVariant> variants;
    std::string error;
    if (!golden::readManifest(std::string(TORVEX_GOLDEN_DIR) + "/variants.txt", variants, error))
        ADD_FAILURE() << error;
    return variants;
}

// The line of ftu.sum where two checksum files first differ (from 1), or 0.
int firstDifferingRecord(const std::string& expected, const std::string& actual) {
    std::istringstream e(expected), a(actual);
    std::string le, la;
    for (int record = 1;; ++record) {
        const bool moreE = static_cast<bool>(std::getline(e, le));
        const bool moreA = static_cast<bool>(std::getline(a, la));
        if (!moreE && !moreA) return 0;
        if (moreE != moreA || le != la) return record;
    }
}

// The report names the first differing record and, in a CSV file, the column
// of each differing field; commas and blanks both separate fields.
TEST(GoldenComparison, NamesTheRecordAndTheCsvColumnOfADifference) {
    const golden::FileText expected{true, "id,diameter_um,velocity_m_s\n1,40,120.5\n2,50,98.25\n"};
    const golden::FileText actual{true, "id,diameter_um,velocity_m_s\n1,40,120.5\n2,50,97.5\n"};
    const std::string report = golden::compareFile("particles.csv", expected, actual);
    EXPECT_NE(report.find("first difference in record 3"), std::string::npos) << report;
    EXPECT_NE(report.find("field 3 (velocity_m_s): 98.25 -> 97.5"), std::string::npos) << report;
    EXPECT_EQ(report.find("field 2"), std::string::npos) << report;

    const std::string columns =
        golden::compareFile("rtu5.res", {true, "  1.0  2.0\n"}, {true, "  1.0  2.5\n"});
    EXPECT_NE(columns.find("field 2: 2.0 -> 2.5 (relative difference +2.500e-01)"), std::string::npos)
        << columns;
    EXPECT_TRUE(golden::compareFile("ilt.res", {true, "a b\n"}, {true, "a b\n"}).empty());
    EXPECT_NE(golden::compareFile("ilt.res", {true, "a\n"}, {}).find("not written by the run"),
              std::string::npos);
}

class GoldenMatrix : public ::testing::TestWithParam<golden::GoldenVariant> {};

TEST_P(GoldenMatrix, EveryFileEqualsItsGoldenByteForByte) {
    const golden::GoldenVariant& variant = GetParam();
    const test::TempDir run;
    golden::runVariant(variant, run.path());
    const std::string goldenDir = std::string(TORVEX_GOLDEN_DIR) + "/" + variant.name + "/";
    ASSERT_TRUE(golden::readFileText(goldenDir + "outcome.txt").exists)
        << "no golden for " << variant.name << " in " << goldenDir << " (run scripts/regenerate-goldens.sh)";
    for (const std::string& name : golden::goldenFileNames()) {
        const golden::FileText expected = golden::readFileText(goldenDir + name);
        const golden::FileText actual = golden::readFileText(run.file(name));
        std::string report = golden::compareFile(name, expected, actual);
        if (!report.empty() && name == "ftu.sum" && expected.exists && actual.exists) {
            const int record = firstDifferingRecord(expected.text, actual.text);
            if (record > 0) report += golden::fieldRecordExcerpt(run.read("ftu.res"), record);
        }
        if (!report.empty()) ADD_FAILURE() << variant.name << " " << report;
    }
}

INSTANTIATE_TEST_SUITE_P(Variants, GoldenMatrix, ::testing::ValuesIn(matrix()),
                         [](const ::testing::TestParamInfo<golden::GoldenVariant>& info) {
                             return info.param.name;
                         });

}  // namespace
}  // namespace torvex
