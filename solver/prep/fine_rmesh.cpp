// The fine mesh run (RMESH with the "Fine model" option).
#include <string>
#include <vector>

#include "prep/mesh_run.h"
#include "fine/fine_mesh.h"
#include "prep/mesh_files.h"
#include "prep/radial_mesh.h"
#include "prep/value_text.h"
#include "base/unit_tables.h"

namespace wf {

bool FINE_RMESH(RunState& rs, int nrmax, int nzmax) {
    using namespace prep;
    using namespace fine;
    if (!checkMeshInput(rs, true)) return false;
    const Inputs& in = rs.in;
    FineMesh fm;
    std::string why;
    // From the well face, or from the axis for a line of sources.
    const double metres = units::length(in.IDIST);
    if (!layFineMesh(in, rs.options.wellRadius * metres, fm, why)) {
        rs.error(why);
        return false;
    }
    // The skin is an extra resistance of the first element: a negative one
    // may take away at most half of the element's own.
    if (rs.options.hasWell() && fm.r.size() >= 2) {
        const double least = -0.5 * elementResistance(fm.r[0], fm.r[1]);
        if (!(rs.options.skin > least)) {
            rs.error("Skin factor " + valueText(rs.options.skin) + " must be greater than " + valueText(least) +
                     " (the first element at the well of the fine mesh takes no more negative skin)");
            return false;
        }
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
