// Placeholder until the jet march lands.
#include "solver/march.h"
namespace torvex {
void advanceJetMarch(SolverState& s, const ProgressCallback&) { s.failFlag = 1; s.failReason = "the jet march is not built yet"; }
}
