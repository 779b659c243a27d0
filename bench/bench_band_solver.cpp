// Band factorisation and solve (SFAC + SSOL) against LAPACK dpbtrf + dpbtrs
// on symmetric positive definite band matrices of the sizes the generated
// meshes produce (NN 320, B 18 and NN 500, B 27). Every iteration copies the
// original matrix and right-hand side into the work arrays, since both
// factorise in place. Run with OPENBLAS_NUM_THREADS=1.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstring>
#include <vector>

#include "fem/band_core.h"
#include "fem/fem_numerics.h"

#if defined(WF_HAVE_LAPACK)
extern "C" {
void dpbtrf_(const char* uplo, const int* n, const int* kd, double* ab, const int* ldab, int* info, std::size_t);
void dpbtrs_(const char* uplo, const int* n, const int* kd, const int* nrhs, const double* ab, const int* ldab,
             double* b, const int* ldb, int* info, std::size_t);
}
#endif

namespace {

// Column-major band (NN x B), diagonally dominant with smooth couplings.
std::vector<double> makeBand(int NN, int B) {
    std::vector<double> a(static_cast<std::size_t>(NN) * B, 0.0);
    std::vector<double> absSum(NN, 0.0);
    for (int j = 1; j < B; ++j)
        for (int i = 0; i + j < NN; ++i) {
            const double v = -std::fabs(std::sin(0.37 * i + 1.3 * j)) / j;
            a[i + static_cast<std::size_t>(j) * NN] = v;
            absSum[i] -= v;
            absSum[i + j] -= v;
        }
    for (int i = 0; i < NN; ++i) a[i] = absSum[i] + 0.1 + 0.01 * (i % 7);
    return a;
}

std::vector<double> makeRhs(int NN) {
    std::vector<double> r(NN);
    for (int i = 0; i < NN; ++i) r[i] = std::cos(0.11 * i);
    return r;
}

void BM_SFAC_SSOL(benchmark::State& state) {
    const int NN = static_cast<int>(state.range(0)), B = static_cast<int>(state.range(1));
    const std::vector<double> a0 = makeBand(NN, B), r0 = makeRhs(NN);
    std::vector<double> a(a0.size()), r(NN);
    for (auto _ : state) {
        std::memcpy(a.data(), a0.data(), a0.size() * sizeof(double));
        std::memcpy(r.data(), r0.data(), r0.size() * sizeof(double));
        benchmark::DoNotOptimize(wf::SFAC(NN, B, a.data(), NN));
        wf::SSOL(NN, B, a.data(), NN, r.data());
        benchmark::DoNotOptimize(r.data());
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_SFAC_SSOL)->Args({320, 18})->Args({500, 27})->Unit(benchmark::kMicrosecond);

// The parts: SFAC alone (with its copies of the column-stored band), SSOL
// alone, and the row-wise factorisation and solve the time step uses.
void BM_SFAC(benchmark::State& state) {
    const int NN = static_cast<int>(state.range(0)), B = static_cast<int>(state.range(1));
    const std::vector<double> a0 = makeBand(NN, B);
    std::vector<double> a(a0.size());
    for (auto _ : state) {
        std::memcpy(a.data(), a0.data(), a0.size() * sizeof(double));
        benchmark::DoNotOptimize(wf::SFAC(NN, B, a.data(), NN));
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_SFAC)->Args({320, 18})->Args({500, 27})->Unit(benchmark::kMicrosecond);

void BM_SSOL(benchmark::State& state) {
    const int NN = static_cast<int>(state.range(0)), B = static_cast<int>(state.range(1));
    std::vector<double> a = makeBand(NN, B);
    wf::SFAC(NN, B, a.data(), NN);
    const std::vector<double> r0 = makeRhs(NN);
    std::vector<double> r(NN);
    for (auto _ : state) {
        std::memcpy(r.data(), r0.data(), r0.size() * sizeof(double));
        wf::SSOL(NN, B, a.data(), NN, r.data());
        benchmark::DoNotOptimize(r.data());
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_SSOL)->Args({320, 18})->Args({500, 27})->Unit(benchmark::kMicrosecond);

// The row-wise band the time step factorises in place: each iteration copies
// the band in (as the column-stored pair does), then mode 0 factorises only,
// mode 1 factorises and solves, mode 2 factorises with the forward
// substitution in its row loop and then substitutes back (the time step).
void BM_RowWise(benchmark::State& state) {
    const int NN = static_cast<int>(state.range(0)), B = static_cast<int>(state.range(1));
    const int mode = static_cast<int>(state.range(2));
    const std::vector<double> a = makeBand(NN, B), r0 = makeRhs(NN);
    const int ld = wf::bandRowStride(B);
    wf::BandBuffer A0, W;
    A0.assign(static_cast<std::size_t>(NN) * ld, 0.0);
    W.assign(A0.size(), 0.0);
    for (int i = 0; i < NN; ++i)
        for (int c = 0; c < B && i + c < NN; ++c)
            A0[static_cast<std::size_t>(i) * ld + c] = a[i + static_cast<std::size_t>(c) * NN];
    std::vector<double> r(NN);
    for (auto _ : state) {
        std::memcpy(W.data(), A0.data(), A0.size() * sizeof(double));
        std::memcpy(r.data(), r0.data(), r0.size() * sizeof(double));
        if (mode == 2) {
            benchmark::DoNotOptimize(wf::factorForwardBandRows(NN, B, W.data(), ld, r.data()));
            wf::backBandRows(NN, B, W.data(), ld, r.data());
        } else {
            benchmark::DoNotOptimize(wf::factorBandRows(NN, B, W.data(), ld));
            if (mode == 1) wf::solveBandRows(NN, B, W.data(), ld, r.data());
        }
        benchmark::DoNotOptimize(r.data());
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_RowWise)->Args({320, 18, 0})->Args({320, 18, 1})->Args({320, 18, 2})->Args({500, 27, 0})
    ->Args({500, 27, 2})->ArgNames({"NN", "B", "mode"})->Unit(benchmark::kMicrosecond);

#if defined(WF_HAVE_LAPACK)
// LAPACK lower band storage: AB(1 + i - j, j) = A(i, j), i.e. column j of AB is
// row j of the upper band; the layout copy is made once, outside the loop.
void BM_LAPACK_dpbtrf_dpbtrs(benchmark::State& state) {
    const int NN = static_cast<int>(state.range(0)), B = static_cast<int>(state.range(1));
    const std::vector<double> a = makeBand(NN, B), r0 = makeRhs(NN);
    std::vector<double> ab0(a.size());
    for (int j = 0; j < NN; ++j)
        for (int c = 0; c < B; ++c) ab0[c + static_cast<std::size_t>(j) * B] = a[j + static_cast<std::size_t>(c) * NN];
    std::vector<double> ab(ab0.size()), r(NN);
    const int kd = B - 1, ldab = B, nrhs = 1;
    for (auto _ : state) {
        std::memcpy(ab.data(), ab0.data(), ab0.size() * sizeof(double));
        std::memcpy(r.data(), r0.data(), r0.size() * sizeof(double));
        int info = 0;
        dpbtrf_("L", &NN, &kd, ab.data(), &ldab, &info, 1);
        dpbtrs_("L", &NN, &kd, &nrhs, ab.data(), &ldab, r.data(), &NN, &info, 1);
        benchmark::DoNotOptimize(r.data());
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_LAPACK_dpbtrf_dpbtrs)->Args({320, 18})->Args({500, 27})->Unit(benchmark::kMicrosecond);
#endif

} // namespace

BENCHMARK_MAIN();
