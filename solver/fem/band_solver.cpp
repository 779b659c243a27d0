// Banded symmetric solver without pivoting (the assembled systems are
// symmetric positive definite): Crout factorisation row by row,
//   S(i,j) = sum_{k=1..K} U(i-k,i) D(i-k) U(i-k,i+j-1),   K = min(B-j, i-1),
// sums accumulated in order of increasing k; D(i) = A(i,1) - S(i,1) and
// U(i,i+j-1) = (A(i,j) - S(i,j)) / D(i).
//
// Every sum of row i starts with the term of row i-1, finished just before,
// so the time of a factorisation is set by the chain of additions of each row
// and the step from one pivot to the next row's first term. The sums of one
// row are independent of each other: they are formed in blocks of four
// adjacent unknowns (short vectors, whose additions have the shortest
// latency), over the row-wise band of band_core.h, in which a block of
// unknowns lies at the same alignment in every row. Each block of row i runs
// only over the earlier rows that reach its first unknown, so every word it
// reads belongs to the band or to its zero padding. Lanes of the first block
// below the pivot carry meaningless values that never reach a lane of the band.
//
// Besides the factor W the core keeps V = A - S, i.e. D(i) U(i, .), before the
// division by the pivot: term k of row i is V(i-k, i) U(i-k, .), and the first
// term (k = 1) is (V(i-1, i) / D(i-1)) V(i-1, .), one division away from the
// pivot just formed.
#include "fem/band_core.h"
#include "fem/fem_numerics.h"

#include <algorithm>
#include <cstddef>
#include <vector>

#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC optimize("O3", "fp-contract=off")
// The four-lane helpers are inlined into each instruction-set clone; the
// note about their calling convention without AVX does not apply.
#pragma GCC diagnostic ignored "-Wpsabi"
#endif
#if defined(__GNUC__) && defined(__x86_64__) && defined(__linux__)
#define WF_BAND_CLONES __attribute__((target_clones("avx2", "default")))
#else
#define WF_BAND_CLONES
#endif
#if defined(__GNUC__)
#define WF_ALWAYS_INLINE __attribute__((always_inline)) inline
#else
#define WF_ALWAYS_INLINE inline
#endif

namespace wf {
namespace {

using Index = std::ptrdiff_t;

// Four adjacent unknowns; each lane keeps its own sum in order of k.
typedef double Lanes __attribute__((vector_size(4 * sizeof(double))));
typedef double LanesAt __attribute__((vector_size(4 * sizeof(double)), aligned(sizeof(double)), may_alias));

WF_ALWAYS_INLINE Lanes loadLanes(const double* p) { return *reinterpret_cast<const LanesAt*>(p); }
WF_ALWAYS_INLINE void storeLanes(double* p, Lanes v) { *reinterpret_cast<LanesAt*>(p) = v; }
WF_ALWAYS_INLINE Lanes splat(double x) { return Lanes{x, x, x, x}; }

// Largest number of blocks one row spans with the block cores below.
constexpr int kMaxBlocks = 16;

// Blocks spanned by a row of B entries starting at lane 0..3 of its first block.
int blocksOfBand(int B) { return (B + 2) / 4 + 1; }

// Where the matrix of the step comes from: the band in W itself, or dt*K + M.
struct Source {
    const double* K;  // null: A is in W
    const double* M;
    double dt;
    WF_ALWAYS_INLINE Lanes load(const double* W, Index at) const {
        return K ? splat(dt) * loadLanes(K + at) + loadLanes(M + at) : loadLanes(W + at);
    }
};

// Factorisation with at most NG blocks per row. Row r's entry for unknown g
// lies at r*L + g (L = ld - 1, a multiple of four).
//
// With kRhs the forward substitution of R runs in the same row loop: once row
// i's pivot is known, R(i) becomes y(i) = (r(i) - sum_k V(i-k,i) y(i-k)) /
// D(i), the sum taken from the farthest row i-K to the nearest, so that it
// waits for y(i-1) only at its last term.
template <int NG, bool kRhs>
WF_ALWAYS_INLINE int factorBlocks(int NN, int B, Source src, double* __restrict W, double* __restrict V, Index L,
                                  double* __restrict R) {
    Lanes s[NG];
    double w = 0.0;  // V(i-1, i) / D(i-1)
    for (int i = 0; i < NN; ++i) {
        const int J = std::min(B, NN - i);       // columns of row i inside the matrix
        const int K = std::min(B - 1, i);        // earlier rows reaching row i
        const Index g0 = (i >> 2) << 2;          // first unknown of block 0
        const int ng = ((i & 3) + J - 1) / 4 + 1;
        const Index rowAt = static_cast<Index>(i) * L;
        // Blocks that term k reaches: those whose first unknown is coupled with row i-k.
        auto active = [&](int k) { return std::min(ng, static_cast<int>((i + B - 1 - k - g0) / 4) + 1); };
        // Rows i-K .. i-2 of the forward sum first (issued ahead of the
        // block terms), the row just finished last.
        double t = 0.0;
        if constexpr (kRhs)
            for (int k = K; k >= 2; --k) t += V[rowAt - static_cast<Index>(k) * L + i] * R[i - k];
#pragma GCC unroll 16
        for (int q = 0; q < NG; ++q) s[q] = Lanes{};
        if (K >= 1) {
            const int a1 = active(1);
            const Lanes wv = splat(w);
            const double* v1 = V + rowAt - L + g0;
#pragma GCC unroll 16
            for (int q = 0; q < NG; ++q)
                if (q < a1) s[q] = wv * loadLanes(v1 + 4 * q);
            // Terms k = 2.. in runs with the same number of blocks (fewer as k grows).
            int k = 2;
            while (k <= K) {
                const int a = active(k);
                const int kend = std::min(K, static_cast<int>(i + B - 1 - g0 - 4 * (a - 1)));
                switch (a) {
#define WF_TERMS(A)                                                            \
    case A:                                                                    \
        if constexpr (A <= NG) {                                               \
            for (; k <= kend; ++k) {                                           \
                const Index r = rowAt - static_cast<Index>(k) * L;             \
                const Lanes v = splat(V[r + i]);                               \
                const double* u = W + r + g0;                                  \
                _Pragma("GCC unroll 16") for (int q = 0; q < A; ++q) s[q] += v * loadLanes(u + 4 * q); \
            }                                                                  \
        }                                                                      \
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
#pragma GCC unroll 16
        for (int q = 0; q < NG; ++q)
            if (q < ng) {
                s[q] = src.load(W, rowAt + g0 + 4 * q) - s[q];
                storeLanes(V + rowAt + g0 + 4 * q, s[q]);
            }
        const double d = V[rowAt + i];
        if (!(d > 0.0)) {
            for (int q = 0; q < ng; ++q) storeLanes(W + rowAt + g0 + 4 * q, s[q]);
            return i + 1;
        }
        if constexpr (kRhs) {
            if (K >= 1) t += V[rowAt - L + i] * R[i - 1];
            R[i] = (R[i] - t) / d;
        }
        w = J > 1 ? V[rowAt + i + 1] / d : 0.0;
        const Lanes inv = splat(1.0 / d);
#pragma GCC unroll 16
        for (int q = 0; q < NG; ++q)
            if (q < ng) storeLanes(W + rowAt + g0 + 4 * q, s[q] * inv);
        W[rowAt + i] = d;
    }
    return 0;
}

// Plain row-by-row factorisation for bands wider than the block cores take.
int factorWide(int NN, int B, Source src, double* W, double* V, Index L, double* R) {
    for (int i = 0; i < NN; ++i) {
        const int J = std::min(B, NN - i), K = std::min(B - 1, i);
        const Index rowAt = static_cast<Index>(i) * L;
        for (int c = 0; c < J; ++c) {
            const Index at = rowAt + i + c;
            double s = 0.0;
            for (int k = 1; k <= std::min(K, B - 1 - c); ++k) {
                const Index r = rowAt - static_cast<Index>(k) * L;
                s += V[r + i] * W[r + i + c];
            }
            V[at] = (src.K ? src.dt * src.K[at] + src.M[at] : W[at]) - s;
        }
        const double d = V[rowAt + i];
        if (!(d > 0.0)) {
            for (int c = 0; c < J; ++c) W[rowAt + i + c] = V[rowAt + i + c];
            return i + 1;
        }
        if (R) {
            double t = 0.0;
            for (int k = K; k >= 1; --k) t += V[rowAt - static_cast<Index>(k) * L + i] * R[i - k];
            R[i] = (R[i] - t) / d;
        }
        const double inv = 1.0 / d;
        for (int c = 1; c < J; ++c) W[rowAt + i + c] = V[rowAt + i + c] * inv;
        for (int c = J; c < B; ++c) W[rowAt + i + c] = 0.0;
        W[rowAt + i] = d;
    }
    return 0;
}

template <bool kRhs>
WF_ALWAYS_INLINE int factorRowsWith(int NN, int B, Source src, double* W, double* V, Index L, double* R) {
    const int nb = blocksOfBand(B);
    if (nb <= 2) return factorBlocks<2, kRhs>(NN, B, src, W, V, L, R);
    if (nb <= 4) return factorBlocks<4, kRhs>(NN, B, src, W, V, L, R);
    if (nb <= 6) return factorBlocks<6, kRhs>(NN, B, src, W, V, L, R);
    if (nb <= 8) return factorBlocks<8, kRhs>(NN, B, src, W, V, L, R);
    if (nb <= 12) return factorBlocks<12, kRhs>(NN, B, src, W, V, L, R);
    if (nb <= kMaxBlocks) return factorBlocks<kMaxBlocks, kRhs>(NN, B, src, W, V, L, R);
    return factorWide(NN, B, src, W, V, L, R);
}

// R null: factorisation only; otherwise R is also carried through the
// forward substitution.
WF_BAND_CLONES int factorRows(int NN, int B, Source src, double* W, double* V, int ld, double* R = nullptr) {
    const Index L = ld - 1;
    return R ? factorRowsWith<true>(NN, B, src, W, V, L, R) : factorRowsWith<false>(NN, B, src, W, V, L, nullptr);
}

// Forward and back substitution on a band with row stride RS and column
// stride CS (elements). Forward, U^T z = r with z = D y, so that no division
// lies on the chain from one unknown to the next: z(i) = r(i) - sum over
// increasing k of U(k,i) z(k); then y = z / D. Back, U x = y, each sum takes
// the farthest unknown first so that it waits for the unknown just solved
// only at its last term.
template <bool kRowWise>
WF_ALWAYS_INLINE void forwardStrided(int NN, int B, const double* __restrict A, Index ld, double* __restrict R) {
    const Index rs = kRowWise ? ld : 1, cs = kRowWise ? 1 : ld;
    // The terms of row i walk from (i-K, K) towards (i-1, 1).
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
}

template <bool kRowWise>
WF_ALWAYS_INLINE void backStrided(int NN, int B, const double* __restrict A, Index ld, double* __restrict R) {
    const Index rs = kRowWise ? ld : 1, cs = kRowWise ? 1 : ld;
    // Row i, columns jmax - i down to 1.
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

template <bool kRowWise>
WF_BAND_CLONES void solveStrided(int NN, int B, const double* __restrict A, Index ld, double* __restrict R) {
    forwardStrided<kRowWise>(NN, B, A, ld, R);
    backStrided<kRowWise>(NN, B, A, ld, R);
}

WF_BAND_CLONES void forwardRows(int NN, int B, const double* __restrict A, Index ld, double* __restrict R) {
    forwardStrided<true>(NN, B, A, ld, R);
}

// Back substitution U x = y on the row-wise factor, four unknowns at a time
// (a group g0..g0+3, from the last group up). The couplings of each row of
// the group with the later unknowns (g0+4 on, all solved already) are summed
// in four lanes, the farthest block first and the block just solved last,
// and the lanes are added pairwise; then the group's own 4x4 unit upper
// triangle is solved, each row taking its farthest unknown first. x holds y
// on entry: 32-byte aligned, zero past NN up to NN + 4 * blocks + 8 entries.
// Returns false for bands wider than the lane masks cover.
constexpr int kMaxBackBlocks = 16;
typedef long long LaneBits __attribute__((vector_size(4 * sizeof(long long))));

WF_BAND_CLONES bool backRows(int NN, int B, const double* __restrict W, Index L, double* __restrict x) {
    const int nq = (B + 2) / 4;  // blocks of later unknowns a row of the group reaches
    if (nq > kMaxBackBlocks) return false;
    // Lane l of block q in row t of a group is column 4 - t + 4q + l of the
    // row; it is kept while that column lies inside the band.
    LaneBits keep[4][kMaxBackBlocks];
    for (int t = 0; t < 4; ++t)
        for (int q = 0; q < nq; ++q)
            for (int l = 0; l < 4; ++l) keep[t][q][l] = 4 - t + 4 * q + l <= B - 1 ? -1 : 0;
    // Far part of row t of the group at g0: y minus its couplings with g0+4 on.
    auto far = [&](Index g0, int t) {
        const double* u = W + (g0 + t) * L + g0 + 4;
        const double* xl = x + g0 + 4;
        Lanes acc = Lanes{};
        for (int q = nq - 1; q >= 0; --q) {
            const Lanes uq = reinterpret_cast<Lanes>(reinterpret_cast<LaneBits>(loadLanes(u + 4 * q)) & keep[t][q]);
            acc += uq * loadLanes(xl + 4 * q);
        }
        return x[g0 + t] - ((acc[0] + acc[1]) + (acc[2] + acc[3]));
    };
    Index g0 = static_cast<Index>((NN - 1) >> 2) << 2;
    if (NN - g0 < 4) {  // the last group, part-filled
        const int rows = static_cast<int>(NN - g0);
        double xs[4] = {0.0, 0.0, 0.0, 0.0};
        for (int t = rows - 1; t >= 0; --t) {
            const double* u = W + (g0 + t) * L + g0;
            double v = far(g0, t);
            for (int c = rows - 1; c > t; --c) v -= u[c] * xs[c];
            xs[t] = v;
        }
        storeLanes(x + g0, Lanes{xs[0], xs[1], xs[2], xs[3]});
        g0 -= 4;
    }
    for (; g0 >= 0; g0 -= 4) {
        const double f0 = far(g0, 0), f1 = far(g0, 1), f2 = far(g0, 2), f3 = far(g0, 3);
        const double* u0 = W + g0 * L + g0;
        const double* u1 = u0 + L;
        const double* u2 = u1 + L;
        const double x3 = f3;
        const double x2 = f2 - u2[3] * x3;
        const double x1 = (f1 - u1[3] * x3) - u1[2] * x2;
        const double x0 = ((f0 - u0[3] * x3) - u0[2] * x2) - u0[1] * x1;
        storeLanes(x + g0, Lanes{x0, x1, x2, x3});
    }
    return true;
}

// Row p adds its couplings times h(p) to the unknowns it reaches (blocks of
// four unknowns, accumulated in acc) and takes the sum of its couplings beyond
// the diagonal times their heads; acc(p) is complete once row p is done.
WF_BAND_CLONES void bandTimes(int NN, int B, const double* __restrict M, Index L, const double* __restrict h,
                              double* __restrict acc, double* __restrict R) {
    // Lanes above the pivot lane of block 0.
    static const Lanes above[4] = {{0, 1, 1, 1}, {0, 0, 1, 1}, {0, 0, 0, 1}, {0, 0, 0, 0}};
    std::fill(acc, acc + (NN + 3) / 4 * 4 + 4 * blocksOfBand(B), 0.0);
    for (int p = 0; p < NN; ++p) {
        const Index g0 = (p >> 2) << 2;
        const int J = std::min(B, NN - p);
        const int nb = ((p & 3) + J - 1) / 4 + 1;
        const double* row = M + p * L + g0;
        const Lanes hv = splat(h[p]);
        const Lanes m0 = loadLanes(row);
        storeLanes(acc + g0, loadLanes(acc + g0) + m0 * hv);
        Lanes dot = m0 * loadLanes(h + g0) * above[p & 3];
        for (int q = 1; q < nb; ++q) {
            const Lanes mq = loadLanes(row + 4 * q);
            storeLanes(acc + g0 + 4 * q, loadLanes(acc + g0 + 4 * q) + mq * hv);
            dot += mq * loadLanes(h + g0 + 4 * q);
        }
        R[p] = acc[p] + ((dot[0] + dot[1]) + (dot[2] + dot[3]));
    }
}

// R(p) = sum over the full symmetric row p of M times the heads: row p of MF
// holds M(p, g) for the unknowns g from gs(p) = 4 floor((p + O - B + 1) / 4) - O
// on, nq blocks of four, zero outside the band; hp holds h shifted by O
// (hp(O + g) = h(g), zero elsewhere). Each row is one lane-wise dot product,
// independent of the others.
WF_BAND_CLONES void fullRowsTimes(int NN, int B, const double* __restrict MF, Index S, int nq, const double* __restrict hp,
                                  int O, double* __restrict R) {
    for (int p = 0; p < NN; ++p) {
        const double* row = MF + p * S;
        const double* h = hp + ((p + O - B + 1) >> 2 << 2);
        Lanes acc = Lanes{};
        for (int q = 0; q < nq; ++q) acc += loadLanes(row + 4 * q) * loadLanes(h + 4 * q);
        R[p] = (acc[0] + acc[1]) + (acc[2] + acc[3]);
    }
}

// Four rows and four columns swapped: o[j][k] = r[k][j].
typedef long long LaneSel __attribute__((vector_size(4 * sizeof(long long))));
WF_ALWAYS_INLINE void transpose4(const Lanes r[4], Lanes o[4]) {
    const Lanes t0 = __builtin_shuffle(r[0], r[1], LaneSel{0, 4, 2, 6});
    const Lanes t1 = __builtin_shuffle(r[0], r[1], LaneSel{1, 5, 3, 7});
    const Lanes t2 = __builtin_shuffle(r[2], r[3], LaneSel{0, 4, 2, 6});
    const Lanes t3 = __builtin_shuffle(r[2], r[3], LaneSel{1, 5, 3, 7});
    o[0] = __builtin_shuffle(t0, t2, LaneSel{0, 1, 4, 5});
    o[1] = __builtin_shuffle(t1, t3, LaneSel{0, 1, 4, 5});
    o[2] = __builtin_shuffle(t0, t2, LaneSel{2, 3, 6, 7});
    o[3] = __builtin_shuffle(t1, t3, LaneSel{2, 3, 6, 7});
}

// Column-stored band A (entry (i, c) at i + c*lda, column c holding rows
// 0..NN-1-c) into the row-wise band W: row i gets its B entries, zeros for
// the unknowns past the last row and in the padding up to the row stride.
// Groups of four rows whose entries all lie inside the matrix are moved as
// 4x4 tiles (four contiguous reads down the columns, four contiguous writes
// along the rows); the remaining columns and the last rows one by one.
WF_BAND_CLONES void columnsToRows(int NN, int B, const double* __restrict A, Index lda, double* __restrict W,
                                  Index ld) {
    const int B4 = B / 4 * 4;
    int i = 0;
    for (; i + 3 + B - 1 < NN; i += 4) {
        double* w = W + i * ld;
        for (int c = 0; c < B4; c += 4) {
            Lanes r[4], o[4];
            for (int k = 0; k < 4; ++k) r[k] = loadLanes(A + (c + k) * lda + i);
            transpose4(r, o);
            for (int j = 0; j < 4; ++j) storeLanes(w + j * ld + c, o[j]);
        }
        for (int j = 0; j < 4; ++j) {
            double* wr = w + j * ld;
            for (int c = B4; c < B; ++c) wr[c] = A[c * lda + i + j];
            for (Index c = B; c < ld; ++c) wr[c] = 0.0;
        }
    }
    for (; i < NN; ++i) {
        double* wr = W + i * ld;
        const int J = std::min(B, NN - i);
        for (int c = 0; c < J; ++c) wr[c] = A[c * lda + i];
        for (Index c = J; c < ld; ++c) wr[c] = 0.0;
    }
}

// The row-wise factor back into the column-stored band; positions outside
// the matrix are not written.
WF_BAND_CLONES void rowsToColumns(int NN, int B, const double* __restrict W, Index ld, double* __restrict A,
                                  Index lda) {
    const int B4 = B / 4 * 4;
    int i = 0;
    for (; i + 3 + B - 1 < NN; i += 4) {
        const double* w = W + i * ld;
        for (int c = 0; c < B4; c += 4) {
            Lanes r[4], o[4];
            for (int j = 0; j < 4; ++j) r[j] = loadLanes(w + j * ld + c);
            transpose4(r, o);
            for (int k = 0; k < 4; ++k) storeLanes(A + (c + k) * lda + i, o[k]);
        }
        for (int j = 0; j < 4; ++j)
            for (int c = B4; c < B; ++c) A[c * lda + i + j] = w[j * ld + c];
    }
    for (; i < NN; ++i) {
        const double* wr = W + i * ld;
        const int J = std::min(B, NN - i);
        for (int c = 0; c < J; ++c) A[c * lda + i] = wr[c];
    }
}

BandBuffer& workRows() {
    thread_local BandBuffer w;
    return w;
}

BandBuffer& weightedRows() {
    thread_local BandBuffer v;
    return v;
}

BandBuffer& solutionWork() {
    thread_local BandBuffer x;
    return x;
}

double* sizedBuffer(BandBuffer& b, std::size_t size) {
    if (b.size() < size) b.assign(size, 0.0);
    return b.data();
}

// Back substitution of y in R (NN entries) on the row-wise factor, through a
// zero-padded aligned copy.
void backSubstituteRows(int NN, int B, const double* W, int ld, double* R) {
    const std::size_t size = static_cast<std::size_t>(NN) + 4 * static_cast<std::size_t>((B + 2) / 4) + 16;
    double* x = sizedBuffer(solutionWork(), size);
    std::copy(R, R + NN, x);
    std::fill(x + NN, x + size, 0.0);
    if (backRows(NN, B, W, ld - 1, x))
        std::copy(x, x + NN, R);
    else
        backStrided<true>(NN, B, W, ld, R);
}

} // namespace

int bandRowStride(int B) { return (B + 5 + 3) / 4 * 4 + 1; }

int factorBandRows(int NN, int B, double* W, int ld) {
    if (NN < 1 || B < 1) return 0;
    double* V = sizedBuffer(weightedRows(), static_cast<std::size_t>(NN) * ld);
    return factorRows(NN, B, Source{nullptr, nullptr, 0.0}, W, V, ld);
}

int factorBandRowsOf(int NN, int B, double dt, const double* K, const double* M, double* W, int ld) {
    if (NN < 1 || B < 1) return 0;
    double* V = sizedBuffer(weightedRows(), static_cast<std::size_t>(NN) * ld);
    return factorRows(NN, B, Source{K, M, dt}, W, V, ld);
}

int fullRowOffset(int B) { return (B + 3) / 4 * 4; }
int fullRowBlocks(int B) { return (2 * B - 1 + 3 + 3) / 4; }

void fullSymmetricRows(int NN, int B, const double* M, int ld, BandBuffer& MF) {
    const int O = fullRowOffset(B), nq = fullRowBlocks(B);
    const Index S = 4 * nq;
    MF.assign(static_cast<std::size_t>(NN) * S, 0.0);
    for (int p = 0; p < NN; ++p) {
        const int gs = ((p + O - B + 1) >> 2 << 2) - O;
        for (int g = std::max(0, p - B + 1); g <= std::min(NN - 1, p + B - 1); ++g) {
            const double m = g >= p ? M[static_cast<Index>(p) * ld + (g - p)] : M[static_cast<Index>(g) * ld + (p - g)];
            MF[static_cast<std::size_t>(p * S + (g - gs))] = m;
        }
    }
}

std::size_t fullRowHeadsSize(int NN, int B) {
    return static_cast<std::size_t>(fullRowOffset(B)) + NN + 4 * fullRowBlocks(B) + 8;
}

void fullSymmetricTimes(int NN, int B, const double* MF, const double* hp, double* R) {
    if (NN < 1 || B < 1) return;
    fullRowsTimes(NN, B, MF, 4 * fullRowBlocks(B), fullRowBlocks(B), hp, fullRowOffset(B), R);
}

void symmetricBandTimes(int NN, int B, const double* M, int ld, const double* h, double* acc, double* R) {
    if (NN < 1 || B < 1) return;
    bandTimes(NN, B, M, ld - 1, h, acc, R);
}

void solveBandRows(int NN, int B, const double* W, int ld, double* R) {
    if (NN < 1 || B < 1) return;
    forwardRows(NN, B, W, ld, R);
    backSubstituteRows(NN, B, W, ld, R);
}

int factorSolveBandRowsOf(int NN, int B, double dt, const double* K, const double* M, double* W, int ld, double* R) {
    if (NN < 1 || B < 1) return 0;
    double* V = sizedBuffer(weightedRows(), static_cast<std::size_t>(NN) * ld);
    const int bad = factorRows(NN, B, Source{K, M, dt}, W, V, ld, R);
    if (bad != 0) return bad;
    backSubstituteRows(NN, B, W, ld, R);
    return 0;
}

// The column-stored band is copied into the row-wise band (zeros past the
// matrix and in the padding), factorised there and copied back; positions
// outside the matrix are neither read nor written.
int SFAC(int NN, int B, double* A, int lda) {
    if (NN < 1 || B < 1) return 0;
    const int ld = bandRowStride(B);
    const std::size_t size = static_cast<std::size_t>(NN) * ld;
    double* W = sizedBuffer(workRows(), size);
    columnsToRows(NN, B, A, lda, W, ld);
    double* V = sizedBuffer(weightedRows(), size);
    const int bad = factorRows(NN, B, Source{nullptr, nullptr, 0.0}, W, V, ld);
    rowsToColumns(NN, B, W, ld, A, lda);
    return bad;
}

void SSOL(int NN, int B, const double* A, int lda, double* R) {
    if (NN < 1 || B < 1) return;
    solveStrided<false>(NN, B, A, lda, R);
}

} // namespace wf
