// The progress list codes and the error-box texts.
#include <gtest/gtest.h>

#include "base/progress_list.h"
#include "base/reporter.h"
#include "support/recording_host.h"

using wf::ProgressList;
using wf::Reporter;
using wf::test::RecordedBox;
using wf::test::RecordingHost;

TEST(ProgressList, CodesActOnTheList) {
    ProgressList list;
    EXPECT_TRUE(list.apply(2, "a"));
    EXPECT_TRUE(list.apply(2, "b"));
    EXPECT_TRUE(list.apply(1, "c"));  // replaces the last line
    EXPECT_EQ(list.lines(), (std::vector<std::string>{"a", "c"}));
    EXPECT_TRUE(list.apply(-2, "d"));  // negative: as its absolute value
    EXPECT_EQ(list.lines(), (std::vector<std::string>{"a", "c", "d"}));
    EXPECT_TRUE(list.apply(0, "first"));  // clears, then adds
    EXPECT_EQ(list.lines(), (std::vector<std::string>{"first"}));
    EXPECT_FALSE(list.apply(7, "ignored"));
    EXPECT_FALSE(list.apply(3, "box"));  // code 3 is a box, not a list operation
    EXPECT_EQ(list.lines(), (std::vector<std::string>{"first"}));
}

TEST(ProgressList, ReplaceOnEmptyListAddsTheLine) {
    ProgressList list;
    list.apply(1, "only");
    EXPECT_EQ(list.lines(), (std::vector<std::string>{"only"}));
}

TEST(ProgressList, OutOfSpaceStartsAfreshWithTheNewLine) {
    ProgressList list;
    list.setCapacity(3);
    for (const char* s : {"1", "2", "3"}) list.apply(2, s);
    list.apply(2, "4");
    EXPECT_EQ(list.lines(), (std::vector<std::string>{"4"}));
}

TEST(Reporter, HostSeesEveryChangeWithRepaintSign) {
    RecordingHost host;
    Reporter rep;
    rep.setHost(host.host());
    rep.addLine(0, "WELLFIT: Start Computation");
    rep.addLine(-2, "quiet");
    rep.addLine(2, " ");
    rep.addLine(9, "nothing");
    EXPECT_EQ(host.codes, (std::vector<int>{0, -2, 2}));
    EXPECT_EQ(host.lines, (std::vector<std::string>{"WELLFIT: Start Computation", "quiet", " "}));
    EXPECT_TRUE(host.boxes.empty());
}

TEST(Reporter, CodeThreeShowsAnInformationBox) {
    RecordingHost host;
    Reporter rep;
    rep.setHost(host.host());
    rep.addLine(3, "SAVE to keep final Results");
    EXPECT_EQ(host.boxes, (std::vector<RecordedBox>{{"Information", "SAVE to keep final Results"}}));
    EXPECT_TRUE(host.codes.empty());
}

TEST(Reporter, ProgressLineIsCutAfterCount) {
    RecordingHost host;
    Reporter rep;
    rep.setHost(host.host());
    const std::string text = "Iteration   1: Error Estimate (RMSE) =   0.12345";
    std::string line = text;
    line.resize(80, ' ');  // the 80-character line buffer
    rep.reportProgress(2, static_cast<int>(text.size()), line);
    EXPECT_EQ(host.lines.back(), "Iteration   1: Error Estimate (RMSE) =   0.12345");
}

TEST(Reporter, ErrorBoxTextsByStatus) {
    RecordingHost host;
    Reporter rep;
    rep.setHost(host.host());
    int count = 0;
    rep.showError(count, "ignored", -1, "TEST.obs");
    EXPECT_EQ(count, 8);
    count = 0;
    rep.showError(count, "ignored", 5010, "TEST.obs");
    count = 10;
    rep.showError(count, " Dimension to small for Mesh Size", 0, "TEST.obs");
    rep.error(" Allocation Error, not enough memory");
    EXPECT_EQ(host.boxes, (std::vector<RecordedBox>{
                              {"Error", "End of File reached in input file : TEST.obs"},
                              {"Error", "Data format error in input file : TEST.obs"},
                              {"Error", " Dimension"},
                              {"Error", " Allocation Error, not enough memory"},
                          }));
}

TEST(Reporter, CancelPollAndTerminalHost) {
    RecordingHost host;
    Reporter rep;
    int flag = -1;
    rep.checkCancel(flag);  // the terminal host never reports Cancel
    EXPECT_EQ(flag, 0);
    rep.setHost(host.host());
    host.cancel = 1;
    rep.checkCancel(flag);
    EXPECT_EQ(flag, 1);
    EXPECT_EQ(host.cancelPolls, 1);
}
