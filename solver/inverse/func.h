// The objective function of the search: one simulation of the pumping test
// per trial parameter vector, read back from the simulated-values file.
#pragma once

#include <functional>
#include <string>

#include "base/run_state.h"

namespace wf {

// One complete simulation at the multipliers P[0..npar-1] that writes
// {base}.inv; false when no simulation was made (the model has shown why).
// The analysis uses the flow model (runFlowModel); tests may put in their own.
using SimulationRun = std::function<bool(RunState& rs, const double* P)>;

// AQFESUB with the analysis run's arrays: simulated values, observation
// nodes and the model's time levels (seconds).
bool runFlowModel(RunState& rs, const double* P);

// Runs the simulation at P and reads the first n records of {base}.inv:
// F[0..n-1] simulated drawdowns (metres, positive downward), T[0..n-1] their
// times converted to seconds with rs.inv.ft. Returns false when no values
// could be made: the model made no simulation, or {base}.inv is missing or
// short or malformed (then the input-file error box names it).
bool FUNC(RunState& rs, const SimulationRun& simulate, const double* P, int n, double* F, double* T);

// Several observation points: FUNC over all NOBS x NT records of {base}.inv
// (NT = rs.fem.nout), then F[i] = sqrt(weight) x the simulated drawdown of
// measurement pair i (rs.inv.pairs), i = 0..pairs-1.
bool simulatePairs(RunState& rs, const SimulationRun& simulate, const double* P, double* F);

// The same pair values for count parameter vectors at once from the fine
// model's in-memory runs (fineSimulateMany, on up to threads threads): equal
// to simulatePairs for each vector. False when the fine model cannot make
// them (none built); the caller then runs the vectors one by one.
bool simulatePairsMany(RunState& rs, int count, const double* const* P, double* const* F, int threads);

// Shows the input-file error box for name with the read status ios and clears
// the status again, so that the run driver does not show it a second time.
// Returns false for the convenience of the callers' failure paths.
bool reportInputError(RunState& rs, const std::string& name, int ios);

} // namespace wf
