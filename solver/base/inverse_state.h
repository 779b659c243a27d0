// Module data of the parameter estimation that outlives a single routine.
#pragma once

#include <string>
#include <vector>

#include "wfcore/options.h"

namespace wf {

// The analysis options installed through wfSetOptions; default-constructed
// they leave the search exactly as the plain search (every multiplier estimated,
// plain stop rules).
struct SearchOptions {
    bool hold[4] = {};        // TF, TM, SF, SM held at the guess
    bool holdWell[2] = {};    // the pumped well's skin and casing radius held at the options' values
    bool oneAquifer = false;  // one K and one Ss for both layers
    bool boundAware = false;  // bound-aware steps and the two stop rules below
    bool robust = false;      // the robust search: log-space trust region from several starts
    int starts = 8;           // robust search: starts (the guesses and starts - 1 more)
    double stopTolerance = 1e-5;
    int maxPasses = 200;
    WfFitReport* report = nullptr;  // the caller's copy of the fit report
    // Options were installed (wfSetOptions with a record): a run whose last
    // pass made no derivative columns (a fixed-time run) makes them for the
    // fit report, one model run per estimated unknown. The plain entry keeps
    // the standard single model run and reports why there is no report.
    bool installed = false;
    double weight[4] = {1.0, 1.0, 1.0, 1.0};  // of each observation point (several points only)
};

// The measurements of an analysis of several observation points: one entry
// per measured (point, time) pair, in the order of the residual vector. The
// pairs that NSKIP leaves out (the first NSKIP of every point) come first, so
// that the search's first residual skips all of them at once.
struct ObservationPairs {
    bool several = false;      // more than one point: the objective runs over the pairs
    int points = 0;            // NOBS
    int levels = 0;            // time levels of the union of the points' times
    int skipped = 0;           // pairs left out at the start of the vector
    std::vector<int> point;    // 1..NOBS
    std::vector<int> level;    // 1..levels: the model time level of the measurement
    std::vector<double> observed;  // measured drawdown (unweighted)
    std::vector<double> scale;     // sqrt(weight of the point): residual factor
    std::vector<double> simAll, timeAll;  // all NOBS x levels simulated values of a run
    void clear() { *this = ObservationPairs{}; }
};

struct InverseState {
    double ft = 60.0;        // seconds per input-time unit (ITIN)
    double results[4] = {};  // Tf, Tm, Sf, Sm of the last completed pass
    bool haveResults = false;  // a pass completed: results may be copied into PINIT
    SearchOptions options;
    ObservationPairs pairs;
    std::string verdict;  // of the last fit report (empty when the last analysis made none)
};

// Takes over a WfOptions record (null: the defaults).
void installOptions(InverseState& inv, const WfOptions* options);

} // namespace wf
