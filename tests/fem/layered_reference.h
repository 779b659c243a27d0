// A semi-analytic reference for two layers with radial and vertical flow in
// both: a fracture layer 0 < z < bf under a matrix layer bf < z < thick, each
// homogeneous and isotropic (K, Ss), no flow through base and top, an
// infinite radial extent, a well of zero radius abstracting Q from time 0
// with uniform flux along its screen (the fracture or the matrix).
//
// Method (the vertical-mode solution of layered wells, e.g. Hemker, J.
// Hydrol. 225 (1999) 1-18, "Transient well flow in vertically heterogeneous
// aquifers"): in the Laplace domain (p) the section is discretised in z only,
// on a grid far finer than the model's, with lumped linear elements:
//   D (s'' + s' / r) = (Kz + p S) s,
// D = diag(K h) the radial conductances, Kz the vertical stiffness, S =
// diag(Ss h). With the D-orthonormal eigenpairs (Kz + p S) phi_k = mu_k^2 D
// phi_k, every mode decays radially as K0(mu_k r) exactly, and the flux
// condition at the well gives
//   s(r, z_j, p) = sum_k phi_k(j) (phi_k' q) K0(mu_k r) / (2 pi p),
// q the node shares of Q. The eigenpairs come from bisection on the Sturm
// counts (relative accuracy: the eigenvalues span many decades), in long
// double: Stehfest's inversion (laplace_inversion.h) magnifies irregular
// errors of the transform by up to 1e6.
#pragma once

#include <algorithm>
#include <cmath>
#include <vector>

#include "fem/laplace_inversion.h"
#include "fine/fine_pencil_impl.h"

namespace wf::test {

struct TwoLayers {
    double thick = 50.0, bf = 10.0;   // m
    double Kf = 1e-4, Km = 1e-6;      // m/s
    double Ssf = 1e-5, Ssm = 1e-5;    // 1/m
    bool pumpFracture = true;         // screen over the fracture, else over the matrix
    double Q = 1e-3;                  // m3/s
};

class LayeredReference {
public:
    // Heights (m) at which drawdowns are wanted lie on nodes of the grid.
    LayeredReference(const TwoLayers& c, const std::vector<double>& heights) : c_(c) {
        // Graded toward the interface from both sides: first spacing 2e-3 of
        // the layer, growing by 1.15 up to 1/25 of the layer.
        auto side = [](double length, std::vector<double>& h) {
            double step = 2e-3 * length, sum = 0.0;
            while (length - sum > 1.5 * step) {
                h.push_back(step);
                sum += step;
                step = std::min(step * 1.15, length / 25.0);
            }
            h.push_back(length - sum);  // the rest: between 0.5 and 1.5 steps, never a sliver
        };
        std::vector<double> hf, hm;
        side(c.bf, hf);
        side(c.thick - c.bf, hm);
        z_.push_back(c.bf);
        for (double h : hf) z_.push_back(z_.back() - h);
        std::reverse(z_.begin(), z_.end());
        z_.front() = 0.0;
        for (double h : hm) z_.push_back(z_.back() + h);
        z_.back() = c.thick;
        for (double zh : heights) {
            auto it = std::lower_bound(z_.begin(), z_.end(), zh);
            if (it != z_.end() && std::abs(*it - zh) < 1e-9) continue;
            if (it != z_.begin() && std::abs(*(it - 1) - zh) < 1e-9) continue;
            z_.insert(it, zh);
        }
        const int n = static_cast<int>(z_.size());
        kd_.assign(n, 0.0);
        ko_.assign(n, 0.0);
        sd_.assign(n, 0.0);
        dd_.assign(n, 0.0);
        q_.assign(n, 0.0);
        const double screen = c.pumpFracture ? c.bf : c.thick - c.bf;
        for (int e = 0; e + 1 < n; ++e) {
            const double h = z_[e + 1] - z_[e];
            const bool fracture = z_[e + 1] <= c.bf + 1e-12;
            const double K = fracture ? c.Kf : c.Km, Ss = fracture ? c.Ssf : c.Ssm;
            kd_[e] += K / h;
            kd_[e + 1] += K / h;
            ko_[e] = -K / h;
            for (int a : {e, e + 1}) {
                dd_[a] += 0.5 * K * h;
                sd_[a] += 0.5 * Ss * h;
                if (fracture == c.pumpFracture) q_[a] += 0.5 * h / screen * c.Q;
            }
        }
    }

    // Index of the grid node at height zh.
    int node(double zh) const {
        int best = 0;
        for (int j = 1; j < static_cast<int>(z_.size()); ++j)
            if (std::abs(z_[j] - zh) < std::abs(z_[best] - zh)) best = j;
        return best;
    }

    // Drawdowns at the nodes rows (heights) and radii r at time t (s).
    std::vector<double> drawdowns(const std::vector<int>& rows, const std::vector<double>& r, double t) const {
        const std::size_t count = rows.size() * r.size();
        std::vector<double> out(count, 0.0);
        const double ln2 = std::log(2.0);
        for (int k = 1; k <= 16; ++k) {
            const double p = k * ln2 / t;
            const std::vector<double> F = transformed(rows, r, p);
            const double v = stehfestWeight(k);
            for (std::size_t i = 0; i < count; ++i) out[i] += v * F[i];
        }
        for (double& s : out) s *= ln2 / t;
        return out;
    }

private:
    std::vector<double> transformed(const std::vector<int>& rows, const std::vector<double>& r, double p) const {
        using Real = long double;
        const int n = static_cast<int>(z_.size());
        std::vector<Real> bd(n), ko(ko_.begin(), ko_.end()), dd(dd_.begin(), dd_.end()), mo(n, 0.0L), lambda, phi;
        for (int j = 0; j < n; ++j) bd[j] = static_cast<Real>(kd_[j]) + static_cast<Real>(p) * sd_[j];
        std::vector<double> F(rows.size() * r.size(), 0.0);
        if (!fine::pencil::pencilEigenOf<Real>(n, bd, ko, dd, mo, false, lambda, phi)) return F;
        std::vector<Real> sum(F.size(), 0.0L);
        for (int m = 0; m < n; ++m) {
            Real weight = 0.0L;  // phi_m' q
            for (int j = 0; j < n; ++j) weight += phi[static_cast<std::size_t>(j) * n + m] * q_[j];
            // The eigenvalue again as the Rayleigh quotient, the stiffness in
            // differences (the diagonal Kz + p S rounds p S away when p is small).
            Real num = 0.0L, den = 0.0L;
            for (int j = 0; j < n; ++j) {
                const Real x = phi[static_cast<std::size_t>(j) * n + m];
                num += static_cast<Real>(p) * sd_[j] * x * x;
                den += dd_[j] * x * x;
                if (j + 1 < n) {
                    const Real dx = phi[static_cast<std::size_t>(j + 1) * n + m] - x;
                    num += -ko_[j] * dx * dx;
                }
            }
            const Real mu = std::sqrt(num / den);
            for (std::size_t a = 0; a < r.size(); ++a) {
                if (mu * r[a] > 700.0L) continue;
                const Real k0 = std::cyl_bessel_k(0.0L, mu * r[a]) * weight / (2.0L * static_cast<Real>(M_PI) * p);
                for (std::size_t b = 0; b < rows.size(); ++b)
                    sum[b * r.size() + a] += phi[static_cast<std::size_t>(rows[b]) * n + m] * k0;
            }
        }
        for (std::size_t i = 0; i < F.size(); ++i) F[i] = static_cast<double>(sum[i]);
        return F;
    }

    static double stehfestWeight(int k) {
        constexpr int N = 16;
        auto fact = [](int n) {
            double f = 1.0;
            for (int i = 2; i <= n; ++i) f *= i;
            return f;
        };
        double v = 0.0;
        for (int j = (k + 1) / 2; j <= std::min(k, N / 2); ++j)
            v += std::pow(j, N / 2) * fact(2 * j) / (fact(N / 2 - j) * fact(j) * fact(j - 1) * fact(k - j) * fact(2 * j - k));
        return (k + N / 2) % 2 != 0 ? -v : v;
    }

    TwoLayers c_;
    std::vector<double> z_, kd_, ko_, sd_, dd_, q_;
};

} // namespace wf::test
