// Clipboard paste into the drawdown data editor, and its OK.
//
// The editor's Paste splits the clipboard text into lines at CR/LF runs
// (empty lines dropped) and each line into cells at tabs (empty cells
// dropped), the first two cells being time and value; that split lives in
// the dialog itself, so it is repeated here with the same Qt calls. The
// harness then fuzzes what the pasted cells go through: the editor's number
// parser (parseReal) and the document's OK (acceptTestData) with the
// test-data file it writes.
//
// Invariants: no crash and no sanitizer report; a refused OK changes nothing
// in the document and writes no file; an accepted OK writes
// a test-data file that reads back with the same number of points; a grid
// whose every cell the editor takes as a number is accepted by the document
// (at most 252 points, both cells present).
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include <QRegularExpression>
#include <QString>
#include <QStringList>

#include "document_state.h"
#include "fuzz_support.h"
#include "number_text.h"

using wf::doc::ProjectDocument;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QString clipboard = QString::fromUtf8(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    static const QRegularExpression lineEnds(QStringLiteral("[\r\n]+"));
    const QStringList lines = clipboard.split(lineEnds, Qt::SkipEmptyParts);
    if (lines.size() > 1000) return 0;  // the grid of such a paste is not what is tested here

    std::vector<std::string> times, values;
    bool editorTakesAll = lines.size() <= wf::doc::kMaxTestDataPoints;
    for (const QString& line : lines) {
        const QStringList parts = line.split(QLatin1Char('\t'), Qt::SkipEmptyParts);
        const QString t = parts.size() > 0 ? parts[0] : QString();
        const QString v = parts.size() > 1 ? parts[1] : QString();
        double x = 0.0;
        editorTakesAll = editorTakesAll && wf::ui::parseReal(t, x) && wf::ui::parseReal(v, x);
        times.push_back(t.toStdString());
        values.push_back(v.toStdString());
    }

    const auto folder = wf::fuzz::scratchFolder() / "paste";
    std::error_code ec;
    std::filesystem::remove_all(folder, ec);
    std::filesystem::create_directories(folder);
    ProjectDocument doc;
    doc.setDerivedNames("PASTE.wft");
    const std::string before = wf::fuzz::documentState(doc);
    const wf::doc::Status accepted = doc.acceptTestData("BH1", times, values, folder);
    if (!accepted) {
        WF_FUZZ_CHECK(!editorTakesAll, "the document refused cells the editor took as numbers: " + accepted.error);
        WF_FUZZ_CHECK(wf::fuzz::documentState(doc) == before, accepted.error);
        WF_FUZZ_CHECK(!std::filesystem::exists(folder / "PASTE.DAT"), "a refused OK wrote the test-data file");
        return 0;
    }
    ProjectDocument reread;
    reread.setDerivedNames("PASTE.wft");
    const wf::doc::Status read = reread.readTestData(folder);
    WF_FUZZ_CHECK(read.ok(), read.error);
    WF_FUZZ_CHECK(reread.pointCount() == static_cast<int32_t>(times.size()), "the written file holds another point count");
    return 0;
}
