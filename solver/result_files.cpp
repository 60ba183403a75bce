#include "solver/result_files.h"

#include "solver/files.h"

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

} // namespace torvex
