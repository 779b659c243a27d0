#include "bourdet.h"

#include <cmath>
#include <cstddef>

namespace wf::ui {

std::vector<DerivativePoint> bourdetDerivative(const std::vector<double>& times, const std::vector<double>& values,
                                               double distanceLogCycles) {
    // The usable points: positive, finite, in strictly ascending time.
    std::vector<double> t0, lt, s;
    const std::size_t n = times.size() < values.size() ? times.size() : values.size();
    for (std::size_t i = 0; i < n; ++i) {
        const double t = times[i];
        if (!(t > 0.0) || !std::isfinite(t) || !std::isfinite(values[i])) continue;
        if (!lt.empty() && std::log(t) <= lt.back()) continue;
        t0.push_back(t);
        lt.push_back(std::log(t));
        s.push_back(values[i]);
    }
    std::vector<DerivativePoint> out;
    const std::size_t m = lt.size();
    if (m < 2) return out;
    const double L = (distanceLogCycles > 0.0 ? distanceLogCycles : 0.0) * std::log(10.0);
    out.reserve(m);
    for (std::size_t i = 0; i < m; ++i) {
        // First point before i at least L away, else the earliest one there is.
        std::size_t j = i;
        bool left = i > 0;
        if (left) {
            j = i - 1;
            while (j > 0 && lt[i] - lt[j] < L) --j;
        }
        std::size_t k = i;
        bool right = i + 1 < m;
        if (right) {
            k = i + 1;
            while (k + 1 < m && lt[k] - lt[i] < L) ++k;
        }
        double d = 0.0;
        if (left && right) {
            const double dl = lt[i] - lt[j];
            const double dr = lt[k] - lt[i];
            d = ((s[i] - s[j]) / dl * dr + (s[k] - s[i]) / dr * dl) / (dl + dr);
        } else if (left) {
            d = (s[i] - s[j]) / (lt[i] - lt[j]);
        } else {
            d = (s[k] - s[i]) / (lt[k] - lt[i]);
        }
        out.push_back({t0[i], d});
    }
    return out;
}

} // namespace wf::ui
