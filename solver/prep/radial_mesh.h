// Layout of the radial (r, z) mesh: node rows over the aquifer thickness,
// node columns on a doubling series of radii with the observation distances
// inserted, and the node that represents each observation point.
#pragma once

#include "base/run_state.h"

namespace wf::prep {

// Everything the mesh run derives besides the coordinates themselves, which
// live in rs.meshSet.R (1..NR) and rs.meshSet.Z (1..NZ).
struct MeshLayout {
    int NR = 0, NZ = 0, NZF = 0, NZM = 0;
    double BF = 0.0;      // fracture thickness RATIO * THICK, distance unit
    int IOBS[5] = {};     // 1..NOBS: node column of each observation point
    int ROW[5] = {};      // 1..NOBS: 0-based node row of each observation point
    int NODOBS[5] = {};   // 1..NOBS: observation node numbers
    bool cut = false;     // the radial series was stopped at the column limit
};

// Checks the mesh input of rs.in (NOBS, THICK, RATIO, RMAX, ROBS, IPOS);
// shows an "Error" box naming the first bad value and returns false.
// fromAxis: the fine mesh, whose columns start on the well axis, takes any
// observation distance above 0 (the standard mesh: above its first column).
// A well (a point at it, IPOS kAtWell) is taken by the fine mesh only; the
// well radius must lie below RMAX and every other distance beyond it.
bool checkMeshInput(RunState& rs, bool fromAxis = false);

// Checks the well of rs.options (radius, casing radius, skin) for the fine
// mesh (fine; the standard mesh does not use them): none at all, or a radius
// above 0 and below RMAX, a casing radius of 0 or more and a finite skin.
// Shows an "Error" box naming the field (false).
bool checkWellInput(RunState& rs, bool fine);

// Node rows: type 0 uniform over THICK with the lowest NZF rows in the
// fracture; any other type 9 fracture rows over BF and 11 matrix rows over
// the rest. Fills Z(1..20), NZ, NZF, NZM and BF. A layer left without any
// node row is refused with an "Error" box (false).
bool layoutRows(RunState& rs, int type, MeshLayout& m);

// Node columns 0, 0.0625, 0.125, ... doubling outward, with a column inserted
// at each observation distance and the outermost column moved onto RMAX, at
// most nrmax of them. Fills R(1..NR), NR and IOBS. Shows " Dimension to small
// for Mesh Size" once when the series is cut at nrmax columns; an observation
// point that then has no column of its own inside the cut mesh is refused
// with an "Error" box (false).
bool layoutColumns(RunState& rs, int nrmax, MeshLayout& m);

// Observation node of each point: the middle fracture row, or a third of the
// way into the matrix (its first row closer than 1.0 to the well).
void placeObservations(const RunState& rs, MeshLayout& m);

// The mesh counts (NR, NZ, NN, NE, NB, NMAT, NZF, NZM) and the observation
// nodes of a written mesh, into the run's inputs for the copy back into the
// MESH and OBSV records.
void storeMeshCounts(RunState& rs, const MeshLayout& m);

} // namespace wf::prep
