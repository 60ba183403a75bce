#include "tests/golden/golden.h"

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <sstream>

#include "solver/files.h"
#include "solver/solver.h"
#include "tests/support/temp_dir.h"

namespace torvex::golden {

namespace {

constexpr int kFieldLinesPerBlock = 11;  // 101 values, ten to a line
constexpr int kFieldBlocks = 3;          // temperature, axial and radial velocity
const char* const kFieldBlockNames[kFieldBlocks] = {"temperature", "axial", "radial"};

// The fields of a record, separated by commas or blanks, so that CSV files
// and column files read alike.
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

std::string rightJustified(const std::string& text, std::size_t width) {
    return text.size() >= width ? text : std::string(width - text.size(), ' ') + text;
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

std::vector<std::string> splitLines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    std::string line;
    while (std::getline(in, line)) lines.push_back(line);
    return lines;
}

std::vector<std::string> splitWords(const std::string& line) {
    std::vector<std::string> words;
    std::istringstream in(line);
    std::string word;
    while (in >> word) words.push_back(word);
    return words;
}

void writeText(const std::string& path, const std::string& text) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << text;
}

// FNV-1a, 64 bits: enough to tell two blocks of printed digits apart.
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

bool readManifest(const std::string& path, std::vector<GoldenVariant>& variants, std::string& error) {
    std::ifstream in(path);
    if (!in) {
        error = "The golden manifest " + path + " cannot be read.";
        return false;
    }
    std::string line;
    for (int number = 1; std::getline(in, line); ++number) {
        const std::string content = line.substr(0, line.find('#'));
        const std::vector<std::string> f = splitWords(content);
        if (f.empty()) continue;
        if (f.size() != 9 && f.size() != 10) {
            error = "The golden manifest " + path + " line " + std::to_string(number) +
                    " needs a name, three unit codes, five inputs and an optional node ceiling.";
            return false;
        }
        GoldenVariant v;
        v.name = f[0];
        v.unitLine = f[1] + " " + f[2] + " " + f[3] + " " + f[3] + " \n";
        v.inputLine = rightJustified(f[4], 2) + " " + rightJustified(f[5], 5) + " " +
                      rightJustified(f[6], 5) + " " + rightJustified(f[7], 4) + " " +
                      rightJustified(f[8], 3) + "\n";
        v.gasCode = std::atoi(f[4].c_str());
        if (f.size() == 10) v.nodeCeiling = std::atoi(f[9].c_str());
        variants.push_back(v);
    }
    return true;
}

void runVariant(const GoldenVariant& variant, const std::string& dir) {
    writeText(dir + "/un.dat", variant.unitLine);
    writeText(dir + "/ip.dat", variant.inputLine);
    // The gas file of the source tree, never an installed one.
    const std::string gasFile = gasFileName(variant.gasCode);
    if (!gasFile.empty()) writeText(dir + "/" + gasFile, readFileText(test::sourceDataFile(gasFile)).text);
    auto state = std::make_unique<SolverState>();
    state->jetNodeCeiling = variant.nodeCeiling;
    std::ostringstream progress;
    const RunOutcome outcome = runSolver(*state, dir, [&progress](int p) { progress << ' ' << p; });

    const char* result = outcome.result == RunResult::Completed       ? "completed"
                         : outcome.result == RunResult::NotCalculable ? "not calculable"
                                                                      : "bad input";
    std::ostringstream summary;
    summary << "result: " << result << "\n"
            << "message: " << outcome.message << "\n"
            << "radial nodes at the end: " << state->radialNodeCount << "\n"
            << "progress:" << progress.str() << "\n";
    writeText(dir + "/outcome.txt", summary.str());
    const FileText field = readFileText(dir + "/ftu.res");
    if (field.exists) writeText(dir + "/ftu.sum", fieldChecksums(field.text));
}

const std::vector<std::string>& goldenFileNames() {
    static const std::vector<std::string> names = {"outcome.txt", "iop.par",  "ilt.res",   "ztu0.res",
                                                   "rtu0.res",    "rtu5.res", "rtu20.res", "rtu50.res",
                                                   "rtu100.res",  "ftu.sum"};
    return names;
}

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

std::string fieldChecksums(const std::string& ftuText) {
    const std::vector<std::string> lines = splitLines(ftuText);
    const std::size_t recordLines = kFieldBlocks * kFieldLinesPerBlock;
    std::ostringstream out;
    for (std::size_t first = 0, record = 1; first < lines.size(); first += recordLines, ++record) {
        out << "record " << record;
        for (int b = 0; b < kFieldBlocks; ++b) {
            std::string block;
            for (int k = 0; k < kFieldLinesPerBlock; ++k) {
                const std::size_t i = first + static_cast<std::size_t>(b * kFieldLinesPerBlock + k);
                if (i < lines.size()) block += lines[i] + "\n";
            }
            out << ' ' << kFieldBlockNames[b] << ' ' << checksum(block);
        }
        out << "\n";
    }
    return out.str();
}

std::string fieldRecordExcerpt(const std::string& ftuText, int record) {
    const std::vector<std::string> lines = splitLines(ftuText);
    const std::size_t first = static_cast<std::size_t>(record - 1) * kFieldBlocks * kFieldLinesPerBlock;
    std::ostringstream out;
    for (int b = 0; b < kFieldBlocks; ++b) {
        out << "  ftu.res record " << record << ", " << kFieldBlockNames[b] << " block now begins:\n";
        for (int k = 0; k < 2; ++k) {
            const std::size_t i = first + static_cast<std::size_t>(b * kFieldLinesPerBlock + k);
            if (i < lines.size()) out << "    \"" << lines[i] << "\"\n";
        }
    }
    return out.str();
}

}  // namespace torvex::golden
