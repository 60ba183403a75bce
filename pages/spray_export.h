// The spray pages as image files: the page inputs of the variant in a folder
// and the four pages written as PNG images there, with the window's painters.
#pragma once

#include <string>

#include "pages/spray_pages.h"

namespace torvex::kavel {

// The units shown (shownUnitCodes) and the default options; no jet (the
// variant's lines come with it, showJet), no outcome.
SprayPageInputs variantPageInputs(const std::string& dir);

// Writes kavel-all.png, kavel-trajectories.png, kavel-flight.png,
// kavel-substrate.png and kavel-sensor.png into dir (each whole or not at all); `written` lists
// them. On failure `error` names the file and the fault.
bool writeSprayPageImages(const std::string& dir, const SprayPageInputs& in, std::string& written,
                          std::string& error);

}  // namespace torvex::kavel
