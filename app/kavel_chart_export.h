// Export of the spray chart pages as PNG images after a headless spray run.
// Only a build with the user interface can draw them; the others link a
// version that says so.
#pragma once

#include "particles/injector_tuning.h"
#include "particles/particle_model.h"
#include "particles/spray_in_folder.h"

#include <string>

namespace torvex {

// True when this build can draw the spray chart pages.
bool sprayChartExportAvailable();

// Draws the spray chart pages of a spray (over the jet its report says the
// particles flew through) and writes them into dir as PNG images; `written`
// lists their names. On failure `error` names the file or the fault.
bool exportSprayChartPages(const std::string& dir, const particles::SprayReport& report, std::string& written,
                           std::string& error);

// Draws the tuning scan (deviation, mass shares, velocity and temperature
// against the setting) into dir/tune.png; on failure `error` says why.
bool exportTuneChart(const std::string& dir, const particles::TuneOptions& tune, const particles::TuneOutcome& outcome,
                     std::string& error);

}  // namespace torvex
