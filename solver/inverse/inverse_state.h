// Module data of the parameter estimation that outlives a single routine.
#pragma once

namespace wf {

struct InverseState {
    double ft = 60.0;        // seconds per input-time unit (ITIN)
    double results[4] = {};  // Tf, Tm, Sf, Sm of the last completed pass
    bool haveResults = false;  // a pass completed: results may be copied into PINIT
};

} // namespace wf
