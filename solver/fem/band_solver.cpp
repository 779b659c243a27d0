// Banded symmetric solver without pivoting (the assembled systems are
// symmetric positive definite): Crout factorisation row by row,
//   S(i,j) = sum_{k=1..K} U(i-k,i) D(i-k) U(i-k,i+j-1),   K = min(B-j, i-1),
// sums accumulated in order of increasing k; D(i) = A(i,1) - S(i,1) and
// U(i,i+j-1) = (A(i,j) - S(i,j)) / D(i).
//
// The sums of one row are independent of each other, so they are formed in
// blocks of adjacent columns over a row-wise copy of the band (contiguous
// columns of the earlier rows); the copy carries zeros past column B and past
// the last unknown, so every block runs whole. Each row of a column-stored
// band is gathered just before it is factorised and stored back just after.
// The pivot's reciprocal is formed once per row and multiplied in.
#include "fem/band_core.h"
#include "fem/fem_numerics.h"

#include <algorithm>
#include <cstddef>
#include <vector>

#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC optimize("O3", "fp-contract=off")
// The eight-lane helpers are inlined into each instruction-set clone; the
// note about their calling convention without AVX-512 does not apply.
#pragma GCC diagnostic ignored "-Wpsabi"
#endif
#if defined(__GNUC__) && defined(__x86_64__) && defined(__linux__)
#define WF_BAND_CLONES __attribute__((target_clones("avx512f", "avx2", "default")))
#else
#define WF_BAND_CLONES
#endif

namespace wf {
namespace {

constexpr int kBlock = 8;  // band columns summed together

using Index = std::ptrdiff_t;

// Eight adjacent band columns; each lane keeps its own sum in order of k.
typedef double Lanes __attribute__((vector_size(8 * sizeof(double))));
typedef double LanesAt __attribute__((vector_size(8 * sizeof(double)), aligned(sizeof(double)), may_alias));
typedef long long LaneIndex __attribute__((vector_size(8 * sizeof(long long))));

inline Lanes loadLanes(const double* p) { return *reinterpret_cast<const LanesAt*>(p); }
inline void storeLanes(double* p, Lanes v) { *reinterpret_cast<LanesAt*>(p) = v; }

// Column-stored band (row p, column c at A[p + c*lda]) or none.
struct ColumnBand {
    double* A;
    Index lda;
};

// Factorisation core. With a column-stored band, row i is gathered into W
// before it is factorised and written back after; otherwise W already holds
// the band. V (same layout) receives each row before its division by the
// pivot, D(i) U(i, i+c), the pivot-weighted multipliers of later rows. The
// finished blocks of row i stay in registers for the first term (k = 1) of
// row i + 1, shifted by one column.
WF_BAND_CLONES int factorRows(int NN, int B, double* __restrict W, double* __restrict V, int ld, ColumnBand src) {
    const int nbMax = (B + kBlock - 1) / kBlock;
    // Blocks of the row being factorised (cur) and of the previous row shifted
    // by one column (shifted), kBlock doubles each.
    constexpr int kLocalBlocks = 8;
    alignas(64) double local[(2 * kLocalBlocks + 1) * kBlock];
    std::vector<double> heap;
    double* cur = local;
    if (nbMax > kLocalBlocks) {
        heap.resize((2 * static_cast<std::size_t>(nbMax) + 1) * kBlock);
        cur = heap.data();
    }
    double* shifted = cur + static_cast<Index>(nbMax) * kBlock;
    const Lanes zero = {};
    for (int b = 0; b <= nbMax; ++b) storeLanes(shifted + b * kBlock, zero);
    const Index vOff = V - W;
    double t1 = 0.0;  // D(i-1) U(i-1, i)
    for (int i = 0; i < NN; ++i) {
        double* __restrict row = W + static_cast<Index>(i) * ld;
        const int J = std::min(B, NN - i);  // columns of row i inside the matrix
        const int nb = (J + kBlock - 1) / kBlock;
        if (src.A) {
            for (int c = 0; c < J; ++c) row[c] = src.A[i + c * src.lda];
            for (int c = J; c < ld; ++c) row[c] = 0.0;
        }
        const int K = std::min(B - 1, i);  // earlier rows reaching row i
        for (int b = 0; b < nb; ++b) {
            const int j0 = b * kBlock;
            const int kmax = std::min(B - 1 - j0, K);
            Lanes s = zero;
            if (kmax >= 1) {
                s = t1 * loadLanes(shifted + j0);
                const double* r = row + 1 - ld;  // row i-k, column k (k = 1)
                for (int k = 2; k <= kmax; ++k) {
                    r += 1 - ld;
                    s += r[vOff] * loadLanes(r + j0);
                }
            }
            storeLanes(cur + j0, loadLanes(row + j0) - s);
        }
        // Columns from J on met only zeros outside the matrix and stay zero.
        const double d = cur[0];
        for (int b = 0; b < nb; ++b) storeLanes(row + vOff + b * kBlock, loadLanes(cur + b * kBlock));
        const bool bad = !(d > 0.0);
        if (!bad) {
            t1 = cur[1];
            const double inv = 1.0 / d;
            for (int b = 0; b < nb; ++b) storeLanes(cur + b * kBlock, loadLanes(cur + b * kBlock) * inv);
            cur[0] = d;
        }
        for (int b = 0; b < nb; ++b) storeLanes(row + b * kBlock, loadLanes(cur + b * kBlock));
        if (src.A)
            for (int c = 0; c < J; ++c) src.A[i + c * src.lda] = row[c];
        if (bad) return i + 1;
        const LaneIndex shiftOne = {1, 2, 3, 4, 5, 6, 7, 8};
        for (int b = 0; b < nb; ++b) {
            const Lanes next = b + 1 < nb ? loadLanes(cur + (b + 1) * kBlock) : zero;
            storeLanes(shifted + b * kBlock, __builtin_shuffle(loadLanes(cur + b * kBlock), next, shiftOne));
        }
        for (int b = nb; b <= nbMax; ++b) storeLanes(shifted + b * kBlock, zero);
    }
    return 0;
}

// Forward and back substitution on a band with row stride RS and column
// stride CS (elements). Forward, U^T z = r with z = D y, so that no division
// lies on the chain from one unknown to the next: z(i) = r(i) - sum over
// increasing k of U(k,i) z(k); then y = z / D. Back, U x = y, each sum takes
// the farthest unknown first so that it waits for the unknown just solved
// only at its last term.
template <bool kRowWise>
WF_BAND_CLONES void solveStrided(int NN, int B, const double* __restrict A, Index ld, double* __restrict R) {
    const Index rs = kRowWise ? ld : 1, cs = kRowWise ? 1 : ld;
    // Forward: the terms of row i walk from (i-K, K) towards (i-1, 1).
    for (int i = 1; i < NN; ++i) {
        const int K = std::min(B - 1, i);
        const double* a = A + static_cast<Index>(i - K) * rs + static_cast<Index>(K) * cs;
        const double* z = R + (i - K);
        double s = 0.0;
        for (int k = K; k >= 1; --k) {
            s += *a * *z;
            a += rs - cs;
            ++z;
        }
        R[i] -= s;
    }
    for (int i = 0; i < NN; ++i) R[i] /= A[static_cast<Index>(i) * rs];
    // Back: row i, columns jmax - i down to 1.
    for (int i = NN - 2; i >= 0; --i) {
        const int C = std::min(NN - 1 - i, B - 1);
        const double* a = A + static_cast<Index>(i) * rs + static_cast<Index>(C) * cs;
        const double* x = R + i + C;
        double s = 0.0;
        for (int c = C; c >= 1; --c) {
            s += *a * *x;
            a -= cs;
            --x;
        }
        R[i] -= s;
    }
}

std::vector<double>& workRows() {
    thread_local std::vector<double> w;
    return w;
}

std::vector<double>& weightedRows() {
    thread_local std::vector<double> v;
    return v;
}

} // namespace

int bandRowStride(int B) { return (B + kBlock - 1 + 3) / 4 * 4; }

int factorBandRows(int NN, int B, double* W, int ld) {
    if (NN < 1 || B < 1) return 0;
    std::vector<double>& v = weightedRows();
    const std::size_t size = static_cast<std::size_t>(NN) * ld;
    if (v.size() < size) v.resize(size);
    return factorRows(NN, B, W, v.data(), ld, ColumnBand{nullptr, 0});
}

void solveBandRows(int NN, int B, const double* W, int ld, double* R) {
    if (NN < 1 || B < 1) return;
    solveStrided<true>(NN, B, W, ld, R);
}

int SFAC(int NN, int B, double* A, int lda) {
    if (NN < 1 || B < 1) return 0;
    const int ld = bandRowStride(B);
    std::vector<double>& w = workRows();
    const std::size_t size = static_cast<std::size_t>(NN) * ld;
    if (w.size() < size) w.resize(size);
    std::vector<double>& v = weightedRows();
    if (v.size() < size) v.resize(size);
    return factorRows(NN, B, w.data(), v.data(), ld, ColumnBand{A, lda});
}

void SSOL(int NN, int B, const double* A, int lda, double* R) {
    if (NN < 1 || B < 1) return;
    solveStrided<false>(NN, B, A, lda, R);
}

} // namespace wf
