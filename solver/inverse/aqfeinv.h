// The inversion driver: analysis run of the solver (mode 6).
#pragma once

#include "base/run_state.h"
#include "inverse/func.h"

namespace wf {

// AQFEINV (inverse/analysis_run.h) with the simulation supplied: the
// analysis itself uses the flow model, tests may put in a simulation of their
// own that writes {base}.inv.
//   type 0 optimisation, 1 fixed time, 2 prediction; k parameters (4).
void AQFEINV(RunState& rs, int type, int k, const SimulationRun& simulate);

} // namespace wf
