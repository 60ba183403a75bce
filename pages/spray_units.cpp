#include "pages/spray_units.h"

#include "solver/result_set.h"

namespace torvex::kavel {

namespace {
constexpr double kMillimetresPerInch = 25.4;
constexpr double kMetresPerFoot = 0.3048;
// The program's kelvin offset (not 273.15), as on every TORVEX chart.
constexpr double kKelvinOffset = 273;
}  // namespace

double SprayUnits::distance(double millimetres) const {
    return metric() ? millimetres : millimetres / kMillimetresPerInch;
}

double SprayUnits::millimetres(double shown) const { return metric() ? shown : shown * kMillimetresPerInch; }

std::string SprayUnits::distanceUnit() const { return metric() ? "mm" : "in"; }

double SprayUnits::velocity(double metresPerSecond) const {
    return metric() ? metresPerSecond : metresPerSecond / kMetresPerFoot;
}

std::string SprayUnits::velocityUnit() const { return metric() ? "m/s" : "ft/s"; }

double SprayUnits::temperatureOf(double kelvin) const {
    if (temperature == 2) return (kelvin - kKelvinOffset) * 1.8 + 32;
    if (temperature == 3) return kelvin - kKelvinOffset;
    return kelvin;
}

std::string SprayUnits::temperatureUnit() const {
    if (temperature == 2) return "\u00b0F";
    if (temperature == 3) return "\u00b0C";
    return "K";
}

SprayUnits sprayUnitsOf(const UnitCodes& codes) {
    SprayUnits units;
    units.length = codes.length == 2 ? 2 : 1;
    units.temperature = codes.temperature == 2 || codes.temperature == 3 ? codes.temperature : 1;
    return units;
}

UnitCodes variantUnitCodes(const std::string& dir) {
    // A finished result set records the units it was calculated in.
    const ResultSet set = readResultSet(dir);
    if (set.ok) return set.units;
    UnitCodes codes;
    if (readUnitCodes(dir + "/unp.dat", codes)) return codes;
    UnitCodes current;
    if (readUnitCodes(dir + "/un.dat", current)) return current;
    return UnitCodes{};
}

UnitCodes shownUnitCodes(const std::string& dir) {
    UnitCodes current;
    if (readUnitCodes(dir + "/un.dat", current)) return current;
    return variantUnitCodes(dir);
}

}  // namespace torvex::kavel
