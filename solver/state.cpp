#include "solver/state.h"

namespace torvex {

SolverState& sharedSolverState() {
    // One statically allocated record: the solver is not reentrant.
    static SolverState state;
    return state;
}

} // namespace torvex
