// The fine mesh run (RMESH with the "Fine model" option).
#include <algorithm>
#include <vector>

#include "entry/run_driver.h"
#include "fine/fine_mesh.h"
#include "prep/mesh_files.h"
#include "prep/radial_mesh.h"

namespace wf {

bool FINE_RMESH(RunState& rs, int nrmax, int nzmax) {
    using namespace prep;
    using namespace fine;
    if (!checkMeshInput(rs)) return false;
    const Inputs& in = rs.in;
    MeshLayout m;
    m.BF = in.RATIO * in.THICK;

    const std::vector<double> z = fineRows(in.THICK, in.RATIO, m.NZF);
    std::vector<double> anchors;
    for (int k = 1; k <= in.NOBS; ++k) anchors.push_back(in.ROBS[k]);
    anchors.push_back(in.RMAX);
    const std::vector<double> r = fineColumns(anchors);
    m.NZ = static_cast<int>(z.size());
    m.NZM = m.NZ - m.NZF;
    m.NR = static_cast<int>(r.size());
    if (m.NR > nrmax || m.NZ > nzmax || rs.meshSet.R.size() < m.NR || rs.meshSet.Z.size() < m.NZ) {
        rs.error(" Dimension to small for Mesh Size");
        return false;
    }
    for (int i = 1; i <= m.NR; ++i) rs.meshSet.R(i) = r[static_cast<std::size_t>(i - 1)];
    for (int j = 1; j <= m.NZ; ++j) rs.meshSet.Z(j) = z[static_cast<std::size_t>(j - 1)];

    // Observation points: their own column; the row nearest the middle of the
    // fracture, or a third of the way into the matrix (its first row closer
    // than 1.0 to the well), as in the standard mesh.
    const double bm = in.THICK - m.BF;
    for (int k = 1; k <= in.NOBS; ++k) {
        m.IOBS[k] = static_cast<int>(std::find(r.begin(), r.end(), in.ROBS[k]) - r.begin()) + 1;
        if (in.IPOS[k] == 1)
            m.ROW[k] = nearestRow(std::vector<double>(z.begin(), z.begin() + m.NZF), 0.5 * m.BF);
        else if (in.ROBS[k] < 1.0)
            m.ROW[k] = m.NZF;
        else
            m.ROW[k] = m.NZF + nearestRow(std::vector<double>(z.begin() + m.NZF, z.end()), m.BF + bm / 3.0);
        m.NODOBS[k] = m.ROW[k] * m.NR + m.IOBS[k];
    }

    return writeMesh(rs, m);
}

} // namespace wf
