#include "variant/progress_text.h"
#include "pages/summary_text.h"

#include <gtest/gtest.h>

namespace torvex {
namespace {

TEST(SummaryLines, InputtedDataByRangeAndUnits) {
    EXPECT_EQ(diameterLine(8.0, 1), "Anode diameter: 8.0 mm");
    EXPECT_EQ(diameterLine(10.2, 1), "Anode diameter: 10.2 mm");
    EXPECT_EQ(diameterLine(0.30, 2), "Anode diameter: 0.30 in");
    EXPECT_EQ(diameterLine(0.30, 7), "Anode diameter: 0.30 in");
    EXPECT_EQ(lengthLine(8, 1), "Anode length: 8 mm");
    EXPECT_EQ(lengthLine(14, 1), "Anode length: 14 mm");
    EXPECT_EQ(lengthLine(1.1, 2), "Anode length: 1.10 in");
    EXPECT_EQ(currentLine(1050), "Arc current: 1050 A");
    EXPECT_EQ(currentLine(500), "Arc current: 500 A");
    EXPECT_EQ(flowLine(85, 2), "Gas flow rate: 85 SCFH");
    EXPECT_EQ(flowLine(110, 1), "Gas flow rate: 110 SLPM");
    EXPECT_EQ(flowLine(35, 1), "Gas flow rate: 35 SLPM");
}

TEST(SummaryLines, CalculatedData) {
    EXPECT_EQ(voltageLine(42.36), "Arc voltage: 42.4 V");
    EXPECT_EQ(voltageLine(123.4), "Arc voltage: 123.4 V");
    EXPECT_EQ(powerLine(9.5), "Electric power: 9.5 kW");
    EXPECT_EQ(powerLine(21.2), "Electric power: 21.2 kW");
    EXPECT_EQ(efficiencyLine(57.6), "Plasmatron efficiency: 58 %");
    EXPECT_EQ(efficiencyLine(7), "Plasmatron efficiency:  7 %");
    EXPECT_EQ(voltageOverflowLine(), "Arc voltage: ***** V");
    EXPECT_EQ(efficiencyOverflowLine(), "Plasmatron efficiency: ** %");
}

TEST(SummaryLines, GasLineWithSubscriptPlace) {
    EXPECT_EQ(gasLine(1).text, "Plasma gas: Ar");
    EXPECT_EQ(gasLine(1).subscriptAfter, "");
    EXPECT_EQ(gasLine(2).text, "Plasma gas: N");
    EXPECT_EQ(gasLine(2).subscriptAfter, "Plasma gas: N");
    EXPECT_EQ(gasLine(7).text, "Plasma gas: Ar + H   (15 %)");
    EXPECT_EQ(gasLine(7).subscriptAfter, "Plasma gas: Ar + H");
    EXPECT_EQ(gasLine(5).text, "Plasma gas: Ar + H   (5 %)");
    EXPECT_EQ(gasLine(9.9).text, "Plasma gas: Ar + H   (25 %)");
    EXPECT_EQ(gasLine(10).text, "Plasma gas: Ar + He (10 %)");
    EXPECT_EQ(gasLine(14).text, "Plasma gas: Ar + He (50 %)");
    EXPECT_EQ(gasLine(14).subscriptAfter, "");
    for (double unknown : {0.0, 3.0, 4.0, 15.0, -1.0}) EXPECT_EQ(gasLine(unknown).text, "") << unknown;
}

TEST(ProgressTexts, PercentagePatterns) {
    EXPECT_EQ(progressPercentText(-1), "    0 %   ");
    EXPECT_EQ(progressPercentText(0), "    0 %   ");
    EXPECT_EQ(progressPercentText(5), "    5 %        ");
    EXPECT_EQ(progressPercentText(50), "  50 %        ");
    EXPECT_EQ(progressPercentText(95), "  95 %        ");
    EXPECT_EQ(progressPercentText(100), "100 %        ");
    EXPECT_FALSE(progressAdvancesBar(-3));
    EXPECT_FALSE(progressAdvancesBar(0));
    EXPECT_TRUE(progressAdvancesBar(5));
    EXPECT_STREQ(progressPhaseText(RunPhase::Inside), "Parameters of plasma flow inside");
    EXPECT_STREQ(progressPhaseText(RunPhase::Outside), "Parameters of plasma jet outside");
}

} // namespace
} // namespace torvex
