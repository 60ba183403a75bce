// Widening of the radial grid as the free jet spreads: the edge fill of the
// velocity and the nodes about to be added, and the extension itself.
#pragma once

#include "state.h"

namespace torvex {

// Cuts a grid request beyond the node capacity down to it.
void limitJetNodeCount(SolverState& s);

// Outer node half-way to the surrounding gas; the coming nodes N+1 ..
// jetNodeCount take the outer temperature and the ambient velocity.
void fillJetEdge(SolverState& s);

// Adds nodes N+1 .. jetNodeCount with the surrounding gas at rest but for
// the ambient co-flow, rebuilds the jet Simpson weights, evaluates the
// properties and completes the previous-station slots of the new nodes.
// Sets referenceMeanVelocity from the grid before the extension.
void extendJetGrid(SolverState& s);

} // namespace torvex
