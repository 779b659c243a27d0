// Writing a prepared side file in one piece.
#pragma once

#include <string>

#include "entry/run_state.h"

namespace wf::prep {

// Creates or overwrites the side file with the given text. A file that cannot
// be written is reported in an "Error" box naming it; returns false then.
bool writeSideFile(RunState& rs, const std::string& name, const std::string& text);

} // namespace wf::prep
