// The fine model inside the optimisation: parameters recovered from drawdowns
// of known origin, and the derivative models of a pass run on any number of
// threads with the same result.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>

#include "fem/well_functions.h"
#include "support/pump_test_project.h"
#include "support/temp_dir.h"

namespace wf {
namespace {

using test::PumpTest;
using test::PumpTestResult;
using test::PumpTestRunner;

// A pumped fracture (ratio 0.2 of 50 m, Kf 1e-4 m/s, Ssf 1e-4 1/m) under a
// leaking, storing matrix (Km 1e-8 m/s, Ssm 1e-5 1/m): the matrix fills in
// b'^2 Ssm / Km = 1.6e6 s, inside the times, so that all four show.
PumpTest leakyCase() {
    PumpTest c;
    c.thick = 50.0;
    c.ratio = 0.2;
    c.rmax = 6.0e4;
    c.robs = {10.0};
    c.ipump = 1;
    c.q = 1.0e-3;
    c.scalt = 1.0e-4;
    c.scals = 1.0e-4;
    c.p[0] = 1.0;
    c.p[1] = 1.0e-4;
    c.p[2] = 1.0;
    c.p[3] = 0.1;
    c.peps = 1e-9;
    c.times = test::decadeTimes(25.0, 2.5e7, 10);
    c.fine = true;
    return c;
}

// Simulated drawdowns of the case at its multipliers.
std::vector<double> drawdowns(const PumpTest& c) {
    test::TempWorkDir dir;
    PumpTestRunner runner(c);
    PumpTestResult res;
    EXPECT_TRUE(runner.prepare(res));
    runner.analyse(1, res);
    EXPECT_TRUE(res.boxes.empty());
    if (res.s.empty()) return {};
    // The first record is the added time 0; the data are the rest.
    return std::vector<double>(res.s[0].begin() + 1, res.s[0].end());
}

// Fits c (its p[] the starting guesses) to data; PINIT back.
PumpTestResult fit(PumpTest c, const std::vector<double>& data) {
    test::TempWorkDir dir;
    c.data = data;
    PumpTestRunner runner(c);
    PumpTestResult res;
    EXPECT_TRUE(runner.prepare(res));
    runner.analyse(0, res);
    return res;
}

// Tf, Tm, Sf, Sm of the multipliers (ICOND m/s: no unit factor).
void expected(const PumpTest& c, double out[4]) {
    const double bf = c.thick * static_cast<double>(static_cast<float>(c.ratio)), bm = c.thick - bf;
    const double scalt = static_cast<float>(c.scalt), scals = static_cast<float>(c.scals);
    out[0] = c.p[0] * scalt * bf;
    out[1] = c.p[1] * scalt * bm;
    out[2] = c.p[2] * scals * bf;
    out[3] = c.p[3] * scals * bm;
}

// Recovery of the fine model's own drawdowns: all four within 1 %.
TEST(FineRecovery, FitsItsOwnDrawdownsWithinOnePercentFromGuessesAway) {
    const PumpTest truth = leakyCase();
    const std::vector<double> data = drawdowns(truth);
    ASSERT_EQ(data.size(), truth.times.size());
    PumpTest start = truth;
    const double factor[4] = {2.5, 0.4, 2.0, 0.5};
    for (int j = 0; j < 4; ++j) {
        start.p[j] = truth.p[j] * factor[j];
        start.lo[j] = truth.p[j] * 1e-3;
        start.hi[j] = truth.p[j] * 1e3;
    }
    const PumpTestResult res = fit(start, data);
    EXPECT_TRUE(res.boxes.empty()) << (res.boxes.empty() ? "" : res.boxes.front());
    double want[4];
    expected(truth, want);
    const double got[4] = {res.pinit.TF, res.pinit.TM, res.pinit.SF, res.pinit.SM};
    std::printf("fine self-recovery after %d passes, %d model runs:", res.passes, res.modelRuns);
    for (int j = 0; j < 4; ++j) std::printf(" %.4g (%.4g)", got[j], want[j]);
    std::printf("\n");
    for (int j = 0; j < 4; ++j) EXPECT_NEAR(got[j] / want[j], 1.0, 0.01) << "parameter " << j;
}

// Theis's drawdowns (T 1e-3 m2/s, S 1e-3 over 10 m, r 10 m, u = 0.5 to 1e-5)
// fitted with all four from guesses 2 to 3 times away: the totals Tf + Tm and
// Sf + Sm within 2 % (a homogeneous aquifer does not tell the layers apart).
PumpTest theisFitCase(std::vector<double>& data) {
    PumpTest c;
    c.thick = 10.0;
    c.ratio = 0.2;
    c.rmax = 6.0e4;
    c.robs = {10.0};
    c.ipump = 0;
    c.q = 1.0e-3;
    c.scalt = 1.0e-4;
    c.scals = 1.0e-4;
    c.times = test::decadeTimes(50.0, 2.5e6, 10);  // u <= 0.5
    c.fine = true;
    data.clear();
    for (double t : c.times) data.push_back(test::theisDrawdown(c.q, 1e-3, 1e-3, 10.0, t));
    const double factor[4] = {2.5, 2.0, 0.4, 0.5};
    for (int j = 0; j < 4; ++j) {
        c.p[j] = factor[j];
        c.lo[j] = 1e-3;
        c.hi[j] = 1e3;
    }
    c.peps = 1e-6;
    return c;
}

TEST(FineRecovery, FitsTheisDrawdownsToTotalsWithinTwoPercent) {
    std::vector<double> data;
    const PumpTestResult res = fit(theisFitCase(data), data);
    EXPECT_TRUE(res.boxes.empty()) << (res.boxes.empty() ? "" : res.boxes.front());
    const double T = res.pinit.TF + res.pinit.TM, S = res.pinit.SF + res.pinit.SM;
    std::printf("fine fit of Theis drawdowns after %d passes: T %.5g (1e-3), S %.5g (1e-3); Tf %.4g Tm %.4g Sf %.4g Sm %.4g\n",
                res.passes, T, S, res.pinit.TF, res.pinit.TM, res.pinit.SF, res.pinit.SM);
    EXPECT_NEAR(T / 1e-3, 1.0, 0.02);
    EXPECT_NEAR(S / 1e-3, 1.0, 0.02);
}

// The derivative models of a pass run concurrently: one thread or several
// give the same fit, to the last bit of PINIT.
TEST(FineRecovery, FitDoesNotDependOnTheNumberOfThreads) {
    std::vector<double> data;
    PumpTest start = theisFitCase(data);
    start.threads = 1;
    const PumpTestResult one = fit(start, data);
    start.threads = 3;
    const PumpTestResult three = fit(start, data);
    EXPECT_GT(one.passes, 2);
    EXPECT_EQ(one.passes, three.passes);
    EXPECT_EQ(one.pinit.TF, three.pinit.TF);
    EXPECT_EQ(one.pinit.TM, three.pinit.TM);
    EXPECT_EQ(one.pinit.SF, three.pinit.SF);
    EXPECT_EQ(one.pinit.SM, three.pinit.SM);
}

} // namespace
} // namespace wf
