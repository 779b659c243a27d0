// wellfit-cli with several observation points: --data FILE --robs R
// --position P once per point, sorted by distance, fitted together, the
// points kept by --save; the refusals of a bad point set.
#include "cli_runner.h"
#include "document/project_document.h"

namespace {

using namespace wf::clitest;

class PointsCli : public CliFolderTest {
protected:
    void SetUp() override {
        CliFolderTest::SetUp();
        copyFrom(WF_TWO_POINTS_DIR, {"PB10.txt", "PB50.txt"});
    }
    Outcome run(const std::string& args) { return runCli(dir_, args); }
};

// The README's analysis: the matrix point given first, guesses 2 to 3 times
// away from the parameters that made the data (TF 12.096, TM 48.384 m2/day,
// SF 1.4e-4, SM 5.6e-4; 0.5 mm of reading noise).
const std::string kProject =
    "--new TWOPTS.wft --units 3,2,2,12,8 --thick 7 --ratio 0.2 --rmax 4000 "
    "--data PB50.txt --robs 50 --position matrix --point-name PB50 "
    "--data PB10.txt --robs 10 --position fracture --point-name PB10 "
    "--step 0:788 --pump-position fracture --boundary constant --tf 4.84 --tm 96.8 --sf 4.2e-4 --sm 2.8e-4 "
    "--bound-aware --max-passes 100 ";

TEST_F(PointsCli, TwoPointsAreSortedFittedTogetherAndKeptBySave) {
    const Outcome r = run(kProject + "--all --save");
    ASSERT_EQ(r.code, 0) << r.out << r.err;
    EXPECT_NE(r.out.find("Observation points sorted by distance, as the mesh needs them: \"PB10\" (10), \"PB50\" (50)"),
              std::string::npos)
        << r.out;
    EXPECT_NE(r.out.find("observation nodes 30, 193"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("(68 residuals, 4 unknowns)"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("Verdict: The data determine every estimated parameter"), std::string::npos) << r.out;

    wf::doc::ProjectDocument doc;
    ASSERT_TRUE(doc.openProject(dir_ / "TWOPTS.wft").project.ok());
    const auto points = doc.observationPoints();
    ASSERT_EQ(points.size(), 2u);
    EXPECT_EQ(points[0].name, "PB10");
    EXPECT_EQ(points[1].name, "PB50");
    EXPECT_EQ(points[1].position, 2);
    EXPECT_EQ(points[1].node, 193);
    EXPECT_EQ(points[1].times.size(), 33u);
    const double truth[4] = {12.096, 48.384, 1.4e-4, 5.6e-4};
    const float got[4] = {doc.pinit.TF, doc.pinit.TM, doc.pinit.SF, doc.pinit.SM};
    for (int j = 0; j < 4; ++j) EXPECT_NEAR(got[j], truth[j], 0.01 * truth[j]) << j;

    // The saved project analyses again as it stands (its preparation files
    // still belong to it), with the per-point list in the JSON.
    const Outcome again = run("TWOPTS.wft --analyse --json");
    ASSERT_EQ(again.code, 0) << again.err;
    EXPECT_NE(again.out.find("\"points\": [{\"point\": 1, \"node\": 30, \"weight\": 1, \"residuals\": 34, "),
              std::string::npos)
        << again.out;
    EXPECT_NE(again.out.find("{\"point\": 2, \"node\": 193, "), std::string::npos) << again.out;

    // A prediction names the final drawdown of each point.
    const Outcome ahead = run("TWOPTS.wft --analyse --type prediction --sim-days 2 --time-steps 10");
    ASSERT_EQ(ahead.code, 0) << ahead.err;
    EXPECT_NE(ahead.out.find("Opened TWOPTS.wft (2 observation points, 33 + 33 data points)"), std::string::npos)
        << ahead.out;
    for (const char* point : {"at observation point 1\n", "at observation point 2\n"})
        EXPECT_NE(ahead.out.find(point), std::string::npos) << ahead.out;
}

TEST_F(PointsCli, BadPointSetsAreRefusedNamingThePoint) {
    Outcome r = run("--new A.wft --data PB10.txt --robs 10 --robs 20");
    EXPECT_EQ(r.code, 2);
    EXPECT_NE(r.err.find("--robs given twice for observation point 1 (give each further point's --data FILE before "
                         "its settings)"),
              std::string::npos)
        << r.err;
    r = run("--new A.wft --data PB10.txt --robs 10 --data PB50.txt --position matrix");
    EXPECT_EQ(r.code, 1);
    EXPECT_NE(r.err.find("observation point 2 (--data PB50.txt) needs its distance --robs"), std::string::npos) << r.err;
    r = run("--new B.wft --data PB10.txt --robs 10 --data PB50.txt --robs 10");
    EXPECT_EQ(r.code, 1);
    EXPECT_NE(r.err.find("are both at distance 10"), std::string::npos) << r.err;
    r = run("--new C.wft --data PB10.txt --data PB10.txt --robs 2 --data PB10.txt --robs 3 --data PB10.txt --robs 4 "
            "--data PB10.txt --robs 5");
    EXPECT_EQ(r.code, 2);
    EXPECT_NE(r.err.find("--data: at most 4 observation points"), std::string::npos) << r.err;
    r = run("--new D.wft --data PB10.txt --robs 10 --data PB50.txt --robs 50 --weight 0");
    EXPECT_EQ(r.code, 2);
    EXPECT_NE(r.err.find("--weight: \"0\" must be above 0"), std::string::npos) << r.err;
}

} // namespace
