// Run control: SET_FILE, INITIALIZE, WFRUN and the work routines they call.
#pragma once

#include "entry/run_state.h"
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

// Work routines.
// Mesh run; false when the mesh input was refused (nothing written, nothing to copy back).
bool RMESH(RunState& rs, int type, int nrmax, int nzmax);
// Mesh run of the "Fine model" (fine/fine_mesh.h); the type takes no part.
bool FINE_RMESH(RunState& rs, int nrmax, int nzmax);
void RTIM(RunState& rs, int& type);                        // preparation run
void AQFEINV(RunState& rs, int type, int k);               // analysis run

} // namespace wf
