#include "particles/jet_field.h"

#include "particles/text_file.h"
#include "solver/files.h"
#include "solver/properties.h"
#include "solver/result_files.h"
#include "solver/result_set.h"
#include "solver/solver.h"

#include <cmath>
#include <memory>

namespace torvex::particles {

namespace {

constexpr int kConductivityBlock = 7;  // thermal conductivity in the gas table
constexpr double kLowestTableTemperature = 300;
constexpr double kHighestTableTemperature = 23000;

// Table row j with T_j <= t < T_j+1 on the grid 300, 500, 1000, ... K.
int tableRow(double t) { return t < 500 ? 1 : static_cast<int>(t / 500) + 1; }
double rowStep(int j) { return j == 1 ? 200.0 : 500.0; }

// Record index k with distance(k) <= z < distance(k+1), from the schedule.
int recordBelow(double z) {
    if (z < 10) return static_cast<int>(z / 0.5);
    if (z < 50) return 20 + static_cast<int>(z - 10);
    return 60 + static_cast<int>((z - 50) / 2);
}

} // namespace

double fieldRecordDistanceMm(int record) { return torvex::fieldRecordDistanceMm(record); }

// The solver's schedule inline here: the flight asks at every lookup.
double JetField::endMm() const {
    return recordCount > 0 ? torvex::fieldRecordDistanceMm(recordCount - 1) : 0;
}

namespace {

// The cell of the field around (z, r) and the position within it.
struct FieldCell {
    std::size_t lowerInner = 0;  // index of record k at radius j
    double axialShare = 0, radialShare = 0;  // 0..1 across the cell
    double lengthMm = 0;  // axial distance of the records k and k+1
};

bool fieldCell(const JetField& field, double axialMm, double radiusMm, FieldCell& cell) {
    if (field.recordCount < 2 || !(axialMm >= 0) || !(axialMm <= field.endMm()) || !(radiusMm >= 0) ||
        !(radiusMm <= kFieldOuterRadiusMm))
        return false;
    int k = recordBelow(axialMm);
    if (k > field.recordCount - 2) k = field.recordCount - 2;
    const double z0 = torvex::fieldRecordDistanceMm(k);
    const double z1 = torvex::fieldRecordDistanceMm(k + 1);
    cell.lengthMm = z1 - z0;
    cell.axialShare = (axialMm - z0) / cell.lengthMm;
    int j = static_cast<int>(radiusMm / kFieldRadiusStepMm);
    if (j > kFieldRadii - 2) j = kFieldRadii - 2;
    cell.radialShare = (radiusMm - j * kFieldRadiusStepMm) / kFieldRadiusStepMm;
    cell.lowerInner = static_cast<std::size_t>(k * kFieldRadii + j);
    return true;
}

// The values of one quantity at the cell's two records, each interpolated to
// the particle's radius.
struct RecordPair {
    double lower = 0, upper = 0;
};

RecordPair atRadius(const std::vector<float>& v, const FieldCell& cell) {
    const std::size_t i00 = cell.lowerInner;
    const std::size_t i10 = i00 + kFieldRadii;
    const double b = cell.radialShare;
    return {v[i00] + (v[i00 + 1] - static_cast<double>(v[i00])) * b,
            v[i10] + (v[i10 + 1] - static_cast<double>(v[i10])) * b};
}

double bilinear(const std::vector<float>& v, const FieldCell& cell) {
    const RecordPair r = atRadius(v, cell);
    return r.lower + (r.upper - r.lower) * cell.axialShare;
}

double axialSlope(const std::vector<float>& v, const FieldCell& cell) {
    const RecordPair r = atRadius(v, cell);
    return (r.upper - r.lower) / cell.lengthMm;
}

double radialSlope(const std::vector<float>& v, const FieldCell& cell) {
    const std::size_t i00 = cell.lowerInner;
    const std::size_t i10 = i00 + kFieldRadii;
    const double inner = v[i00 + 1] - static_cast<double>(v[i00]);
    const double outer = v[i10 + 1] - static_cast<double>(v[i10]);
    return (inner + (outer - inner) * cell.axialShare) / kFieldRadiusStepMm;
}

void sampleCell(const JetField& field, const FieldCell& cell, GasPoint& point) {
    point.temperature = bilinear(field.temperature, cell);
    point.axialVelocity = bilinear(field.axialVelocity, cell);
    point.radialVelocity = bilinear(field.radialVelocity, cell);
}

void cellSlopes(const JetField& field, const FieldCell& cell, GasSlopes& out) {
    out.temperatureAxial = axialSlope(field.temperature, cell);
    out.temperatureRadial = radialSlope(field.temperature, cell);
    out.velocityAxial = axialSlope(field.axialVelocity, cell);
    out.velocityRadial = radialSlope(field.axialVelocity, cell);
}

}  // namespace

bool JetField::sample(double axialMm, double radiusMm, GasPoint& point) const {
    FieldCell cell;
    if (!fieldCell(*this, axialMm, radiusMm, cell)) return false;
    sampleCell(*this, cell, point);
    return true;
}

bool JetField::sampleWithSlopes(double axialMm, double radiusMm, GasPoint& point, GasSlopes& out) const {
    FieldCell cell;
    if (!fieldCell(*this, axialMm, radiusMm, cell)) return false;
    sampleCell(*this, cell, point);
    cellSlopes(*this, cell, out);
    return true;
}

GasProperties JetField::properties(double t) const {
    const TransportValues v = transportPropertiesAt(gasTable, static_cast<float>(t));
    return {v.density, v.heatCapacity, v.viscosity, v.thermalConductivity};
}

// Piecewise-linear conductivity integrates exactly to a quadratic per row.
double JetField::conductionPotentialAt(double t) const {
    if (t < kLowestTableTemperature) t = kLowestTableTemperature;
    if (t > kHighestTableTemperature) t = kHighestTableTemperature;
    const int j = tableRow(t);
    const double x = t - gasTable[1][j];
    const double k0 = gasTable[kConductivityBlock][j];
    const double k1 = gasTable[kConductivityBlock][j + 1];
    return conductionPotential[j] + k0 * x + 0.5 * (k1 - k0) / rowStep(j) * x * x;
}

double JetField::conductionPotential12(double t1, double t2) const {
    return conductionPotentialAt(t2) - conductionPotentialAt(t1);
}

void prepareGasTable(JetField& field) {
    field.conductionPotential.assign(kTableRows + 1, 0.0);
    for (int j = 1; j < kTableRows; ++j) {
        const double k0 = field.gasTable[kConductivityBlock][j];
        const double k1 = field.gasTable[kConductivityBlock][j + 1];
        field.conductionPotential[j + 1] = field.conductionPotential[j] + 0.5 * (k0 + k1) * rowStep(j);
    }
}

FieldStatus readFieldFile(const std::string& path, JetField& field) {
    std::vector<FieldRecord> records;
    std::string fault;
    if (!readFieldRecords(displayPath(path), records, fault)) return {false, fault};
    if (records.size() < 2)
        return {false, "The jet field file " + displayPath(path) +
                           " holds only the nozzle exit: there is no jet to fly through."};
    JetField read = field;
    read.temperature.clear();
    read.axialVelocity.clear();
    read.radialVelocity.clear();
    for (const FieldRecord& r : records) {
        read.temperature.insert(read.temperature.end(), r.temperature.begin(), r.temperature.end());
        read.axialVelocity.insert(read.axialVelocity.end(), r.axialVelocity.begin(), r.axialVelocity.end());
        read.radialVelocity.insert(read.radialVelocity.end(), r.radialVelocity.begin(), r.radialVelocity.end());
    }
    read.recordCount = static_cast<int>(records.size());
    field = std::move(read);
    return {};
}

FieldStatus readJetField(const WorkDirLock& lock, JetField& field) {
    const ResultSet set = readResultSet(lock.directory());
    if (!set.ok) return {false, set.message};
    const std::string& workDir = set.directory;
    const std::string name = gasFileName(set.variant.gasCode);
    const std::string gasPath = locateDataFile(workDir, name);
    if (gasPath.empty())
        return {false, "The gas property file " + name + " for gas code " + std::to_string(set.variant.gasCode) +
                           " is neither in " + workDir + " nor in the data folder."};
    const auto state = std::make_unique<SolverState>();
    const ReadStatus status = readGasFile(gasPath, *state);
    if (!status.ok) return {false, status.message};

    JetField read;
    read.gasCode = set.variant.gasCode;
    read.lengthUnit = set.units.length;
    read.variantName = set.variantName;
    read.parameters = set.variant;
    read.runUnits = set.units;
    read.stampChecksum = resultStampChecksum(workDir);
    read.gasTable = state->propertyTable;
    prepareGasTable(read);
    const FieldStatus fieldStatus = readFieldFile(workDir + "/" + kFieldFile, read);
    if (!fieldStatus.ok) return fieldStatus;
    field = std::move(read);
    return {};
}

FieldStatus readJetField(const std::string& workDir, JetField& field) {
    const WorkDirLock lock(workDir, LockMode::Shared);
    // A folder that allows no lock file (read-only) has no run writing in it.
    if (lock.status() == WorkDirLock::Status::Busy || lock.status() == WorkDirLock::Status::NoDirectory)
        return {false, lock.message(), lock.status() == WorkDirLock::Status::Busy};
    return readJetField(lock, field);
}

} // namespace torvex::particles
