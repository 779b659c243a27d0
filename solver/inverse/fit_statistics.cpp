// Covariance, correlation and condition of a linearised least-squares fit.
#include "inverse/fit_statistics.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numeric>

namespace wf {

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
// Eigenvalues of the scaled normal matrix (trace p) below this fraction of the
// largest count as zero: those directions are not determined by the data.
constexpr double kNullEigen = 1e-13;
// A combination whose scaled coefficient vector has more than this share in
// the null space is not determined.
constexpr double kNullShare = 1e-6;

} // namespace

void symmetricEigen(int p, std::vector<double> a, std::vector<double>& values, std::vector<double>& vectors) {
    const auto n = static_cast<std::size_t>(p);
    vectors.assign(n * n, 0.0);
    for (std::size_t i = 0; i < n; ++i) vectors[i * n + i] = 1.0;
    auto A = [&](std::size_t i, std::size_t j) -> double& { return a[i * n + j]; };
    for (int sweep = 0; sweep < 100; ++sweep) {
        double off = 0.0, diag = 0.0;
        for (std::size_t i = 0; i < n; ++i)
            for (std::size_t j = 0; j < n; ++j) (i == j ? diag : off) += A(i, j) * A(i, j);
        if (off <= 1e-30 * diag || off == 0.0) break;
        for (std::size_t q = 0; q < n; ++q)
            for (std::size_t r = q + 1; r < n; ++r) {
                if (A(q, r) == 0.0) continue;
                const double theta = (A(r, r) - A(q, q)) / (2.0 * A(q, r));
                const double t = (theta >= 0 ? 1.0 : -1.0) / (std::fabs(theta) + std::sqrt(theta * theta + 1.0));
                const double c = 1.0 / std::sqrt(t * t + 1.0), s = t * c;
                for (std::size_t k = 0; k < n; ++k) {  // columns q, r
                    const double akq = A(k, q), akr = A(k, r);
                    A(k, q) = c * akq - s * akr;
                    A(k, r) = s * akq + c * akr;
                }
                for (std::size_t k = 0; k < n; ++k) {  // rows q, r
                    const double aqk = A(q, k), ark = A(r, k);
                    A(q, k) = c * aqk - s * ark;
                    A(r, k) = s * aqk + c * ark;
                }
                for (std::size_t k = 0; k < n; ++k) {
                    const double vkq = vectors[k * n + q], vkr = vectors[k * n + r];
                    vectors[k * n + q] = c * vkq - s * vkr;
                    vectors[k * n + r] = s * vkq + c * vkr;
                }
            }
    }
    // Sort ascending; vectors[k * n + j] is component k of eigenvector j.
    std::vector<std::size_t> order(n);
    std::iota(order.begin(), order.end(), std::size_t{0});
    std::sort(order.begin(), order.end(), [&](std::size_t x, std::size_t y) { return A(x, x) < A(y, y); });
    values.resize(n);
    std::vector<double> sorted(n * n);
    for (std::size_t j = 0; j < n; ++j) {
        values[j] = A(order[j], order[j]);
        for (std::size_t k = 0; k < n; ++k) sorted[k * n + j] = vectors[k * n + order[j]];
    }
    // Column by column for the callers.
    vectors.assign(n * n, 0.0);
    for (std::size_t j = 0; j < n; ++j)
        for (std::size_t k = 0; k < n; ++k) vectors[j * n + k] = sorted[k * n + j];
}

double FitStatistics::variance(const std::vector<double>& c) const {
    const auto p = static_cast<std::size_t>(unknowns);
    if (p == 0 || c.size() != p || !std::isfinite(s2)) return kNaN;
    // In scaled unknowns x*_j = d_j x_j the combination has coefficients c_j / d_j.
    std::vector<double> cs(p);
    double norm2 = 0.0;
    for (std::size_t j = 0; j < p; ++j) {
        if (c[j] != 0.0 && !(scale[j] > 0.0)) return kNaN;
        cs[j] = c[j] == 0.0 ? 0.0 : c[j] / scale[j];
        norm2 += cs[j] * cs[j];
    }
    if (norm2 == 0.0) return 0.0;
    const double top = eigenvalues.back();
    double v = 0.0;
    for (std::size_t e = 0; e < p; ++e) {
        double proj = 0.0;
        for (std::size_t k = 0; k < p; ++k) proj += eigenvectors[e * p + k] * cs[k];
        if (!(eigenvalues[e] > kNullEigen * top)) {
            if (proj * proj > kNullShare * kNullShare * norm2) return kNaN;
            continue;
        }
        v += proj * proj / eigenvalues[e];
    }
    return s2 * v;
}

FitStatistics fitStatistics(int m, int p, const std::vector<double>& J, const std::vector<double>& r) {
    FitStatistics f;
    f.residuals = m;
    f.unknowns = p;
    for (int i = 0; i < m; ++i) f.S += r[static_cast<std::size_t>(i)] * r[static_cast<std::size_t>(i)];
    f.s2 = m > p ? f.S / (m - p) : kNaN;
    const auto n = static_cast<std::size_t>(p);
    if (p == 0) {
        f.condition = kNaN;
        return f;
    }
    auto col = [&](std::size_t j) { return J.data() + j * static_cast<std::size_t>(m); };
    std::vector<double> a(n * n, 0.0);
    for (std::size_t j = 0; j < n; ++j)
        for (std::size_t l = 0; l < n; ++l) {
            double s = 0.0;
            for (int i = 0; i < m; ++i) s += col(j)[i] * col(l)[i];
            a[j * n + l] = s;
        }
    f.scale.resize(n);
    for (std::size_t j = 0; j < n; ++j) f.scale[j] = std::sqrt(a[j * n + j]);
    std::vector<double> as(n * n, 0.0);
    for (std::size_t j = 0; j < n; ++j)
        for (std::size_t l = 0; l < n; ++l) {
            const double d = f.scale[j] * f.scale[l];
            as[j * n + l] = d > 0.0 ? a[j * n + l] / d : (j == l ? 0.0 : 0.0);
        }
    symmetricEigen(p, as, f.eigenvalues, f.eigenvectors);
    const double top = f.eigenvalues.back(), low = f.eigenvalues.front();
    f.condition = low > kNullEigen * top ? top / low : std::numeric_limits<double>::infinity();

    f.covariance.assign(n * n, kNaN);
    f.correlation.assign(n * n, kNaN);
    std::vector<double> unit(n, 0.0), pair(n, 0.0);
    std::vector<double> var(n);
    for (std::size_t j = 0; j < n; ++j) {
        unit.assign(n, 0.0);
        unit[j] = 1.0;
        var[j] = f.variance(unit);
        f.covariance[j * n + j] = var[j];
    }
    for (std::size_t j = 0; j < n; ++j)
        for (std::size_t l = j + 1; l < n; ++l) {
            // cov(x_j, x_l) from var(x_j + x_l) = var_j + var_l + 2 cov.
            pair.assign(n, 0.0);
            pair[j] = pair[l] = 1.0;
            const double cov = 0.5 * (f.variance(pair) - var[j] - var[l]);
            f.covariance[j * n + l] = f.covariance[l * n + j] = cov;
        }
    // Correlations come from the scaled inverse directly, so they stay defined
    // (and near +-1) for a nearly singular matrix; NaN only for exact singularity.
    for (std::size_t j = 0; j < n; ++j) {
        f.correlation[j * n + j] = 1.0;
        for (std::size_t l = 0; l < n; ++l) {
            if (l == j) continue;
            const double c = f.covariance[j * n + l];
            const double v = std::sqrt(var[j] * var[l]);
            if (std::isfinite(c) && v > 0.0) f.correlation[j * n + l] = std::clamp(c / v, -1.0, 1.0);
        }
    }
    return f;
}

double studentT975(int dof) {
    if (dof < 1) return kNaN;
    if (dof == 1) return 12.706204736174705;
    if (dof == 2) return 4.302652729749464;
    if (dof == 3) return 3.182446305284263;
    if (dof == 4) return 2.776445105197799;
    const double z = 1.959963984540054, z2 = z * z, v = dof;
    const double g1 = (z2 + 1.0) * z / 4.0;
    const double g2 = ((5.0 * z2 + 16.0) * z2 + 3.0) * z / 96.0;
    const double g3 = (((3.0 * z2 + 19.0) * z2 + 17.0) * z2 - 15.0) * z / 384.0;
    const double g4 = ((((79.0 * z2 + 776.0) * z2 + 1482.0) * z2 - 1920.0) * z2 - 945.0) * z / 92160.0;
    return z + g1 / v + g2 / (v * v) + g3 / (v * v * v) + g4 / (v * v * v * v);
}

} // namespace wf
