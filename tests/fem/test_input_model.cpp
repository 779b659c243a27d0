// Model input read through AQFESUB: initial and prescribed heads, bandwidth,
// first-call reading, source profiles, element family and unit conversion.
#include <gtest/gtest.h>

#include "fem/model_run.h"

namespace wf {
namespace {

using test::ModelRun;
using test::RadialModel;

// Ten columns, two rows (NN 20), both rows pumped, observation at node 3.
RadialModel smallModel() {
    RadialModel m;
    m.r = test::geometricRadii(0.5, 2.0, 200.0);  // 0, 0.5, ..., 256: 11 columns
    m.r.resize(10);
    m.z = {0.0, 10.0};
    m.obsNodes = {3};
    return m;
}

const std::vector<double> kTimes{0.0, 60.0, 600.0, 3600.0, 7200.0};

TEST(InputModel, InitialHeadsCountingNineteenOfTwentyNodesAreRefused) {
    ModelRun run(smallModel());
    run.writeFiles(test::replaceLine(run.model.timText(), 10, " 1 0.40000D+02 19 1 Initial Waterlevel\n"),
                   run.model.femText());
    EXPECT_FALSE(run.run(kTimes));
    const std::string message = "              The number of piezometer level values supplied NVS =   19\n"
                                "              Does not match the number of nodes                NN =   20";
    EXPECT_EQ(run.listing.str(), message + "\n");
    EXPECT_EQ(run.boxTexts(), std::vector<std::string>{"Error: " + message});
    EXPECT_FALSE(run.dir.exists("MODEL.inv"));
}

TEST(InputModel, DirichletNodesListedOneToOneKeepTheirInitialHeads) {
    RadialModel m = smallModel();
    m.constantHead = true;
    ModelRun run(m);
    ASSERT_TRUE(run.run(kTimes));
    ASSERT_EQ(run.rs.fem.NDN, 2);
    EXPECT_EQ(run.rs.model.DNODE(1), 10);
    EXPECT_EQ(run.rs.model.DNODE(2), 20);
    EXPECT_EQ(run.rs.model.DHEAD(1), 40.0);
    EXPECT_EQ(run.rs.model.DHEAD(2), 40.0);
    // The outer side from node 10 to node 20 holds both nodes.
    EXPECT_EQ(run.rs.fem.NDS, 1);
    EXPECT_EQ(run.rs.model.DSIDE(1, 1), 9);
    EXPECT_EQ(run.rs.model.DSIDE(1, 2), 10);
    EXPECT_EQ(run.rs.model.DSIDE(1, 3), 20);
    // Held heads: no drawdown at the boundary at any time.
    EXPECT_EQ(run.rs.model.HNEW(10), 40.0);
    EXPECT_EQ(run.rs.model.HNEW(20), 40.0);
}

TEST(InputModel, DirichletGeneratorRecordsSetHeadsAndInitialHeads) {
    RadialModel m = smallModel();
    m.constantHead = true;
    ModelRun run(m);
    std::string tim = m.timText();
    // Type, NNR = 1, then one generator record (10, 35.0, 20, 10) for NDN = 2.
    tim = test::replaceLine(tim, 12, " 1  Number of Dirichlet nodes\n");
    tim = test::replaceLine(tim, 13, " 10 35.0 20 10\n");
    tim = test::replaceLine(tim, 14, "");
    run.writeFiles(tim, m.femText());
    ASSERT_TRUE(run.run(kTimes));
    EXPECT_EQ(run.rs.model.DHEAD(1), 35.0);
    EXPECT_EQ(run.rs.model.DHEAD(2), 35.0);
    EXPECT_EQ(run.rs.model.H0(10), 35.0);
    EXPECT_EQ(run.rs.model.H0(20), 35.0);
    EXPECT_EQ(run.rs.model.H0(9), 40.0);
}

TEST(InputModel, DirichletGeneratorShortOfNdnIsRefused) {
    RadialModel m = smallModel();
    m.constantHead = true;
    ModelRun run(m);
    std::string tim = m.timText();
    tim = test::replaceLine(tim, 12, " 1  Number of Dirichlet nodes\n");
    tim = test::replaceLine(tim, 13, " 10 35.0 10 1\n");
    tim = test::replaceLine(tim, 14, "");
    run.writeFiles(tim, m.femText());
    EXPECT_FALSE(run.run(kTimes));
    const std::string message = "1\n"
                                "   The number of Dirichlet nodes wanted and number of nodes read, do not match\n"
                                "\n"
                                "                          NDN =    2          NNR =    1";
    EXPECT_EQ(run.listing.str(), message + "\n");
    EXPECT_EQ(run.boxTexts(), std::vector<std::string>{"Error: " + message});
}

TEST(InputModel, DirichletNodesOffTheBoundarySidesAreRefused) {
    RadialModel m = smallModel();
    m.constantHead = true;
    ModelRun run(m);
    // Nodes 5 and 15 lie inside the mesh: no boundary side starts at either.
    std::string tim = m.timText();
    tim = test::replaceLine(tim, 13, " 5\n");
    tim = test::replaceLine(tim, 14, " 15\n");
    run.writeFiles(tim, m.femText());
    EXPECT_FALSE(run.run(kTimes));
    const std::string message = "        Not all the Dirichlet nodes are associated with a boundary element\n"
                                "                             Check them and try again\n"
                                "        There are    0nodes counted, but    2prescribed";
    EXPECT_EQ(run.listing.str(), message + "\n");
    EXPECT_EQ(run.boxTexts(), std::vector<std::string>{"Error: " + message});
}

// Four columns, two rows, three elements whose node spans are 3, 4 and 6.
std::string spanMesh() {
    std::string s = " Span mesh\n 4 2 8 3 8\n";
    for (int n = 1; n <= 8; ++n)
        s += textio::format("(I6,2(3x,1PE15.7),3x,i5)", {n, static_cast<double>((n - 1) % 4), (n - 1) / 4 * 1.0, 1});
    s += textio::format("(5I6)", {1, 1, 2, 4, 3});
    s += textio::format("(5I6)", {2, 2, 3, 6, 5});
    s += textio::format("(5I6)", {3, 2, 3, 8, 7});
    for (int b = 1; b <= 8; ++b) s += textio::format("(6I6)", {1, 1, 2});
    return s;
}

std::string spanTim(int bandEstimate) {
    RadialModel m;
    m.r = {0.0, 1.0, 2.0, 3.0};
    m.z = {0.0, 1.0};
    m.bandEstimate = bandEstimate;
    return m.timText();
}

TEST(InputModel, BandwidthBelowTheTrueBandwidthIsRefusedWithTheMessage) {
    RadialModel m;
    m.r = {0.0, 1.0, 2.0, 3.0};
    m.z = {0.0, 1.0};
    ModelRun run(m);
    run.writeFiles(spanTim(5), spanMesh());
    EXPECT_FALSE(run.run({0.0, 60.0}));
    EXPECT_EQ(run.rs.fem.bandwidth, 7);
    EXPECT_EQ(run.boxTexts(), std::vector<std::string>{"Error:   Estimated bandwidth =    5 < true bandwidth =    7"});
    EXPECT_FALSE(run.dir.exists("MODEL.inv"));
}

TEST(InputModel, BandwidthBeyondTheBandStorageIsRefused) {
    RadialModel m;
    m.r = {0.0, 1.0, 2.0, 3.0};
    m.z = {0.0, 1.0};
    ModelRun run(m);
    run.writeFiles(spanTim(7), spanMesh());
    EXPECT_FALSE(run.run({0.0, 60.0}));
    // The arrays of a 4 x 2 mesh hold NR + 2 = 6 band columns.
    EXPECT_EQ(run.boxTexts(), std::vector<std::string>{
                                  "Error:   True bandwidth =    7 of MODEL.fem exceeds the band storage of   6 columns"});
}

TEST(InputModel, LaterCallsKeepTheFirstCallsInputButRereadObservationNodes) {
    ModelRun run(smallModel());
    ASSERT_TRUE(run.run(kTimes));
    const std::vector<double> first{run.arrays.sim(1, 3), run.arrays.sim(1, 5)};
    // Second call: changed initial heads and a damaged mesh file are not read
    // again; the observation node is.
    RadialModel changed = run.model;
    changed.obsNodes = {4};
    run.writeFiles(changed.timText(30.0), "damaged\n");
    ASSERT_TRUE(run.run(kTimes));
    EXPECT_EQ(run.rs.fem.callCount, 2);
    EXPECT_EQ(run.rs.model.H0(1), 40.0);
    EXPECT_EQ(run.arrays.obs(1), 4);
    EXPECT_GT(first[0], run.arrays.sim(1, 3));  // node 4 lies farther out than node 3
    // A third call back at node 3 reproduces the first call exactly.
    run.writeFiles(run.model.timText(30.0), "damaged\n");
    ASSERT_TRUE(run.run(kTimes));
    EXPECT_EQ(run.arrays.sim(1, 3), first[0]);
    EXPECT_EQ(run.arrays.sim(1, 5), first[1]);
}

TEST(InputModel, ProfileEndingBeforeTheLastOutputTimeIsExtended) {
    RadialModel m = smallModel();
    m.profileEnd = 3600.0;
    ModelRun run(m);
    ASSERT_TRUE(run.run({0.0, 600.0, 3600.0, 7200.0}));
    ASSERT_EQ(run.rs.fem.NSRC, 2);
    for (int k = 1; k <= 2; ++k) {
        EXPECT_EQ(run.rs.model.SRC(k, 2), 2);
        EXPECT_EQ(run.rs.model.PROF(k, 2, 1), 8200.0);
    }
    // Pumping goes on after 3600 s: the drawdown keeps rising.
    EXPECT_GT(run.arrays.sim(1, 4), run.arrays.sim(1, 3));

    RadialModel later = smallModel();
    later.profileEnd = 9000.0;
    ModelRun run2(later);
    ASSERT_TRUE(run2.run({0.0, 600.0, 3600.0, 7200.0}));
    EXPECT_EQ(run2.rs.model.PROF(1, 2, 1), 9000.0);
}

// Runs a model in its own working folder and returns the simulation file
// with the family the run ended with.
std::pair<std::string, char> simulationFile(const RadialModel& m) {
    ModelRun run(m);
    EXPECT_TRUE(run.run(kTimes));
    return {run.dir.read("MODEL.inv"), run.rs.fem.family};
}

TEST(InputModel, FourNodeSerendipityRunsAsLagrange) {
    RadialModel s = smallModel();
    s.family = "S";
    const auto serendipity = simulationFile(s);
    const auto lagrange = simulationFile(smallModel());
    EXPECT_EQ(serendipity.second, 'L');
    EXPECT_FALSE(lagrange.first.empty());
    EXPECT_EQ(serendipity.first, lagrange.first);
}

TEST(InputModel, ProjectUnitsGiveTheSameDrawdownsAsSiUnits) {
    // The same model in SI units and in cm, minutes and litres per second.
    RadialModel si = smallModel();
    si.schedule = {{0.0, 0.01}, {3000.0, 0.02}};
    si.profileEnd = 9000.0;
    RadialModel project = si;
    for (double& r : project.r) r *= 100.0;
    for (double& z : project.z) z *= 100.0;
    project.schedule = {{0.0, 10.0}, {50.0, 20.0}};
    project.profileEnd = 150.0;

    std::vector<double> siDrawdown;
    {
        ModelRun run(si);
        ASSERT_TRUE(run.run(kTimes));
        for (int i = 1; i <= 5; ++i) siDrawdown.push_back(run.arrays.sim(1, i));
    }
    ModelRun run(project);
    run.rs.in.IDIST = 2;
    run.rs.in.ITIN = 2;
    run.rs.in.IDISCH = 1;
    ASSERT_TRUE(run.run(kTimes));
    for (int i = 1; i <= 5; ++i) EXPECT_NEAR(run.arrays.sim(1, i), siDrawdown[i - 1], 1e-9 * siDrawdown[4]);
    EXPECT_NEAR(run.rs.model.X(10), si.r[9], 1e-12);
    EXPECT_NEAR(run.rs.model.PROF(1, 2, 1), 3000.0, 1e-9);
    // The simulation file lists times in the input-time unit (minutes).
    EXPECT_NE(run.dir.read("MODEL.inv").find("\n          3       120.0000 "), std::string::npos);
    EXPECT_NEAR(run.rs.fem.transFactor[11], 1.0 / 3600.0, 1e-18);  // m2/h
    EXPECT_NEAR(run.rs.fem.transFactor[2], 1.0e-6 / 60.0, 1e-22);  // mm2/min
}

} // namespace
} // namespace wf
