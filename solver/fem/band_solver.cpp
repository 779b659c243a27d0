// Banded symmetric solver without pivoting (the assembled systems are
// symmetric positive definite): Crout factorisation row by row,
//   S(i,j) = sum_{k=1..K} U(i-k,i) D(i-k) U(i-k,i+j-1),   K = min(B-j, i-1),
// sums accumulated in order of increasing k; D(i) = A(i,1) - S(i,1) and
// U(i,i+j-1) = (A(i,j) - S(i,j)) / D(i).
// The work is done on a row-wise copy of the band so that the inner loops run
// over contiguous columns of earlier rows.
#include "fem/band_core.h"
#include "fem/fem_numerics.h"

#include <algorithm>
#include <cstddef>
#include <vector>

namespace wf {
namespace {

constexpr int kBlock = 8;  // band columns summed together

std::vector<double>& workRows() {
    thread_local std::vector<double> w;
    return w;
}

} // namespace

int bandRowStride(int B) { return (B + kBlock - 1 + 3) / 4 * 4; }

int factorBandRows(int NN, int B, double* W, int ld) {
    if (NN < 1) return 0;
    if (!(W[0] > 0.0)) return 1;
    {
        const double inv = 1.0 / W[0];
        for (int c = 1; c < B; ++c) W[c] *= inv;
    }
    double t[64 + kBlock];
    std::vector<double> tBig;
    double* tk = t;
    if (B > 64) {
        tBig.assign(static_cast<std::size_t>(B) + kBlock, 0.0);
        tk = tBig.data();
    }
    for (int i = 1; i < NN; ++i) {
        double* row = W + static_cast<std::ptrdiff_t>(i) * ld;
        const int K = std::min(B - 1, i);     // earlier rows reaching row i
        const int J = std::min(B, NN - i);    // columns of row i inside the matrix
        // Pivot-weighted multipliers U(i-k, i) D(i-k) of the earlier rows.
        for (int k = 1; k <= K; ++k) {
            const double* p = row - static_cast<std::ptrdiff_t>(k) * ld;
            tk[k] = p[k] * p[0];
        }
        for (int j0 = 0; j0 < J; j0 += kBlock) {
            const int kmax = std::min(B - 1 - j0, K);
            double s[kBlock] = {};
            for (int k = 1; k <= kmax; ++k) {
                const double tkk = tk[k];
                const double* r = row - static_cast<std::ptrdiff_t>(k) * ld + k + j0;
                for (int u = 0; u < kBlock; ++u) s[u] += tkk * r[u];
            }
            for (int u = 0; u < kBlock; ++u) row[j0 + u] -= s[u];
        }
        // Columns j >= J held zeros and stay zero: their sums only meet padding.
        for (int c = J; c < B; ++c) row[c] = 0.0;
        const double d = row[0];
        if (!(d > 0.0)) return i + 1;
        const double inv = 1.0 / d;
        for (int c = 1; c < J; ++c) row[c] *= inv;
    }
    return 0;
}

void solveBandRows(int NN, int B, const double* W, int ld, double* R) {
    if (NN < 1) return;
    auto at = [&](int p, int c) { return W[static_cast<std::ptrdiff_t>(p) * ld + c]; };
    // Forward: U^T D y = r.
    R[0] = R[0] / at(0, 0);
    for (int i = 1; i < NN; ++i) {
        const int k0 = std::max(0, i + 1 - B);
        double s = 0.0;
        for (int k = k0; k < i; ++k) s += at(k, i - k) * at(k, 0) * R[k];
        R[i] = (R[i] - s) / at(i, 0);
    }
    // Back: U x = y.
    for (int i = NN - 2; i >= 0; --i) {
        const int jmax = std::min(NN - 1, i + B - 1);
        double s = 0.0;
        for (int j = i + 1; j <= jmax; ++j) s += at(i, j - i) * R[j];
        R[i] -= s;
    }
}

int SFAC(int NN, int B, double* A, int lda) {
    if (NN < 1 || B < 1) return 0;
    const int ld = bandRowStride(B);
    std::vector<double>& w = workRows();
    w.assign(static_cast<std::size_t>(NN) * ld, 0.0);
    for (int c = 0; c < B; ++c) {
        const double* col = A + static_cast<std::ptrdiff_t>(c) * lda;
        const int rows = NN - c;  // rows whose column c lies inside the matrix
        for (int p = 0; p < rows; ++p) w[static_cast<std::size_t>(p) * ld + c] = col[p];
    }
    const int bad = factorBandRows(NN, B, w.data(), ld);
    for (int c = 0; c < B; ++c) {
        double* col = A + static_cast<std::ptrdiff_t>(c) * lda;
        const int rows = NN - c;
        for (int p = 0; p < rows; ++p) col[p] = w[static_cast<std::size_t>(p) * ld + c];
    }
    return bad;
}

void SSOL(int NN, int B, const double* A, int lda, double* R) {
    if (NN < 1 || B < 1) return;
    auto at = [&](int p, int c) { return A[p + static_cast<std::ptrdiff_t>(c) * lda]; };
    R[0] = R[0] / at(0, 0);
    for (int i = 1; i < NN; ++i) {
        const int k0 = std::max(0, i + 1 - B);
        double s = 0.0;
        for (int k = k0; k < i; ++k) s += at(k, i - k) * at(k, 0) * R[k];
        R[i] = (R[i] - s) / at(i, 0);
    }
    for (int i = NN - 2; i >= 0; --i) {
        const int jmax = std::min(NN - 1, i + B - 1);
        double s = 0.0;
        for (int j = i + 1; j <= jmax; ++j) s += at(i, j - i) * R[j];
        R[i] -= s;
    }
}

} // namespace wf
