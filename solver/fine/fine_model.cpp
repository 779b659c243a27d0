#include "fine/fine_model.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "base/run_state.h"
#include "base/unit_tables.h"
#include "fine/fine_mesh.h"
#include "fine/fine_pencil.h"

namespace wf {
namespace fine {

namespace {

// Radial modes: Kr V = Mr V diag(lambda) with V' Mr V = I, for the columns
// 0..n-1 (the outer column is left out when its heads are held). A well's
// skin adds to the resistance of the first element, its storage capacity to
// the mass of the first column.
bool radialModes(const std::vector<double>& r, int n, double skin, double capacity, std::vector<double>& V,
                 std::vector<double>& lambda) {
    // Tridiagonal radial stiffness and mass with weight r (exact integrals of
    // linear elements).
    std::vector<double> kd(n, 0.0), ko(n, 0.0), md(n, 0.0), mo(n, 0.0);
    const int NR = static_cast<int>(r.size());
    for (int i = 0; i + 1 < NR; ++i) {
        const double h = r[i + 1] - r[i], r1 = r[i], r2 = r[i + 1];
        double k = (r1 + r2) / (2.0 * h);
        if (i == 0 && skin != 0.0) k = 1.0 / (1.0 / k + skin);
        const double m11 = h * (3.0 * r1 + r2) / 12.0, m22 = h * (r1 + 3.0 * r2) / 12.0, m12 = h * (r1 + r2) / 12.0;
        if (i < n) {
            kd[i] += k;
            md[i] += m11;
        }
        if (i + 1 < n) {
            kd[i + 1] += k;
            md[i + 1] += m22;
            ko[i] -= k;
            mo[i] += m12;
        }
    }
    if (capacity != 0.0) md[0] += capacity;
    // No-flow outer boundary: the constant drawdown is the mode of eigenvalue
    // 0 (Kr 1 = 0), the one that holds the pumped volume; it is set exactly,
    // so that no water leaks away through a small rounding eigenvalue.
    std::vector<double> X;
    if (!pencilEigen(n, kd, ko, md, mo, n == NR, lambda, X)) return false;
    // On all NR columns (zero on a held outer column).
    V.assign(static_cast<std::size_t>(NR) * n, 0.0);
    std::copy(X.begin(), X.end(), V.begin());
    return true;
}

// Rate of one source at the end t of a step of length dt, as the standard
// assembly takes it: the first profile interval that holds t, its part of the
// step only when it began inside the step.
double sourceRate(const FineModel::Source& src, double t, double dt) {
    for (std::size_t k = 1; k < src.t.size(); ++k) {
        const double t0 = src.t[k - 1], t1 = src.t[k];
        if (t0 <= t && t <= t1) {
            double rate = src.rate[k];
            if (t - t0 < dt) rate *= (t - t0) / dt;
            return rate;
        }
    }
    return 0.0;
}

// The blocks of equal steps from t to b: calls block(end, steps) for each.
template <class Block>
void planSteps(const FineModel& fm, double t, double b, Block&& block) {
    while (t < b) {
        // The piece up to the next change of the rates.
        double pieceEnd = b, tr = 0.0;
        for (double x : fm.restarts) {
            if (x <= t) tr = x;
            else if (x < pieceEnd) {
                pieceEnd = x;
                break;
            }
        }
        double cur = t;
        while (cur < pieceEnd) {
            const double tau = cur - tr;
            double e;
            long steps;
            if (tau <= 0.0) {
                e = std::min(pieceEnd, tr + std::ldexp(pieceEnd - tr, -kFirstHalvings));
                steps = 1;
            } else {
                e = std::min(pieceEnd, tr + 2.0 * tau);
                // A sliver left before the piece end joins this block.
                if (pieceEnd - e < 0.25 * (e - cur)) e = pieceEnd;
                steps = std::max(1L, static_cast<long>(std::ceil((e - cur) / (kStepFraction * tau) - 1e-9)));
            }
            block(cur, e, steps, tau <= 0.0);
            cur = e;
        }
        t = pieceEnd;
    }
}

} // namespace

std::shared_ptr<const FineModel> buildFineModel(const RunState& rs, std::string& why) {
    const FemState& fs = rs.fem;
    auto refuse = [&why](std::string text) {
        why = std::move(text);
        return std::shared_ptr<const FineModel>{};
    };
    const ModelSet& m = rs.model;
    const int NR = rs.in.NR, NZ = rs.in.NZ;
    if (fs.nodesPerElement != 4 || fs.family != 'L') return refuse("its elements are not bilinear four-node elements");
    if (fs.NNS != 0) return refuse("it has prescribed fluxes on element sides");
    if (fs.satSwitch == 1) return refuse("it tests for dry nodes");
    if (fs.nsteps == 0) return refuse("it has no storage (no time steps)");
    if (NR < 2 || NZ < 2 || fs.NN != NR * NZ || fs.NEL != (NR - 1) * (NZ - 1) || m.X.size() < fs.NN)
        return refuse("its nodes and elements are not the NR x NZ grid of the mesh records");
    if (fs.npar < 2 || fs.npar % 2 != 0) return refuse("its parameters are not pairs of conductivity and storage");
    auto node = [NR](int i, int j) { return j * NR + i + 1; };  // 0-based column i, row j

    auto fm = std::make_shared<FineModel>();
    fm->NR = NR;
    fm->NZ = NZ;
    fm->KX = fs.KX;
    fm->KY = fs.KY;
    fm->SS = fs.SS;
    fm->npar = fs.npar;
    fm->h0 = m.H0(1);
    std::vector<double> r(NR);
    for (int i = 0; i < NR; ++i) r[i] = m.X(node(i, 0));
    fm->rowMat.resize(NZ);
    fm->hz.resize(NZ - 1);
    for (int j = 0; j < NZ; ++j) {
        fm->rowMat[j] = m.MAT(node(0, j));
        if (fm->rowMat[j] < 1 || fm->rowMat[j] > fs.npar / 2)
            return refuse("node row " + std::to_string(j + 1) + " has a material without parameters");
        if (j > 0) {
            fm->hz[j - 1] = m.Y(node(0, j)) - m.Y(node(0, j - 1));
            if (!(fm->hz[j - 1] > 0.0)) return refuse("node row " + std::to_string(j + 1) + " does not lie above the row below it");
        }
        for (int i = 0; i < NR; ++i) {
            const int n = node(i, j);
            if (m.X(n) != r[i] || m.Y(n) != m.Y(node(0, j)))
                return refuse("node " + std::to_string(n) + " is not on the columns and rows of the grid");
            if (m.MAT(n) != fm->rowMat[j]) return refuse("node row " + std::to_string(j + 1) + " has more than one material");
            if (m.H0(n) != fm->h0) return refuse("the initial heads are not equal at every node");
            if (i > 0 && !(r[i] > r[i - 1]))
                return refuse("node column " + std::to_string(i + 1) + " does not lie outside the column before it");
        }
    }
    if (r[0] < 0.0) return refuse("its first node column lies at a negative radius");
    // Every element one cell of the grid, every cell once.
    std::vector<char> seen(static_cast<std::size_t>(NR - 1) * (NZ - 1), 0);
    for (int e = 1; e <= fs.NEL; ++e) {
        int nodes[4];
        for (int a = 0; a < 4; ++a) nodes[a] = m.CON(e, a + 1);
        const int low = *std::min_element(nodes, nodes + 4) - 1;
        const int i = low % NR, j = low / NR;
        if (i >= NR - 1 || j >= NZ - 1) return refuse("element " + std::to_string(e) + " is not a cell of the grid");
        int cell[4] = {node(i, j), node(i + 1, j), node(i + 1, j + 1), node(i, j + 1)};
        std::sort(nodes, nodes + 4);
        std::sort(cell, cell + 4);
        if (!std::equal(nodes, nodes + 4, cell)) return refuse("element " + std::to_string(e) + " is not a cell of the grid");
        char& s = seen[static_cast<std::size_t>(j) * (NR - 1) + i];
        if (s) return refuse("element " + std::to_string(e) + " covers a cell of the grid a second time");
        s = 1;
    }
    // Heads held: none, or the whole outer column at the initial head.
    fm->n = NR;
    if (fs.NDN != 0) {
        if (fs.NDN != NZ) return refuse("its heads are held elsewhere than on the whole outer node column");
        std::vector<char> held(NZ, 0);
        for (int d = 1; d <= fs.NDN; ++d) {
            const int n = m.DNODE(d);
            if (n < 1 || n > fs.NN || (n - 1) % NR != NR - 1)
                return refuse("its heads are held elsewhere than on the whole outer node column");
            if (m.DHEAD(d) != fm->h0) return refuse("a held head differs from the initial head");
            held[(n - 1) / NR] = 1;
        }
        if (std::count(held.begin(), held.end(), 1) != NZ)
            return refuse("its heads are held elsewhere than on the whole outer node column");
        fm->n = NR - 1;
    }
    // Sources on the axis column.
    for (int k = 1; k <= fs.NSRC; ++k) {
        const int n = m.SRC(k, 1);
        if (n < 1 || n > fs.NN || (n - 1) % NR != 0)
            return refuse("pumped node " + std::to_string(n) + " is not on the well axis (the first node column)");
        FineModel::Source src;
        src.row = (n - 1) / NR;
        const int points = std::min(m.SRC(k, 2), m.PROF.dim2());
        for (int p = 1; p <= points; ++p) {
            src.t.push_back(m.PROF(k, p, 1));
            src.rate.push_back(m.PROF(k, p, 2));
            if (m.PROF(k, p, 1) > 0.0) fm->restarts.push_back(m.PROF(k, p, 1));
        }
        fm->sources.push_back(std::move(src));
    }
    fm->restarts.push_back(0.0);
    std::sort(fm->restarts.begin(), fm->restarts.end());
    fm->restarts.erase(std::unique(fm->restarts.begin(), fm->restarts.end()), fm->restarts.end());

    fm->r = r;
    const RunOptions& o = rs.options;
    if (o.hasWell()) {
        const double rw = o.wellRadius * units::length(rs.in.IDIST);
        if (!(std::abs(r[0] - rw) <= 1e-6 * rw))
            return refuse("its first node column does not lie at the well radius: do the mesh construction with the well first");
        fm->skin = o.skin;
        if (!(elementResistance(r[0], r[1]) + fm->skin > 0.0))
            return refuse("the skin factor takes away all the resistance of the first element at the well");
        const double rc = o.casingRadius * units::length(rs.in.IDIST);
        fm->wellVolume = 0.5 * rc * rc;
        fm->wellTrial = fs.wellTrial;
    }
    if (!radialModes(r, fm->n, fm->skin, 0.0, fm->V, fm->lambda))
        return refuse("its radial modes could not be computed");
    return fm;
}

void fineStepCounts(const FineModel& fm, const double* times, int nout, long& steps, long& blocks) {
    steps = blocks = 0;
    double t = 0.0;
    for (int i = 1; i < nout; ++i) {
        if (times[i] <= t) continue;
        planSteps(fm, t, times[i], [&](double, double, long s, bool) {
            steps += s;
            ++blocks;
        });
        t = times[i];
    }
}

namespace {

// Vertical matrices for the parameters P: A mass with weight Kx p, B
// stiffness with weight Ky p, C mass with weight S q (row materials).
void verticalMatrices(const FineModel& fm, const double* P, FineWork& w) {
    const int NZ = fm.NZ;
    for (auto* v : {&w.ad, &w.bd, &w.cd}) v->assign(NZ, 0.0);
    for (auto* v : {&w.ao, &w.bo, &w.co}) v->assign(NZ, 0.0);
    const int half = fm.npar / 2;
    for (int j = 0; j + 1 < NZ; ++j) {
        const double h = fm.hz[j];
        const double p1 = P[fm.rowMat[j] - 1], p2 = P[fm.rowMat[j + 1] - 1];
        const double q1 = P[fm.rowMat[j] - 1 + half], q2 = P[fm.rowMat[j + 1] - 1 + half];
        const double x1 = fm.KX * p1, x2 = fm.KX * p2;
        w.ad[j] += h * (3.0 * x1 + x2) / 12.0;
        w.ad[j + 1] += h * (x1 + 3.0 * x2) / 12.0;
        w.ao[j] += h * (x1 + x2) / 12.0;
        const double k = (fm.KY * p1 + fm.KY * p2) / (2.0 * h);
        w.bd[j] += k;
        w.bd[j + 1] += k;
        w.bo[j] -= k;
        const double s1 = fm.SS * q1, s2 = fm.SS * q2;
        w.cd[j] += h * (3.0 * s1 + s2) / 12.0;
        w.cd[j + 1] += h * (s1 + 3.0 * s2) / 12.0;
        w.co[j] += h * (s1 + s2) / 12.0;
    }
}

// The radial modes of this simulation: the model's, or with wellbore storage
// those of the capacity for this column's storativity 1' Mz[S q] 1, or those
// of another skin than the model's (kept in w while skin, casing volume and
// column stay the same). False when there are none.
bool simulationModes(const FineModel& fm, double skin, double wellVolume, FineWork& w, const std::vector<double>*& V,
                     const double*& lambda) {
    V = &fm.V;
    lambda = fm.lambda.data();
    const bool storage = wellVolume > 0.0;
    if (!storage && skin == fm.skin) {
        w.V.clear();
        return true;
    }
    const int NZ = fm.NZ;
    double column = 0.0;
    if (storage) {
        for (int j = 0; j < NZ; ++j) column += w.cd[j] + (j + 1 < NZ ? 2.0 * w.co[j] : 0.0);
        if (!(column > 0.0)) return false;
    }
    if (!(elementResistance(fm.r[0], fm.r[1]) + skin > 0.0)) return false;
    if (w.V.empty() || column != w.column || skin != w.skin || wellVolume != w.wellVolume) {
        w.column = column;
        w.skin = skin;
        w.wellVolume = wellVolume;
        if (!radialModes(fm.r, fm.n, skin, storage ? wellVolume / column : 0.0, w.V, w.lambda)) {
            w.V.clear();
            return false;
        }
    }
    V = &w.V;
    lambda = w.lambda.data();
    return true;
}

// One simulation's stepping on the work arrays; entry (row j, mode m) at
// j * n + m, so that the inner loops run over the independent modes with
// unit stride.
struct Stepper {
    const FineModel& fm;
    FineWork& w;
    const std::vector<double>& V;
    const double* lam;
    int n, NZ;
    std::size_t size;
    bool positive = true;  // every pivot so far positive (ordinary input: always)

    // The drawdowns at the observation nodes at output time i.
    void record(double* sim, int nout, int i) const {
        const int nobs = static_cast<int>(fm.obsCol.size());
        for (int k = 0; k < nobs; ++k) {
            const double* v = &V[static_cast<std::size_t>(fm.obsCol[k]) * n];
            const double* s = &w.s[static_cast<std::size_t>(fm.obsRow[k]) * n];
            double sum = 0.0;
            for (int m = 0; m < n; ++m) sum += v[m] * s[m];
            sim[static_cast<std::size_t>(k) * nout + i] = sum;
        }
    }

    // Factors of the n tridiagonal systems c0 C + dt (lambda A + B):
    // reciprocal pivots (diag) and unit lower couplings (low).
    void factorise(double c0, double dt) {
        w.diag.resize(size);
        w.low.resize(size);
        for (int j = 0; j < NZ; ++j) {
            double* __restrict d = &w.diag[static_cast<std::size_t>(j) * n];
            double* __restrict l = &w.low[static_cast<std::size_t>(j) * n];
            const double da = dt * w.ad[j], db = dt * w.bd[j] + c0 * w.cd[j];
            if (j == 0) {
                for (int m = 0; m < n; ++m) {
                    const double p = da * lam[m] + db;
                    positive = positive && p > 0.0;
                    d[m] = 1.0 / p;
                }
                continue;
            }
            const double* dp = &w.diag[static_cast<std::size_t>(j - 1) * n];
            const double oa = dt * w.ao[j - 1], ob = dt * w.bo[j - 1] + c0 * w.co[j - 1];
            for (int m = 0; m < n; ++m) {
                const double off = oa * lam[m] + ob;
                const double lm = off * dp[m];
                l[m] = lm;
                const double p = da * lam[m] + db - lm * off;
                positive = positive && p > 0.0;
                d[m] = 1.0 / p;
            }
        }
    }

    // The right-hand side M ((1 + omega) s - omega^2 / (1 + omega) s_prev) + dt f
    // in w.rhs; s_prev becomes the present drawdowns.
    void rightHandSide(double omega, double dt, double tEnd) {
        std::fill(w.g.begin(), w.g.end(), 0.0);
        // Abstraction lowers the head: the drawdown gains -rate.
        for (const FineModel::Source& src : fm.sources) w.g[src.row] -= sourceRate(src, tEnd, dt) * dt;
        const double a1 = 1.0 + omega, a2 = omega * omega / (1.0 + omega);
        const double* v0 = V.data();  // row of the axis (or well-face) column: it carries the sources
        double* __restrict y = w.y.data();
        for (std::size_t x = 0; x < size; ++x) y[x] = a1 * w.s[x] - a2 * w.sp[x];
        w.sp.swap(w.s);  // the previous drawdowns; s is overwritten with the new ones
        double* __restrict r = w.rhs.data();
        for (int j = 0; j < NZ; ++j) {
            double* rj = r + static_cast<std::size_t>(j) * n;
            const double* yj = y + static_cast<std::size_t>(j) * n;
            const double c = w.cd[j], gj = w.g[j];
            for (int m = 0; m < n; ++m) rj[m] = c * yj[m] + gj * v0[m];
            if (j > 0) {
                const double cl = w.co[j - 1];
                const double* yl = yj - n;
                for (int m = 0; m < n; ++m) rj[m] += cl * yl[m];
            }
            if (j + 1 < NZ) {
                const double cu = w.co[j];
                const double* yu = yj + n;
                for (int m = 0; m < n; ++m) rj[m] += cu * yu[m];
            }
        }
    }

    // Forward and back substitution with the factors: the new drawdowns in w.s.
    void substitute() {
        double* __restrict r = w.rhs.data();
        for (int j = 1; j < NZ; ++j) {
            double* rj = r + static_cast<std::size_t>(j) * n;
            const double* rp = rj - n;
            const double* l = &w.low[static_cast<std::size_t>(j) * n];
            for (int m = 0; m < n; ++m) rj[m] -= l[m] * rp[m];
        }
        double* __restrict s = w.s.data();
        {
            const std::size_t o = static_cast<std::size_t>(NZ - 1) * n;
            for (int m = 0; m < n; ++m) s[o + m] = r[o + m] * w.diag[o + m];
        }
        for (int j = NZ - 2; j >= 0; --j) {
            const std::size_t o = static_cast<std::size_t>(j) * n, u = o + n;
            for (int m = 0; m < n; ++m) s[o + m] = r[o + m] * w.diag[o + m] - w.low[u + m] * s[u + m];
        }
    }

    // One step of the two-step backward differentiation formula with step
    // ratio omega = dt / previous dt (omega 0: a backward-Euler step):
    //   (c0 M + dt K) s_new = M ((1 + omega) s - omega^2 / (1 + omega) s_prev) + dt f,
    // c0 = (1 + 2 omega) / (1 + omega); in the radial modes M = C, K = lambda A + B.
    void step(double omega, double dt, double tEnd) {
        rightHandSide(omega, dt, tEnd);
        substitute();
    }

    // A block of equal steps from a to e; hprev the length of the step before.
    void block(double a, double e, long steps, bool restart, double& hprev) {
        const double dt = (e - a) / static_cast<double>(steps);
        // The first step of a block follows a step of another length; after a
        // change of the rates, or after a much shorter step, it is a
        // backward-Euler step.
        double omega1 = restart || hprev <= 0.0 ? 0.0 : dt / hprev;
        if (omega1 > kMaxStepRatio) omega1 = 0.0;
        factorise((1.0 + 2.0 * omega1) / (1.0 + omega1), dt);
        step(omega1, dt, steps == 1 ? e : a + dt);
        if (steps > 1) {
            if (omega1 != 1.0) factorise(1.5, dt);
            for (long st = 2; st <= steps; ++st) step(1.0, dt, st == steps ? e : a + static_cast<double>(st) * dt);
        }
        hprev = dt;
    }
};

} // namespace

bool fineSimulate(const FineModel& fm, const double* P, const double* times, int nout, double* sim, FineWork& w,
                  std::vector<double>* finalModes, double* failedAt) {
    const int n = fm.n, NZ = fm.NZ;
    const std::size_t size = static_cast<std::size_t>(n) * NZ;
    w.s.assign(size, 0.0);
    w.diag.resize(size);
    w.low.resize(size);
    w.rhs.resize(size);
    w.g.resize(NZ);
    verticalMatrices(fm, P, w);
    const std::vector<double>* V = nullptr;
    const double* lambda = nullptr;
    // The well's skin and casing volume: the trial's when the search moves them.
    double skin = fm.skin, wellVolume = fm.wellVolume;
    if (fm.wellTrial) {
        skin = P[fm.npar];
        wellVolume = 0.5 * P[fm.npar + 1] * P[fm.npar + 1];
    }
    if (!simulationModes(fm, skin, wellVolume, w, V, lambda)) {
        if (failedAt) *failedAt = 0.0;
        return false;
    }
    Stepper stepper{fm, w, *V, lambda, n, NZ, size};
    if (nout >= 1) stepper.record(sim, nout, 0);
    w.sp.assign(size, 0.0);
    w.y.resize(size);
    double t = 0.0, hprev = 0.0;
    for (int i = 1; i < nout; ++i) {
        if (times[i] > t) {
            planSteps(fm, t, times[i],
                      [&](double a, double e, long steps, bool restart) { stepper.block(a, e, steps, restart, hprev); });
            t = times[i];
            if (!stepper.positive) {
                if (failedAt) *failedAt = t;
                return false;
            }
        }
        stepper.record(sim, nout, i);
    }
    if (finalModes) *finalModes = w.s;
    return true;
}

} // namespace fine
} // namespace wf
