// The mesh of the "Fine model": node columns on a geometric series of ratio
// at most kFineRadialRatio through every observation distance and onto RMAX,
// node rows with the fracture/matrix interface exactly at RATIO * THICK and
// refined geometrically toward it from both sides. Written in the layouts of
// the standard mesh (row-by-row node numbering, column-by-column elements),
// so that every later run reads it unchanged.
#pragma once

#include <vector>

#include "entry/run_state.h"

namespace wf::fine {

// Limits of the fine mesh run's coordinate arrays (the standard run has 25 and 30).
inline constexpr int kFineNrMax = 400;
inline constexpr int kFineNzMax = 200;

// Largest ratio of neighbouring radii. Linear elements between r and q r
// conduct (1 + q) ln q / (2 (q - 1)) times the exact radial conductance:
// 1.0016 for q = 1.15 (1.0397 for the standard doubling).
inline constexpr double kFineRadialRatio = 1.15;
// First row spacing on either side of the interface, as a fraction of THICK,
// and the growth of the spacing away from it.
inline constexpr double kFineInterfaceStep = 2.0e-4;
inline constexpr double kFineRowGrowth = 1.5;

// Node rows of the fine mesh for THICK and RATIO (distance unit), bottom up:
// z[0] = 0, z[NZF-1] = RATIO * THICK (the interface, last fracture row),
// z.back() = THICK. nzf receives the number of fracture rows.
std::vector<double> fineRows(double thick, double ratio, int& nzf);

// Node columns from the axis: 0, 0.0625, then geometric segments of ratio at
// most kFineRadialRatio ending exactly on each of the ascending distances
// anchors (observation distances, then RMAX).
std::vector<double> fineColumns(const std::vector<double>& anchors);

// The share of the pumped screen of rows kw1..kw2 (1-based) that each row's
// well node takes: half of each neighbouring row interval inside the screen,
// over the screen length; shares[k] for row k, summing to 1. Empty when the
// fine rows of THICK and RATIO do not have in.NZ rows (a mesh not made by
// the fine mesh run), in which case the standard equal shares apply.
std::vector<double> fineRateShares(const Inputs& in, int kw1, int kw2);

// Index of the height in z nearest to target (0-based).
int nearestRow(const std::vector<double>& z, double target);

} // namespace wf::fine
