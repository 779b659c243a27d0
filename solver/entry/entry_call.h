// One computation of the entry call on a given run state: the start line,
// the base-name check, SET_FILE, INITIALIZE and WFRUN, the end line, and the
// failures that escape a run as error boxes. wftDLL makes it on the library's
// one run state; a caller with run states of its own (the Python package)
// makes it on each.
#pragma once

#include "base/run_state.h"
#include "wfcore/records.h"

namespace wf {

// A base name the solver can form side-file names from: 1 to 12 characters,
// none of them a folder separator or NUL.
bool usableBaseName(const FILENAME_VIEW& f);

void entryCall(RunState& rs, int32_t mode, int32_t type, const FILENAME& filename, MESH& mesh, OBSV& obsv,
               PUMP& pump, GUESS& guess, PINIT& pinit, UNITS& units, NZERO& nzero);

} // namespace wf
