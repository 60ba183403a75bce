// Placeholder until the inlet-state module lands.
#include "solver/inlet.h"
namespace torvex {
void computeCharacteristics(SolverState&) {}
void computeMassFlow(SolverState&) {}
bool buildInletState(SolverState& s) { s.failFlag = 1; s.failReason = "the inlet state is not built yet"; return false; }
}
