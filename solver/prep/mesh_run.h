// The mesh run (mode 4): lays out the radial mesh and writes base + ".fem" and
// base + ".plt".
#pragma once

#include "base/run_state.h"

namespace wf {

// Mesh run; false when the mesh input was refused (nothing written, nothing to copy back).
bool RMESH(RunState& rs, int type, int nrmax, int nzmax);
// Mesh run of the "Fine model" (fine/fine_mesh.h); the type takes no part.
bool FINE_RMESH(RunState& rs, int nrmax, int nzmax);

} // namespace wf
