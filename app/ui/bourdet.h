// The Bourdet derivative ds/d ln t of a drawdown series, the diagnostic curve of
// a pumping test: flat where the flow is radial (its level is Q / (4 pi T)).
#pragma once

#include <vector>

namespace wf::ui {

// Default smoothing distance, in log cycles.
inline constexpr double kBourdetDistance = 0.2;

struct DerivativePoint {
    double time;
    double derivative;
};

// For each point i (times strictly ascending and positive; other points are
// skipped) the first point j before it and k after it at least L log cycles
// away (ln(ti/tj) >= L ln 10, ln(tk/ti) >= L ln 10) give
//   ds/dln t = (dl/dln_l * dln_r + dr/dln_r * dln_l) / (dln_l + dln_r)
// with dl = si - sj, dln_l = ln(ti/tj), dr = sk - si, dln_r = ln(tk/ti).
// Where no such j (k) exists the nearest point on that side is taken instead;
// a point with no neighbour on one side uses the one-sided slope; a series of
// fewer than two usable points has no derivative.
std::vector<DerivativePoint> bourdetDerivative(const std::vector<double>& times, const std::vector<double>& values,
                                               double distanceLogCycles = kBourdetDistance);

} // namespace wf::ui
