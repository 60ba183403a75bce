#include "solver/result_set.h"

#include "solver/file_set.h"
#include "solver/result_files.h"

#include <charconv>
#include <memory>

namespace torvex {

namespace {

constexpr const char* kStampTitle = "TORVEX result set";
constexpr const char* kIntegralParameters = "iop.par";

// The values of ip.dat in its own layout, so that the run's record and a
// later ip.dat compare as the solver read them.
std::string enteredLine(int gasCode, double diameter, double length, int current, int flow) {
    return fixedField(gasCode, 2, 0) + " " + fixedField(diameter, 5, 2) + " " + fixedField(length, 5, 2) + " " +
           fixedField(current, 4, 0) + " " + fixedField(flow, 3, 0);
}

std::string unitsLine(const UnitCodes& u) {
    return std::to_string(u.length) + " " + std::to_string(u.temperature) + " " + std::to_string(u.flow);
}

// The value of header line "key value" of a stamp, or "".
std::string headerValue(const FileSetStamp& stamp, const std::string& key) {
    for (const std::string& line : stamp.header)
        if (line.rfind(key + " ", 0) == 0) return line.substr(key.size() + 1);
    return "";
}

bool parseUnits(const std::string& text, UnitCodes& u) {
    if (text.size() != 5 || text[1] != ' ' || text[3] != ' ') return false;
    u.length = text[0] - '0';
    u.temperature = text[2] - '0';
    u.flow = text[4] - '0';
    return u.length >= 1 && u.length <= 2 && u.temperature >= 1 && u.temperature <= 3 && u.flow >= 1 &&
           u.flow <= 2;
}

// A number with a point and fixed decimals, whatever the locale.
std::string decimalText(double value, int decimals) {
    char digits[64];
    const auto result = std::to_chars(digits, digits + sizeof digits, value, std::chars_format::fixed, decimals);
    return result.ec == std::errc() ? std::string(digits, result.ptr) : std::string("?");
}

ResultSet refused(ResultSet set, const std::string& message) {
    set.ok = false;
    set.message = message;
    return set;
}

std::string incomplete(const std::string& dir, const std::string& detail) {
    return "The results in " + dir + " are incomplete (the run was interrupted): " + detail +
           "; calculate the variant again.";
}

bool anyResultFile(const std::string& dir) {
    std::string text, why;
    for (const char* name : ResultFiles::fileNames())
        if (readRegularFile(dir + "/" + name, 1, text, why) || why.find("larger") != std::string::npos) return true;
    return readRegularFile(dir + "/" + kIntegralParameters, kSmallFileLimit, text, why);
}

// What ip.dat holds now as the solver reads it; false when there is no
// readable ip.dat (a set needs none: it records its own variant).
struct Entered {
    int gasCode = 0;
    float diameter = 0, length = 0;
    int current = 0, flow = 0;
};

bool readEntered(const std::string& dir, Entered& e) {
    const auto scratch = std::make_unique<SolverState>();
    if (!readSolverInputs(dir + "/ip.dat", *scratch, e.diameter, e.length, e.current, e.flow).ok) return false;
    e.gasCode = scratch->gasCode;
    return true;
}

// The line ip.dat holds now in its own layout, or "" without a readable ip.dat.
std::string enteredNow(const std::string& dir) {
    Entered e;
    if (!readEntered(dir, e)) return "";
    return enteredLine(e.gasCode, e.diameter, e.length, e.current, e.flow);
}

// iop.par and the eight result files: every member a stamp must list.
std::vector<std::string> memberNames() {
    std::vector<std::string> names = {kIntegralParameters};
    for (const char* name : ResultFiles::fileNames()) names.push_back(name);
    return names;
}

// The anode diameter of iop.par in millimetres when its length unit is that
// of `units`.
double diameterMm(const IntegralParameters& p, const UnitCodes& units) {
    return units.length == 2 ? p.diameter * 25.4 : p.diameter;
}

// What in the stamp's own lines contradicts the set's iop.par (which the
// stamp's checksum line already vouches for as written by the run): the
// variant line is iop.par's first line, and a diameter the model uses (5 to
// 11 mm) in the stamp's length unit. The result files hold no units of their
// own. "" when they agree.
std::string stampDisagreement(const std::string& dir, const FileSetStamp& stamp, const IntegralParameters& p,
                              const UnitCodes& units) {
    std::string text, why;
    if (!readRegularFile(dir + "/" + kIntegralParameters, kSmallFileLimit, text, why) || text.empty() ||
        headerValue(stamp, "variant") != splitLines(text).front())
        return "names another variant than iop.par";
    const double mm = diameterMm(p, units);
    if (!p.diameterOverflow && (mm < 4.9 || mm > 11.1))
        return "gives a length unit in which iop.par's anode diameter (" + decimalText(p.diameter, 2) +
               ") is no diameter the model uses";
    return "";
}

}  // namespace

std::string plasmaGasName(int gasCode) {
    if (gasCode == 1) return "argon";
    if (gasCode == 2) return "nitrogen";
    if (gasCode >= 5 && gasCode <= 9) return "argon + " + std::to_string(5 * (gasCode - 4)) + " % hydrogen";
    if (gasCode >= 10 && gasCode <= 14) return "argon + " + std::to_string(10 * (gasCode - 9)) + " % helium";
    return "gas code " + std::to_string(gasCode);
}

std::string variantName(const IntegralParameters& p, const UnitCodes& units) {
    const bool inches = units.length == 2;
    const auto length = [&](double value, bool overflow) {
        if (overflow) return std::string("(too wide)");
        return decimalText(value, inches ? 2 : 1) + (inches ? " in" : " mm");
    };
    return plasmaGasName(p.gasCode) + " " + length(p.diameter, p.diameterOverflow) + " " +
           std::to_string(p.current) + " A " + std::to_string(p.flow) + (units.flow == 2 ? " SCFH" : " SLPM");
}

std::string resultStampChecksum(const std::string& dir) {
    std::string text, why;
    return readRegularFile(dir + "/" + kResultStampFile, kSmallFileLimit, text, why)
               ? checksumText(contentChecksum(text))
               : std::string("none");
}

std::string inputVariantName(const std::string& dir) {
    Entered e;
    if (!readEntered(dir, e)) return "";
    // ip.dat is in the units chosen now (un.dat), which the solver reads with it.
    UnitCodes units;
    if (!readUnitCodes(dir + "/un.dat", units)) units = UnitCodes{};
    IntegralParameters p;
    p.gasCode = e.gasCode;
    p.diameter = e.diameter;
    p.current = e.current;
    p.flow = e.flow;
    return variantName(p, units);
}

bool writeResultStamp(const std::string& dir, const SolverState& s, std::string& fault) {
    std::vector<std::string> lines = {
        kStampTitle,
        "units " + unitsLine(UnitCodes{s.lengthUnit, s.temperatureUnit, s.flowUnit}),
        "entered " + enteredLine(s.gasCode, s.rawDiameter, s.rawLength, s.rawCurrent, s.rawFlow),
    };
    for (const std::string& name : memberNames()) {
        std::string text, why;
        if (!readRegularFile(dir + "/" + name, kResultFileLimit, text, why)) {
            fault = "The result file " + dir + "/" + name + " " + why + ".";
            return false;
        }
        lines.push_back(stampLine(name, text));
        // The variant as iop.par's first line names it, for a reader's eye.
        if (name == kIntegralParameters) lines.insert(lines.begin() + 1, "variant " + (text.empty() ? std::string() : splitLines(text).front()));
    }
    std::string why;
    if (!replaceFile(dir + "/" + kResultStampFile, stampText(lines), why)) {
        fault = "The result stamp " + dir + "/" + kResultStampFile + " " + why + ".";
        return false;
    }
    return true;
}

std::vector<std::string> resultSetMembers() {
    std::vector<std::string> names = {kIntegralParameters};
    for (const char* name : ResultFiles::fileNames()) names.push_back(name);
    return names;
}

std::vector<std::string> runOutputFiles() {
    std::vector<std::string> names = resultSetMembers();
    names.push_back(kResultStampFile);
    return names;
}

bool checkRunOutputs(const std::string& dir, const std::vector<std::string>& inputs, std::string& fault) {
    std::vector<std::string> names = inputs;
    for (const std::string& name : runOutputFiles()) names.push_back(name);
    return checkReplaceable(dir, names, fault);
}

ResultSet readResultSet(const std::string& dir, bool compareInputFile) {
    ResultSet set;
    set.directory = absoluteDirectory(dir);
    const std::string& shown = set.directory;
    FileSetStamp stamp;
    std::string why;
    if (!readFileSetStamp(shown, kResultStampFile, stamp, why, "calculate the variant again")) {
        if (why.find("is missing") == std::string::npos) return refused(set, why);
        if (!anyResultFile(shown))
            return refused(set, "There are no results in " + shown +
                                    ": no variant has been calculated there (iop.par, ftu.res and the other "
                                    "result files are missing).");
        return refused(set, incomplete(shown, std::string(kResultStampFile) + ", which a run writes last, is missing"));
    }
    if (stamp.header.empty() || stamp.header[0] != kStampTitle || !parseUnits(headerValue(stamp, "units"), set.units))
        return refused(set, "The result stamp " + shown + "/" + kResultStampFile + " is damaged.");
    for (const std::string& name : memberNames()) {
        bool listed = false;
        for (const FileSetStamp::Member& m : stamp.members) listed = listed || m.name == name;
        if (!listed)
            return refused(set, "The result stamp " + shown + "/" + kResultStampFile + " does not list " + name + ".");
    }
    const std::string stray = firstStrayMember(shown, stamp, kResultFileLimit);
    if (!stray.empty()) {
        std::string text;
        if (!readRegularFile(shown + "/" + stray, kResultFileLimit, text, why))
            return refused(set, incomplete(shown, shown + "/" + stray + " " + why));
        return refused(set, "The results in " + shown + " are mixed: " + stray +
                                " is not the file the run that wrote the others left there; calculate the variant again.");
    }
    if (!readIntegralParameters(shown + "/" + kIntegralParameters, set.variant, &why)) return refused(set, why);
    const std::string disagreement = stampDisagreement(shown, stamp, set.variant, set.units);
    if (!disagreement.empty())
        return refused(set, "The result stamp " + shown + "/" + kResultStampFile + " " + disagreement +
                                "; calculate the variant again.");
    set.variantName = variantName(set.variant, set.units);
    const std::string entered = compareInputFile ? enteredNow(shown) : std::string();
    if (!entered.empty() && entered != headerValue(stamp, "entered"))
        return refused(set, "The results in " + shown + " belong to " + set.variantName +
                                ", not to the variant in ip.dat (" + inputVariantName(shown) +
                                "); calculate that variant first.");
    set.ok = true;
    return set;
}

}  // namespace torvex
