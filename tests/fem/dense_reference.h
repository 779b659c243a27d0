// Dense reference solutions for the band-solver tests: the symmetric matrix of
// a column-stored band, Gaussian elimination with partial pivoting, and the
// largest difference relative to the largest reference value.
#pragma once

#include <algorithm>
#include <cmath>
#include <utility>
#include <vector>

namespace wftest {

using Dense = std::vector<std::vector<double>>;

// Symmetric matrix of the band A (column-major NN x B, leading dimension lda).
inline Dense denseOf(int NN, int B, const std::vector<double>& A, int lda) {
    Dense d(NN, std::vector<double>(NN, 0.0));
    for (int i = 0; i < NN; ++i)
        for (int j = 0; j < B && i + j < NN; ++j) d[i][i + j] = d[i + j][i] = A[i + j * lda];
    return d;
}

// Gaussian elimination with partial pivoting, the dense reference solution.
inline std::vector<double> denseSolve(Dense a, std::vector<double> b) {
    const int n = static_cast<int>(b.size());
    for (int c = 0; c < n; ++c) {
        int p = c;
        for (int r = c + 1; r < n; ++r)
            if (std::fabs(a[r][c]) > std::fabs(a[p][c])) p = r;
        std::swap(a[p], a[c]);
        std::swap(b[p], b[c]);
        for (int r = c + 1; r < n; ++r) {
            const double f = a[r][c] / a[c][c];
            for (int k = c; k < n; ++k) a[r][k] -= f * a[c][k];
            b[r] -= f * b[c];
        }
    }
    for (int r = n - 1; r >= 0; --r) {
        for (int k = r + 1; k < n; ++k) b[r] -= a[r][k] * b[k];
        b[r] /= a[r][r];
    }
    return b;
}

inline double maxRelDiff(const std::vector<double>& x, const std::vector<double>& ref) {
    double scale = 0.0, diff = 0.0;
    for (std::size_t i = 0; i < ref.size(); ++i) {
        scale = std::max(scale, std::fabs(ref[i]));
        diff = std::max(diff, std::fabs(x[i] - ref[i]));
    }
    return diff / scale;
}

} // namespace wftest
