#include "variant/parameter_input.h"

#include <gtest/gtest.h>

namespace torvex {
namespace {

using namespace input_ids;

UnitCodes units(int length, int flow) {
    UnitCodes u;
    u.length = length;
    u.flow = flow;
    return u;
}

// Selects the entry with the given text in a list.
void pick(ParameterInput& input, int listId, const std::string& text) {
    ListState& list = input.list(listId);
    for (std::size_t i = 0; i < list.entries.size(); ++i) {
        if (list.entries[i] == text) {
            input.selectEntry(listId, static_cast<int>(i));  // as the dialog passes a pick on
            return;
        }
    }
    FAIL() << text << " not in list " << listId;
}

TEST(ParameterTemplate, ChosenByLengthAndFlowCodes) {
    EXPECT_EQ(parameterTemplateName(units(1, 1)), "INPUT_ML");
    EXPECT_EQ(parameterTemplateName(units(1, 2)), "INPUT_MF");
    EXPECT_EQ(parameterTemplateName(units(2, 1)), "INPUT_IL");
    EXPECT_EQ(parameterTemplateName(units(2, 2)), "INPUT_IF");
    EXPECT_EQ(parameterTemplateName(units(3, 1)), "");
    EXPECT_EQ(parameterTemplateName(units(1, 0)), "");
}

TEST(ParameterInput, OpensWithArgonAndEmptyGroup2) {
    const ParameterInput input(units(2, 1));
    EXPECT_EQ(input.checkedGas(), kArgon);
    EXPECT_FALSE(input.group1Confirmed());
    EXPECT_TRUE(input.list(kArgonFractionList).entries.empty());
    EXPECT_EQ(input.list(kDiameterList).entries.size(), 24u);
    EXPECT_EQ(input.list(kDiameterList).selectedText(), "0.20");
    for (int id : {kLengthList, kCurrentList, kFlowList}) EXPECT_TRUE(input.list(id).entries.empty());
}

TEST(ParameterInput, Group2BeforeGroup1DoesNothing) {
    const ParameterInput input(units(1, 1));
    EXPECT_FALSE(input.confirmGroup2().has_value());
}

TEST(ParameterInput, ArgonEightMillimetres) {
    ParameterInput input(units(1, 1));
    pick(input, kDiameterList, "8.0");
    input.confirmGroup1();
    EXPECT_EQ(input.gasCode(), kGasArgon);
    EXPECT_EQ(input.diameterClass(), 8);
    EXPECT_EQ(input.list(kLengthList).selectedText(), "14");
    EXPECT_EQ(input.list(kCurrentList).selectedText(), "500 ");
    EXPECT_EQ(input.list(kFlowList).selectedText(), "35 ");
    const auto variant = input.confirmGroup2();
    ASSERT_TRUE(variant.has_value());
    EXPECT_EQ(variant->gasCode, 1);
    EXPECT_DOUBLE_EQ(variant->diameter, 8.0);
    EXPECT_DOUBLE_EQ(variant->length, 14.0);
    EXPECT_DOUBLE_EQ(variant->current, 500.0);
    EXPECT_DOUBLE_EQ(variant->flow, 35.0);
}

TEST(ParameterInput, MixtureGasCodeFromFractionRow) {
    ParameterInput input(units(2, 2));
    input.chooseGas(kArgonHelium);
    EXPECT_EQ(input.list(kArgonFractionList).entries, (ValueList{"90", "80", "70", "60", "50"}));
    pick(input, kArgonFractionList, "70");
    pick(input, kDiameterList, "0.30");
    input.confirmGroup1();
    EXPECT_EQ(input.gasCode(), 12);
    const auto variant = input.confirmGroup2();
    ASSERT_TRUE(variant.has_value());
    EXPECT_DOUBLE_EQ(variant->diameter, 0.30);
    EXPECT_DOUBLE_EQ(variant->length, 0.55);
    EXPECT_DOUBLE_EQ(variant->flow, 70.0);

    input.chooseGas(kArgonHydrogen);
    EXPECT_EQ(input.list(kArgonFractionList).selectedText(), "95");
    pick(input, kArgonFractionList, "85");
    input.confirmGroup1();
    EXPECT_EQ(input.gasCode(), 7);
}

// Once group (1) is confirmed, ip.dat must always be the variant the dialog
// shows: another gas, fraction or diameter re-derives the gas code and
// rebuilds the lists of group (2), keeping the picks they still offer.
TEST(ParameterInput, AnotherGasOrDiameterAfterConfirmingRebuildsGroup2) {
    ParameterInput input(units(1, 1));
    pick(input, kDiameterList, "10.0");
    input.confirmGroup1();
    pick(input, kCurrentList, "1000");
    pick(input, kFlowList, "50 ");

    input.chooseGas(kNitrogen);
    EXPECT_EQ(input.list(kDiameterList).entries.size(), 21u);
    EXPECT_EQ(input.list(kDiameterList).selectedText(), "5.0");
    EXPECT_TRUE(input.group1Confirmed());
    // Nitrogen, class 5: lengths 12 to 20 mm, currents 100 to 300 A (1000 A
    // is no longer offered), flows 25 to 40 SLPM.
    EXPECT_EQ(input.gasCode(), kGasNitrogen);
    EXPECT_EQ(input.list(kLengthList).entries.front(), "12");
    EXPECT_EQ(input.list(kCurrentList).selectedText(), "100 ");
    auto variant = input.confirmGroup2();
    ASSERT_TRUE(variant.has_value());
    EXPECT_EQ(variant->gasCode, kGasNitrogen);
    EXPECT_DOUBLE_EQ(variant->diameter, 5.0);
    EXPECT_DOUBLE_EQ(variant->current, 100.0);

    // A larger diameter: the class and the lists follow; a current still on
    // offer stays picked.
    pick(input, kCurrentList, "300 ");
    pick(input, kDiameterList, "9.0");
    EXPECT_EQ(input.diameterClass(), 9);
    EXPECT_EQ(input.list(kLengthList).entries.front(), "24");
    EXPECT_EQ(input.list(kCurrentList).entries.back(), "500 ");
    EXPECT_EQ(input.list(kCurrentList).selectedText(), "300 ");
    variant = input.confirmGroup2();
    ASSERT_TRUE(variant.has_value());
    EXPECT_DOUBLE_EQ(variant->diameter, 9.0);
    EXPECT_DOUBLE_EQ(variant->length, 24.0);

    // A hydrogen fraction picked after the gas: the code follows the row.
    input.chooseGas(kArgonHydrogen);
    EXPECT_EQ(input.gasCode(), 5);
    pick(input, kArgonFractionList, "80");
    EXPECT_EQ(input.gasCode(), 8);
    EXPECT_EQ(input.confirmGroup2()->gasCode, 8);
}

} // namespace
} // namespace torvex
