// The project-file (.wft) loader, with load/save identity.
//
// Invariants: no crash and no sanitizer report; a refused file leaves the
// document exactly as it was; a loaded project saves, and the saved file loads
// into the same records and saves to the same bytes again (load/save identity).
#include <cstddef>
#include <cstdint>
#include <string>

#include "document_state.h"
#include "fuzz_support.h"

using wf::doc::ProjectDocument;
using wf::fuzz::documentState;
using wf::fuzz::projectFileState;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const auto& folder = wf::fuzz::scratchFolder();
    const auto input = folder / "INPUT.wft";
    const auto first = folder / "FIRST.wft";
    const auto second = folder / "SECOND.wft";
    wf::fuzz::writeBytes(input, std::string(reinterpret_cast<const char*>(data), size));

    ProjectDocument doc;
    doc.setDerivedNames("INPUT.wft");
    const std::string before = documentState(doc);
    const wf::doc::Status loaded = doc.loadProject(input);
    if (!loaded) {
        WF_FUZZ_CHECK(documentState(doc) == before, loaded.error);
        WF_FUZZ_CHECK(!loaded.error.empty(), "a refused project file without a message");
        return 0;
    }

    const wf::doc::Status saved = doc.saveProject(first);
    WF_FUZZ_CHECK(saved.ok(), saved.error);
    ProjectDocument again;
    again.setDerivedNames("INPUT.wft");
    const wf::doc::Status reloaded = again.loadProject(first);
    WF_FUZZ_CHECK(reloaded.ok(), reloaded.error);
    WF_FUZZ_CHECK(projectFileState(again) == projectFileState(doc), "a saved project loads into other records");
    const wf::doc::Status savedAgain = again.saveProject(second);
    WF_FUZZ_CHECK(savedAgain.ok(), savedAgain.error);
    WF_FUZZ_CHECK(wf::fuzz::readBytes(first) == wf::fuzz::readBytes(second), "saving a loaded project changed its bytes");
    return 0;
}
