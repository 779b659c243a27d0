// The preparation run (mode 5): turns the test data of base + ".dat" into the
// observation file base + ".obs" and the model-control file base + ".tim".
#pragma once

#include "base/run_state.h"

namespace wf {

void RTIM(RunState& rs, int& type);

} // namespace wf
