// The robust search's trust-region machinery against Ceres Solver's trust
// region (Levenberg-Marquardt and dogleg) with bounds, on the same model and
// the same starts.
//
// The bundled example (examples/oude-korendijk) on the fine model, four
// parameters, from the 8 starts of the robust search's design around the
// project's guesses. Both searches move the natural logarithms of the
// multipliers inside the same log bounds and see the same model values with
// the same forward-difference derivative runs (step 1e-3 in ln x, the four
// runs of one derivative evaluation made together), on one thread. Reported:
// wall time, model runs, how many starts reached the lowest error estimate
// (within 0.1 %) and that estimate.
//
// The prepared run state is taken from a short analysis run of the example:
// its first progress line of the robust search comes after the fine model is
// built and the observations are read; the run state is copied there.
#include <benchmark/benchmark.h>
#include <ceres/ceres.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <string>
#include <vector>

#include "../fine_example.h"
#include "fine/fine_model.h"
#include "inverse/log_trust_region.h"
#include "inverse/multi_start.h"

namespace {

using wf::bench::Counts;
using wf::bench::FineExample;

struct Prepared {
    std::unique_ptr<wf::RunState> rs;
    wf::LogSearchProblem pr;
    std::vector<std::vector<double>> starts;  // ln x
    int runs = 0;
};

Prepared* gPrepared = nullptr;
wf::RunState* gRunning = nullptr;

// Copies the running analysis's state at its first robust-search line.
void capture(void*, int32_t, const char* text, const char* const*, int32_t) {
    if (gPrepared->rs || std::string(text).rfind("Start", 0) != 0) return;
    gPrepared->rs = std::make_unique<wf::RunState>(*gRunning);
}

bool prepare(Prepared& p, std::string& why) {
    static FineExample ex("ceres_yardstick");
    if (!ex.why.empty()) {
        why = ex.why;
        return false;
    }
    wf::RunState rs;
    WfOptions o{};
    o.search = WF_SEARCH_ROBUST;
    o.starts = 1;
    o.maxPasses = 1;
    wf::installOptions(rs.inv, &o);
    gPrepared = &p;
    gRunning = &rs;
    WfHost h{};
    h.progress = capture;
    rs.rep.setHost(&h);
    rs.options.fineModel = true;
    rs.options.threads = 1;
    wf::test::solverRun(rs, 6, 0, ex.doc);
    rs.rep.setHost(nullptr);
    if (!p.rs || !p.rs->fem.fine) {
        why = "the analysis run did not reach the robust search";
        return false;
    }
    wf::RunState& r = *p.rs;
    r.rep.setHost(nullptr);
    const int n = r.fem.nout;
    p.pr.k = 4;
    p.pr.n = n;
    p.pr.first = r.in.NSKIP + 1;
    p.pr.y.assign(r.est.YOBS.data(), r.est.YOBS.data() + n);
    std::vector<double> lnGuess;
    for (int j = 1; j <= 4; ++j) {
        p.pr.free.push_back(j - 1);
        p.pr.x0.push_back(r.in.P0[j]);
        p.pr.hi.push_back(std::log(r.in.PHI[j]));
        p.pr.lo.push_back(r.in.PLO[j] > 0.0 ? std::log(r.in.PLO[j]) : std::log(r.in.P0[j]) - 20.0 * std::log(10.0));
        lnGuess.push_back(std::clamp(std::log(r.in.P0[j]), p.pr.lo.back(), p.pr.hi.back()));
    }
    p.pr.model = [&p](int count, const double* const* x, double* const* f) {
        p.runs += count;
        return wf::fineSimulateMany(*p.rs, count, x, p.pr.n, f, 1);
    };
    p.starts = wf::startDesign(lnGuess, p.pr.free, p.pr.lo, p.pr.hi, 8);
    return true;
}

// The residuals f - y of the used measurements and their forward-difference
// Jacobian in ln x, through the same model as the robust search.
class FitCost : public ceres::CostFunction {
public:
    explicit FitCost(Prepared& p) : p_(p) {
        set_num_residuals(p.pr.n - p.pr.first + 1);
        mutable_parameter_block_sizes()->push_back(4);
    }
    bool Evaluate(double const* const* parameters, double* residuals, double** jacobians) const override {
        const double* z = parameters[0];
        const int n = p_.pr.n, first = p_.pr.first, m = n - first + 1;
        std::vector<std::vector<double>> x(1, std::vector<double>(4)), f(1, std::vector<double>(n));
        for (int j = 0; j < 4; ++j) x[0][j] = std::exp(z[j]);
        const bool wantJ = jacobians != nullptr && jacobians[0] != nullptr;
        std::vector<double> steps;
        if (wantJ)
            for (int j = 0; j < 4; ++j) {
                double h = 1e-3;
                if (z[j] + h > p_.pr.hi[static_cast<std::size_t>(j)]) h = -h;
                steps.push_back(h);
                std::vector<double> xj = x[0];
                xj[static_cast<std::size_t>(j)] = std::exp(z[j] + h);
                x.push_back(xj);
                f.emplace_back(n);
            }
        std::vector<const double*> xp;
        std::vector<double*> fp;
        for (std::size_t c = 0; c < x.size(); ++c) {
            xp.push_back(x[c].data());
            fp.push_back(f[c].data());
        }
        if (!p_.pr.model(static_cast<int>(x.size()), xp.data(), fp.data())) return false;
        for (int i = 0; i < m; ++i) residuals[i] = f[0][static_cast<std::size_t>(first - 1 + i)] - p_.pr.y[static_cast<std::size_t>(first - 1 + i)];
        if (wantJ)
            for (int i = 0; i < m; ++i)
                for (int j = 0; j < 4; ++j) {
                    const std::size_t at = static_cast<std::size_t>(first - 1 + i);
                    jacobians[0][i * 4 + j] = (f[static_cast<std::size_t>(j) + 1][at] - f[0][at]) / steps[static_cast<std::size_t>(j)];
                }
        return true;
    }

private:
    Prepared& p_;
};

void report(benchmark::State& state, const std::vector<double>& ends, int runs) {
    const double best = *std::min_element(ends.begin(), ends.end());
    int atBest = 0;
    for (double s : ends) atBest += s <= best * 1.001 ? 1 : 0;
    state.counters["model_runs"] = runs;
    state.counters["starts_at_best"] = atBest;
    state.counters["lowest_S"] = best;
}

Prepared& prepared(benchmark::State& state, bool& ok) {
    static Prepared p;
    static std::string why;
    static const bool made = prepare(p, why);
    ok = made;
    if (!made) state.SkipWithError(why.c_str());
    return p;
}

void BM_OwnLogTrustRegion(benchmark::State& state) {
    bool ok = false;
    Prepared& p = prepared(state, ok);
    if (!ok) return;
    std::vector<double> ends;
    for (auto _ : state) {
        p.runs = 0;
        std::vector<wf::LogStart> starts(p.starts.size());
        for (std::size_t s = 0; s < starts.size(); ++s) starts[s].z = p.starts[s];
        if (!wf::runLogStarts(p.pr, starts)) state.SkipWithError("a model run failed");
        ends.clear();
        for (const wf::LogStart& s : starts) ends.push_back(s.S);
    }
    report(state, ends, p.runs);
}

void BM_CeresTrustRegion(benchmark::State& state) {
    bool ok = false;
    Prepared& p = prepared(state, ok);
    if (!ok) return;
    std::vector<double> ends;
    for (auto _ : state) {
        p.runs = 0;
        ends.clear();
        for (const std::vector<double>& start : p.starts) {
            std::vector<double> z = start;
            ceres::Problem problem;
            problem.AddResidualBlock(new FitCost(p), nullptr, z.data());
            for (int j = 0; j < 4; ++j) {
                problem.SetParameterLowerBound(z.data(), j, p.pr.lo[static_cast<std::size_t>(j)]);
                problem.SetParameterUpperBound(z.data(), j, p.pr.hi[static_cast<std::size_t>(j)]);
            }
            ceres::Solver::Options o;
            o.minimizer_type = ceres::TRUST_REGION;
            o.trust_region_strategy_type = state.range(0) == 0 ? ceres::LEVENBERG_MARQUARDT : ceres::DOGLEG;
            o.linear_solver_type = ceres::DENSE_QR;
            o.max_num_iterations = 200;
            // Ceres' defaults, or the robust search's relative-step tolerance
            // with the other two tests tightened so that it decides.
            if (state.range(1) == 1) {
                o.parameter_tolerance = 1e-7;
                o.gradient_tolerance = 1e-12;
                o.function_tolerance = 1e-12;
            }
            o.num_threads = 1;
            ceres::Solver::Summary summary;
            ceres::Solve(o, &problem, &summary);
            ends.push_back(2.0 * summary.final_cost);  // Ceres' cost is half the sum of squares
        }
    }
    report(state, ends, p.runs);
}

BENCHMARK(BM_OwnLogTrustRegion)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();
// Arguments: strategy (0 Levenberg-Marquardt, 1 dogleg), tolerances (0 Ceres'
// defaults, 1 the robust search's step tolerance).
BENCHMARK(BM_CeresTrustRegion)
    ->Args({0, 0})
    ->Args({0, 1})
    ->Args({1, 0})
    ->Args({1, 1})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3)
    ->UseRealTime();

} // namespace

BENCHMARK_MAIN();
