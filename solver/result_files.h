// The eight result files of the free jet: isotherm radii (ilt.res), axis
// values (ztu0.res), five radial cross-sections (rtu*.res) and the field file
// for the spray-particle module (ftu.res). They are created together at the
// nozzle exit, receive their records while the jet is marched and are closed
// in a fixed order.
#pragma once

#include "state.h"

#include <array>
#include <cstdio>
#include <memory>
#include <string>

namespace torvex {

constexpr int kRadialPlanes = 5;
constexpr int kFieldValues = 101;  // nodes 1, 6, ..., 501: radii 0 to 25 mm

// One block of ftu.res, values 1..kFieldValues (entry 0 unused).
using FieldBlock = std::array<float, kFieldValues + 1>;

class ResultFiles {
public:
    ResultFiles() = default;
    ResultFiles(const ResultFiles&) = delete;
    ResultFiles& operator=(const ResultFiles&) = delete;
    ~ResultFiles() { close(); }

    // Creates (replaces) the eight files in dir. On failure names the file
    // that could not be created in failedFile and leaves nothing open.
    bool create(const std::string& dir, std::string& failedFile);
    bool isOpen() const { return isOpen_; }

    // One line each of ilt.res and ztu0.res.
    void writeAxialRecord(float distanceMm, const std::array<float, 6>& isothermRadiusMm,
                          float axisTemperatureKiloKelvin, float axisVelocity);
    // One line of the radial file of plane 0..4 (rtu0 ... rtu100).
    void writeRadialLine(int plane, float radiusMm, float temperatureKiloKelvin, float axialVelocity);
    // One record of ftu.res: temperature, axial and radial velocity blocks.
    void writeFieldRecord(const FieldBlock& temperature, const FieldBlock& axialVelocity,
                          const FieldBlock& radialVelocity);

    // Pushes everything written so far to disk (the not-calculable path).
    void flush();
    // Closes ilt.res, ztu0.res, rtu0.res ... rtu100.res, ftu.res in this
    // order. False when any write or close failed.
    bool close();

    // File names in their creation and closing order.
    static const std::array<const char*, 8>& fileNames();

private:
    enum Index { Ilt = 0, Ztu = 1, FirstRadial = 2, Ftu = 7, Count = 8 };
    struct Closer {
        void operator()(std::FILE* f) const { std::fclose(f); }
    };
    void writeFieldBlock(const FieldBlock& block);
    void put(Index file, const std::string& text);

    std::array<std::unique_ptr<std::FILE, Closer>, Count> files_;
    bool isOpen_ = false;
    bool failed_ = false;
};

} // namespace torvex
