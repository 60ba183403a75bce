// The injector tuning scan as a page of four charts against the setting
// (carrier-gas flow or injection speed): the particle jet's deviation with
// the target, the molten and arriving mass shares, the mean velocity and the
// mean surface temperature at the standoff; the chosen setting is marked.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "pages/spray_chart.h"
#include "pages/text_blocks.h"
#include "particles/injector_tuning.h"

namespace torvex::kavel {

std::array<SprayChart, 4> tuneCharts(const particles::TuneOptions& tune, const particles::TuneOutcome& outcome);

// `font` is the text height of the charts (0: each from its own area, as in
// kavel-run's image).
void drawTunePage(DrawingContext& dc, const Rect& page, const particles::TuneOptions& tune,
                  const particles::TuneOutcome& outcome, int font = 0);

// The scan's goal and its steps as a table, the chosen step marked.
std::vector<TextBlock> tuneBlocks(const particles::TuneOptions& tune, const particles::TuneOutcome& outcome);

// The chosen setting with its unit ("3.00 SLPM"), "" when no step was chosen.
std::string chosenSettingText(const particles::TuneOptions& tune, const particles::TuneOutcome& outcome);

// The spray options with the injector set as at the chosen step (carrier-gas
// flow or fixed speed); unchanged when no step was chosen.
particles::SprayOptions withChosenSetting(particles::SprayOptions options, const particles::TuneOptions& tune,
                                          const particles::TuneOutcome& outcome);

// The page as a PNG image at path (written whole or not at all).
bool writeTuneChartImage(const std::string& path, const particles::TuneOptions& tune,
                         const particles::TuneOutcome& outcome, std::string& error);

}  // namespace torvex::kavel
