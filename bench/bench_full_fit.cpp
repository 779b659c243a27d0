// Full optimisation of the bundled example project, the Oude Korendijk
// pumping test (examples/oude-korendijk), from the guesses stored in the
// project to the end of the search. Target: under 0.3 s per analysis, on one
// thread and with the derivative runs of each pass side by side.
// Reported: the model runs and passes of the search and the fitted PINIT.
//
// The project is opened in a temporary folder the way the desktop program and
// wellfit-cli open it; the analysis dialog's conversions (modes 1 and 2) fill
// the solver's multipliers; mesh and preparation runs are made once; each
// benchmark iteration is one analysis run (mode 6, optimisation).
#include <benchmark/benchmark.h>

#include <cstring>
#include <filesystem>
#include <string>
#include <unistd.h>

#include "document/project_document.h"
#include "support/solver_run.h"
#include "quiet_host.h"

namespace {

namespace fs = std::filesystem;

using wf::bench::Counts;
using wf::bench::quietHost;

// One run of the solver on the document's records, on a run state of its own
// so that the model runs of the analysis can be counted; threads for the
// derivative runs of a pass (0: the machine's cores).
int solverRun(wf::doc::ProjectDocument& doc, int mode, int type, Counts& counts, int threads = 0) {
    wf::RunState rs;
    const WfHost h = quietHost(&counts);
    rs.rep.setHost(&h);
    rs.options.threads = threads;
    wf::test::solverRun(rs, mode, type, doc);
    return rs.fem.callCount;
}

// Opens a copy of the example in dir and makes its mesh and preparation runs.
bool prepareExample(const fs::path& dir, wf::doc::ProjectDocument& doc, std::string& why) {
    const fs::path example = fs::path(WF_SOURCE_DIR) / "examples" / "oude-korendijk";
    fs::create_directories(dir);
    fs::copy(example, dir, fs::copy_options::recursive | fs::copy_options::overwrite_existing);
    fs::current_path(dir);
    const wf::doc::OpenOutcome opened = doc.openProject("OKORENDIJK.wft");
    if (!opened.project || !opened.testData || doc.pointCount() == 0) {
        why = "example project could not be opened";
        return false;
    }
    if (!doc.convertParameters(1) || !doc.convertParameters(2)) {
        why = "parameter conversion refused";
        return false;
    }
    Counts c;
    solverRun(doc, 4, 0, c);
    solverRun(doc, 5, 0, c);
    if (c.boxes != 0) {
        why = "project set-up failed: " + c.lastBox;
        return false;
    }
    return true;
}

void BM_FullFit(benchmark::State& state) {
    const fs::path old = fs::current_path();
    const fs::path dir = fs::temp_directory_path() / ("wf_bench_full_fit_" + std::to_string(::getpid()));
    wf::doc::ProjectDocument doc;
    std::string why;
    if (!prepareExample(dir, doc, why)) {
        fs::current_path(old);
        fs::remove_all(dir);
        state.SkipWithError(why.c_str());
        return;
    }
    const PINIT guesses = doc.pinit;
    Counts c;
    for (auto _ : state) {
        state.PauseTiming();
        doc.pinit = guesses;
        c = Counts{};
        state.ResumeTiming();
        const int runs = solverRun(doc, 6, 0, c, static_cast<int>(state.range(0)));
        benchmark::DoNotOptimize(doc.pinit);
        state.counters["model_runs"] = runs;
        state.counters["passes"] = c.passes;
        state.counters["Tf_m2_day"] = doc.pinit.TF;
        state.counters["Tm_m2_day"] = doc.pinit.TM;
        state.counters["Sf"] = doc.pinit.SF;
        state.counters["Sm"] = doc.pinit.SM;
    }
    if (c.lastBox != "SAVE to keep final Results") state.SkipWithError(("analysis ended with: " + c.lastBox).c_str());
    fs::current_path(old);
    fs::remove_all(dir);
}

// Argument: threads of the derivative runs (1: one after another, the
// yardstick; 2: side by side on both cores). The fitted values are the same.
BENCHMARK(BM_FullFit)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond)->Iterations(5)->UseRealTime();

} // namespace

BENCHMARK_MAIN();
