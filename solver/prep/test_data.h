// The measured pumping-test data of a project: base + ".dat".
//
// Line 1 and 2 titles (read by the run driver), line 3 the point counts
// NPJ(1..NOBS), then per observation point a name line and NPJ(j) lines of
// time (input-time unit) and value (drawdown, positive downward, when IWLO is
// 0; water level in metres above sea level when IWLO is 1).
#pragma once

#include "base/run_state.h"

namespace wf::prep {

struct TestData {
    int NPJ[5] = {};     // 1..NOBS: data points of each observation point
    int FLAG[5] = {};    // 1..NOBS: 1 when the first time is not zero
    double TMAX = 0.0;   // largest last time over the observation points

    // Points of the observation points before point j (its offset in T and H).
    int offset(int j) const {
        int off = 0;
        for (int k = 1; k < j; ++k) off += NPJ[k];
        return off;
    }
};

enum class ReadOutcome {
    ok,        // everything read into rs.prep.T and rs.prep.H
    ioError,   // a read failed: rs.IOS and rs.INNAME hold the status and the file name
    refused,   // counts that cannot be used: an "Error" box has been shown
};

// Reads base + ".dat" into d and rs.prep (T and H, observation after observation).
ReadOutcome readTestData(RunState& rs, TestData& d);

} // namespace wf::prep
