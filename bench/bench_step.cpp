// One time step on a default-size radial section (16 columns x 20 rows,
// NN 320, bandwidth 18): solveStep, which keeps the run's Gauss-point terms
// and works on the row-wise band, against the straightforward step ASEM +
// AEBC + SFAC + SSOL (the same doubles).
// Alternating increments keep solveStep from reusing its factor; the
// "repeated dt" case shows the reuse.
#include <benchmark/benchmark.h>

#include <cmath>

#include "base/work_sets.h"
#include "fem/fem_numerics.h"
#include "base/fem_state.h"
#include "fem/test_step_mesh.h"

namespace {

using Model = wftest::RadialModel;

// The default-size section: 16 columns x 20 rows.
void build(Model& x) { wftest::buildRadialModel(x, 16, 20); }

void BM_Step(benchmark::State& state) {
    const int mode = static_cast<int>(state.range(0));  // 0 straightforward, 1 solveStep, 2 solveStep repeated dt
    Model x;
    build(x);
    long n = 0;
    for (auto _ : state) {
        x.fs.dt = (mode == 2 || n % 2 == 0) ? 60.0 : 61.0;
        x.fs.t += x.fs.dt;
        ++n;
        if (mode == 0) {
            wf::ASEM(x.fs, x.m, x.P, 4);
            wf::AEBC(x.fs, x.m);
            wf::SFAC(x.fs.NN, x.fs.bandwidth, x.m.BAND.data(), x.m.BAND.rows());
            wf::SSOL(x.fs.NN, x.fs.bandwidth, x.m.BAND.data(), x.m.BAND.rows(), x.m.RHS.data());
        } else {
            benchmark::DoNotOptimize(wf::solveStep(x.fs, x.m, x.P, 4));
        }
        benchmark::DoNotOptimize(x.m.RHS.data());
    }
}
BENCHMARK(BM_Step)->Arg(0)->Arg(1)->Arg(2)->ArgNames({"solveStep"})->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
