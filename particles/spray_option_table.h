// The one table of the spray's options. Each row names an option as
// kavel-run takes it (and, with '_' for '-', as a keyword of Python's
// torvex.spray and torvex.tune), its key in kavel.dat, its help, the kind of
// value it takes and how that value sets SprayOptions. kavel-run's command
// line, the Python keywords, kavel.dat and the powder dialog's tooltips come
// from here: a new option is one row.
//
// A front end takes the values as typed (takeOptionText), before the jet and
// with it the variant's length unit are known; the spray procedure applies
// them (applyEnteredOptions) once it has read the jet.
#pragma once

#include "particles/injector_tuning.h"
#include "particles/particle_model.h"

#include <optional>
#include <string>
#include <vector>

namespace torvex::particles {

enum class OptionKind {
    Number,   // a number as typed
    Length,   // a number in the variant's length unit (mm or in), kept in mm
    Percent,  // a number in per cent, kept as a fraction
    Whole,    // a whole number from `low` to `high`
    Ratio,    // a number above `low` and up to `high`, or "auto" (kept as 0)
    Switch,   // on or off
    Flag,     // given or not (on or off from Python)
    Choice,   // one of `words` ("volume|number"), kept as its index
    Name,     // a key of a table, as typed
    Text,     // a file name, as typed; empty for none
    Point,    // two lengths "X,Y"
};

// A value as a front end took it. Number and Point hold the numbers as
// typed until applied; in SprayOptions' terms (mm, fractions) afterwards.
struct OptionValue {
    double number = 0;  // the number; Switch and Flag 1 or 0; Choice the word's index; Point x
    double second = 0;  // Point: y
    std::string text;   // Name and Text
};

// How a row's value sets its target (SprayOptions or TuneOptions) and reads
// it back; get gives nothing where the option is not in effect (one size
// while the log-normal is used, a sensor point while it sits at the plume).
template <typename Target>
struct OptionAccess {
    void (*set)(Target&, const OptionValue&);
    std::optional<OptionValue> (*get)(const Target&);
};

template <typename Target>
struct OptionRow {
    const char* flag;       // kavel-run's option without "--"; "" where only kavel.dat keeps it
    const char* datKey;     // key in kavel.dat; "" where the file does not keep it
    const char* valueName;  // in the help: "D", "on|off"
    const char* help;
    OptionKind kind;
    OptionAccess<Target> access;
    double low = 0, high = 0;  // Whole and Ratio
    const char* words = "";    // Choice
    // What choosing the option on a command line also chooses (a fixed
    // injection speed for --injection-velocity); kavel.dat keeps those apart.
    void (*implies)(Target&) = nullptr;
};

using SprayOptionRow = OptionRow<SprayOptions>;
using TuneOptionRow = OptionRow<TuneOptions>;

const std::vector<SprayOptionRow>& sprayOptionTable();
// The options of kavel-run tune (and of Python's torvex.tune) over the spray's.
const std::vector<TuneOptionRow>& tuneOptionTable();

// How a front end names an option in its messages.
enum class OptionNames { Terminal, Python };
std::string shownName(const char* flag, OptionNames names);  // "--carrier-flow" or "carrier_flow"
std::string pythonKeyword(const char* flag);                  // "carrier_flow"; "from_" for the word Python keeps

// The row of an option as the front end names it ("--count", "count");
// nullptr when there is none.
const SprayOptionRow* findSprayOption(const std::string& name, OptionNames names);
const TuneOptionRow* findTuneOption(const std::string& name, OptionNames names);

// A value typed for an option of this kind, checked as far as it can be
// without the jet (a number at all, a whole one in its range, one of the
// words). False with a sentence naming the option in `fault`.
bool takeOptionText(OptionKind kind, double low, double high, const char* words, const std::string& shown,
                    const std::string& text, OptionValue& value, std::string& fault);

template <typename Target>
struct Entered {
    const OptionRow<Target>* row;
    OptionValue value;
};
using EnteredOptions = std::vector<Entered<SprayOptions>>;
using EnteredTuneOptions = std::vector<Entered<TuneOptions>>;

// Takes the text of a row into `entered`; false with the fault.
template <typename Target>
bool enterOption(const OptionRow<Target>& row, const std::string& text, OptionNames names,
                 std::vector<Entered<Target>>& entered, std::string& fault) {
    OptionValue value;
    if (!takeOptionText(row.kind, row.low, row.high, row.words, shownName(row.flag, names), text, value, fault))
        return false;
    entered.push_back({&row, value});
    return true;
}

// Options that name one thing two ways ("--diameter (one size) and
// --d10/--d50/--d90 exclude each other."); empty when none clash.
std::string clashingOptions(const EnteredOptions& entered, OptionNames names);

// The spray's defaults in the variant's length unit (a 4 in standoff in
// inch mode), and those with the entered options over them.
SprayOptions defaultSprayOptions(int lengthUnit);
void applyEnteredOptions(const EnteredOptions& entered, int lengthUnit, SprayOptions& options);

// The scan from the entered tune options over the defaults; false with the
// fault of checkTuneOptions.
bool tuneOptionsOf(const EnteredTuneOptions& entered, TuneOptions& tune, std::string& fault);

// A row's value as the front ends show it (lengths in the variant's unit,
// per cents); nothing where the option is not in effect.
std::optional<OptionValue> shownValue(const SprayOptionRow& row, const SprayOptions& options, int lengthUnit);

// ----- kavel.dat: the powder and injection last chosen in a folder ----------

constexpr const char* kPowderMemoryFile = "kavel.dat";

// The file's text: one "key value" line per option of the table that has a
// key, in the order of the keys, lengths in mm.
std::string powderMemoryText(const SprayOptions& options);

// Reads dir/kavel.dat over `options`. True when the file is absent (nothing
// changed) or read; false with `error` naming the file and the line when it
// cannot be read or a line is not understood (`options` then unchanged).
// Options missing from the file (one written by an older Kavel) keep the
// values `options` has.
bool readPowderMemory(const std::string& dir, SprayOptions& options, std::string& error);

// The lines of kavel.dat's layout wherever they are kept (spray.stamp keeps
// a spray's), read over `options`: "" when every line was understood, else
// which was not ("a line 3 that is not understood: ...", `options` then
// unchanged).
std::string readPowderMemoryLines(const std::vector<std::string>& lines, SprayOptions& options);

// Replaces dir/kavel.dat; false with `error` naming the file and the fault.
bool writePowderMemory(const std::string& dir, const SprayOptions& options, std::string& error);

} // namespace torvex::particles
