// Writing a prepared side file in one piece.
#pragma once

#include <string>

#include "entry/run_state.h"

namespace wf::prep {

// Creates or replaces the side file with the given text (through a temporary
// file, so a failed write leaves the previous file). A file that cannot
// be written is reported in an "Error" box naming it; returns false then.
bool writeSideFile(RunState& rs, const std::string& name, const std::string& text);

} // namespace wf::prep
