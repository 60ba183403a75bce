#include "solver/files.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <sstream>
#include <vector>

namespace torvex {

namespace {

struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};
using FilePtr = std::unique_ptr<std::FILE, FileCloser>;

// The whole file split into lines without their line ends; false when the
// file cannot be opened.
bool readLines(const std::string& path, std::vector<std::string>& lines) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(line);
    }
    return !in.bad();
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
    FilePtr file(std::fopen(path.c_str(), "r"));
    if (!file) return false;
    unsigned length = 0, temperature = 0, flow = 0, unused = 0;
    const int count = std::fscanf(file.get(), "%1u%1u%1u%1u", &length, &temperature, &flow, &unused);
    if (count < 3) return false;
    codes.length = static_cast<int>(length);
    codes.temperature = static_cast<int>(temperature);
    codes.flow = static_cast<int>(flow);
    return true;
}

bool writeUnitCodes(const std::string& path, const UnitCodes& codes) {
    FilePtr file(std::fopen(path.c_str(), "w"));
    if (!file) return false;
    const auto length = static_cast<unsigned>(codes.length);
    const auto temperature = static_cast<unsigned>(codes.temperature);
    const auto flow = static_cast<unsigned>(codes.flow);
    const bool written = std::fprintf(file.get(), "%1u %1u %1u %1u \n", length, temperature, flow, flow) > 0;
    return std::fclose(file.release()) == 0 && written;
}

ReadStatus readSolverUnits(const std::string& path, SolverState& s) {
    std::vector<std::string> lines;
    if (!readLines(path, lines)) return failure("The unit file " + path + " is missing or cannot be read.");
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

bool writeInputParameters(const std::string& path, const VariantInputs& in) {
    FilePtr file(std::fopen(path.c_str(), "w"));
    if (!file) return false;
    // "%2.0lf %5.2lf %5.2lf %4.0lf %3.0lf\n", with a point in any locale.
    const std::string line = fixedNumber(in.gasCode, 2, 0) + " " + fixedNumber(in.diameter, 5, 2) + " " +
                             fixedNumber(in.length, 5, 2) + " " + fixedNumber(in.current, 4, 0) + " " +
                             fixedNumber(in.flow, 3, 0) + "\n";
    const bool written = std::fputs(line.c_str(), file.get()) >= 0;
    return std::fclose(file.release()) == 0 && written;
}

ReadStatus readSolverInputs(const std::string& path, SolverState& s, float& diameter, float& length,
                            int& current, int& flow) {
    std::vector<std::string> lines;
    if (!readLines(path, lines))
        return failure("The input-parameter file " + path + " is missing or cannot be read.");
    const std::string line = lines.empty() ? std::string() : lines[0];
    const std::string what = "The input-parameter file " + path;
    if (withoutBlanks(line).empty()) return failure(what + " is empty.");
    if (line.size() < 23)
        return failure(what + " is truncated: its line has " + std::to_string(line.size()) + " of 23 columns.");
    for (std::size_t blank : {2u, 8u, 14u, 19u})
        if (!isBlank(line[blank]))
            return failure(what + " does not keep its fixed columns (column " + std::to_string(blank + 1) + " is not blank).");
    if (!withoutBlanks(line.substr(23)).empty())
        return failure(what + " holds more than its five fields (a value wider than its columns?).");

    int gas = 0, amps = 0, rate = 0;
    float d = 0, l = 0;
    if (!parseIntegerField(column(line, 0, 2), gas)) return failure(what + " holds no whole-number gas code in columns 1-2.");
    if (!parseRealField(column(line, 3, 5), 2, d)) return failure(what + " holds no number for the anode diameter in columns 4-8.");
    if (!parseRealField(column(line, 9, 5), 2, l)) return failure(what + " holds no number for the anode length in columns 10-14.");
    if (!parseIntegerField(column(line, 15, 4), amps)) return failure(what + " holds no whole-number arc current in columns 16-19.");
    if (!parseIntegerField(column(line, 20, 3), rate)) return failure(what + " holds no whole-number gas flow in columns 21-23.");
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

// Table temperature of row k: 300 K, 500 K, then 1000 K to 23500 K by 500 K.
float gridTemperature(int row) {
    if (row == 1) return 300.0f;
    return 500.0f * static_cast<float>(row - 1);
}

} // namespace

ReadStatus readGasFile(const std::string& path, SolverState& s) {
    constexpr int kFieldsPerLine = 8;
    constexpr int kFieldWidth = 10;
    constexpr int kLines = kTableRows * kTableBlocks / kFieldsPerLine;
    std::vector<std::string> lines;
    if (!readLines(path, lines)) return failure("The gas property file " + path + " is missing or cannot be read.");
    const std::string what = "The gas property file " + path;

    PropertyTable table{};
    for (int line = 0; line < kLines; ++line) {
        const std::string text = line < static_cast<int>(lines.size()) ? lines[line] : std::string();
        for (int field = 0; field < kFieldsPerLine; ++field) {
            const std::string cell = column(text, static_cast<std::size_t>(field * kFieldWidth), kFieldWidth);
            const std::string where = " (line " + std::to_string(line + 1) + ", columns " +
                                      std::to_string(field * kFieldWidth + 1) + "-" +
                                      std::to_string(field * kFieldWidth + kFieldWidth) + ")";
            if (withoutBlanks(cell).empty()) return failure(what + " holds fewer than 432 numbers" + where + ".");
            float value = 0;
            if (!parseRealField(cell, 4, value)) return failure(what + " holds a field that is not a number" + where + ".");
            const int index = line * kFieldsPerLine + field;  // file order: block by block
            table[index / kTableRows + 1][index % kTableRows + 1] = value;
        }
    }
    for (int row = 1; row <= kTableRows; ++row) {
        if (table[1][row] != gridTemperature(row))
            return failure(what + " does not hold the temperature grid 300, 500, 1000 ... 23500 K (row " +
                           std::to_string(row) + " should be " + std::to_string(static_cast<int>(gridTemperature(row))) + " K).");
    }
    s.propertyTable = table;
    return {};
}

// ----- iop.par ---------------------------------------------------------------------------

bool writeIntegralParameters(const std::string& path, const IntegralParameters& p) {
    FilePtr file(std::fopen(path.c_str(), "w"));
    if (!file) return false;
    const std::string first = fixedField(p.gasCode, 2, 0) + " " + fixedField(p.diameter, 5, 2) + " " +
                              fixedField(p.length, 5, 2) + " " + fixedField(p.current, 4, 0) + " " +
                              fixedField(p.flow, 3, 0) + " " + fixedField(p.massFlowFigure, 4, 1) + "\n";
    const std::string second = fixedField(p.arcVoltage, 5, 1) + " " + fixedField(p.arcPower, 5, 1) + " " +
                               fixedField(p.efficiencyPercent, 2, 0) + "\n";
    const bool written = std::fputs(first.c_str(), file.get()) >= 0 && std::fputs(second.c_str(), file.get()) >= 0;
    return std::fclose(file.release()) == 0 && written;
}

bool readIntegralParameters(const std::string& path, IntegralParameters& p) {
    std::ifstream in(path);
    if (!in) return false;
    std::vector<std::string> tokens;
    std::string token;
    while (tokens.size() < 9 && in >> token) tokens.push_back(token);
    if (tokens.size() < 9) return false;

    double values[9] = {};
    bool overflow[9] = {};
    for (int k = 0; k < 9; ++k) {
        if (isAsterisks(tokens[k])) {
            overflow[k] = true;  // written too wide for its field
            continue;
        }
        if (!parseDecimal(tokens[k], values[k])) return false;
    }
    // The whole-number fields (gas code, current, flow, efficiency) are at
    // most four digits wide; a larger value does not fit an int and marks
    // the file as not the solver's.
    for (int k : {0, 3, 4, 8})
        if (!(std::fabs(values[k]) < 1e9)) return false;
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
    read.voltageOverflow = overflow[6];
    read.powerOverflow = overflow[7];
    read.efficiencyOverflow = overflow[8];
    p = read;
    return true;
}

} // namespace torvex
