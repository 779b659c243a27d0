// Module data of the parameter estimation that outlives a single routine.
#pragma once

#include "wfcore/options.h"

namespace wf {

// The analysis options installed through wfSetOptions; default-constructed
// they leave the search exactly as the plain search (every multiplier estimated,
// plain stop rules).
struct SearchOptions {
    bool hold[4] = {};        // TF, TM, SF, SM held at the guess
    bool oneAquifer = false;  // one K and one Ss for both layers
    bool boundAware = false;  // bound-aware steps and the two stop rules below
    double stopTolerance = 1e-5;
    int maxPasses = 200;
    WfFitReport* report = nullptr;  // the caller's copy of the fit report
    // Options were installed (wfSetOptions with a record): a run whose last
    // pass made no derivative columns (a fixed-time run) makes them for the
    // fit report, one model run per estimated unknown. The plain entry keeps
    // the standard single model run and reports why there is no report.
    bool installed = false;
};

struct InverseState {
    double ft = 60.0;        // seconds per input-time unit (ITIN)
    double results[4] = {};  // Tf, Tm, Sf, Sm of the last completed pass
    bool haveResults = false;  // a pass completed: results may be copied into PINIT
    SearchOptions options;
};

// Takes over a WfOptions record (null: the defaults).
void installOptions(InverseState& inv, const WfOptions* options);

} // namespace wf
