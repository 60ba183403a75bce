// Export of one calculated variant for other tools: the axial and radial
// profiles and the isotherm table as CSV files with units in their headers,
// and the jet field of ftu.res as a VTK XML rectilinear grid that ParaView
// and VTK's own readers open.
#pragma once

#include "solver/result_files.h"  // FieldRecord, readFieldRecords: the one reader of ftu.res

#include <string>
#include <vector>

namespace torvex {

// The files export writes into the variant's directory.
constexpr const char* kAxialProfileFile = "axial-profile.csv";
constexpr const char* kRadialProfilesFile = "radial-profiles.csv";
constexpr const char* kIsothermTableFile = "isotherms.csv";
constexpr const char* kJetFieldFile = "jet-field.vtr";

// The CSV texts of the three profile files, from the result files in dir
// ("" for the working directory is not allowed: pass "."). False with a
// message naming the result file when it is missing or holds no record.
bool axialProfileCsv(const std::string& dir, std::string& text, std::string& error);
// The five cross-sections (lengthUnit 2 puts them at 0, 0.2, 1, 2, 4 in).
bool radialProfilesCsv(const std::string& dir, int lengthUnit, std::string& text, std::string& error);
// The isotherm levels are those of ilt.res in the temperature unit; a level
// not reached at a distance has an empty cell.
bool isothermTableCsv(const std::string& dir, int temperatureUnit, std::string& text, std::string& error);

// The VTK XML text of the field: r (mm) along x, distance past the nozzle
// exit (mm) along y, with temperature, both velocities and the velocity
// vector (radial, axial, 0) at the points.
std::string jetFieldVtk(const std::vector<FieldRecord>& records);

// Writes the four files into dir from its result set, read under a shared
// lock and checked as one finished set (solver/result_set.h), in the units
// the set was calculated in. False with a message when the set is not whole
// or a file cannot be written (files written before the fault stay); *busy
// tells a run that holds the directory.
bool exportVariant(const std::string& dir, std::vector<std::string>& written, std::string& error,
                   bool* busy = nullptr);

}  // namespace torvex
