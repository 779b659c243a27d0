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
#include "fine_example.h"
#include "fine/fine_model.h"
#include "base/inverse_state.h"

namespace {

namespace fs = std::filesystem;

using wf::bench::Counts;
using wf::bench::FineExample;

// One solver run with the fine model on the document's records; the run state
// is returned for its counters.
void solverRun(wf::RunState& rs, wf::doc::ProjectDocument& doc, int mode, int type, Counts& counts, int threads,
               WfFitReport* report = nullptr) {
    if (report) {
        WfOptions o{};
        o.search = WF_SEARCH_ROBUST;
        o.starts = 8;
        o.report = report;
        wf::installOptions(rs.inv, &o);
    }
    wf::bench::fineRun(rs, doc, mode, type, counts, threads);
}


void BM_RobustFit(benchmark::State& state) {
    FineExample ex("robust_fit");
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
