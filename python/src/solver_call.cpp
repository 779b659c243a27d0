#include "solver_call.h"

#include <cstring>
#include <exception>
#include <new>

#include "entry/run_driver.h"
#include "base/run_options.h"
#include "base/inverse_state.h"
#include "wfcore/wfcore.h"

namespace wf::py {
namespace {

// A base name the solver can form side-file names from: 1 to 12 characters,
// none of them a folder separator or NUL (the entry call's own rule).
bool usableBaseName(const FILENAME_VIEW& f) {
    if (f.baseLength < 1 || f.baseLength > 12) return false;
    for (int i = 0; i < f.baseLength; ++i) {
        const char c = f.baseName[i];
        if (c == '\0' || c == '/' || c == '\\') return false;
    }
    return true;
}

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
    const bool showsProgress = mode != WF_MODE_MESH && mode != WF_MODE_PREPARE;
    try {
        if (showsProgress) {
            rs.rep.addLine(0, "WELLFIT: Start Computation");
            rs.rep.showWindow();
        }
        FILENAME_VIEW view;
        std::memcpy(&view, &doc.filename, sizeof view);
        if (!usableBaseName(view)) {
            rs.error("The project file name must have 1 to 12 characters before \".wft\"");
        } else {
            wf::SET_FILE(rs, view);
            wf::INITIALIZE(rs, doc.mesh, doc.obsv, doc.pump, doc.guess, doc.pinit, doc.units, doc.nzero);
            wf::WFRUN(rs, mode, type, doc.mesh, doc.obsv, doc.pinit);
        }
        if (showsProgress) rs.rep.addLine(2, "WELLFIT: Computation Complete");
    } catch (const std::bad_alloc&) {
        rs.error(" Allocation Error, not enough memory");
    } catch (const std::exception& e) {
        rs.error(std::string("Internal error in the solver: ") + e.what());
    }
    // The options hold for this call only, as the command-line runner installs them.
    wf::installOptions(rs.inv, nullptr);
    wf::installRunOptions(rs.options, nullptr);
    rs.rep.setHost(nullptr);
}

} // namespace wf::py
