// Marquardt damped least squares: BSOLVE fits the scaled aquifer parameters to
// the observed drawdowns. It is resumable: the first call evaluates the starting
// point, every later call performs one iteration and returns, so that the
// inversion driver can report progress and poll Cancel between iterations.
// Everything that must survive between calls lives in caller-owned arguments.
#pragma once

#include <functional>

#include "base/arrays.h"

namespace wf {

// One model evaluation: p[0..k-1] is the trial vector P(1..k), f[0..n-1]
// receives the simulated drawdowns (metres, positive downward) of the n
// observation times. Returns false when no values could be made (the model
// or its read-back has already reported why).
using BsolveModel = std::function<bool(const double* p, int n, double* f)>;

// Several model evaluations at once, p[c] and f[c] for c = 0..count-1, each
// as BsolveModel would make it; the search gives it the derivative models of
// an iteration so that they may run concurrently.
using BsolveBatch = std::function<bool(int count, const double* const* p, int n, double* const* f)>;

// Result codes of BSOLVE.
inline constexpr int kBsolveNoImprovement = -1;   // lambda reached 1e8, or angle > 90 deg while lambda > 1
inline constexpr int kBsolveTooFewValues = -2;    // fewer observations than estimated parameters
inline constexpr int kBsolveNoVariables = -3;     // no parameter is estimated
inline constexpr int kBsolveLambdaStill = -4;     // converged while lambda > 1 and angle <= 45 deg
inline constexpr int kBsolveModelFailed = -5;     // a model run produced no values: the analysis ends
// The robust search (multi_start.h) ends with 0 or one of these.
inline constexpr int kRobustStalled = -6;    // the best end point stalled: trial steps stopped lowering S
inline constexpr int kRobustPassLimit = -7;  // the best end point reached the pass limit
inline constexpr int kRobustCancelled = -8;  // Cancel: the best end point so far

// The settings and memory of the search, owned by the caller. A value <= 0 of
// nu, lambdaMem, tau, eps or smin is replaced by its default (written back).
struct BsolveState {
    double nu = 0.0;         // damping factor (default 10)
    double lambdaMem = 0.0;  // damping value carried between calls (default 0.01f)
    double tau = 0.0;        // offset of the relative-change test (default 0.001f)
    double eps = 0.0;        // tolerance of the relative-change test (default 2e-5f)
    double smin = 0.0;       // derivative reuse while S < smin (default 0: never)
    int iteration = 0;       // 0 before the first call; +1 for every completed call
    int status = 0;          // result code: > 0 parameters still changing, 0 converged, < 0 above
    double gamma = 0.0;      // angle between step and gradient, degrees
    double peps = 0.0;       // added to |b_j| for the derivative-step floor (GUESS PEPS)
    // Bound-aware steps (off in the plain search): a parameter on a bound
    // whose step points outward is frozen for the rest of the iteration and
    // the step of the others is solved again without it; the angle test then
    // looks at the free parameters only.
    bool boundAware = false;
    int frozenAtBound = 0;   // parameters frozen on a bound in the last iteration
};

// Message of a negative status, as shown in the error box (empty for others).
const char* bsolveMessage(int status);

// One call of the search.
//   b(1..k)            parameters, replaced by the accepted trial vector
//   n, first           number of values; residuals i < first are ignored everywhere
//   fcur(1..n)         simulated values at b (in/out), y(1..n) observed values
//   S                  sum of squared residuals from first to n at b (in/out)
//   active, lower, upper  1-based arrays [1..k]: non-zero = estimated; box bounds
//   work               at least k*n + 2k + n doubles: k derivative columns, trial
//                      vector, k derivative-step floors, n trial model values
//   A, AS              k x (k+2) work matrices (normal matrix + gradient + scale
//                      factors; its scaled damped copy + right-hand side + step)
//   batch              optional: evaluates the derivative models of an
//                      iteration together (same trial vectors, same results)
void BSOLVE(Vec1<double>& b, int n, int first, Vec1<double>& fcur, const Vec1<double>& y, double& S,
            BsolveState& st, const int* active, const double* lower, const double* upper, Vec1<double>& work,
            const BsolveModel& model, Mat1<double>& A, Mat1<double>& AS, int k, const BsolveBatch* batch = nullptr);

} // namespace wf
