#include "fem/ggip_checks.h"

#include "base/run_state.h"
#include "fem/model_io.h"

namespace wf {

bool checkNode(RunState& rs, int node, std::string_view what, std::string_view file) {
    if (node >= 1 && node <= rs.fem.NN) return true;
    rejectInput(rs, "(2X,'Node',I8,' in the ',A,' of ',A,' is not a node of the mesh (1 to',I6,')')",
                {node, what, file, rs.fem.NN});
    return false;
}

bool checkElement(RunState& rs, int element, std::string_view what, std::string_view file) {
    if (element >= 1 && element <= rs.fem.NEL) return true;
    rejectInput(rs, "(2X,'Element',I8,' in the ',A,' of ',A,' is not an element of the mesh (1 to',I6,')')",
                {element, what, file, rs.fem.NEL});
    return false;
}

} // namespace wf
