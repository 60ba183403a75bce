#include "solver/value_lists.h"

#include <gtest/gtest.h>

namespace torvex {
namespace {

struct Range {
    std::string first;
    std::string last;
    std::size_t count;
};

Range rangeOf(const ValueList& list) {
    if (list.empty()) return {"", "", 0};
    return {list.front(), list.back(), list.size()};
}

void expectRange(const ValueList& list, const std::string& first, const std::string& last, std::size_t count) {
    const Range r = rangeOf(list);
    EXPECT_EQ(r.first, first);
    EXPECT_EQ(r.last, last);
    EXPECT_EQ(r.count, count);
}

TEST(DiameterLists, TablesPerGasAndUnit) {
    expectRange(diameterEntries(false, 1), "5.0", "11.0", 31);
    expectRange(diameterEntries(true, 1), "5.0", "9.0", 21);
    expectRange(diameterEntries(false, 2), "0.20", "0.43", 24);
    expectRange(diameterEntries(true, 2), "0.20", "0.35", 16);
    EXPECT_EQ(diameterEntries(false, 1)[1], "5.2");
    EXPECT_EQ(diameterEntries(false, 2)[1], "0.21");
}

// Every entry of both diameter tables falls into the class the torch family
// was designed for.
TEST(DiameterClass, EveryListEntry) {
    const int mmClass[] = {5, 5, 5, 6, 6, 6, 6, 6, 7, 7, 7, 7, 7, 8, 8, 8, 8, 8, 9, 9, 9, 9, 9,
                           10, 10, 10, 10, 10, 11, 11, 11};
    const ValueList mm = diameterEntries(false, 1);
    for (std::size_t i = 0; i < mm.size(); ++i)
        EXPECT_EQ(diameterClass(roundedDiameterMillimetres(entryValue(mm[i]), 1)), mmClass[i]) << mm[i];
    const int inchClass[] = {5, 5, 6, 6, 6, 6, 7, 7, 7, 7, 8, 8, 8, 8, 9, 9, 9, 9, 10, 10, 10, 10, 11, 11};
    const ValueList in = diameterEntries(false, 2);
    for (std::size_t i = 0; i < in.size(); ++i)
        EXPECT_EQ(diameterClass(roundedDiameterMillimetres(entryValue(in[i]), 2)), inchClass[i]) << in[i];
}

TEST(DiameterClass, RoundingAndClamping) {
    // 0.25 in is 6.35 mm: up to the even tenth 6.4, class 6.
    EXPECT_NEAR(roundedDiameterMillimetres(0.25, 2), 6.4, 1e-9);
    EXPECT_EQ(diameterClass(roundedDiameterMillimetres(0.25, 2)), 6);
    EXPECT_NEAR(roundedDiameterMillimetres(7.7, 1), 7.8, 1e-9);
    EXPECT_NEAR(roundedDiameterMillimetres(3.0, 1), 5.0, 1e-9);
    EXPECT_NEAR(roundedDiameterMillimetres(0.5, 2), 11.0, 1e-9);
}

TEST(LengthLists, MillimetreRanges) {
    expectRange(lengthEntries(kGasArgon, 8, 1), "14", "28", 15);
    expectRange(lengthEntries(kGasNitrogen, 9, 1), "24", "40", 17);
    expectRange(lengthEntries(7, 6, 1), "10", "25", 16);
}

// The inch lengths, row by row: class, then first/last/count for argon,
// nitrogen and the mixtures (nitrogen stops at class 9).
TEST(LengthLists, InchTable) {
    struct Row {
        int k;
        Range argon, nitrogen, mixture;
    };
    const Row rows[] = {
        {5, {"0.30", "0.65", 8}, {"0.45", "0.75", 7}, {"0.30", "0.75", 10}},
        {6, {"0.35", "0.75", 9}, {"0.55", "0.95", 9}, {"0.35", "0.95", 13}},
        {7, {"0.45", "0.90", 10}, {"0.70", "1.15", 10}, {"0.45", "1.15", 15}},
        {8, {"0.55", "1.10", 12}, {"0.80", "1.35", 12}, {"0.55", "1.35", 17}},
        {9, {"0.60", "1.25", 14}, {"0.90", "1.55", 14}, {"0.60", "1.55", 20}},
        {10, {"0.70", "1.40", 15}, {"", "", 0}, {"0.70", "1.75", 22}},
        {11, {"0.75", "1.55", 17}, {"", "", 0}, {"0.75", "1.95", 25}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE("class " + std::to_string(row.k));
        expectRange(lengthEntries(kGasArgon, row.k, 2), row.argon.first, row.argon.last, row.argon.count);
        if (row.nitrogen.count)
            expectRange(lengthEntries(kGasNitrogen, row.k, 2), row.nitrogen.first, row.nitrogen.last,
                        row.nitrogen.count);
        for (int mix : {5, 9, 10, 14})
            expectRange(lengthEntries(mix, row.k, 2), row.mixture.first, row.mixture.last, row.mixture.count);
    }
}

TEST(CurrentAndFlowLists, WorkedVariants) {
    // Argon, 8.0 mm.
    expectRange(currentEntries(kGasArgon, 8), "500 ", "900 ", 41);
    expectRange(flowEntries(kGasArgon, 8, 1), "35 ", "80 ", 10);
    expectRange(flowEntries(kGasArgon, 8, 2), "70 ", "160", 19);
    // Nitrogen, 9.0 mm.
    expectRange(currentEntries(kGasNitrogen, 9), "300 ", "500 ", 21);
    expectRange(flowEntries(kGasNitrogen, 9, 1), "45 ", "80 ", 8);
    // Argon, 11.0 mm: four-digit currents fill their field without a blank.
    expectRange(currentEntries(kGasArgon, 11), "800 ", "1350", 56);
    expectRange(flowEntries(kGasArgon, 11, 1), "50 ", "110", 13);
}

TEST(CurrentAndFlowLists, MixtureRanges) {
    const int k = 8;
    expectRange(currentEntries(5, k), "500 ", "900 ", 41);
    expectRange(currentEntries(7, k), "500 ", "750 ", 26);
    expectRange(currentEntries(9, k), "500 ", "700 ", 21);
    expectRange(currentEntries(12, k), "500 ", "950 ", 46);
    expectRange(flowEntries(5, k, 1), "35 ", "80 ", 10);
    expectRange(flowEntries(6, k, 1), "40 ", "80 ", 9);
    expectRange(flowEntries(8, k, 2), "95 ", "160", 14);
    expectRange(flowEntries(14, k, 1), "35 ", "80 ", 10);
}

} // namespace
} // namespace torvex
