// Placeholder until the channel march lands.
#include "solver/march.h"
namespace torvex {
void advanceChannelMarch(SolverState& s, const ProgressCallback&) { s.failFlag = 1; s.failReason = "the channel march is not built yet"; }
}
