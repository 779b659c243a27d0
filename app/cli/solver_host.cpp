#include "solver_host.h"

#include <cstring>
#include <ostream>

#include "wfcore/wfcore.h"

namespace wf::cli {

namespace {

// Detail lines of one optimisation pass, and the blank line after them. The
// final report indents its lines, so it never matches.
bool passDetail(const std::string& line) {
    if (line.find_first_not_of(' ') == std::string::npos) return true;
    for (const char* prefix : {"Multipliers:", "Kf/m", "Tf/m", "Tf+Tm:"})
        if (line.rfind(prefix, 0) == 0) return true;
    return false;
}

} // namespace

SolverHost::SolverHost(std::ostream& out, std::ostream& err, bool verbose) : out_(out), err_(err), verbose_(verbose) {
    WfHost host{};
    host.context = this;
    host.progress = [](void* c, int32_t code, const char* text, const char* const* lines, int32_t count) {
        progress(c, code, text, lines, count);
    };
    host.messageBox = messageBox;
    wfSetHost(&host);
}

SolverHost::~SolverHost() { wfSetHost(nullptr); }

void SolverHost::progress(void* context, int, const char* text, const char* const*, int) {
    // Every line the solver adds or rewrites is printed once, as it arrives.
    auto* self = static_cast<SolverHost*>(context);
    const std::string line = text ? text : "";
    if (!self->verbose_ && passDetail(line)) return;
    self->out_ << "  " << line << '\n' << std::flush;
}

void SolverHost::messageBox(void* context, const char* caption, const char* text) {
    auto* self = static_cast<SolverHost*>(context);
    const std::string message = text ? text : "";
    if (caption && std::strcmp(caption, "Information") == 0) {
        self->out_ << "Information: " << message << '\n' << std::flush;
        return;
    }
    self->errors_.push_back(message);
    self->err_ << "Error: " << message << '\n' << std::flush;
}

} // namespace wf::cli
