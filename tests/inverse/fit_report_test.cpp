// The fit report: linearised statistics against closed forms, the verdict's
// thresholds on an identifiable and a non-identifiable problem, and the
// report made by the inversion driver after a search on a model that is
// linear in its parameters.
#include <cmath>
#include <limits>

#include "inverse/fit_report.h"
#include "inverse/fit_statistics.h"
#include "inverse_fixture.h"

namespace wfinv {
namespace {

// Straight line y = a + b x at x_i: the closed form of least squares gives
// var(b) = s2 / Sxx, var(a) = s2 sum(x^2) / (n Sxx), corr(a, b) = -xbar / sqrt(mean(x^2)),
// with Sxx = sum((x - xbar)^2) and s2 = S / (n - 2).
struct Line {
    std::vector<double> x, r;
    double n = 0, xbar = 0, sxx = 0, sx2 = 0, S = 0;
    explicit Line(int count) {
        for (int i = 0; i < count; ++i) {
            x.push_back(1.0 + 0.37 * i);
            r.push_back(0.02 * std::sin(3.1 * i) - 0.01 * std::cos(1.7 * i));
        }
        n = count;
        for (double v : x) xbar += v / n;
        for (double v : x) {
            sxx += (v - xbar) * (v - xbar);
            sx2 += v * v;
        }
        for (double v : r) S += v * v;
    }
    double s2() const { return S / (n - 2); }
    double seA() const { return std::sqrt(s2() * sx2 / (n * sxx)); }
    double seB() const { return std::sqrt(s2() / sxx); }
    double corr() const { return -xbar / std::sqrt(sx2 / n); }
};

TEST(FitStatistics, StraightLineMatchesTheClosedForm) {
    const Line line(25);
    std::vector<double> J(25, 1.0);  // column of a
    J.insert(J.end(), line.x.begin(), line.x.end());
    const wf::FitStatistics st = wf::fitStatistics(25, 2, J, line.r);
    EXPECT_NEAR(st.S, line.S, 1e-15);
    EXPECT_NEAR(std::sqrt(st.covariance[0]), line.seA(), 1e-10 * line.seA());
    EXPECT_NEAR(std::sqrt(st.covariance[3]), line.seB(), 1e-10 * line.seB());
    EXPECT_NEAR(st.correlation[1], line.corr(), 1e-10);
    EXPECT_NEAR(st.correlation[2], line.corr(), 1e-10);
    // Condition of the unit-diagonal 2 x 2 matrix [[1, c], [c, 1]], c = xbar / rms(x): (1 + c) / (1 - c).
    const double c = line.xbar / std::sqrt(line.sx2 / line.n);
    EXPECT_NEAR(st.condition, (1 + c) / (1 - c), 1e-8 * st.condition);
}

TEST(FitStatistics, DependentColumnsLeaveOnlyTheirDeterminedCombination) {
    // Columns 1 and 2 are equal: x1 + x2 is determined (variance s2 / sum(c^2)),
    // x1 and x2 alone are not.
    const Line line(12);
    std::vector<double> J(line.x);
    J.insert(J.end(), line.x.begin(), line.x.end());
    const wf::FitStatistics st = wf::fitStatistics(12, 2, J, line.r);
    EXPECT_TRUE(std::isinf(st.condition));
    EXPECT_TRUE(std::isnan(st.covariance[0]));
    double sumx2 = 0;
    for (double v : line.x) sumx2 += v * v;
    EXPECT_NEAR(st.variance({1.0, 1.0}), (st.S / 10.0) / sumx2, 1e-10 * st.S / sumx2);
    EXPECT_TRUE(std::isnan(st.variance({1.0, 0.0})));
}

TEST(FitStatistics, EigenvaluesAndStudentQuantiles) {
    // [[2, 1, 0], [1, 2, 1], [0, 1, 2]]: eigenvalues 2 - sqrt 2, 2, 2 + sqrt 2.
    std::vector<double> values, vectors;
    wf::symmetricEigen(3, {2, 1, 0, 1, 2, 1, 0, 1, 2}, values, vectors);
    ASSERT_EQ(values.size(), 3u);
    EXPECT_NEAR(values[0], 2 - std::sqrt(2.0), 1e-12);
    EXPECT_NEAR(values[1], 2.0, 1e-12);
    EXPECT_NEAR(values[2], 2 + std::sqrt(2.0), 1e-12);
    // First eigenvector (1, -sqrt 2, 1) / 2 up to sign.
    EXPECT_NEAR(std::fabs(vectors[0]), 0.5, 1e-12);
    EXPECT_NEAR(std::fabs(vectors[1]), std::sqrt(0.5), 1e-12);
    // Student's t, 0.975 quantile, from the tables: 1e-3 relative.
    const std::pair<int, double> table[] = {{1, 12.706}, {2, 4.303}, {3, 3.182}, {5, 2.571}, {6, 2.447},
                                            {8, 2.306}, {10, 2.228}, {30, 2.042}, {120, 1.980}};
    for (const auto& [dof, t] : table) EXPECT_NEAR(wf::studentT975(dof), t, 1e-3 * t) << dof;
    EXPECT_TRUE(std::isnan(wf::studentT975(0)));
}

// A four-parameter problem in the report's own terms: unknowns TF..SM with
// their user-unit factors 1, columns given.
wf::FitProblem problem(const std::vector<std::vector<double>>& cols, const std::vector<double>& r,
                       const double values[4]) {
    wf::FitProblem p;
    const char* names[4] = {"TF", "TM", "SF", "SM"};
    for (std::size_t j = 0; j < cols.size(); ++j) {
        p.names.push_back(names[j]);
        p.J.insert(p.J.end(), cols[j].begin(), cols[j].end());
        p.G[j][j] = 1.0;
        p.estimated[j] = true;
    }
    p.p = static_cast<int>(cols.size());
    p.r = r;
    for (int j = 0; j < 4; ++j) p.values[j] = values[j];
    return p;
}

std::vector<std::vector<double>> columns(int n, double tie) {
    // cos(k pi u) at the midpoints u of n cells, k = 0..3: orthogonal columns.
    // tie mixes column 1 into column 2 (tie near 1: TF and TM act alike).
    std::vector<std::vector<double>> c(4, std::vector<double>(static_cast<std::size_t>(n)));
    for (int i = 0; i < n; ++i) {
        const double u = (i + 0.5) / n, pi = std::acos(-1.0);
        const auto k = static_cast<std::size_t>(i);
        c[0][k] = 1.0;
        c[1][k] = tie * c[0][k] + (1 - tie) * std::cos(pi * u);
        c[2][k] = std::cos(2 * pi * u);
        c[3][k] = std::cos(3 * pi * u);
    }
    return c;
}

std::vector<double> noise(int n, double size) {
    std::vector<double> r;
    for (int i = 0; i < n; ++i) r.push_back(size * std::sin(2.3 * i + 0.4));
    return r;
}

TEST(FitVerdict, IdentifiableCaseSaysEveryParameterIsDetermined) {
    const double values[4] = {100.0, 300.0, 50.0, 80.0};
    WfFitReport rep;
    std::string verdict;
    wf::buildFitReport(problem(columns(40, 0.0), noise(40, 0.01), values), {0, 0, WF_STOP_SEARCH, 7, 30, "ok"},
                       "m2/day", rep, verdict);
    const std::string v = verdict;
    EXPECT_EQ(v.rfind("The data determine every estimated parameter: TF = 100", 0), 0u) << v;
    EXPECT_EQ(v.find("bound"), std::string::npos) << v;
    for (int j = 0; j < 4; ++j) EXPECT_LT(rep.parameters[j].standardError / values[j], wf::kVerdictDetermined);
    EXPECT_LT(rep.condition, wf::kVerdictCondition);
}

TEST(FitVerdict, NonIdentifiableSplitNamesTheTotalTheCorrelationAndTheBound) {
    // TM's column is TF's up to 1e-4: only TF + TM is seen by the data.
    const double values[4] = {20.0, 440.0, 50.0, 80.0};
    wf::FitProblem p = problem(columns(40, 1.0 - 1e-4), noise(40, 0.01), values);
    p.atBound[0] = -1;
    WfFitReport rep;
    std::string verdict;
    wf::buildFitReport(p, {0, -4, WF_STOP_SEARCH, 30, 150, "lambda"}, "m2/day", rep, verdict);
    const std::string v = verdict;
    EXPECT_EQ(v.rfind("The data determine TF + TM = 460", 0), 0u) << v;
    EXPECT_NE(v.find("m2/day, but not how it splits between the layers (correlation -1.0000)"), std::string::npos)
        << v;
    EXPECT_NE(v.find("TF ended on its lower bound."), std::string::npos) << v;
    EXPECT_GT(std::fabs(rep.correlation[0][1]), wf::kVerdictCorrelation);
    // The total is far better determined than either layer.
    EXPECT_LT(rep.totals[0].standardError, 0.01 * rep.parameters[0].standardError);
}

// A correlation at or above 0.95 alone does not make the split unknown: when
// the data fix each layer's value to within 10 % (as a fracture and a matrix
// piezometer together do) the verdict says so, and the strongly correlated
// pair is only told apart by its errors.
TEST(FitVerdict, CorrelatedPairWhoseMembersAreEachDeterminedIsToldApart) {
    const double values[4] = {20.0, 440.0, 50.0, 80.0};
    wf::FitProblem p = problem(columns(40, 0.9), noise(40, 1e-4), values);
    WfFitReport rep;
    std::string verdict;
    wf::buildFitReport(p, {0, 0, WF_STOP_SEARCH, 10, 50, "converged"}, "m2/day", rep, verdict);
    ASSERT_GE(std::fabs(rep.correlation[0][1]), wf::kVerdictCorrelation);
    ASSERT_LE(rep.parameters[0].standardError, 0.1 * values[0]);
    const std::string v = verdict;
    EXPECT_EQ(v.find("how it splits"), std::string::npos) << v;
    EXPECT_EQ(v.rfind("The data determine every estimated parameter: TF = ", 0), 0u) << v;
}

TEST(FitVerdict, ThresholdsSeparateDeterminedLooseAndUndetermined) {
    // One unknown, y = x b: se(b) = s / sqrt(sum x^2). Scaling the noise moves
    // the relative error of b = 1 across 10 % and 50 %.
    const int n = 20;
    std::vector<double> x(n, 1.0);
    auto verdictFor = [&](double relative) {
        // noise with sum r^2 = relative^2 (n - 1) sum(x^2) gives se = relative.
        std::vector<double> r = noise(n, 1.0);
        double s = 0;
        for (double v : r) s += v * v;
        const double want = relative * relative * (n - 1) * n;
        for (double& v : r) v *= std::sqrt(want / s);
        const double values[4] = {1.0, 0, 0, 0};
        WfFitReport rep;
        std::string verdict;
        wf::buildFitReport(problem({x}, r, values), {}, "m2/day", rep, verdict);
        EXPECT_NEAR(rep.parameters[0].standardError, relative, 1e-12);
        return verdict;
    };
    EXPECT_EQ(verdictFor(0.09).rfind("The data determine every estimated parameter: TF = 1.000 ± 0.090 m2/day.", 0), 0u);
    EXPECT_EQ(verdictFor(0.2).rfind("Only loosely determined: TF = 1.00 ± 0.20 m2/day.", 0), 0u);
    EXPECT_EQ(verdictFor(0.8), "The data do not determine TF.");
}

TEST(FitVerdict, NumbersAreRoundedToTheErrorsSecondDigit) {
    EXPECT_EQ(wf::valueWithError(461.234, 9.17), "461.2 ± 9.2");
    EXPECT_EQ(wf::valueWithError(461.234, 29.6), "461 ± 30");
    EXPECT_EQ(wf::valueWithError(9.16e-5, 8.8e-6), "(9.16 ± 0.88)e-05");
    EXPECT_EQ(wf::valueWithError(3.0, std::numeric_limits<double>::quiet_NaN()), "3");
    EXPECT_EQ(wf::transmissivityUnitName(12), "m2/day");
    EXPECT_EQ(wf::transmissivityUnitName(9), "m2/s");
    EXPECT_EQ(wf::transmissivityUnitName(1), "mm2/s");
}

// The driver's report after an optimisation of a model linear in P(1) and
// P(2) (P(3), P(4) have no effect): the search ends at the least-squares
// line, and the report's errors are the closed form's, times the factors from
// multipliers to TF and TM.
class LinearReport : public InverseProject {};

TEST_F(LinearReport, OptimisationReportMatchesTheStraightLineClosedForm) {
    const int n = 25;
    const Line line(n);
    // Times 0..24 minutes; model s = P1 * 0.1 + P2 * 0.05 x_i, observations a
    // line plus the residual pattern, so at the fit the residuals are line.r
    // (they are orthogonal to neither column, which the closed form allows).
    std::vector<double> t, s;
    for (int i = 0; i < n; ++i) {
        t.push_back(i);
        s.push_back(0.1 * 2.0 + 0.05 * 3.0 * line.x[static_cast<std::size_t>(i)] + line.r[static_cast<std::size_t>(i)]);
    }
    writeObs(t, s);
    allocate(n);
    WfFitReport rep{};
    rs.inv.options.report = &rep;
    run(0, simulation([&line](const double* P, double, int level) {
            return 0.1 * P[0] + 0.05 * P[1] * line.x[static_cast<std::size_t>(level - 1)];
        }));
    ASSERT_EQ(rep.valid, 1) << readFile(dir / "TEST.fit");
    ASSERT_EQ(rep.unknowns, 2);  // P(3), P(4) have zero columns
    EXPECT_STREQ(rep.names[0], "TF");
    EXPECT_STREQ(rep.names[1], "TM");
    // The least-squares line through the observations as the solver read
    // them (the observation file keeps 7 digits): closed form in x.
    double sy = 0, sxy = 0;
    for (int i = 0; i < n; ++i) {
        sy += rs.est.YOBS(i + 1);
        sxy += line.x[static_cast<std::size_t>(i)] * rs.est.YOBS(i + 1);
    }
    const double bhat = (sxy - line.xbar * sy) / line.sxx;
    const double ahat = sy / n - bhat * line.xbar;
    double Smin = 0;
    for (int i = 0; i < n; ++i) {
        const double e = rs.est.YOBS(i + 1) - ahat - bhat * line.x[static_cast<std::size_t>(i)];
        Smin += e * e;
    }
    EXPECT_NEAR(rep.errorEstimate, Smin, 1e-6 * Smin);
    EXPECT_NEAR(rep.rmse, std::sqrt(Smin / n), 1e-6 * std::sqrt(Smin / n));
    // Multiplier errors: se(a) / 0.1, se(b) / 0.05 with s2 = Smin / (n - 2);
    // to TF and TM: Kf = P * 0.864 m/day, TF = Kf * 10 * 0.2, TM = Km * 10 * 0.8.
    const double s2 = Smin / (n - 2);
    const double seA = std::sqrt(s2 * line.sx2 / (n * line.sxx)) / 0.1;
    const double seB = std::sqrt(s2 / line.sxx) / 0.05;
    const double kday = 1e-5 * 86400.0;
    EXPECT_NEAR(rep.parameters[0].standardError, seA * kday * 2.0, 1e-5 * seA * kday * 2.0);
    EXPECT_NEAR(rep.parameters[1].standardError, seB * kday * 8.0, 1e-5 * seB * kday * 8.0);
    EXPECT_NEAR(rep.correlation[0][1], line.corr(), 1e-6);
    EXPECT_NEAR(rep.parameters[0].value, ahat / 0.1 * kday * 2.0, 1e-5);
    EXPECT_NEAR(rep.parameters[1].value, bhat / 0.05 * kday * 8.0, 1e-5);
    // 95 % interval with t(0.975, 23) = 2.069 (tables).
    EXPECT_NEAR(rep.parameters[0].high95 - rep.parameters[0].value, 2.069 * rep.parameters[0].standardError,
                1e-3 * rep.parameters[0].standardError);
    // SF and SM do not act on the model: no error, no interval.
    EXPECT_TRUE(std::isnan(rep.parameters[2].standardError));
    EXPECT_TRUE(std::isnan(rep.parameters[2].low95));
    // The side file has the same report.
    const std::string fit = readFile(dir / "TEST.fit");
    EXPECT_EQ(fit.rfind("WELLFIT fit report\nOptimisation: ", 0), 0u);
    EXPECT_NE(fit.find("Verdict: " + rs.inv.verdict), std::string::npos);
    EXPECT_NE(fit.find("The residuals of a pumping test are correlated in time"), std::string::npos);
}

TEST_F(LinearReport, FixedTimeRunMakesDerivativeRunsOnlyWithOptionsInstalled) {
    writeObs({0, 1, 2, 5, 10}, {0.11, 0.21, 0.33, 0.41, 0.52});
    allocate(5);
    auto sim = simulation([](const double* P, double, int level) { return 0.1 * level * P[0] + 0.01 * P[1]; });
    run(1, sim);
    EXPECT_EQ(simulations, 1);  // the plain entry: one model run, and a report saying why there is none
    EXPECT_NE(readFile(dir / "TEST.fit").find("No fit report: "), std::string::npos);
    const std::string inv = readFile(dir / "TEST.inv");

    WfFitReport rep{};
    WfOptions o{};
    o.report = &rep;
    wf::installOptions(rs.inv, &o);
    simulations = 0;
    run(1, sim);
    EXPECT_EQ(simulations, 5);  // the pass and one derivative run per multiplier
    EXPECT_EQ(rep.valid, 1);
    EXPECT_EQ(rep.stopRule, WF_STOP_FIXED_TIME);
    EXPECT_EQ(rep.modelRuns, 5);
    EXPECT_EQ(rep.unknowns, 2);
    // The simulated-values file is the pass's, not the last derivative run's.
    EXPECT_EQ(readFile(dir / "TEST.inv"), inv);
}

} // namespace
} // namespace wfinv
