// The test-data (.DAT) reader of the project document.
//
// Invariants: no crash and no sanitizer report; a refused file leaves the
// document exactly as it was and names the file; read data write a file that
// reads back into the same number of points and writes the same bytes again;
// a read never changes the file it reads.
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>

#include "document_state.h"
#include "fuzz_support.h"

using wf::doc::ProjectDocument;
using wf::fuzz::documentState;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const auto& scratch = wf::fuzz::scratchFolder();
    const auto in = scratch / "in", out = scratch / "out";
    std::filesystem::create_directories(in);
    std::filesystem::create_directories(out);
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    wf::fuzz::writeBytes(in / "FUZZ.DAT", bytes);

    ProjectDocument doc;
    doc.setDerivedNames("FUZZ.wft");
    const std::string before = documentState(doc);
    const wf::doc::Status read = doc.readTestData(in);
    WF_FUZZ_CHECK(wf::fuzz::readBytes(in / "FUZZ.DAT") == bytes, "reading changed the test-data file");
    if (!read) {
        WF_FUZZ_CHECK(documentState(doc) == before, read.error);
        WF_FUZZ_CHECK(read.error.find("FUZZ.DAT") != std::string::npos, read.error);
        return 0;
    }

    const wf::doc::Status written = doc.writeTestData(out);
    WF_FUZZ_CHECK(written.ok(), written.error);
    const std::string first = wf::fuzz::readBytes(out / "FUZZ.DAT");
    ProjectDocument again;
    again.setDerivedNames("FUZZ.wft");
    const wf::doc::Status reread = again.readTestData(out);
    WF_FUZZ_CHECK(reread.ok(), reread.error);
    WF_FUZZ_CHECK(again.pointCount() == doc.pointCount(), "a written test-data file reads back another point count");
    const wf::doc::Status rewritten = again.writeTestData(out);
    WF_FUZZ_CHECK(rewritten.ok(), rewritten.error);
    WF_FUZZ_CHECK(wf::fuzz::readBytes(out / "FUZZ.DAT") == first, "rewriting read test data changed the file");
    return 0;
}
