// The fine model's solver against the standard assembly and band solver on
// the same mesh, and its refusal of input it is not built for.
#include <gtest/gtest.h>

#include <cmath>
#include <sstream>
#include <string>
#include <utility>

#include "fine/fine_model.h"
#include "fem/model_driver.h"
#include "fem/model_fixture.h"
#include "support/recording_host.h"
#include "support/temp_dir.h"

namespace wf {
namespace {

using test::RadialModel;
using test::RunArrays;

constexpr double kK = 1.0e-4, kSs = 1.0e-5;

// A two-layer section: fracture rows 1-3 (multipliers 1, storage 1), matrix
// rows 4-6 conducting 100 times less and storing 10 times more; the fracture
// pumped; heads held on the outer column.
RadialModel layeredModel() {
    RadialModel m;
    m.r = test::geometricRadii(0.1, 1.3, 2000.0);
    m.z = {0.0, 1.0, 2.0, 3.0, 5.0, 8.0, 12.0};
    m.nzf = 3;
    m.pumpFirstRow = 1;
    m.pumpLastRow = 3;
    m.constantHead = true;
    m.obsNodes = {m.node(12, 2), m.node(20, 5)};
    return m;
}

struct StepRun {
    bool ok = false;
    bool fineBuilt = false;
    std::string boxes;
    std::vector<std::vector<double>> s;  // per observation node
};

StepRun runModel(const RadialModel& model, const std::vector<double>& times, bool fine,
                 const double (&P)[4] = {1.0, 0.01, 1.0, 10.0}) {
    test::TempWorkDir dir;
    dir.write("MODEL.fem", model.femText());
    dir.write("MODEL.tim", model.timText());
    RunState rs;
    test::RecordingHost host;
    rs.rep.setHost(host.host());
    test::prepareRun(rs, model, kK, kSs, static_cast<int>(times.size()));
    rs.in.NR = model.NR();
    rs.in.NZ = model.NZ();
    rs.options.fineModel = fine;
    std::ostringstream listing;  // the solution listing of every 999th step
    rs.fem.listing = &listing;
    const int nobs = static_cast<int>(model.obsNodes.size());
    RunArrays a(nobs, times);
    StepRun res;
    res.ok = AQFESUB(rs, P, a.sim, a.obs, a.times, wf::steppingOf(rs));
    res.fineBuilt = rs.fem.fine != nullptr;
    for (const auto& b : host.boxes) res.boxes += b.text + "\n";
    res.s.resize(static_cast<std::size_t>(nobs));
    for (int k = 1; k <= nobs; ++k)
        for (std::size_t i = 1; i <= times.size(); ++i) res.s[k - 1].push_back(a.sim(k, static_cast<int>(i)));
    return res;
}

// The standard stepping with 200 output times inside every output interval
// (one implicit step each) converges to the same semi-discrete solution as the
// fine stepping: both agree within 0.3 % (the remaining time-step error of
// the standard steps) at every output time once the drawdown there exceeds
// 5 % of its final value, in the fracture and in the matrix.
TEST(FineStepping, RadialModesSolveTheSameSystemAsTheBandSolver) {
    const RadialModel model = layeredModel();
    const std::vector<double> times = test::logTimes(10.0, 1.0e6, 21);
    // Standard: 100 log-spaced steps up to the first output time, then 200
    // equal steps per output interval.
    std::vector<double> dense = test::logTimes(1.0e-3, times[0], 101);
    std::vector<std::size_t> at{dense.size() - 1};
    for (std::size_t i = 1; i < times.size(); ++i) {
        for (int k = 1; k <= 200; ++k) dense.push_back(times[i - 1] + (times[i] - times[i - 1]) * k / 200.0);
        at.push_back(dense.size() - 1);
    }
    const StepRun fine = runModel(model, times, true);
    const StepRun standard = runModel(model, dense, false);
    ASSERT_TRUE(fine.ok && standard.ok);
    ASSERT_TRUE(fine.fineBuilt);
    int compared = 0;
    for (std::size_t k = 0; k < 2; ++k)
        for (std::size_t i = 1; i < times.size(); ++i) {
            const double ref = standard.s[k][at[i]];
            if (ref < 0.05 * standard.s[k].back()) continue;  // the cone has hardly arrived yet
            EXPECT_NEAR(fine.s[k][i] / ref, 1.0, 3e-3) << "node " << k << " time " << times[i];
            ++compared;
        }
    EXPECT_GT(compared, 30);
}

// Input the fine solver is not built for is refused with the reason; it is
// never run on the standard stepping instead (which would fit another model
// without a word). The standard model still runs the same input.
TEST(FineStepping, OtherInputIsRefusedWithTheReason) {
    const std::vector<double> times = test::logTimes(10.0, 1.0e5, 11);
    RadialModel dry = layeredModel();
    dry.baseLevels.assign(static_cast<std::size_t>(dry.NN()), -100.0);
    const std::pair<RadialModel, const char*> cases[] = {{dry, "it tests for dry nodes"}};
    for (const auto& [m, reason] : cases) {
        const StepRun fine = runModel(m, times, true);
        EXPECT_FALSE(fine.ok) << reason;
        EXPECT_FALSE(fine.fineBuilt) << reason;
        EXPECT_NE(fine.boxes.find("The fine model cannot be built for the model input of MODEL.fem and MODEL.tim: " +
                                  std::string(reason)),
                  std::string::npos)
            << fine.boxes;
        const StepRun standard = runModel(m, times, false);
        EXPECT_TRUE(standard.ok) << standard.boxes;
        EXPECT_GT(standard.s[0].back(), 0.0) << reason;
    }
}

// Mass balance with a no-flow outer boundary: at late time (the cone has
// filled the whole section, 2000 m at K / Ss = 10 m2/s after about 4e5 s)
// every pumped cubic metre has come out of storage, so the volume pumped per
// radian, sum of the node rates times t, equals the change of storage
// integral S s r dr dz over the bilinear drawdowns (2 x 2 Gauss points per
// cell: exact for them), to 1e-6. A constant mode whose eigenvalue is not
// exactly 0 would lose about lambda_0 K / Ss t of the volume.
TEST(FineStepping, PumpedVolumeEqualsTheChangeOfStorageAtLateTime) {
    RadialModel model = layeredModel();
    model.constantHead = false;
    const std::vector<double> times = test::logTimes(10.0, 2.0e8, 16);
    test::TempWorkDir dir;
    dir.write("MODEL.fem", model.femText());
    dir.write("MODEL.tim", model.timText());
    RunState rs;
    test::RecordingHost host;
    rs.rep.setHost(host.host());
    test::prepareRun(rs, model, kK, kSs, static_cast<int>(times.size()));
    rs.in.NR = model.NR();
    rs.in.NZ = model.NZ();
    rs.options.fineModel = true;
    std::ostringstream listing;
    rs.fem.listing = &listing;
    RunArrays a(static_cast<int>(model.obsNodes.size()), times);
    const double P[4] = {1.0, 0.01, 1.0, 10.0};
    ASSERT_TRUE(AQFESUB(rs, P, a.sim, a.obs, a.times, wf::steppingOf(rs)));
    ASSERT_TRUE(rs.fem.fine);
    const fine::FineModel& fm = *rs.fem.fine;
    EXPECT_EQ(fm.n, fm.NR);
    EXPECT_EQ(fm.lambda[0], 0.0);
    for (int i = 1; i < fm.NR; ++i) EXPECT_EQ(fm.V[static_cast<std::size_t>(i) * fm.n], fm.V[0]);

    const double tEnd = times.back();
    double pumped = 0.0;  // per radian (m3)
    for (const auto& src : fm.sources) pumped -= src.rate.back() * tEnd;
    ASSERT_GT(pumped, 0.0);
    const int NR = model.NR();
    auto drawdown = [&](int i, int j) { return model.h0 - rs.model.HNEW(j * NR + i + 1); };
    const double g = 0.5 / std::sqrt(3.0);
    double stored = 0.0;
    for (int j = 0; j + 1 < model.NZ(); ++j) {
        // Storage linear between the node rows' materials (rows 1..nzf
        // fracture, multiplier 1; matrix 10), as the nodal materials give it.
        const double s1 = kSs * (j + 1 <= model.nzf ? P[2] : P[3]), s2 = kSs * (j + 2 <= model.nzf ? P[2] : P[3]);
        const double hz = model.z[j + 1] - model.z[j];
        for (int i = 0; i + 1 < NR; ++i) {
            const double hr = model.r[i + 1] - model.r[i];
            for (double a1 : {0.5 - g, 0.5 + g})
                for (double b1 : {0.5 - g, 0.5 + g}) {
                    const double s = (1 - a1) * (1 - b1) * drawdown(i, j) + a1 * (1 - b1) * drawdown(i + 1, j) +
                                     a1 * b1 * drawdown(i + 1, j + 1) + (1 - a1) * b1 * drawdown(i, j + 1);
                    stored += 0.25 * hr * hz * ((1 - b1) * s1 + b1 * s2) * (model.r[i] + a1 * hr) * s;
                }
        }
    }
    EXPECT_NEAR(stored / pumped, 1.0, 1e-6) << "pumped " << pumped << " stored " << stored;
}

// Multipliers that make the system indefinite (a negative storage) stop the
// run with the pivot message, as the standard solver does; no values.
TEST(FineStepping, NegativeStorageIsReportedAsABadPivot) {
    const StepRun run = runModel(layeredModel(), test::logTimes(10.0, 1.0e5, 11), true, {1.0, 0.01, -1.0, 10.0});
    EXPECT_FALSE(run.ok);
    EXPECT_NE(run.boxes.find("Zero or negative pivot in the flow equations at time"), std::string::npos) << run.boxes;
}

} // namespace
} // namespace wf

#include "fine/fine_eigen.h"

namespace wf {
namespace {

// Eigenpairs of a symmetric matrix: A v = lambda v to rounding, the vectors
// orthonormal, the values ascending; checked on a matrix with a known
// spectrum (the second-difference matrix, lambda_k = 2 - 2 cos(k pi / (n + 1)))
// and on a dense one.
TEST(FineEigen, SymmetricEigenpairs) {
    const int n = 12;
    std::vector<double> a(n * n, 0.0);
    for (int i = 0; i < n; ++i) {
        a[i * n + i] = 2.0;
        if (i + 1 < n) a[i * n + i + 1] = a[(i + 1) * n + i] = -1.0;
    }
    std::vector<double> values, vectors;
    std::vector<double> copy = a;
    ASSERT_TRUE(fine::symmetricEigen(n, copy, values, vectors));
    for (int k = 0; k < n; ++k) EXPECT_NEAR(values[k], 2.0 - 2.0 * std::cos((k + 1) * M_PI / (n + 1)), 1e-12);

    std::vector<double> d(n * n);
    for (int i = 0; i < n; ++i)
        for (int j = 0; j <= i; ++j) d[i * n + j] = d[j * n + i] = std::sin(1.0 + i * 7 + j * 3) + (i == j ? 3.0 : 0.0);
    copy = d;
    ASSERT_TRUE(fine::symmetricEigen(n, copy, values, vectors));
    for (int m = 0; m < n; ++m) {
        if (m > 0) {
            EXPECT_LE(values[m - 1], values[m]);
        }
        for (int i = 0; i < n; ++i) {
            double av = 0.0;
            for (int j = 0; j < n; ++j) av += d[i * n + j] * vectors[j * n + m];
            EXPECT_NEAR(av, values[m] * vectors[i * n + m], 1e-12);
        }
        for (int q = 0; q < n; ++q) {
            double dot = 0.0;
            for (int i = 0; i < n; ++i) dot += vectors[i * n + m] * vectors[i * n + q];
            EXPECT_NEAR(dot, m == q ? 1.0 : 0.0, 1e-12);
        }
    }
}

} // namespace
} // namespace wf

#include "fine/fine_pencil.h"

namespace wf {
namespace {

// Eigenpairs of the tridiagonal pencil: with M = I and the second
// difference K (lambda_k = 2 - 2 cos(k pi / (n + 1))) each eigenvalue to
// 1e-11 of itself, the smallest (2.4e-4) as well as the largest (4).
TEST(FinePencil, SecondDifferenceEigenvaluesToTheirOwnRelativeAccuracy) {
    const int n = 200;
    std::vector<double> kd(n, 2.0), ko(n, -1.0), md(n, 1.0), mo(n, 0.0), values, vectors;
    ASSERT_TRUE(fine::pencilEigen(n, kd, ko, md, mo, false, values, vectors));
    for (int k = 0; k < n; ++k) {
        const double exact = 4.0 * std::pow(std::sin((k + 1) * M_PI / (2.0 * (n + 1))), 2);  // 2 - 2 cos, no cancellation
        EXPECT_NEAR(values[k] / exact, 1.0, 1e-11) << k;
    }
}

// The radial pencil of a mesh graded over eight decades (2e-4 m to 5e4 m,
// ratio 1.15) with a no-flow outer boundary: the constant mode exactly with
// eigenvalue 0; every eigenvalue the Rayleigh quotient of its vector (the
// stiffness summed as squared differences, exact for these vectors) to
// 1e-10, so also the slowest ones, around 1e-9 m^-2; the vectors
// M-orthonormal to 1e-10.
TEST(FinePencil, GradedRadialModesKeepTheSlowEigenvaluesAccurate) {
    std::vector<double> r{0.0, 2e-4};
    while (r.back() < 5e4) r.push_back(std::min(r.back() * 1.15, 5e4));
    const int n = static_cast<int>(r.size());
    std::vector<double> kd(n, 0.0), ko(n, 0.0), md(n, 0.0), mo(n, 0.0), k(n - 1);
    for (int i = 0; i + 1 < n; ++i) {
        const double h = r[i + 1] - r[i];
        k[i] = (r[i] + r[i + 1]) / (2.0 * h);
        kd[i] += k[i];
        kd[i + 1] += k[i];
        ko[i] = -k[i];
        md[i] += h * (3.0 * r[i] + r[i + 1]) / 12.0;
        md[i + 1] += h * (r[i] + 3.0 * r[i + 1]) / 12.0;
        mo[i] = h * (r[i] + r[i + 1]) / 12.0;
    }
    std::vector<double> values, V;
    ASSERT_TRUE(fine::pencilEigen(n, kd, ko, md, mo, true, values, V));
    EXPECT_EQ(values[0], 0.0);
    for (int i = 1; i < n; ++i) EXPECT_EQ(V[static_cast<std::size_t>(i) * n], V[0]);
    EXPECT_LT(values[1], 1e-8);
    auto at = [&](int i, int m) { return V[static_cast<std::size_t>(i) * n + m]; };
    auto mdot = [&](int a, int b) {
        double s = 0.0;
        for (int i = 0; i < n; ++i) {
            s += md[i] * at(i, a) * at(i, b);
            if (i + 1 < n) s += mo[i] * (at(i, a) * at(i + 1, b) + at(i + 1, a) * at(i, b));
        }
        return s;
    };
    for (int m = 1; m < n; ++m) {
        double stiff = 0.0;
        for (int i = 0; i + 1 < n; ++i) stiff += k[i] * (at(i + 1, m) - at(i, m)) * (at(i + 1, m) - at(i, m));
        EXPECT_NEAR(stiff / mdot(m, m) / values[m], 1.0, 1e-10) << m;
        for (int q : {0, m - 1}) EXPECT_NEAR(mdot(m, q), 0.0, 1e-10) << m << " " << q;
        EXPECT_NEAR(mdot(m, m), 1.0, 1e-10) << m;
    }
}

} // namespace
} // namespace wf
