// Checks of the module copy of the records before a run uses them: every real
// a run reads must be a finite number, and the prediction step count must be
// one the time axis can be sized from.
#pragma once

#include "base/run_state.h"

namespace wf {

// Largest NSTEP (number of prediction time steps) an analysis run accepts.
inline constexpr double kMaxTimeSteps = 1000000.0;

// True when every real of the records that the run of this mode reads is a
// finite number; otherwise shows an "Error" box naming the first field that is
// not and returns false. Modes other than 4, 5 and 6 read no reals.
bool checkRecordReals(RunState& rs, int mode);

// Analysis run: NSTEP must lie in 0..kMaxTimeSteps; otherwise an "Error" box
// names NSTEP and its value.
bool checkTimeSteps(RunState& rs);

} // namespace wf
