// One solver run on a run state of the caller's own: the sequence of the
// entry call (SET_FILE, INITIALIZE, WFRUN) without its progress lines and its
// single module state, so that a test or benchmark can set the run state up
// (host, options) before the run and read its counters after it.
#pragma once

#include <cstring>

#include "entry/run_driver.h"

namespace wf::test {

// The solver's view of a FILENAME record.
inline FILENAME_VIEW filenameView(const FILENAME& f) {
    FILENAME_VIEW view;
    std::memcpy(&view, &f, sizeof view);
    return view;
}

inline void solverRun(RunState& rs, int mode, int type, const FILENAME_VIEW& file, MESH& mesh, OBSV& obsv,
                      const PUMP& pump, const GUESS& guess, PINIT& pinit, const UNITS& units, const NZERO& nzero) {
    SET_FILE(rs, file);
    INITIALIZE(rs, mesh, obsv, pump, guess, pinit, units, nzero);
    WFRUN(rs, mode, type, mesh, obsv, pinit);
}

// The same on a set of records held as the project document holds them
// (members filename, mesh, obsv, pump, guess, pinit, units, nzero).
template <class Records>
void solverRun(RunState& rs, int mode, int type, Records& r) {
    solverRun(rs, mode, type, filenameView(r.filename), r.mesh, r.obsv, r.pump, r.guess, r.pinit, r.units, r.nzero);
}

} // namespace wf::test
