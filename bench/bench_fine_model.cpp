// The "Fine model" on the bundled example project (examples/oude-korendijk):
// one model run (an analysis of type "Fixed time") and the full optimisation
// from the project's guesses. Targets: a run under 25 ms, a fit under 2 s on
// two cores. Reported: model runs, passes, implicit steps and factorisations
// of one run, and the fitted PINIT.
#include <benchmark/benchmark.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>
#include <vector>

#include "document/project_document.h"
#include "support/solver_run.h"
#include "fine_example.h"
#include "fine/fine_model.h"

namespace {

namespace fs = std::filesystem;

using wf::bench::Counts;
using wf::bench::FineExample;

// One solver run with the fine model on the document's records.
void solverRun(wf::RunState& rs, wf::doc::ProjectDocument& doc, int mode, int type, Counts& counts, int threads) {
    wf::bench::fineRun(rs, doc, mode, type, counts, threads);
}

// The output times of the first observation node in a simulation file, in
// seconds (factor: seconds per unit of the file's times).
std::vector<double> simulationTimes(const std::string& name, double factor) {
    std::ifstream in(name);
    int nobs = 0, nt = 0;
    in >> nobs >> nt;
    std::string line;
    std::getline(in, line);
    std::getline(in, line);
    std::vector<double> t;
    for (int i = 0; i < nt; ++i) {
        int node = 0;
        double time = 0.0, s = 0.0;
        if (!(in >> node >> time >> s)) break;
        t.push_back(time * factor);
    }
    return t;
}


void BM_FineModelRun(benchmark::State& state) {
    FineExample ex("fine_run");
    if (!ex.why.empty()) {
        state.SkipWithError(ex.why.c_str());
        return;
    }
    const PINIT guesses = ex.doc.pinit;
    long steps = 0, blocks = 0;
    for (auto _ : state) {
        state.PauseTiming();
        ex.doc.pinit = guesses;
        Counts c;
        wf::RunState rs;
        state.ResumeTiming();
        solverRun(rs, ex.doc, 6, 1, c, 0);
        state.PauseTiming();
        if (rs.fem.fine) {
            const std::vector<double> t = simulationTimes("OKORENDIJK.inv", 60.0);
            wf::fine::fineStepCounts(*rs.fem.fine, t.data(), static_cast<int>(t.size()), steps, blocks);
        }
        state.counters["model_runs"] = rs.fem.callCount;
        state.counters["NR"] = ex.doc.mesh.NR;
        state.counters["NZ"] = ex.doc.mesh.NZ;
        state.ResumeTiming();
    }
    state.counters["steps"] = static_cast<double>(steps);
    state.counters["factorised_blocks"] = static_cast<double>(blocks);
}

void BM_FineFit(benchmark::State& state) {
    FineExample ex("fine_fit");
    if (!ex.why.empty()) {
        state.SkipWithError(ex.why.c_str());
        return;
    }
    const PINIT guesses = ex.doc.pinit;
    Counts c;
    for (auto _ : state) {
        state.PauseTiming();
        ex.doc.pinit = guesses;
        c = Counts{};
        wf::RunState rs;
        state.ResumeTiming();
        solverRun(rs, ex.doc, 6, 0, c, static_cast<int>(state.range(0)));
        benchmark::DoNotOptimize(ex.doc.pinit);
        state.counters["model_runs"] = rs.fem.callCount;
        state.counters["passes"] = c.passes;
        state.counters["Tf_m2_day"] = ex.doc.pinit.TF;
        state.counters["Tm_m2_day"] = ex.doc.pinit.TM;
        state.counters["Sf"] = ex.doc.pinit.SF;
        state.counters["Sm"] = ex.doc.pinit.SM;
        state.counters["T_total"] = ex.doc.pinit.TF + ex.doc.pinit.TM;
        state.counters["S_total"] = ex.doc.pinit.SF + ex.doc.pinit.SM;
    }
    if (c.lastBox != "SAVE to keep final Results") state.SkipWithError(("analysis ended with: " + c.lastBox).c_str());
}

BENCHMARK(BM_FineModelRun)->Unit(benchmark::kMillisecond)->Iterations(20);
// Argument: threads for the derivative models (0 = one per core).
BENCHMARK(BM_FineFit)->Unit(benchmark::kMillisecond)->Iterations(3)->Arg(1)->Arg(0);

} // namespace

BENCHMARK_MAIN();
