#include "fine/fine_eigen.h"

#include <algorithm>
#include <cmath>
#include <numeric>

namespace wf::fine {

namespace {

// Householder reduction A = Q T Q' with T tridiagonal: d diagonal, e[i] the
// coupling of i and i+1. Q is accumulated in q (row-major).
void tridiagonalise(int n, std::vector<double>& a, std::vector<double>& q, std::vector<double>& d,
                    std::vector<double>& e) {
    auto A = [&](int i, int j) -> double& { return a[static_cast<std::size_t>(i) * n + j]; };
    auto Q = [&](int i, int j) -> double& { return q[static_cast<std::size_t>(i) * n + j]; };
    q.assign(static_cast<std::size_t>(n) * n, 0.0);
    for (int i = 0; i < n; ++i) Q(i, i) = 1.0;
    std::vector<double> v(n), p(n), w(n);
    for (int k = 0; k + 2 < n; ++k) {
        double norm = 0.0;
        for (int i = k + 1; i < n; ++i) norm += A(i, k) * A(i, k);
        norm = std::sqrt(norm);
        if (norm == 0.0) continue;
        const double alpha = A(k + 1, k) > 0.0 ? -norm : norm;
        std::fill(v.begin(), v.end(), 0.0);
        for (int i = k + 1; i < n; ++i) v[i] = A(i, k);
        v[k + 1] -= alpha;
        double vv = 0.0;
        for (int i = k + 1; i < n; ++i) vv += v[i] * v[i];
        if (vv == 0.0) continue;
        const double beta = 2.0 / vv;
        // p = beta A v, K = beta/2 v'p, w = p - K v; A <- A - v w' - w v'.
        for (int i = k; i < n; ++i) {
            double s = 0.0;
            for (int j = k + 1; j < n; ++j) s += A(i, j) * v[j];
            p[i] = beta * s;
        }
        double vp = 0.0;
        for (int i = k + 1; i < n; ++i) vp += v[i] * p[i];
        const double K = 0.5 * beta * vp;
        for (int i = k; i < n; ++i) w[i] = p[i] - K * v[i];
        for (int i = k; i < n; ++i)
            for (int j = k; j < n; ++j) A(i, j) -= v[i] * w[j] + w[i] * v[j];
        // Q <- Q (I - beta v v').
        for (int i = 0; i < n; ++i) {
            double s = 0.0;
            for (int j = k + 1; j < n; ++j) s += Q(i, j) * v[j];
            s *= beta;
            for (int j = k + 1; j < n; ++j) Q(i, j) -= s * v[j];
        }
    }
    d.resize(n);
    e.assign(n, 0.0);
    for (int i = 0; i < n; ++i) d[i] = A(i, i);
    for (int i = 0; i + 1 < n; ++i) e[i] = A(i + 1, i);
}

// Implicit QL on the tridiagonal (d, e), rotating the columns of q along.
bool tridiagonalQL(int n, std::vector<double>& d, std::vector<double>& e, std::vector<double>& q) {
    auto Q = [&](int i, int j) -> double& { return q[static_cast<std::size_t>(i) * n + j]; };
    for (int l = 0; l < n; ++l) {
        int iter = 0;
        for (;;) {
            int m = l;
            for (; m + 1 < n; ++m) {
                const double dd = std::abs(d[m]) + std::abs(d[m + 1]);
                if (std::abs(e[m]) <= 1e-15 * dd) break;
            }
            if (m == l) break;
            if (++iter > 60) return false;
            double g = (d[l + 1] - d[l]) / (2.0 * e[l]);
            double r = std::hypot(g, 1.0);
            g = d[m] - d[l] + e[l] / (g + (g >= 0.0 ? r : -r));
            double s = 1.0, c = 1.0, p = 0.0;
            int i = m - 1;
            for (; i >= l; --i) {
                double f = s * e[i];
                const double b = c * e[i];
                r = std::hypot(f, g);
                e[i + 1] = r;
                if (r == 0.0) {
                    d[i + 1] -= p;
                    e[m] = 0.0;
                    break;
                }
                s = f / r;
                c = g / r;
                g = d[i + 1] - p;
                r = (d[i] - g) * s + 2.0 * c * b;
                p = s * r;
                d[i + 1] = g + p;
                g = c * r - b;
                for (int k = 0; k < n; ++k) {
                    f = Q(k, i + 1);
                    Q(k, i + 1) = s * Q(k, i) + c * f;
                    Q(k, i) = c * Q(k, i) - s * f;
                }
            }
            if (r == 0.0 && i >= l) continue;
            d[l] -= p;
            e[l] = g;
            e[m] = 0.0;
        }
    }
    return true;
}

} // namespace

bool symmetricEigen(int n, std::vector<double>& a, std::vector<double>& values, std::vector<double>& vectors) {
    std::vector<double> q, d, e;
    tridiagonalise(n, a, q, d, e);
    if (!tridiagonalQL(n, d, e, q)) return false;
    // Ascending order.
    std::vector<int> order(n);
    std::iota(order.begin(), order.end(), 0);
    std::sort(order.begin(), order.end(), [&](int x, int y) { return d[x] < d[y]; });
    values.resize(n);
    vectors.resize(static_cast<std::size_t>(n) * n);
    for (int m = 0; m < n; ++m) {
        values[m] = d[order[m]];
        for (int i = 0; i < n; ++i)
            vectors[static_cast<std::size_t>(i) * n + m] = q[static_cast<std::size_t>(i) * n + order[m]];
    }
    return true;
}

} // namespace wf::fine
