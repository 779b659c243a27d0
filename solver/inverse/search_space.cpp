// Search space of the analysis and the fit report written after it.
#include "inverse/search_space.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <cstdio>
#include <fstream>

#include "base/unit_tables.h"
#include "fine/fine_mesh.h"
#include "inverse/analysis_setup.h"
#include "inverse/multi_start.h"
#include "textio/side_file.h"

namespace wf {

void SearchSpace::multipliers(const double* x, double* P) const {
    if (!tied) {
        for (int j = 0; j < 4; ++j) P[j] = x[j];
        return;
    }
    P[0] = P[1] = x[0];
    P[2] = P[3] = x[1];
}

void SearchSpace::trial(const double* x, double* P) const {
    multipliers(x, P);
    if (!wellTrial) return;
    P[4] = skinAt(x);
    P[5] = well > 0 ? casingMetres * x[well] : casingMetres;
}

namespace {

// What the robust search calls unknown j (1-based) in its messages.
std::string unknownWords(const SearchSpace& sp, int j) {
    if (sp.well > 0 && j == sp.well + 1) return "the casing radius multiplier";
    const char* names[4] = {"TF", "TM", "SF", "SM"};
    const char* tiedNames[2] = {"the conductivity (TF, TM)", "the specific storage (SF, SM)"};
    return sp.tied ? tiedNames[j - 1] : names[j - 1];
}

// The robust search moves the logarithms of the estimated unknowns (the skin
// excepted): their guesses and upper bounds must be positive.
bool checkRobustStart(RunState& rs, const SearchSpace& sp) {
    if (!rs.inv.options.robust) return true;
    for (int j = 1; j <= sp.k; ++j) {
        if (sp.active[static_cast<std::size_t>(j)] == 0 || sp.linear(j)) continue;
        const double x = sp.ownUnknowns() ? sp.u(j) : rs.est.P(j), hi = sp.upper[static_cast<std::size_t>(j)];
        if (x > 0.0 && hi > 0.0) continue;
        char text[200];
        std::snprintf(text, sizeof text, " Robust search: the %s of %s must be positive (it is %g)",
                      x > 0.0 ? "upper bound" : "guess", unknownWords(sp, j).c_str(), x > 0.0 ? hi : x);
        rs.error(text);
        return false;
    }
    return true;
}

// The one-aquifer unknowns: bounds common to both layers, the start at the
// layer-weighted mean of the guesses. False after an error box.
bool setUpTiedUnknowns(RunState& rs, SearchSpace& sp) {
    const Inputs& in = rs.in;
    const SearchOptions& o = rs.inv.options;
    const double r = in.RATIO;
    for (int m = 1; m <= 2; ++m) {
        const int f = 2 * m - 1, x = 2 * m;  // fracture and matrix slot of this unknown
        const auto um = static_cast<std::size_t>(m);
        sp.lower[um] = std::max(in.PLO[f], in.PLO[x]);
        sp.upper[um] = std::min(in.PHI[f], in.PHI[x]);
        if (!(sp.lower[um] <= sp.upper[um])) {
            rs.error(m == 1 ? " One aquifer: the bounds of TF and TM leave no common conductivity"
                            : " One aquifer: the bounds of SF and SM leave no common specific storage");
            return false;
        }
        const double start = r * in.P0[f] + (1.0 - r) * in.P0[x];
        sp.u(m) = std::clamp(start, sp.lower[um], sp.upper[um]);
        // Holding either layer's parameter holds the shared unknown, at the
        // common value the search starts from.
        sp.active[um] = o.hold[f - 1] || o.hold[x - 1] ? 0 : 1;
    }
    return true;
}

// The well's unknowns after the aquifer's: the skin from the options' value
// in its box, the casing radius multiplier from 1.
void setUpWellUnknowns(const RunState& rs, SearchSpace& sp) {
    const SearchOptions& o = rs.inv.options;
    const auto s = static_cast<std::size_t>(sp.well), c = s + 1;
    // The most negative skin the first element at the well can carry: a
    // share of its resistance (the fine mesh's first two columns).
    double skinLower = 0.0;
    fine::FineMesh mesh;
    std::string why;
    const double metres = units::length(rs.in.IDIST);
    if (fine::layFineMesh(rs.in, rs.options.wellRadius * metres, mesh, why) && mesh.r.size() >= 2)
        skinLower = -kSkinResistanceShare * fine::elementResistance(mesh.r[0], mesh.r[1]);
    sp.lower[s] = std::min(skinLower, sp.skin);
    sp.upper[s] = std::max(kSkinUpper, 2.0 * sp.skin);
    sp.u(sp.well) = sp.skin;
    sp.active[s] = o.holdWell[WF_WELL_SKIN] ? 0 : 1;
    sp.lower[c] = kCasingLower;
    sp.upper[c] = kCasingUpper;
    sp.u(sp.well + 1) = 1.0;
    sp.active[c] = o.holdWell[WF_WELL_CASING] || !(sp.casingRadius > 0.0) ? 0 : 1;
}

} // namespace

bool setUpSearchSpace(RunState& rs, int k, SearchSpace& sp) {
    const Inputs& in = rs.in;
    const SearchOptions& o = rs.inv.options;
    sp = SearchSpace{};
    sp.tied = o.oneAquifer && k == 4;
    const int aquifer = sp.tied ? 2 : k;
    // The pumped well of the fine model: its skin and casing radius are
    // unknowns unless both are held (the casing radius only when there is one).
    sp.wellTrial = rs.options.fineModel && rs.options.hasWell() && k == 4;
    if (sp.wellTrial) {
        sp.skin = rs.options.skin;
        sp.casingRadius = rs.options.casingRadius;
        sp.casingMetres = rs.options.casingRadius * units::length(in.IDIST);
        const bool casingFree = !o.holdWell[WF_WELL_CASING] && sp.casingRadius > 0.0;
        if (!o.holdWell[WF_WELL_SKIN] || casingFree) sp.well = aquifer + 1;
    }
    sp.k = aquifer + (sp.well > 0 ? 2 : 0);
    sp.active.assign(static_cast<std::size_t>(sp.k) + 1, 1);
    sp.lower.assign(static_cast<std::size_t>(sp.k) + 1, 0.0);
    sp.upper.assign(static_cast<std::size_t>(sp.k) + 1, 0.0);
    if (!sp.tied) {
        for (int j = 1; j <= k; ++j) {
            sp.active[static_cast<std::size_t>(j)] = o.hold[j - 1] ? 0 : 1;
            sp.lower[static_cast<std::size_t>(j)] = in.PLO[j];
            sp.upper[static_cast<std::size_t>(j)] = in.PHI[j];
        }
        if (!sp.ownUnknowns()) return checkRobustStart(rs, sp);
    }
    const int nt = rs.est.YOBS.size();
    sp.u.allocate(sp.k);
    sp.work.allocate(static_cast<long long>(sp.k) * nt + 2LL * sp.k + nt);
    sp.A.allocate(sp.k, sp.k + 2);
    sp.AS.allocate(sp.k, sp.k + 2);
    if (sp.tied) {
        if (!setUpTiedUnknowns(rs, sp)) return false;
    } else {
        for (int j = 1; j <= k; ++j) sp.u(j) = rs.est.P(j);
    }
    if (sp.well > 0) setUpWellUnknowns(rs, sp);
    double P[4];
    sp.multipliers(sp.u.data(), P);
    for (int j = 1; j <= 4; ++j) rs.est.P(j) = P[j - 1];
    return checkRobustStart(rs, sp);
}

namespace {

const char* distanceUnit(int idist) {
    static const char* names[4] = {"mm", "cm", "m", "km"};
    return idist >= 1 && idist <= 4 ? names[idist - 1] : "(distance unit)";
}

// Where starts 2 and 3 of a robust search came from, in the user's units.
std::string splitsNote(const LayerSplits& splits, const double factor[4], const std::string& tUnit) {
    if (!splits.made) return {};
    char text[320];
    std::snprintf(text, sizeof text,
                  "Starts 2 and 3 begin from a fit of one aquifer (T = %.5G %s, S = %.5G, error estimate %.6E) "
                  "with %.0f %% of its transmissivity in the fracture layer and in the matrix.",
                  (factor[0] + factor[1]) * splits.K, tUnit.c_str(), (factor[2] + factor[3]) * splits.Ss, splits.S,
                  100.0 * kSplitShare);
    return text;
}

void saveFitText(RunState& rs, const std::string& text) {
    const std::string name = rs.file(".fit");
    std::ofstream out;
    if (!textio::openSideWrite(out, name)) {
        rs.error("Cannot write the fit report " + name);
        return;
    }
    out << text;
    out.close();
    if (!out) rs.error("Cannot write the fit report " + name);
}

// Forward-difference derivative columns at b, made the way the search makes
// them (step 1 % of max(|b_j|, floor_j), downward at the upper bound).
bool freshColumns(const RunState& rs, const SearchSpace& sp, FitRun& run, std::vector<std::vector<double>>& cols) {
    const int k = sp.k, n = run.n, first = std::max(run.first, 1);
    const double* floorStep = run.work->data() + static_cast<std::ptrdiff_t>(k) * n + k;
    std::vector<double> trial(static_cast<std::size_t>(k)), f(static_cast<std::size_t>(n)),
        base(static_cast<std::size_t>(n), 0.0);
    for (int i = first; i <= n; ++i) base[static_cast<std::size_t>(i - 1)] = rs.est.FCUR(i);
    cols.assign(static_cast<std::size_t>(k), {});
    for (int j = 1; j <= k; ++j) {
        if (sp.active[static_cast<std::size_t>(j)] == 0) continue;
        for (int l = 0; l < k; ++l) trial[static_cast<std::size_t>(l)] = (*run.b)(l + 1);
        const double bj = (*run.b)(j);
        const double fl = floorStep[j - 1] > 0.0 ? floorStep[j - 1] : std::fabs(bj) + run.st->peps;
        double h = 0.01 * std::max(std::fabs(bj), fl);
        if (bj + h > sp.upper[static_cast<std::size_t>(j)]) h = -h;
        trial[static_cast<std::size_t>(j - 1)] = bj + h;
        ++run.facts.modelRuns;
        if (!run.model(trial.data(), n, f.data())) return false;
        std::vector<double>& c = cols[static_cast<std::size_t>(j - 1)];
        c.resize(static_cast<std::size_t>(n));
        for (int i = 0; i < n; ++i) c[static_cast<std::size_t>(i)] = (f[static_cast<std::size_t>(i)] - base[static_cast<std::size_t>(i)]) / h;
    }
    return true;
}

// The error of every observation point: its share of S and its own
// root-mean-square error (unweighted). One point: the whole fit.
void fillPointFits(const RunState& rs, int first, int n, WfFitReport& rep) {
    const ObservationPairs& pairs = rs.inv.pairs;
    const EstimationSet& est = rs.est;
    rep.points = pairs.several ? pairs.points : 1;
    double sums[4] = {};
    for (int l = 0; l < rep.points; ++l) {
        WfFitPoint& f = rep.pointFits[l];
        f.node = rs.in.NODOBS[l + 1];
        f.weight = pairs.several ? rs.inv.options.weight[l] : 1.0;
    }
    for (int i = first; i <= n; ++i) {
        const int l = pairs.several ? pairs.point[static_cast<std::size_t>(i - 1)] - 1 : 0;
        const double r = est.YOBS(i) - est.FCUR(i);
        rep.pointFits[l].errorEstimate += r * r;
        const double unweighted = pairs.several ? r / pairs.scale[static_cast<std::size_t>(i - 1)] : r;
        sums[l] += unweighted * unweighted;
        ++rep.pointFits[l].residuals;
    }
    for (int l = 0; l < rep.points; ++l) {
        WfFitPoint& f = rep.pointFits[l];
        f.rmse = f.residuals > 0 ? std::sqrt(sums[l] / f.residuals) : std::numeric_limits<double>::quiet_NaN();
    }
}

int boundFlag(double v, double lo, double hi) {
    if (v <= lo) return -1;
    if (v >= hi) return 1;
    return 0;
}

} // namespace

void writeNoFitReport(RunState& rs, const std::string& why) {
    rs.inv.verdict.clear();
    deliverFitReport(rs.inv.options.report, WfFitReport{});
    saveFitText(rs, "WELLFIT fit report\nNo fit report: " + why + "\n");
}

void writeFitReport(RunState& rs, const SearchSpace& sp, FitRun& run) {
    const Inputs& in = rs.in;
    const int k = sp.k, n = run.n, first = std::max(run.first, 1);
    EstimationSet& est = rs.est;

    // Derivative columns: those of the last iteration, else fresh ones.
    std::vector<std::vector<double>> cols(static_cast<std::size_t>(k));
    if (run.st->iteration >= 2) {
        for (int j = 1; j <= k; ++j) {
            if (sp.active[static_cast<std::size_t>(j)] == 0) continue;
            const double* c = run.work->data() + static_cast<std::ptrdiff_t>(j - 1) * n;
            cols[static_cast<std::size_t>(j - 1)].assign(c, c + n);
        }
    } else if (!rs.inv.options.installed) {
        writeNoFitReport(rs, "the derivative columns of a pass without a search step (one model run per "
                             "parameter) are made only when the analysis options are installed");
        return;
    } else {
        const bool ok = freshColumns(rs, sp, run, cols);
        // The derivative runs rewrote {base}.inv: put back the pass's file.
        if (run.invText) {
            std::ofstream out;
            if (textio::openSideWrite(out, rs.file(".inv"))) out << *run.invText;
        }
        if (!ok) {
            writeNoFitReport(rs, "a model run for the derivative columns failed");
            return;
        }
    }

    FitProblem pr;
    pr.tied = sp.tied;
    for (int i = first; i <= n; ++i) pr.r.push_back(est.YOBS(i) - est.FCUR(i));
    // Unknowns: estimated, with a derivative column that is not all zero.
    const double one[4] = {1.0, 1.0, 1.0, 1.0};
    const DerivedValues a = deriveValues(in, transmissivityFactor(in.ICOND), one);
    const double factor[4] = {a.Tf, a.Tm, a.Sf, a.Sm};
    const char* names[4] = {"TF", "TM", "SF", "SM"};
    for (int j = 1; j <= k; ++j) {
        const std::vector<double>& c = cols[static_cast<std::size_t>(j - 1)];
        if (sp.active[static_cast<std::size_t>(j)] == 0 || c.empty()) continue;
        bool nonzero = false;
        for (int i = first; i <= n; ++i) nonzero = nonzero || c[static_cast<std::size_t>(i - 1)] != 0.0;
        if (!nonzero) continue;
        const int u = pr.p++;
        if (sp.well > 0 && j >= sp.well) pr.names.push_back(j == sp.well ? "skin" : "rc");
        else pr.names.push_back(sp.tied ? (j == 1 ? "T" : "S") : names[j - 1]);
        for (int i = first; i <= n; ++i) pr.J.push_back(c[static_cast<std::size_t>(i - 1)]);
        for (int q = 0; q < 4; ++q)
            if (sp.unknownOf(q) == j - 1) pr.G[q][u] = factor[q];
        // The skin is its own unknown; the casing radius is its guess times its multiplier.
        if (sp.well > 0 && j == sp.well) pr.wellG[WF_WELL_SKIN][u] = 1.0;
        if (sp.well > 0 && j == sp.well + 1) pr.wellG[WF_WELL_CASING][u] = sp.casingRadius;
    }
    if (sp.wellTrial) {
        pr.well = true;
        pr.onlyAtWell = in.NOBS >= 1;
        for (int l = 1; l <= in.NOBS && l <= 4; ++l) pr.onlyAtWell = pr.onlyAtWell && in.IPOS[l] == kAtWell;
        const double* x = run.b->data();
        pr.wellValues[WF_WELL_SKIN] = sp.skinAt(x);
        pr.wellValues[WF_WELL_CASING] = sp.casingAt(x);
        for (int w = 0; w < 2; ++w) {
            const int j = sp.well > 0 ? sp.well + w : 0;
            const auto uj = static_cast<std::size_t>(j);
            pr.wellHeld[w] = j == 0 || sp.active[uj] == 0;
            pr.wellEstimated[w] = !pr.wellHeld[w];
            pr.wellAtBound[w] = pr.wellHeld[w] ? 0 : boundFlag(x[j - 1], sp.lower[uj], sp.upper[uj]);
        }
    }
    for (int q = 0; q < 4; ++q) {
        const auto uj = static_cast<std::size_t>(sp.unknownOf(q) + 1);
        pr.values[q] = factor[q] * est.P(q + 1);
        pr.held[q] = sp.active[uj] == 0;
        pr.estimated[q] = !pr.held[q];
        // A parameter held on its own comes back as the guess itself, not as
        // the guess through its single-precision multiplier (40, not 39.9999993).
        const double guesses[4] = {in.TF, in.TM, in.SF, in.SM};
        if (pr.held[q] && !sp.tied && guesses[q] > 0.0) pr.values[q] = guesses[q];
        const double x = sp.tied ? sp.u(static_cast<int>(uj)) : est.P(q + 1);
        pr.atBound[q] = pr.held[q] ? 0 : boundFlag(x, sp.lower[uj], sp.upper[uj]);
    }

    WfFitReport rep;
    const std::string tUnit = transmissivityUnitName(in.ICOND);
    run.facts.model = rs.options.fineModel ? WF_MODEL_FINE : WF_MODEL_STANDARD;
    run.facts.meshColumns = in.NR;
    run.facts.meshRows = in.NZ;
    run.facts.search = rs.inv.options.boundAware ? WF_SEARCH_BOUND_AWARE : WF_SEARCH_PLAIN;
    if (run.robust) {
        // Every start's end in the user's units, the passes of all of them.
        run.facts.search = WF_SEARCH_ROBUST;
        run.facts.passes = run.robust->passes;
        run.facts.startsAtBest = run.robust->atBest;
        run.facts.errorFloor = run.robust->floor;
        for (const StartEnd& e : run.robust->starts) {
            WfFitStart w{};
            w.errorEstimate = e.S;
            double P[4];
            sp.multipliers(e.x.data(), P);
            for (int q = 0; q < 4; ++q) w.parameters[q] = factor[q] * P[q];
            w.passes = e.passes;
            w.ending = e.ending;
            run.facts.starts.push_back(w);
            run.facts.startWell.push_back({sp.skinAt(e.x.data()), sp.casingAt(e.x.data())});
        }
    }
    buildFitReport(pr, run.facts, tUnit, rep, rs.inv.verdict, distanceUnit(in.IDIST));
    fillPointFits(rs, first, n, rep);
    saveFitText(rs, fitReportText(rep, rs.inv.verdict, tUnit, distanceUnit(in.IDIST),
                                  run.robust ? splitsNote(run.robust->splits, factor, tUnit) : std::string()));
    deliverFitReport(rs.inv.options.report, rep);
}

} // namespace wf
