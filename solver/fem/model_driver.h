// AQFESUB: one run of the finite-element flow model, from the model files to
// the simulated drawdowns at the observation nodes.
#pragma once

#include "base/arrays.h"
#include "base/run_state.h"

namespace wf {

// Runs one simulation for the parameter multipliers P(1..rs.fem.npar).
//
// Set by the caller (the inversion driver): rs.fem.nobsNodes, rs.fem.nout,
// rs.fem.KX/KY/SS, rs.fem.npar, and rs.fem.callCount = 0 before the first
// model run of an analysis (the first call reads the mesh, initial heads,
// boundary conditions and sources; later calls keep them).
// times(1..nout): output times in seconds, times(1) carrying the initial state.
// sim(k, i): drawdown h0 - h in metres (positive downward) at observation node
// k at output time i. obsNodes(1..nobsNodes) is filled from {base}.tim.
//
// Returns true when a simulation was made and {base}.inv written. Returns
// false when no simulation was made; the caller then ends the analysis:
// - input refused (message on the listing stream and in the "Error" box),
// - estimated bandwidth below the true bandwidth ("Error" box),
// - a missing, short or malformed model file: rs.IOS and rs.INNAME name the
//   file ({base}.tim or {base}.fem); the run driver's rs.ioError() at the end
//   of the run shows the input-file error box,
// - a zero or negative pivot ("Error" box naming the row and the time).
// The model files are closed on every path.
//
// stepping steps the read model through the output times and writes {base}.inv:
// SIMF, or the fine model's FINE_SIMF. The caller chooses it once per run.
using ModelStepping = bool (*)(RunState& rs, const double* P, Mat1<double>& sim, const Vec1<int>& obsNodes,
                               const Vec1<double>& times);
bool AQFESUB(RunState& rs, const double* P, Mat1<double>& sim, Vec1<int>& obsNodes, const Vec1<double>& times,
             ModelStepping stepping);

} // namespace wf
