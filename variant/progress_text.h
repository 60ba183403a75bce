// The texts of the progress window. The solver reports -1 when a run starts,
// -3 when the flow inside the plasmatron is done, and the percentage of the
// current phase (in steps of 5) in between.
#pragma once

#include <string>

namespace torvex {

enum class RunPhase { Inside, Outside };

constexpr int kProgressRunStarts = -1;
constexpr int kProgressInsideDone = -3;

const char* progressWaitText();                   // "Please wait…"
const char* progressPhaseText(RunPhase phase);    // the line naming the phase
const char* progressCalculatedText();             // "plasmatron are being calculated."

// The percentage with its leading and trailing blanks; the blanks are drawn
// opaque and so wipe out what a longer earlier text left behind.
std::string progressPercentText(int value);

// Whether a report advances the bar by one step.
inline bool progressAdvancesBar(int value) { return value > 0; }

} // namespace torvex
