// Banded symmetric solver without pivoting (the assembled systems are
// symmetric positive definite): Crout factorisation row by row. Row 1 is
// scaled by the reciprocal of its pivot; for every later row i and column j
//   S(i,j) = sum_{k=1..K} A(i-k,k+j) A(i-k,k+1) A(i-k,1),   K = min(B-j, i-1),
// accumulated from 0 in order of increasing k, each product formed left to
// right; A(i,j) -= S(i,j), and for j > 1 A(i,j) /= A(i,1). The forward
// substitution sums (A(k,i-k+1) A(k,1)) R(k) over increasing k and divides by
// the pivot; the back substitution sums A(i,j-i+1) R(j) over increasing j.
//
// The sums of one row are independent of each other, so they are formed side
// by side in blocks of four adjacent unknowns (short vectors): every lane
// keeps its own sum, term by term in order of k, and no product is regrouped,
// so each lane is the same double as the plain loop. A lane whose terms end
// before the block's (its column runs past B) reads the zero padding: its
// remaining terms are zeros, and adding a zero to a sum that started from +0
// leaves the sum unchanged. Each block of row i runs only over the earlier
// rows that reach its first unknown, so every word it reads belongs to the
// band or to its zero padding. Lanes of the first block below the pivot carry
// meaningless values that never reach a lane of the band.
//
// The time of a factorisation is set by the chain of additions of each row's
// pivot sum, which starts with the term of the row finished just before.
#include "fem/band_core.h"
#include "fem/fem_numerics.h"

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <vector>

#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC optimize("O3", "fp-contract=off")
// The four-lane helpers are inlined into each instruction-set variant; the
// note about their calling convention without AVX does not apply.
#pragma GCC diagnostic ignored "-Wpsabi"
#endif
#if defined(__clang__)
#pragma clang fp contract(off)
// As above: the helpers are always inlined, no vector crosses a call.
#pragma clang diagnostic ignored "-Wpsabi"
#endif
#if defined(__GNUC__) || defined(__clang__)
#define WF_ALWAYS_INLINE __attribute__((always_inline)) inline
#else
#define WF_ALWAYS_INLINE inline
#endif
// x86-64: an AVX2 variant chosen at run time, the baseline variant otherwise.
#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
#define WF_BAND_AVX2 1
#define WF_TARGET_AVX2 __attribute__((target("avx2")))
#endif


namespace wf {
namespace {

using Index = std::ptrdiff_t;

// Four adjacent unknowns; each lane keeps its own sum in order of k.
typedef double Lanes __attribute__((vector_size(4 * sizeof(double))));

WF_ALWAYS_INLINE Lanes loadLanes(const double* p) {
    Lanes v;
    std::memcpy(&v, p, sizeof v);
    return v;
}
WF_ALWAYS_INLINE void storeLanes(double* p, Lanes v) { std::memcpy(p, &v, sizeof v); }
WF_ALWAYS_INLINE Lanes splat(double x) { return Lanes{x, x, x, x}; }
typedef long long LaneBits __attribute__((vector_size(4 * sizeof(long long))));

// Largest number of blocks one row spans with the block cores below.
constexpr int kMaxBlocks = 16;

// Blocks spanned by a row of B entries starting at lane 0..3 of its first block.
int blocksOfBand(int B) { return (B + 2) / 4 + 1; }

// The row just finished, kept in registers for the first term of the next
// row: its blocks from its own first block on, its pivot and its coupling
// with the next unknown.
template <int NG>
struct FinishedRow {
    Lanes blocks[NG + 1];
    double d, u;
};

// Where row i lies in the band and what reaches it.
struct RowReach {
    int i, B;
    int K;       // earlier rows reaching row i
    Index g0;    // first unknown of block 0
    int ng;      // blocks of row i inside the matrix
    Index rowAt; // start of row i
    RowReach(int NN, int row, int bandwidth, Index L)
        : i(row), B(bandwidth), K(std::min(bandwidth - 1, row)), g0((row >> 2) << 2),
          ng(((row & 3) + std::min(bandwidth, NN - row) - 1) / 4 + 1), rowAt(static_cast<Index>(row) * L) {}
    // Blocks that term k reaches: those whose first unknown is coupled with row i-k.
    int active(int k) const { return std::min(ng, static_cast<int>((i + B - 1 - k - g0) / 4) + 1); }
};

// Row 1: multiplied by the reciprocal of its pivot; false when the pivot is
// not positive.
template <int NG, bool kRhs>
WF_ALWAYS_INLINE bool factorFirstRow(int NN, int B, double* __restrict W, double* __restrict R,
                                     double* __restrict acc, FinishedRow<NG>& prev) {
    const double d = W[0];
    if (!(d > 0.0)) return false;
    if constexpr (kRhs) R[0] = R[0] / d;
    const Lanes inv = splat(1.0 / d);
    const int ng = (std::min(B, NN) - 1) / 4 + 1;
#pragma GCC unroll 16
    for (int q = 0; q <= NG; ++q) {
        prev.blocks[q] = Lanes{};
        if (q < ng) {
            const Lanes u = loadLanes(W + 4 * q) * inv;
            prev.blocks[q] = u;
            storeLanes(W + 4 * q, u);
            if constexpr (kRhs) storeLanes(acc + 4 * q, loadLanes(acc + 4 * q) + u * splat(d) * splat(R[0]));
        }
    }
    W[0] = d;
    prev.d = d;
    prev.u = prev.blocks[0][1];
    return true;
}

// Term k = 1 of row i's sums from the registers (row i-1's blocks start one
// block earlier when row i starts a block). The sums start with it instead
// of with +0; see subtractSums.
template <int NG>
WF_ALWAYS_INLINE void firstTerm(const RowReach& row, const FinishedRow<NG>& prev, Lanes (&s)[NG]) {
    const int a1 = row.active(1);
    const bool shift = (row.i & 3) == 0;
    const Lanes u = splat(prev.u), d = splat(prev.d);
#pragma GCC unroll 16
    for (int q = 0; q < NG; ++q) {
        const Lanes f = shift ? prev.blocks[q + 1] : prev.blocks[q];
        s[q] = row.K >= 1 && q < a1 ? f * u * d : Lanes{};
    }
}

// Terms k = 2.. of row i's sums, in runs with the same number of blocks
// (fewer as k grows).
template <int NG>
WF_ALWAYS_INLINE void laterTerms(const RowReach& row, const double* __restrict W, Index L, Lanes (&s)[NG]) {
    const int i = row.i;
    const Index g0 = row.g0;
    int k = 2;
    while (k <= row.K) {
        const int a = row.active(k);
        const int kend = std::min(row.K, static_cast<int>(i + row.B - 1 - g0 - 4 * (a - 1)));
        switch (a) {
#define WF_TERMS(A)                                                                      \
    case A:                                                                              \
        if constexpr (A <= NG) {                                                         \
            for (; k <= kend; ++k) {                                                     \
                const Index r = row.rowAt - static_cast<Index>(k) * L;                   \
                const Lanes u = splat(W[r + i]);                                         \
                const Lanes d = splat(W[r + i - k]);                                     \
                const double* f = W + r + g0;                                            \
                _Pragma("GCC unroll 16") for (int q = 0; q < A; ++q) s[q] += loadLanes(f + 4 * q) * u * d; \
            }                                                                            \
        }                                                                                \
        break;
            WF_TERMS(1) WF_TERMS(2) WF_TERMS(3) WF_TERMS(4) WF_TERMS(5) WF_TERMS(6) WF_TERMS(7) WF_TERMS(8)
            WF_TERMS(9) WF_TERMS(10) WF_TERMS(11) WF_TERMS(12) WF_TERMS(13) WF_TERMS(14) WF_TERMS(15)
            WF_TERMS(16)
#undef WF_TERMS
        default:
            k = kend + 1;
        }
    }
}

// A(i,j) - S(i,j) into s. A sum started from +0 differs from one started
// with its first term only when every term is a zero (it is then +0, the
// other may be -0), and A - (+0) is A: lanes whose sum is a zero keep A.
template <int NG>
WF_ALWAYS_INLINE void subtractSums(const double* rowStart, int ng, Lanes (&s)[NG]) {
#pragma GCC unroll 16
    for (int q = 0; q < NG; ++q)
        if (q < ng) {
            const Lanes a = loadLanes(rowStart + 4 * q);
            const LaneBits zero = s[q] == Lanes{};
            s[q] = reinterpret_cast<Lanes>((reinterpret_cast<LaneBits>(a) & zero) |
                                           (reinterpret_cast<LaneBits>(a - s[q]) & ~zero));
        }
}

// Lane 0..3 of a block, taken out of the vector without a trip through memory.
WF_ALWAYS_INLINE double laneOf(const Lanes& v, int lane) {
    switch (lane) {
    case 0: return v[0];
    case 1: return v[1];
    case 2: return v[2];
    default: return v[3];
    }
}

// Row i divided by its pivot d and stored, kept in the registers for the
// next row; with kRhs R(i) is solved and its terms added to the sums acc.
template <int NG, bool kRhs>
WF_ALWAYS_INLINE void finishRow(const RowReach& row, double* __restrict W, double* __restrict R,
                                double* __restrict acc, double d, const Lanes (&s)[NG], FinishedRow<NG>& prev) {
    const int i = row.i;
    double* rowStart = W + row.rowAt + row.g0;
    if constexpr (kRhs) R[i] = (R[i] - acc[i]) / d;
    const Lanes dv = splat(d);
#pragma GCC unroll 16
    for (int q = 0; q <= NG; ++q) {
        prev.blocks[q] = Lanes{};
        if (q < NG && q < row.ng) {
            const Lanes u = s[q] / dv;
            prev.blocks[q] = u;
            storeLanes(rowStart + 4 * q, u);
            if constexpr (kRhs) {
                double* a = acc + row.g0 + 4 * q;
                storeLanes(a, loadLanes(a) + u * dv * splat(R[i]));
            }
        }
    }
    W[row.rowAt + i] = d;
    prev.d = d;
    // U(i, i+1)
    prev.u = (i & 3) == 3 ? prev.blocks[1][0] : laneOf(prev.blocks[0], (i & 3) + 1);
}

// Factorisation with at most NG blocks per row. Row r's entry for unknown g
// lies at r*L + g (L = ld - 1, a multiple of four); its pivot at r*L + r.
// With kRhs the forward substitution of R runs in the same row loop: once row
// i's pivot is known, R(i) = (R(i) - acc(i)) / D(i), and row i adds its terms
// (U(i,g) D(i)) R(i) to the sums acc(g) of the unknowns it reaches, block by
// block. acc (zero on entry, NN + 4 NG entries) thus takes the terms of each
// unknown in order of increasing row from +0, as the forward pass does; the
// zero terms of rows that do not reach g come before g's first term and
// leave its +0 as it is, and lanes of unknowns already solved carry nothing
// that is read again.
template <int NG, bool kRhs>
WF_ALWAYS_INLINE int factorBlocks(int NN, int B, double* __restrict W, Index L, double* __restrict R,
                                  double* __restrict acc) {
    FinishedRow<NG> prev;
    if (!factorFirstRow<NG, kRhs>(NN, B, W, R, acc, prev)) return 1;
    for (int i = 1; i < NN; ++i) {
        const RowReach row(NN, i, B, L);
        Lanes s[NG];
        firstTerm<NG>(row, prev, s);
        laterTerms<NG>(row, W, L, s);
        double* rowStart = W + row.rowAt + row.g0;
        subtractSums<NG>(rowStart, row.ng, s);
        const double d = laneOf(s[0], i & 3);
        if (!(d > 0.0)) {
            for (int q = 0; q < row.ng; ++q) storeLanes(rowStart + 4 * q, s[q]);
            return i + 1;
        }
        finishRow<NG, kRhs>(row, W, R, acc, d, s, prev);
    }
    return 0;
}

// Plain row-by-row factorisation for bands wider than the block cores take.
template <bool kRhs>
int factorWide(int NN, int B, double* W, Index ld, double* R) {
    const double d0 = W[0];
    if (!(d0 > 0.0)) return 1;
    if constexpr (kRhs) R[0] = R[0] / d0;
    const double inv = 1.0 / d0;
    for (int c = 1; c < std::min(B, NN); ++c) W[c] = W[c] * inv;
    for (int i = 1; i < NN; ++i) {
        const int J = std::min(B, NN - i);
        double* a = W + i * ld;
        for (int c = 0; c < J; ++c) {
            const int K = std::min(B - 1 - c, i);
            double s = 0.0;
            for (int k = 1; k <= K; ++k) {
                const double* p = W + (i - k) * ld;
                s += p[k + c] * p[k] * p[0];
            }
            a[c] = a[c] - s;
            if (c == 0 && !(a[0] > 0.0)) return i + 1;
            if (c != 0) a[c] = a[c] / a[0];
        }
        if constexpr (kRhs) {
            double t = 0.0;
            for (int k = std::min(B - 1, i); k >= 1; --k) {
                const double* p = W + (i - k) * ld;
                t += p[k] * p[0] * R[i - k];
            }
            R[i] = (R[i] - t) / a[0];
        }
    }
    return 0;
}

template <bool kRhs>
WF_ALWAYS_INLINE int factorRowsWith(int NN, int B, double* W, int ld, double* R, double* acc) {
    const Index L = ld - 1;
    const int nb = blocksOfBand(B);
    if (nb <= 2) return factorBlocks<2, kRhs>(NN, B, W, L, R, acc);
    if (nb <= 4) return factorBlocks<4, kRhs>(NN, B, W, L, R, acc);
    if (nb <= 6) return factorBlocks<6, kRhs>(NN, B, W, L, R, acc);
    if (nb <= 8) return factorBlocks<8, kRhs>(NN, B, W, L, R, acc);
    if (nb <= 12) return factorBlocks<12, kRhs>(NN, B, W, L, R, acc);
    if (nb <= kMaxBlocks) return factorBlocks<kMaxBlocks, kRhs>(NN, B, W, L, R, acc);
    return factorWide<kRhs>(NN, B, W, ld, R);
}

// Forward substitution U^T D y = r on the row-wise factor.
WF_ALWAYS_INLINE void forwardRowsWith(int NN, int B, const double* __restrict W, Index ld, double* __restrict R) {
    R[0] = R[0] / W[0];
    for (int i = 1; i < NN; ++i) {
        const int K = std::min(B - 1, i);
        double t = 0.0;
        for (int k = K; k >= 1; --k) {
            const double* p = W + (i - k) * ld;
            t += p[k] * p[0] * R[i - k];
        }
        R[i] = (R[i] - t) / W[i * ld];
    }
}

// Back substitution U x = y on the row-wise factor: row i takes its couplings
// in order of increasing unknown.
WF_ALWAYS_INLINE void backRowsWith(int NN, int B, const double* __restrict W, Index ld, double* __restrict R) {
    double last = R[NN - 1];  // the unknown just solved, kept in a register
    for (int i = NN - 2; i >= 0; --i) {
        const int C = std::min(NN - 1 - i, B - 1);
        const double* a = W + i * ld;
        const double* x = R + i;
        // The sum starts with its first term instead of +0: the two differ
        // only when every term is a zero, and then R(i) - (+0) is R(i).
        double s = a[1] * last;
        for (int c = 2; c <= C; ++c) s += a[c] * x[c];
        last = s == 0.0 ? R[i] : R[i] - s;
        R[i] = last;
    }
}

int factorBase(int NN, int B, double* W, int ld, double* R, double* acc) {
    return R ? factorRowsWith<true>(NN, B, W, ld, R, acc) : factorRowsWith<false>(NN, B, W, ld, nullptr, nullptr);
}
void forwardBase(int NN, int B, const double* W, int ld, double* R) { forwardRowsWith(NN, B, W, ld, R); }
void backBase(int NN, int B, const double* W, int ld, double* R) { backRowsWith(NN, B, W, ld, R); }

#if defined(WF_BAND_AVX2)
WF_TARGET_AVX2 int factorAvx2(int NN, int B, double* W, int ld, double* R, double* acc) {
    return R ? factorRowsWith<true>(NN, B, W, ld, R, acc) : factorRowsWith<false>(NN, B, W, ld, nullptr, nullptr);
}
WF_TARGET_AVX2 void forwardAvx2(int NN, int B, const double* W, int ld, double* R) { forwardRowsWith(NN, B, W, ld, R); }
WF_TARGET_AVX2 void backAvx2(int NN, int B, const double* W, int ld, double* R) { backRowsWith(NN, B, W, ld, R); }

bool haveAvx2() {
    static const bool yes = __builtin_cpu_supports("avx2");
    return yes;
}
#endif

BandBuffer& forwardSums() {
    thread_local BandBuffer a;
    return a;
}

// R null: factorisation only; otherwise with the forward substitution of R.
int factorRows(int NN, int B, double* W, int ld, double* R) {
    double* acc = nullptr;
    if (R) {
        BandBuffer& a = forwardSums();
        const std::size_t size = static_cast<std::size_t>(NN) + 4 * kMaxBlocks + 8;
        if (a.size() < size) a.assign(size, 0.0);
        acc = a.data();
        std::fill(acc, acc + size, 0.0);
    }
#if defined(WF_BAND_AVX2)
    if (haveAvx2()) return factorAvx2(NN, B, W, ld, R, acc);
#endif
    return factorBase(NN, B, W, ld, R, acc);
}

void forwardRows(int NN, int B, const double* W, int ld, double* R) {
#if defined(WF_BAND_AVX2)
    if (haveAvx2()) return forwardAvx2(NN, B, W, ld, R);
#endif
    forwardBase(NN, B, W, ld, R);
}

void backRows(int NN, int B, const double* W, int ld, double* R) {
#if defined(WF_BAND_AVX2)
    if (haveAvx2()) return backAvx2(NN, B, W, ld, R);
#endif
    backBase(NN, B, W, ld, R);
}

// Column-stored band A (entry (i, c) at i + c*lda) into the row-wise band W:
// row i gets its entries inside the matrix, zeros for the unknowns past the
// last row and in the padding up to the row stride.
void columnsToRows(int NN, int B, const double* __restrict A, Index lda, double* __restrict W, Index ld) {
    for (int i = 0; i < NN; ++i) {
        double* wr = W + i * ld;
        const int J = std::min(B, NN - i);
        for (int c = 0; c < J; ++c) wr[c] = A[c * lda + i];
        for (Index c = J; c < ld; ++c) wr[c] = 0.0;
    }
}

// The row-wise factor back into the column-stored band; positions outside
// the matrix are not written.
void rowsToColumns(int NN, int B, const double* __restrict W, Index ld, double* __restrict A, Index lda) {
    for (int c = 0; c < B; ++c)
        for (int i = 0; i + c < NN; ++i) A[c * lda + i] = W[i * ld + c];
}

BandBuffer& workRows() {
    thread_local BandBuffer w;
    return w;
}

double* sizedBuffer(BandBuffer& b, std::size_t size) {
    if (b.size() < size) b.assign(size, 0.0);
    return b.data();
}

} // namespace

int bandRowStride(int B) { return (B + 5 + 3) / 4 * 4 + 1; }

int factorBandRows(int NN, int B, double* W, int ld) {
    if (NN < 1 || B < 1) return 0;
    return factorRows(NN, B, W, ld, nullptr);
}

int factorForwardBandRows(int NN, int B, double* W, int ld, double* R) {
    if (NN < 1 || B < 1) return 0;
    return factorRows(NN, B, W, ld, R);
}

void solveBandRows(int NN, int B, const double* W, int ld, double* R) {
    if (NN < 1 || B < 1) return;
    forwardRows(NN, B, W, ld, R);
    backRows(NN, B, W, ld, R);
}

void backBandRows(int NN, int B, const double* W, int ld, double* R) {
    if (NN < 1 || B < 1) return;
    backRows(NN, B, W, ld, R);
}

// The column-stored band is copied into the row-wise band (zeros past the
// matrix and in the padding), factorised there and copied back; positions
// outside the matrix are neither read nor written.
int SFAC(int NN, int B, double* A, int lda) {
    if (NN < 1 || B < 1) return 0;
    const int ld = bandRowStride(B);
    double* W = sizedBuffer(workRows(), static_cast<std::size_t>(NN) * ld);
    columnsToRows(NN, B, A, lda, W, ld);
    const int bad = factorRows(NN, B, W, ld, nullptr);
    rowsToColumns(NN, B, W, ld, A, lda);
    return bad;
}

// Forward and back substitution on the column-stored factor, in the order of
// the row-wise passes.
void SSOL(int NN, int B, const double* A, int lda, double* R) {
    if (NN < 1 || B < 1) return;
    const Index ld = lda;
    R[0] = R[0] / A[0];
    for (int i = 1; i < NN; ++i) {
        double t = 0.0;
        for (int k = std::max(0, i + 1 - B); k < i; ++k) t += A[k + (i - k) * ld] * A[k] * R[k];
        R[i] = (R[i] - t) / A[i];
    }
    for (int i = NN - 2; i >= 0; --i) {
        const int jmax = std::min(NN - 1, i + B - 1);
        double s = 0.0;
        for (int j = i + 1; j <= jmax; ++j) s += A[i + (j - i) * ld] * R[j];
        R[i] = R[i] - s;
    }
}

} // namespace wf
