// The mesh run: RMESH builds the radial mesh and writes base + ".fem" and
// base + ".plt". Distances (THICK, RMAX, ROBS) are in the project's distance
// unit and are written unchanged; the flow model converts them when it reads.
#include "prep/mesh_run.h"
#include "prep/mesh_files.h"
#include "prep/radial_mesh.h"

namespace wf {

bool RMESH(RunState& rs, int type, int nrmax, int nzmax) {
    using namespace prep;
    if (!checkMeshInput(rs)) return false;
    // The coordinate arrays must hold the columns and the 20 rows.
    if (nrmax < 4 || nzmax < 20 || rs.meshSet.R.size() < nrmax || rs.meshSet.Z.size() < nzmax) {
        rs.error(" Dimension to small for Mesh Size");
        return false;
    }

    MeshLayout m;
    if (!layoutRows(rs, type, m)) return false;
    if (!layoutColumns(rs, nrmax, m)) return false;
    placeObservations(rs, m);
    return writeMesh(rs, m);
}

} // namespace wf
