#include "study/variant_export.h"

#include "solver/file_access.h"

#include <charconv>

#include "solver/files.h"
#include "solver/isotherms.h"
#include "solver/output_schedule.h"
#include "solver/result_files.h"
#include "solver/result_set.h"
#include "study/text_files.h"

namespace torvex {

namespace {

constexpr double kFieldRadiusStepMm = 0.25;
constexpr std::size_t kMaxRecords = 4000;

std::string fixed(double value, int decimals) {
    char text[64];
    const auto r = std::to_chars(text, text + sizeof text, value, std::chars_format::fixed, decimals);
    return std::string(text, r.ptr);
}

// Shortest text that reads back as the same float.
std::string shortest(float value) {
    char text[64];
    const auto r = std::to_chars(text, text + sizeof text, value);
    return std::string(text, r.ptr);
}

std::string dataArray(const std::string& name, const std::vector<float>& values, int components = 1) {
    std::string text = "        <DataArray type=\"Float32\" Name=\"" + name + "\" NumberOfComponents=\"" +
                       std::to_string(components) + "\" format=\"ascii\">\n";
    for (std::size_t k = 0; k < values.size(); ++k)
        text += (k % 12 == 0 ? "          " : " ") + shortest(values[k]) +
                (k % 12 == 11 || k + 1 == values.size() ? "\n" : "");
    return text + "        </DataArray>\n";
}

const char* temperatureWord(int code) { return code == 2 ? "F" : code == 3 ? "C" : "K"; }

// The five isotherm levels of ilt.res, in the temperature unit of un.dat.
std::vector<std::string> isothermLevelNames(int temperatureUnit) {
    std::vector<std::string> names;
    for (int k = 1; k <= 5; ++k)
        names.push_back(std::to_string(static_cast<int>(isothermLevel(k, temperatureUnit))) +
                        temperatureWord(temperatureUnit));
    return names;
}

}  // namespace

bool axialProfileCsv(const std::string& dir, std::string& text, std::string& error) {
    text = "distance [mm],T_axis [K],u_axis [m/s]\n";
    const auto records = readAxisRecords(dir + "/" + kAxisFile, kMaxRecords);
    if (records.empty()) {
        error =
            "The axial result file " + displayPath(dir + "/" + kAxisFile) + " is missing or holds no record.";
        return false;
    }
    for (const AxisRecord& r : records)
        text += fixed(r.distanceMm, 1) + "," + fixed(r.temperatureKiloKelvin * 1000.0, 0) + "," +
                fixed(r.velocity, 2) + "\n";
    return true;
}

bool radialProfilesCsv(const std::string& dir, int lengthUnit, std::string& text, std::string& error) {
    // The cross-sections in mm: 0, 5, 20, 50 and 100 mm, or 0, 0.2, 1, 2 and 4 in.
    const double metric[kRadialPlanes] = {0, 5, 20, 50, 100};
    const double inch[kRadialPlanes] = {0, 5.08, 25.4, 50.8, 101.6};
    text = "distance [mm],radius [mm],T [K],u [m/s]\n";
    for (int plane = 0; plane < kRadialPlanes; ++plane) {
        const std::string path = dir + "/" + radialFileNames()[static_cast<std::size_t>(plane)];
        const auto records = readRadialRecords(path, kMaxRecords);
        if (records.empty()) {
            error = "The radial result file " + displayPath(path) + " is missing or holds no record.";
            return false;
        }
        const std::string z = fixed(lengthUnit == 2 ? inch[plane] : metric[plane], 2);
        for (const RadialRecord& r : records)
            text += z + "," + fixed(r.radiusMm, 1) + "," + fixed(r.temperatureKiloKelvin * 1000.0, 0) + "," +
                    fixed(r.velocity, 2) + "\n";
    }
    return true;
}

bool isothermTableCsv(const std::string& dir, int temperatureUnit, std::string& text, std::string& error) {
    text = "distance [mm]";
    for (const std::string& level : isothermLevelNames(temperatureUnit)) text += ",r_" + level + " [mm]";
    text += "\n";
    const auto records = readIsothermRecords(dir + "/" + kIsothermFile, kMaxRecords);
    if (records.empty()) {
        error = "The isotherm result file " + displayPath(dir + "/" + kIsothermFile) +
                " is missing or holds no record.";
        return false;
    }
    for (const IsothermRecord& r : records) {
        text += fixed(r.distanceMm, 1);
        // ilt.res writes 0 where the level is not reached at that distance;
        // the table leaves the cell empty so no tool reads a radius of 0 mm.
        for (double radius : r.radiusMm) text += "," + (radius > 0 ? fixed(radius, 3) : std::string());
        text += "\n";
    }
    return true;
}

std::string jetFieldVtk(const std::vector<FieldRecord>& records) {
    const std::vector<double> distances = fieldRecordDistancesMm();
    const std::size_t rows = std::min(records.size(), distances.size());
    std::vector<float> r, z, zero{0.0f}, temperature, axial, radial, velocity;
    for (int k = 0; k < kFieldValues; ++k) r.push_back(static_cast<float>(k * kFieldRadiusStepMm));
    for (std::size_t j = 0; j < rows; ++j) {
        z.push_back(static_cast<float>(distances[j]));
        const FieldRecord& rec = records[j];
        for (int k = 0; k < kFieldValues; ++k) {
            temperature.push_back(rec.temperature[static_cast<std::size_t>(k)]);
            axial.push_back(rec.axialVelocity[static_cast<std::size_t>(k)]);
            radial.push_back(rec.radialVelocity[static_cast<std::size_t>(k)]);
            velocity.insert(velocity.end(), {rec.radialVelocity[static_cast<std::size_t>(k)],
                                             rec.axialVelocity[static_cast<std::size_t>(k)], 0.0f});
        }
    }
    const std::string extent =
        "0 " + std::to_string(kFieldValues - 1) + " 0 " + std::to_string(rows - 1) + " 0 0";
    std::string text =
        "<?xml version=\"1.0\"?>\n"
        "<!-- Plasma jet field: x = radius (mm), y = distance past the nozzle exit (mm);"
        " temperature in K, velocities in m/s. -->\n"
        "<VTKFile type=\"RectilinearGrid\" version=\"0.1\" byte_order=\"LittleEndian\">\n"
        "  <RectilinearGrid WholeExtent=\"" +
        extent +
        "\">\n"
        "    <Piece Extent=\"" +
        extent +
        "\">\n"
        "      <PointData Scalars=\"temperature\" Vectors=\"velocity\">\n";
    text += dataArray("temperature", temperature);
    text += dataArray("axial_velocity", axial);
    text += dataArray("radial_velocity", radial);
    text += dataArray("velocity", velocity, 3);
    text += "      </PointData>\n      <Coordinates>\n";
    text += dataArray("radius", r);
    text += dataArray("distance", z);
    text += dataArray("z", zero);
    text += "      </Coordinates>\n    </Piece>\n  </RectilinearGrid>\n</VTKFile>\n";
    return text;
}

bool exportVariant(const std::string& directory, std::vector<std::string>& written, std::string& error,
                   bool* busy) {
    const WorkDirLock lock(directory, LockMode::Shared);
    if (lock.status() == WorkDirLock::Status::Busy || lock.status() == WorkDirLock::Status::NoDirectory) {
        if (busy) *busy = lock.status() == WorkDirLock::Status::Busy;
        error = lock.message();
        return false;
    }
    const ResultSet set = readResultSet(lock.directory());
    if (!set.ok) {
        error = set.message;
        return false;
    }
    const std::string& dir = set.directory;
    const UnitCodes& units = set.units;  // those of the run, not of un.dat now
    std::string text;
    if (!axialProfileCsv(dir, text, error) ||
        !writeFileAtomically(dir + "/" + kAxialProfileFile, text, error))
        return false;
    written.push_back(kAxialProfileFile);
    if (!radialProfilesCsv(dir, units.length, text, error) ||
        !writeFileAtomically(dir + "/" + kRadialProfilesFile, text, error))
        return false;
    written.push_back(kRadialProfilesFile);
    if (!isothermTableCsv(dir, units.temperature, text, error) ||
        !writeFileAtomically(dir + "/" + kIsothermTableFile, text, error))
        return false;
    written.push_back(kIsothermTableFile);
    std::vector<FieldRecord> records;
    if (!readFieldRecords(dir + "/" + kFieldFile, records, error)) return false;
    if (!writeFileAtomically(dir + "/" + kJetFieldFile, jetFieldVtk(records), error)) return false;
    written.push_back(kJetFieldFile);
    return true;
}

}  // namespace torvex
