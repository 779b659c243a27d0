// Marquardt damped Gauss-Newton search with box bounds (BSOLVE).
#include "inverse/bsolve.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace wf {

namespace {

// The search's constants are single-precision values widened to double.
constexpr double kDefaultNu = 10.0;
constexpr double kDefaultLambda = static_cast<double>(0.01f);   // 0.009999999776482582
constexpr double kDefaultTau = static_cast<double>(0.001f);     // 0.0010000000474974513
constexpr double kDefaultEps = static_cast<double>(2.0e-5f);    // 1.9999999494757503e-5
constexpr double kFitTolerance = static_cast<double>(1.0e-7f);  // S' at or below it: exact fit
constexpr double kFrozenPivot = static_cast<double>(1.0e-20f);  // A_jj at or below it: parameter frozen
constexpr double kLambdaLimit = static_cast<double>(1.0e8f);
constexpr double kDegreesPerRadian = 57.29577957855229;
constexpr int kMaxBoundAware = 8;  // most parameters the bound-aware step handles

// Sum of squared residuals from first to n.
double residualSum(int n, int first, const double* f, const Vec1<double>& y) {
    double s = 0.0;
    for (int i = std::max(first, 1); i <= n; ++i) {
        const double r = f[i - 1] - y(i);
        s += r * r;
    }
    return s;
}

// Solves the k x k system held in columns 1..k of AS with the right-hand side
// in column k+1 by Gauss-Jordan elimination, pivot rows in order 1..k without
// interchanges (the damped scaled normal matrix is positive definite). The
// solution is left in column k+1.
void gaussJordan(Mat1<double>& AS, int k) {
    const int rhs = k + 1;
    for (int p = 1; p <= k; ++p) {
        const double piv = AS(p, p);
        for (int c = p; c <= rhs; ++c) AS(p, c) /= piv;
        for (int r = 1; r <= k; ++r) {
            if (r == p) continue;
            const double f = AS(r, p);
            if (f == 0.0) continue;
            for (int c = p; c <= rhs; ++c) AS(r, c) -= f * AS(p, c);
        }
    }
}

// Defaults for the settings the caller left at zero.
void applyDefaults(BsolveState& st) {
    if (st.nu <= 0.0) st.nu = kDefaultNu;
    if (st.lambdaMem <= 0.0) st.lambdaMem = kDefaultLambda;
    if (st.tau <= 0.0) st.tau = kDefaultTau;
    if (st.eps <= 0.0) st.eps = kDefaultEps;
    if (st.smin <= 0.0) st.smin = 0.0;
}

// Number of estimated parameters.
int activeCount(const int* active, int k) {
    int ka = 0;
    for (int j = 1; j <= k; ++j)
        if (active[j] != 0) ++ka;
    return ka;
}

// One call of the search: the caller's arguments and the views of the work
// array. Work-array layout: J(i, j) at jac[(j-1)*n + i-1], then the trial
// vector, the derivative-step floors and the trial model values. The normal
// matrix A holds the gradient in column k+1 and the scale factors in column
// k+2; AS the damped scaled matrix, its right-hand side in column k+1 and
// the unscaled step in column k+2.
struct Search {
    Vec1<double>& b;
    int n, first, lo, k;
    Vec1<double>& fcur;
    const Vec1<double>& y;
    double& S;
    BsolveState& st;
    const int* active;
    const double* lower;
    const double* upper;
    const BsolveModel& model;
    const BsolveBatch* batch;
    Mat1<double>& A;
    Mat1<double>& AS;
    double* jac;
    double* trial;
    double* floorStep;
    double* f;
    int cg, cd;  // gradient (right-hand side) and scale (step) columns

    double J(int i, int j) const { return jac[static_cast<std::ptrdiff_t>(j - 1) * n + (i - 1)]; }
    double* column(int j) const { return jac + static_cast<std::ptrdiff_t>(j - 1) * n; }
    double d(int j) const { return A(j, cd); }

    // Model at the trial vector into f; false (status set) when it made no values.
    bool runTrial() {
        if (model(trial, n, f)) return true;
        st.status = kBsolveModelFailed;
        return false;
    }

    // First call: evaluates the starting point only.
    void evaluateStart() {
        for (int j = 1; j <= k; ++j) {
            trial[j - 1] = b(j);
            floorStep[j - 1] = std::fabs(b(j)) + st.peps;
        }
        if (!runTrial()) return;
        const double s1 = residualSum(n, first, f, y);
        st.status = s1 <= kFitTolerance ? 0 : k;
        for (int i = lo; i <= n; ++i) fcur(i) = f[i - 1];
        S = s1;
        st.iteration += 1;
    }

    // Forward-difference step of parameter j: one hundredth of |b_j| or of its
    // floor, downward at the upper bound.
    double derivativeStep(int j) const {
        double h = 0.01 * std::max(std::fabs(b(j)), floorStep[j - 1]);
        if (b(j) + h > upper[j]) h = -h;
        return h;
    }

    // The derivative columns at b, their models evaluated together.
    bool batchedColumns() {
        std::vector<double> trials, values, steps;
        std::vector<int> columns;
        for (int j = 1; j <= k; ++j) {
            if (active[j] == 0) continue;
            const double h = derivativeStep(j);
            for (int l = 1; l <= k; ++l) trials.push_back(l == j ? b(j) + h : b(l));
            columns.push_back(j);
            steps.push_back(h);
        }
        const int count = static_cast<int>(columns.size());
        values.assign(static_cast<std::size_t>(count) * n, 0.0);
        std::vector<const double*> pv;
        std::vector<double*> fv;
        for (int c = 0; c < count; ++c) {
            pv.push_back(trials.data() + static_cast<std::ptrdiff_t>(c) * k);
            fv.push_back(values.data() + static_cast<std::ptrdiff_t>(c) * n);
        }
        if (!(*batch)(count, pv.data(), n, fv.data())) {
            st.status = kBsolveModelFailed;
            return false;
        }
        for (int c = 0; c < count; ++c) {
            double* col = column(columns[c]);
            for (int i = lo; i <= n; ++i) col[i - 1] = (fv[c][i - 1] - fcur(i)) / steps[c];
        }
        return true;
    }

    // The derivative columns at b, one model run after the other.
    bool sequentialColumns() {
        for (int j = 1; j <= k; ++j) {
            if (active[j] == 0) continue;
            for (int l = 1; l <= k; ++l) trial[l - 1] = b(l);
            const double h = derivativeStep(j);
            trial[j - 1] = b(j) + h;
            if (!runTrial()) return false;
            double* col = column(j);
            for (int i = lo; i <= n; ++i) col[i - 1] = (f[i - 1] - fcur(i)) / h;
        }
        return true;
    }

    // 1. Forward-difference derivative columns at b; the last ones are kept
    //    while S lies below smin.
    bool derivativeColumns() {
        if (S < st.smin && st.iteration > 1) return true;
        if (batch != nullptr && *batch) return batchedColumns();
        return sequentialColumns();
    }

    // 2. Normal equations: A = J'J, gradient g = J'(y - Fcur) in column k+1.
    void normalEquations() {
        for (int j = 1; j <= k; ++j) {
            double g = 0.0;
            for (int i = lo; i <= n; ++i) g += (y(i) - fcur(i)) * J(i, j);
            A(j, cg) = g;
            for (int l = 1; l <= k; ++l) {
                double a = 0.0;
                for (int i = lo; i <= n; ++i) a += J(i, l) * J(i, j);
                A(j, l) = a;
            }
        }
    }

    // A parameter that is held fixed, or whose derivative column vanishes, is
    // frozen for this iteration: a unit row and zero gradient give it a zero
    // step. Its coupling in the other rows is cleared too; with its step fixed
    // at zero that changes nothing in the other equations.
    void freezeDegenerate() {
        for (int j = 1; j <= k; ++j) {
            if (active[j] != 0 && A(j, j) > kFrozenPivot) continue;
            for (int l = 1; l <= k; ++l) {
                A(j, l) = 0.0;
                A(l, j) = 0.0;
            }
            A(j, j) = 1.0;
            A(j, cg) = 0.0;
        }
    }

    // 3. Scale to unit diagonal: d_j = sqrt(A_jj) kept in column k+2.
    void scaleFactors() {
        for (int j = 1; j <= k; ++j) A(j, cd) = std::sqrt(A(j, j));
    }

    // 5. (A* + lambda I) delta* = g*, rebuilt from the scaled equations, with
    //    the parameters frozen on a bound given a zero step; the unscaled step
    //    delta_j is left in column k+2 of AS.
    void dampedStep(double lambda, const bool* atBound, bool boundAware) {
        for (int j = 1; j <= k; ++j) {
            for (int l = 1; l <= k; ++l) AS(j, l) = A(j, l) / (d(j) * d(l));
            AS(j, j) += lambda;
            AS(j, cg) = A(j, cg) / d(j);
        }
        if (boundAware) {
            for (int j = 1; j <= k; ++j) {
                if (!atBound[j]) continue;
                for (int l = 1; l <= k; ++l) AS(j, l) = AS(l, j) = 0.0;
                AS(j, j) = 1.0;
                AS(j, cg) = 0.0;
            }
        }
        gaussJordan(AS, k);
        for (int j = 1; j <= k; ++j) AS(j, cd) = AS(j, cg) / d(j);
    }

    // A parameter on a bound whose step points outward would only be clipped
    // back: freezes it; true when any was frozen (the others' step is then
    // solved again).
    bool freezeOutwardSteps(bool* atBound) {
        bool more = false;
        for (int j = 1; j <= k; ++j) {
            if (atBound[j] || active[j] == 0) continue;
            const double step = AS(j, cd);
            if ((b(j) <= lower[j] && step < 0.0) || (b(j) >= upper[j] && step > 0.0)) {
                atBound[j] = true;
                ++st.frozenAtBound;
                more = true;
            }
        }
        return more;
    }

    // 6. Trial vector inside the box.
    void clippedTrial() {
        for (int j = 1; j <= k; ++j) trial[j - 1] = std::max(lower[j], std::min(upper[j], b(j) + AS(j, cd)));
    }

    // 7. Angle between the unclipped step and the gradient, measured in the
    //    scaled space where the normal matrix has a unit diagonal:
    //    cos = sum(g*_j delta*_j) / (|g*| |delta*|), g*_j = g_j / d_j and
    //    delta*_j = delta_j * d_j.
    void stepAngle(const bool* atBound, bool boundAware) {
        double dot = 0.0, gg = 0.0, dd = 0.0;
        for (int j = 1; j <= k; ++j) {
            if (boundAware && atBound[j]) continue;
            const double gs = A(j, cg) / d(j);
            const double ds = AS(j, cd) * d(j);
            dot += gs * ds;
            gg += gs * gs;
            dd += ds * ds;
        }
        double c = (gg > 0.0 && dd > 0.0) ? dot / (std::sqrt(gg) * std::sqrt(dd)) : 1.0;
        c = std::min(c, 1.0);
        st.gamma = c < 0.0 ? 180.0 - std::acos(std::min(-c, 1.0)) * kDegreesPerRadian
                           : std::acos(c) * kDegreesPerRadian;
    }

    // 11. Improvement: the status counts the parameters that still change
    //     noticeably, turned into a stop while the damping is heavy.
    void improvementStatus(double lambda) {
        int changing = 0;
        for (int j = 1; j <= k; ++j)
            if (std::fabs(trial[j - 1] - b(j)) / (st.tau + std::fabs(trial[j - 1])) > st.eps) ++changing;
        st.status = changing;
        if (lambda > 1.0) {
            if (st.status == 0 && st.gamma <= 45.0) st.status = kBsolveLambdaStill;
            else if (st.status > 0 && st.gamma > 90.0) st.status = kBsolveNoImprovement;
        }
    }

    // 4.-11. Damped steps from lambdaMem / nu upward until one improves S (or
    // fits exactly, or the damping reaches its limit). False when a model run
    // failed; otherwise s1 and lambda are those of the step to accept.
    bool dampedSearch(double& lambda, double& s1) {
        lambda = st.lambdaMem / st.nu;
        bool failedOnce = false;
        bool atBound[kMaxBoundAware + 1] = {};
        st.frozenAtBound = 0;
        const bool boundAware = st.boundAware && k <= kMaxBoundAware;
        for (;;) {
            dampedStep(lambda, atBound, boundAware);
            if (boundAware && freezeOutwardSteps(atBound)) continue;
            clippedTrial();
            stepAngle(atBound, boundAware);
            // 8. Model at the trial vector.
            if (!runTrial()) return false;
            s1 = residualSum(n, first, f, y);
            // 9. Exact fit.
            if (s1 <= kFitTolerance) {
                st.status = 0;
                return true;
            }
            // 10. No improvement: raise the damping and try again with the same
            //     derivatives; give up once lambda has reached its limit.
            if (s1 >= S) {
                if (failedOnce && lambda >= kLambdaLimit) {
                    st.status = kBsolveNoImprovement;
                    return true;
                }
                failedOnce = true;
                lambda *= st.nu;
                continue;
            }
            improvementStatus(lambda);
            return true;
        }
    }

    // 12. Accepts the trial vector.
    void accept(double lambda, double s1) {
        st.lambdaMem = lambda;
        for (int j = 1; j <= k; ++j) b(j) = trial[j - 1];
        for (int i = lo; i <= n; ++i) fcur(i) = f[i - 1];
        S = s1;
        st.iteration += 1;
    }

    // One iteration after the first call.
    void iterate() {
        if (!derivativeColumns()) return;
        normalEquations();
        freezeDegenerate();
        scaleFactors();
        double lambda = 0.0, s1 = 0.0;
        if (!dampedSearch(lambda, s1)) return;
        accept(lambda, s1);
    }
};

} // namespace

const char* bsolveMessage(int status) {
    switch (status) {
    case kBsolveNoImprovement: return " NO FUNCTION IMPROVEMENT POSSIBLE";
    case kBsolveTooFewValues: return " MORE UNKNOWNS THAN FUNCTIONS ";
    case kBsolveNoVariables: return " TOTAL VARIABLES ARE ZERO ";
    case kBsolveLambdaStill: return " CONVERGENCE REQUIREMENTS SATISFIED BUT LAMBDA STILL";
    case kRobustStalled: return " ROBUST SEARCH STALLED: TRIAL STEPS NO LONGER LOWER THE ERROR ESTIMATE";
    case kRobustPassLimit: return " ROBUST SEARCH REACHED THE PASS LIMIT BEFORE CONVERGENCE";
    case kRobustCancelled: return " ROBUST SEARCH CANCELLED: THE BEST END POINT SO FAR IS SHOWN";
    default: return "";
    }
}

void BSOLVE(Vec1<double>& b, int n, int first, Vec1<double>& fcur, const Vec1<double>& y, double& S,
            BsolveState& st, const int* active, const double* lower, const double* upper, Vec1<double>& work,
            const BsolveModel& model, Mat1<double>& A, Mat1<double>& AS, int k, const BsolveBatch* batch) {
    applyDefaults(st);
    const int ka = activeCount(active, k);
    if (ka == 0) {
        st.status = kBsolveNoVariables;
        return;
    }
    if (n < ka) {
        st.status = kBsolveTooFewValues;
        return;
    }
    double* jac = work.data();
    double* trial = jac + static_cast<std::ptrdiff_t>(k) * n;
    Search search{.b = b, .n = n, .first = first, .lo = std::max(first, 1), .k = k,
                  .fcur = fcur, .y = y, .S = S, .st = st,
                  .active = active, .lower = lower, .upper = upper, .model = model, .batch = batch,
                  .A = A, .AS = AS, .jac = jac, .trial = trial, .floorStep = trial + k, .f = trial + 2 * k,
                  .cg = k + 1, .cd = k + 2};
    if (st.iteration <= 0) search.evaluateStart();
    else search.iterate();
}

} // namespace wf
