// What the assembly keeps from one step to the next within a model run.
#pragma once

namespace wf {

struct AssemblyCache {
    bool valid = false;  // cleared at the start of every model run
};

} // namespace wf
