// Analytical drawdowns of a fully penetrating well in a confined aquifer, used
// as references for the flow model.
#pragma once

#include <cmath>

namespace wf::test {

// Theis well function W(u) = E1(u), the exponential integral: power series
// below u = 1, continued fraction (modified Lentz) above; relative error < 1e-12.
inline double wellFunctionW(double u) {
    if (u < 1.0) {
        double sum = 0.0, term = 1.0;
        for (int k = 1; k < 60; ++k) {
            term *= -u / k;
            sum -= term / k;
        }
        return -0.57721566490153286 - std::log(u) + sum;
    }
    // E1(u) = e^-u / (u + 1 - 1/(u + 3 - 4/(u + 5 - ...)))
    double b = u + 1.0, c = 1.0e300, d = 1.0 / b, h = d;
    for (int i = 1; i < 200; ++i) {
        const double a = -static_cast<double>(i) * i;
        b += 2.0;
        d = 1.0 / (a * d + b);
        c = b + a / c;
        const double del = c * d;
        h *= del;
        if (std::abs(del - 1.0) < 1e-15) break;
    }
    return h * std::exp(-u);
}

// Theis drawdown s = Q/(4 pi T) W(r^2 S / (4 T t)), Q abstraction (m3/s),
// T transmissivity (m2/s), S storativity, r distance (m), t time (s).
inline double theisDrawdown(double Q, double T, double S, double r, double t) {
    return Q / (4.0 * M_PI * T) * wellFunctionW(r * r * S / (4.0 * T * t));
}

// Thiem steady drawdown s = Q/(2 pi T) ln(R/r) with the head held at R.
inline double thiemDrawdown(double Q, double T, double R, double r) { return Q / (2.0 * M_PI * T) * std::log(R / r); }

} // namespace wf::test
