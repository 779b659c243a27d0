// The options record and the fit report cross the entry with their size: a
// caller built against a shorter record gets its fields read and written, no
// byte beyond; the verdict is fetched whole, or cut before a character.
#include <gtest/gtest.h>

#include <cstddef>
#include <cstring>
#include <sstream>
#include <string>
#include <vector>

#include "support/entry_records.h"
#include "support/recording_host.h"
#include "support/temp_dir.h"
#include "wfcore/wfcore.h"

using wf::test::RecordingHost;
using wf::test::TempWorkDir;

namespace {

struct Project : wf::test::ProjectRecords {
    Project() : ProjectRecords("SIZE") {
        pump.Q[0] = 86.4f;  // m3/day
        for (int j = 0; j < 4; ++j) {
            guess.P0[j] = 1.0f;
            guess.PLO[j] = 0.1f;
            guess.PHI[j] = 10.0f;
        }
    }
};

// A fixed-time run (mesh, preparation, analysis) with the options installed,
// on drawdowns (m) at 1, 2, 5 and 10 minutes.
void fixedTimeRun(TempWorkDir& dir, const WfOptions& options, const char* drawdowns[4] = nullptr) {
    static const char* const kGiven[4] = {"1.0E-0002", "2.0E-0002", "3.0E-0002", "4.0E-0002"};
    const char* const* s = drawdowns ? drawdowns : kGiven;
    dir.write("SIZE.DAT", std::string("SIZE.wft\r\n\r\n4\r\n\r\n") + " 1.0E+0000 " + s[0] + "\r\n 2.0E+0000 " + s[1] +
                              "\r\n 5.0E+0000 " + s[2] + "\r\n 1.0E+0001 " + s[3] + "\r\n");
    Project p;
    p.call(4, 0);
    p.call(5, 0);
    wfSetOptions(&options);
    p.call(6, 1);
    wfSetOptions(nullptr);
}

// The record as the header of this release gives it.
TEST(OptionRecords, SizeAndVersionLeadBothRecords) {
    const WfOptions o{};
    const WfFitReport r{};
    EXPECT_EQ(o.size, sizeof(WfOptions));
    EXPECT_EQ(o.version, static_cast<uint32_t>(WF_OPTIONS_VERSION));
    EXPECT_EQ(r.size, sizeof(WfFitReport));
    EXPECT_EQ(offsetof(WfOptions, hold), 8u);
    EXPECT_EQ(offsetof(WfFitReport, valid), 8u);
    WfOptions c;
    std::memset(static_cast<void*>(&c), 0x5A, sizeof c);
    wfInitOptions(&c);
    EXPECT_EQ(c.size, sizeof(WfOptions));
    EXPECT_EQ(c.maxPasses, 0);
}

// The fields of version 2 (the pumped well's) follow the whole record of
// version 1, so that a caller built with the version-1 header (options 120
// bytes, report 2464) keeps every offset it knows.
TEST(OptionRecords, VersionTwoFieldsFollowTheVersionOneRecords) {
    EXPECT_EQ(WF_OPTIONS_VERSION, 2);
    EXPECT_EQ(WF_FIT_REPORT_VERSION, 2);
    EXPECT_EQ(offsetof(WfOptions, holdWell), 120u);
    EXPECT_EQ(offsetof(WfFitReport, well), 2464u);
    EXPECT_EQ(offsetof(WfFitReport, starts) + sizeof(WfFitStart) * WF_MAX_STARTS, 2464u);
    EXPECT_EQ(offsetof(WfFitReport, startWell) + sizeof(double) * 2 * WF_MAX_STARTS, sizeof(WfFitReport));
}

// A caller whose report ends before the points: the solver writes its fields
// and not one byte after them.
TEST(OptionRecords, ShortReportIsWrittenOnlyAsFarAsItsSize) {
    TempWorkDir dir;
    RecordingHost host;
    wfSetHost(host.host());
    const std::size_t shortSize = offsetof(WfFitReport, pointFits);
    std::vector<unsigned char> buffer(sizeof(WfFitReport), 0xEE);
    auto* report = reinterpret_cast<WfFitReport*>(buffer.data());
    report->size = static_cast<uint32_t>(shortSize);
    report->version = 1;
    WfOptions options{};
    options.report = report;
    fixedTimeRun(dir, options);
    wfSetHost(nullptr);
    ASSERT_TRUE(host.boxes.empty()) << host.boxes.front().text;
    EXPECT_EQ(report->valid, 1);
    EXPECT_EQ(report->size, shortSize);
    for (std::size_t b = shortSize; b < buffer.size(); ++b) ASSERT_EQ(buffer[b], 0xEE) << "byte " << b;

    // A whole report names the model and the mesh of the run.
    WfFitReport whole{};
    options.report = &whole;
    fixedTimeRun(dir, options);
    EXPECT_EQ(whole.model, WF_MODEL_STANDARD);
    EXPECT_EQ(whole.meshColumns, 16);
    EXPECT_EQ(whole.meshRows, 20);
    EXPECT_NE(dir.read("SIZE.fit").find("Model: standard, mesh of 16 x 20 nodes\n"), std::string::npos);
}

// A record without size and version (not initialised by the caller) is
// refused with a box saying how to set them; the options stay as they were.
TEST(OptionRecords, RecordWithoutSizeIsRefused) {
    RecordingHost host;
    wfSetHost(host.host());
    WfOptions blank;
    std::memset(static_cast<void*>(&blank), 0, sizeof blank);
    wfSetOptions(&blank);
    wfSetHost(nullptr);
    ASSERT_EQ(host.boxes.size(), 1u);
    EXPECT_EQ(host.boxes.front().caption, "Error");
    EXPECT_EQ(host.boxes.front().text,
              "The analysis options record has size 0 and version 0: set them with wfInitOptions (or to "
              "WF_OPTIONS_SIZE and WF_OPTIONS_VERSION)");
}

// The verdict has no fixed length: wfFitVerdict gives it whole, and a short
// buffer gets it cut before the character that does not fit (the two bytes
// of a "±" stay together).
TEST(OptionRecords, VerdictIsFetchedWholeOrCutBeforeACharacter) {
    TempWorkDir dir;
    RecordingHost host;
    wfSetHost(host.host());
    WfFitReport report{};
    WfOptions options{};
    options.report = &report;
    // One estimated parameter, on the model's own drawdowns at the guesses
    // (read back from the simulation file) with a little noise: the verdict
    // gives it with its error ("TF = x ± e").
    fixedTimeRun(dir, options);
    std::istringstream inv(dir.read("SIZE.inv"));
    std::string skip;
    std::getline(inv, skip);
    std::getline(inv, skip);
    std::vector<std::string> texts;
    for (int i = 0; i < 5; ++i) {
        int node = 0;
        double t = 0, s = 0;
        inv >> node >> t >> s;
        if (i > 0) texts.push_back(std::to_string(s * (1.0 + 0.01 * (i % 2 ? 1 : -1))));
    }
    ASSERT_EQ(texts.size(), 4u);
    const char* nearModel[4] = {texts[0].c_str(), texts[1].c_str(), texts[2].c_str(), texts[3].c_str()};
    options.hold[1] = options.hold[2] = options.hold[3] = 1;
    fixedTimeRun(dir, options, nearModel);
    wfSetHost(nullptr);
    const int32_t length = wfFitVerdict(nullptr, 0);
    ASSERT_GT(length, 0);
    EXPECT_EQ(length, report.verdictLength);
    std::string whole(static_cast<std::size_t>(length) + 1, '\0');
    EXPECT_EQ(wfFitVerdict(whole.data(), length + 1), length);
    whole.resize(static_cast<std::size_t>(length));
    EXPECT_NE(dir.read("SIZE.fit").find("Verdict: " + whole + "\n"), std::string::npos);
    const std::size_t pm = whole.find("\xC2\xB1");  // "±" in UTF-8
    ASSERT_NE(pm, std::string::npos) << whole;
    // Room for everything before the "±" and its first byte only.
    std::vector<char> cut(pm + 2, 'x');
    EXPECT_EQ(wfFitVerdict(cut.data(), static_cast<int32_t>(cut.size())), length);
    EXPECT_EQ(std::string(cut.data()), whole.substr(0, pm));
}

} // namespace
