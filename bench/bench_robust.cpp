// The robust search on the bundled example project (examples/oude-korendijk)
// with the fine model: the fit from the project's guesses with 8 starts, on
// one thread and on one per core. Target: at most 2 s wall on two cores.
// Reported: model runs, passes of all starts, starts at the best, the
// error estimate and the fitted totals.
#include <benchmark/benchmark.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>
#include <vector>

#include "document/project_document.h"
#include "entry/run_driver.h"
#include "quiet_host.h"
#include "fine/fine_model.h"
#include "base/inverse_state.h"

namespace {

namespace fs = std::filesystem;

using wf::bench::Counts;
using wf::bench::quietHost;

// One solver run with the fine model on the document's records; the run state
// is returned for its counters.
void solverRun(wf::RunState& rs, wf::doc::ProjectDocument& doc, int mode, int type, Counts& counts, int threads,
               WfFitReport* report = nullptr) {
    const WfHost h = quietHost(&counts);
    if (report) {
        WfOptions o{};
        o.search = WF_SEARCH_ROBUST;
        o.starts = 8;
        o.report = report;
        wf::installOptions(rs.inv, &o);
    }
    rs.rep.setHost(&h);
    rs.options.fineModel = true;
    rs.options.threads = threads;
    FILENAME_VIEW view;
    std::memcpy(&view, &doc.filename, sizeof view);
    wf::SET_FILE(rs, view);
    wf::INITIALIZE(rs, doc.mesh, doc.obsv, doc.pump, doc.guess, doc.pinit, doc.units, doc.nzero);
    wf::WFRUN(rs, mode, type, doc.mesh, doc.obsv, doc.pinit);
    rs.rep.setHost(nullptr);
}

// Opens a copy of the example in a fresh folder and makes its fine mesh and
// preparation runs.
class Example {
public:
    Example(const char* tag) : old_(fs::current_path()) {
        dir_ = fs::temp_directory_path() / (std::string("wf_bench_robust_") + tag + std::to_string(::getpid()));
        const fs::path example = fs::path(WF_SOURCE_DIR) / "examples" / "oude-korendijk";
        fs::create_directories(dir_);
        fs::copy(example, dir_, fs::copy_options::recursive | fs::copy_options::overwrite_existing);
        fs::current_path(dir_);
        const wf::doc::OpenOutcome opened = doc.openProject("OKORENDIJK.wft");
        if (!opened.project || !opened.testData || doc.pointCount() == 0) {
            why = "example project could not be opened";
            return;
        }
        if (!doc.convertParameters(1) || !doc.convertParameters(2)) {
            why = "parameter conversion refused";
            return;
        }
        Counts c;
        wf::RunState rs;
        solverRun(rs, doc, 4, 0, c, 0);
        wf::RunState rs2;
        solverRun(rs2, doc, 5, 0, c, 0);
        if (c.boxes != 0) why = "project set-up failed: " + c.lastBox;
    }
    ~Example() {
        fs::current_path(old_);
        fs::remove_all(dir_);
    }
    wf::doc::ProjectDocument doc;
    std::string why;

private:
    fs::path old_, dir_;
};

void BM_RobustFit(benchmark::State& state) {
    Example ex("fit");
    if (!ex.why.empty()) {
        state.SkipWithError(ex.why.c_str());
        return;
    }
    const PINIT guesses = ex.doc.pinit;
    Counts c;
    WfFitReport report{};
    for (auto _ : state) {
        state.PauseTiming();
        ex.doc.pinit = guesses;
        c = Counts{};
        wf::RunState rs;
        state.ResumeTiming();
        solverRun(rs, ex.doc, 6, 0, c, static_cast<int>(state.range(0)), &report);
        benchmark::DoNotOptimize(ex.doc.pinit);
        state.counters["model_runs"] = rs.fem.callCount;
        state.counters["passes"] = report.passes;
        state.counters["starts_at_best"] = report.startsAtBest;
        state.counters["S"] = report.errorEstimate;
        state.counters["T_total"] = ex.doc.pinit.TF + ex.doc.pinit.TM;
        state.counters["S_total"] = ex.doc.pinit.SF + ex.doc.pinit.SM;
    }
    if (report.valid != 1 || report.search != WF_SEARCH_ROBUST) state.SkipWithError("no robust fit report");
}

// Argument: threads (0 = one per core).
BENCHMARK(BM_RobustFit)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime()->Arg(1)->Arg(0);

} // namespace

BENCHMARK_MAIN();
