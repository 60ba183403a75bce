#include "variant/parameter_input.h"

#include <cmath>
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
    if (group1Confirmed_) buildGroup2(Picks::Keep);
}

void ParameterInput::selectEntry(int listId, int row) {
    list(listId).select(row);
    const bool group1List = listId == input_ids::kArgonFractionList || listId == input_ids::kDiameterList;
    if (group1Confirmed_ && group1List) buildGroup2(Picks::Keep);
}

void ParameterInput::confirmGroup1() {
    group1Confirmed_ = true;
    buildGroup2(Picks::First);
}

namespace {

// Refills a list; with `keep` the entry selected before stays selected where
// the new list still offers it.
void refill(ListState& list, ValueList entries, bool keep) {
    const std::string picked = list.selectedText();
    list.fill(std::move(entries));
    if (!keep || picked.empty()) return;
    for (std::size_t row = 0; row < list.entries.size(); ++row) {
        if (list.entries[row] == picked) list.select(static_cast<int>(row));
    }
}

} // namespace

void ParameterInput::buildGroup2(Picks picks) {
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
    const bool keep = picks == Picks::Keep;
    refill(length_, lengthEntries(gasCode_, diameterClass_, units_.length), keep);
    refill(current_, currentEntries(gasCode_, diameterClass_), keep);
    refill(flow_, flowEntries(gasCode_, diameterClass_, units_.flow), keep);
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

namespace {

// The row of a list whose value is `value`, or -1.
int rowOfValue(const ListState& list, double value) {
    for (std::size_t row = 0; row < list.entries.size(); ++row) {
        if (std::fabs(entryValue(list.entries[row]) - value) < 1e-6) return static_cast<int>(row);
    }
    return -1;
}

int radioOfGas(int gasCode) {
    if (gasCode == kGasArgon) return input_ids::kArgon;
    if (gasCode == kGasNitrogen) return input_ids::kNitrogen;
    if (gasCode >= kGasFirstHydrogenMix && gasCode < kGasFirstHeliumMix) return input_ids::kArgonHydrogen;
    if (gasCode >= kGasFirstHeliumMix && gasCode < kGasFirstHeliumMix + 5) return input_ids::kArgonHelium;
    return 0;
}

}  // namespace

bool ParameterInput::startFrom(const VariantInputs& last) {
    const int radio = radioOfGas(last.gasCode);
    if (radio == 0) return false;
    ParameterInput trial(units_);
    trial.chooseGas(radio);
    if (radio == input_ids::kArgonHydrogen || radio == input_ids::kArgonHelium) {
        const int first = radio == input_ids::kArgonHydrogen ? kGasFirstHydrogenMix : kGasFirstHeliumMix;
        trial.argonFraction_.select(last.gasCode - first);
    }
    const int diameterRow = rowOfValue(trial.diameter_, last.diameter);
    if (diameterRow < 0) return false;
    trial.diameter_.select(diameterRow);
    trial.confirmGroup1();
    const int rows[] = {rowOfValue(trial.length_, last.length), rowOfValue(trial.current_, last.current),
                        rowOfValue(trial.flow_, last.flow)};
    if (trial.gasCode_ != last.gasCode || rows[0] < 0 || rows[1] < 0 || rows[2] < 0) return false;
    trial.length_.select(rows[0]);
    trial.current_.select(rows[1]);
    trial.flow_.select(rows[2]);
    *this = trial;
    return true;
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
