#include "solver/result_files.h"

#include "solver/files.h"

#include <charconv>
#include <cmath>
#include <sstream>

namespace torvex {

const std::array<const char*, 8>& ResultFiles::fileNames() {
    static const std::array<const char*, 8> names = {"ilt.res",  "ztu0.res",  "rtu0.res",   "rtu5.res",
                                                     "rtu20.res", "rtu50.res", "rtu100.res", "ftu.res"};
    return names;
}

const std::array<const char*, 8>& ResultFiles::commitOrder() {
    static const std::array<const char*, 8> names = {"ilt.res",   "rtu0.res",   "rtu5.res", "rtu20.res",
                                                     "rtu50.res", "rtu100.res", "ftu.res",  "ztu0.res"};
    return names;
}

namespace {

std::string resultFault(const std::string& path, const std::string& why) {
    return "The result file " + path + " " + why + ".";
}

int indexOf(const char* name) {
    const auto& names = ResultFiles::fileNames();
    for (int k = 0; k < static_cast<int>(names.size()); ++k)
        if (std::string(names[k]) == name) return k;
    return 0;
}

} // namespace

bool ResultFiles::removeEarlier(const std::string& dir, std::string& fault) {
    const auto& order = commitOrder();
    for (auto name = order.rbegin(); name != order.rend(); ++name) {
        const std::string path = dir + "/" + *name;
        std::string why;
        if (!removeEntry(path, why)) {
            fault = resultFault(path, why);
            return false;
        }
    }
    return true;
}

bool ResultFiles::create(const std::string& dir, std::string& fault) {
    discard();
    dir_ = dir;
    for (int k = 0; k < Count; ++k) {
        const std::string path = dir + "/" + fileNames()[k];
        std::string why;
        if (!files_[k].create(path, why)) {
            fault = resultFault(path, why);
            discard();
            return false;
        }
    }
    isOpen_ = true;
    return true;
}

void ResultFiles::put(Index file, const std::string& text) { files_[file].append(text); }

void ResultFiles::writeAxialRecord(float distanceMm, const std::array<float, 6>& isothermRadiusMm,
                                   float axisTemperatureKiloKelvin, float axisVelocity) {
    const std::string distance = fixedField(distanceMm, 6, 1);
    std::string isotherms = distance;
    for (int k = 1; k <= 5; ++k) isotherms += " " + fixedField(isothermRadiusMm[k], 6, 3);
    put(Ilt, isotherms + "\n");
    put(Ztu, distance + " " + fixedField(axisTemperatureKiloKelvin, 6, 2) + " " +
                 fixedField(axisVelocity, 8, 2) + "\n");
}

void ResultFiles::writeRadialLine(int plane, float radiusMm, float temperatureKiloKelvin, float axialVelocity) {
    if (plane < 0 || plane >= kRadialPlanes) return;
    put(static_cast<Index>(FirstRadial + plane), fixedField(radiusMm, 5, 1) + " " +
                                                     fixedField(temperatureKiloKelvin, 6, 2) + " " +
                                                     fixedField(axialVelocity, 8, 2) + "\n");
}

void ResultFiles::writeFieldBlock(const FieldBlock& block) {
    constexpr int kPerLine = 10;
    std::string line;
    for (int j = 1; j <= kFieldValues; ++j) {
        line += fixedField(block[j], 8, 1);
        if (j % kPerLine == 0 || j == kFieldValues) {
            put(Ftu, line + "\n");
            line.clear();
        }
    }
}

void ResultFiles::writeFieldRecord(const FieldBlock& temperature, const FieldBlock& axialVelocity,
                                   const FieldBlock& radialVelocity) {
    writeFieldBlock(temperature);
    writeFieldBlock(axialVelocity);
    writeFieldBlock(radialVelocity);
}

bool ResultFiles::commit(std::string& fault) {
    if (!isOpen_) {
        fault = "The result files in " + dir_ + " were never created.";
        return false;
    }
    // Every file whole on disk before the first one takes its name: a full
    // disk then leaves no new result file at all.
    for (int k = 0; k < Count; ++k) {
        std::string why;
        if (!files_[k].finish(why)) {
            fault = resultFault(files_[k].path(), why);
            discard();
            return false;
        }
    }
    for (const char* name : commitOrder()) {
        ReplacementFile& file = files_[indexOf(name)];
        std::string why;
        if (!file.commit(why)) {
            fault = resultFault(file.path(), why);
            discard();
            return false;
        }
    }
    isOpen_ = false;
    std::string why;
    if (!syncDirectory(dir_, why)) {
        fault = "The working directory " + dir_ + " " + why + ".";
        return false;
    }
    return true;
}

void ResultFiles::discard() {
    for (ReplacementFile& file : files_) file.discard();
    isOpen_ = false;
}

// ----- readers ------------------------------------------------------------------

namespace {

// The reals of one line: exactly `count` finite numbers separated by blanks,
// or false. The files carry a decimal point whatever the user's locale, so
// the numbers are converted without it.
bool parseRecordLine(const std::string& line, std::size_t count, std::vector<double>& values) {
    values.clear();
    const char* p = line.data();
    const char* const end = p + line.size();
    auto isBlank = [](char c) { return c == ' ' || c == '\t' || c == '\r'; };
    while (true) {
        while (p != end && isBlank(*p)) ++p;
        if (p == end) break;
        double v = 0;
        const auto result = std::from_chars(p, end, v);
        if (result.ec != std::errc() || !std::isfinite(v)) return false;
        if (result.ptr != end && !isBlank(*result.ptr)) return false;
        values.push_back(v);
        p = result.ptr;
    }
    return values.size() == count;
}

// The sound records of a result file; blank lines are passed over.
std::vector<std::vector<double>> readRecords(const std::string& path, std::size_t count, std::size_t maxRecords,
                                             std::string* fault) {
    std::vector<std::vector<double>> records;
    std::string text, why;
    if (!readRegularFile(path, kResultFileLimit, text, why)) {
        if (fault) *fault = "The result file " + path + " " + why + ".";
        return records;
    }
    std::istringstream in(text);
    std::string line;
    std::vector<double> values;
    while (records.size() < maxRecords && std::getline(in, line)) {
        if (line.find_first_not_of(" \t\r") == std::string::npos) continue;
        if (!parseRecordLine(line, count, values)) break;
        records.push_back(values);
    }
    return records;
}

} // namespace

const std::array<const char*, kRadialPlanes>& radialFileNames() {
    static const std::array<const char*, kRadialPlanes> names = {"rtu0.res", "rtu5.res", "rtu20.res", "rtu50.res",
                                                                 "rtu100.res"};
    return names;
}

std::vector<IsothermRecord> readIsothermRecords(const std::string& path, std::size_t maxRecords,
                                               std::string* fault) {
    std::vector<IsothermRecord> out;
    for (const auto& v : readRecords(path, 6, maxRecords, fault)) {
        IsothermRecord r;
        r.distanceMm = v[0];
        for (int k = 0; k < 5; ++k) r.radiusMm[k] = v[k + 1];
        out.push_back(r);
    }
    return out;
}

std::vector<AxisRecord> readAxisRecords(const std::string& path, std::size_t maxRecords, std::string* fault) {
    std::vector<AxisRecord> out;
    for (const auto& v : readRecords(path, 3, maxRecords, fault)) out.push_back({v[0], v[1], v[2]});
    return out;
}

std::vector<RadialRecord> readRadialRecords(const std::string& path, std::size_t maxRecords,
                                            std::string* fault) {
    std::vector<RadialRecord> out;
    for (const auto& v : readRecords(path, 3, maxRecords, fault)) out.push_back({v[0], v[1], v[2]});
    return out;
}

// ----- ftu.res ------------------------------------------------------------------

namespace {

constexpr int kFieldLinesPerBlock = 11;  // ten lines of ten values, one of one
constexpr int kFieldValuesPerLine = 10;
constexpr int kFieldColumnWidth = 8;
// A plasma jet is below 10^5 K and slower than 10^5 m/s; anything else is a
// damaged file.
constexpr double kMaxFieldTemperature = 1e5;
constexpr double kMaxFieldVelocity = 1e5;

std::string fieldPlace(int line) {
    const int record = line / kFieldLinesPerRecord;
    static const char* const blocks[] = {"temperature", "axial velocity", "radial velocity"};
    return "line " + std::to_string(line + 1) + " (cross-section " + std::to_string(record + 1) + " at " +
           fixedField(fieldRecordDistanceMm(record), 1, 1) + " mm, " +
           blocks[(line % kFieldLinesPerRecord) / kFieldLinesPerBlock] + ")";
}

// One 8-column field: a finite number with blanks before it.
bool parseFieldValue(const std::string& field, float& value) {
    const std::size_t first = field.find_first_not_of(' ');
    if (first == std::string::npos) return false;
    const char* begin = field.data() + first;
    if (*begin == '+') ++begin;  // from_chars takes no plus sign
    double parsed = 0;
    const char* end = field.data() + field.find_last_not_of(' ') + 1;
    const auto result = std::from_chars(begin, end, parsed);
    if (result.ec != std::errc() || result.ptr != end || !std::isfinite(parsed)) return false;
    value = static_cast<float>(parsed);
    return true;
}

// The `count` values of one line, appended to out; only blanks may follow.
bool parseFieldLine(const std::string& line, int count, std::vector<float>& out) {
    for (int k = 0; k < count; ++k) {
        const std::size_t start = static_cast<std::size_t>(k * kFieldColumnWidth);
        float value = 0;
        if (start >= line.size() || !parseFieldValue(line.substr(start, kFieldColumnWidth), value)) return false;
        out.push_back(value);
    }
    return line.find_first_not_of(' ', static_cast<std::size_t>(count * kFieldColumnWidth)) == std::string::npos;
}

bool plausibleField(bool temperature, float v) {
    return temperature ? (v > 0 && v < kMaxFieldTemperature) : std::fabs(v) < kMaxFieldVelocity;
}

} // namespace

bool readFieldRecords(const std::string& path, std::vector<FieldRecord>& records, std::string& fault) {
    const std::string what = "The jet field file " + path;
    std::string text, why;
    if (!readRegularFile(path, kResultFileLimit, text, why)) {
        fault = what + " " + why + ".";
        return false;
    }
    std::vector<std::string> lines = splitLines(text);
    while (!lines.empty() && lines.back().find_first_not_of(' ') == std::string::npos) lines.pop_back();
    if (lines.empty()) {
        fault = what + " is empty: the jet has not been calculated.";
        return false;
    }
    if (lines.size() % kFieldLinesPerRecord != 0) {
        fault = what + " ends inside a cross-section (" + std::to_string(lines.size()) +
                " lines, a multiple of 33 expected): the file is damaged.";
        return false;
    }
    const std::size_t count = lines.size() / kFieldLinesPerRecord;
    if (count > static_cast<std::size_t>(kFieldRecordLimit)) {
        fault = what + " holds " + std::to_string(count) + " cross-sections, more than the 136 of a jet.";
        return false;
    }
    std::vector<FieldRecord> read(count);
    for (int line = 0; line < static_cast<int>(lines.size()); ++line) {
        FieldRecord& record = read[static_cast<std::size_t>(line / kFieldLinesPerRecord)];
        const int block = (line % kFieldLinesPerRecord) / kFieldLinesPerBlock;
        const int row = line % kFieldLinesPerBlock;
        std::vector<float>& target = block == 0 ? record.temperature : block == 1 ? record.axialVelocity
                                                                                  : record.radialVelocity;
        const std::size_t before = target.size();
        if (!parseFieldLine(lines[static_cast<std::size_t>(line)],
                            row == kFieldLinesPerBlock - 1 ? 1 : kFieldValuesPerLine, target)) {
            fault = what + " holds a damaged number on " + fieldPlace(line) + ".";
            return false;
        }
        for (std::size_t k = before; k < target.size(); ++k)
            if (!plausibleField(block == 0, target[k])) {
                fault = what + " holds an impossible value on " + fieldPlace(line) + ".";
                return false;
            }
    }
    records = std::move(read);
    return true;
}

} // namespace torvex
