// The pumped well of the fine model: a well of finite radius with wellbore
// storage and skin against the Laplace-domain solution of Agarwal,
// Al-Hussainy and Ramey (1970), through the whole run sequence (mesh run,
// preparation run, one model run at the guesses); and the well's checks.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>

#include "fem/laplace_inversion.h"
#include "support/pump_test_project.h"
#include "support/temp_dir.h"

namespace wf {
namespace {

using test::PumpTest;
using test::PumpTestResult;
using test::PumpTestRunner;

constexpr double kQ = 1.0e-3;   // abstraction, m3/s
constexpr double kT = 1.0e-3;   // transmissivity, m2/s (K 1e-4 m/s over 10 m)
constexpr double kS = 1.0e-3;   // storativity (Ss 1e-4 1/m over 10 m)
constexpr double kRw = 0.1;     // well radius, m

// A homogeneous aquifer 10 m thick pumped over its whole thickness, read in
// the pumped well only; output times 10 per decade for t_D = T t / (S r_w^2)
// from 10 to 1e7 (0.1 s to 1e5 s); no-flow boundary at 5 km, far beyond the
// radius of influence 1.5 sqrt(T t / S) = 474 m at the last time.
PumpTest wellCase(double rc, double skin) {
    PumpTest c;
    c.thick = 10.0;
    c.ratio = 0.2;
    c.rmax = 5.0e3;
    c.robs = {kRw};
    c.ipos = 3;
    c.ipump = 0;
    c.q = kQ;
    c.scalt = 1.0e-4;
    c.scals = 1.0e-4;
    c.times = test::decadeTimes(10.0 * kS * kRw * kRw / kT, 1.0e7 * kS * kRw * kRw / kT, 10);
    c.fine = true;
    c.wellRadius = kRw;
    c.casingRadius = rc;
    c.skin = skin;
    return c;
}

PumpTestResult simulate(const PumpTest& c) {
    test::TempWorkDir dir;
    PumpTestRunner runner(c);
    PumpTestResult res;
    EXPECT_TRUE(runner.prepare(res)) << (res.boxes.empty() ? "" : res.boxes.front());
    runner.analyse(1, res);
    EXPECT_TRUE(res.boxes.empty()) << (res.boxes.empty() ? "" : res.boxes.front());
    return res;
}

// Reference: s_w = Q / (2 pi T) s_wD(t_D) of Agarwal, Al-Hussainy and Ramey
// (test::wellboreStorageSkinDrawdown), C_D = r_c^2 / (2 S r_w^2). Tolerance
// 1 % at every output time with 10 <= t_D <= 1e7.
void checkWell(double rc, double skin) {
    const PumpTestResult res = simulate(wellCase(rc, skin));
    ASSERT_EQ(res.s.size(), 1u);
    const double CD = rc * rc / (2.0 * kS * kRw * kRw);
    double worst = 0.0;
    int used = 0;
    for (std::size_t i = 1; i < res.t.size(); ++i) {
        const double tD = kT * res.t[i] / (kS * kRw * kRw);
        if (tD < 10.0 * (1.0 - 1e-6) || tD > 1.0e7 * (1.0 + 1e-6)) continue;
        const double ref = kQ / (2.0 * M_PI * kT) * test::wellboreStorageSkinDrawdown(CD, skin, tD);
        worst = std::max(worst, std::abs(res.s[0][i] - ref) / ref);
        ++used;
    }
    std::printf("well r_c %.2f m, Sk %.0f (C_D %.0f): max |s_w - s_ref| / s_ref %.4f over %d times\n", rc, skin, CD,
                worst, used);
    EXPECT_EQ(used, 61);
    EXPECT_LT(worst, 0.01);
}

TEST(FineWell, FiniteRadiusWellFollowsTheLaplaceSolution) { checkWell(0.0, 0.0); }
TEST(FineWell, WellboreStorageFollowsTheLaplaceSolution) { checkWell(0.05, 0.0); }
TEST(FineWell, StorageAndSkinFollowTheLaplaceSolution) { checkWell(0.05, 5.0); }
TEST(FineWell, LargeStorageAndSkinFollowTheLaplaceSolution) { checkWell(0.2, 20.0); }

// The early unit slope: while the casing empties, s_w = Q t / (pi r_c^2)
// (all the water from the casing); at t_D = 10 with C_D = 2000 the formation
// has given less than 1 % (tolerance 2 %).
TEST(FineWell, EarlyDrawdownIsTheCasingEmptying) {
    const PumpTestResult res = simulate(wellCase(0.2, 20.0));
    ASSERT_EQ(res.s.size(), 1u);
    const double t = res.t[1];
    EXPECT_NEAR(res.s[0][1] / (kQ * t / (M_PI * 0.2 * 0.2)), 1.0, 0.02);
}

// The first message of a mesh run that should refuse.
std::string refusal(const PumpTest& c) {
    test::TempWorkDir dir;
    PumpTestRunner runner(c);
    PumpTestResult res;
    EXPECT_FALSE(runner.prepare(res));
    return res.boxes.empty() ? std::string() : res.boxes.front();
}

TEST(FineWell, BadWellInputIsNamed) {
    // The standard model has no well: a point at it is refused.
    PumpTest c = wellCase(0.05, 5.0);
    c.fine = false;
    EXPECT_NE(refusal(c).find("needs the Fine model and a well radius"), std::string::npos);
    c = wellCase(0.05, 5.0);
    c.wellRadius = 0.0;
    c.robs = {1.0};
    c.ipos = 1;
    EXPECT_NE(refusal(c).find("Well radius 0"), std::string::npos);
    c = wellCase(-0.05, 5.0);
    EXPECT_NE(refusal(c).find("Casing radius"), std::string::npos);
    c = wellCase(0.05, -5.0);
    EXPECT_NE(refusal(c).find("Skin factor"), std::string::npos);
    // The point at the well lies at the well radius.
    c = wellCase(0.05, 5.0);
    c.robs = {0.2};
    EXPECT_NE(refusal(c).find("must be the well radius"), std::string::npos);
    // Other points lie beyond it.
    c = wellCase(0.05, 5.0);
    c.robs = {0.05};
    c.ipos = 1;
    EXPECT_NE(refusal(c).find("greater than the well radius"), std::string::npos);
    // A point at the well without a well.
    c = wellCase(0.0, 0.0);
    c.wellRadius = 0.0;
    EXPECT_NE(refusal(c).find("needs the Fine model and a well radius"), std::string::npos);
}

// The standard model has no well: its options, disabled in the dialog
// without Fine model, leave its runs as they are (the same drawdowns).
TEST(FineWell, StandardModelIgnoresTheWell) {
    PumpTest plain = wellCase(0.0, 0.0);
    plain.fine = false;
    plain.wellRadius = 0.0;
    plain.robs = {0.08};  // inside the well radius: no well on the standard mesh
    plain.ipos = 1;
    PumpTest withWell = plain;
    withWell.wellRadius = kRw;
    withWell.casingRadius = 0.05;
    withWell.skin = 5.0;
    const PumpTestResult a = simulate(plain), b = simulate(withWell);
    ASSERT_EQ(a.s.size(), 1u);
    ASSERT_EQ(b.s.size(), 1u);
    EXPECT_EQ(a.s[0], b.s[0]);
}

} // namespace
} // namespace wf
