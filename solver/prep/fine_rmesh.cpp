// The fine mesh run (RMESH with the "Fine model" option).
#include <string>
#include <vector>

#include "prep/mesh_run.h"
#include "fine/fine_mesh.h"
#include "prep/mesh_files.h"
#include "prep/radial_mesh.h"

namespace wf {

bool FINE_RMESH(RunState& rs, int nrmax, int nzmax) {
    using namespace prep;
    using namespace fine;
    if (!checkMeshInput(rs, true)) return false;
    const Inputs& in = rs.in;
    FineMesh fm;
    std::string why;
    if (!layFineMesh(in, 0.0, fm, why)) {  // from the well axis
        rs.error(why);
        return false;
    }
    MeshLayout m;
    m.BF = in.RATIO * in.THICK;
    m.NZF = fm.nzf;
    m.NZ = static_cast<int>(fm.z.size());
    m.NZM = m.NZ - m.NZF;
    m.NR = static_cast<int>(fm.r.size());
    if (m.NR > nrmax || m.NZ > nzmax || rs.meshSet.R.size() < m.NR || rs.meshSet.Z.size() < m.NZ) {
        rs.error(" Dimension to small for Mesh Size");
        return false;
    }
    // The files hold the project's distance unit; the model run reads them
    // back into the same metres (to the eight digits of the mesh file).
    for (int i = 1; i <= m.NR; ++i) rs.meshSet.R(i) = fm.r[static_cast<std::size_t>(i - 1)] / fm.metres;
    int nzf = 0;
    const std::vector<double> z = fineRows(in.THICK, in.RATIO, nzf);  // the same rows in the project's unit
    for (int j = 1; j <= m.NZ; ++j) rs.meshSet.Z(j) = z[static_cast<std::size_t>(j - 1)];
    for (int k = 1; k <= in.NOBS; ++k) {
        m.IOBS[k] = fm.obsCol[static_cast<std::size_t>(k - 1)] + 1;
        m.ROW[k] = fm.obsRow[static_cast<std::size_t>(k - 1)];
        m.NODOBS[k] = m.ROW[k] * m.NR + m.IOBS[k];
    }

    return writeMesh(rs, m);
}

} // namespace wf
