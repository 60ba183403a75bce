#include "particles/materials.h"

#include "particles/text_file.h"
#include "solver/solver.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <filesystem>
#include <system_error>

namespace torvex::particles {

namespace {

constexpr std::size_t kMaxMaterialFileBytes = 1 << 20;
constexpr const char* kMaterialFile = "materials.csv";

// The columns of a materials file, in the packaged order; a file may order
// them differently, its header says how. The last may be left out (tables of
// earlier versions): the latent heat of vaporisation then stands in for it.
constexpr std::array<const char*, 15> kColumns = {
    "key",          "name",          "density_solid",      "density_liquid",         "cp_solid",
    "cp_liquid",    "conductivity_solid", "conductivity_liquid", "melting_point", "latent_heat_fusion",
    "boiling_point", "latent_heat_vaporisation", "emissivity", "molar_mass", "vapour_pressure_enthalpy"};
constexpr std::size_t kOptionalColumn = 14;

std::string trimmed(const std::string& text) {
    const std::size_t first = text.find_first_not_of(" \t");
    if (first == std::string::npos) return {};
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

// Comma-separated fields; a field in double quotes may hold commas ("" is a quote).
std::vector<std::string> splitFields(const std::string& line) {
    std::vector<std::string> fields;
    std::string field;
    bool quoted = false;
    for (std::size_t i = 0; i < line.size(); ++i) {
        const char c = line[i];
        if (quoted) {
            if (c == '"' && i + 1 < line.size() && line[i + 1] == '"') field += '"', ++i;
            else if (c == '"') quoted = false;
            else field += c;
        } else if (c == '"') {
            quoted = true;
        } else if (c == ',') {
            fields.push_back(trimmed(field));
            field.clear();
        } else {
            field += c;
        }
    }
    fields.push_back(trimmed(field));
    return fields;
}

bool isKey(const std::string& key) {
    if (key.empty() || key.size() > 32) return false;
    for (char c : key)
        if (!((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' || c == '-'))
            return false;
    return true;
}

double* numberSlot(Material& m, int column) {
    double* slots[] = {&m.densitySolid,      &m.densityLiquid,      &m.heatCapacitySolid, &m.heatCapacityLiquid,
                       &m.conductivitySolid, &m.conductivityLiquid, &m.meltingPoint,      &m.latentHeatFusion,
                       &m.boilingPoint,      &m.latentHeatVaporisation, &m.emissivity,    &m.molarMass,
                       &m.vapourPressureEnthalpy};
    return slots[column - 2];
}

// The range a property of a spray powder can take, with a wide margin around
// the elements and ceramics (densest: osmium 22 600 kg/m3; highest melting:
// tantalum hafnium carbide near 4 200 K; highest boiling: tungsten near
// 5 900 K; CRC Handbook of Chemistry and Physics, Haynes 2016). A value
// outside it is a wrong unit or a slip, and would make every particle time
// out or explode rather than fly.
struct PropertyRange {
    int column;  // in kColumns
    const char* quantity;
    const char* unit;
    double lowest, highest;
    bool lowestIncluded;
};

constexpr PropertyRange kPropertyRanges[] = {
    {2, "solid density", "kg/m3", 100, 30000, true},
    {3, "liquid density", "kg/m3", 100, 30000, true},
    {4, "solid specific heat", "J/(kg K)", 50, 20000, true},
    {5, "liquid specific heat", "J/(kg K)", 50, 20000, true},
    {6, "solid conductivity", "W/(m K)", 0.01, 3000, true},
    {7, "liquid conductivity", "W/(m K)", 0.01, 3000, true},
    {8, "melting point", "K", 300, 5000, false},
    {9, "latent heat of fusion", "J/kg", 0, 1e7, true},
    {10, "boiling point", "K", 300, 8000, false},
    {11, "latent heat of vaporisation", "J/kg", 0, 1e8, false},
    {12, "emissivity", "", 0, 1, true},
    {13, "molar mass", "kg/mol", 0.001, 1, true},
    {14, "vapour-pressure enthalpy", "J/kg", 0, 1e8, false},
};

std::string shortNumber(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%g", value);
    return text;
}

// Empty when the row can stand for a real material, else what is wrong.
std::string physicalFault(Material& m) {
    for (const PropertyRange& r : kPropertyRanges) {
        const double value = *numberSlot(m, r.column);
        const bool aboveLowest = r.lowestIncluded ? value >= r.lowest : value > r.lowest;
        if (aboveLowest && value <= r.highest) continue;
        const std::string unit = *r.unit ? std::string(" ") + r.unit : std::string();
        return std::string("the ") + r.quantity + " " + shortNumber(value) + unit + " is not between " +
               shortNumber(r.lowest) + " and " + shortNumber(r.highest) + unit;
    }
    if (!(m.meltingPoint < m.boilingPoint)) return "the melting point is not below the boiling point";
    return {};
}

} // namespace

const Material* MaterialTable::find(const std::string& key) const {
    for (const Material& m : rows)
        if (m.key == key) return &m;
    return nullptr;
}

namespace {

// The rows of a materials file's lines (`what` names it in messages, `source`
// is the file the rows came from).
MaterialStatus readMaterialLines(const std::vector<std::string>& lines, const std::string& what,
                                 const std::string& source, std::vector<Material>& rows) {
    std::array<int, kColumns.size()> position{};  // field index of each column, -1 for one left out
    std::size_t fieldsNeeded = 0;                   // every column of the header, each once
    bool headerSeen = false;
    for (std::size_t n = 0; n < lines.size(); ++n) {
        const std::string line = trimmed(lines[n]);
        if (line.empty() || line[0] == '#') continue;
        const std::vector<std::string> fields = splitFields(line);
        const std::string where = what + ", line " + std::to_string(n + 1) + ": ";
        if (!headerSeen) {
            // A column the model does not know would be read by no one: a
            // misspelt property must not leave the packaged value in force.
            for (const std::string& field : fields)
                if (std::find_if(kColumns.begin(), kColumns.end(), [&](const char* c) { return field == c; }) ==
                    kColumns.end())
                    return {false, where + "the header has the unknown column \"" + field +
                                       "\" (the columns are key, name, density_solid, density_liquid, cp_solid, "
                                       "cp_liquid, conductivity_solid, conductivity_liquid, melting_point, "
                                       "latent_heat_fusion, boiling_point, latent_heat_vaporisation, emissivity, "
                                       "molar_mass, and optionally vapour_pressure_enthalpy)."};
            for (std::size_t c = 0; c < kColumns.size(); ++c) {
                int found = -1, times = 0;
                for (std::size_t f = 0; f < fields.size(); ++f)
                    if (fields[f] == kColumns[c]) found = static_cast<int>(f), ++times;
                if (times > 1) return {false, where + "the header names the column " + kColumns[c] + " twice."};
                if (found < 0 && c != kOptionalColumn)
                    return {false, where + "the header has no column " + kColumns[c] + "."};
                position[c] = found;
            }
            fieldsNeeded = fields.size();
            headerSeen = true;
            continue;
        }
        if (fields.size() != fieldsNeeded)
            return {false, where + "the row has " + std::to_string(fields.size()) + " fields, " +
                               std::to_string(fieldsNeeded) + " expected."};
        Material m;
        m.key = fields[position[0]];
        m.name = fields[position[1]];
        if (!isKey(m.key)) return {false, where + "the key \"" + m.key + "\" is not a short word of letters, digits, - or _."};
        if (m.name.empty()) m.name = m.key;
        for (std::size_t c = 2; c < kColumns.size(); ++c) {
            if (position[c] < 0) continue;
            const std::string& text = fields[position[c]];
            if (!parseNumber(text, *numberSlot(m, static_cast<int>(c))))
                return {false, where + kColumns[c] + " \"" + text + "\" is not a number."};
        }
        m.vapourPressureEnthalpyGiven = position[kOptionalColumn] >= 0;
        if (!m.vapourPressureEnthalpyGiven) m.vapourPressureEnthalpy = m.latentHeatVaporisation;
        m.source = source;
        const std::string fault = physicalFault(m);
        if (!fault.empty()) return {false, where + "material " + m.key + " is impossible: " + fault + "."};
        rows.push_back(m);
    }
    if (!headerSeen) return {false, what + " holds no header line (key,name,density_solid,...)."};
    return {};
}

}  // namespace

MaterialStatus readMaterialFile(const std::string& path, MaterialTable& table) {
    const std::string what = "The materials file " + displayPath(path);
    std::vector<std::string> lines;
    std::string error;
    if (!readTextLines(path, kMaxMaterialFileBytes, "The materials file", lines, error)) return {false, error};
    std::vector<Material> rows;
    const MaterialStatus status = readMaterialLines(lines, what, displayPath(path), rows);
    if (!status.ok) return status;

    MaterialTable merged = table;
    for (const Material& m : rows) {
        bool replaced = false;
        for (Material& old : merged.rows)
            if (old.key == m.key) old = m, replaced = true;
        if (!replaced) merged.rows.push_back(m);
    }
    merged.sources.push_back(displayPath(path));
    table = std::move(merged);
    return {};
}

std::vector<std::string> materialRowLines(const Material& m) {
    const std::size_t columns = m.vapourPressureEnthalpyGiven ? kColumns.size() : kOptionalColumn;
    std::string header, row = m.key + "," + csvField(m.name);
    for (std::size_t c = 0; c < columns; ++c) header += (c ? "," : "") + std::string(kColumns[c]);
    Material values = m;  // numberSlot reaches into a row it may change
    for (std::size_t c = 2; c < columns; ++c) row += "," + exactNumber(*numberSlot(values, static_cast<int>(c)));
    return {header, row};
}

MaterialStatus readMaterialRow(const std::vector<std::string>& lines, const std::string& what, Material& material) {
    std::vector<Material> rows;
    const MaterialStatus status = readMaterialLines(lines, what, "", rows);
    if (!status.ok) return status;
    if (rows.size() != 1) return {false, what + " holds " + std::to_string(rows.size()) + " material rows, not one."};
    material = rows.front();
    return {};
}

MaterialStatus loadMaterials(const std::string& workDir, MaterialTable& table) {
    MaterialTable loaded;
    const std::string packaged = locatePackagedFile(kMaterialFile);
    if (packaged.empty()) return {false, "The packaged materials file materials.csv is not in the data folder."};
    MaterialStatus status = readMaterialFile(packaged, loaded);
    if (!status.ok) return status;
    for (Material& m : loaded.rows) m.origin = MaterialOrigin::Packaged;
    const std::filesystem::path local = std::filesystem::path(workDir) / kMaterialFile;
    std::error_code error;
    if (std::filesystem::exists(local, error)) {
        status = readMaterialFile(local.string(), loaded);
        if (!status.ok) return status;
        const std::string source = displayPath(local.string());
        for (Material& m : loaded.rows)
            if (m.source == source) m.origin = MaterialOrigin::WorkingFolder;
    }
    table = std::move(loaded);
    return {};
}

} // namespace torvex::particles
