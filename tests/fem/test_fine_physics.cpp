// The flow model against analytical solutions, described and fine model side
// by side: Theis for a homogeneous aquifer pumped over its whole thickness,
// and Hantush's leaky aquifer with aquitard storage for a pumped fracture
// layer under a storing matrix. The whole run sequence is used: mesh run,
// preparation run and one model run of the analysis ("Fixed time").
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "fem/well_functions.h"
#include "support/pump_test_project.h"
#include "support/temp_dir.h"

namespace wf {
namespace {

using test::PumpTest;
using test::PumpTestResult;
using test::PumpTestRunner;

constexpr double kQ = 1.0e-3;  // abstraction, m3/s

// Runs the test case and returns the drawdowns of each observation node.
PumpTestResult simulate(const PumpTest& c) {
    test::TempWorkDir dir;
    PumpTestRunner runner(c);
    PumpTestResult res;
    EXPECT_TRUE(runner.prepare(res)) << (res.boxes.empty() ? "" : res.boxes.front());
    runner.analyse(1, res);
    EXPECT_TRUE(res.boxes.empty()) << (res.boxes.empty() ? "" : res.boxes.front());
    return res;
}

// Largest relative deviation over the output times (index 1.. skips time 0)
// whose u = r^2 S / (4 T t) lies in [1e-5, uMax].
template <class Ref>
double worstDeviation(const PumpTestResult& res, std::size_t k, double r, double S, double T, double uMax, Ref ref,
                      int& used) {
    double worst = 0.0;
    used = 0;
    for (std::size_t i = 1; i < res.t.size(); ++i) {
        const double t = res.t[i], u = r * r * S / (4.0 * T * t);
        if (u > uMax || u < 1e-5 * (1.0 - 1e-9)) continue;
        const double s0 = ref(r, t);
        worst = std::max(worst, std::abs(res.s[k][i] - s0) / s0);
        if (std::getenv("WF_FINE_TRACE")) std::printf("  k %zu u %.3e t %.4e s %.6e ref %.6e err %+.4f\n", k, u, t, res.s[k][i], s0, (res.s[k][i] - s0) / s0);
        ++used;
    }
    return worst;
}

// Theis: K 1e-4 m/s over 10 m (T 1e-3 m2/s), Ss 1e-4 1/m (S 1e-3); u = 1 at
// r = 1 m is t = 0.25 s, u = 1e-5 at r = 100 m is t = 2.5e8 s; output times
// 10 per decade over that range; no-flow boundary at 60 km, beyond the
// radius of influence 1.5 sqrt(T t / S) = 24 km at the last time (and within
// the 25 columns of the described mesh).
PumpTest theisCase(bool fine) {
    PumpTest c;
    c.thick = 10.0;
    c.ratio = 0.2;
    c.rmax = 6.0e4;
    c.robs = {1.0, 10.0, 100.0};
    c.ipump = 0;
    c.q = kQ;
    c.scalt = 1.0e-4;
    c.scals = 1.0e-4;
    c.times = test::decadeTimes(0.25, 2.5e8, 10);
    c.fine = fine;
    return c;
}

// Reference: Theis, s = Q / (4 pi T) W(u). Tolerance 1 % for u <= 0.5.
TEST(FinePhysics, FineModelFollowsTheisWithinOnePercent) {
    const double T = 1.0e-3, S = 1.0e-3;
    const PumpTestResult fine = simulate(theisCase(true));
    const PumpTestResult coarse = simulate(theisCase(false));
    ASSERT_EQ(fine.s.size(), 3u);
    ASSERT_EQ(coarse.s.size(), 3u);
    auto theis = [&](double r, double t) { return test::theisDrawdown(kQ, T, S, r, t); };
    const double radii[3] = {1.0, 10.0, 100.0};
    std::printf("Theis, max |s - s_Theis| / s_Theis for 1e-5 <= u <= 0.5 (u <= 1):\n");
    for (std::size_t k = 0; k < 3; ++k) {
        int used = 0, usedAll = 0;
        const double devFine = worstDeviation(fine, k, radii[k], S, T, 0.5, theis, used);
        const double devFineAll = worstDeviation(fine, k, radii[k], S, T, 1.0, theis, usedAll);
        const double devCoarse = worstDeviation(coarse, k, radii[k], S, T, 0.5, theis, used);
        const double devCoarseAll = worstDeviation(coarse, k, radii[k], S, T, 1.0, theis, usedAll);
        std::printf("  r = %5.0f m: described %.4f (%.4f), fine %.4f (%.4f) over %d times\n", radii[k], devCoarse,
                    devCoarseAll, devFine, devFineAll, used);
        EXPECT_GE(used, 45);
        EXPECT_LT(devFine, 0.01) << "r = " << radii[k];
    }
}

} // namespace
} // namespace wf
