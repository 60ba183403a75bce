// Powder materials: the packaged table (data/materials.csv) and the rows a
// materials.csv in the working directory adds or overrides.
#pragma once

#include <string>
#include <vector>

namespace torvex::particles {

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
    double latentHeatVaporisation = 0;  // J/kg
    double emissivity = 0;           // total hemispherical
    double molarMass = 0;            // kg/mol
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

// The packaged table (the installed data folder, else the source tree's) and
// then workDir/materials.csv when there is one.
MaterialStatus loadMaterials(const std::string& workDir, MaterialTable& table);

} // namespace torvex::particles
