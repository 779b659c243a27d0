// The exported entry of wfcore and the one run state behind it.
#include <cstring>
#include <exception>
#include <new>
#include <string>

#include "entry/run_driver.h"
#include "wfcore/wfcore.h"

namespace {

wf::RunState& moduleState() {
    static wf::RunState state;
    return state;
}

// A base name the solver can form side-file names from: 1 to 12 characters,
// none of them a folder separator or NUL.
bool usableBaseName(const FILENAME_VIEW& f) {
    if (f.baseLength < 1 || f.baseLength > 12) return false;
    for (int i = 0; i < f.baseLength; ++i) {
        const char c = f.baseName[i];
        if (c == '\0' || c == '/' || c == '\\') return false;
    }
    return true;
}

} // namespace

extern "C" WF_API void WF_CALL wftDLL(int32_t mode, int32_t type, FILENAME* filename, MESH* mesh, OBSV* obsv,
                                      PUMP* pump, GUESS* guess, PINIT* pinit, UNITS* units, NZERO* nzero) {
    wf::RunState& rs = moduleState();
    const bool showsProgress = mode != WF_MODE_MESH && mode != WF_MODE_PREPARE;
    try {
        if (showsProgress) {
            rs.rep.addLine(0, "WELLFIT: Start Computation");
            rs.rep.showWindow();
        }
        FILENAME_VIEW view;
        std::memcpy(&view, filename, sizeof view);
        if (!usableBaseName(view)) {
            rs.error("The project file name must have 1 to 12 characters before \".wft\"");
        } else {
            wf::SET_FILE(rs, view);
            wf::INITIALIZE(rs, *mesh, *obsv, *pump, *guess, *pinit, *units, *nzero);
            wf::WFRUN(rs, mode, type, *mesh, *obsv, *pinit);
        }
        // The end line follows every run that showed the start line, refused or not.
        if (showsProgress) rs.rep.addLine(2, "WELLFIT: Computation Complete");
    } catch (const std::bad_alloc&) {
        rs.error(" Allocation Error, not enough memory");
    } catch (const std::exception& e) {
        rs.error(std::string("Internal error in the solver: ") + e.what());
    }
}

extern "C" WF_API void WF_CALL wfSetHost(const WfHost* host) { moduleState().rep.setHost(host); }

extern "C" WF_API void WF_CALL wfSetOptions(const WfOptions* options) {
    wf::RunState& rs = moduleState();
    if (!wf::usableOptionsRecord(options)) {
        rs.error("The analysis options record has size " + std::to_string(options->size) + " and version " +
                 std::to_string(options->version) +
                 ": set them with wfInitOptions (or to WF_OPTIONS_SIZE and WF_OPTIONS_VERSION)");
        return;
    }
    wf::installOptions(rs.inv, options);
    wf::installRunOptions(rs.options, options);
}

extern "C" WF_API int32_t WF_CALL wfFitVerdict(char* buffer, int32_t capacity) {
    const std::string& verdict = moduleState().inv.verdict;
    if (buffer != nullptr && capacity > 0) {
        std::size_t n = verdict.size() < static_cast<std::size_t>(capacity - 1) ? verdict.size()
                                                                               : static_cast<std::size_t>(capacity - 1);
        // Back to the start of a UTF-8 character: continuation bytes are 10xxxxxx.
        while (n > 0 && n < verdict.size() && (static_cast<unsigned char>(verdict[n]) & 0xC0u) == 0x80u) --n;
        std::memcpy(buffer, verdict.data(), n);
        buffer[n] = '\0';
    }
    return static_cast<int32_t>(verdict.size());
}
