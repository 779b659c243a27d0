// Checks of the module copy of the records before a run uses them: every real
// a run reads must be a finite number, and the prediction step count must be
// one the time axis can be sized from.
#pragma once

#include "base/run_state.h"

namespace wf {

// The largest mesh any mesh run lays out (the fine model's): node columns and rows.
inline constexpr int kMaxMeshColumns = 400;
inline constexpr int kMaxMeshRows = 200;

// Largest NSTEP (number of prediction time steps) an analysis run accepts.
inline constexpr double kMaxTimeSteps = 1000000.0;

// True when every real of the records that the run of this mode reads is a
// finite number; otherwise shows an "Error" box naming the first field that is
// not and returns false. Modes other than 4, 5 and 6 read no reals.
bool checkRecordReals(RunState& rs, int mode);

// Analysis run: NSTEP must lie in 0..kMaxTimeSteps; otherwise an "Error" box
// names NSTEP and its value.
bool checkTimeSteps(RunState& rs);

// Preparation and analysis runs, which read the mesh from the records: NR and
// NZ must lie within the largest mesh; otherwise an "Error" box names them.
bool checkMeshSize(RunState& rs);

} // namespace wf
