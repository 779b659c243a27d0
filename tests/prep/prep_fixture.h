// Shared set-up of the mesh-run and preparation-run tests: a run state in a
// fresh working directory with a recording host, and readers that take the
// written records apart by their fixed columns.
#pragma once

// The records come first: POSIX <limits.h>, which the test framework pulls
// in, defines NZERO (the default nice value) as a macro.
#include "prep/mesh_run.h"
#include "wfcore/records.h"

#include <gtest/gtest.h>
#ifdef NZERO
#undef NZERO
#endif

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "support/entry_records.h"
#include "support/recording_host.h"
#include "support/temp_dir.h"
#include "wfcore/wfcore.h"

namespace wf::test {

// Splits a file text into its records (without the line ends).
inline std::vector<std::string> records(const std::string& text) {
    std::vector<std::string> out;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) out.push_back(line);
    return out;
}

// Columns [from, to) of a record; fails the test when the record is too short.
inline std::string cols(const std::string& rec, std::size_t from, std::size_t to) {
    EXPECT_LE(to, rec.size()) << "record too short: '" << rec << "'";
    if (from >= rec.size()) return {};
    return rec.substr(from, to - from);
}

// A fixed-column integer field: right-adjusted digits, blanks before them only.
inline int intField(const std::string& rec, std::size_t from, std::size_t to) {
    const std::string f = cols(rec, from, to);
    const auto first = f.find_first_not_of(' ');
    EXPECT_NE(first, std::string::npos) << "blank integer field in '" << rec << "'";
    EXPECT_NE(f.back(), ' ') << "integer not right-adjusted in '" << rec << "'";
    return first == std::string::npos ? 0 : std::atoi(f.c_str() + first);
}

// A fixed-column real field (F, E or D form), right-adjusted.
inline double realField(const std::string& rec, std::size_t from, std::size_t to) {
    std::string f = cols(rec, from, to);
    EXPECT_NE(f.back(), ' ') << "real not right-adjusted in '" << rec << "'";
    for (char& c : f)
        if (c == 'D') c = 'E';
    return std::strtod(f.c_str(), nullptr);
}

// The values of a free-format record, as blank-separated words.
inline std::vector<std::string> words(const std::string& rec) {
    std::vector<std::string> out;
    std::istringstream in(rec);
    for (std::string w; in >> w;) out.push_back(w);
    return out;
}

// Compares a written file with its golden copy in tests/data/prep. With
// WF_UPDATE_GOLDEN=1 in the environment the copy is rewritten instead (only
// after the new records have been checked by hand against their layout).
inline void expectGolden(const std::string& actual, const std::string& name) {
    const std::string path = std::string(WF_TEST_DATA_DIR) + "/prep/" + name;
    if (const char* u = std::getenv("WF_UPDATE_GOLDEN"); u && std::string(u) == "1") {
        std::ofstream(path, std::ios::binary) << actual;
        return;
    }
    std::ifstream in(path, std::ios::binary);
    ASSERT_TRUE(in.good()) << "missing golden file " << path;
    EXPECT_EQ(actual, std::string(std::istreambuf_iterator<char>(in), {})) << "differs from " << name;
}

// The eight records of a project "test.wft" with the defaults of a new
// project, for runs through the entry call (with a recording host).
struct EntryRecords : ProjectRecords {
    RecordingHost host;

    EntryRecords() : ProjectRecords("test") {}
    void call(int mode, int type) {
        wfSetHost(host.host());
        ProjectRecords::call(mode, type);
        wfSetHost(nullptr);
    }
};

// A run state named "test" in a fresh working directory, with the project
// defaults of the records widened the way the entry call widens them.
class PrepRun : public ::testing::Test {
protected:
    PrepRun() {
        rs.rep.setHost(host.host());
        std::memset(rs.BASE, ' ', sizeof rs.BASE);
        std::memcpy(rs.BASE, "test", 4);
        rs.NBASE = 4;
        setTitle(rs.TITLE1, "Wellfit test project");
        setTitle(rs.TITLE2, "");
        Inputs& in = rs.in;
        in.RMAX = 1024.0f;
        in.THICK = 40.0f;
        in.RATIO = static_cast<double>(0.2f);
        in.NOBS = 1;
        in.ROBS[1] = 1.0f;
        in.IPOS[1] = 1;
    }

    static void setTitle(char (&title)[72], const std::string& text) {
        std::memset(title, ' ', 72);
        std::memcpy(title, text.data(), text.size());
    }

    // The mesh run with the coordinate arrays the run driver allocates.
    bool runMesh(int type = 0) {
        rs.meshSet.allocate(30, 25);
        const bool ok = RMESH(rs, type, 25, 30);
        rs.meshSet.release();
        return ok;
    }

    std::vector<std::string> boxTexts() const {
        std::vector<std::string> out;
        for (const RecordedBox& b : host.boxes) out.push_back(b.caption + ": " + b.text);
        return out;
    }

    TempWorkDir dir;
    RecordingHost host;
    RunState rs;
};

} // namespace wf::test
