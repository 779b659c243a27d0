// The eight records of a project with the defaults of a new project, handed
// to the exported entry call as the desktop program hands them.
#pragma once

#include <cstring>
#include <string>

#include "wfcore/wfcore.h"

namespace wf::test {

struct ProjectRecords {
    FILENAME fn{};
    MESH mesh = wf::defaults::mesh();
    OBSV obsv = wf::defaults::obsv();
    PUMP pump = wf::defaults::pump();
    GUESS guess = wf::defaults::guess();
    PINIT pinit = wf::defaults::pinit();
    UNITS units = wf::defaults::units();
    NZERO nzero = wf::defaults::nzero();

    // base: the project file name without ".wft" (any length, for refusal tests).
    explicit ProjectRecords(const std::string& base) {
        fn.baseLength = static_cast<int32_t>(base.size());
        std::strncpy(fn.projectName, (base + ".wft").c_str(), sizeof fn.projectName - 1);
    }
    void call(int mode, int type) { wftDLL(mode, type, &fn, &mesh, &obsv, &pump, &guess, &pinit, &units, &nzero); }
};

} // namespace wf::test
