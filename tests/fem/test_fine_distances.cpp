// The fine model at every observation distance and in every distance unit:
// Theis in a bounded disc from 0.1 m to 1000 m, each problem given in two
// units, and one problem given in mm, cm, m and km. The whole run sequence is
// used (mesh run, preparation run, one model run of the analysis).
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "fem/laplace_inversion.h"
#include "support/pump_test_project.h"
#include "support/temp_dir.h"

namespace wf {
namespace {

using test::PumpTest;
using test::PumpTestResult;
using test::PumpTestRunner;

constexpr double kQ = 1.0e-3;             // abstraction, m3/s
constexpr double kT = 1.0e-3, kS = 1.0e-3;  // K 1e-4 m/s and Ss 1e-4 1/m over 10 m
constexpr double kDisc = 5.0e4;           // no-flow outer boundary (m)

PumpTestResult simulate(const PumpTest& c) {
    test::TempWorkDir dir;
    PumpTestRunner runner(c);
    PumpTestResult res;
    EXPECT_TRUE(runner.prepare(res)) << (res.boxes.empty() ? "" : res.boxes.front());
    if (!res.boxes.empty()) return res;
    runner.analyse(1, res);
    EXPECT_TRUE(res.boxes.empty()) << (res.boxes.empty() ? "" : res.boxes.front());
    return res;
}

// A homogeneous aquifer 10 m thick pumped over its whole thickness, observed
// at robs (m) in the distance unit idist, readings 10 per decade from t0 to
// t1 (s) in the time unit itin.
PumpTest discCase(std::vector<double> robs, int idist, int itin, double t0, double t1) {
    PumpTest c;
    c.thick = 10.0;
    c.ratio = 0.2;
    c.rmax = kDisc;
    c.robs = std::move(robs);
    c.ipump = 0;
    c.q = kQ;
    c.scalt = 1.0e-4;
    c.scals = 1.0e-4;
    c.times = test::decadeTimes(t0, t1, 10);
    c.idist = idist;
    c.itin = itin;
    c.fine = true;
    return c;
}

const char* unitName(int idist) {
    static const char* names[4] = {"mm", "cm", "m", "km"};
    return names[idist - 1];
}

// Reference: Theis in the bounded disc (laplace_inversion.h), inverted by
// Stehfest. Tolerance 1 % for 1e-5 <= u = r^2 S / (4 T t) <= 0.5, at
// r = 0.1, 1, 10, 100 and 1000 m, each in two distance units; readings from
// 0.01 s up to u = 1e-5, when the disc's boundary has long been felt
// (radius of influence 1.5 sqrt(T t / S) = 240 km at 1000 m). At 1000 m
// u = 1e-5 is 2.5e10 s, beyond what seconds hold in the files: there the
// readings in seconds end at 6.3e8 s, and a run in minutes (from 0.01 min)
// goes on to u = 1e-5.
TEST(FineDistances, FineModelFollowsTheisInABoundedDiscAtEveryDistanceAndUnit) {
    struct Case {
        double r;
        int units[2];
        int itin;
        double tMax;  // s
    };
    // 1000 m twice: in seconds from 0.01 s up to 6.3e8 s (u = 4e-4; seconds
    // hold less than 1e9 s), and in minutes on to u = 1e-5.
    const Case cases[] = {{0.1, {1, 3}, 1, 1e30},   {1.0, {2, 4}, 1, 1e30},    {10.0, {3, 4}, 1, 1e30},
                          {100.0, {3, 4}, 1, 1e30}, {1000.0, {3, 4}, 1, 6.0e8}, {1000.0, {3, 4}, 2, 1e30}};
    std::printf("Theis in a disc of 50 km, max |s - s_ref| / s_ref for 1e-5 <= u <= 0.5:\n");
    for (const Case& c : cases) {
        const double tEnd = std::min(c.r * c.r * kS / (4.0 * kT * 1.0e-5), c.tMax);
        const double t0 = c.itin == 1 ? 0.01 : 0.6;
        for (int idist : c.units) {
            SCOPED_TRACE(std::to_string(c.r) + " m in " + unitName(idist));
            const PumpTestResult res = simulate(discCase({c.r}, idist, c.itin, t0, std::min(tEnd * 1.0001, c.tMax)));
            ASSERT_EQ(res.s.size(), 1u);
            double worst = 0.0, late = 0.0;
            int used = 0;
            for (std::size_t i = 1; i < res.t.size(); ++i) {
                const double t = res.t[i], u = c.r * c.r * kS / (4.0 * kT * t);
                if (u > 0.5 || u < 1e-5 * (1.0 - 1e-6)) continue;
                const double ref = test::theisDiscByLaplace(kQ, kT, kS, c.r, kDisc, t);
                const double dev = (res.s[0][i] - ref) / ref;
                worst = std::max(worst, std::abs(dev));
                late = dev;
                ++used;
            }
            std::printf("  r = %6.1f m in %-2s, times in %s: %.4f over %d times, %+.4f at the last\n", c.r,
                        unitName(idist), c.itin == 1 ? "s" : "min", worst, used, late);
            EXPECT_GE(used, 30);  // 4.4 decades of u at 0.1 m (0.01 s to 250 s), 3.3 at 1000 m in seconds
            EXPECT_LT(worst, 0.01);
        }
    }
}

// One problem (observation at 0.1 m and 10 m, a 50 km disc) given in mm, cm,
// m and km: the same mesh in metres, so the same drawdowns to 1e-6 relative
// wherever the drawdown exceeds 1e-6 of its last value (the mesh file's
// eight digits of each coordinate differ from unit to unit).
TEST(FineDistances, OneProblemInEveryDistanceUnitGivesTheSameDrawdowns) {
    std::vector<PumpTestResult> results;
    for (int idist = 1; idist <= 4; ++idist) results.push_back(simulate(discCase({0.1, 10.0}, idist, 1, 0.01, 1.0e7)));
    const PumpTestResult& ref = results[2];  // metres
    ASSERT_EQ(ref.s.size(), 2u);
    double worst = 0.0;
    for (int idist = 1; idist <= 4; ++idist) {
        const PumpTestResult& res = results[static_cast<std::size_t>(idist - 1)];
        ASSERT_EQ(res.s.size(), 2u) << unitName(idist);
        for (std::size_t k = 0; k < 2; ++k) {
            ASSERT_EQ(res.s[k].size(), ref.s[k].size());
            for (std::size_t i = 1; i < ref.s[k].size(); ++i) {
                if (ref.s[k][i] < 1e-6 * ref.s[k].back()) continue;
                const double dev = std::abs(res.s[k][i] / ref.s[k][i] - 1.0);
                worst = std::max(worst, dev);
                EXPECT_LT(dev, 1e-6) << unitName(idist) << " node " << k << " time " << ref.t[i];
            }
        }
    }
    std::printf("Largest relative difference between mm, cm, m and km: %.2e\n", worst);
}

} // namespace
} // namespace wf
