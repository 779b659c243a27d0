// wfSetOptions' side of the run state: the C record becomes SearchOptions
// (the analysis) and RunOptions (the model). Only the fields inside the
// caller's size are read; the later ones keep their defaults, so a caller
// built against an older, shorter record keeps working.
#include "base/run_options.h"
#include "base/inverse_state.h"

#include <cmath>
#include <cstddef>
#include <cstring>

namespace wf {

static_assert(sizeof(WfOptions) == WF_OPTIONS_SIZE, "WF_OPTIONS_SIZE is the size of WfOptions");
static_assert(sizeof(WfFitReport) == WF_FIT_REPORT_SIZE, "WF_FIT_REPORT_SIZE is the size of WfFitReport");
static_assert(offsetof(WfOptions, hold) == 8 && offsetof(WfFitReport, valid) == 8,
              "size and version lead both records");

bool usableOptionsRecord(const WfOptions* o) { return o == nullptr || (o->size >= 8 && o->version >= 1); }

WfOptions optionsWithinSize(const WfOptions* o) {
    WfOptions full{};
    if (o == nullptr) return full;
    const std::size_t n = o->size < sizeof full ? o->size : sizeof full;
    std::memcpy(&full, o, n);
    full.size = sizeof full;
    return full;
}

void installOptions(InverseState& inv, const WfOptions* given) {
    SearchOptions s;
    if (given) {
        const WfOptions o = optionsWithinSize(given);
        for (int j = 0; j < 4; ++j) s.hold[j] = o.hold[j] != 0;
        for (int j = 0; j < 2; ++j) s.holdWell[j] = o.holdWell[j] != 0;
        s.oneAquifer = o.oneAquifer != 0;
        s.boundAware = o.search == WF_SEARCH_BOUND_AWARE;
        s.robust = o.search == WF_SEARCH_ROBUST;
        if (o.starts > 0) s.starts = o.starts < WF_MAX_STARTS ? o.starts : WF_MAX_STARTS;
        if (o.stopTolerance > 0.0) s.stopTolerance = o.stopTolerance;
        if (o.maxPasses > 0) s.maxPasses = o.maxPasses;
        s.report = o.report;
        for (int j = 0; j < 4; ++j)
            if (std::isfinite(o.weights[j]) && o.weights[j] > 0.0) s.weight[j] = o.weights[j];
        s.installed = true;
    }
    inv.options = s;
}

void installRunOptions(RunOptions& run, const WfOptions* given) {
    run = RunOptions{};
    if (given == nullptr) return;
    const WfOptions o = optionsWithinSize(given);
    run.fineModel = o.fineModel != 0;
    run.threads = o.threads > 0 ? o.threads : 0;
    // Taken as given (a value that is not a number included): the mesh run
    // checks them and names the one it refuses.
    run.wellRadius = o.wellRadius;
    run.casingRadius = o.casingRadius;
    run.skin = o.skin;
}

void deliverFitReport(WfFitReport* caller, const WfFitReport& report) {
    if (caller == nullptr) return;
    const uint32_t size = caller->size, version = caller->version;
    const std::size_t n = size < sizeof report ? size : sizeof report;
    if (n > 8) std::memcpy(reinterpret_cast<char*>(caller) + 8, reinterpret_cast<const char*>(&report) + 8, n - 8);
    caller->size = size;
    caller->version = version;
}

} // namespace wf
