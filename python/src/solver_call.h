// One computation of the solver (mesh, preparation or analysis) on a run
// state that belongs to the caller, with the caller's progress listener.
//
// It does what the library's entry call does with its one module run state:
// the start and end lines of the progress list, the base-name check, SET_FILE,
// INITIALIZE and WFRUN, with the options installed for this call only. Each
// project of the Python package keeps its own run state, so several projects
// can run at once (each in its own folder, run_in_folder.h).
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "document/project_document.h"
#include "base/run_state.h"
#include "wfcore/options.h"

namespace wf::py {

// What the solver showed during a call.
struct Listener {
    // A line added to (or replacing the last line of) the progress list.
    std::function<void(int code, const std::string& line)> progress;
    // Polled once per pass of an optimisation: true ends it after that pass.
    std::function<bool()> cancel;
    // Called on the caller's thread while it waits for the run (run_in_folder.h).
    std::function<void()> waiting;
    std::vector<std::string> errors;        // texts of the "Error" boxes, in order
    std::vector<std::string> informations;  // texts of the "Information" boxes
};

// Runs mode/type of the entry call on rs with the document's records, which
// receive the outputs (MESH and NODOBS after a mesh run, PINIT after an
// analysis) as the entry call writes them back.
void solverCall(wf::RunState& rs, int mode, int type, wf::doc::ProjectDocument& doc, const WfOptions& options,
                Listener& listener);

} // namespace wf::py
