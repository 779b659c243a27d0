// The solver's module copy of the eight records, reals widened to double.
// Arrays are 1-based like the records' fields (index 0 unused).
#pragma once

namespace wf {

// Observation position of a point at the pumped well: its drawdown is the
// water level in the well (fine model with a well radius only).
inline constexpr int kAtWell = 3;

struct Inputs {
    // MESH
    int NR = 0, NZ = 0, NN = 0, NE = 0, NB = 0, NMAT = 0, NZF = 0, NZM = 0;
    double RMAX = 0.0;  // distance unit
    // OBSV
    double THICK = 0.0, RATIO = 0.0;  // distance unit, fraction 0..1
    int NOBS = 0, NODCNT = 0;
    double ROBS[5] = {};  // 1..4, distance unit
    int IPOS[5] = {};     // 1..4, 1 fracture 2 matrix, kAtWell the pumped well (fine model with a well)
    int NODOBS[5] = {};   // 1..4
    // PUMP
    int IWLO = 0, NQ = 0;
    double Q[21] = {};   // 1..20, discharge unit, abstraction positive
    double TQ[21] = {};  // 1..20, input-time unit
    double NSTEP = 0.0, TSIM = 0.0;  // TSIM in days
    int IPUMP = 0, IOPP = 0;
    // GUESS
    double SCALT = 0.0, SCALS = 0.0;
    double P0[5] = {}, PLO[5] = {}, PHI[5] = {};  // 1..4
    double PEPS = 0.0, RMSE = 0.0;
    // PINIT slots 0-3
    double TF = 0.0, TM = 0.0, SF = 0.0, SM = 0.0;
    // UNITS
    int IDIST = 0, ITIN = 0, ITOUT = 0, ICOND = 0, IFLUX = 0, IDISCH = 0;
    // NZERO
    int NSKIP = 0;
};

} // namespace wf
