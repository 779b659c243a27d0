// Writing the prepared side files, each in one piece.
#pragma once

#include <string>

#include "base/run_state.h"

namespace wf::prep {

// Two side files that belong together (mesh and plot file, observation and
// model-control file), each written through a temporary file: both are
// replaced, or on a failed write neither. A file that cannot be written is
// reported in an "Error" box naming it; returns false then.
bool writeSideFiles(RunState& rs, const std::string& name1, const std::string& text1, const std::string& name2,
                    const std::string& text2);

} // namespace wf::prep
