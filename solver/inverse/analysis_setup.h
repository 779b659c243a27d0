// Set-up steps of the analysis run: mesh check, observations, time levels.
// Each returns false after it has shown the reason in an error box.
#pragma once

#include "base/run_state.h"

namespace wf {

// Seconds per input-time unit ITIN (1 s, 2 min, 3 h; the model's table also
// has 4 d and 5 y); 0 for an index outside the table.
double timeUnitFactor(int itin);
// c(ICOND): square metres per second of one transmissivity unit, entry
// 4(a-1)+b = L_a^2 / T_b with L = 0.001, 0.01, 1 m and T = 1, 60, 3600, 86400 s;
// 0 for an index outside 1..12.
double transmissivityFactor(int icond);

// The units and counts an analysis needs before it reads anything: the
// input-time unit ITIN (rs.inv.ft is set to its seconds), the conductivity
// unit ICOND (cond is set to c(ICOND)) and the number of pumping steps NQ.
bool checkAnalysisUnits(RunState& rs, double& cond);

// The flow model for the first run of an analysis of npar multipliers: the
// reference properties, no well values on the trial vectors, fresh counters,
// so that the first run reads the whole input.
void prepareFlowModel(RunState& rs, int npar);

// The counts line of {base}.tim must match the mesh: its node count NN and
// its pumped-node count the pumped rows of the mesh (NZ, NZF or NZM by IPUMP).
bool checkMeshAgainstTimeFile(RunState& rs);

// Reads {base}.obs: NOBS and NT, then NT records (index, time in the ITIN
// unit, drawdown in metres) into est.TOUT and est.YOBS; converts the times to
// seconds (rs.inv.ft must be set) and makes them the model's time levels
// est.TG. The estimation arrays are enlarged when the file or a prediction
// needs more levels than the run driver sized them for.
// An observation file of several points is read whole: the union of their
// times becomes the time levels (nt is its size) and rs.inv.pairs holds one
// entry per measurement; est.YOBS is filled from the pairs by
// loadPairObservations after any prediction extension.
bool loadObservations(RunState& rs, int type, int& nobs, int& nt);

// Number of residuals of the search: nt for one point, the pairs for several.
int residualCount(const RunState& rs, int nt);
// Several points: est.YOBS(1..pairs) = sqrt(weight) x measured drawdown.
void loadPairObservations(RunState& rs);

// Number of time levels after a prediction's extension of nt observation
// times (NSTEP's whole part, or nt + 5 when that is not greater than nt).
int predictionLevels(int nt, double nstep);

// Prediction: extends the time levels beyond the last observation to TSIM
// days, landing a level on every later pumping-step start; nt grows.
bool extendTimeLevels(RunState& rs, int& nt);

// Every pumping step that starts within the time levels must start exactly
// at one of them.
bool checkPumpSteps(RunState& rs, int nt);

// The values derived from the multipliers P(1..4) for the reports.
struct DerivedValues {
    double Kf, Km, S0f, S0m;  // conductivity (ICOND unit), specific storage (1/distance)
    double Tf, Tm, Sf, Sm;    // transmissivity (ICOND unit x distance), storativity (-)
};
DerivedValues deriveValues(const Inputs& in, double cond, const double* P1);

} // namespace wf
