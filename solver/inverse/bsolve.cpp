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
    // Defaults for the settings the caller left at zero.
    if (st.nu <= 0.0) st.nu = kDefaultNu;
    if (st.lambdaMem <= 0.0) st.lambdaMem = kDefaultLambda;
    if (st.tau <= 0.0) st.tau = kDefaultTau;
    if (st.eps <= 0.0) st.eps = kDefaultEps;
    if (st.smin <= 0.0) st.smin = 0.0;

    int ka = 0;
    for (int j = 1; j <= k; ++j)
        if (active[j] != 0) ++ka;
    if (ka == 0) {
        st.status = kBsolveNoVariables;
        return;
    }
    if (n < ka) {
        st.status = kBsolveTooFewValues;
        return;
    }

    // Work-array layout: J(i, j) at jac[(j-1)*n + i-1], then the trial vector,
    // the derivative-step floors and the trial model values.
    double* jac = work.data();
    double* trial = jac + static_cast<std::ptrdiff_t>(k) * n;
    double* floorStep = trial + k;
    double* f = floorStep + k;
    const int lo = std::max(first, 1);

    if (st.iteration <= 0) {
        // First call: evaluate the starting point only.
        for (int j = 1; j <= k; ++j) {
            trial[j - 1] = b(j);
            floorStep[j - 1] = std::fabs(b(j)) + st.peps;
        }
        if (!model(trial, n, f)) {
            st.status = kBsolveModelFailed;
            return;
        }
        const double s1 = residualSum(n, first, f, y);
        st.status = s1 <= kFitTolerance ? 0 : k;
        for (int i = lo; i <= n; ++i) fcur(i) = f[i - 1];
        S = s1;
        st.iteration += 1;
        return;
    }

    // 1. Forward-difference derivative columns at b.
    if (!(S < st.smin && st.iteration > 1) && batch != nullptr && *batch) {
        // The same columns, their models evaluated together.
        std::vector<double> trials, values, steps;
        std::vector<int> columns;
        for (int j = 1; j <= k; ++j) {
            if (active[j] == 0) continue;
            double h = 0.01 * std::max(std::fabs(b(j)), floorStep[j - 1]);
            if (b(j) + h > upper[j]) h = -h;
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
            return;
        }
        for (int c = 0; c < count; ++c) {
            double* col = jac + static_cast<std::ptrdiff_t>(columns[c] - 1) * n;
            for (int i = lo; i <= n; ++i) col[i - 1] = (fv[c][i - 1] - fcur(i)) / steps[c];
        }
    } else if (!(S < st.smin && st.iteration > 1)) {
        for (int j = 1; j <= k; ++j) {
            if (active[j] == 0) continue;
            for (int l = 1; l <= k; ++l) trial[l - 1] = b(l);
            double h = 0.01 * std::max(std::fabs(b(j)), floorStep[j - 1]);
            if (b(j) + h > upper[j]) h = -h;  // at the upper bound: step downward
            trial[j - 1] = b(j) + h;
            if (!model(trial, n, f)) {
                st.status = kBsolveModelFailed;
                return;
            }
            double* col = jac + static_cast<std::ptrdiff_t>(j - 1) * n;
            for (int i = lo; i <= n; ++i) col[i - 1] = (f[i - 1] - fcur(i)) / h;
        }
    }

    // 2. Normal equations: A = J'J, gradient g = J'(y - Fcur) in column k+1.
    auto J = [&](int i, int j) { return jac[static_cast<std::ptrdiff_t>(j - 1) * n + (i - 1)]; };
    const int cg = k + 1, cd = k + 2;
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
    // A parameter that is held fixed, or whose derivative column vanishes, is
    // frozen for this iteration: a unit row and zero gradient give it a zero
    // step. Its coupling in the other rows is cleared too; with its step fixed
    // at zero that changes nothing in the other equations.
    for (int j = 1; j <= k; ++j) {
        if (active[j] != 0 && A(j, j) > kFrozenPivot) continue;
        for (int l = 1; l <= k; ++l) {
            A(j, l) = 0.0;
            A(l, j) = 0.0;
        }
        A(j, j) = 1.0;
        A(j, cg) = 0.0;
    }

    // 3. Scale to unit diagonal: d_j = sqrt(A_jj) kept in column k+2.
    for (int j = 1; j <= k; ++j) A(j, cd) = std::sqrt(A(j, j));
    auto d = [&](int j) { return A(j, cd); };

    // 4. Damping of this iteration.
    double lambda = st.lambdaMem / st.nu;
    bool failedOnce = false;
    double s1 = 0.0;
    // Bound-aware search: parameters frozen on a bound for this iteration.
    bool atBound[kMaxBoundAware + 1] = {};
    st.frozenAtBound = 0;
    const bool boundAware = st.boundAware && k <= kMaxBoundAware;

    for (;;) {
        // 5. (A* + lambda I) delta* = g*, rebuilt from the scaled equations.
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
        for (int j = 1; j <= k; ++j) AS(j, cd) = AS(j, cg) / d(j);  // unscaled step delta_j
        if (boundAware) {
            // A parameter on a bound whose step points outward would only be
            // clipped back: freeze it and solve the others' step again.
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
            if (more) continue;
        }

        // 6. Trial vector inside the box.
        for (int j = 1; j <= k; ++j) trial[j - 1] = std::max(lower[j], std::min(upper[j], b(j) + AS(j, cd)));

        // 7. Angle between the unclipped step and the gradient, measured in the
        //    scaled space where the normal matrix has a unit diagonal:
        //    cos = sum(g*_j delta*_j) / (|g*| |delta*|), g*_j = g_j / d_j and
        //    delta*_j = delta_j * d_j.
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

        // 8. Model at the trial vector.
        if (!model(trial, n, f)) {
            st.status = kBsolveModelFailed;
            return;
        }
        s1 = residualSum(n, first, f, y);

        // 9. Exact fit.
        if (s1 <= kFitTolerance) {
            st.status = 0;
            break;
        }
        // 10. No improvement: raise the damping and try again with the same
        //     derivatives; give up once lambda has reached its limit.
        if (s1 >= S) {
            if (failedOnce && lambda >= kLambdaLimit) {
                st.status = kBsolveNoImprovement;
                break;
            }
            failedOnce = true;
            lambda *= st.nu;
            continue;
        }
        // 11. Improvement: count the parameters that still change noticeably.
        int changing = 0;
        for (int j = 1; j <= k; ++j)
            if (std::fabs(trial[j - 1] - b(j)) / (st.tau + std::fabs(trial[j - 1])) > st.eps) ++changing;
        st.status = changing;
        if (lambda > 1.0) {
            if (st.status == 0 && st.gamma <= 45.0) st.status = kBsolveLambdaStill;
            else if (st.status > 0 && st.gamma > 90.0) st.status = kBsolveNoImprovement;
        }
        break;
    }

    // 12. Accept the trial vector.
    st.lambdaMem = lambda;
    for (int j = 1; j <= k; ++j) b(j) = trial[j - 1];
    for (int i = lo; i <= n; ++i) fcur(i) = f[i - 1];
    S = s1;
    st.iteration += 1;
}

} // namespace wf
