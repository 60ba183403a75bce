#include "particles/jet_field.h"

#include "particles/text_file.h"
#include "solver/files.h"
#include "solver/properties.h"
#include "solver/solver.h"

#include <cmath>
#include <memory>

namespace torvex::particles {

namespace {

constexpr int kValuesPerLine = 10;
constexpr int kFieldWidth = 8;
constexpr int kLinesPerBlock = 11;  // ten lines of ten values, one of one
constexpr int kLinesPerRecord = 3 * kLinesPerBlock;
constexpr std::size_t kMaxFieldFileBytes = 1 << 20;  // a complete file is about 370 KB

constexpr int kConductivityBlock = 7;  // thermal conductivity in the gas table
constexpr double kLowestTableTemperature = 300;
constexpr double kHighestTableTemperature = 23000;
// Plausibility limits of a field value: a plasma jet is below 10^5 K and
// slower than 10^5 m/s; anything else is a damaged file.
constexpr double kMaxFieldTemperature = 1e5;
constexpr double kMaxFieldVelocity = 1e5;

// Table row j with T_j <= t < T_j+1 on the grid 300, 500, 1000, ... K.
int tableRow(double t) { return t < 500 ? 1 : static_cast<int>(t / 500) + 1; }
double rowStep(int j) { return j == 1 ? 200.0 : 500.0; }

// Record index k with distance(k) <= z < distance(k+1), from the schedule.
int recordBelow(double z) {
    if (z < 10) return static_cast<int>(z / 0.5);
    if (z < 50) return 20 + static_cast<int>(z - 10);
    return 60 + static_cast<int>((z - 50) / 2);
}

std::string recordPlace(int line) {
    const int record = line / kLinesPerRecord;
    static const char* const blocks[] = {"temperature", "axial velocity", "radial velocity"};
    return "line " + std::to_string(line + 1) + " (cross-section " + std::to_string(record + 1) + " at " +
           formatFixed(fieldRecordDistanceMm(record), 1) + " mm, " + blocks[(line % kLinesPerRecord) / kLinesPerBlock] +
           ")";
}

// Parses one line of a block into values[0..count).
bool parseBlockLine(const std::string& line, int count, float* values) {
    for (int k = 0; k < count; ++k) {
        const std::size_t start = static_cast<std::size_t>(k * kFieldWidth);
        if (start >= line.size()) return false;
        double value = 0;
        if (!parseNumber(line.substr(start, kFieldWidth), value)) return false;
        values[k] = static_cast<float>(value);
    }
    // Only blanks may follow the fields.
    return line.find_first_not_of(' ', static_cast<std::size_t>(count * kFieldWidth)) == std::string::npos;
}

} // namespace

double fieldRecordDistanceMm(int record) {
    if (record <= 20) return 0.5 * record;
    if (record <= 60) return 10.0 + (record - 20);
    return 50.0 + 2.0 * (record - 60);
}

double JetField::endMm() const { return recordCount > 0 ? fieldRecordDistanceMm(recordCount - 1) : 0; }

bool JetField::sample(double axialMm, double radiusMm, GasPoint& point) const {
    if (recordCount < 2 || !(axialMm >= 0) || !(axialMm <= endMm()) || !(radiusMm >= 0) ||
        !(radiusMm <= kFieldOuterRadiusMm))
        return false;
    int k = recordBelow(axialMm);
    if (k > recordCount - 2) k = recordCount - 2;
    const double z0 = fieldRecordDistanceMm(k);
    const double z1 = fieldRecordDistanceMm(k + 1);
    const double a = (axialMm - z0) / (z1 - z0);
    int j = static_cast<int>(radiusMm / kFieldRadiusStepMm);
    if (j > kFieldRadii - 2) j = kFieldRadii - 2;
    const double b = (radiusMm - j * kFieldRadiusStepMm) / kFieldRadiusStepMm;
    const std::size_t i00 = static_cast<std::size_t>(k * kFieldRadii + j);
    const std::size_t i10 = i00 + kFieldRadii;
    auto bilinear = [&](const std::vector<float>& v) {
        const double lower = v[i00] + (v[i00 + 1] - static_cast<double>(v[i00])) * b;
        const double upper = v[i10] + (v[i10 + 1] - static_cast<double>(v[i10])) * b;
        return lower + (upper - lower) * a;
    };
    point.temperature = bilinear(temperature);
    point.axialVelocity = bilinear(axialVelocity);
    point.radialVelocity = bilinear(radialVelocity);
    return true;
}

GasProperties JetField::properties(double t) const {
    const PropertyValues v = propertiesAt(gasTable, static_cast<float>(t));
    return {v.density, v.heatCapacity, v.viscosity, v.thermalConductivity};
}

// Piecewise-linear conductivity integrates exactly to a quadratic per row.
double JetField::conductionPotential12(double t1, double t2) const {
    auto potential = [this](double t) {
        if (t < kLowestTableTemperature) t = kLowestTableTemperature;
        if (t > kHighestTableTemperature) t = kHighestTableTemperature;
        const int j = tableRow(t);
        const double x = t - gasTable[1][j];
        const double k0 = gasTable[kConductivityBlock][j];
        const double k1 = gasTable[kConductivityBlock][j + 1];
        return conductionPotential[j] + k0 * x + 0.5 * (k1 - k0) / rowStep(j) * x * x;
    };
    return potential(t2) - potential(t1);
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
    const std::string what = "The jet field file " + displayPath(path);
    std::vector<std::string> lines;
    std::string error;
    if (!readTextLines(path, kMaxFieldFileBytes, "The jet field file", lines, error)) return {false, error};
    while (!lines.empty() && lines.back().find_first_not_of(' ') == std::string::npos) lines.pop_back();
    if (lines.empty()) return {false, what + " is empty: the jet has not been calculated."};
    if (lines.size() % kLinesPerRecord != 0)
        return {false, what + " ends inside a cross-section (" + std::to_string(lines.size()) +
                           " lines, a multiple of 33 expected): the file is damaged."};
    const int records = static_cast<int>(lines.size() / kLinesPerRecord);
    if (records > kFieldRecords)
        return {false, what + " holds " + std::to_string(records) + " cross-sections, more than the 136 of a jet."};
    if (records < 2) return {false, what + " holds only the nozzle exit: there is no jet to fly through."};

    JetField read = field;
    const std::size_t values = static_cast<std::size_t>(records) * kFieldRadii;
    read.temperature.assign(values, 0.0f);
    read.axialVelocity.assign(values, 0.0f);
    read.radialVelocity.assign(values, 0.0f);
    for (int line = 0; line < static_cast<int>(lines.size()); ++line) {
        const int record = line / kLinesPerRecord;
        const int block = (line % kLinesPerRecord) / kLinesPerBlock;
        const int row = line % kLinesPerBlock;
        const int count = row == kLinesPerBlock - 1 ? 1 : kValuesPerLine;
        std::vector<float>& target = block == 0 ? read.temperature : block == 1 ? read.axialVelocity : read.radialVelocity;
        float* out = target.data() + static_cast<std::size_t>(record * kFieldRadii + row * kValuesPerLine);
        if (!parseBlockLine(lines[line], count, out))
            return {false, what + " holds a damaged number on " + recordPlace(line) + "."};
        for (int k = 0; k < count; ++k) {
            const double v = out[k];
            const bool sound = block == 0 ? (v > 0 && v < kMaxFieldTemperature) : std::fabs(v) < kMaxFieldVelocity;
            if (!sound) return {false, what + " holds an impossible value on " + recordPlace(line) + "."};
        }
    }
    read.recordCount = records;
    field = std::move(read);
    return {};
}

FieldStatus readJetField(const std::string& workDir, JetField& field) {
    const auto state = std::make_unique<SolverState>();
    ReadStatus status = readSolverUnits(workDir + "/un.dat", *state);
    if (!status.ok) return {false, status.message};
    float diameter = 0, length = 0;
    int current = 0, flow = 0;
    status = readSolverInputs(workDir + "/ip.dat", *state, diameter, length, current, flow);
    if (!status.ok) return {false, status.message};
    const std::string name = gasFileName(state->gasCode);
    const std::string gasPath = locateDataFile(workDir, name);
    if (gasPath.empty())
        return {false, "The gas property file " + name + " for gas code " + std::to_string(state->gasCode) +
                           " is neither in " + displayPath(workDir) + " nor in the data folder."};
    status = readGasFile(gasPath, *state);
    if (!status.ok) return {false, status.message};

    JetField read;
    read.gasCode = state->gasCode;
    read.lengthUnit = state->lengthUnit;
    read.gasTable = state->propertyTable;
    prepareGasTable(read);
    const FieldStatus fieldStatus = readFieldFile(workDir + "/ftu.res", read);
    if (!fieldStatus.ok) return fieldStatus;
    field = std::move(read);
    return {};
}

} // namespace torvex::particles
