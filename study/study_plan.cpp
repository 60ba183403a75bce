#include "study/study_plan.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <map>
#include <memory>
#include <set>
#include <tuple>

#include "solver/normalise.h"
#include "solver/value_lists.h"

namespace torvex {

namespace {

std::vector<double> rangeValues(const ValueChoice& c) {
    std::vector<double> values;
    // Each value from the start, not by repeated addition, so long ranges
    // do not drift; the tolerance keeps an end that the step meets exactly.
    const double count = std::floor((c.to - c.from) / c.step + 1e-9);
    for (int k = 0; k <= static_cast<int>(count); ++k) values.push_back(c.from + k * c.step);
    return values;
}

std::vector<double> entryValues(const ValueList& entries) {
    std::vector<double> values;
    for (const std::string& entry : entries) values.push_back(entryValue(entry));
    return values;
}

std::vector<double> dialogValues(InputKind input, int gasCode, double diameter, const UnitCodes& units) {
    if (input == InputKind::Gas) return std::vector<double>(std::begin(kGasCodes), std::end(kGasCodes));
    if (input == InputKind::Diameter)
        return entryValues(diameterEntries(gasCode == kGasNitrogen, units.length));
    const int k = diameterClass(roundedDiameterMillimetres(diameter, units.length));
    if (input == InputKind::Length) return entryValues(lengthEntries(gasCode, k, units.length));
    if (input == InputKind::Current) return entryValues(currentEntries(gasCode, k));
    return entryValues(flowEntries(gasCode, k, units.flow));
}

std::string number(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%g", value);
    return text;
}

// How many values a range stands for, as rangeValues lists them.
double rangeCount(const ValueChoice& c) { return std::floor((c.to - c.from) / c.step + 1e-9) + 1; }

// The number of values of a choice; the dialog's lists depend only on the
// gas and the diameter class, so their sizes are kept per pair.
class ValueCounter {
public:
    explicit ValueCounter(const UnitCodes& units) : units_(units) {}
    double count(const ValueChoice& c, InputKind input, int gasCode, double diameter) {
        if (c.kind == ValueChoice::Kind::Listed) return static_cast<double>(c.values.size());
        if (c.kind == ValueChoice::Kind::Range) return rangeCount(c);
        const int k = diameterClass(roundedDiameterMillimetres(diameter, units_.length));
        const auto key = std::make_tuple(static_cast<int>(input), gasCode, k);
        const auto known = sizes_.find(key);
        if (known != sizes_.end()) return known->second;
        const double size = static_cast<double>(dialogValues(input, gasCode, diameter, units_).size());
        sizes_.emplace(key, size);
        return size;
    }

private:
    UnitCodes units_;
    std::map<std::tuple<int, int, int>, double> sizes_;
};

}  // namespace

CombinationCount combinationCount(const StudyDefinition& definition) {
    constexpr long kMostPairs = 1000000;
    ValueCounter counter(definition.units);
    double total = 0;
    long pairs = 0;
    for (const Sweep& sweep : definition.sweeps) {
        for (double gas : choiceValues(sweep.gas, InputKind::Gas, 0, 0, definition.units)) {
            // A value that names no gas is refused when the plan is made.
            const int g = isGasCode(gas) ? static_cast<int>(gas) : kGasArgon;
            for (double d : choiceValues(sweep.diameter, InputKind::Diameter, g, 0, definition.units)) {
                total += counter.count(sweep.length, InputKind::Length, g, d) *
                         counter.count(sweep.current, InputKind::Current, g, d) *
                         counter.count(sweep.flow, InputKind::Flow, g, d);
                if (++pairs > kMostPairs) return {total, false};
            }
        }
    }
    return {total, true};
}

std::vector<double> choiceValues(const ValueChoice& choice, InputKind input, int gasCode, double diameter,
                                 const UnitCodes& units) {
    switch (choice.kind) {
        case ValueChoice::Kind::Listed:
            return choice.values;
        case ValueChoice::Kind::Range:
            return rangeValues(choice);
        case ValueChoice::Kind::DialogValues:
            return dialogValues(input, gasCode, diameter, units);
    }
    return {};
}

std::string variantDirectoryName(const UsedInputs& u, const UnitCodes& units) {
    char name[96];
    std::snprintf(name, sizeof name, "g%02d-d%d.%dmm-l%dmm-i%dA-f%d%s%s", u.gasCode, u.diameterTenths / 10,
                  u.diameterTenths % 10, u.lengthMm, u.current, u.flow, units.flow == 2 ? "scfh" : "slpm",
                  units.length == 2 ? "-in" : "");
    return name;
}

bool expandStudy(const StudyDefinition& definition, StudyPlan& plan, std::string& error) {
    const UnitCodes& units = definition.units;
    const auto scratch = std::make_unique<SolverState>();
    std::set<UsedInputs> seen;
    StudyPlan result;
    result.units = units;
    for (const Sweep& sweep : definition.sweeps) {
        for (double gas : choiceValues(sweep.gas, InputKind::Gas, 0, 0, units)) {
            if (!isGasCode(gas)) {
                error = "the gas code " + number(gas) + " names no plasma gas (1, 2 or 5 to 14)";
                return false;
            }
            const int g = static_cast<int>(gas);
            for (double d : choiceValues(sweep.diameter, InputKind::Diameter, g, 0, units))
                for (double l : choiceValues(sweep.length, InputKind::Length, g, d, units))
                    for (double i : choiceValues(sweep.current, InputKind::Current, g, d, units))
                        for (double f : choiceValues(sweep.flow, InputKind::Flow, g, d, units)) {
                            const VariantInputs entered{g, d, l, i, f};
                            std::string why;
                            if (!fitsInputFile(entered, why)) {
                                error = "gas " + number(gas) + ", diameter " + number(d) + ", length " +
                                        number(l) + ", current " + number(i) + ", flow " + number(f) + ": " +
                                        why;
                                return false;
                            }
                            const UsedInputs used = normaliseEntered(*scratch, entered, units);
                            if (!seen.insert(used).second) continue;
                            StudyVariant v;
                            v.index = static_cast<int>(result.variants.size());
                            v.entered = entered;
                            v.used = used;
                            v.name = variantDirectoryName(used, units);
                            result.variants.push_back(v);
                        }
        }
    }
    plan = std::move(result);
    return true;
}

std::vector<StudyVariant> shardVariants(const StudyPlan& plan, int shard, int count) {
    std::vector<StudyVariant> slice;
    for (const StudyVariant& v : plan.variants)
        if (v.index % count == shard) slice.push_back(v);
    return slice;
}

}  // namespace torvex
