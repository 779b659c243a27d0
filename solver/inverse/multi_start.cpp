// The robust search: a design of starts, the lock-step log-space search of
// all of them, the polish of the best end point.
#include "inverse/multi_start.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>

#include "inverse/analysis_report.h"
#include "inverse/fit_report.h"
#include "inverse/layer_splits.h"
#include "inverse/log_trust_region.h"
#include "wfcore/options.h"

namespace wf {

namespace {

constexpr int kPrimes[4] = {2, 3, 5, 7};
constexpr std::uint64_t kDesignSeed = 0x5745'4C4C'4649'5421ULL;  // fixed: the starts repeat from run to run

// Radical inverse of i in base b: the Halton coordinate.
double radicalInverse(int i, int b) {
    double f = 1.0, r = 0.0;
    for (; i > 0; i /= b) {
        f /= b;
        r += f * (i % b);
    }
    return r;
}

// SplitMix64 step: the fixed shifts of the design.
std::uint64_t splitMix(std::uint64_t& s) {
    std::uint64_t z = (s += 0x9E3779B97F4A7C15ULL);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
    return z ^ (z >> 31);
}

int statusOf(int ending) {
    switch (ending) {
    case WF_START_STALLED: return kRobustStalled;
    case WF_START_PASS_LIMIT: return kRobustPassLimit;
    case WF_START_CANCELLED: return kRobustCancelled;
    default: return 0;
    }
}

} // namespace

std::vector<std::vector<double>> startDesign(const std::vector<double>& lnGuess, const std::vector<int>& free,
                                             const std::vector<double>& lo, const std::vector<double>& hi,
                                             int starts) {
    std::uint64_t seed = kDesignSeed;
    double shift[4];
    for (double& s : shift) s = static_cast<double>(splitMix(seed) >> 11) * 0x1.0p-53;
    const double decade = std::log(10.0);
    std::vector<std::vector<double>> z(static_cast<std::size_t>(std::max(starts, 1)), lnGuess);
    for (int s = 1; s < starts; ++s)
        for (std::size_t c = 0; c < free.size() && c < 4; ++c) {
            const auto j = static_cast<std::size_t>(free[c]);
            double u = radicalInverse(s, kPrimes[c]) + shift[c];
            u -= std::floor(u);
            z[static_cast<std::size_t>(s)][j] = std::clamp(lnGuess[j] + (2.0 * u - 1.0) * decade, lo[j], hi[j]);
        }
    return z;
}

void ROBUST(RunState& rs, const SearchSpace& sp, Vec1<double>& b, int n, int first, Vec1<double>& fcur,
            const Vec1<double>& y, double& S, BsolveState& st, Vec1<double>& work, const BsolveModel& model,
            const BsolveBatch& batch, RobustOutcome& out) {
    const int k = sp.k;
    out = RobustOutcome{};
    LogSearchProblem pr;
    pr.k = k;
    pr.n = n;
    pr.first = std::max(first, 1);
    pr.y.assign(y.data(), y.data() + n);
    pr.x0.resize(static_cast<std::size_t>(k));
    pr.lo.resize(static_cast<std::size_t>(k));
    pr.hi.resize(static_cast<std::size_t>(k));
    std::vector<double> lnGuess(static_cast<std::size_t>(k), 0.0);
    for (int j = 0; j < k; ++j) {
        const auto uj = static_cast<std::size_t>(j);
        const double x0 = b(j + 1), lower = sp.lower[uj + 1], upper = sp.upper[uj + 1];
        pr.x0[uj] = x0;
        if (sp.active[uj + 1] == 0) continue;
        pr.free.push_back(j);
        if (sp.linear(j + 1)) {
            // The well's skin: searched as itself in its box.
            pr.linear.resize(static_cast<std::size_t>(k), 0);
            pr.linear[uj] = 1;
            pr.lo[uj] = lower;
            pr.hi[uj] = upper;
            lnGuess[uj] = std::clamp(x0, lower, upper);
            continue;
        }
        // Positive guess and upper bound are checked in setUpSearchSpace; a
        // lower bound of 0 or less leaves 20 decades below the guess.
        pr.hi[uj] = std::log(upper);
        pr.lo[uj] = lower > 0.0 ? std::log(lower) : std::log(x0) - 20.0 * std::log(10.0);
        lnGuess[uj] = std::clamp(std::log(x0), pr.lo[uj], pr.hi[uj]);
    }
    pr.settings.maxPasses = rs.inv.options.maxPasses;
    for (int i = pr.first; i <= n; ++i) out.floor += kFloorMisfit * kFloorMisfit * y(i) * y(i);
    pr.settings.floor = out.floor;
    pr.model = [&batch, n](int count, const double* const* x, double* const* f) { return batch(count, x, n, f); };
    pr.cancelled = [&rs]() {
        int cancel = 0;
        rs.rep.checkCancel(cancel);
        return cancel == 1;
    };

    // The starts, all together: the guesses, with four free layer
    // parameters the two layer splits of a one-aquifer fit, the design.
    const int count = std::clamp(rs.inv.options.starts, 1, WF_MAX_STARTS);
    st.iteration = 1;  // the run has begun: its end point is reported whatever happens
    std::vector<std::vector<double>> design;
    if (!sp.tied && splitsApply(pr, rs.in.RATIO, count)) {
        if (!makeLayerSplits(pr, lnGuess, rs.in.RATIO, out.splits)) {
            st.status = kBsolveModelFailed;
            return;
        }
        out.passes += out.splits.passes;
        char line[112];
        std::snprintf(line, sizeof line, "One aquifer for the layer splits: Error Estimate = %12.5E, %3d passes",
                      out.splits.S, out.splits.passes);
        progressLine(rs, 0, line);
        design = startDesign(lnGuess, pr.free, pr.lo, pr.hi, count - 2);
        design.insert(design.begin() + 1, out.splits.z.begin(), out.splits.z.end());
    } else {
        design = startDesign(lnGuess, pr.free, pr.lo, pr.hi, count);
    }
    std::vector<LogStart> starts(static_cast<std::size_t>(count));
    for (int s = 0; s < count; ++s) starts[static_cast<std::size_t>(s)].z = design[static_cast<std::size_t>(s)];
    if (!runLogStarts(pr, starts)) {
        st.status = kBsolveModelFailed;
        return;
    }
    double lowest = starts[0].S;
    for (int s = 0; s < count; ++s) {
        const LogStart& e = starts[static_cast<std::size_t>(s)];
        StartEnd end;
        end.S = e.S;
        end.x = logStartPoint(pr, e.z);
        end.passes = e.passes;
        end.ending = e.ending;
        out.passes += e.passes;
        out.starts.push_back(end);
        if (e.S < lowest) {
            lowest = e.S;
            out.best = s;
        }
        char line[96];
        std::snprintf(line, sizeof line, "Start %2d of %2d: Error Estimate = %12.5E, %3d passes, %s", s + 1, count,
                      e.S, e.passes, startEndingName(e.ending));
        progressLine(rs, s == 0 && !out.splits.made ? 0 : -2, line);
    }

    // The polish of the best end point: central differences, a fresh damping.
    std::vector<LogStart> polish(1);
    polish[0].z = starts[static_cast<std::size_t>(out.best)].z;
    const bool cancelled = starts[static_cast<std::size_t>(out.best)].ending == WF_START_CANCELLED;
    pr.settings.central = true;
    if (!cancelled && !runLogStarts(pr, polish)) {
        st.status = kBsolveModelFailed;
        return;
    }
    const LogStart& end = cancelled ? starts[static_cast<std::size_t>(out.best)] : polish[0];
    out.passes += cancelled ? 0 : end.passes;
    out.ending = end.ending;
    // A polish that finds no lower point near a start that met a convergence
    // test (the model's rounding sets a floor to the gradient) leaves that
    // start's verdict standing: the point is the converged one.
    const int startEnding = starts[static_cast<std::size_t>(out.best)].ending;
    if (out.ending == WF_START_STALLED &&
        (startEnding == WF_START_CONVERGED_GRADIENT || startEnding == WF_START_CONVERGED_STEP ||
         startEnding == WF_START_FITS_DATA))
        out.ending = startEnding;
    for (const StartEnd& e : out.starts)
        if (e.S <= std::min(lowest, end.S) * (1.0 + kBestFraction) + out.floor) ++out.atBest;
    char line[96];
    std::snprintf(line, sizeof line, "Polish of start %d: Error Estimate = %12.5E, %d passes, %s", out.best + 1, end.S,
                  end.passes, startEndingName(end.ending));
    progressLine(rs, 2, line);

    // The end point: through the model's simulation file, so that the pass
    // leaves {base}.inv of the reported parameters.
    const std::vector<double> x = logStartPoint(pr, end.z);
    for (int j = 0; j < k; ++j) b(j + 1) = x[static_cast<std::size_t>(j)];
    std::vector<double> f(static_cast<std::size_t>(n));
    if (!model(x.data(), n, f.data())) {
        st.status = kBsolveModelFailed;
        return;
    }
    S = 0.0;
    for (int i = pr.first; i <= n; ++i) {
        fcur(i) = f[static_cast<std::size_t>(i - 1)];
        const double r = fcur(i) - y(i);
        S += r * r;
    }
    // The derivative columns at b in the search's layout: d F / d x_j =
    // (d F / d ln x_j) / x_j. Without derivatives at the end point (Cancel)
    // the fit report makes them afresh.
    std::fill(work.data(), work.data() + static_cast<std::ptrdiff_t>(k) * n + 2 * k, 0.0);
    if (end.haveJ) {
        for (std::size_t c = 0; c < pr.free.size(); ++c) {
            const int j = pr.free[c];
            double* col = work.data() + static_cast<std::ptrdiff_t>(j) * n;
            const double* lj = end.J.data() + static_cast<std::ptrdiff_t>(c) * n;
            const bool linear = static_cast<std::size_t>(j) < pr.linear.size() && pr.linear[static_cast<std::size_t>(j)];
            const double dx = linear ? 1.0 : x[static_cast<std::size_t>(j)];
            for (int i = pr.first - 1; i < n; ++i) col[i] = lj[i] / dx;
        }
        st.iteration = 2;
    }
    st.status = statusOf(out.ending);
}

} // namespace wf
