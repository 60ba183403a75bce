// A study file becomes the variants the solver will really compute: values
// from lists, ranges and the input dialog's lists, each brought into the
// model's ranges as the solver does, and variants that coincide after that
// computed once.
#include "study/study_plan.h"

#include <gtest/gtest.h>

#include <chrono>
#include <set>

#include "study/study_file.h"

namespace torvex {
namespace {

StudyPlan planOf(const std::string& toml) {
    StudyDefinition d;
    std::string error;
    EXPECT_TRUE(parseStudyText(toml, "/work/s.toml", d, error)) << error;
    StudyPlan plan;
    EXPECT_TRUE(expandStudy(d, plan, error)) << error;
    return plan;
}

std::string errorOf(const std::string& toml) {
    StudyDefinition d;
    std::string error;
    EXPECT_FALSE(parseStudyText(toml, "/work/s.toml", d, error));
    return error;
}

TEST(StudyFile, ListsRangesAndDialogValuesExpandInOrderLastInputFastest) {
    const StudyPlan plan = planOf(
        "[[sweep]]\ngas = 1\ndiameter = 8.0\nlength = 14\n"
        "current = { from = 500, to = 600, step = 50 }\nflow = [35, 50]\n");
    ASSERT_EQ(plan.variants.size(), 6u);
    EXPECT_EQ(plan.variants[0].entered.current, 500);
    EXPECT_EQ(plan.variants[1].entered.flow, 50);
    EXPECT_EQ(plan.variants[5].entered.current, 600);
    EXPECT_EQ(plan.variants[5].index, 5);
    EXPECT_EQ(plan.variants[0].name, "g01-d8.0mm-l14mm-i500A-f35slpm");
}

TEST(StudyFile, AllTakesTheInputDialogsListsForTheGasAndDiameter) {
    // Argon, 8 mm (class 8): lengths 14..28 mm, currents 500..900 A, flows 35..80 SLPM.
    const StudyPlan plan =
        planOf("[[sweep]]\ngas = 1\ndiameter = 8.0\nlength = 14\ncurrent = \"all\"\nflow = \"all\"\n");
    EXPECT_EQ(plan.variants.size(), 41u * 10u);
    EXPECT_EQ(plan.variants.front().used.current, 500);
    EXPECT_EQ(plan.variants.back().used.current, 900);
    EXPECT_EQ(plan.variants.back().used.flow, 80);
    // Nitrogen offers diameters only up to 9.0 mm; in SCFH the flows double.
    const StudyPlan n2 = planOf(
        "[units]\nflow = \"scfh\"\n[[sweep]]\ngas = 2\ndiameter = \"all\"\nlength = \"all\"\n"
        "current = 300\nflow = \"all\"\n");
    int largest = 0, flowMax = 0;
    for (const StudyVariant& v : n2.variants) {
        largest = std::max(largest, v.used.diameterTenths);
        flowMax = std::max(flowMax, v.used.flow);
    }
    EXPECT_EQ(largest, 90);
    EXPECT_EQ(flowMax, 160);  // 10 u (k - 1) for class 9 in SCFH
}

TEST(StudyFile, ValuesAreClampedAsTheSolverClampsAndDuplicatesRunOnce) {
    // 1000 and 1200 A both become the 900 A cap of argon at 8 mm; 14.4 and
    // 14 mm both 14 mm; 7.9 mm is rounded up to 8.0 mm.
    const StudyPlan plan = planOf(
        "[[sweep]]\ngas = 1\ndiameter = [8.0, 7.9]\nlength = [14, 14.4]\n"
        "current = [1000, 1200]\nflow = 37\n");
    ASSERT_EQ(plan.variants.size(), 1u);
    const StudyVariant& v = plan.variants[0];
    EXPECT_EQ(v.used.diameterTenths, 80);
    EXPECT_EQ(v.used.lengthMm, 14);
    EXPECT_EQ(v.used.current, 900);
    EXPECT_EQ(v.used.flow, 35);                 // down to a multiple of 5
    EXPECT_DOUBLE_EQ(v.entered.current, 1000);  // the first as entered is kept
    // Inches: 0.25 in is 6.35 mm, read back as 6.35 and rounded up to 6.4 mm.
    const StudyPlan inch = planOf(
        "[units]\nlength = \"in\"\n[[sweep]]\ngas = 1\ndiameter = 0.25\nlength = 0.6\n"
        "current = 400\nflow = 30\n");
    ASSERT_EQ(inch.variants.size(), 1u);
    EXPECT_EQ(inch.variants[0].used.diameterTenths, 64);
    EXPECT_EQ(inch.variants[0].used.lengthMm, 15);  // 0.6 in = 15.24 mm
    EXPECT_EQ(inch.variants[0].name, "g01-d6.4mm-l15mm-i400A-f30slpm-in");
}

TEST(StudyFile, ShardsAreDisjointSlicesThatCoverTheStudy) {
    const StudyPlan plan =
        planOf("[[sweep]]\ngas = [1, 5]\ndiameter = 8.0\nlength = 14\ncurrent = \"all\"\nflow = 40\n");
    std::set<int> seen;
    for (int shard = 0; shard < 3; ++shard)
        for (const StudyVariant& v : shardVariants(plan, shard, 3)) {
            EXPECT_EQ(v.index % 3, shard);
            EXPECT_TRUE(seen.insert(v.index).second);
        }
    EXPECT_EQ(seen.size(), plan.variants.size());
}

TEST(StudyFile, FaultsNameTheFileTheKeyAndTheLine) {
    EXPECT_NE(errorOf("[[sweep]]\ngas = 1\ndiameter = 8\nlength = 14\ncurrent = 500\nflow = 35\ncolour = 3\n")
                  .find("\"colour\" (gas, diameter, length, current, flow) (line 7)"),
              std::string::npos);
    EXPECT_NE(errorOf("[units]\nflow = \"gpm\"\n[[sweep]]\n").find("/work/s.toml"), std::string::npos);
    EXPECT_NE(errorOf("[units]\nflow = \"gpm\"\n").find("\"SLPM\", \"SCFH\""), std::string::npos);
    EXPECT_NE(errorOf("[[sweep]]\ngas = 1\ndiameter = []\n").find("the list \"diameter\" is empty"),
              std::string::npos);
    EXPECT_NE(errorOf("[[sweep]]\ngas = 1\ndiameter = 8\nlength = 14\ncurrent = { from = 5, to = 9, step = 0 "
                      "}\nflow = 3\n")
                  .find("step above 0"),
              std::string::npos);
    EXPECT_NE(errorOf("[[sweep]]\ngas = 1\ndiameter = \"some\"\n").find("not \"some\""), std::string::npos);
    EXPECT_NE(errorOf("gas = [1,\n").find("not valid TOML"), std::string::npos);
    EXPECT_NE(errorOf("[units]\n").find("no [[sweep]]"), std::string::npos);
    // Values that cannot stand in ip.dat are refused before anything runs.
    StudyDefinition d;
    std::string error;
    ASSERT_TRUE(parseStudyText("[[sweep]]\ngas = 3\ndiameter = 8\nlength = 14\ncurrent = 500\nflow = 35\n",
                               "s", d, error));
    StudyPlan plan;
    EXPECT_FALSE(expandStudy(d, plan, error));
    EXPECT_NE(error.find("gas code 3"), std::string::npos);
    ASSERT_TRUE(parseStudyText("[[sweep]]\ngas = 1\ndiameter = 8\nlength = 14\ncurrent = 12000\nflow = 35\n",
                               "s", d, error));
    EXPECT_FALSE(expandStudy(d, plan, error));
    EXPECT_NE(error.find("current below 10000"), std::string::npos);
}

// A key of 50 000 dots overflowed the stack inside the TOML library, and a
// product of fine ranges spun for minutes: both are known at once.
TEST(StudyFile, DeepNestingIsRefusedBeforeParsingAndHugeProductsAreCountedAtOnce) {
    std::string dotted = "gas";
    for (int k = 0; k < 50000; ++k) dotted += ".a";
    const std::string deep = errorOf(dotted + " = 1\n");
    EXPECT_NE(deep.find("deeper than 32 levels (line 1)"), std::string::npos) << deep;
    EXPECT_NE(errorOf("x = " + std::string(20000, '[')).find("deeper than 32"), std::string::npos);
    // Dots in comments and strings are not nesting.
    const std::string quiet = "# " + std::string(100, '.') + "\n[units] # '''\nlength = \"mm\" # " +
                              std::string(40, '.') + "\ntemperature = '" + std::string(40, '.') + "K'\n";
    EXPECT_NE(errorOf(quiet).find("temperature unit"), std::string::npos) << errorOf(quiet);

    StudyDefinition all;
    std::string error;
    ASSERT_TRUE(parseStudyText("[[sweep]]\ngas = \"all\"\ndiameter = \"all\"\nlength = { from = 1, to = 99, step = 1 "
                               "}\ncurrent = \"all\"\nflow = \"all\"\n", "s", all, error));
    const auto start = std::chrono::steady_clock::now();
    const CombinationCount count = combinationCount(all);
    EXPECT_TRUE(count.exact);
    EXPECT_EQ(count.count, 12665070);
    ASSERT_TRUE(parseStudyText("[[sweep]]\ngas = 1\ndiameter = { from = 5, to = 11, step = 0.0001 }\nlength = "
                               "\"all\"\ncurrent = { from = 100, to = 1000, step = 0.01 }\nflow = 35\n", "s", all, error));
    EXPECT_GT(combinationCount(all).count, 5e9);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(1));
    ASSERT_TRUE(parseStudyText("[[sweep]]\ngas = 1\ndiameter = 8.0\nlength = 14\ncurrent = \"all\"\nflow = \"all\"\n",
                               "s", all, error));
    EXPECT_EQ(combinationCount(all).count, 41 * 10);
}

}  // namespace
}  // namespace torvex
