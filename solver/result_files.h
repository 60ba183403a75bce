// The eight result files of the free jet: isotherm radii (ilt.res), axis
// values (ztu0.res), five radial cross-sections (rtu*.res) and the field file
// for the spray-particle module (ftu.res). They are written under temporary
// names while the jet is marched and put in place together at its end, so
// that the directory never holds a result file cut short by a kill.
#pragma once

#include "file_access.h"
#include "output_schedule.h"  // kRadialPlanes, fieldRecordDistanceMm
#include "state.h"

#include <array>
#include <string>
#include <vector>

namespace torvex {

constexpr int kFieldValues = 101;  // nodes 1, 6, ..., 501: radii 0 to 25 mm

// One block of ftu.res, values 1..kFieldValues (entry 0 unused).
using FieldBlock = std::array<float, kFieldValues + 1>;

class ResultFiles {
public:
    ResultFiles() = default;
    ResultFiles(const ResultFiles&) = delete;
    ResultFiles& operator=(const ResultFiles&) = delete;
    // Files not committed are discarded: the destinations stay as they were.
    ~ResultFiles() = default;

    // Creates the temporary files of the eight results in dir. On failure
    // (a result name that is a directory, a directory that allows no new
    // file) `fault` is a sentence naming the file, and nothing is left open.
    bool create(const std::string& dir, std::string& fault);
    bool isOpen() const { return isOpen_; }

    // One line each of ilt.res and ztu0.res.
    void writeAxialRecord(float distanceMm, const std::array<float, 6>& isothermRadiusMm,
                          float axisTemperatureKiloKelvin, float axisVelocity);
    // One line of the radial file of plane 0..4 (rtu0 ... rtu100).
    void writeRadialLine(int plane, float radiusMm, float temperatureKiloKelvin, float axialVelocity);
    // One record of ftu.res: temperature, axial and radial velocity blocks.
    void writeFieldRecord(const FieldBlock& temperature, const FieldBlock& axialVelocity,
                          const FieldBlock& radialVelocity);

    // Flushes every file to disk, then renames them onto their names in
    // commitOrder() and flushes the directory. False, with a sentence naming
    // the file in `fault`, when a file could not be written; then none is put
    // in place.
    bool commit(std::string& fault);
    // Removes the temporary files; the destinations stay as they were.
    void discard();

    // The result file names in their fixed order, ilt.res first and ftu.res last.
    static const std::array<const char*, 8>& fileNames();
    // The order in which the files are put in place: ztu0.res last, so that
    // a directory holding ztu0.res holds the whole set beside it.
    static const std::array<const char*, 8>& commitOrder();
    // Removes the result files of an earlier run from dir, ztu0.res first
    // (the reverse of commitOrder()), so that at no moment a set without its
    // ztu0.res looks complete. False with a sentence naming the file.
    static bool removeEarlier(const std::string& dir, std::string& fault);

private:
    enum Index { Ilt = 0, Ztu = 1, FirstRadial = 2, Ftu = 7, Count = 8 };
    void writeFieldBlock(const FieldBlock& block);
    void put(Index file, const std::string& text);

    std::string dir_;
    std::array<ReplacementFile, Count> files_;
    bool isOpen_ = false;
};

// ----- Readers of ilt.res, ztu0.res and rtu*.res ------------------------------
// The charts re-read these files on every paint. Each is read as records of
// whitespace-separated reals, one record per line, in file order, up to a
// record limit. A missing file, or one that is not a regular file of at most
// kResultFileLimit bytes, gives no records (the reason, a sentence naming the
// file, goes to *fault when given); reading stops at the first line that is
// not a whole record of finite numbers (a field of asterisks, a line cut
// short, stray text), so the records returned are exactly the sound ones
// before it.

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

std::vector<IsothermRecord> readIsothermRecords(const std::string& path, std::size_t maxRecords,
                                               std::string* fault = nullptr);
std::vector<AxisRecord> readAxisRecords(const std::string& path, std::size_t maxRecords,
                                        std::string* fault = nullptr);
std::vector<RadialRecord> readRadialRecords(const std::string& path, std::size_t maxRecords,
                                            std::string* fault = nullptr);

// ----- Reader of ftu.res ---------------------------------------------------------
// Records of 33 lines: the temperature (K), axial and radial velocity (m/s)
// blocks at the radii 0, 0.25, ..., 25 mm, each ten lines of ten 8-column
// values and one line of one.

constexpr int kFieldLinesPerRecord = 33;
constexpr int kFieldRecordLimit = 136;  // cross-sections of a complete jet
constexpr const char* kFieldFile = "ftu.res";

// One record of ftu.res, values of the radii 0..100 (kFieldValues of each).
struct FieldRecord {
    std::vector<float> temperature, axialVelocity, radialVelocity;
};

// The records of ftu.res. A missing, irregular or too large file, a number
// that is damaged or impossible (a temperature not between 0 and 10^5 K, a
// velocity of 10^5 m/s or more), a file that ends inside a record, more than
// kFieldRecordLimit records or none at all: false with a sentence naming the
// file and the line in `fault`.
bool readFieldRecords(const std::string& path, std::vector<FieldRecord>& records, std::string& fault);

} // namespace torvex
