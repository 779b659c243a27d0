// A trust-region Levenberg-Marquardt search in the natural logarithms of the
// estimated unknowns, run for several starts in lock-step so that the model
// runs of all starts in one phase (their derivative runs, then their trial
// runs) go to the model together and may run concurrently.
//
// In log space the search moves each multiplier by a factor, so a storativity
// that falls towards 0 keeps its sensitivity J_j = x_j dF/dx_j in proportion
// to its size, and a step can never make a multiplier zero or negative.
//
// Per pass (one derivative evaluation at the current point z):
//   J       forward differences, step h in ln x (downward where z + h passes
//           the upper bound); central differences (2 runs per unknown) when
//           asked, which the polish of the best end point uses: there the
//           O(h) error of forward differences would bias the end point and
//           its covariance, while during the starts the step is checked by
//           the actual reduction anyway and forward differences halve the cost.
//   D2_j    the largest squared column norm of J_j seen so far (Moré's
//           scaling): the damping acts on every unknown in its own units.
//   step    (J'J + lambda diag(D2)) d = J'r, r = y - F; the trial point is
//           the projection of z + d onto the box of the log bounds; the
//           predicted reduction is that of the linear model for the
//           projected step.
//   lambda  driven by rho = actual / predicted reduction (Nielsen): after an
//           accepted step (S falls) lambda *= max(1/3, 1 - (2 rho - 1)^3),
//           nu = 2; after a rejected one lambda *= nu, nu *= 2, and the trial
//           is made again with the same J.
// A start ends, right after a derivative evaluation at its end point, when
//   - the scaled projected gradient max_j |(J'r)_j| / (D_j |r|) <= gtol,
//     D_j = sqrt(D2_j) (components on a bound that point outward count 0):
//     converged. The scale is the largest column norm seen, so an unknown
//     whose sensitivity has vanished (a storativity far below what the data
//     see) counts by what it could once do, not by the rounding noise left
//     in its column;
//   - the last accepted step changed no unknown by more than xtol (relative,
//     it is a step in ln x) while lambda <= 1, i.e. near the Gauss-Newton
//     step and not a damped crawl: converged;
//   - maxPasses passes were made: the pass limit;
//   - S is at or below the error floor (a misfit below any data's
//     resolution, where the model's rounding, not the data, sets the
//     gradient): the data are matched;
// and, without a further derivative run, when maxRejections trials in a row
// failed to lower S: stalled.
#pragma once

#include <functional>
#include <vector>

namespace wf {

// Model values at count points of the (linear) unknowns: x[c][0..k-1] in,
// f[c][0..n-1] out. False when a model run failed (it has said why).
using LogBatchModel = std::function<bool(int count, const double* const* x, double* const* f)>;

struct LogSearchSettings {
    double gtol = 1e-4;        // scaled-gradient tolerance
    double xtol = 1e-7;        // relative-step tolerance
    double h = 1e-3;           // difference step in ln x
    int maxPasses = 200;
    int maxRejections = 10;
    bool central = false;      // central differences
    double lambda0 = 1e-3;     // first damping, relative to diag(D2)
    double floor = 0.0;        // S at or below it: the data are matched (WF_START_FITS_DATA)
};

// The search problem: k unknowns, of which free[] are estimated (the others
// stay at x0 exactly); n model values, residuals first..n (1-based) used.
struct LogSearchProblem {
    int k = 0, n = 0, first = 1;
    std::vector<double> y;       // n observed values
    std::vector<int> free;       // 0-based indices of the estimated unknowns
    std::vector<double> x0;      // k values of the held unknowns (and the guesses)
    std::vector<double> lo, hi;  // k bounds in ln x (in x for a linear unknown)
    // Non-zero: unknown j is moved as itself, z_j = x_j (one that may be 0 or
    // negative, the well's skin); empty: every unknown in its logarithm.
    std::vector<char> linear;
    LogBatchModel model;
    LogSearchSettings settings;
    std::function<bool()> cancelled;  // polled once per pass of all starts; may be empty
};

// One start's state; after runLogStarts its end.
struct LogStart {
    std::vector<double> z;   // k: ln x of the free unknowns (held ones unused)
    std::vector<double> f;   // n model values at z
    double S = 0.0;          // sum of squared residuals first..n
    std::vector<double> J;   // n x m, column c for free[c], at z once ended (not stalled)
    int passes = 0;
    int ending = 0;          // WF_START_..., 0 while running
    // Search memory.
    double lambda = 0.0, nu = 2.0, lastStep = 0.0, lastLambda = 0.0;
    bool accepted = false;
    int rejections = 0;
    std::vector<double> D2;
    bool haveJ = false;
};

// The unknowns x of a start's z (held unknowns at x0).
std::vector<double> logStartPoint(const LogSearchProblem& pr, const std::vector<double>& z);

// Starts every start at its z (f and S are made here), runs them all to their
// ends. False when a model run failed.
bool runLogStarts(const LogSearchProblem& pr, std::vector<LogStart>& starts);

// The m x m system a d = g by Gaussian elimination with partial pivoting
// (a row by row, overwritten); false when singular.
bool solveSmall(int m, std::vector<double> a, std::vector<double>& g);

} // namespace wf
