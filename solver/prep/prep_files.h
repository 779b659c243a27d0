// Texts of the observation file (base + ".obs") and the model-control file
// (base + ".tim") written by the preparation run.
#pragma once

#include <string>
#include <vector>

#include "base/run_state.h"
#include "prep/test_data.h"

namespace wf::prep {

// The node rows through which the well pumps: KW1..KW2, NWELL of them.
struct PumpedRows {
    int KW1 = 0, KW2 = 0, NWELL = 0;
};

// IPUMP 0 fracture and matrix (all rows), 1 fracture rows, otherwise matrix rows.
PumpedRows pumpedRows(const Inputs& in);

// The selected times: NSEL 0 all points, else the NSELCNT indices in
// rs.prep.IDX for the first observation point and, for each further point,
// the indices selected the same way from its own number of data points
// (further[j - 2] for point j; all of them when it has no more than NSEL).
struct TimeSubset {
    int NSEL = 0;
    int NSELCNT = 0;
    std::vector<std::vector<int>> further;
};

// Title, pumping-rate line, counts, then per observation point the optional
// time-0 record and one record per used point. Levels (IWLO 1) become
// drawdowns from the first level: first - level for a falling series, level -
// first for a rising one. The levels must start at time 0 (checked before).
std::string observationFileText(const RunState& rs, const TestData& d, const TimeSubset& sel);

// Titles, element family, counts, time parameters, observation nodes, initial
// level, fixed-head nodes on the opposite boundary (IOPP 1) and the pumping
// profile of every pumped node, then the end mark.
std::string controlFileText(const RunState& rs, const TestData& d, const TimeSubset& sel, const PumpedRows& w);

// x to the integer power n by repeated squaring (of 1/x for negative n).
double powInt(double x, int n);

} // namespace wf::prep
