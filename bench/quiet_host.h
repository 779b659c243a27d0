// A solver host for the benchmarks: counts the passes of the search from its
// progress lines and keeps the message boxes, without showing anything.
#pragma once

#include <string>

#include "wfcore/wfcore.h"

namespace wf::bench {

struct Counts {
    int boxes = 0;
    std::string lastBox;
    int passes = 0;
};

inline WfHost quietHost(Counts* c) {
    WfHost h{};
    h.context = c;
    h.progress = [](void* ctx, int32_t code, const char* text, const char* const*, int32_t) {
        if (code == 0 && std::string(text).rfind("Iteration ", 0) == 0) ++static_cast<Counts*>(ctx)->passes;
    };
    h.messageBox = [](void* ctx, const char*, const char* text) {
        auto* k = static_cast<Counts*>(ctx);
        ++k->boxes;
        k->lastBox = text;
    };
    return h;
}

} // namespace wf::bench
