// The fine model inside a model run (FINE_SIMF) and the concurrent
// derivative models of one search pass (fineSimulateMany).
#include <algorithm>
#include <cstdlib>
#include <exception>
#include <string>
#include <thread>

#include "base/run_state.h"
#include "fine/fine_model.h"
#include "fem/model_io.h"
#include "fem/simf.h"
#include "fem/stor.h"
#include "listing/wsol.h"
#include "textio/fortran_format.h"

namespace wf {

namespace {

// The heads at every node from the modal drawdowns.
void headsFromModes(const fine::FineModel& fm, const std::vector<double>& V, const std::vector<double>& modes,
                    Vec1<double>& h) {
    for (int j = 0; j < fm.NZ; ++j)
        for (int i = 0; i < fm.NR; ++i) {
            double s = 0.0;
            if (i < fm.n) {
                const double* v = &V[static_cast<std::size_t>(i) * fm.n];
                for (int m = 0; m < fm.n; ++m) s += v[m] * modes[static_cast<std::size_t>(j) * fm.n + m];
            }
            h(j * fm.NR + i + 1) = fm.h0 - s;
        }
}

// A drawdown as the simulation file holds it ("(1P,E18.10)").
double asWritten(double v) {
    const std::string text = textio::format("(1P,E18.10)", {v});
    return std::strtod(text.c_str(), nullptr);
}

} // namespace

bool FINE_SIMF(RunState& rs, const double* P, Mat1<double>& sim, const Vec1<int>& obsNodes, const Vec1<double>& times) {
    FemState& fs = rs.fem;
    ModelSet& m = rs.model;
    if (fs.callCount == 1 || !fs.fine) {
        fs.fine.reset();
        std::string why;
        if (auto built = fine::buildFineModel(rs, why)) {
            auto fm = std::make_shared<fine::FineModel>(*built);
            if (placeObservations(*fm, obsNodes, fs.nobsNodes)) fs.fine = fm;
            else why = "an observation node lies outside its mesh";
        }
        // Nothing is fitted silently on the standard model instead.
        if (!fs.fine) {
            rs.error("The fine model cannot be built for the model input of " + rs.file(".fem") + " and " +
                     rs.file(".tim") + ": " + why);
            return false;
        }
    }
    const fine::FineModel& fm = *fs.fine;

    const int nout = fs.nout, nobs = fs.nobsNodes;
    std::vector<double> values(static_cast<std::size_t>(nobs) * std::max(nout, 1));
    std::vector<double> modes;
    fine::FineWork work;
    double failedAt = 0.0;
    if (!fine::fineSimulate(fm, P, times.data(), nout, values.data(), work, &modes, &failedAt)) {
        rs.error(composeLine("('Zero or negative pivot in the flow equations at time',1P,E11.3,' s')", {failedAt}));
        return false;
    }
    for (int k = 1; k <= nobs; ++k)
        for (int i = 1; i <= nout; ++i)
            sim(k, i) = values[static_cast<std::size_t>(k - 1) * nout + (i - 1)];

    // The final heads, for the listing and the head store of the last step.
    fs.titlesWritten = false;
    fs.listingFirst = 0;
    headsFromModes(fm, fine::modesOf(fm, work), modes, m.HNEW);
    for (int n = 1; n <= fs.NN; ++n) m.HOLD(n) = m.HNEW(n);
    if (nout >= 2) {
        fs.t = times(nout);
        fs.dt = times(nout) - times(nout - 1);
        fs.step = nout - 1;
        if (fs.step % fs.printInterval == 0)
            WSOL(rs, listingStream(fs), m.HNEW, m.HOLD, m.DNODE, m.DHEAD, m.NSIDE, m.NFLUX, fs.listingFirst);
        if (fs.step % fs.storeInterval == 0) STOR(rs);
    }
    return writeSimulationFile(rs, sim, obsNodes, times);
}

bool fineSimulateMany(RunState& rs, int count, const double* const* P, int n, double* const* F, int threads) {
    if (!rs.fem.fine || count < 1) return false;
    const fine::FineModel& fm = *rs.fem.fine;
    const int nout = rs.fem.nout, nobs = rs.fem.nobsNodes;
    if (nout < 1 || n > nout * nobs) return false;
    const double* times = rs.est.TG.data();
    rs.fem.callCount += count;

    int workers = threads > 0 ? threads : static_cast<int>(std::thread::hardware_concurrency());
    workers = std::clamp(workers, 1, count);
    std::vector<char> failed(static_cast<std::size_t>(workers), 0);
    // Worker w takes the vectors w, w + workers, ...: each simulation is the
    // same whichever worker makes it.
    auto work = [&](int wk) {
        try {
            fine::FineWork scratch;
            std::vector<double> values(static_cast<std::size_t>(nobs) * nout);
            for (int c = wk; c < count; c += workers) {
                if (!fine::fineSimulate(fm, P[c], times, nout, values.data(), scratch)) {
                    failed[static_cast<std::size_t>(wk)] = 1;  // the model run on this thread shows why
                    return;
                }
                // Records in file order: all times of the first node, then the next.
                for (int i = 0; i < n; ++i) F[c][i] = asWritten(values[static_cast<std::size_t>(i)]);
            }
        } catch (const std::exception&) {
            failed[static_cast<std::size_t>(wk)] = 1;
        }
    };
    std::vector<std::thread> pool;
    try {
        for (int wk = 1; wk < workers; ++wk) pool.emplace_back(work, wk);
    } catch (const std::exception&) {
        // No further threads: the ones started and this one share the work
        // of the missing ones below.
    }
    const int started = static_cast<int>(pool.size()) + 1;
    work(0);
    for (std::thread& th : pool) th.join();
    for (int wk = started; wk < workers; ++wk) work(wk);
    return std::find(failed.begin(), failed.end(), 1) == failed.end();
}

bool placeObservations(fine::FineModel& fm, const Vec1<int>& obsNodes, int nobs) {
    fm.obsCol.clear();
    fm.obsRow.clear();
    for (int k = 1; k <= nobs; ++k) {
        const int n = obsNodes(k);
        if (n < 1 || n > fm.NR * fm.NZ) return false;
        // A node on a held outer column reads zero drawdown (its mode row is zero).
        fm.obsCol.push_back((n - 1) % fm.NR);
        fm.obsRow.push_back((n - 1) / fm.NR);
    }
    return true;
}

ModelStepping steppingOf(const RunState& rs) { return rs.options.fineModel ? FINE_SIMF : SIMF; }

} // namespace wf
