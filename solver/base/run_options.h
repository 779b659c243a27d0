// Options of a run beyond the standard model and search, installed by wfSetOptions
// and held by the run state. A default-constructed record is the standard
// system: every routine then takes its standard path.
#pragma once

#include "wfcore/options.h"

namespace wf {

struct RunOptions {
    // "Fine model": the mesh run lays out a mesh chosen for accuracy, the
    // preparation run weights the well's node rates by their share of the
    // screen, and the analysis run resolves every observation interval with
    // as many implicit steps as accuracy needs (fine/fine_model.h).
    bool fineModel = false;
    // Threads for the derivative models of one search pass in the fine model;
    // 0 = as many as the machine has cores. The results do not depend on it.
    int threads = 0;
    // The pumped well of the fine model (fine/fine_model.h): radius r_w and
    // casing radius r_c in the project's distance unit, skin factor Sk. A
    // well radius of 0 is the line of sources on the axis; the casing radius
    // and the skin then must be 0 too.
    double wellRadius = 0.0, casingRadius = 0.0, skin = 0.0;
    bool hasWell() const { return wellRadius > 0.0; }
};

// Takes over the model's fields of a WfOptions record (null: the defaults).
void installRunOptions(RunOptions& run, const WfOptions* options);

// False for a record too short to hold its size and version, or of version 0
// (a record the caller did not initialise).
bool usableOptionsRecord(const WfOptions* options);

// Copies a fit report into the caller's record, as much of it as the caller's
// size holds; the caller's size and version stay.
void deliverFitReport(WfFitReport* caller, const WfFitReport& report);

} // namespace wf
