// The flow model's driver: one complete simulation per call.
#pragma once

#include "entry/arrays.h"
#include "entry/run_state.h"

namespace wf {

// Runs one simulation for the parameter multipliers P (P[0..npar-1] = P(1..npar));
// returns false when no simulation was made (the model has shown why).
bool AQFESUB(RunState& rs, const double* P, Mat1<double>& sim, Vec1<int>& obsNodes, const Vec1<double>& times);

} // namespace wf
