// The behaviour of the plasmatron parameter dialog without its widgets: the
// gas choice, the two confirmation groups and the lists they fill. The dialog
// mirrors this state into its controls and feeds the user's picks back.
//
// Group (1) picks the gas and the anode diameter; its "OK" fixes the gas code
// and the diameter class and builds the lists of group (2) (length, current,
// flow), whose ranges depend on both. Group (2) "OK" yields the variant.
#pragma once

#include "solver/files.h"
#include "solver/value_lists.h"

#include <optional>
#include <string>

namespace torvex {

// Control ids of the parameter dialog.
namespace input_ids {
constexpr int kPlasmaGasGroup = 502;
constexpr int kArgon = 508;
constexpr int kNitrogen = 509;
constexpr int kArgonHydrogen = 510;
constexpr int kArgonHelium = 511;
constexpr int kGroup1 = 501;
constexpr int kGroup2 = 102;
constexpr int kArgonFractionList = 1026;
constexpr int kDiameterList = 801;
constexpr int kLengthList = 802;
constexpr int kCurrentList = 803;
constexpr int kFlowList = 804;
constexpr int kGroup1Ok = 701;
constexpr int kGroup2Ok = 1;
constexpr int kCancel = 2;
} // namespace input_ids

// The dialog template chosen by the length and flow codes: "INPUT_ML",
// "INPUT_MF", "INPUT_IL", "INPUT_IF", or "" when the codes match none (then
// no dialog opens).
std::string parameterTemplateName(const UnitCodes& units);

// One list box: its entries in order and the selected row (-1 none).
struct ListState {
    ValueList entries;
    int selected = -1;

    // Replaces the entries and selects the first one (none if empty).
    void fill(ValueList newEntries);
    void clear() { fill({}); }
    // The selected entry, or "" when nothing is selected.
    std::string selectedText() const;
    // Selects a row if it exists.
    void select(int row);
};

class ParameterInput {
public:
    // The state on opening: argon checked, no fraction list, the full diameter
    // table with its first entry selected, group (2) lists empty, group (1)
    // not confirmed.
    explicit ParameterInput(const UnitCodes& units);

    // A gas radio button (508..511) was clicked: refills the fraction and
    // diameter lists. Once group (1) has been confirmed, the gas code and
    // the lists of group (2) follow at once (see selectEntry).
    void chooseGas(int radioId);

    // The user picked a row of a list. Once group (1) has been confirmed, a
    // new fraction or diameter re-derives the gas code and the diameter class
    // and rebuilds the lists of group (2), keeping the picks they still
    // offer: ip.dat is then always the variant the dialog shows.
    void selectEntry(int listId, int row);

    // Group (1) "OK": derives the gas code and the diameter class and rebuilds
    // the three lists of group (2) with their first entries selected.
    void confirmGroup1();

    // Group (2) "OK": the variant made of the gas code of the last group (1)
    // confirmation and the entries selected now; nothing before group (1) has
    // been confirmed.
    std::optional<VariantInputs> confirmGroup2() const;

    // Opens on an earlier variant (the folder's ip.dat): its gas, fraction
    // and diameter picked and group (1) confirmed, then its length, current
    // and flow picked. A variant the lists do not offer (other units, values
    // edited by hand) leaves the opening state untouched; false then.
    bool startFrom(const VariantInputs& last);

    int checkedGas() const { return checkedGas_; }
    bool group1Confirmed() const { return group1Confirmed_; }
    int gasCode() const { return gasCode_; }
    int diameterClass() const { return diameterClass_; }
    const UnitCodes& units() const { return units_; }

    // Lists by control id (1026, 801, 802, 803, 804); the dialog changes the
    // selection through these as the user picks entries.
    ListState& list(int listId);
    const ListState& list(int listId) const;

private:
    enum class Picks { First, Keep };
    void buildGroup2(Picks picks);

    UnitCodes units_;
    int checkedGas_ = input_ids::kArgon;
    bool group1Confirmed_ = false;
    int gasCode_ = kGasArgon;
    int diameterClass_ = 0;
    ListState argonFraction_;
    ListState diameter_;
    ListState length_;
    ListState current_;
    ListState flow_;
};

} // namespace torvex
