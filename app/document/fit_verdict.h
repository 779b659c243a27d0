// The verdict of the solver's last fit report, whole (the report record holds
// only its length). Header-only: the programs that call it link the solver.
#pragma once

#include <string>

#include "wfcore/wfcore.h"

namespace wf::doc {

inline std::string lastFitVerdict() {
    const int32_t length = wfFitVerdict(nullptr, 0);
    if (length <= 0) return {};
    std::string text(static_cast<std::size_t>(length) + 1, '\0');
    wfFitVerdict(text.data(), length + 1);
    text.resize(static_cast<std::size_t>(length));
    return text;
}

} // namespace wf::doc
