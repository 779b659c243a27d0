// Texts of the mesh file (base + ".fem", read by the flow model) and the
// plot file (base + ".plt").
#pragma once

#include <string>

#include "base/run_state.h"
#include "prep/radial_mesh.h"

namespace wf::prep {

// Title, counts, NN node records, NE element records, NB boundary edges and
// the end mark. Nodes row by row (radial index fastest), elements column by
// column (vertical index fastest), edges in the element's counter-clockwise sense.
std::string meshFileText(const RunState& rs, const MeshLayout& m);

// Title, observation nodes, drawing window, counts, observation points and
// the lines of every node row and node column.
std::string plotFileText(const RunState& rs, const MeshLayout& m);

// Writes both files of the mesh m and then stores its counts and observation
// nodes in the records. Both texts are complete before either file is
// touched, so a refused write leaves the files of the previous mesh run and
// the records as they were; false after the error box.
bool writeMesh(RunState& rs, const MeshLayout& m);

} // namespace wf::prep
