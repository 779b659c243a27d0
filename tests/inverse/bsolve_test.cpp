// BSOLVE on analytic models whose least-squares minimum is known.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <vector>

#include "inverse/bsolve.h"

namespace {

using wf::BsolveState;
using wf::Mat1;
using wf::Vec1;

// A search problem with k parameters and n observations, the arrays laid out
// the way the inversion driver lays them out, and a log of every model call.
struct Problem {
    int k = 0, n = 0, first = 1;
    Vec1<double> b, fcur, y, work;
    Mat1<double> A, AS;
    std::vector<int> active;
    std::vector<double> lower, upper;
    double S = 0.0;
    BsolveState st;
    std::function<double(const std::vector<double>& p, int i)> f;  // model value i (1-based)
    std::vector<std::vector<double>> calls;                        // trial vectors, in call order

    Problem(int k_, int n_) : k(k_), n(n_), active(k_ + 1, 1), lower(k_ + 1, -1e30), upper(k_ + 1, 1e30) {
        b.allocate(k);
        fcur.allocate(n);
        y.allocate(n);
        work.allocate(k * n + 2 * k + n);
        A.allocate(k, k + 2);
        AS.allocate(k, k + 2);
        st.peps = 0.01;
    }
    void call() {
        wf::BsolveModel model = [this](const double* p, int nn, double* out) {
            std::vector<double> pv(p, p + k);
            calls.push_back(pv);
            for (int i = 1; i <= nn; ++i) out[i - 1] = f(pv, i);
            return true;
        };
        wf::BSOLVE(b, n, first, fcur, y, S, st, active.data(), lower.data(), upper.data(), work, model, A, AS, k);
    }
    // Calls until the search ends (status <= 0), at most maxCalls times.
    void run(int maxCalls = 60) {
        for (int c = 0; c < maxCalls; ++c) {
            call();
            if (st.status <= 0) return;
        }
    }
};

// y = a exp(-b t) + c exp(-d t) sampled at t = 0.5 i.
double biexp(const std::vector<double>& p, int i) {
    const double t = 0.5 * i;
    return p[0] * std::exp(-p[1] * t) + p[2] * std::exp(-p[3] * t);
}

Problem biexpProblem(const std::vector<double>& truth, const std::vector<double>& start) {
    Problem pr(4, 40);
    pr.f = biexp;
    for (int i = 1; i <= pr.n; ++i) pr.y(i) = biexp(truth, i);
    for (int j = 1; j <= 4; ++j) pr.b(j) = start[j - 1];
    return pr;
}

TEST(Bsolve, RefusesWithoutModelRunWhenNothingToEstimateOrTooFewValues) {
    // All flags zero: status -3, nothing changes, no model run.
    Problem none = biexpProblem({2, 0.5, 1, 0.05}, {1, 1, 1, 1});
    for (int j = 1; j <= 4; ++j) none.active[j] = 0;
    none.S = 7.0;
    none.call();
    EXPECT_EQ(none.st.status, wf::kBsolveNoVariables);
    EXPECT_TRUE(none.calls.empty());
    EXPECT_EQ(none.st.iteration, 0);
    EXPECT_EQ(none.S, 7.0);
    EXPECT_EQ(none.b(1), 1.0);
    EXPECT_STREQ(wf::bsolveMessage(none.st.status), " TOTAL VARIABLES ARE ZERO ");

    // n = 3 with four active parameters: status -2, no model run.
    Problem few(4, 3);
    few.f = biexp;
    few.call();
    EXPECT_EQ(few.st.status, wf::kBsolveTooFewValues);
    EXPECT_TRUE(few.calls.empty());
    EXPECT_STREQ(wf::bsolveMessage(few.st.status), " MORE UNKNOWNS THAN FUNCTIONS ");
    EXPECT_STREQ(wf::bsolveMessage(wf::kBsolveNoImprovement), " NO FUNCTION IMPROVEMENT POSSIBLE");
    EXPECT_STREQ(wf::bsolveMessage(wf::kBsolveLambdaStill), " CONVERGENCE REQUIREMENTS SATISFIED BUT LAMBDA STILL");

    // The defaults are the single-precision constants, written back.
    EXPECT_EQ(few.st.nu, 10.0);
    EXPECT_EQ(few.st.lambdaMem, 0.009999999776482582);
    EXPECT_EQ(few.st.tau, 0.0010000000474974513);
    EXPECT_EQ(few.st.eps, 1.9999999494757503e-5);
    EXPECT_EQ(few.st.smin, 0.0);
}

TEST(Bsolve, FirstCallEvaluatesOnlyAndKeepsB) {
    // Starting point away from the truth: one model run, status k, S = sum of squares.
    Problem pr = biexpProblem({2, 0.5, 1, 0.05}, {1, 1, 1, 1});
    pr.call();
    ASSERT_EQ(pr.calls.size(), 1u);
    EXPECT_EQ(pr.st.status, 4);
    EXPECT_EQ(pr.st.iteration, 1);
    double s = 0.0;
    for (int i = 1; i <= pr.n; ++i) s += std::pow(biexp({1, 1, 1, 1}, i) - pr.y(i), 2);
    EXPECT_DOUBLE_EQ(pr.S, s);
    for (int j = 1; j <= 4; ++j) EXPECT_EQ(pr.b(j), 1.0);

    // A starting point that already fits: status 0 on the first call, b unchanged.
    Problem fit = biexpProblem({2, 0.5, 1, 0.05}, {2, 0.5, 1, 0.05});
    fit.call();
    EXPECT_EQ(fit.st.status, 0);
    EXPECT_EQ(fit.S, 0.0);
    EXPECT_EQ(fit.calls.size(), 1u);
    EXPECT_EQ(fit.b(2), 0.5);

    // NSKIP >= n: no residual is used, S' = 0, status 0.
    Problem skip = biexpProblem({2, 0.5, 1, 0.05}, {1, 1, 1, 1});
    skip.first = skip.n + 1;
    skip.call();
    EXPECT_EQ(skip.st.status, 0);
    EXPECT_EQ(skip.S, 0.0);
}

TEST(Bsolve, RecoversBiexponentialParametersAndLowersLambdaEachIteration) {
    const std::vector<double> truth{2.0, 0.5, 1.0, 0.05};
    Problem pr = biexpProblem(truth, {3.0, 0.3, 1.5, 0.08});
    pr.run();
    ASSERT_EQ(pr.st.status, 0) << "S = " << pr.S;
    for (int j = 1; j <= 4; ++j) EXPECT_NEAR(pr.b(j), truth[j - 1], 1e-4 * truth[j - 1]) << "parameter " << j;
    // Every iteration costs four derivative runs plus at least one trial.
    EXPECT_GE(pr.calls.size(), 1u + 5u * static_cast<unsigned>(pr.st.iteration - 1));
}

TEST(Bsolve, SuccessfulIterationsLowerLambdaByNu) {
    // A straight line through scattered points: a quadratic objective, so the
    // first trial of every iteration improves and lambda falls 0.001, 0.0001, ...
    Problem pr(2, 12);
    pr.f = [](const std::vector<double>& p, int i) { return p[0] + p[1] * i; };
    for (int i = 1; i <= pr.n; ++i) pr.y(i) = 4.0 - 0.5 * i + (i % 2 ? 0.1 : -0.1);
    pr.b(1) = 1.0;
    pr.b(2) = 1.0;
    pr.call();
    double lambda = 0.009999999776482582;
    for (int it = 1; it <= 3 && pr.st.status > 0; ++it) {
        const std::size_t before = pr.calls.size();
        pr.call();
        lambda /= 10.0;
        EXPECT_EQ(pr.calls.size() - before, 3u) << "iteration " << it;  // two derivatives, one trial
        EXPECT_DOUBLE_EQ(pr.st.lambdaMem, lambda);
    }
    EXPECT_EQ(pr.st.status, 0);
    // Least-squares line through the data: slope and intercept by the normal equations.
    double st = 0, sy = 0, stt = 0, sty = 0;
    for (int i = 1; i <= pr.n; ++i) {
        st += i;
        sy += pr.y(i);
        stt += double(i) * i;
        sty += i * pr.y(i);
    }
    const double slope = (pr.n * sty - st * sy) / (pr.n * stt - st * st);
    const double icept = (sy - slope * st) / pr.n;
    EXPECT_NEAR(pr.b(2), slope, 1e-5);
    EXPECT_NEAR(pr.b(1), icept, 1e-5);
}

TEST(Bsolve, IgnoresResidualsBeforeFirst) {
    // The first three observations are spoilt; from first = 4 on the data are exact.
    const std::vector<double> truth{2.0, 0.5, 1.0, 0.05};
    Problem pr = biexpProblem(truth, {2.5, 0.4, 1.2, 0.06});
    for (int i = 1; i <= 3; ++i) pr.y(i) += 10.0;
    pr.first = 4;
    pr.run();
    ASSERT_EQ(pr.st.status, 0);
    for (int j = 1; j <= 4; ++j) EXPECT_NEAR(pr.b(j), truth[j - 1], 1e-4 * truth[j - 1]);
    EXPECT_LE(pr.S, 1e-7);
}

TEST(Bsolve, ParameterAtUpperBoundStepsDownwardAndIsClipped) {
    // Straight line y = p1 (i - 5.5) + p2 (orthogonal columns) through data of
    // slope 3, with the slope bounded above by 2. The bounded least-squares
    // solution keeps p1 = 2 and p2 = mean(y) = 3 * 5.5 + 1 = 17.5.
    Problem pr(2, 10);
    pr.f = [](const std::vector<double>& p, int i) { return p[0] * (i - 5.5) + p[1]; };
    for (int i = 1; i <= pr.n; ++i) pr.y(i) = 3.0 * i + 1.0;
    pr.upper[1] = 2.0;
    pr.b(1) = 2.0;
    pr.b(2) = 0.0;
    pr.call();
    pr.call();
    // Calls: start, derivative of p1, derivative of p2, trials.
    ASSERT_GE(pr.calls.size(), 4u);
    const double h1 = 0.01 * (2.0 + 0.01);  // 0.01 * max(|b|, |b| + PEPS)
    EXPECT_DOUBLE_EQ(pr.calls[1][0], 2.0 - h1);  // downward step at the bound
    EXPECT_EQ(pr.calls[1][1], 0.0);
    EXPECT_DOUBLE_EQ(pr.calls[2][1], 0.0 + 0.01 * 0.01);  // floor |b| + PEPS for a zero parameter
    EXPECT_EQ(pr.calls[3][0], 2.0);  // trial clipped to the bound
    EXPECT_EQ(pr.b(1), 2.0);
    pr.run();
    EXPECT_EQ(pr.st.status, 0);
    EXPECT_EQ(pr.b(1), 2.0);
    EXPECT_NEAR(pr.b(2), 17.5, 1e-4);
}

TEST(Bsolve, ZeroDerivativeColumnIsFrozenWhileOthersMove) {
    // p3 does not enter the model: its column is zero, it keeps its value.
    Problem pr(3, 12);
    pr.f = [](const std::vector<double>& p, int i) { return p[0] + p[1] * i; };
    for (int i = 1; i <= pr.n; ++i) pr.y(i) = 4.0 - 0.5 * i;
    pr.b(1) = 1.0;
    pr.b(2) = 1.0;
    pr.b(3) = 0.7;
    pr.run();
    EXPECT_EQ(pr.st.status, 0);
    EXPECT_EQ(pr.b(3), 0.7);
    EXPECT_NEAR(pr.b(1), 4.0, 1e-4);
    EXPECT_NEAR(pr.b(2), -0.5, 1e-4);

    // An inactive parameter is held although the model depends on it.
    Problem held(2, 12);
    held.f = [](const std::vector<double>& p, int i) { return p[0] + p[1] * i; };
    for (int i = 1; i <= held.n; ++i) held.y(i) = 4.0 - 0.5 * i;
    held.active[2] = 0;
    held.b(1) = 1.0;
    held.b(2) = -0.5;
    held.run();
    EXPECT_EQ(held.b(2), -0.5);
    EXPECT_NEAR(held.b(1), 4.0, 1e-4);
    // One derivative run per iteration: the held parameter costs none.
    for (std::size_t c = 1; c < held.calls.size(); ++c) EXPECT_EQ(held.calls[c][1], -0.5);
}

TEST(Bsolve, DampingGrowsToTheLimitWhenNoStepImproves) {
    // Residual 1 + |p - 1|: every step away from p = 1 is worse, so lambda grows
    // by nu per trial until it reaches 1e8; the last trial is adopted with status -1.
    Problem pr(1, 5);
    pr.f = [](const std::vector<double>& p, int) { return 1.0 + std::fabs(p[0] - 1.0); };
    pr.b(1) = 1.0;
    pr.call();
    const double s0 = pr.S;
    pr.call();
    EXPECT_EQ(pr.st.status, wf::kBsolveNoImprovement);
    EXPECT_GE(pr.st.lambdaMem, 1e8);
    EXPECT_LT(pr.st.lambdaMem, 1e9);
    // One derivative run plus one trial per lambda from lambdaMem/nu to the limit.
    const double trials = std::round(std::log10(pr.st.lambdaMem / (0.009999999776482582 / 10.0))) + 1.0;
    EXPECT_EQ(static_cast<double>(pr.calls.size() - 2), trials);
    EXPECT_GE(pr.S, s0);
    EXPECT_EQ(pr.b(1), pr.calls.back()[0]);
}

TEST(Bsolve, ConvergenceWhileLambdaAboveOneIsFlagged) {
    // Residual r = 1 + (p - 1) + 1e5 (p - 1)^2: Gauss-Newton overshoots until
    // lambda is about 100; the accepted step is then below the change tolerance
    // and along the gradient (angle 0 for one parameter): status -4.
    Problem pr(1, 1);
    pr.f = [](const std::vector<double>& p, int) { return 1.0 + (p[0] - 1.0) + 1e5 * std::pow(p[0] - 1.0, 2); };
    pr.b(1) = 1.0;
    pr.call();
    pr.call();
    EXPECT_EQ(pr.st.status, wf::kBsolveLambdaStill);
    EXPECT_GT(pr.st.lambdaMem, 1.0);
    EXPECT_LT(pr.S, 1.0);
    EXPECT_NEAR(pr.st.gamma, 0.0, 1e-6);
}

TEST(Bsolve, ModelFailureStopsWithoutChangingTheCurrentPoint) {
    Problem pr = biexpProblem({2, 0.5, 1, 0.05}, {3, 0.3, 1.5, 0.08});
    pr.call();
    const double s0 = pr.S;
    int calls = 0;
    wf::BsolveModel failing = [&](const double* p, int n, double* out) {
        if (++calls == 3) return false;  // the third derivative run makes no values
        for (int i = 1; i <= n; ++i) out[i - 1] = biexp(std::vector<double>(p, p + 4), i);
        return true;
    };
    wf::BSOLVE(pr.b, pr.n, pr.first, pr.fcur, pr.y, pr.S, pr.st, pr.active.data(), pr.lower.data(),
               pr.upper.data(), pr.work, failing, pr.A, pr.AS, pr.k);
    EXPECT_EQ(pr.st.status, wf::kBsolveModelFailed);
    EXPECT_EQ(calls, 3);
    EXPECT_EQ(pr.S, s0);
    EXPECT_EQ(pr.st.iteration, 1);
    EXPECT_EQ(pr.b(1), 3.0);
}

// y = p1 x1 + p2 x2 with strongly overlapping columns; the data were made
// with p1 = 0.5, p2 = 2, but p1 may not go below 1. From (1, 1) the
// unconstrained step moves p1 down: the plain search clips it and keeps the
// p2 step that assumed p1 moves too; the bound-aware search freezes p1 and
// gives p2 the step towards the constrained minimum
// p2* = sum(x2 (y - x1)) / sum(x2^2), damped once by 1 / (1 + lambda).
struct BoundCase {
    Problem pr{2, 30};
    double p2star = 0.0;
    explicit BoundCase(bool boundAware) {
        auto x1 = [](int i) { return 1.0 + 0.1 * i; };
        auto x2 = [](int i) { return 1.0 + 0.08 * i + 0.002 * i * i; };
        double num = 0, den = 0;
        for (int i = 1; i <= pr.n; ++i) {
            pr.y(i) = 0.5 * x1(i) + 2.0 * x2(i);
            num += x2(i) * (pr.y(i) - x1(i));
            den += x2(i) * x2(i);
        }
        p2star = num / den;
        pr.f = [x1, x2](const std::vector<double>& p, int i) { return p[0] * x1(i) + p[1] * x2(i); };
        pr.lower[1] = 1.0;
        pr.b(1) = 1.0;
        pr.b(2) = 1.0;
        pr.st.boundAware = boundAware;
        pr.call();  // first call: evaluation only
        pr.call();  // one iteration
    }
};

TEST(Bsolve, BoundAwareStepFreezesAParameterPushedOutOfItsBound) {
    BoundCase aware(true), plain(false);
    const double lambda = static_cast<double>(0.01f) / 10.0;
    EXPECT_EQ(aware.pr.st.frozenAtBound, 1);
    EXPECT_EQ(aware.pr.b(1), 1.0);
    EXPECT_NEAR(aware.pr.b(2), 1.0 + (aware.p2star - 1.0) / (1.0 + lambda), 1e-12);
    // The plain search clips p1 to its bound as well, but its p2 lands far
    // from the constrained minimum, and so does its error estimate.
    EXPECT_EQ(plain.pr.st.frozenAtBound, 0);
    EXPECT_EQ(plain.pr.b(1), 1.0);
    EXPECT_GT(std::fabs(plain.pr.b(2) - aware.p2star), 100.0 * std::fabs(aware.pr.b(2) - aware.p2star));
    EXPECT_LT(aware.pr.S, plain.pr.S);
}

} // namespace
