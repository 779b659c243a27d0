// Run control: SET_FILE, INITIALIZE and WFRUN, the top driver that sizes the
// work arrays and calls the run of the mode.
#pragma once

#include "base/run_state.h"
#include "wfcore/records.h"

namespace wf {

// Takes the base name and the title from the solver's view of FILENAME.
void SET_FILE(RunState& rs, const FILENAME_VIEW& f);
// Copies the records into the module data, widening reals to double.
void INITIALIZE(RunState& rs, const MESH& mesh, const OBSV& obsv, const PUMP& pump, const GUESS& guess,
                const PINIT& pinit, const UNITS& units, const NZERO& nzero);
// Reads the run's header, allocates the work arrays, runs the work routine,
// frees the arrays, copies results back and reports an input error.
void WFRUN(RunState& rs, int mode, int type, MESH& mesh, OBSV& obsv, PINIT& pinit);

} // namespace wf
