#include "tests/particles/golden/compare.h"

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <vector>

namespace torvex::particles::golden {

namespace {

std::vector<std::string> splitLines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    std::string line;
    while (std::getline(in, line)) lines.push_back(line);
    return lines;
}

std::vector<std::string> splitFields(const std::string& line) {
    std::vector<std::string> fields;
    std::string field;
    for (char c : line + ",") {
        if (c == ',' || c == ' ' || c == '\t') {
            if (!field.empty()) fields.push_back(field);
            field.clear();
        } else {
            field += c;
        }
    }
    return fields;
}

bool parseNumber(const std::string& text, double& value) {
    std::istringstream in(text);
    in >> value;
    return in && in.peek() == std::char_traits<char>::eof();
}

// "  field 3 (velocity_m_s): 2.49 -> 2.42 (relative difference -2.811e-02)"
std::string fieldDifference(std::size_t index, const std::string& column, const std::string& expected,
                            const std::string& actual) {
    std::ostringstream out;
    out << "  field " << index + 1;
    if (!column.empty()) out << " (" << column << ")";
    out << ": " << expected << " -> " << actual;
    double e = 0, a = 0;
    if (parseNumber(expected, e) && parseNumber(actual, a)) {
        char figure[64];
        if (e != 0.0)
            std::snprintf(figure, sizeof figure, " (relative difference %+.3e)", (a - e) / std::fabs(e));
        else
            std::snprintf(figure, sizeof figure, " (expected zero, absolute difference %+.3e)", a - e);
        out << figure;
    }
    out << "\n";
    return out.str();
}

}  // namespace

FileText readFileText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return {};
    std::ostringstream text;
    text << in.rdbuf();
    return {true, text.str()};
}

std::string compareFile(const std::string& name, const FileText& expected, const FileText& actual) {
    if (!expected.exists && !actual.exists) return {};
    if (!expected.exists) return name + ": written by the run but absent from the golden\n";
    if (!actual.exists) return name + ": in the golden but not written by the run\n";
    if (expected.text == actual.text) return {};

    const std::vector<std::string> want = splitLines(expected.text);
    const std::vector<std::string> got = splitLines(actual.text);
    std::ostringstream report;
    report << name << ": " << want.size() << " records expected, " << got.size() << " written";
    std::size_t line = 0;
    while (line < want.size() && line < got.size() && want[line] == got[line]) ++line;
    if (line == want.size() && line == got.size()) {
        report << "; the records agree, the line ends differ\n";
        return report.str();
    }
    report << "; first difference in record " << line + 1 << "\n";
    const std::string e = line < want.size() ? want[line] : std::string("(no record)");
    const std::string a = line < got.size() ? got[line] : std::string("(no record)");
    report << "  expected: \"" << e << "\"\n  actual:   \"" << a << "\"\n";
    const std::vector<std::string> ef = splitFields(e), af = splitFields(a);
    // A CSV file names its columns in its first line.
    const bool csv = name.size() > 4 && name.compare(name.size() - 4, 4, ".csv") == 0;
    const std::vector<std::string> columns =
        csv && line > 0 ? splitFields(want.front()) : std::vector<std::string>();
    for (std::size_t k = 0; k < ef.size() && k < af.size(); ++k)
        if (ef[k] != af[k]) report << fieldDifference(k, k < columns.size() ? columns[k] : "", ef[k], af[k]);
    return report.str();
}

std::string checksum(const std::string& text) {
    std::uint64_t hash = 1469598103934665603ull;
    for (unsigned char c : text) {
        hash ^= c;
        hash *= 1099511628211ull;
    }
    char digits[17];
    std::snprintf(digits, sizeof digits, "%016llx", static_cast<unsigned long long>(hash));
    return digits;
}

}  // namespace torvex::particles::golden
