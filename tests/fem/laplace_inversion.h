// Numerical inversion of Laplace transforms (Stehfest) and the Laplace-domain
// drawdowns it is used with in the tests of the fine model.
#pragma once

#include <cmath>
#include <functional>

namespace wf::test {

// Stehfest's approximation f(t) = ln2 / t sum_k V_k F(k ln2 / t), N = 16.
inline double stehfest(const std::function<double(double)>& F, double t) {
    constexpr int N = 16;
    auto fact = [](int n) {
        double f = 1.0;
        for (int i = 2; i <= n; ++i) f *= i;
        return f;
    };
    const double ln2 = std::log(2.0);
    double sum = 0.0;
    for (int k = 1; k <= N; ++k) {
        double v = 0.0;
        for (int j = (k + 1) / 2; j <= std::min(k, N / 2); ++j)
            v += std::pow(j, N / 2) * fact(2 * j) / (fact(N / 2 - j) * fact(j) * fact(j - 1) * fact(k - j) * fact(2 * j - k));
        if ((k + N / 2) % 2 != 0) v = -v;
        sum += v * F(k * ln2 / t);
    }
    return ln2 / t * sum;
}

// Hantush's leaky aquifer with aquitard storage (1960), the aquitard's far
// side impermeable: in the Laplace domain
//   s(r, p) = Q / (2 pi T p) K0(r sqrt(q(p) / T)),
//   q(p) = p S + K' b tanh(b b'),  b = sqrt(p S's / K'),
// T, S of the pumped layer; K', S's, b' conductivity, specific storage and
// thickness of the storing aquitard (vertical flow only).
inline double hantushAquitardStorage(double Q, double T, double S, double Kp, double Ssp, double bp, double r,
                                     double t) {
    auto F = [&](double p) {
        const double beta = std::sqrt(p * Ssp / Kp);
        const double q = p * S + Kp * beta * std::tanh(beta * bp);
        return Q / (2.0 * M_PI * T * p) * std::cyl_bessel_k(0.0, r * std::sqrt(q / T));
    };
    return stehfest(F, t);
}

// Theis in the Laplace domain: s(r, p) = Q / (2 pi T p) K0(r sqrt(p S / T)).
inline double theisByLaplace(double Q, double T, double S, double r, double t) {
    auto F = [&](double p) { return Q / (2.0 * M_PI * T * p) * std::cyl_bessel_k(0.0, r * std::sqrt(p * S / T)); };
    return stehfest(F, t);
}

// Theis in a bounded disc, no flow at r = R (a fully penetrating well of
// zero radius in a confined aquifer; Carslaw and Jaeger, Conduction of Heat
// in Solids, 2nd ed. 1959, 13.7; as a well function e.g. Kruseman and de
// Ridder, Analysis and Evaluation of Pumping Test Data, 1990): in the
// Laplace domain, with q = sqrt(p S / T),
//   s(r, p) = Q / (2 pi T p) [K0(q r) + K1(q R) I0(q r) / I1(q R)].
// The image term falls like exp(-q (2R - r)) and is left out once that is
// below 1e-260 (q R > 600), where I1 would overflow.
inline double theisDiscByLaplace(double Q, double T, double S, double r, double R, double t) {
    auto F = [&](double p) {
        const double q = std::sqrt(p * S / T);
        double s = std::cyl_bessel_k(0.0, q * r);
        if (q * R <= 600.0) s += std::cyl_bessel_k(1.0, q * R) * std::cyl_bessel_i(0.0, q * r) / std::cyl_bessel_i(1.0, q * R);
        return Q / (2.0 * M_PI * T * p) * s;
    };
    return stehfest(F, t);
}

// Drawdown in a pumped well of finite radius r_w with wellbore storage and an
// infinitesimal skin, constant rate Q from t = 0 in a homogeneous confined
// aquifer (Agarwal, Al-Hussainy and Ramey, An investigation of wellbore
// storage and skin effect in unsteady liquid flow: I. Analytical treatment,
// SPE Journal 10(3), 279-290, 1970). In the formation s = A K0(r sqrt(p S/T))
// in the Laplace domain; the face flux is q = 2 pi T r_w A x K1(x),
// x = r_w sqrt(p S / T); the well's drawdown s_w = s(r_w) + Sk q / (2 pi T);
// the well's balance Q / p = C p s_w + q with C = pi r_c^2. In the
// dimensionless terms s_D = 2 pi T s / Q, t_D = T t / (S r_w^2),
// C_D = C / (2 pi S r_w^2) = r_c^2 / (2 S r_w^2), with x = sqrt(p):
//   s_wD(p) = [K0(x) + Sk x K1(x)] / (p {x K1(x) + C_D p [K0(x) + Sk x K1(x)]}).
inline double wellboreStorageSkinDrawdown(double CD, double Sk, double tD) {
    auto F = [&](double p) {
        const double x = std::sqrt(p);
        const double face = std::cyl_bessel_k(0.0, x) + Sk * x * std::cyl_bessel_k(1.0, x);
        return face / (p * (x * std::cyl_bessel_k(1.0, x) + CD * p * face));
    };
    return stehfest(F, tD);
}

} // namespace wf::test
