// The exported entry of wfcore and the one run state behind it.
#include <cstring>
#include <string>

#include "entry/entry_call.h"
#include "wfcore/wfcore.h"

namespace {

wf::RunState& moduleState() {
    static wf::RunState state;
    return state;
}

} // namespace

extern "C" WF_API void WF_CALL wftDLL(int32_t mode, int32_t type, FILENAME* filename, MESH* mesh, OBSV* obsv,
                                      PUMP* pump, GUESS* guess, PINIT* pinit, UNITS* units, NZERO* nzero) {
    wf::entryCall(moduleState(), mode, type, *filename, *mesh, *obsv, *pump, *guess, *pinit, *units, *nzero);
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
