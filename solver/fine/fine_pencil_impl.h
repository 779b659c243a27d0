// The bisection and inverse iteration of fine_pencil.h for any floating
// type: double for the model, long double where a reference needs the extra
// digits (the tests' layered solution, whose Laplace inversion magnifies
// every irregular error).
#pragma once

#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

namespace wf::fine::pencil {

template <class Real>
struct Pencil {
    int n;
    const std::vector<Real>&kd, &ko, &md, &mo;

    // Number of eigenvalues below x: the negative pivots of K - x M.
    int count(Real x) const {
        int negative = 0;
        Real d = kd[0] - x * md[0];
        for (int i = 0;; ++i) {
            if (d == 0.0)  // just below: counted
                d = -std::numeric_limits<Real>::epsilon() * (std::abs(kd[i]) + std::abs(x * md[i]));
            if (d < 0.0) ++negative;
            if (i + 1 == n) break;
            const Real b = ko[i] - x * mo[i];
            d = kd[i + 1] - x * md[i + 1] - b * b / d;
        }
        return negative;
    }

    // y <- M x.
    void massTimes(const std::vector<Real>& x, std::vector<Real>& y) const {
        for (int i = 0; i < n; ++i) {
            Real s = md[i] * x[i];
            if (i > 0) s += mo[i - 1] * x[i - 1];
            if (i + 1 < n) s += mo[i] * x[i + 1];
            y[i] = s;
        }
    }
};

// Gaussian elimination with partial pivoting of a tridiagonal matrix (sub
// dl, diagonal d, super du; the factors replace them, du2 the second
// superdiagonal of U), and the solve with its factors, as LAPACK's
// dgttrf/dgtts2. A zero pivot is replaced by a tiny one: the matrix is
// K - lambda M at an eigenvalue, singular on purpose.
template <class Real>
struct TridiagonalLU {
    std::vector<Real> dl, d, du, du2;
    std::vector<char> swapped;

    void factor(Real tiny) {
        const int n = static_cast<int>(d.size());
        du2.assign(n > 2 ? n - 2 : 0, 0.0);
        swapped.assign(n, 0);
        for (int i = 0; i + 1 < n; ++i) {
            if (std::abs(d[i]) >= std::abs(dl[i])) {
                if (d[i] == 0.0) d[i] = tiny;
                const Real fact = dl[i] / d[i];
                dl[i] = fact;
                d[i + 1] -= fact * du[i];
            } else {
                const Real fact = d[i] / dl[i];
                d[i] = dl[i];
                dl[i] = fact;
                const Real temp = du[i];
                du[i] = d[i + 1];
                d[i + 1] = temp - fact * d[i + 1];
                if (i + 2 < n) {
                    du2[i] = du[i + 1];
                    du[i + 1] = -fact * du[i + 1];
                }
                swapped[i] = 1;
            }
        }
        if (d[n - 1] == 0.0) d[n - 1] = tiny;
    }

    void solve(std::vector<Real>& b) const {
        const int n = static_cast<int>(d.size());
        for (int i = 0; i + 1 < n; ++i) {
            if (!swapped[i]) {
                b[i + 1] -= dl[i] * b[i];
            } else {
                const Real temp = b[i];
                b[i] = b[i + 1];
                b[i + 1] = temp - dl[i] * b[i];
            }
        }
        b[n - 1] /= d[n - 1];
        if (n > 1) b[n - 2] = (b[n - 2] - du[n - 2] * b[n - 1]) / d[n - 2];
        for (int i = n - 3; i >= 0; --i) b[i] = (b[i] - du[i] * b[i + 1] - du2[i] * b[i + 2]) / d[i];
    }
};

// The eigenvalue of index m (0-based) between lo (count <= m) and hi
// (count > m), to the last bits: geometric steps while the bracket spans
// more than a factor 2, so that small eigenvalues keep their relative accuracy.
template <class Real>
Real bisect(const Pencil<Real>& p, int m, Real lo, Real hi) {
    for (int it = 0; it < 400 && hi - lo > 2.0 * std::numeric_limits<Real>::epsilon() * hi; ++it) {
        Real mid;
        if (lo <= 0.0)
            mid = 0.5 * hi;
        else if (hi > 2.0 * lo)
            mid = std::sqrt(lo * hi);
        else
            mid = 0.5 * (lo + hi);
        if (mid <= lo || mid >= hi) break;
        if (p.count(mid) > m)
            hi = mid;
        else
            lo = mid;
    }
    return 0.5 * (lo + hi);
}

template <class Real>
bool pencilEigenOf(int n, const std::vector<Real>& kd, const std::vector<Real>& ko, const std::vector<Real>& md,
                   const std::vector<Real>& mo, bool constantNull, std::vector<Real>& values, std::vector<Real>& vectors) {
    if (n < 1) return false;
    const Pencil<Real> p{n, kd, ko, md, mo};
    values.assign(n, 0.0);
    vectors.assign(static_cast<std::size_t>(n) * n, 0.0);
    auto at = [&](int i, int m) -> Real& { return vectors[static_cast<std::size_t>(i) * n + m]; };
    auto mDot = [&](const std::vector<Real>& Mx, int m) {  // x' M v_m from M x
        Real s = 0.0;
        for (int i = 0; i < n; ++i) s += Mx[i] * at(i, m);
        return s;
    };

    // Upper bound of the spectrum: Reald until every eigenvalue lies below.
    Real top = 1.0;
    for (int it = 0; p.count(top) < n; ++it) {
        if (it > 2000) return false;
        top *= 2.0;
    }
    Real norm = 0.0;  // size of K and of top M, for the tiny pivots
    for (int i = 0; i < n; ++i) norm = std::max(norm, std::abs(kd[i]) + top * std::abs(md[i]));

    int first = 0;
    std::vector<Real> x(n), Mx(n);
    if (constantNull) {
        // The constant drawdown: eigenvalue 0 exactly.
        Real volume = 0.0;  // 1' M 1
        for (int i = 0; i < n; ++i) volume += md[i] + (i + 1 < n ? 2.0 * mo[i] : 0.0);
        if (!(volume > 0.0)) return false;
        const Real v0 = 1.0 / std::sqrt(volume);
        for (int i = 0; i < n; ++i) at(i, 0) = v0;
        first = 1;
    }

    TridiagonalLU<Real> lu;
    Real lo = 0.0;
    for (int m = first; m < n; ++m) {
        const Real lambda = bisect(p, m, lo, top);
        values[m] = lambda;
        lo = lambda * (1.0 - 4.0 * std::numeric_limits<Real>::epsilon());
        // Inverse iteration: (K - lambda M) x_new = M x.
        lu.d.resize(n);
        lu.dl.assign(n > 1 ? n - 1 : 0, 0.0);
        lu.du.assign(n > 1 ? n - 1 : 0, 0.0);
        for (int i = 0; i < n; ++i) lu.d[i] = kd[i] - lambda * md[i];
        for (int i = 0; i + 1 < n; ++i) lu.dl[i] = lu.du[i] = ko[i] - lambda * mo[i];
        lu.factor(std::numeric_limits<Real>::epsilon() * norm);
        for (int i = 0; i < n; ++i) x[i] = 1.0 + 0.5 * std::sin(1.7 * i + 0.3 * m);
        for (int sweep = 0; sweep < 3; ++sweep) {
            p.massTimes(x, Mx);
            lu.solve(Mx);
            x.swap(Mx);
            // Against the modes already found whose eigenvalues lie close
            // (inverse iteration alone mixes them), and the constant mode.
            p.massTimes(x, Mx);
            for (int q = 0; q < m; ++q) {
                if (q >= first && values[q] < lambda * (1.0 - 1e-3)) continue;
                const Real c = mDot(Mx, q);
                for (int i = 0; i < n; ++i) x[i] -= c * at(i, q);
            }
            p.massTimes(x, Mx);
            Real xx = 0.0;
            for (int i = 0; i < n; ++i) xx += x[i] * Mx[i];
            if (!(xx > 0.0) || !std::isfinite(xx)) return false;
            const Real scale = 1.0 / std::sqrt(xx);
            for (Real& v : x) v *= scale;
        }
        for (int i = 0; i < n; ++i) at(i, m) = x[i];
    }
    return true;
}


} // namespace wf::fine::pencil
