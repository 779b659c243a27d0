// Nodal-value reading (initial heads, base levels): NN pairs in any order or
// generator records (first node, value, last node, step).
#include <gtest/gtest.h>

#include <sstream>

#include "base/run_state.h"
#include "fem/ggip.h"
#include "support/recording_host.h"
#include "support/temp_dir.h"

namespace wf {
namespace {

constexpr std::string_view kHeadsMismatch =
    "(14X,'The number of piezometer level values supplied',' NVS = ',I4,/,14X,"
    "'Does not match the number of nodes',16X,'NN = ',I4)";

struct NodalFixture {
    test::TempWorkDir dir;
    RunState rs;
    test::RecordingHost host;
    std::ostringstream listing;
    Vec1<double> values;
    NodalFixture(int nn) {
        rs.rep.setHost(host.host());
        rs.fem.listing = &listing;
        rs.fem.NN = nn;
        values.allocate(nn);
    }
    int read(const std::string& text) {
        dir.write("VALUES.tim", text);
        ModelFile file;
        EXPECT_TRUE(file.open("VALUES.tim"));
        return readNodalValues(rs, file, values, kHeadsMismatch);
    }
};

TEST(InputNodalValues, GeneratorRecordsFillEveryStepthNode) {
    NodalFixture f(9);
    // (1, 10.0, 7, 3) fills 1, 4, 7; the other two records fill the rest.
    ASSERT_EQ(f.read(" 3\n 1 10.0 7 3\n 2, 5.0, 8, 3\n 3 1.0D+00 9 3 trailing text\n"), kInputGood);
    const double expected[9] = {10.0, 5.0, 1.0, 10.0, 5.0, 1.0, 10.0, 5.0, 1.0};
    for (int n = 1; n <= 9; ++n) EXPECT_EQ(f.values(n), expected[n - 1]) << "node " << n;
    EXPECT_TRUE(f.host.boxes.empty());
}

TEST(InputNodalValues, GeneratorCountOfThreeAgainstSevenNodesIsRefused) {
    NodalFixture f(7);
    EXPECT_EQ(f.read(" 1\n 1 10.0 7 3\n"), kInputRejected);
    const std::string message = "              The number of piezometer level values supplied NVS =    3\n"
                                "              Does not match the number of nodes                NN =    7";
    EXPECT_EQ(f.listing.str(), message + "\n");
    ASSERT_EQ(f.host.boxes.size(), 1u);
    EXPECT_EQ(f.host.boxes[0], (test::RecordedBox{"Error", message}));
}

TEST(InputNodalValues, StepZeroAndLastBelowFirstAssignOnlyTheFirstNode) {
    NodalFixture f(9);
    ASSERT_EQ(f.read(" 3\n 5 2.5 3 0\n 1 1.0 4 -2\n 6 3.0 9 1\n"), kInputGood);
    const double expected[9] = {1.0, 1.0, 1.0, 1.0, 2.5, 3.0, 3.0, 3.0, 3.0};
    for (int n = 1; n <= 9; ++n) EXPECT_EQ(f.values(n), expected[n - 1]) << "node " << n;
}

TEST(InputNodalValues, NnPairsInAnyOrderFillEveryNode) {
    NodalFixture f(4);
    // One read of NN pairs spans as many records as it needs.
    ASSERT_EQ(f.read(" 4\n 3 30.0 1 10.0\n 4 40.0\n 2 20.0 ignored\n"), kInputGood);
    for (int n = 1; n <= 4; ++n) EXPECT_EQ(f.values(n), 10.0 * n);
}

TEST(InputNodalValues, NodeOutsideTheMeshIsRefusedByName) {
    NodalFixture f(4);
    EXPECT_EQ(f.read(" 1\n 1 1.0 5 1\n"), kInputRejected);
    ASSERT_EQ(f.host.boxes.size(), 1u);
    EXPECT_EQ(f.host.boxes[0].text, "  Node       5 in the nodal values of VALUES.tim is not a node of the mesh (1 to     4)");
}

TEST(InputNodalValues, ShortOrMalformedRecordsSetTheReadStatus) {
    NodalFixture f(4);
    EXPECT_EQ(f.read(" 4\n 1 1.0 2 2.0\n"), kInputUnreadable);
    EXPECT_LT(f.rs.IOS, 0);
    EXPECT_EQ(f.rs.INNAME, "VALUES.tim");
    f.rs.IOS = 0;
    EXPECT_EQ(f.read(" 2\n 1 abc 2 1\n"), kInputUnreadable);
    EXPECT_GT(f.rs.IOS, 0);
    EXPECT_TRUE(f.host.boxes.empty());
}

} // namespace
} // namespace wf
