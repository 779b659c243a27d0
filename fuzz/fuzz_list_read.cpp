// The list-directed and column reads of the solver's text records.
//
// Input: the first byte gives the number of read operations (1..16), the
// following bytes the operations, the rest is the text file. The operations
// are the reads the solver makes of its side files: whole records, skipped
// records, list-directed reads of integers, reals and texts, "(aN)" and
// "(4X, A1, I5)" column reads.
//
// Invariants: no crash and no sanitizer report; a read reports 0, a positive
// format code or end of file; after a failed item every later item of the
// same read fails with the same status; a column read returns exactly its
// width; the record number never goes back.
#include <cstddef>
#include <cstdint>
#include <sstream>
#include <string>

#include "fuzz_support.h"
#include "textio/list_directed.h"

namespace {

using wf::textio::ListRead;
using wf::textio::RecordReader;

void checkStatus(int status) {
    WF_FUZZ_CHECK(status >= 0 || status == wf::textio::kIosEndOfFile, std::to_string(status));
}

// One list-directed read of `count` items of the kinds picked by `kinds`.
void listRead(RecordReader& reader, unsigned count, unsigned kinds) {
    ListRead read = reader.begin();
    bool failed = false;
    int failedStatus = 0;
    for (unsigned i = 0; i < count; ++i) {
        bool ok = false;
        switch ((kinds >> (2 * (i % 4))) & 3u) {
        case 0: {
            int v = 0;
            ok = read.get(v);
            break;
        }
        case 1:
        case 2: {
            double v = 0.0;
            ok = read.get(v);
            break;
        }
        default: {
            std::string v;
            ok = read.get(v);
            break;
        }
        }
        checkStatus(read.status());
        if (failed) {
            WF_FUZZ_CHECK(!ok, "an item after a failed item succeeded");
            WF_FUZZ_CHECK(read.status() == failedStatus, "the status of a failed read changed");
        } else if (!ok && read.status() != 0) {
            failed = true;
            failedStatus = read.status();
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1) return 0;
    const unsigned opCount = 1u + data[0] % 16u;
    if (size < 1 + 2 * opCount) return 0;
    const uint8_t* ops = data + 1;
    const std::string text(reinterpret_cast<const char*>(data + 1 + 2 * opCount), size - 1 - 2 * opCount);

    std::istringstream in(text);
    RecordReader reader(in);
    int lastRecord = reader.recordNumber();
    for (unsigned k = 0; k < opCount; ++k) {
        const uint8_t op = ops[2 * k], arg = ops[2 * k + 1];
        int status = 0;
        switch (op % 7u) {
        case 0: {
            std::string line;
            status = reader.readLine(line);
            break;
        }
        case 1:
            status = reader.skip(arg % 4);
            break;
        case 2:
            listRead(reader, 1u + arg % 9u, arg);
            break;
        case 3: {
            int a = 0, b = 0;
            status = reader.read(a, b);
            break;
        }
        case 4: {
            double v = 0.0;
            status = reader.read(v);
            break;
        }
        case 5: {
            const int width = 1 + arg % 80;
            std::string out;
            status = reader.readA(out, width);
            if (status == 0) WF_FUZZ_CHECK(out.size() == static_cast<std::size_t>(width), out);
            break;
        }
        default: {
            char letter = 0;
            int n = 0;
            status = reader.readLetterInt(letter, n);
            break;
        }
        }
        checkStatus(status);
        WF_FUZZ_CHECK(reader.recordNumber() >= lastRecord, "the record number went back");
        lastRecord = reader.recordNumber();
    }
    return 0;
}
