// Derivative runs of the standard model on several threads.
#include "inverse/parallel_runs.h"

#include <algorithm>
#include <exception>
#include <string>
#include <thread>
#include <vector>

namespace wf {

namespace {

using FlowRun = bool (*)(RunState&, const double*);

// A message box of a run on a copy: kept, not shown (the run is made again on
// the run state, where the box is shown).
void keepBox(void* context, const char*, const char*) { *static_cast<bool*>(context) = true; }

bool applies(const RunState& rs, const SimulationRun& simulate, int count, int workers) {
    const FlowRun* run = simulate.target<FlowRun>();
    const FemState& fs = rs.fem;
    return run != nullptr && *run == &runFlowModel && !rs.options.fineModel && count > 1 && workers > 1 &&
           fs.callCount >= 1 && fs.listing == nullptr && fs.diagnostics == nullptr &&
           fs.simulationText == nullptr && fs.nout - 1 < std::min(fs.printInterval, fs.storeInterval);
}

bool runOne(RunState& rs, const SimulationRun& simulate, const double* P, int n, double* F) {
    if (rs.inv.pairs.several) return simulatePairs(rs, simulate, P, F);
    return FUNC(rs, simulate, P, n, F, rs.est.TOUT.data());
}

} // namespace

SideBySide simulateSideBySide(RunState& rs, const SimulationRun& simulate, int count, const double* const* P, int n,
                              double* const* F, int threads) {
    int workers = threads > 0 ? threads : static_cast<int>(std::thread::hardware_concurrency());
    workers = std::min(workers, count);
    if (!applies(rs, simulate, count, workers)) return SideBySide::notApplied;

    // Vector c goes to worker (count - 1 - c) % workers; worker 0, this
    // thread, takes the last vector last.
    struct Copy {
        RunState rs;
        std::string text;
        bool box = false, ok = true;
    };
    std::vector<Copy> copies;
    try {
        copies.resize(static_cast<std::size_t>(workers - 1));
        for (std::size_t w = 0; w < copies.size(); ++w) {
            Copy& c = copies[w];
            c.rs = rs;
            WfHost quiet{};
            quiet.context = &c.box;
            quiet.messageBox = keepBox;
            c.rs.rep.setHost(&quiet);
            c.rs.fem.simulationText = &c.text;
        }
    } catch (const std::exception&) {
        return SideBySide::notApplied;  // no room for the copies
    }
    auto work = [&](int w) {
        Copy& c = copies[static_cast<std::size_t>(w - 1)];
        try {
            for (int v = count - 1 - w; v >= 0; v -= workers)
                if (!runOne(c.rs, simulate, P[v], n, F[v]) || c.box) {
                    c.ok = false;
                    return;
                }
        } catch (const std::exception&) {
            c.ok = false;
        }
    };
    std::vector<std::thread> pool;
    try {
        for (int w = 1; w < workers; ++w) pool.emplace_back(work, w);
    } catch (const std::exception&) {
        // Fewer threads: this one makes the missing workers' runs after its own.
    }
    const int started = static_cast<int>(pool.size()) + 1;
    bool ok = true;
    std::vector<int> mine;
    for (int v = count - 1; v >= 0; v -= workers) mine.push_back(v);
    std::reverse(mine.begin(), mine.end());  // ascending: the last vector is run last
    for (int w = started; w < workers; ++w) work(w);
    for (const int v : mine)
        if (ok) ok = runOne(rs, simulate, P[v], n, F[v]);
    for (std::thread& th : pool) th.join();
    if (!ok) return SideBySide::failed;
    const bool copiesOk = std::all_of(copies.begin(), copies.end(), [](const Copy& c) { return c.ok; });
    if (!copiesOk) {
        // A run on a copy failed or wanted to say something: all of them
        // again, one after another on the run state, where the boxes show.
        for (int v = 0; v < count; ++v)
            if (!runOne(rs, simulate, P[v], n, F[v])) return SideBySide::failed;
        return SideBySide::made;
    }
    rs.fem.callCount += count - static_cast<int>(mine.size());
    rs.fem.copyRuns += count - static_cast<int>(mine.size());
    return SideBySide::made;
}

} // namespace wf
