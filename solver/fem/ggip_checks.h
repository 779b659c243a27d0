// Range checks of the model input: every node, element and material number
// read from a file must address the work arrays, or the input is refused with
// a message that names the file and the record kind.
#pragma once

#include <string_view>

namespace wf {

struct RunState;

// True when 1 <= node <= NN; otherwise refuses the input.
bool checkNode(RunState& rs, int node, std::string_view what, std::string_view file);
// True when 1 <= element <= element count; otherwise refuses the input.
bool checkElement(RunState& rs, int element, std::string_view what, std::string_view file);

} // namespace wf
