// Model input beyond the generated four-node meshes: eight- and nine-node
// element meshes that fit the work arrays, generator records whose step or
// count would not fit an int, and header values outside what the model knows.
#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <map>

#include "fem/model_run.h"

namespace wf {
namespace {

using test::ModelRun;
using test::RadialModel;

// Nine node columns and three rows; the quadratic meshes number their nodes
// column by column (vertical index fastest), so that the band of an element
// spanning three columns is 9 wide and fits the NR + 2 = 11 columns of the
// band storage of a 9 x 3 mesh.
RadialModel gridModel() {
    RadialModel m;
    m.r = {0.0, 0.5, 1.0, 2.0, 4.0, 8.0, 16.0, 32.0, 64.0};
    m.z = {0.0, 5.0, 10.0};
    m.nzf = 3;
    m.schedule = {{0.0, 0.01}};
    return m;
}

// Files of a quadratic mesh on the grid: four elements of nine (Lagrange "L")
// or eight (serendipity "S") nodes, in the local order of the shape tables:
// corners and mid-sides counter-clockwise from (-1,-1), then the centre.
struct QuadraticMesh {
    int nodesPerElement;
    std::map<std::pair<int, int>, int> number;  // (column, row) -> node
    int NN = 0;

    explicit QuadraticMesh(int npe) : nodesPerElement(npe) {
        for (int i = 1; i <= 9; ++i)
            for (int j = 1; j <= 3; ++j) {
                const bool centre = i % 2 == 0 && j == 2;
                if (centre && npe == 8) continue;  // the serendipity element has no centre node
                number[{i, j}] = ++NN;
            }
    }
    int node(int i, int j) const { return number.at({i, j}); }

    std::string femText(const RadialModel& m) const {
        std::string s = textio::listRecord({"Quadratic mesh"});
        s += textio::listRecord({9, 3, NN, 4, 0});
        for (const auto& [ij, n] : number)
            s += textio::format("(I6,2(3x,1PE15.7),3x,i5)", {n, m.r[ij.first - 1], m.z[ij.second - 1], 1});
        for (int e = 1; e <= 4; ++e) {
            const int c0 = 2 * e - 1, c1 = 2 * e, c2 = 2 * e + 1;
            std::vector<textio::FValue> rec{e, node(c0, 1), node(c1, 1), node(c2, 1), node(c2, 2),
                                            node(c2, 3), node(c1, 3), node(c0, 3), node(c0, 2)};
            if (nodesPerElement == 9) rec.emplace_back(node(c1, 2));
            s += textio::listRecord(rec);
        }
        return s + textio::listRecord({"XXXXXX"});
    }

    std::string timText(const RadialModel& m, int observed) const {
        using textio::format;
        std::string s = textio::listRecord({"Quadratic model"}) + textio::listRecord({"second title"});
        s += format("(4x,a,i5)", {nodesPerElement == 9 ? "L" : "S", 3});
        s += test::problemRecord({NN, 4, nodesPerElement, 0, 0, 0, 0, 0, 3, 9, 0, 6});
        s += format("(7i6)", {2, 1});
        s += format("(1x, i5, a)", {10, "  # Timesteps"});
        s += format("(1x,5g12.5, a)", {2250.0, 0.5, 250.0, 0.0, 1000.0, " Time parameters"});
        s += textio::listRecord({observed, " Observation Nodes"});
        s += textio::listRecord({1});
        s += format("(i3,d12.5,i6,i5,a)", {1, m.h0, NN, 1, " Initial Waterlevel"});
        for (int row = 1; row <= 3; ++row) {
            s += textio::listRecord({node(1, row), 2});
            const double rate = m.nodeRate(0.01, row);
            s += format("(f18.3,1pe18.6)", {0.0, rate});
            s += format("(f18.3,1pe18.6)", {1.0e9, rate});
        }
        return s + textio::listRecord({"XXXXXX"});
    }
};

const std::vector<double> kTimes{0.0, 60.0, 600.0, 3600.0};

// Drawdowns at the corner node of column 5 (r = 4 m) on the base row.
std::vector<double> bilinearDrawdowns() {
    RadialModel m = gridModel();
    m.obsNodes = {m.node(5, 1)};
    ModelRun run(m);
    EXPECT_TRUE(run.run(kTimes));
    return {run.arrays.sim(1, 2), run.arrays.sim(1, 3), run.arrays.sim(1, 4)};
}

} // namespace

// Both quadratic elements run on a mesh whose element count is not the
// (NR-1)(NZ-1) of the four-node mesh the arrays were sized for. Their
// drawdowns approximate the same radial flow as the bilinear elements on the
// same nodes: a coarse mesh, so they agree within 10 % (a check that the
// quadratic run is the flow problem, not a test of its accuracy).
TEST(InputQuadratic, EightAndNineNodeMeshesThatFitTheArraysRun) {
    const std::vector<double> reference = bilinearDrawdowns();
    ASSERT_GT(reference[0], 0.0);
    for (int npe : {9, 8}) {
        SCOPED_TRACE(npe);
        const QuadraticMesh q(npe);
        RadialModel m = gridModel();
        m.obsNodes = {q.node(5, 1)};
        ModelRun run(m);
        run.writeFiles(q.timText(m, q.node(5, 1)), q.femText(m));
        ASSERT_TRUE(run.run(kTimes)) << (run.host.boxes.empty() ? run.listing.str() : run.host.boxes[0].text);
        EXPECT_TRUE(run.host.boxes.empty());
        EXPECT_EQ(run.rs.fem.bandwidth, npe == 9 ? 9 : 8);
        for (int i = 0; i < 3; ++i) {
            const double s = run.arrays.sim(1, i + 2);
            EXPECT_NEAR(s, reference[static_cast<std::size_t>(i)], 0.1 * reference[static_cast<std::size_t>(i)])
                << "time " << kTimes[static_cast<std::size_t>(i) + 1];
        }
        EXPECT_TRUE(run.dir.exists("MODEL.inv"));
    }
}

TEST(InputQuadratic, FamilyAndNodesPerElementMustAgree) {
    struct Case {
        const char* family;
        int npe;
        std::string message;
    };
    const std::vector<Case> cases{
        {"L", 8, "  Nodes per element =    8 in MODEL.tim does not fit family L with 3 nodes per side, which has 9"},
        {"S", 9, "  Nodes per element =    9 in MODEL.tim does not fit family S with 3 nodes per side, which has 8"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.family);
        const QuadraticMesh q(c.npe);
        RadialModel m = gridModel();
        ModelRun run(m);
        std::string tim = q.timText(m, 1);
        tim = test::replaceLine(tim, 3, textio::format("(4x,a,i5)", {c.family, 3}));
        run.writeFiles(tim, q.femText(m));
        EXPECT_FALSE(run.run(kTimes));
        EXPECT_EQ(run.boxTexts(), std::vector<std::string>{"Error: " + c.message});
        EXPECT_FALSE(run.dir.exists("MODEL.inv"));
    }
}

// "1 0.70000D+01 380 2147483647": one node from a step that would wrap round.
TEST(InputGenerators, HugeStepAssignsOnlyTheFirstNode) {
    RadialModel m;
    m.r = {0.0, 1.0, 2.0, 4.0};
    m.z = {0.0, 10.0};
    m.obsNodes = {2};
    ModelRun run(m);
    const std::string tim = m.timText();
    const std::string generator = textio::format("(i3,d12.5,i6,i5,a)", {1, m.h0, m.NN(), 1, " Initial Waterlevel"});
    const std::size_t at = tim.find(generator);
    ASSERT_NE(at, std::string::npos);
    std::string bad = tim;
    bad.replace(at, generator.size(), " 2\n 1 0.40000D+02 8 2147483647\n 2 0.40000D+02 8 1\n");
    run.writeFiles(test::replaceLine(bad, 9, ""), m.femText());
    ASSERT_TRUE(run.run({0.0, 60.0})) << run.listing.str();
    for (int n = 1; n <= 8; ++n) EXPECT_EQ(run.rs.model.H0(n), 40.0) << n;

    // The same step with the count wrong: refused with the count, not a crash.
    std::string short1 = tim;
    short1.replace(at, generator.size(), " 1\n 1 0.40000D+02 8 2147483647\n");
    ModelRun refused(m);
    refused.writeFiles(test::replaceLine(short1, 9, ""), m.femText());
    EXPECT_FALSE(refused.run({0.0, 60.0}));
    EXPECT_EQ(refused.listing.str(),
              "              The number of piezometer level values supplied NVS =    1\n"
              "              Does not match the number of nodes                NN =    8\n");
}

TEST(InputGenerators, PrescribedHeadsWithAHugeStepDoNotWrapRound) {
    RadialModel m;
    m.r = {0.0, 1.0, 2.0, 4.0};
    m.z = {0.0, 10.0};
    m.obsNodes = {2};
    m.constantHead = true;
    std::string tim = m.timText();
    // The Dirichlet nodes 4 and 8 as one generator record (NNR 1 for NDN 2).
    const std::string listed = textio::listRecord({2, "  Number of Dirichlet nodes"}) + textio::listRecord({4}) +
                               textio::listRecord({8});
    const std::size_t at = tim.find(listed);
    ASSERT_NE(at, std::string::npos);
    {
        ModelRun run(m);
        std::string good = tim;
        good.replace(at, listed.size(), " 1\n 4 35.0 8 4\n");
        run.writeFiles(good, m.femText());
        ASSERT_TRUE(run.run({0.0, 60.0})) << run.listing.str();
        EXPECT_EQ(run.rs.model.DNODE(2), 8);
        EXPECT_EQ(run.rs.model.H0(8), 35.0);
    }
    ModelRun run(m);
    tim.replace(at, listed.size(), " 1\n 4 35.0 8 2147483647\n");
    run.writeFiles(tim, m.femText());
    EXPECT_FALSE(run.run({0.0, 60.0}));
    EXPECT_EQ(run.listing.str(),
              "1\n   The number of Dirichlet nodes wanted and number of nodes read, do not match\n\n"
              "                          NDN =    2          NNR =    1\n");
    EXPECT_EQ(run.rs.model.H0(4), 35.0);
}

TEST(InputHeader, NodesPerSideBeyondTwoOrThreeIsRefusedBeforeAnyCountIsDerived) {
    RadialModel m;
    m.r = {0.0, 1.0, 2.0, 4.0};
    m.z = {0.0, 10.0};
    m.obsNodes = {2};
    ModelRun run(m);
    run.writeFiles(test::replaceLine(m.timText(), 3, "    L99999\n"), m.femText());
    EXPECT_FALSE(run.run({0.0, 60.0}));
    EXPECT_EQ(run.boxTexts(), std::vector<std::string>{"Error:   Nodes per element side =  99999 in MODEL.tim must be 2 or 3"});
    EXPECT_EQ(run.rs.fem.gaussPoints, 0);
}

TEST(InputHeader, MoreThanNineObservationNodesAreRefused) {
    RadialModel m;
    m.r = {0.0, 1.0, 2.0, 4.0};
    m.z = {0.0, 10.0};
    m.obsNodes = {1, 2, 3, 4, 5, 6, 7, 8, 1, 2};
    ModelRun run(m);
    run.rs.fem.nobsNodes = 10;
    EXPECT_FALSE(run.run({0.0, 60.0}));
    EXPECT_EQ(run.boxTexts(), std::vector<std::string>{
                                  "Error:   Number of observation nodes =       10 is more than the 9 the simulation "
                                  "file MODEL.inv can list"});
    EXPECT_FALSE(run.dir.exists("MODEL.inv"));
}

// The output-time unit serves only the listings at the 999-step intervals.
TEST(InputHeader, OutputTimeUnitIsCheckedOnlyWhenAListingFallsDue) {
    RadialModel m;
    m.r = {0.0, 1.0, 2.0, 4.0};
    m.z = {0.0, 10.0};
    m.obsNodes = {2};
    {
        ModelRun run(m);
        run.rs.in.ITOUT = 0;
        EXPECT_TRUE(run.run({0.0, 60.0, 600.0})) << run.listing.str();
        EXPECT_TRUE(run.host.boxes.empty());
    }
    ModelRun run(m);
    run.rs.in.ITOUT = 0;
    std::vector<double> times;
    for (int i = 0; i < 1000; ++i) times.push_back(60.0 * i);
    EXPECT_FALSE(run.run(times));
    EXPECT_EQ(run.boxTexts(), std::vector<std::string>{"Error:   Unit index ITOUT =    0 lies outside its unit table"});
}

// The simulation file is replaced through a temporary file: one that cannot
// be replaced is named and keeps what the previous run wrote.
TEST(SimulationFile, AFileThatCannotBeReplacedKeepsThePreviousRun) {
    RadialModel m;
    m.r = {0.0, 1.0, 2.0, 4.0};
    m.z = {0.0, 10.0};
    m.obsNodes = {2};
    ModelRun run(m);
    run.dir.write("MODEL.inv", "previous run\n");
    std::filesystem::permissions(run.dir.path() / "MODEL.inv", std::filesystem::perms::owner_read,
                                 std::filesystem::perm_options::replace);
    EXPECT_FALSE(run.run({0.0, 60.0}));
    EXPECT_EQ(run.boxTexts(),
              std::vector<std::string>{"Error:  The simulation file MODEL.inv cannot be written (the file is read-only)"});
    EXPECT_EQ(run.dir.read("MODEL.inv"), "previous run\n");
}

} // namespace wf
