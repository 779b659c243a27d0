// The C exports of live matching: a LiveModel behind an opaque handle.
#include <cstring>
#include <new>
#include <string>

#include "entry/live_model.h"
#include "wfcore/wfcore.h"

struct WfLiveModel {
    wf::LiveModel model;
    wf::LiveCurve curve;  // reused run by run
    std::string message;
};

extern "C" WF_API WfLiveModel* WF_CALL wfLiveOpen(const FILENAME* filename, const MESH* mesh, const OBSV* obsv,
                                                  const PUMP* pump, const GUESS* guess, const PINIT* pinit,
                                                  const UNITS* units, const NZERO* nzero, const WfOptions* options) {
    WfLiveModel* m = new (std::nothrow) WfLiveModel;
    if (m == nullptr) return nullptr;
    if (!filename || !mesh || !obsv || !pump || !guess || !pinit || !units || !nzero) {
        m->message = "wfLiveOpen needs the addresses of all eight records";
        return m;
    }
    try {
        m->model.open(*filename, *mesh, *obsv, *pump, *guess, *pinit, *units, *nzero, options);
        m->message = m->model.message();
    } catch (const std::exception& e) {
        m->message = std::string("Internal error in the solver: ") + e.what();
    }
    return m;
}

extern "C" WF_API int32_t WF_CALL wfLiveShape(const WfLiveModel* model, int32_t* points, int32_t* levels) {
    if (model == nullptr || !model->model.isOpen()) return 0;
    int32_t p = 0, l = 0;
    if (!model->model.shape(p, l)) return 0;
    if (points) *points = p;
    if (levels) *levels = l;
    return 1;
}

extern "C" WF_API int32_t WF_CALL wfLiveRun(WfLiveModel* model, const double* multipliers, double* times,
                                            double* drawdowns, int32_t capacity, double* errorEstimate) {
    if (model == nullptr) return 0;
    if (multipliers == nullptr) {
        model->message = "wfLiveRun needs the four multipliers";
        return 0;
    }
    try {
        if (!model->model.run(multipliers, model->curve)) {
            model->message = model->model.message();
            return 0;
        }
    } catch (const std::exception& e) {
        model->message = std::string("Internal error in the solver: ") + e.what();
        return 0;
    }
    const wf::LiveCurve& c = model->curve;
    const std::size_t n = c.drawdowns.size();
    if (capacity < 0 || static_cast<std::size_t>(capacity) < n) {
        model->message = "wfLiveRun: room for " + std::to_string(capacity) + " records, the run made " +
                         std::to_string(n);
        return 0;
    }
    // A dry-node stop is a run with a message.
    model->message = model->model.message();
    if (times) std::memcpy(times, c.times.data(), n * sizeof(double));
    if (drawdowns) std::memcpy(drawdowns, c.drawdowns.data(), n * sizeof(double));
    if (errorEstimate) *errorEstimate = c.errorEstimate;
    return static_cast<int32_t>(n);
}

extern "C" WF_API int32_t WF_CALL wfLiveSetWell(WfLiveModel* model, double skin, double casingRadius) {
    if (model == nullptr) return 0;
    const bool set = model->model.setWell(skin, casingRadius);
    model->message = model->model.message();
    return set ? 1 : 0;
}

extern "C" WF_API int32_t WF_CALL wfLiveMessage(const WfLiveModel* model, char* buffer, int32_t capacity) {
    const std::string empty;
    const std::string& text = model ? model->message : empty;
    if (buffer != nullptr && capacity > 0) {
        std::size_t n = text.size() < static_cast<std::size_t>(capacity - 1) ? text.size()
                                                                             : static_cast<std::size_t>(capacity - 1);
        while (n > 0 && n < text.size() && (static_cast<unsigned char>(text[n]) & 0xC0u) == 0x80u) --n;
        std::memcpy(buffer, text.data(), n);
        buffer[n] = '\0';
    }
    return static_cast<int32_t>(text.size());
}

extern "C" WF_API void WF_CALL wfLiveClose(WfLiveModel* model) { delete model; }
