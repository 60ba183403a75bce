#include "solver/files.h"

#include "solver/file_access.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <vector>

namespace torvex {

namespace {

// The file split into lines without their line ends; false (with the fault
// phrase of readRegularFile) when it is not a readable regular file of at
// most maxBytes.
bool readLines(const std::string& path, std::size_t maxBytes, std::vector<std::string>& lines,
               std::string& fault) {
    std::string text;
    if (!readRegularFile(path, maxBytes, text, fault)) return false;
    lines = splitLines(text);
    return true;
}

// A reader's fault, with what the file should hold when it was too large.
std::string withSizeHint(const std::string& fault, const char* contents) {
    if (fault.rfind("is larger than", 0) != 0) return fault;
    return fault + ", far more than its " + contents;
}

bool isBlank(char c) { return c == ' ' || c == '\t'; }
bool isDigit(char c) { return c >= '0' && c <= '9'; }

// Characters start..start+width-1 of a line (counted from 0), padded with
// blanks where the line is shorter.
std::string column(const std::string& line, std::size_t start, std::size_t width) {
    std::string field = start < line.size() ? line.substr(start, width) : std::string();
    field.resize(width, ' ');
    return field;
}

std::string withoutBlanks(const std::string& field) {
    std::string packed;
    for (char c : field)
        if (!isBlank(c)) packed += c;
    return packed;
}

// An integer field: blanks anywhere in it are ignored. False when the field
// is empty or not a whole number.
bool parseIntegerField(const std::string& field, int& value) {
    const std::string text = withoutBlanks(field);
    std::size_t i = (!text.empty() && (text[0] == '+' || text[0] == '-')) ? 1 : 0;
    if (i == text.size() || text.size() - i > 9) return false;
    for (std::size_t k = i; k < text.size(); ++k)
        if (!isDigit(text[k])) return false;
    value = std::atoi(text.c_str());
    return true;
}

// The files always carry a point as decimal separator, while the desktop
// program runs under the user's C locale, where it may be a comma; so numbers
// are converted without the locale. A value below the float range reads as
// its nearest float (0 or a denormal), one above it or not a number fails.
bool parseDecimal(const std::string& text, float& value) {
    const char* const first = text.data();
    const char* const last = first + text.size();
    float parsed = 0;
    auto result = std::from_chars(first, last, parsed);
    if (result.ec == std::errc::result_out_of_range) {
        double wide = 0;
        result = std::from_chars(first, last, wide);
        parsed = static_cast<float>(wide);
    }
    if (result.ec != std::errc() || result.ptr != last || !std::isfinite(parsed)) return false;
    value = parsed;
    return true;
}

bool parseDecimal(const std::string& text, double& value) {
    const char* const first = text.data();
    const char* const last = first + text.size();
    double parsed = 0;
    const auto result = std::from_chars(first, last, parsed);
    if (result.ec != std::errc() || result.ptr != last || !std::isfinite(parsed)) return false;
    value = parsed;
    return true;
}

// A number right-justified in at least `width` columns with `decimals`
// decimals and a point, whatever the locale; wider when it does not fit.
std::string fixedNumber(double value, int width, int decimals) {
    char digits[400];  // the largest double has 309 integer digits
    const auto result = std::to_chars(digits, digits + sizeof digits, value, std::chars_format::fixed, decimals);
    std::string text = result.ec == std::errc() ? std::string(digits, result.ptr) : std::string("*");
    if (static_cast<int>(text.size()) < width) text.insert(0, static_cast<std::size_t>(width) - text.size(), ' ');
    return text;
}

// A real field: blanks are ignored, an optional exponent follows a letter
// E or D or starts with its sign. A mantissa without a decimal point gets its
// last `impliedDecimals` digits as decimals. False when the field is empty,
// not a number or out of the float range.
bool parseRealField(const std::string& field, int impliedDecimals, float& value) {
    const std::string text = withoutBlanks(field);
    std::size_t i = 0;
    std::string sign;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) sign = text[i++] == '-' ? "-" : "";
    std::string whole, fraction;
    bool point = false;
    for (; i < text.size(); ++i) {
        if (isDigit(text[i])) (point ? fraction : whole) += text[i];
        else if (text[i] == '.' && !point) point = true;
        else break;
    }
    if (whole.empty() && fraction.empty()) return false;
    std::string exponent;
    if (i < text.size()) {
        if (text[i] == 'E' || text[i] == 'e' || text[i] == 'D' || text[i] == 'd') ++i;
        if (i < text.size() && (text[i] == '+' || text[i] == '-')) exponent += text[i++];
        const std::size_t digitsFrom = i;
        for (; i < text.size() && isDigit(text[i]); ++i) exponent += text[i];
        if (i != text.size() || i == digitsFrom) return false;
    }
    if (!point) {
        // Fixed-point input without a point: the last digits are decimals.
        if (static_cast<int>(whole.size()) < impliedDecimals)
            whole.insert(0, impliedDecimals - whole.size(), '0');
        fraction = whole.substr(whole.size() - impliedDecimals);
        whole.erase(whole.size() - impliedDecimals);
    }
    std::string normal = sign + (whole.empty() ? "0" : whole) + "." + fraction;
    if (!exponent.empty()) normal += "e" + exponent;
    return parseDecimal(normal, value);
}

bool isAsterisks(const std::string& token) {
    return !token.empty() && token.find_first_not_of('*') == std::string::npos;
}

bool validGasCode(int code) { return code == 1 || code == 2 || (code >= 5 && code <= 14); }

ReadStatus failure(const std::string& message) { return ReadStatus{false, message}; }

} // namespace

// ----- fixed fields --------------------------------------------------------------

std::string fixedField(double value, int width, int decimals) {
    if (!std::isfinite(value)) return std::string(width, '*');
    std::string text = fixedNumber(value, width, decimals);
    if (static_cast<int>(text.size()) > width) return std::string(width, '*');
    return text;
}

// ----- un.dat / unp.dat --------------------------------------------------------------

bool readUnitCodes(const std::string& path, UnitCodes& codes) {
    std::string text, fault;
    if (!readRegularFile(path, kSmallFileLimit, text, fault)) return false;
    unsigned length = 0, temperature = 0, flow = 0, unused = 0;
    const int count = std::sscanf(text.c_str(), "%1u%1u%1u%1u", &length, &temperature, &flow, &unused);
    if (count < 3) return false;
    codes.length = static_cast<int>(length);
    codes.temperature = static_cast<int>(temperature);
    codes.flow = static_cast<int>(flow);
    return true;
}

bool writeUnitCodes(const std::string& path, const UnitCodes& codes, std::string* fault) {
    const auto digit = [](int code) { return std::to_string(static_cast<unsigned>(code) % 10u); };
    const std::string line = digit(codes.length) + " " + digit(codes.temperature) + " " + digit(codes.flow) + " " +
                             digit(codes.flow) + " \n";
    std::string why;
    if (replaceFile(path, line, why)) return true;
    if (fault) *fault = why;
    return false;
}

ReadStatus readSolverUnits(const std::string& path, SolverState& s) {
    std::vector<std::string> lines;
    std::string fault;
    if (!readLines(path, kSmallFileLimit, lines, fault))
        return failure("The unit file " + path + " " + withSizeHint(fault, "one line of four codes") + ".");
    if (lines.empty() || lines[0].size() < 5)
        return failure("The unit file " + path + " is truncated: it needs four one-digit codes in columns 1, 3, 5 and 7.");
    if (!isBlank(lines[0][1]) || !isBlank(lines[0][3]))
        return failure("The unit file " + path + " does not keep its layout: the codes belong in columns 1, 3, 5 and 7.");
    int codes[3] = {0, 0, 0};
    for (int k = 0; k < 3; ++k) {
        const char c = lines[0][2 * k];
        if (!isDigit(c))
            return failure("The unit file " + path + " holds no digit in column " + std::to_string(2 * k + 1) + ".");
        codes[k] = c - '0';
    }
    if (codes[0] < 1 || codes[0] > 2)
        return failure("The unit file " + path + " holds the length code " + std::to_string(codes[0]) + " (1 or 2 expected).");
    if (codes[1] < 1 || codes[1] > 3)
        return failure("The unit file " + path + " holds the temperature code " + std::to_string(codes[1]) + " (1, 2 or 3 expected).");
    if (codes[2] < 1 || codes[2] > 2)
        return failure("The unit file " + path + " holds the flow code " + std::to_string(codes[2]) + " (1 or 2 expected).");
    s.lengthUnit = codes[0];
    s.temperatureUnit = codes[1];
    s.flowUnit = codes[2];
    return {};
}

// ----- ip.dat ------------------------------------------------------------------------

bool writeInputParameters(const std::string& path, const VariantInputs& in, std::string* fault) {
    // "%2.0lf %5.2lf %5.2lf %4.0lf %3.0lf\n", with a point in any locale.
    const std::string line = fixedNumber(in.gasCode, 2, 0) + " " + fixedNumber(in.diameter, 5, 2) + " " +
                             fixedNumber(in.length, 5, 2) + " " + fixedNumber(in.current, 4, 0) + " " +
                             fixedNumber(in.flow, 3, 0) + "\n";
    std::string why;
    if (replaceFile(path, line, why)) return true;
    if (fault) *fault = why;
    return false;
}

namespace {

// Why a field of ip.dat holds no number: asterisks are a value that was too
// wide for its columns when the file was written.
std::string noNumber(const std::string& what, const std::string& field, const std::string& quantity,
                     const char* columns) {
    if (isAsterisks(withoutBlanks(field)))
        return what + " holds asterisks for the " + quantity + " in columns " + columns +
               ": the value was not representable in its field.";
    return what + " holds no number for the " + quantity + " in columns " + columns + ".";
}

} // namespace

ReadStatus readSolverInputs(const std::string& path, SolverState& s, float& diameter, float& length,
                            int& current, int& flow) {
    std::vector<std::string> lines;
    std::string fault;
    if (!readLines(path, kSmallFileLimit, lines, fault))
        return failure("The input-parameter file " + path + " " + withSizeHint(fault, "one line of five values") +
                       ".");
    const std::string what = "The input-parameter file " + path;
    bool anyText = false;
    for (const std::string& l : lines) anyText = anyText || !withoutBlanks(l).empty();
    if (!anyText) return failure(what + " is empty.");
    const std::string line = lines[0];
    if (withoutBlanks(line).empty())
        return failure(what + " has a blank first line; the five values belong on line 1.");
    if (line.size() < 23)
        return failure(what + " is truncated: its line has " + std::to_string(line.size()) + " of 23 columns.");
    for (std::size_t blank : {2u, 8u, 14u, 19u})
        if (!isBlank(line[blank]))
            return failure(what + " does not keep its fixed columns (column " + std::to_string(blank + 1) + " is not blank).");
    if (!withoutBlanks(line.substr(23)).empty())
        return failure(what + " holds more than its five fields (a value wider than its columns?).");

    int gas = 0, amps = 0, rate = 0;
    float d = 0, l = 0;
    if (!parseIntegerField(column(line, 0, 2), gas)) return failure(noNumber(what, column(line, 0, 2), "gas code", "1-2"));
    if (!parseRealField(column(line, 3, 5), 2, d))
        return failure(noNumber(what, column(line, 3, 5), "anode diameter", "4-8"));
    if (!parseRealField(column(line, 9, 5), 2, l))
        return failure(noNumber(what, column(line, 9, 5), "anode length", "10-14"));
    if (!parseIntegerField(column(line, 15, 4), amps))
        return failure(noNumber(what, column(line, 15, 4), "arc current", "16-19"));
    if (!parseIntegerField(column(line, 20, 3), rate))
        return failure(noNumber(what, column(line, 20, 3), "gas flow", "21-23"));
    if (!validGasCode(gas))
        return failure(what + " holds the gas code " + std::to_string(gas) + ", which names no plasma gas (1, 2 or 5 to 14 expected).");
    s.gasCode = gas;
    diameter = d;
    length = l;
    current = amps;
    flow = rate;
    return {};
}

// ----- gas property files ---------------------------------------------------------------

const char* gasFileName(int gasCode) {
    switch (gasCode) {
    case 1: return "ar.dat";
    case 2: return "n2.dat";
    case 5: return "ah205.dat";
    case 6: return "ah210.dat";
    case 7: return "ah215.dat";
    case 8: return "ah220.dat";
    case 9: return "ah225.dat";
    case 10: return "ahe10.dat";
    case 11: return "ahe20.dat";
    case 12: return "ahe30.dat";
    case 13: return "ahe40.dat";
    case 14: return "ahe50.dat";
    default: return "";
    }
}

namespace {

constexpr int kGasFieldsPerLine = 8;
constexpr int kGasFieldWidth = 10;

// Table temperature of row k: 300 K, 500 K, then 1000 K to 23500 K by 500 K.
float gridTemperature(int row) {
    if (row == 1) return 300.0f;
    return 500.0f * static_cast<float>(row - 1);
}

// Where value `row` of `block` stands in the file.
std::string gasFieldPlace(int block, int row) {
    const int index = (block - 1) * kTableRows + (row - 1);
    const int field = index % kGasFieldsPerLine;
    return "line " + std::to_string(index / kGasFieldsPerLine + 1) + ", columns " +
           std::to_string(field * kGasFieldWidth + 1) + "-" + std::to_string(field * kGasFieldWidth + kGasFieldWidth);
}

// The range a property of a plasma gas at atmospheric pressure can take
// between 300 K and 23500 K, with a wide margin: a value outside it is a
// fault of the table (a wrong unit, a shifted column), not physics.
struct PlausibleRange {
    int block;
    const char* quantity;
    const char* unit;
    bool zeroAllowed;       // radiation and electric conductivity vanish in the cold gas
    double largest;         // far above any plasma gas
    bool positiveWhenHot;   // the gas radiates and conducts at the top of the table
};

constexpr PlausibleRange kPlausibleRanges[] = {
    {3, "mass density", "kg/m3", false, 100.0, false},
    {4, "specific heat", "J/(kg K)", false, 1.0e6, false},
    {5, "radiation loss", "W/m3", true, 1.0e14, true},
    {6, "viscosity", "Pa s", false, 1.0e-2, false},
    {7, "thermal conductivity", "W/(m K)", false, 1.0e3, false},
    {8, "electrical conductivity", "S/m", true, 1.0e6, true},
};

std::string shortNumber(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.4g", value);
    std::string out = text;
    for (char& c : out)
        if (c == ',') c = '.';  // whatever the locale
    return out;
}

// The first implausible value of the table, as the end of a sentence; ""
// when every value is plausible.
std::string implausibleValue(const PropertyTable& table) {
    for (const PlausibleRange& range : kPlausibleRanges) {
        for (int row = 1; row <= kTableRows; ++row) {
            const double value = table[range.block][row];
            const std::string where = " at " + std::to_string(static_cast<int>(gridTemperature(row))) + " K (" +
                                      gasFieldPlace(range.block, row) + ")";
            const std::string stated = std::string(range.quantity) + " of " + shortNumber(value) + " " + range.unit;
            if (value < 0 || (value == 0 && !range.zeroAllowed))
                return std::string("a ") + stated + where + "; it must be " +
                       (range.zeroAllowed ? "zero or more" : "more than zero") + ".";
            if (value > range.largest)
                return std::string("a ") + stated + where + ", more than any plasma gas reaches (" +
                       shortNumber(range.largest) + " " + range.unit + ").";
        }
        if (range.positiveWhenHot && !(table[range.block][kTableRows] > 0))
            return std::string("no ") + range.quantity + " at " +
                   std::to_string(static_cast<int>(gridTemperature(kTableRows))) + " K (" +
                   gasFieldPlace(range.block, kTableRows) + "), where every plasma gas has some.";
    }
    return {};
}

} // namespace

ReadStatus readGasFile(const std::string& path, SolverState& s) {
    constexpr int kLines = kTableRows * kTableBlocks / kGasFieldsPerLine;
    std::vector<std::string> lines;
    std::string fault;
    if (!readLines(path, kGasFileLimit, lines, fault))
        return failure("The gas property file " + path + " " + withSizeHint(fault, "54 lines of numbers") + ".");
    const std::string what = "The gas property file " + path;

    PropertyTable table{};
    for (int line = 0; line < kLines; ++line) {
        const std::string text = line < static_cast<int>(lines.size()) ? lines[line] : std::string();
        for (int field = 0; field < kGasFieldsPerLine; ++field) {
            const std::string cell = column(text, static_cast<std::size_t>(field * kGasFieldWidth), kGasFieldWidth);
            const std::string where = " (line " + std::to_string(line + 1) + ", columns " +
                                      std::to_string(field * kGasFieldWidth + 1) + "-" +
                                      std::to_string(field * kGasFieldWidth + kGasFieldWidth) + ")";
            if (withoutBlanks(cell).empty()) return failure(what + " holds fewer than 432 numbers" + where + ".");
            if (isAsterisks(withoutBlanks(cell)))
                return failure(what + " holds asterisks" + where + ": a value not representable in its field.");
            float value = 0;
            if (!parseRealField(cell, 4, value)) return failure(what + " holds a field that is not a number" + where + ".");
            const int index = line * kGasFieldsPerLine + field;  // file order: block by block
            table[index / kTableRows + 1][index % kTableRows + 1] = value;
        }
    }
    for (int row = 1; row <= kTableRows; ++row) {
        if (table[1][row] != gridTemperature(row))
            return failure(what + " does not hold the temperature grid 300, 500, 1000 ... 23500 K (row " +
                           std::to_string(row) + " should be " + std::to_string(static_cast<int>(gridTemperature(row))) +
                           " K; " + gasFieldPlace(1, row) + ").");
    }
    const std::string implausible = implausibleValue(table);
    if (!implausible.empty()) return failure(what + " holds " + implausible);
    s.propertyTable = table;
    return {};
}

// ----- iop.par ---------------------------------------------------------------------------

std::string integralParametersText(const IntegralParameters& p) {
    return fixedField(p.gasCode, 2, 0) + " " + fixedField(p.diameter, 5, 2) + " " + fixedField(p.length, 5, 2) +
           " " + fixedField(p.current, 4, 0) + " " + fixedField(p.flow, 3, 0) + " " +
           fixedField(p.massFlowFigure, 4, 1) + "\n" + fixedField(p.arcVoltage, 5, 1) + " " +
           fixedField(p.arcPower, 5, 1) + " " + fixedField(p.efficiencyPercent, 2, 0) + "\n";
}

bool writeIntegralParameters(const std::string& path, const IntegralParameters& p) {
    std::string fault;
    return replaceFile(path, integralParametersText(p), fault);
}

namespace {

// The nine fields of iop.par in file order: width and decimals as written.
struct IntegralField {
    const char* name;
    int width;
    int decimals;
};
constexpr IntegralField kIntegralFields[9] = {
    {"gas code", 2, 0},     {"anode diameter", 5, 2}, {"anode length", 5, 2},
    {"arc current", 4, 0},  {"gas flow", 3, 0},       {"mass-flow figure", 4, 1},
    {"arc voltage", 5, 1},  {"electric power", 5, 1}, {"plasmatron efficiency", 2, 0},
};

// A number as the writer could have put it in its field: no wider than the
// field, within the range its integer digits allow, and whole where the
// field has no decimals (so that it converts to an int exactly).
bool fitsField(const std::string& token, double value, const IntegralField& field) {
    if (static_cast<int>(token.size()) > field.width) return false;
    const int integerDigits = field.width - field.decimals - (field.decimals > 0 ? 1 : 0);
    if (std::fabs(value) >= std::pow(10.0, integerDigits)) return false;
    return field.decimals > 0 || value == std::floor(value);
}

} // namespace

bool readIntegralParameters(const std::string& path, IntegralParameters& p, std::string* fault) {
    const std::string what = "The integral-parameter file " + path;
    auto refuse = [&](const std::string& why) {
        if (fault) *fault = what + " " + why;
        return false;
    };
    std::string text, why;
    if (!readRegularFile(path, kSmallFileLimit, text, why))
        return refuse(withSizeHint(why, "two lines of numbers") + ".");
    std::istringstream in(text);
    std::vector<std::string> tokens;
    std::string token;
    while (tokens.size() < 9 && in >> token) tokens.push_back(token);
    if (tokens.size() < 9) return refuse("holds " + std::to_string(tokens.size()) + " of its nine numbers.");

    double values[9] = {};
    bool asterisks[9] = {};
    for (int k = 0; k < 9; ++k) {
        if (isAsterisks(tokens[k])) {
            asterisks[k] = true;  // written too wide for its field: not representable
            continue;
        }
        if (!parseDecimal(tokens[k], values[k]) || !fitsField(tokens[k], values[k], kIntegralFields[k]))
            return refuse("holds \"" + tokens[k] + "\" as " + kIntegralFields[k].name +
                          ", which is not a number of its field.");
    }
    if (asterisks[0] || !validGasCode(static_cast<int>(values[0])))
        return refuse("holds \"" + tokens[0] + "\" as gas code, which names no plasma gas.");
    IntegralParameters read;
    read.gasCode = static_cast<int>(values[0]);
    read.diameter = values[1];
    read.length = values[2];
    read.current = static_cast<int>(values[3]);
    read.flow = static_cast<int>(values[4]);
    read.massFlowFigure = values[5];
    read.arcVoltage = values[6];
    read.arcPower = values[7];
    read.efficiencyPercent = static_cast<int>(values[8]);
    read.diameterOverflow = asterisks[1];
    read.lengthOverflow = asterisks[2];
    read.currentOverflow = asterisks[3];
    read.flowOverflow = asterisks[4];
    read.massFlowOverflow = asterisks[5];
    read.voltageOverflow = asterisks[6];
    read.powerOverflow = asterisks[7];
    read.efficiencyOverflow = asterisks[8];
    p = read;
    return true;
}

} // namespace torvex
