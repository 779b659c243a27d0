#include "entry/input_checks.h"

#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "prep/value_text.h"

namespace wf {

namespace {

struct RealField {
    std::string name;
    double value;
};


std::string indexed(const char* name, int k) { return std::string(name) + "(" + std::to_string(k) + ")"; }

// The reals each run reads, named as the records name them.
std::vector<RealField> realsOf(const Inputs& in, int mode) {
    std::vector<RealField> f;
    const int nobs = in.NOBS >= 1 && in.NOBS <= 4 ? in.NOBS : 1;
    const int nq = in.NQ >= 1 && in.NQ <= 20 ? in.NQ : 1;
    if (mode == 4) {
        f.push_back({"RMAX", in.RMAX});
        f.push_back({"THICK", in.THICK});
        f.push_back({"RATIO", in.RATIO});
        for (int k = 1; k <= nobs; ++k) f.push_back({indexed("ROBS", k), in.ROBS[k]});
    }
    if (mode == 5 || mode == 6) {
        f.push_back({"THICK", in.THICK});
        for (int k = 1; k <= nq; ++k) f.push_back({indexed("Q", k), in.Q[k]});
        for (int k = 1; k <= nq; ++k) f.push_back({indexed("TQ", k), in.TQ[k]});
    }
    if (mode == 6) {
        f.push_back({"RATIO", in.RATIO});
        f.push_back({"NSTEP", in.NSTEP});
        f.push_back({"TSIM", in.TSIM});
        f.push_back({"SCALT", in.SCALT});
        f.push_back({"SCALS", in.SCALS});
        for (int k = 1; k <= 4; ++k) f.push_back({indexed("P0", k), in.P0[k]});
        for (int k = 1; k <= 4; ++k) f.push_back({indexed("PLO", k), in.PLO[k]});
        for (int k = 1; k <= 4; ++k) f.push_back({indexed("PHI", k), in.PHI[k]});
        f.push_back({"PEPS", in.PEPS});
        f.push_back({"RMSE", in.RMSE});
        f.push_back({"TF", in.TF});
        f.push_back({"TM", in.TM});
        f.push_back({"SF", in.SF});
        f.push_back({"SM", in.SM});
    }
    return f;
}

} // namespace

bool checkRecordReals(RunState& rs, int mode) {
    for (const RealField& f : realsOf(rs.in, mode))
        if (!std::isfinite(f.value)) {
            rs.error("The value of " + f.name + " is not a finite number (" + prep::valueText(f.value) +
                     "); nothing has been computed");
            return false;
        }
    return true;
}

bool checkTimeSteps(RunState& rs) {
    const double n = rs.in.NSTEP;
    if (n >= 0.0 && n <= kMaxTimeSteps) return true;
    rs.error("Number of time steps NSTEP = " + prep::valueText(n) + " must lie between 0 and 1000000");
    return false;
}

bool checkMeshSize(RunState& rs) {
    const Inputs& in = rs.in;
    if (in.NR <= kMaxMeshColumns && in.NZ <= kMaxMeshRows) return true;
    rs.error("The mesh of " + std::to_string(in.NR) + " x " + std::to_string(in.NZ) +
             " nodes in the records is larger than any mesh run lays out (" + std::to_string(kMaxMeshColumns) + " x " +
             std::to_string(kMaxMeshRows) + "): do the mesh construction again");
    return false;
}

} // namespace wf
