// Lock-step trust-region Levenberg-Marquardt in log parameters.
#include "inverse/log_trust_region.h"

#include <algorithm>
#include <cmath>

#include "wfcore/options.h"

namespace wf {

namespace {

using Vec = std::vector<double>;

double sumOfSquares(const LogSearchProblem& pr, const Vec& f) {
    double S = 0.0;
    for (int i = pr.first - 1; i < pr.n; ++i) {
        const double r = f[static_cast<std::size_t>(i)] - pr.y[static_cast<std::size_t>(i)];
        S += r * r;
    }
    return S;
}

// Points of one batch and where their values go.
struct Batch {
    std::vector<Vec> x, f;
    int add(const Vec& point, int n) {
        x.push_back(point);
        f.emplace_back(static_cast<std::size_t>(n), 0.0);
        return static_cast<int>(x.size()) - 1;
    }
    bool run(const LogSearchProblem& pr) {
        if (x.empty()) return true;
        std::vector<const double*> xp;
        std::vector<double*> fp;
        for (std::size_t c = 0; c < x.size(); ++c) {
            xp.push_back(x[c].data());
            fp.push_back(f[c].data());
        }
        return pr.model(static_cast<int>(x.size()), xp.data(), fp.data());
    }
};

// One derivative point of free unknown c: its ln offset and the batch entry.
struct DiffPoint {
    double step = 0.0;
    int plus = -1, minus = -1;  // batch entries; minus < 0 for a one-sided difference
};

struct Normal {
    Vec JtJ, g;  // m x m and m
};

Normal normalEquations(const LogSearchProblem& pr, const LogStart& s) {
    const int m = static_cast<int>(pr.free.size()), n = pr.n;
    Normal ne;
    ne.JtJ.assign(static_cast<std::size_t>(m * m), 0.0);
    ne.g.assign(static_cast<std::size_t>(m), 0.0);
    for (int a = 0; a < m; ++a) {
        const double* ja = s.J.data() + static_cast<std::ptrdiff_t>(a) * n;
        for (int i = pr.first - 1; i < n; ++i)
            ne.g[static_cast<std::size_t>(a)] += ja[i] * (pr.y[static_cast<std::size_t>(i)] - s.f[static_cast<std::size_t>(i)]);
        for (int b = 0; b < m; ++b) {
            const double* jb = s.J.data() + static_cast<std::ptrdiff_t>(b) * n;
            double sum = 0.0;
            for (int i = pr.first - 1; i < n; ++i) sum += ja[i] * jb[i];
            ne.JtJ[static_cast<std::size_t>(a * m + b)] = sum;
        }
    }
    return ne;
}

// The scaled projected gradient (0 on a bound where the descent points outward).
double scaledGradient(const LogSearchProblem& pr, const LogStart& s, const Normal& ne) {
    const int m = static_cast<int>(pr.free.size());
    if (!(s.S > 0.0)) return 0.0;
    double worst = 0.0;
    for (int a = 0; a < m; ++a) {
        const auto j = static_cast<std::size_t>(pr.free[static_cast<std::size_t>(a)]);
        const double g = ne.g[static_cast<std::size_t>(a)];
        if ((g > 0.0 && s.z[j] >= pr.hi[j]) || (g < 0.0 && s.z[j] <= pr.lo[j])) continue;
        const double norm = std::sqrt(s.D2[static_cast<std::size_t>(a)]);
        if (norm > 0.0) worst = std::max(worst, std::fabs(g) / (norm * std::sqrt(s.S)));
    }
    return worst;
}

// Phase 1 of a pass: the derivative runs of every running start.
bool derivativePhase(const LogSearchProblem& pr, std::vector<LogStart>& starts) {
    const int m = static_cast<int>(pr.free.size()), n = pr.n;
    const LogSearchSettings& set = pr.settings;
    Batch batch;
    std::vector<std::vector<DiffPoint>> points(starts.size());
    for (std::size_t s = 0; s < starts.size(); ++s) {
        LogStart& st = starts[s];
        if (st.ending != 0) continue;
        for (int c = 0; c < m; ++c) {
            const auto j = static_cast<std::size_t>(pr.free[static_cast<std::size_t>(c)]);
            DiffPoint d;
            const bool upOk = st.z[j] + set.h <= pr.hi[j], downOk = st.z[j] - set.h >= pr.lo[j];
            d.step = upOk ? set.h : -set.h;
            Vec z = st.z;
            z[j] += d.step;
            d.plus = batch.add(logStartPoint(pr, z), n);
            if (set.central && upOk && downOk) {
                z[j] = st.z[j] - set.h;
                d.minus = batch.add(logStartPoint(pr, z), n);
            }
            points[s].push_back(d);
        }
    }
    if (!batch.run(pr)) return false;
    for (std::size_t s = 0; s < starts.size(); ++s) {
        LogStart& st = starts[s];
        if (st.ending != 0) continue;
        st.J.assign(static_cast<std::size_t>(m * n), 0.0);
        if (st.D2.empty()) st.D2.assign(static_cast<std::size_t>(m), 0.0);
        for (int c = 0; c < m; ++c) {
            const DiffPoint& d = points[s][static_cast<std::size_t>(c)];
            const Vec& fp = batch.f[static_cast<std::size_t>(d.plus)];
            double* col = st.J.data() + static_cast<std::ptrdiff_t>(c) * n;
            double norm2 = 0.0;
            for (int i = pr.first - 1; i < n; ++i) {
                const auto ui = static_cast<std::size_t>(i);
                col[i] = d.minus >= 0 ? (fp[ui] - batch.f[static_cast<std::size_t>(d.minus)][ui]) / (2.0 * set.h)
                                      : (fp[ui] - st.f[ui]) / d.step;
                norm2 += col[i] * col[i];
            }
            st.D2[static_cast<std::size_t>(c)] = std::max(st.D2[static_cast<std::size_t>(c)], norm2);
        }
        st.haveJ = true;
        ++st.passes;
        // The end tests, at the point whose derivatives were just made.
        const Normal ne = normalEquations(pr, st);
        if (scaledGradient(pr, st, ne) <= set.gtol) st.ending = WF_START_CONVERGED_GRADIENT;
        else if (st.S <= set.floor) st.ending = WF_START_FITS_DATA;
        else if (st.accepted && st.lastStep <= set.xtol && st.lastLambda <= 1.0) st.ending = WF_START_CONVERGED_STEP;
        else if (st.passes >= set.maxPasses) st.ending = WF_START_PASS_LIMIT;
    }
    return true;
}

// A trial step of one start at its damping: the projected trial point and
// the reduction the linear model predicts for it.
struct Trial {
    Vec z;
    double predicted = 0.0, size = 0.0;
    bool ok = false;
};

Trial trialStep(const LogSearchProblem& pr, const LogStart& st, const Normal& ne) {
    const int m = static_cast<int>(pr.free.size());
    double dmax = 0.0;
    for (double d : st.D2) dmax = std::max(dmax, d);
    // Unknowns on a bound whose descent points outward would be projected
    // back at once: they take no part in this step's system (a projected
    // Newton step), so that the others take the step that is best with them
    // where they are. Each pass decides this afresh from the gradient.
    std::vector<int> moving;
    for (int c = 0; c < m; ++c) {
        const auto j = static_cast<std::size_t>(pr.free[static_cast<std::size_t>(c)]);
        const double g = ne.g[static_cast<std::size_t>(c)];
        if ((g > 0.0 && st.z[j] >= pr.hi[j]) || (g < 0.0 && st.z[j] <= pr.lo[j])) continue;
        moving.push_back(c);
    }
    const int q = static_cast<int>(moving.size());
    Vec a(static_cast<std::size_t>(q * q)), rhs(static_cast<std::size_t>(q));
    for (int u = 0; u < q; ++u) {
        const auto cu = static_cast<std::size_t>(moving[static_cast<std::size_t>(u)]);
        rhs[static_cast<std::size_t>(u)] = ne.g[cu];
        for (int v = 0; v < q; ++v)
            a[static_cast<std::size_t>(u * q + v)] =
                ne.JtJ[cu * static_cast<std::size_t>(m) + static_cast<std::size_t>(moving[static_cast<std::size_t>(v)])];
        a[static_cast<std::size_t>(u * q + u)] += st.lambda * std::max(st.D2[cu], 1e-12 * dmax + 1e-300);
    }
    Trial t;
    if (q == 0 || !solveSmall(q, a, rhs)) return t;
    Vec d(static_cast<std::size_t>(m), 0.0);
    for (int u = 0; u < q; ++u) d[static_cast<std::size_t>(moving[static_cast<std::size_t>(u)])] = rhs[static_cast<std::size_t>(u)];
    t.z = st.z;
    Vec dp(static_cast<std::size_t>(m));
    for (int c = 0; c < m; ++c) {
        const auto j = static_cast<std::size_t>(pr.free[static_cast<std::size_t>(c)]);
        t.z[j] = std::clamp(st.z[j] + d[static_cast<std::size_t>(c)], pr.lo[j], pr.hi[j]);
        dp[static_cast<std::size_t>(c)] = t.z[j] - st.z[j];
        t.size = std::max(t.size, std::fabs(dp[static_cast<std::size_t>(c)]));
    }
    double lin = 0.0, quad = 0.0;
    for (int a1 = 0; a1 < m; ++a1) {
        lin += dp[static_cast<std::size_t>(a1)] * ne.g[static_cast<std::size_t>(a1)];
        for (int b = 0; b < m; ++b)
            quad += dp[static_cast<std::size_t>(a1)] * ne.JtJ[static_cast<std::size_t>(a1 * m + b)] *
                    dp[static_cast<std::size_t>(b)];
    }
    t.predicted = 2.0 * lin - quad;
    t.ok = t.predicted > 0.0 && t.size > 0.0;
    return t;
}

void reject(const LogSearchProblem& pr, LogStart& st) {
    st.lambda *= st.nu;
    st.nu *= 2.0;
    if (++st.rejections >= pr.settings.maxRejections || !(st.lambda < 1e300)) st.ending = WF_START_STALLED;
}

// Phase 2 of a pass: trial steps until every running start has moved or stalled.
bool stepPhase(const LogSearchProblem& pr, std::vector<LogStart>& starts) {
    std::vector<Normal> ne(starts.size());
    std::vector<char> moving(starts.size(), 0);
    for (std::size_t s = 0; s < starts.size(); ++s)
        if (starts[s].ending == 0) {
            ne[s] = normalEquations(pr, starts[s]);
            moving[s] = 1;
        }
    for (;;) {
        Batch batch;
        std::vector<Trial> trials(starts.size());
        std::vector<int> entry(starts.size(), -1);
        for (std::size_t s = 0; s < starts.size(); ++s) {
            if (!moving[s]) continue;
            LogStart& st = starts[s];
            // A step the linear model does not expect to lower S is not tried.
            for (trials[s] = trialStep(pr, st, ne[s]); !trials[s].ok && st.ending == 0;
                 trials[s] = trialStep(pr, st, ne[s]))
                reject(pr, st);
            if (st.ending != 0) {
                moving[s] = 0;
                continue;
            }
            entry[s] = batch.add(logStartPoint(pr, trials[s].z), pr.n);
        }
        if (batch.x.empty()) return true;
        if (!batch.run(pr)) return false;
        for (std::size_t s = 0; s < starts.size(); ++s) {
            if (entry[s] < 0) continue;
            LogStart& st = starts[s];
            Vec& f = batch.f[static_cast<std::size_t>(entry[s])];
            const double S = sumOfSquares(pr, f);
            if (S < st.S) {
                const double rho = (st.S - S) / trials[s].predicted;
                st.lastLambda = st.lambda;
                st.lastStep = trials[s].size;
                st.accepted = true;
                st.lambda *= std::max(1.0 / 3.0, 1.0 - std::pow(2.0 * rho - 1.0, 3));
                st.nu = 2.0;
                st.rejections = 0;
                st.z = trials[s].z;
                st.f = std::move(f);
                st.S = S;
                st.haveJ = false;
                moving[s] = 0;
            } else {
                reject(pr, st);
                if (st.ending != 0) moving[s] = 0;
            }
        }
    }
}

} // namespace

std::vector<double> logStartPoint(const LogSearchProblem& pr, const std::vector<double>& z) {
    std::vector<double> x = pr.x0;
    for (int j : pr.free) {
        const auto uj = static_cast<std::size_t>(j);
        x[uj] = uj < pr.linear.size() && pr.linear[uj] ? z[uj] : std::exp(z[uj]);
    }
    return x;
}

bool solveSmall(int m, std::vector<double> a, std::vector<double>& g) {
    for (int c = 0; c < m; ++c) {
        int piv = c;
        for (int r = c + 1; r < m; ++r)
            if (std::fabs(a[static_cast<std::size_t>(r * m + c)]) > std::fabs(a[static_cast<std::size_t>(piv * m + c)]))
                piv = r;
        if (!(std::fabs(a[static_cast<std::size_t>(piv * m + c)]) > 0.0)) return false;
        if (piv != c) {
            for (int q = 0; q < m; ++q)
                std::swap(a[static_cast<std::size_t>(c * m + q)], a[static_cast<std::size_t>(piv * m + q)]);
            std::swap(g[static_cast<std::size_t>(c)], g[static_cast<std::size_t>(piv)]);
        }
        for (int r = c + 1; r < m; ++r) {
            const double f = a[static_cast<std::size_t>(r * m + c)] / a[static_cast<std::size_t>(c * m + c)];
            for (int q = c; q < m; ++q) a[static_cast<std::size_t>(r * m + q)] -= f * a[static_cast<std::size_t>(c * m + q)];
            g[static_cast<std::size_t>(r)] -= f * g[static_cast<std::size_t>(c)];
        }
    }
    for (int c = m - 1; c >= 0; --c) {
        double v = g[static_cast<std::size_t>(c)];
        for (int q = c + 1; q < m; ++q) v -= a[static_cast<std::size_t>(c * m + q)] * g[static_cast<std::size_t>(q)];
        g[static_cast<std::size_t>(c)] = v / a[static_cast<std::size_t>(c * m + c)];
    }
    return true;
}

bool runLogStarts(const LogSearchProblem& pr, std::vector<LogStart>& starts) {
    // The starting points, all in one batch.
    Batch batch;
    for (LogStart& st : starts) {
        for (int j : pr.free) {
            auto& zj = st.z[static_cast<std::size_t>(j)];
            zj = std::clamp(zj, pr.lo[static_cast<std::size_t>(j)], pr.hi[static_cast<std::size_t>(j)]);
        }
        batch.add(logStartPoint(pr, st.z), pr.n);
    }
    if (!batch.run(pr)) return false;
    for (std::size_t s = 0; s < starts.size(); ++s) {
        LogStart& st = starts[s];
        st.f = std::move(batch.f[s]);
        st.S = sumOfSquares(pr, st.f);
        st.lambda = pr.settings.lambda0;
        st.nu = 2.0;
        st.ending = pr.free.empty() ? WF_START_CONVERGED_GRADIENT : 0;
    }
    for (;;) {
        bool running = false;
        for (const LogStart& st : starts) running = running || st.ending == 0;
        if (!running) return true;
        if (pr.cancelled && pr.cancelled()) {
            for (LogStart& st : starts)
                if (st.ending == 0) st.ending = WF_START_CANCELLED;
            return true;
        }
        if (!derivativePhase(pr, starts)) return false;
        if (!stepPhase(pr, starts)) return false;
    }
}

} // namespace wf
