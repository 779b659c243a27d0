// One time step on a default-size radial section (16 columns x 20 rows,
// NN 320, bandwidth 18): solveStep, which keeps the run's conductance and
// storage bands, against the straightforward step ASEM + AEBC + SFAC + SSOL.
// Alternating increments keep solveStep from reusing its factor; the
// "repeated dt" case shows the reuse.
#include <benchmark/benchmark.h>

#include <cmath>

#include "entry/work_sets.h"
#include "fem/fem_numerics.h"
#include "fem/fem_state.h"

namespace {

struct Model {
    wf::FemState fs;
    wf::ModelSet m;
    double P[4] = {40.0, 0.3, 2.0, 0.7};
};

void build(Model& x) {
    const int NR = 16, NZ = 20;
    wf::FemState& fs = x.fs;
    wf::ModelSet& m = x.m;
    m.allocate(NR, NZ);
    fs.NN = NR * NZ;
    fs.NEL = (NR - 1) * (NZ - 1);
    fs.bandwidth = NR + 2;
    fs.nsteps = 50;
    fs.KX = 2e-6;
    fs.KY = 5e-7;
    fs.SS = 1e-5;
    for (int row = 1; row <= NZ; ++row)
        for (int col = 1; col <= NR; ++col) {
            const int n = (row - 1) * NR + col;
            m.X(n) = 0.1 * std::pow(1.6, col - 1);
            m.Y(n) = row <= 2 ? 0.05 * (row - 1) : 0.05 + 0.4 * (row - 2);
            m.MAT(n) = row <= 2 ? 1 : 2;
            m.H0(n) = m.HOLD(n) = 100.0;
        }
    int e = 0;
    for (int col = 1; col < NR; ++col)
        for (int row = 1; row < NZ; ++row) {
            const int n = (row - 1) * NR + col;
            ++e;
            m.CON(e, 1) = n;
            m.CON(e, 2) = n + 1;
            m.CON(e, 3) = n + NR + 1;
            m.CON(e, 4) = n + NR;
        }
    fs.NDN = NZ;
    for (int row = 1; row <= NZ; ++row) {
        m.DNODE(row) = row * NR;
        m.DHEAD(row) = 100.0;
    }
    fs.NSRC = 1;
    m.SRC(1, 1) = 1;
    m.SRC(1, 2) = 2;
    m.PROF(1, 1, 1) = 0.0;
    m.PROF(1, 2, 1) = 1e9;
    m.PROF(1, 1, 2) = m.PROF(1, 2, 2) = -1e-3;
}

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
