#include "solver/result_files.h"

#include "solver/files.h"

#include <charconv>
#include <cmath>
#include <fstream>

namespace torvex {

const std::array<const char*, 8>& ResultFiles::fileNames() {
    static const std::array<const char*, 8> names = {"ilt.res",  "ztu0.res",  "rtu0.res",   "rtu5.res",
                                                     "rtu20.res", "rtu50.res", "rtu100.res", "ftu.res"};
    return names;
}

bool ResultFiles::create(const std::string& dir, std::string& failedFile) {
    close();
    failed_ = false;
    for (int k = 0; k < Count; ++k) {
        const std::string path = dir + "/" + fileNames()[k];
        files_[k].reset(std::fopen(path.c_str(), "w"));
        if (!files_[k]) {
            failedFile = fileNames()[k];
            for (auto& f : files_) f.reset();
            return false;
        }
    }
    isOpen_ = true;
    return true;
}

void ResultFiles::put(Index file, const std::string& text) {
    if (!files_[file]) return;
    if (std::fputs(text.c_str(), files_[file].get()) < 0) failed_ = true;
}

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

void ResultFiles::flush() {
    for (auto& f : files_)
        if (f && std::fflush(f.get()) != 0) failed_ = true;
}

bool ResultFiles::close() {
    for (auto& f : files_) {
        if (!f) continue;
        const bool writeError = std::ferror(f.get()) != 0;
        if (std::fclose(f.release()) != 0 || writeError) failed_ = true;
    }
    isOpen_ = false;
    return !failed_;
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
std::vector<std::vector<double>> readRecords(const std::string& path, std::size_t count, std::size_t maxRecords) {
    std::vector<std::vector<double>> records;
    std::ifstream in(path);
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

std::vector<IsothermRecord> readIsothermRecords(const std::string& path, std::size_t maxRecords) {
    std::vector<IsothermRecord> out;
    for (const auto& v : readRecords(path, 6, maxRecords)) {
        IsothermRecord r;
        r.distanceMm = v[0];
        for (int k = 0; k < 5; ++k) r.radiusMm[k] = v[k + 1];
        out.push_back(r);
    }
    return out;
}

std::vector<AxisRecord> readAxisRecords(const std::string& path, std::size_t maxRecords) {
    std::vector<AxisRecord> out;
    for (const auto& v : readRecords(path, 3, maxRecords)) out.push_back({v[0], v[1], v[2]});
    return out;
}

std::vector<RadialRecord> readRadialRecords(const std::string& path, std::size_t maxRecords) {
    std::vector<RadialRecord> out;
    for (const auto& v : readRecords(path, 3, maxRecords)) out.push_back({v[0], v[1], v[2]});
    return out;
}

} // namespace torvex
