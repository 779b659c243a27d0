#include "solver_call.h"

#include <cstring>
#include <exception>
#include <new>

#include "entry/entry_call.h"
#include "base/run_options.h"
#include "base/inverse_state.h"
#include "wfcore/wfcore.h"

namespace wf::py {
namespace {

WfHost hostOf(Listener& listener) {
    WfHost host{};
    host.context = &listener;
    host.progress = [](void* context, int32_t code, const char* text, const char* const*, int32_t) {
        auto* l = static_cast<Listener*>(context);
        if (l->progress) l->progress(code, text ? text : "");
    };
    host.pollCancel = [](void* context) -> int32_t {
        auto* l = static_cast<Listener*>(context);
        return l->cancel && l->cancel() ? 1 : 0;
    };
    host.messageBox = [](void* context, const char* caption, const char* text) {
        auto* l = static_cast<Listener*>(context);
        const std::string message = text ? text : "";
        if (caption && std::strcmp(caption, "Information") == 0) l->informations.push_back(message);
        else l->errors.push_back(message);
    };
    return host;
}

} // namespace

void solverCall(wf::RunState& rs, int mode, int type, wf::doc::ProjectDocument& doc, const WfOptions& options,
                Listener& listener) {
    const WfHost host = hostOf(listener);
    rs.rep.setHost(&host);
    wf::installOptions(rs.inv, &options);
    wf::installRunOptions(rs.options, &options);
    wf::entryCall(rs, mode, type, doc.filename, doc.mesh, doc.obsv, doc.pump, doc.guess, doc.pinit, doc.units,
                  doc.nzero);
    // The options hold for this call only, as the command-line runner installs them.
    wf::installOptions(rs.inv, nullptr);
    wf::installRunOptions(rs.options, nullptr);
    rs.rep.setHost(nullptr);
}

} // namespace wf::py
