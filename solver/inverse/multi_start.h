// The robust search of an optimisation: the log-space trust-region search
// (log_trust_region.h) from the guesses and from starts - 1 further points
// spread over one decade either side of them (with four free layer
// parameters, two of them the layer splits of a one-aquifer fit,
// layer_splits.h), the best end point polished
// with central differences. The model runs of all starts in one phase go to
// the model together (the fine model runs them on a pool of threads; the
// standard model, which runs through its side files, one after another), and
// every start's path depends only on its own model values, so the result
// does not depend on the number of threads.
#pragma once

#include <vector>

#include "base/run_state.h"
#include "inverse/bsolve.h"
#include "inverse/layer_splits.h"
#include "inverse/search_space.h"

namespace wf {

// The end of one start, in the search space's unknowns.
struct StartEnd {
    double S = 0.0;
    std::vector<double> x;  // k unknowns (0-based)
    int passes = 0;
    int ending = 0;         // WF_START_...
};

struct RobustOutcome {
    std::vector<StartEnd> starts;  // in the order of the design; 0 = the guesses
    int best = 0;                  // start whose end was polished
    int atBest = 0;                // starts within 0.1 % of the lowest S
    int passes = 0;                // passes of all starts and of the polish
    int ending = 0;                // how the polish ended (WF_START_...)
    double floor = 0.0;            // the error floor
    LayerSplits splits;            // the one-aquifer fit and starts 2 and 3, when made
};

// A start is at the best when its S is within this fraction above the lowest
// plus the error floor: kFloorMisfit^2 x the sum of the squared observed
// values, the S of a misfit of 0.01 % of every drawdown, below the
// resolution of any measurement (without it a fit that matches its data to
// the model's rounding would compare noise with noise).
inline constexpr double kBestFraction = 1e-3;
inline constexpr double kFloorMisfit = 1e-4;
// Another start's end is an alternative answer when its S is within this
// fraction above the best and some parameter differs by more than kDistinct.
inline constexpr double kRivalFraction = 0.10;
inline constexpr double kDistinct = 0.10;  // relative difference of a parameter

// The points of the starts in ln x (k entries each, the guesses first): a
// Halton sequence over the free unknowns with a fixed Cranley-Patterson shift,
// mapped to ln x0 -/+ ln 10 and clipped to the log bounds.
std::vector<std::vector<double>> startDesign(const std::vector<double>& lnGuess, const std::vector<int>& free,
                                             const std::vector<double>& lo, const std::vector<double>& hi,
                                             int starts);

// The robust search in one call. b, fcur, S, work, st as for BSOLVE; on
// return b is the polished best end point, fcur and S its values, the model
// has just been run there through its simulation file, the work array holds
// the derivative columns at b (forward layout of BSOLVE, d F / d b_j), and
// st.status is 0 (converged), kRobustStalled, kRobustPassLimit,
// kRobustCancelled or kBsolveModelFailed (bsolve.h).
void ROBUST(RunState& rs, const SearchSpace& sp, Vec1<double>& b, int n, int first, Vec1<double>& fcur,
            const Vec1<double>& y, double& S, BsolveState& st, Vec1<double>& work, const BsolveModel& model,
            const BsolveBatch& batch, RobustOutcome& out);

} // namespace wf
