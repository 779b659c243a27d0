// WSOL: the paged solution listing of the flow model, in the style of a
// line-printer report (banner, problem, time, flow balance, heads, and the
// time-dependent boundary values in force).
#pragma once

#include <ostream>

#include "base/arrays.h"

namespace wf {

struct RunState;

// Writes the listing of the current step to out (the model's listing stream).
// hnew and hold are the heads at the end and at the start of the step (m);
// dnode/dhead the prescribed-head nodes and heads; nside/nflux the Neumann
// sides (element, side nodes) and their fluxes (m/s). Sets firstCall to 1.
// Volumes of Table 2 are per radian of the radial section (m**3 per step).
void WSOL(const RunState& rs, std::ostream& out, const Vec1<double>& hnew, const Vec1<double>& hold,
          const Vec1<int>& dnode, const Vec1<double>& dhead, const Mat1<int>& nside, const Mat1<double>& nflux,
          int& firstCall);

} // namespace wf
