// The subset of observation times used by an analysis.
#pragma once

#include <vector>

#include "base/arrays.h"

namespace wf::prep {

// Selected point indices for a subset of NSEL (>= 2) times out of npts points:
// index 1; for a step STEP = npts / (NSEL - 1) above 5 also STEP / 3 and
// 2 STEP / 3 (denser early times); then m STEP + 1 for m = 1..NSEL-1; the last
// point npts ends the list, replacing the last index when that is not below it.
// Fills IDX(1..) and returns the count NSELCNT. IDX must hold NSEL + 3 entries.
int selectTimes(int NSEL, int npts, Vec1<int>& IDX);

// The same selection for a further observation point of npts points (NSEL
// >= 2): every index 1..npts when the point has no more than NSEL points.
std::vector<int> selectOwnTimes(int NSEL, int npts);

} // namespace wf::prep
