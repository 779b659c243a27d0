// The flow model against analytical solutions, standard and fine model side
// by side: Theis for a homogeneous aquifer pumped over its whole thickness,
// and Hantush's leaky aquifer with aquitard storage for a pumped fracture
// layer under a storing matrix. The whole run sequence is used: mesh run,
// preparation run and one model run of the analysis ("Fixed time").
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "fem/laplace_inversion.h"
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
// the 25 columns of the standard mesh).
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
        std::printf("  r = %5.0f m: standard %.4f (%.4f), fine %.4f (%.4f) over %d times\n", radii[k], devCoarse,
                    devCoarseAll, devFine, devFineAll, used);
        EXPECT_GE(used, 45);
        EXPECT_LT(devFine, 0.01) << "r = " << radii[k];
    }
}

} // namespace
} // namespace wf

namespace wf {
namespace {

// The inversion reproduces Theis's closed form for u <= 0.5: the reference of
// the leaky test below is as good as this (tolerance 2e-4).
TEST(FinePhysics, StehfestInversionReproducesTheis) {
    for (double t : {50.0, 200.0, 1.0e3, 1.0e5, 1.0e7}) {
        const double ref = test::theisDrawdown(kQ, 1e-3, 1e-3, 10.0, t);
        EXPECT_NEAR(test::theisByLaplace(kQ, 1e-3, 1e-3, 10.0, t) / ref, 1.0, 2e-4) << t;
    }
}

// Hantush with aquitard storage: a fracture layer pumped over its thickness
// (T 1e-3 m2/s, S 1e-3 over 50 m * ratio), the matrix above it the storing,
// leaking aquitard (K' 1e-9 m/s, S's 1e-4 1/m, impermeable top). The model's
// matrix also conducts horizontally (T_m / T below 5e-5) and its fracture
// has a vertical resistance, both neglected by the solution. Tolerance 1 %
// for 1e-5 <= u <= 0.5 at 1, 10 and 100 m.
PumpTest hantushCase(double ratio, bool fine) {
    PumpTest c;
    c.thick = 50.0;
    c.ratio = ratio;
    c.rmax = 6.0e4;
    c.robs = {1.0, 10.0, 100.0};
    c.ipump = 1;
    c.q = kQ;
    const double bf = static_cast<double>(static_cast<float>(ratio)) * 50.0;
    c.scalt = 1.0e-9;
    c.scals = 1.0e-4;
    c.p[0] = 1.0e-3 / bf / c.scalt;  // Kf = T / bf
    c.p[1] = 1.0;                     // Km = 1e-9 m/s
    c.p[2] = 1.0e-3 / bf / c.scals;   // Ssf = S / bf
    c.p[3] = 1.0;                     // Ssm = 1e-4 1/m
    for (int j = 0; j < 4; ++j) c.hi[j] = 1e9;
    c.times = test::decadeTimes(0.25, 2.5e8, 10);
    c.fine = fine;
    // The uniform rows of the standard mesh leave a 5 % fracture one row:
    // the standard model is then run on its graded rows.
    c.meshType = ratio < 0.1 ? 1 : 0;
    return c;
}

void checkHantush(double ratio) {
    const double T = 1.0e-3, S = 1.0e-3, bf = static_cast<double>(static_cast<float>(ratio)) * 50.0;
    const PumpTestResult fine = simulate(hantushCase(ratio, true));
    const PumpTestResult coarse = simulate(hantushCase(ratio, false));
    ASSERT_EQ(fine.s.size(), 3u);
    ASSERT_EQ(coarse.s.size(), 3u);
    auto hantush = [&](double r, double t) {
        return test::hantushAquitardStorage(kQ, T, S, 1.0e-9, 1.0e-4, 50.0 - bf, r, t);
    };
    const double radii[3] = {1.0, 10.0, 100.0};
    std::printf("Hantush with aquitard storage, ratio %.2f, max |s - s_H| / s_H for 1e-5 <= u <= 0.5 (u <= 1)%s:\n",
                ratio, ratio < 0.1 ? ", standard on graded rows" : "");
    for (std::size_t k = 0; k < 3; ++k) {
        int used = 0, usedAll = 0;
        const double devFine = worstDeviation(fine, k, radii[k], S, T, 0.5, hantush, used);
        const double devFineAll = worstDeviation(fine, k, radii[k], S, T, 1.0, hantush, usedAll);
        const double devCoarse = worstDeviation(coarse, k, radii[k], S, T, 0.5, hantush, used);
        const double devCoarseAll = worstDeviation(coarse, k, radii[k], S, T, 1.0, hantush, usedAll);
        // How far the leakage takes the drawdown from Theis at the last time.
        const double tLast = fine.t.back();
        const double leak = 1.0 - hantush(radii[k], tLast) / test::theisDrawdown(kQ, T, S, radii[k], tLast);
        std::printf("  r = %5.0f m: standard %.4f (%.4f), fine %.4f (%.4f) over %d times; below Theis by %.2f at the end\n",
                    radii[k], devCoarse, devCoarseAll, devFine, devFineAll, used, leak);
        EXPECT_GE(used, 45);
        EXPECT_GT(leak, 0.05) << "the case must leak noticeably";
        EXPECT_LT(devFine, 0.01) << "r = " << radii[k];
    }
}

TEST(FinePhysics, FineModelFollowsHantushWithinOnePercentAtRatio02) { checkHantush(0.2); }
TEST(FinePhysics, FineModelFollowsHantushWithinOnePercentAtRatio005) { checkHantush(0.05); }

} // namespace
} // namespace wf
