// The units the spray charts and dialogs show: those the user chose last in
// TORVEX (the length and temperature codes of un.dat), else those of the
// variant the jet was computed with.
// The particle model works in millimetres, micrometres, m/s and kelvin; these
// functions turn its numbers into what the engineer reads.
#pragma once

#include <string>

#include "solver/files.h"

namespace torvex::kavel {

struct SprayUnits {
    int length = 1;       // 1 metric, 2 inches
    int temperature = 1;  // 1 K, 2 degF, 3 degC

    bool metric() const { return length != 2; }
    // Distances along and across the jet: mm, or inches.
    double distance(double millimetres) const;
    // A distance the user typed in the shown unit, in millimetres.
    double millimetres(double shown) const;
    std::string distanceUnit() const;
    // Speeds: m/s, or ft/s in inch mode.
    double velocity(double metresPerSecond) const;
    std::string velocityUnit() const;
    // Temperatures: K, degF or degC with the program's offset of 273.
    double temperatureOf(double kelvin) const;
    std::string temperatureUnit() const;
};

SprayUnits sprayUnitsOf(const UnitCodes& codes);

// The unit codes of the variant in the folder: those it was calculated with
// (unp.dat), else the user's current ones (un.dat), else metric and kelvin.
UnitCodes variantUnitCodes(const std::string& dir);

// The unit codes the pages show: the user's current ones (un.dat, which
// TORVEX writes when they change), else the variant's.
UnitCodes shownUnitCodes(const std::string& dir);

}  // namespace torvex::kavel
