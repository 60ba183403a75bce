// Powder materials: the packaged table (data/materials.csv) and the rows a
// materials.csv in the working directory adds or overrides.
#pragma once

#include <string>
#include <vector>

namespace torvex::particles {

// Where a material row was read: the packaged table, the working folder's
// materials.csv, or a file read on its own (readMaterialFile alone).
enum class MaterialOrigin { File, Packaged, WorkingFolder };

struct Material {
    std::string key;           // short identifier used on the command line
    std::string name;          // name shown to the user
    double densitySolid = 0;   // kg/m3
    double densityLiquid = 0;  // kg/m3
    double heatCapacitySolid = 0;    // J/(kg K), mean from 300 K to melting
    double heatCapacityLiquid = 0;   // J/(kg K)
    double conductivitySolid = 0;    // W/(m K)
    double conductivityLiquid = 0;   // W/(m K)
    double meltingPoint = 0;         // K
    double latentHeatFusion = 0;     // J/kg
    double boilingPoint = 0;         // K
    double latentHeatVaporisation = 0;  // J/kg, heat each evaporated kilogram takes
    double emissivity = 0;           // total hemispherical
    double molarMass = 0;            // kg/mol
    // J/kg: the slope of the vapour-pressure curve through the boiling point
    // (Clausius-Clapeyron). It differs from the latent heat where the solid
    // evaporates by decomposition (alumina); a file without the column gives
    // the latent heat here, as earlier versions took it.
    double vapourPressureEnthalpy = 0;
    bool vapourPressureEnthalpyGiven = false;  // the file had the column
    // Provenance: the file the row came from (absolute path) and which one.
    std::string source;
    MaterialOrigin origin = MaterialOrigin::File;
};

struct MaterialTable {
    std::vector<Material> rows;
    std::vector<std::string> sources;  // files read, in order
    const Material* find(const std::string& key) const;
};

struct MaterialStatus {
    bool ok = true;
    std::string message;
};

// Reads one materials file and adds its rows to the table (a row with a key
// already there replaces it). Refuses a malformed or physically impossible
// row, naming the file and the line; the table is then left as it was.
MaterialStatus readMaterialFile(const std::string& path, MaterialTable& table);

// A row as a materials file holds it: the header line of its columns (the
// packaged order, the vapour-pressure enthalpy only where the row's file had
// it) and the row with every value exact. The spray stamp keeps the row a
// spray used this way; readMaterialRow reads such lines back (`what` names
// where they are in its messages), checked as a file's rows are, without
// the provenance (source, origin), which the caller keeps.
std::vector<std::string> materialRowLines(const Material& material);
MaterialStatus readMaterialRow(const std::vector<std::string>& lines, const std::string& what, Material& material);

// The packaged table (the installed data folder, else the source tree's) and
// then workDir/materials.csv when there is one.
MaterialStatus loadMaterials(const std::string& workDir, MaterialTable& table);

} // namespace torvex::particles
