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
#include <vector>

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

// ----- Readers of ilt.res, ztu0.res and rtu*.res ------------------------------
// The charts re-read these files on every paint. Each is read as records of
// whitespace-separated reals, one record per line, in file order, up to a
// record limit. A missing file gives no records; reading stops at the first
// line that is not a whole record of finite numbers (a field of asterisks, a
// line cut short by a truncated file, stray text), so the records returned
// are exactly the sound ones before it.

// One record of ilt.res: distance from the nozzle exit and the radii of the
// isotherms of levels 1 (lowest temperature) to 5, all in mm.
struct IsothermRecord {
    double distanceMm = 0;
    std::array<double, 5> radiusMm{};
};

// One record of ztu0.res: distance (mm), axis temperature (kK), axis velocity (m/s).
struct AxisRecord {
    double distanceMm = 0;
    double temperatureKiloKelvin = 0;
    double velocity = 0;
};

// One record of an rtu*.res file: radius (mm), temperature (kK), axial velocity (m/s).
struct RadialRecord {
    double radiusMm = 0;
    double temperatureKiloKelvin = 0;
    double velocity = 0;
};

constexpr const char* kIsothermFile = "ilt.res";
constexpr const char* kAxisFile = "ztu0.res";
// The radial cross-section files, nozzle exit first.
const std::array<const char*, kRadialPlanes>& radialFileNames();

std::vector<IsothermRecord> readIsothermRecords(const std::string& path, std::size_t maxRecords);
std::vector<AxisRecord> readAxisRecords(const std::string& path, std::size_t maxRecords);
std::vector<RadialRecord> readRadialRecords(const std::string& path, std::size_t maxRecords);

} // namespace torvex
