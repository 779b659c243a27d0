#include "prep/radial_mesh.h"

#include <cmath>
#include <limits>
#include <string>

#include "prep/value_text.h"

namespace wf::prep {

namespace {

constexpr double kFirstRadius = 0.0625;  // radius of the first column off the axis
constexpr double kMinRmax = 0.125;       // the series needs two radii off the axis
constexpr int kRows = 20;                // node rows over the thickness
// The row rounding constant is a single-precision 0.9 widened to double
// (0.89999997615814...), so that RATIO 0.2 gives INT(4.8999999...) = 4 rows.
constexpr double kRowRounding = static_cast<double>(0.9f);

} // namespace

bool checkWellInput(RunState& rs, bool fine) {
    const RunOptions& o = rs.options;
    // The standard model has no well of its own: the well's options, like
    // the dialog's disabled fields, do not act on it.
    if (!fine || (o.wellRadius == 0.0 && o.casingRadius == 0.0 && o.skin == 0.0)) return true;
    if (!(o.wellRadius > 0.0) || !std::isfinite(o.wellRadius)) {
        rs.error("Well radius " + valueText(o.wellRadius) + " must be greater than 0.0 (a casing radius and a skin need a well)");
        return false;
    }
    if (!(o.wellRadius < rs.in.RMAX)) {
        rs.error("Well radius " + valueText(o.wellRadius) + " must be smaller than the distance to the opposite boundary " +
                 valueText(rs.in.RMAX));
        return false;
    }
    if (!(o.casingRadius >= 0.0) || !std::isfinite(o.casingRadius)) {
        rs.error("Casing radius " + valueText(o.casingRadius) + " must be 0.0 or greater");
        return false;
    }
    if (!std::isfinite(o.skin)) {
        rs.error("Skin factor " + valueText(o.skin) + " must be a number");
        return false;
    }
    return true;
}

bool checkMeshInput(RunState& rs, bool fromAxis) {
    const Inputs& in = rs.in;
    if (in.NOBS < 1 || in.NOBS > 4) {
        rs.error("Number of observation points " + valueText(in.NOBS) + " must be between 1 and 4");
        return false;
    }
    if (!(in.THICK > 0.0) || !std::isfinite(in.THICK)) {
        rs.error("Aquifer thickness " + valueText(in.THICK) + " must be greater than 0.0");
        return false;
    }
    if (!(in.RATIO > 0.0 && in.RATIO < 1.0)) {
        rs.error("Fracture ratio " + valueText(in.RATIO) + " must be greater than 0.0 and smaller than 1.0");
        return false;
    }
    if (!(in.RMAX > kMinRmax) || !std::isfinite(in.RMAX)) {
        rs.error("Distance to the opposite boundary " + valueText(in.RMAX) + " must be greater than " +
                 valueText(kMinRmax));
        return false;
    }
    if (!checkWellInput(rs, fromAxis)) return false;
    const bool well = fromAxis && rs.options.hasWell();
    const double rw = rs.options.wellRadius;
    for (int k = 1; k <= in.NOBS; ++k) {
        const double r = in.ROBS[k];
        if (in.IPOS[k] == kAtWell) {
            // Only the well's own drawdown: the first point, at the well face.
            if (!well) {
                rs.error("Observation position " + valueText(in.IPOS[k]) +
                         " (the pumped well) needs the Fine model and a well radius");
                return false;
            }
            if (k != 1 || !(std::abs(r - rw) <= 1e-6 * rw)) {
                rs.error("Observation distance " + valueText(r) + " of the point at the pumped well must be the well radius " +
                         valueText(rw) + " and the point the first one");
                return false;
            }
            continue;
        }
        if (well && !(r > rw)) {
            rs.error("Observation distance " + valueText(r) + " must be greater than the well radius " + valueText(rw));
            return false;
        }
        const double first = fromAxis ? 0.0 : kFirstRadius;
        if (!(r > first)) {
            rs.error("Observation distance " + valueText(r) + " must be greater than " + valueText(first));
            return false;
        }
        if (!(r < in.RMAX)) {
            rs.error("Observation distance " + valueText(r) +
                     " must be smaller than the distance to the opposite boundary " + valueText(in.RMAX));
            return false;
        }
        // Equal distances would give two columns at one radius (elements of zero width).
        if (k > 1 && !(r > in.ROBS[k - 1])) {
            rs.error("Observation distance " + valueText(r) + " must be greater than the observation distance " +
                     valueText(in.ROBS[k - 1]) + " before it");
            return false;
        }
        if (in.IPOS[k] != 1 && in.IPOS[k] != 2) {
            rs.error("Observation position " + valueText(in.IPOS[k]) + " must be 1 (fracture) or 2 (matrix)" +
                     (well ? std::string(" or 3 (the pumped well)") : std::string()));
            return false;
        }
    }
    return true;
}

bool layoutRows(RunState& rs, int type, MeshLayout& m) {
    const Inputs& in = rs.in;
    Vec1<double>& Z = rs.meshSet.Z;
    m.BF = in.RATIO * in.THICK;
    const double BM = in.THICK - m.BF;
    m.NZ = kRows;
    if (type == 0) {
        m.NZF = static_cast<int>(in.RATIO * 20.0 + kRowRounding);
        m.NZM = kRows - m.NZF;
        for (int j = 1; j <= kRows; ++j) Z(j) = static_cast<double>(j - 1) * in.THICK / 19.0;
    } else {
        m.NZF = 9;
        m.NZM = 11;
        Z(1) = 0.0;
        for (int j = 2; j <= 9; ++j) Z(j) = Z(j - 1) + m.BF / 8.0;
        for (int j = 10; j <= kRows; ++j) Z(j) = Z(j - 1) + BM / 11.0;
    }
    // A layer without a node row has no material to model (and no row for an
    // observation point or a pumped interval in it).
    if (m.NZF < 1 || m.NZM < 1) {
        rs.error("Fracture ratio " + valueText(in.RATIO) + " leaves no node row for the " +
                 (m.NZF < 1 ? "fracture" : "matrix") + " layer");
        return false;
    }
    return true;
}

bool layoutColumns(RunState& rs, int nrmax, MeshLayout& m) {
    const Inputs& in = rs.in;
    Vec1<double>& R = rs.meshSet.R;
    // "No further observation distance": never reached by any radius, so a
    // large RMAX cannot produce a column for a point that does not exist.
    constexpr double kNone = std::numeric_limits<double>::infinity();

    double RW = kFirstRadius;
    R(1) = 0.0;
    R(2) = RW;
    int i = 3;
    int KOBS = 0;
    double RNEXT = in.ROBS[1];
    while (true) {
        if (R(i - 1) >= in.RMAX) break;
        RW = 2.0 * RW;
        R(i) = RW;
        bool full = false;
        while (R(i) >= RNEXT) {
            m.IOBS[KOBS + 1] = i;
            if (R(i) > RNEXT) {
                // The observation distance becomes a column of its own; the
                // doubled radius moves one place out.
                if (i + 1 > nrmax) {
                    full = true;
                    break;
                }
                R(i + 1) = R(i);
                R(i) = RNEXT;
                ++i;
            }
            ++KOBS;
            RNEXT = (KOBS == in.NOBS) ? kNone : in.ROBS[KOBS + 1];
        }
        ++i;
        if (full || i > nrmax) {
            m.cut = true;
            i = nrmax + 1;
            break;
        }
    }
    if (m.cut) rs.error(" Dimension to small for Mesh Size");
    // The outermost column is moved onto the opposite boundary.
    R(i - 1) = in.RMAX;
    m.NR = i - 1;

    // In a cut series the outermost column lies on RMAX, so a point that did
    // not get a column inside it would be simulated at the wrong distance.
    for (int k = 1; k <= in.NOBS; ++k) {
        if (k > KOBS || m.IOBS[k] >= m.NR) {
            rs.error("Observation distance " + valueText(in.ROBS[k]) + " does not fit within the " +
                     valueText(nrmax) + " node columns of the mesh");
            return false;
        }
    }
    return true;
}

void placeObservations(const RunState& rs, MeshLayout& m) {
    const Inputs& in = rs.in;
    for (int k = 1; k <= in.NOBS; ++k) {
        int row;
        if (in.IPOS[k] == 1)
            row = (m.NZF - 1) / 2;  // middle of the fracture layer
        else if (in.ROBS[k] < 1.0)
            row = m.NZF;  // first matrix row near the well
        else
            row = m.NZF + (m.NZM - 1) / 3;  // a third of the way into the matrix
        m.ROW[k] = row;
        m.NODOBS[k] = row * m.NR + m.IOBS[k];
    }
}

void storeMeshCounts(RunState& rs, const MeshLayout& m) {
    Inputs& in = rs.in;
    in.NR = m.NR;
    in.NZ = m.NZ;
    in.NN = m.NR * m.NZ;
    in.NE = (m.NR - 1) * (m.NZ - 1);
    in.NB = 2 * (m.NR - 1) + 2 * (m.NZ - 1);
    in.NMAT = 2;
    in.NZF = m.NZF;
    in.NZM = m.NZM;
    for (int k = 1; k <= in.NOBS; ++k) in.NODOBS[k] = m.NODOBS[k];
}

} // namespace wf::prep
