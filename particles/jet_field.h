// The plasma jet as the particles see it: the cross-sections of ftu.res
// (temperature, axial and radial velocity at radii 0 to 25 mm) and the gas
// property table of the run, interpolated with the solver's own rule.
#pragma once

#include "solver/file_access.h"
#include "solver/files.h"
#include "solver/state.h"

#include <string>
#include <vector>

namespace torvex::particles {

constexpr int kFieldRecords = 136;       // cross-sections of a complete field
constexpr int kFieldRadii = 101;         // radii 0, 0.25, ..., 25 mm
constexpr double kFieldRadiusStepMm = 0.25;
constexpr double kFieldOuterRadiusMm = 25;

// Distance (mm from the nozzle exit) of cross-section k = 0..135: every
// 0.5 mm to 10 mm, every 1 mm to 50 mm, every 2 mm to 200 mm. The schedule
// is the same in inch mode.
double fieldRecordDistanceMm(int record);

// Plasma state at one point.
struct GasPoint {
    double temperature = 300;     // K
    double axialVelocity = 0;     // m/s
    double radialVelocity = 0;    // m/s, away from the axis
};

// How the plasma changes in space at one point: the derivatives of the
// bilinear interpolation within its cell, per millimetre.
struct GasSlopes {
    double temperatureAxial = 0, temperatureRadial = 0;  // K/mm
    double velocityAxial = 0, velocityRadial = 0;        // (m/s)/mm, of the axial velocity
};

// Gas properties at one temperature (SI).
struct GasProperties {
    double density = 0;            // kg/m3
    double heatCapacity = 0;       // J/(kg K)
    double viscosity = 0;          // Pa s
    double conductivity = 0;       // W/(m K)
};

// The surroundings of the jet: beyond its computed radius the gas is at rest
// at room temperature (the solver's cross-sections fall to it outside the
// jet).
constexpr double kRoomTemperature = 300;  // K

struct JetField {
    int gasCode = 1;
    int lengthUnit = 1;   // of the variant (1 mm, 2 in); the field itself is in mm
    // The variant of the result set in the units it was calculated in
    // ("argon 8.0 mm 500 A 35 SLPM"); empty for a field built by hand.
    std::string variantName;
    // The set it was read from: iop.par's values and the units of the run
    // (what the pages print of the jet), and the checksum of its
    // results.stamp, which a spray set names as the jet it flew through.
    IntegralParameters parameters;
    UnitCodes runUnits;
    std::string stampChecksum;
    int recordCount = 0;  // cross-sections read (136 for a complete jet)
    // Values of record k at radius index j: [k * kFieldRadii + j].
    std::vector<float> temperature;
    std::vector<float> axialVelocity;
    std::vector<float> radialVelocity;
    PropertyTable gasTable{};
    // Conduction potential S(T) = integral of conductivity from 300 K at the
    // table rows (W/m), index as the table rows 1..48.
    std::vector<double> conductionPotential;
    // K: the still gas (of the table's gas) beyond the field's radius.
    double ambientTemperature = kRoomTemperature;

    double endMm() const;  // distance of the last cross-section read
    // Bilinear interpolation in (z, r); false outside the field.
    bool sample(double axialMm, double radiusMm, GasPoint& point) const;
    // That and the derivatives of the interpolation at (z, r), from one search
    // of the field's cell; false outside the field.
    bool sampleWithSlopes(double axialMm, double radiusMm, GasPoint& point, GasSlopes& slopes) const;
    // Properties at temperature t (clamped to the table's 300..23000 K).
    GasProperties properties(double t) const;
    // S(t2) - S(t1): heat conducted per unit length and per kelvin-weighted
    // span; its ratio to (t2 - t1) is the integral-mean conductivity.
    double conductionPotential12(double t1, double t2) const;
    // S(t) itself (t clamped to the table), for a caller that holds one end
    // of the span fixed over many differences.
    double conductionPotentialAt(double t) const;
};

// Fills the conduction potential from the gas table (called by the readers;
// tests that build a table by hand call it too).
void prepareGasTable(JetField& field);

struct FieldStatus {
    bool ok = true;
    std::string message;  // names the file and the fault when !ok
    bool busy = false;    // a run holds the directory: try again later
};

// Reads ftu.res: whole records of 33 lines (101 temperatures, axial and
// radial velocities, ten 8-column values a line). A file with fewer than 136
// records gives the records it holds (recordCount tells); a damaged number,
// a record cut short or a file that is missing, not regular or too large is
// refused.
FieldStatus readFieldFile(const std::string& path, JetField& field);

// Reads the jet of the result set in the directory of `lock`, which the
// caller holds (shared or exclusive): the set is checked first (see
// solver/result_set.h), the gas and the length unit come from the set, never
// from ip.dat or un.dat; then the gas table (working directory first, then
// the data folder, as the solver looks for it) and ftu.res.
FieldStatus readJetField(const WorkDirLock& lock, JetField& field);

// The same under a shared lock on workDir taken for the reading; busy when a
// run holds the directory.
FieldStatus readJetField(const std::string& workDir, JetField& field);

} // namespace torvex::particles
