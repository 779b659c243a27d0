// The derivative runs of one pass of the search on the standard model, side
// by side. Each run is the whole model from the same prepared files at its own
// multipliers, so the runs are independent: the calling thread makes its share
// of them on the run state itself, through {base}.inv as one after another
// would, ending with the last one; the other threads make theirs on copies of
// the run state whose simulation text stays in memory and is read back by
// the same reader. The values are the same numbers as from runs made one
// after another, and the run state and {base}.inv are left as the last of
// them leaves them.
#pragma once

#include "base/run_state.h"
#include "inverse/func.h"

namespace wf {

enum class SideBySide {
    made,       // every run made: F holds the values
    failed,     // a run failed and has said why (its box is shown): the analysis ends
    notApplied  // nothing was run: the caller runs the vectors one after another
};

// The model values of count multiplier vectors P[c] (first n records, as FUNC;
// or the pairs of several points, as simulatePairs) on up to threads threads
// (<= 0: the machine's cores). Not applied unless the simulation is the flow
// model on the standard model, more than one thread and vector, the model
// already read by an earlier run of this analysis, and no listing or head
// store falls due in a run.
SideBySide simulateSideBySide(RunState& rs, const SimulationRun& simulate, int count, const double* const* P, int n,
                              double* const* F, int threads);

} // namespace wf
