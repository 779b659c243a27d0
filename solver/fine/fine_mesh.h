// The mesh of the "Fine model", laid out in metres whatever the project's
// distance unit, so that one problem gives the same mesh, and the same
// drawdowns, in mm, cm, m and km. Node columns from the well: the first off
// the axis a fixed fraction of the smallest observation distance (so that
// every distance has the same number of columns inside it, at any scale),
// then geometric segments of ratio at most kFineRadialRatio through every
// observation distance and onto RMAX. Node rows with the fracture/matrix
// interface exactly at RATIO * THICK, refined geometrically toward it from
// both sides. Written by the fine mesh run in the layouts of the standard
// mesh, so that every later run reads it unchanged.
#pragma once

#include <string>
#include <vector>

#include "base/run_state.h"

namespace wf::fine {

// Limits of the fine mesh run's coordinate arrays (the standard run has 25 and 30).
inline constexpr int kFineNrMax = 400;
inline constexpr int kFineNzMax = 200;

// Largest ratio of neighbouring radii. Linear elements between r and q r
// conduct (1 + q) ln q / (2 (q - 1)) times the exact radial conductance:
// 1.0016 for q = 1.15 (1.0397 for the standard doubling).
inline constexpr double kFineRadialRatio = 1.15;
// First column off the well axis as a fraction of the smallest observation
// distance: 1/64 puts 30 columns of ratio 1.15 inside it.
inline constexpr double kFineInnerFraction = 1.0 / 64.0;
// First row spacing on either side of the interface, as a fraction of THICK,
// and the growth of the spacing away from it.
inline constexpr double kFineInterfaceStep = 2.0e-4;
inline constexpr double kFineRowGrowth = 1.5;
// An observation point in the matrix closer than this to the well (m) is
// placed on the matrix's first row.
inline constexpr double kFineNearWell = 1.0;

// Node rows of the fine mesh for THICK and RATIO (any one length unit),
// bottom up: z[0] = 0, z[NZF-1] = RATIO * THICK (the interface, last
// fracture row), z.back() = THICK. nzf receives the number of fracture rows.
std::vector<double> fineRows(double thick, double ratio, int& nzf);

// Node columns (m) from the first radius r0 (0: the well axis): on the axis
// the next column lies at kFineInnerFraction of the smallest anchor; from
// there, or from a well radius r0 > 0, geometric segments of ratio at most
// kFineRadialRatio end exactly on each of the anchors (observation
// distances and RMAX, in metres, any order) beyond r0.
std::vector<double> fineColumns(double r0, std::vector<double> anchors);

// The fine mesh of the records: columns and rows in metres, the observation
// points' columns and rows (0-based).
struct FineMesh {
    std::vector<double> r, z;
    int nzf = 0;
    double metres = 1.0;          // metres per project distance unit
    std::vector<int> obsCol, obsRow;  // per observation point 1..NOBS at [k - 1]
};

// Lays out the fine mesh of in (THICK, RATIO, RMAX, ROBS, IPOS in the
// distance unit IDIST) from the first radius r0 (m: the well radius, or 0).
// A point at the pumped well (IPOS kAtWell) takes the first column, in the
// row nearest the middle of the screen of IPUMP. False with why set when
// the distance unit is not one of the table.
bool layFineMesh(const Inputs& in, double r0, FineMesh& mesh, std::string& why);

// The share of the pumped screen of rows kw1..kw2 (1-based) that each row's
// well node takes: half of each neighbouring row interval inside the screen,
// over the screen length; shares[k] for row k, summing to 1. Empty when the
// fine rows of THICK and RATIO do not have in.NZ rows (a mesh not made by
// the fine mesh run).
std::vector<double> fineRateShares(const Inputs& in, int kw1, int kw2);

// Radial resistance of a linear element from r1 to r2 per radian, unit
// conductivity and unit height: the reciprocal of its stiffness
// (r1 + r2) / (2 (r2 - r1)), close to the exact ln(r2 / r1). The skin of a
// well adds its factor Sk to that of the first element.
inline double elementResistance(double r1, double r2) { return 2.0 * (r2 - r1) / (r1 + r2); }

// Index of the height in z nearest to target (0-based).
int nearestRow(const std::vector<double>& z, double target);

} // namespace wf::fine
