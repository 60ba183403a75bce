#include "variant/parameter_input.h"

#include <utility>

namespace torvex {

std::string parameterTemplateName(const UnitCodes& units) {
    if (units.length == 1 && units.flow == 1) return "INPUT_ML";
    if (units.length == 1 && units.flow == 2) return "INPUT_MF";
    if (units.length == 2 && units.flow == 1) return "INPUT_IL";
    if (units.length == 2 && units.flow == 2) return "INPUT_IF";
    return "";
}

void ListState::fill(ValueList newEntries) {
    entries = std::move(newEntries);
    selected = entries.empty() ? -1 : 0;
}

std::string ListState::selectedText() const {
    if (selected < 0 || selected >= static_cast<int>(entries.size())) return "";
    return entries[static_cast<std::size_t>(selected)];
}

void ListState::select(int row) {
    if (row >= 0 && row < static_cast<int>(entries.size())) selected = row;
}

ParameterInput::ParameterInput(const UnitCodes& units) : units_(units) {
    diameter_.fill(diameterEntries(false, units_.length));
}

void ParameterInput::chooseGas(int radioId) {
    if (radioId < input_ids::kArgon || radioId > input_ids::kArgonHelium) return;
    checkedGas_ = radioId;
    argonFraction_.fill(argonFractionEntries(radioId));
    diameter_.fill(diameterEntries(radioId == input_ids::kNitrogen, units_.length));
}

void ParameterInput::confirmGroup1() {
    group1Confirmed_ = true;
    if (checkedGas_ == input_ids::kArgon) {
        gasCode_ = kGasArgon;
    } else if (checkedGas_ == input_ids::kNitrogen) {
        gasCode_ = kGasNitrogen;
    } else {
        // The fraction list always has a selection once filled; the first
        // entry stands in should a platform list report none.
        const int row = argonFraction_.selected < 0 ? 0 : argonFraction_.selected;
        const int first = checkedGas_ == input_ids::kArgonHydrogen ? kGasFirstHydrogenMix : kGasFirstHeliumMix;
        gasCode_ = first + row;
    }
    const double diameter = entryValue(diameter_.selectedText());
    diameterClass_ = torvex::diameterClass(roundedDiameterMillimetres(diameter, units_.length));
    length_.fill(lengthEntries(gasCode_, diameterClass_, units_.length));
    current_.fill(currentEntries(gasCode_, diameterClass_));
    flow_.fill(flowEntries(gasCode_, diameterClass_, units_.flow));
}

std::optional<VariantInputs> ParameterInput::confirmGroup2() const {
    if (!group1Confirmed_) return std::nullopt;
    VariantInputs in;
    in.gasCode = gasCode_;
    in.diameter = entryValue(diameter_.selectedText());
    in.length = entryValue(length_.selectedText());
    in.current = entryValue(current_.selectedText());
    in.flow = entryValue(flow_.selectedText());
    return in;
}

ListState& ParameterInput::list(int listId) {
    return const_cast<ListState&>(std::as_const(*this).list(listId));
}

const ListState& ParameterInput::list(int listId) const {
    switch (listId) {
    case input_ids::kArgonFractionList: return argonFraction_;
    case input_ids::kLengthList: return length_;
    case input_ids::kCurrentList: return current_;
    case input_ids::kFlowList: return flow_;
    default: return diameter_;
    }
}

} // namespace torvex
