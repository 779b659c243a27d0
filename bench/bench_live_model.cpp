// Live matching on the bundled example project (examples/oude-korendijk):
// model runs per second of the in-memory model behind the "Match" panel
// (wfLiveRun), on one thread, for the standard and the fine model. Each
// iteration is one slider position: the multipliers of new values (the
// conversion the panel makes) and one run. Goal: at least 30 per second.
// Also the opening of the model (the panel's refresh, on the program's
// thread): the reading of the model files and, for the fine model, its
// radial modes.
#include <benchmark/benchmark.h>

#include <cmath>
#include <filesystem>
#include <string>
#include <unistd.h>
#include <vector>

#include "document/project_document.h"
#include "fine_example.h"
#include "wfcore/wfcore.h"

namespace {

namespace fs = std::filesystem;

// The example in a fresh folder (the working directory while it lives) with
// its mesh and preparation made by the standard model.
class StandardExample {
public:
    StandardExample() : old_(fs::current_path()) {
        dir_ = fs::temp_directory_path() / ("wf_bench_live_" + std::to_string(::getpid()));
        fs::create_directories(dir_);
        fs::copy(fs::path(WF_SOURCE_DIR) / "examples" / "oude-korendijk", dir_,
                 fs::copy_options::recursive | fs::copy_options::overwrite_existing);
        fs::current_path(dir_);
        const wf::doc::OpenOutcome opened = doc.openProject("OKORENDIJK.wft");
        if (!opened.project || !opened.testData || !doc.convertParameters(1) || !doc.convertParameters(2)) {
            why = "example project could not be opened";
            return;
        }
        wf::bench::Counts c;
        for (int mode : {4, 5}) {
            wf::RunState rs;
            const WfHost h = wf::bench::quietHost(&c);
            rs.rep.setHost(&h);
            wf::test::solverRun(rs, mode, 0, doc);
        }
        if (c.boxes != 0) why = "project set-up failed: " + c.lastBox;
    }
    ~StandardExample() {
        fs::current_path(old_);
        fs::remove_all(dir_);
    }
    wf::doc::ProjectDocument doc;
    std::string why;

private:
    fs::path old_, dir_;
};

// One slider drag over the fracture transmissivity, run by run.
void liveRuns(benchmark::State& state, wf::doc::ProjectDocument& doc, bool fine) {
    const WfOptions options = doc.solverOptions(nullptr);
    WfLiveModel* m = wfLiveOpen(&doc.filename, &doc.mesh, &doc.obsv, &doc.pump, &doc.guess, &doc.pinit, &doc.units,
                                &doc.nzero, &options);
    int32_t points = 0, levels = 0;
    if (!m || wfLiveShape(m, &points, &levels) != 1 || (options.fineModel != 0) != fine) {
        char buf[512] = {};
        wfLiveMessage(m, buf, sizeof buf);
        state.SkipWithError(buf);
        wfLiveClose(m);
        return;
    }
    std::vector<double> t(static_cast<std::size_t>(points * levels)), s(t.size());
    const float tf = doc.pinit.TF;
    long step = 0;
    double S = 0.0;
    for (auto _ : state) {
        // The panel's conversion of the slider's value into the multipliers.
        wf::doc::ProjectDocument trial = doc;
        trial.pinit.TF = static_cast<float>(tf * std::pow(10.0, 0.01 * static_cast<double>(step++ % 100 - 50)));
        if (!trial.convertParameters(2)) {
            state.SkipWithError("the parameters cannot be converted");
            break;
        }
        const double P[4] = {trial.guess.P0[0], trial.guess.P0[1], trial.guess.P0[2], trial.guess.P0[3]};
        if (wfLiveRun(m, P, t.data(), s.data(), static_cast<int32_t>(s.size()), &S) == 0) {
            state.SkipWithError("a live run failed");
            break;
        }
        benchmark::DoNotOptimize(s.data());
    }
    state.counters["curves_per_s"] = benchmark::Counter(static_cast<double>(state.iterations()),
                                                        benchmark::Counter::kIsRate);
    state.counters["levels"] = levels;
    wfLiveClose(m);
}

// Opening and closing the live model, as the panel does on every refresh.
void liveOpens(benchmark::State& state, wf::doc::ProjectDocument& doc) {
    const WfOptions options = doc.solverOptions(nullptr);
    for (auto _ : state) {
        WfLiveModel* m = wfLiveOpen(&doc.filename, &doc.mesh, &doc.obsv, &doc.pump, &doc.guess, &doc.pinit,
                                    &doc.units, &doc.nzero, &options);
        const bool open = m && wfLiveShape(m, nullptr, nullptr) == 1;
        wfLiveClose(m);
        if (!open) {
            state.SkipWithError("the live model did not open");
            break;
        }
    }
}

void BM_LiveOpenStandard(benchmark::State& state) {
    StandardExample ex;
    if (!ex.why.empty()) {
        state.SkipWithError(ex.why.c_str());
        return;
    }
    liveOpens(state, ex.doc);
}
BENCHMARK(BM_LiveOpenStandard)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_LiveOpenFine(benchmark::State& state) {
    wf::bench::FineExample ex("live_open_fine");
    if (!ex.why.empty()) {
        state.SkipWithError(ex.why.c_str());
        return;
    }
    ex.doc.analysisOptions.fineModel = true;
    liveOpens(state, ex.doc);
}
BENCHMARK(BM_LiveOpenFine)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_LiveRunStandard(benchmark::State& state) {
    StandardExample ex;
    if (!ex.why.empty()) {
        state.SkipWithError(ex.why.c_str());
        return;
    }
    liveRuns(state, ex.doc, false);
}
BENCHMARK(BM_LiveRunStandard)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_LiveRunFine(benchmark::State& state) {
    wf::bench::FineExample ex("live_fine");
    if (!ex.why.empty()) {
        state.SkipWithError(ex.why.c_str());
        return;
    }
    ex.doc.analysisOptions.fineModel = true;
    liveRuns(state, ex.doc, true);
}
BENCHMARK(BM_LiveRunFine)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

BENCHMARK_MAIN();
