// AQFEINV: the analysis run. Checks the prepared data against the mesh, loads
// the observed drawdowns, runs the Marquardt search pass by pass with FUNC as
// its model, reports every pass and writes the result file {base}.res.
#include "inverse/aqfeinv.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "inverse/analysis_run.h"
#include "fine/fine_model.h"
#include "inverse/analysis_report.h"
#include "inverse/analysis_setup.h"
#include "inverse/bsolve.h"
#include "inverse/multi_start.h"
#include "inverse/parallel_runs.h"
#include "inverse/search_space.h"
#include "textio/list_directed.h"
#include "textio/side_file.h"

namespace wf {

namespace {

// The simulated-values file of the last completed pass, kept so that a later
// pass that fails half-way does not leave the file of one of its trial runs.
struct SimulationFile {
    std::string text;
    bool have = false;
};

bool readWholeFile(const std::string& name, std::string& text) {
    std::ifstream in;
    if (!textio::openSideRead(in, name)) return false;
    std::ostringstream buf;
    buf << in.rdbuf();
    text = buf.str();
    return true;
}

void restoreSimulationFile(RunState& rs, const SimulationFile& kept) {
    if (!kept.have) return;
    // Best effort: a failed write leaves the file the model wrote.
    (void)textio::writeSideFileText(rs.file(".inv"), kept.text);
}

// The simulated values of a pass for several points: all NOBS x NT records
// of {base}.inv (after its counts line) and, when res is given, the fit table of every point one after
// another: a row per measurement of the point, with the node and time of its
// time level and the measured value. lastDrawdown holds the last level's
// drawdown at every point.
bool readPointTables(RunState& rs, textio::RecordReader& reader, int nobs, int count, std::ostream* res,
                     std::vector<double>& lastDrawdown) {
    const std::string name = rs.file(".inv");
    const ObservationPairs& pairs = rs.inv.pairs;
    if (nobs != pairs.points || count != rs.fem.nout) return reportInputError(rs, name, textio::kIosBadValue);
    if (int ios = reader.skip(1); ios != 0) return reportInputError(rs, name, ios);
    struct Row {
        int node = 0;
        double time = 0.0, sim = 0.0;
    };
    std::vector<Row> rows(static_cast<std::size_t>(nobs) * static_cast<std::size_t>(count));
    for (Row& r : rows) {
        textio::ListRead rec = reader.begin();
        if (!rec.get(r.node) || !rec.get(r.time) || !rec.get(r.sim)) return reportInputError(rs, name, rec.status());
    }
    lastDrawdown.assign(static_cast<std::size_t>(nobs), 0.0);
    if (count > 0)
        for (int l = 0; l < nobs; ++l)
            lastDrawdown[static_cast<std::size_t>(l)] =
                rows[static_cast<std::size_t>(l) * static_cast<std::size_t>(count) + static_cast<std::size_t>(count - 1)].sim;
    if (!res) return true;
    for (int l = 1; l <= nobs; ++l) {
        // The point's measurements in the order of the observation file.
        std::vector<std::size_t> mine;
        for (std::size_t i = 0; i < pairs.point.size(); ++i)
            if (pairs.point[i] == l) mine.push_back(i);
        std::stable_sort(mine.begin(), mine.end(),
                         [&](std::size_t a, std::size_t b) { return pairs.level[a] < pairs.level[b]; });
        for (std::size_t i : mine) {
            const Row& r = rows[static_cast<std::size_t>(l - 1) * static_cast<std::size_t>(count) +
                                static_cast<std::size_t>(pairs.level[i] - 1)];
            writeResultRow(*res, r.node, r.time, pairs.observed[i], r.sim);
        }
    }
    return true;
}

// The simulated values of a pass: reads {base}.inv (counts, "Node:" line,
// then one record per time level of the first observation node) and, when res is given,
// writes each record as a row of the result table with the observed value
// inserted. lastDrawdown holds the drawdown of the last record read (the
// last level of every point when there are several).
bool readPassSimulation(RunState& rs, std::ostream* res, std::vector<double>& lastDrawdown, std::string& text) {
    const std::string name = rs.file(".inv");
    if (!readWholeFile(name, text)) return reportInputError(rs, name, textio::kIosEndOfFile);
    std::istringstream in(text);
    textio::RecordReader reader(in);
    int nobs = 0, count = 0;
    if (int ios = reader.read(nobs, count); ios != 0) return reportInputError(rs, name, ios);
    const ObservationPairs& pairs = rs.inv.pairs;
    if (pairs.several) return readPointTables(rs, reader, nobs, count, res, lastDrawdown);
    if (count < 0 || count > rs.est.YOBS.size()) return reportInputError(rs, name, textio::kIosBadValue);
    if (int ios = reader.skip(1); ios != 0) return reportInputError(rs, name, ios);
    lastDrawdown.assign(1, 0.0);
    for (int i = 1; i <= count; ++i) {
        textio::ListRead rec = reader.begin();
        int node = 0;
        double time = 0.0, sim = 0.0;
        if (!rec.get(node) || !rec.get(time) || !rec.get(sim)) return reportInputError(rs, name, rec.status());
        if (res) writeResultRow(*res, node, time, rs.est.YOBS(i), sim);
        lastDrawdown[0] = sim;
    }
    return true;
}

// A message without the blanks around it.
std::string trimmed(const std::string& s) {
    const std::size_t a = s.find_first_not_of(' ');
    if (a == std::string::npos) return std::string();
    return s.substr(a, s.find_last_not_of(' ') - a + 1);
}

// How a pass ends: the next pass follows (while the fit requirement is not
// met), the passes stop and the reports of the run follow, or the run ends
// at once (its message is shown, or a prediction has been reported).
enum class PassEnd { next, stop, leave };

// One analysis run: the search set up from the records, its passes and its
// reports.
struct AnalysisRun {
    AnalysisRun(RunState& state, const SimulationRun& simulation, int runType, int parameters)
        : rs(state), simulate(simulation), type(runType), k(parameters) {}
    // The trial vectors with the well's skin and casing radius belong to this
    // run: a fine model built after it takes the four multipliers again.
    ~AnalysisRun() { rs.fem.wellTrial = false; }
    // The search's model functions point at this run.
    AnalysisRun(const AnalysisRun&) = delete;
    AnalysisRun& operator=(const AnalysisRun&) = delete;

    RunState& rs;
    const SimulationRun& simulate;
    int type = 0, k = 0;
    double cond = 0.0;         // m2/s per conductivity unit ICOND
    int first = 0, nres = 0;   // first residual the search uses, residuals
    BsolveState st;
    SearchSpace space;
    const double* P1 = nullptr;  // the four multipliers of the last pass
    int modelRuns = 0;
    BsolveModel model;
    BsolveBatch batch;
    int counter = 0;           // completed passes
    double S = 100.0;          // sum of squared residuals of the last pass
    SimulationFile kept;
    RobustOutcome robust;      // the starts of a robust search
    int stopRule = WF_STOP_FIT;
    std::string stopMessage = "The error estimate fell below the fit requirement (RMSE)";

    // What the search moves: the multipliers, or the unknowns of a tied
    // search or of one with the well's unknowns.
    Vec1<double>& b() { return space.ownUnknowns() ? space.u : rs.est.P; }
    Vec1<double>& W() { return space.ownUnknowns() ? space.work : rs.est.W; }
    Mat1<double>& A() { return space.ownUnknowns() ? space.A : rs.est.A; }
    Mat1<double>& AS() { return space.ownUnknowns() ? space.AS : rs.est.AS; }

    // 3.-6. Observations, time levels, prediction extension, pumping steps.
    // Residuals: one per time level for one point, one per measurement for several.
    bool loadData() {
        int nobs = 0, nt = 0;
        if (!loadObservations(rs, type, nobs, nt)) return false;
        if (type == 2 && !extendTimeLevels(rs, nt)) return false;
        if (!checkPumpSteps(rs, nt)) return false;
        rs.fem.nobsNodes = nobs;
        rs.fem.nout = nt;
        loadPairObservations(rs);
        nres = residualCount(rs, nt);
        return true;
    }

    // 7. Search set-up: defaults for all settings. What the search moves
    //    follows the options: by default every multiplier is estimated.
    bool setUpSearch() {
        const Inputs& in = rs.in;
        st.status = k;
        st.peps = in.PEPS;
        st.boundAware = rs.inv.options.boundAware;
        first = rs.inv.pairs.several ? rs.inv.pairs.skipped + 1 : in.NSKIP + 1;
        for (int j = 1; j <= k; ++j) rs.est.P(j) = in.P0[j];
        if (!setUpSearchSpace(rs, k, space)) return false;
        rs.fem.wellTrial = space.wellTrial;
        P1 = rs.est.P.data();
        reportStart(rs, P1);
        if (type != 2) writeNoFitReport(rs, "the analysis did not complete a pass");
        return true;
    }

    // The search's model: one run of the flow model (or the caller's
    // simulation) at the multipliers of a trial vector. The derivative models
    // of a pass run concurrently: with the "Fine model" in memory, on the
    // standard model side by side on copies of the run state
    // (parallel_runs.h), the same values as one after another.
    void makeModels() {
        model = [this](const double* x, int n, double* f) {
            ++modelRuns;
            double P[6];
            if (!space.direct()) space.trial(x, P);
            const double* trial = space.direct() ? x : P;
            if (rs.inv.pairs.several) return simulatePairs(rs, simulate, trial, f);
            return FUNC(rs, simulate, trial, n, f, rs.est.TOUT.data());
        };
        batch = [this](int count, const double* const* x, int n, double* const* f) {
            std::vector<std::array<double, 6>> trials(space.direct() ? 0 : static_cast<std::size_t>(count));
            std::vector<const double*> p(x, x + count);
            for (std::size_t c = 0; c < trials.size(); ++c) {
                space.trial(x[c], trials[c].data());
                p[c] = trials[c].data();
            }
            if (!rs.options.fineModel) {
                const SideBySide runs = simulateSideBySide(rs, simulate, count, p.data(), n, f, rs.options.threads);
                if (runs == SideBySide::failed) return false;
                if (runs == SideBySide::made) {
                    modelRuns += count;
                    return true;
                }
            } else if (rs.inv.pairs.several ? simulatePairsMany(rs, count, p.data(), f, rs.options.threads)
                                            : fineSimulateMany(rs, count, p.data(), n, f, rs.options.threads)) {
                modelRuns += count;
                return true;
            }
            for (int c = 0; c < count; ++c)
                if (!model(x[c], n, f[c])) return false;
            return true;
        };
    }

    // 1.-7. Everything before the first pass; false when the run ends.
    bool prepare() {
        // 1. The prepared data must belong to the current mesh.
        if (!checkMeshAgainstTimeFile(rs)) return false;
        if (!checkAnalysisUnits(rs, cond)) return false;  // f_t, c(ICOND), NQ
        prepareFlowModel(rs, k);  // 2. reference properties, fresh counters
        if (!loadData()) return false;
        if (!setUpSearch()) return false;
        makeModels();
        return true;
    }

    // Cancel pressed: the passes stop.
    bool cancelled() {
        int cancel = 0;
        rs.rep.checkCancel(cancel);
        if (cancel != 1) return false;
        stopRule = WF_STOP_CANCEL;
        stopMessage = "Cancelled";
        return true;
    }

    // One call of the search; anything but next when it made no pass.
    PassEnd searchStep() {
        const int before = st.iteration;
        if (rs.inv.options.robust && type == 0)
            ROBUST(rs, space, b(), nres, first, rs.est.FCUR, rs.est.YOBS, S, st, W(), model, batch, robust);
        else
            BSOLVE(b(), nres, first, rs.est.FCUR, rs.est.YOBS, S, st, space.active.data(), space.lower.data(),
                   space.upper.data(), W(), model, A(), AS(), space.k, &batch);
        if (st.status == kBsolveModelFailed) {
            // A model run made no drawdowns and has said why: the analysis
            // ends. PINIT keeps the last completed pass (or its input values),
            // and no report presents the unfinished pass as a fit.
            restoreSimulationFile(rs, kept);
            if (type != 2) writeNoFitReport(rs, "a model run failed");
            return PassEnd::leave;
        }
        if (st.iteration == before) {
            // The search refused to start (-2, -3): no values to report.
            rs.error(bsolveMessage(st.status));
            if (type != 0) return PassEnd::leave;
            stopRule = WF_STOP_SEARCH;
            stopMessage = bsolveMessage(st.status);
            return PassEnd::stop;
        }
        if (space.ownUnknowns()) {
            double P[4];
            space.multipliers(space.u.data(), P);
            for (int j = 1; j <= 4; ++j) rs.est.P(j) = P[j - 1];
        }
        return PassEnd::next;
    }

    // 8.5 The pass's simulated values: read back, and for an optimisation or
    // a fixed-time run written into the result file; kept as the file of the
    // last completed pass.
    bool passSimulation(const DerivedValues& v, std::vector<double>& lastDrawdown) {
        std::string invText;
        if (type == 0 || type == 1) {
            const std::string resName = rs.file(".res");
            // The whole result file is composed first and then replaces the
            // previous one, so a failed write leaves the last pass's file.
            std::ostringstream res;
            writeResultHeader(res, counter, S, P1, v);
            if (!readPassSimulation(rs, &res, lastDrawdown, invText)) return false;
            if (const std::string why = textio::writeSideFileText(resName, res.str()); !why.empty()) {
                rs.error("Cannot write the result file " + resName + " (" + why + ")");
                restoreSimulationFile(rs, kept);
                return false;
            }
        } else if (!readPassSimulation(rs, nullptr, lastDrawdown, invText)) {
            return false;
        }
        kept.text = std::move(invText);
        kept.have = true;
        return true;
    }

    // The pass is complete: its transmissivities and storativities are what
    // the run driver returns in PINIT.
    void keepResults(const DerivedValues& v) {
        rs.inv.results[0] = v.Tf;
        rs.inv.results[1] = v.Tm;
        rs.inv.results[2] = v.Sf;
        rs.inv.results[3] = v.Sm;
        rs.inv.haveResults = true;
    }

    // The bound-aware search's own stop rules, for a search still moving.
    PassEnd boundAwareStop(double previous) {
        const SearchOptions& opt = rs.inv.options;
        char text[160];
        if (counter >= 2 && (previous - S) < opt.stopTolerance * previous) {
            std::snprintf(text, sizeof text,
                          "Search stopped: the error estimate fell by less than %g of its value in the last pass",
                          opt.stopTolerance);
            stopRule = WF_STOP_TOLERANCE;
        } else if (counter >= opt.maxPasses) {
            std::snprintf(text, sizeof text, "Search stopped after the maximum number of passes (%d)", opt.maxPasses);
            stopRule = WF_STOP_MAX_PASSES;
        } else {
            return PassEnd::next;
        }
        stopMessage = text;
        rs.rep.information(text);
        return PassEnd::stop;
    }

    // What follows a completed pass: the run type and the search's status decide.
    PassEnd afterPass(double previous, const std::vector<double>& lastDrawdown) {
        if (type == 1) {
            stopRule = WF_STOP_FIXED_TIME;
            stopMessage = "Fixed-time run: one evaluation at the given parameters";
            return PassEnd::stop;
        }
        if (type == 2) {
            reportPredictedDrawdown(rs, lastDrawdown);
            return PassEnd::leave;
        }
        if (st.status > 0) return rs.inv.options.boundAware ? boundAwareStop(previous) : PassEnd::next;
        stopRule = WF_STOP_SEARCH;
        stopMessage = st.status == 0 ? "The search converged" : bsolveMessage(st.status);
        if (st.status < 0) rs.error(bsolveMessage(st.status));
        return PassEnd::stop;
    }

    // 8. One pass: a search call, its report, its simulated values and results.
    PassEnd pass() {
        if (cancelled()) return PassEnd::stop;
        const double previous = S;
        if (const PassEnd end = searchStep(); end != PassEnd::next) return end;
        ++counter;
        const DerivedValues v = deriveValues(rs.in, cond, P1);
        reportPass(rs, counter, S, P1, v);
        std::vector<double> lastDrawdown;
        if (!passSimulation(v, lastDrawdown)) return PassEnd::leave;
        keepResults(v);
        return afterPass(previous, lastDrawdown);
    }

    // The fit report of the last pass (or why there is none), then 9. the
    // final report with the values of the last pass.
    void finish() {
        if (counter > 0) {
            FitRun fit;
            fit.type = type;
            fit.n = nres;
            fit.first = first;
            fit.st = &st;
            fit.b = &b();
            fit.work = &W();
            fit.model = model;
            fit.invText = &kept.text;
            fit.robust = rs.inv.options.robust && type == 0 ? &robust : nullptr;
            fit.facts = FitRunFacts{type, st.status, stopRule, counter, modelRuns, trimmed(stopMessage)};
            writeFitReport(rs, space, fit);
        } else if (type != 2) {
            writeNoFitReport(rs, trimmed(stopMessage) + "; no pass was completed");
        }
        if (type == 1 && counter > 0) return;
        reportFinal(rs, P1, deriveValues(rs.in, cond, P1));
    }
};

} // namespace

void AQFEINV(RunState& rs, int type, int k) { AQFEINV(rs, type, k, runFlowModel); }

void AQFEINV(RunState& rs, int type, int k, const SimulationRun& simulate) {
    // No report until one is made.
    rs.inv.verdict.clear();
    deliverFitReport(rs.inv.options.report, WfFitReport{});
    if (k < 1 || k > 4 || rs.est.P.size() < k) return;  // the search estimates the four multipliers
    AnalysisRun run(rs, simulate, type, k);
    if (!run.prepare()) return;
    // 8. One pass per search call while the fit requirement is not met.
    PassEnd end = PassEnd::next;
    while (end == PassEnd::next && run.S >= rs.in.RMSE) end = run.pass();
    if (end == PassEnd::leave) return;
    run.finish();
}

} // namespace wf
