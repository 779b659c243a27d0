// The test-data (.DAT) reader of the project document.
//
// Invariants: no crash and no sanitizer report; a refused file leaves the
// document exactly as it was and names the file; read data either write a
// file that reads back into the same number of points and writes the same
// bytes again, or (a word that is not a number) are refused naming the point
// with nothing written; a read never changes the file it reads.
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

    // The reader keeps words that are not numbers as text (the editor shows
    // them for correcting); writing refuses them, naming the point, and
    // leaves no file.
    std::filesystem::remove(out / "FUZZ.DAT");
    const wf::doc::Status written = doc.writeTestData(out);
    if (!written) {
        WF_FUZZ_CHECK(written.error.find("Point ") != std::string::npos, written.error);
        WF_FUZZ_CHECK(!std::filesystem::exists(out / "FUZZ.DAT"), "a refused write left a test-data file");
        return 0;
    }
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
