#include "entry/entry_call.h"

#include <cstring>
#include <exception>
#include <new>
#include <string>

#include "entry/run_driver.h"
#include "wfcore/wfcore.h"

namespace wf {

bool usableBaseName(const FILENAME_VIEW& f) {
    if (f.baseLength < 1 || f.baseLength > 12) return false;
    for (int i = 0; i < f.baseLength; ++i) {
        const char c = f.baseName[i];
        if (c == '\0' || c == '/' || c == '\\') return false;
    }
    return true;
}

void entryCall(RunState& rs, int32_t mode, int32_t type, const FILENAME& filename, MESH& mesh, OBSV& obsv,
               PUMP& pump, GUESS& guess, PINIT& pinit, UNITS& units, NZERO& nzero) {
    const bool showsProgress = mode != WF_MODE_MESH && mode != WF_MODE_PREPARE;
    try {
        if (showsProgress) {
            rs.rep.addLine(0, "WELLFIT: Start Computation");
            rs.rep.showWindow();
        }
        FILENAME_VIEW view;
        std::memcpy(&view, &filename, sizeof view);
        if (!usableBaseName(view)) {
            rs.error("The project file name must have 1 to 12 characters before \".wft\"");
        } else {
            SET_FILE(rs, view);
            INITIALIZE(rs, mesh, obsv, pump, guess, pinit, units, nzero);
            WFRUN(rs, mode, type, mesh, obsv, pinit);
        }
        // The end line follows every run that showed the start line, refused or not.
        if (showsProgress) rs.rep.addLine(2, "WELLFIT: Computation Complete");
    } catch (const std::bad_alloc&) {
        rs.error(" Allocation Error, not enough memory");
    } catch (const std::exception& e) {
        rs.error(std::string("Internal error in the solver: ") + e.what());
    }
}

} // namespace wf
