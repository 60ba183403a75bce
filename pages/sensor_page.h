// The page "Sensor and Size Classes": what an engineer compares with the
// in-flight diagnostics at the standoff. The virtual sensor's reading, the
// particle jet's deviation, where the injected mass goes (losses by reason,
// evaporation), the results by size class and the model choices of the run.
#pragma once

#include <vector>

#include "pages/spray_pages.h"
#include "pages/text_blocks.h"

namespace torvex::kavel {

// The page's blocks in the variant's units; one line saying so without a run.
std::vector<TextBlock> sensorBlocks(const SprayPageInputs& in);

}  // namespace torvex::kavel
