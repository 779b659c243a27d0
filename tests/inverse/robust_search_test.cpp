// The parts of the robust search: the design of the starts, the log-space
// trust-region search on an analytic model, the runs test and the log-space
// intervals of the report, and the search inside the analysis (threads,
// held parameters, bad guesses).
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <set>

#include "inverse/fit_report.h"
#include "inverse/log_trust_region.h"
#include "inverse/multi_start.h"
#include "inverse/fit_statistics.h"
#include "robust_fixture.h"

namespace wfinv {
namespace {

TEST(StartDesign, GuessFirstThenADecadeEitherSideInDistinctStrata) {
    const std::vector<double> ln0{std::log(2.0), std::log(0.3), 0.0, std::log(50.0)};
    const std::vector<int> free{0, 1, 3};
    const std::vector<double> lo(4, -100.0), hi(4, 100.0);
    const auto z = wf::startDesign(ln0, free, lo, hi, 8);
    ASSERT_EQ(z.size(), 8u);
    EXPECT_EQ(z[0], ln0);
    const double decade = std::log(10.0);
    for (std::size_t c = 0; c < free.size(); ++c) {
        // The shifted van der Corput points 1..7 of the first coordinate
        // (base 2) fall in 7 different eighths of the two decades, those of
        // the second (base 3) in 7 different ninths.
        std::set<int> cells;
        const double parts = c == 0 ? 8.0 : 9.0;
        for (std::size_t s = 1; s < 8; ++s) {
            const double u = (z[s][static_cast<std::size_t>(free[c])] - ln0[static_cast<std::size_t>(free[c])]) / decade;
            EXPECT_GE(u, -1.0);
            EXPECT_LE(u, 1.0);
            cells.insert(static_cast<int>(std::floor((u + 1.0) / 2.0 * parts)));
        }
        if (c < 2) {
            EXPECT_EQ(cells.size(), 7u) << "coordinate " << c;
        }
    }
    for (std::size_t s = 1; s < 8; ++s) EXPECT_EQ(z[s][2], 0.0);  // a held unknown stays put
    EXPECT_EQ(wf::startDesign(ln0, free, lo, hi, 8), z);           // fixed seed: the same starts every run
    // Clipped to the bounds.
    const std::vector<double> tight(4, std::log(2.0) + 0.1);
    const auto clipped = wf::startDesign(ln0, free, lo, tight, 8);
    for (std::size_t s = 1; s < 8; ++s)
        for (int j : free) EXPECT_LE(clipped[s][static_cast<std::size_t>(j)], tight[0]);
}

// f(t) = A exp(-t / tau): an analytic model for the search alone.
wf::LogSearchProblem decayProblem(double A, double tau) {
    wf::LogSearchProblem pr;
    pr.k = 2;
    pr.n = 20;
    pr.first = 1;
    std::vector<double> t;
    for (int i = 0; i < pr.n; ++i) t.push_back(0.5 * (i + 1));
    for (double ti : t) pr.y.push_back(A * std::exp(-ti / tau));
    pr.free = {0, 1};
    pr.x0 = {1.0, 1.0};
    pr.lo = {std::log(1e-3), std::log(1e-3)};
    pr.hi = {std::log(1e3), std::log(1e3)};
    pr.model = [t](int count, const double* const* x, double* const* f) {
        for (int c = 0; c < count; ++c)
            for (std::size_t i = 0; i < t.size(); ++i) f[c][i] = x[c][0] * std::exp(-t[i] / x[c][1]);
        return true;
    };
    return pr;
}

TEST(LogTrustRegion, RecoversAnExactDecayFromAFactorOfTenAway) {
    // Zero-residual problem: every start ends at A = 2, tau = 5 (relative 1e-6).
    const wf::LogSearchProblem pr = decayProblem(2.0, 5.0);
    std::vector<wf::LogStart> starts(4);
    const double from[4][2] = {{0.2, 0.5}, {20.0, 50.0}, {0.2, 50.0}, {20.0, 0.5}};
    for (int s = 0; s < 4; ++s) starts[static_cast<std::size_t>(s)].z = {std::log(from[s][0]), std::log(from[s][1])};
    ASSERT_TRUE(wf::runLogStarts(pr, starts));
    for (const wf::LogStart& s : starts) {
        const std::vector<double> x = wf::logStartPoint(pr, s.z);
        EXPECT_NEAR(x[0], 2.0, 2e-6);
        EXPECT_NEAR(x[1], 5.0, 5e-6);
        EXPECT_TRUE(s.ending == WF_START_CONVERGED_GRADIENT || s.ending == WF_START_CONVERGED_STEP) << s.ending;
        EXPECT_LT(s.passes, 60);
    }
}

TEST(LogTrustRegion, EndsOnABoundByProjectionNotAtTheStart) {
    // The amplitude may not exceed 1.5: the search ends on that bound with
    // tau free at its best value for A = 1.5; the start is not frozen there.
    wf::LogSearchProblem pr = decayProblem(2.0, 5.0);
    pr.hi[0] = std::log(1.5);
    std::vector<wf::LogStart> starts(1);
    starts[0].z = {std::log(0.3), std::log(1.0)};
    ASSERT_TRUE(wf::runLogStarts(pr, starts));
    EXPECT_EQ(starts[0].z[0], pr.hi[0]);
    EXPECT_EQ(starts[0].ending, WF_START_CONVERGED_GRADIENT);
    // tau moved well away from its start towards the unbounded answer.
    EXPECT_GT(std::exp(starts[0].z[1]), 5.0);
}

TEST(LogTrustRegion, PassLimitIsReportedAsSuch) {
    wf::LogSearchProblem pr = decayProblem(2.0, 5.0);
    pr.settings.maxPasses = 2;
    std::vector<wf::LogStart> starts(1);
    starts[0].z = {std::log(0.02), std::log(300.0)};
    ASSERT_TRUE(wf::runLogStarts(pr, starts));
    EXPECT_EQ(starts[0].ending, WF_START_PASS_LIMIT);
    EXPECT_EQ(starts[0].passes, 2);
}

TEST(SignRunsTest, CountsRunsAndStandardisesThem) {
    // + + - - +: 3 runs; n+ 3, n- 2: expected 1 + 12/5 = 3.4,
    // variance 12 (12 - 5) / (25 x 4) = 0.84; zeros do not count.
    int runs = 0;
    double expected = 0, z = 0;
    wf::signRunsTest({1.0, 2.0, 0.0, -1.0, -3.0, 0.5}, runs, expected, z);
    EXPECT_EQ(runs, 3);
    EXPECT_DOUBLE_EQ(expected, 3.4);
    EXPECT_DOUBLE_EQ(z, (3.0 - 3.4) / std::sqrt(0.84));
    // A curve the model misses: one long run of each sign.
    std::vector<double> r;
    for (int i = 0; i < 40; ++i) r.push_back(i < 20 ? 1.0 : -1.0);
    wf::signRunsTest(r, runs, expected, z);
    EXPECT_EQ(runs, 2);
    EXPECT_LT(z, -3.0);
    // One sign only: no test.
    wf::signRunsTest({1.0, 2.0, 3.0}, runs, expected, z);
    EXPECT_TRUE(std::isnan(z));
}

TEST(FitReportLogIntervals, AreExpOfLnValueMinusPlusTSeOverValue) {
    // One unknown with J = 1 everywhere: se = sqrt(S / (m - 1) / m).
    wf::FitProblem pr;
    pr.p = 1;
    pr.names = {"TF"};
    pr.r = {0.1, -0.2, 0.15, -0.05, 0.3, -0.1};
    pr.J.assign(6, 1.0);
    pr.G[0][0] = 1.0;
    pr.values[0] = 0.05;
    pr.estimated[0] = true;
    pr.held[1] = pr.held[2] = pr.held[3] = true;
    WfFitReport rep;
    std::string verdict;
    wf::buildFitReport(pr, wf::FitRunFacts{}, "m2/day", rep, verdict);
    const WfFitParameter& q = rep.parameters[0];
    const double t = wf::studentT975(5);
    EXPECT_EQ(q.logLow95, 0.05 * std::exp(-t * q.standardError / 0.05));
    EXPECT_EQ(q.logHigh95, 0.05 * std::exp(t * q.standardError / 0.05));
    EXPECT_LT(q.low95, 0.0);  // the linear interval goes below zero,
    EXPECT_GT(q.logLow95, 0.0);  // the log-space one does not
    EXPECT_TRUE(std::isnan(rep.parameters[1].logLow95));  // held
}

TEST(FitVerdictStarts, WarnsWhenOneStartReachedTheBestOrAnotherAnswerFitsAsWell) {
    WfFitReport rep{};
    rep.unknowns = 1;
    rep.residuals = 10;
    std::strcpy(rep.names[0], "TF");
    rep.parameters[0] = {100.0, 1.0, 98.0, 102.0, 98.0, 102.0, 1, 0, 0, 0};
    rep.errorEstimate = 1.0;
    rep.runsZ = NAN;
    rep.startCount = 3;
    rep.startsAtBest = 2;
    rep.starts[0] = {1.0, {100.0, 0, 0, 0}, 5, WF_START_CONVERGED_GRADIENT};
    rep.starts[1] = {1.0005, {100.01, 0, 0, 0}, 5, WF_START_CONVERGED_GRADIENT};
    rep.starts[2] = {2.0, {300.0, 0, 0, 0}, 5, WF_START_CONVERGED_GRADIENT};
    EXPECT_EQ(wf::fitVerdict(rep, "m2/day").find("single out"), std::string::npos);
    EXPECT_EQ(wf::fitVerdict(rep, "m2/day").find("Only one of"), std::string::npos);
    rep.starts[2].errorEstimate = 1.08;  // within 10 % at a value three times the best
    EXPECT_NE(wf::fitVerdict(rep, "m2/day").find("The data do not single out one answer: 1 start"), std::string::npos);
    rep.startsAtBest = 1;
    EXPECT_NE(wf::fitVerdict(rep, "m2/day").find("Only one of the 3 starts reached"), std::string::npos);
    rep.runsZ = -4.0;
    EXPECT_NE(wf::fitVerdict(rep, "m2/day").find("systematic misfit: the model does not follow the shape of the data"),
              std::string::npos);
}

// The robust search inside the analysis, on the fine model.
TEST_F(FineRobustProject, ResultDoesNotDependOnTheNumberOfThreads) {
    options.oneAquifer = 1;
    options.starts = 4;
    const double P0[4] = {kKorendijkK * 3, kKorendijkK * 3, kKorendijkSs / 3, kKorendijkSs / 3};
    rs.options.threads = 1;
    fit(P0);
    const WfFitReport one = report;
    const PINIT onePinit = pinit;
    ASSERT_EQ(one.valid, 1);
    EXPECT_EQ(one.startCount, 4);
    rs.options.threads = 3;
    fit(P0);
    EXPECT_EQ(std::memcmp(&one, &report, sizeof report), 0);
    EXPECT_EQ(std::memcmp(&onePinit, &pinit, sizeof pinit), 0);
}

TEST_F(FineRobustProject, HeldParametersComeBackExactlyAtTheirGuesses) {
    options.hold[WF_PARAM_TM] = options.hold[WF_PARAM_SM] = 1;
    options.starts = 3;
    const double P0[4] = {kKorendijkK * 2, 40.0, kKorendijkSs / 2, 0.3};
    fit(P0);
    ASSERT_EQ(report.valid, 1);
    // The result file's multipliers (1pe16.8) are the guesses to the digit.
    const std::string res = readFile(dir / "TEST.res");
    EXPECT_NE(res.find("  Multiplier 2:   4.00000000E+01"), std::string::npos) << res;
    EXPECT_NE(res.find("  Multiplier 4:   3.00000000E-01"), std::string::npos) << res;
    EXPECT_EQ(report.parameters[WF_PARAM_TM].held, 1);
    for (int s = 0; s < report.startCount; ++s) {
        EXPECT_EQ(report.starts[s].parameters[WF_PARAM_TM], report.parameters[WF_PARAM_TM].value);
        EXPECT_EQ(report.starts[s].parameters[WF_PARAM_SM], report.parameters[WF_PARAM_SM].value);
    }
}

// One aquifer with SF held: both layers share one storage, the
// thickness-weighted mean of the guesses (0.2 x 0.5 + 0.8 x 0.25 = 0.3),
// and the verdict does not call that value the guess.
TEST_F(RobustProject, OneAquiferHoldsThePairAtTheMeanOfTheGuessesAndSaysSo) {
    options.oneAquifer = 1;
    options.hold[WF_PARAM_SF] = 1;
    options.starts = 2;
    const double P0[4] = {kKorendijkK, kKorendijkK, 0.5, 0.25};
    fit(P0);
    ASSERT_EQ(report.valid, 1);
    const std::string res = readFile(dir / "TEST.res");
    EXPECT_NE(res.find("  Multiplier 3:   3.00000000E-01"), std::string::npos) << res;
    EXPECT_NE(res.find("  Multiplier 4:   3.00000000E-01"), std::string::npos) << res;
    EXPECT_NE(rs.inv.verdict.find("Held at the thickness-weighted mean of the layers' guesses: SF and SM."),
              std::string::npos)
        << rs.inv.verdict;
}

TEST_F(RobustProject, RefusesANonPositiveGuessNamingIt) {
    const double P0[4] = {kKorendijkK, 0.0, kKorendijkSs, kKorendijkSs};
    fit(P0);
    EXPECT_EQ(errors(), " Robust search: the guess of TM must be positive (it is 0)\n");
    EXPECT_EQ(report.valid, 0);
}

TEST_F(RobustProject, ReportNamesTheSearchAndEveryStart) {
    options.oneAquifer = 1;
    options.starts = 3;
    const double P0[4] = {kKorendijkK, kKorendijkK, kKorendijkSs, kKorendijkSs};
    fit(P0);
    ASSERT_EQ(report.valid, 1);
    EXPECT_EQ(report.search, WF_SEARCH_ROBUST);
    EXPECT_EQ(report.startCount, 3);
    EXPECT_GE(report.startsAtBest, 1);
    for (int s = 0; s < 3; ++s) {
        EXPECT_GE(report.starts[s].errorEstimate, report.errorEstimate * (1 - 1e-9));
        EXPECT_GT(report.starts[s].passes, 0);
    }
    const std::string fit = readFile(dir / "TEST.fit");
    EXPECT_NE(fit.find("Search: robust"), std::string::npos);
    EXPECT_NE(fit.find("Robust search: 3 starts"), std::string::npos);
    EXPECT_NE(fit.find("Runs test of the residuals' signs"), std::string::npos);
    // The pass's result file holds the reported end point.
    EXPECT_NE(readFile(dir / "TEST.res").find("Iterations"), std::string::npos);
}

} // namespace
} // namespace wfinv

namespace wfinv {
namespace {

// Four free parameters: starts 2 and 3 are the layer splits of a one-aquifer
// fit, and the report says where they came from. The fracture split of the
// Oude Korendijk data ends in the valley with the transmissivity in the
// fracture layer, the matrix split in the one with it in the matrix.
TEST_F(FineRobustProject, FourParametersStartTwoAndThreeFromTheLayerSplits) {
    options.starts = 3;
    const double P0[4] = {kKorendijkK, kKorendijkK, kKorendijkSs, kKorendijkSs};
    fit(P0);
    ASSERT_EQ(report.valid, 1);
    ASSERT_EQ(report.startCount, 3);
    EXPECT_GT(report.starts[1].parameters[0], 100.0 * report.starts[1].parameters[1]);  // TF >> TM
    EXPECT_GT(report.starts[2].parameters[1], 100.0 * report.starts[2].parameters[0]);  // TM >> TF
    const std::string text = readFile(dir / "TEST.fit");
    EXPECT_NE(text.find("Starts 2 and 3 begin from a fit of one aquifer (T = "), std::string::npos) << text;
    EXPECT_NE(text.find("with 99 % of its transmissivity in the fracture layer and in the matrix."),
              std::string::npos);
    // One aquifer has no split to make.
    options.oneAquifer = 1;
    fit(P0);
    EXPECT_EQ(readFile(dir / "TEST.fit").find("Starts 2 and 3 begin"), std::string::npos);
}

} // namespace
} // namespace wfinv
