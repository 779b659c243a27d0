// wfSetOptions' side of the run state: the C record becomes SearchOptions
// (the analysis) and RunOptions (the model).
#include "base/run_options.h"
#include "base/inverse_state.h"

#include <cmath>

namespace wf {

void installOptions(InverseState& inv, const WfOptions* o) {
    SearchOptions s;
    if (o) {
        for (int j = 0; j < 4; ++j) s.hold[j] = o->hold[j] != 0;
        s.oneAquifer = o->oneAquifer != 0;
        s.boundAware = o->boundAware != 0;
        if (o->stopTolerance > 0.0) s.stopTolerance = o->stopTolerance;
        if (o->maxPasses > 0) s.maxPasses = o->maxPasses;
        s.report = o->report;
        for (int j = 0; j < 4; ++j)
            if (std::isfinite(o->weights[j]) && o->weights[j] > 0.0) s.weight[j] = o->weights[j];
        s.installed = true;
    }
    inv.options = s;
}

void installRunOptions(RunOptions& run, const WfOptions* o) {
    run = RunOptions{};
    if (o == nullptr) return;
    run.fineModel = o->fineModel != 0;
    run.threads = o->threads > 0 ? o->threads : 0;
}

} // namespace wf
