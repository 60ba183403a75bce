// The one progress bar of a study: variants done of all, the rate of this
// run and the time it still needs at that rate.
#pragma once

#include <string>

#include "study/study_runner.h"

namespace torvex {

// "[##########          ]  120/360 variants  8.3/s  0:29 left" in `width`
// bar characters. The rate counts only the variants run now (not those
// finished earlier); before the first one the rate and time show "--".
std::string studyProgressLine(const StudyProgress& p, int width = 30);

// Seconds as "m:ss" or "h:mm:ss".
std::string clockText(double seconds);

}  // namespace torvex
