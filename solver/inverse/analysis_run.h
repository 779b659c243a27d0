// The analysis run (mode 6): the parameter search with the flow model, the
// pass reports and the result file base + ".res".
#pragma once

#include "base/run_state.h"

namespace wf {

//   type 0 optimisation, 1 fixed time, 2 prediction; k parameters (4).
void AQFEINV(RunState& rs, int type, int k);

} // namespace wf
