// A parameter study: the variants of a sweep over gas, anode diameter and
// length, arc current and gas flow, each brought into the model's ranges
// exactly as the solver does, with variants that coincide after that kept once.
#pragma once

#include <string>
#include <vector>

#include "solver/files.h"
#include "solver/normalise.h"  // UsedInputs, normalisedInputs, fitsInputFile

namespace torvex {

// The values of one input in a sweep: listed, a range, or every value the
// input dialog offers for the gas and diameter at hand.
struct ValueChoice {
    enum class Kind { Listed, Range, DialogValues };
    Kind kind = Kind::Listed;
    std::vector<double> values;         // Listed
    double from = 0, to = 0, step = 0;  // Range, inclusive, step > 0
};

// One block of a study file: every combination of its values, the last input
// varying fastest.
struct Sweep {
    ValueChoice gas;
    ValueChoice diameter;
    ValueChoice length;
    ValueChoice current;
    ValueChoice flow;
};

struct StudyDefinition {
    UnitCodes units;
    std::vector<Sweep> sweeps;
};

struct StudyVariant {
    int index = 0;          // place in the study, from 0
    VariantInputs entered;  // as the study file asked, in the study's units
    UsedInputs used;
    std::string name;  // its directory under the study's variants folder
};

struct StudyPlan {
    UnitCodes units;
    std::vector<StudyVariant> variants;
};

// Which input a choice is for, for the dialog's lists.
enum class InputKind { Gas, Diameter, Length, Current, Flow };

// The values a choice stands for; DialogValues asks the input dialog's lists
// for the gas code and the diameter (in the study's length unit).
std::vector<double> choiceValues(const ValueChoice& choice, InputKind input, int gasCode, double diameter,
                                 const UnitCodes& units);

// The number of combinations of values the sweeps ask for, as entered
// (before those that coincide after normalisation are merged), counted
// without listing them. The count is exact unless it would take more than a
// million gas and diameter pairs; then it is a lower bound, already above
// any plan that could be run.
struct CombinationCount {
    double count = 0;
    bool exact = true;
};
CombinationCount combinationCount(const StudyDefinition& definition);

// Every variant of the definition, in order, duplicates after normalisation
// dropped (the first is kept). False with `error` when a value cannot stand
// in ip.dat.
bool expandStudy(const StudyDefinition& definition, StudyPlan& plan, std::string& error);

// The variants of shard `shard` of `count`: every count-th, from the shard'th.
std::vector<StudyVariant> shardVariants(const StudyPlan& plan, int shard, int count);

// Directory name of a variant, from the values it is computed with.
std::string variantDirectoryName(const UsedInputs& used, const UnitCodes& units);

}  // namespace torvex
