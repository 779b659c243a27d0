// Model runs that stop without a simulation: missing, short or malformed
// model files, counts beyond the model arrays, a Neumann side off its
// element, and a non-positive pivot. None writes a simulation file.
#include <gtest/gtest.h>

#include "fem/model_run.h"

namespace wf {
namespace {

using test::ModelRun;
using test::RadialModel;

RadialModel smallModel() {
    RadialModel m;
    m.r = {0.0, 1.0, 2.0, 4.0};
    m.z = {0.0, 10.0};
    m.obsNodes = {2};
    return m;
}

const std::vector<double> kTimes{0.0, 60.0, 600.0};

// The header record with one of its twelve integers changed (0-based index).
std::string withProblemValue(const RadialModel& m, int index, int value) {
    std::vector<int> v{m.NN(), m.NE(), 4, m.constantHead ? m.NZ() : 0, 0, m.NB(), 0, 0, 2, m.NR() + 2, 0, 2 * m.NZ()};
    v[static_cast<std::size_t>(index)] = value;
    return test::replaceLine(m.timText(), 4, test::problemRecord(v));
}

// Runs and expects a refusal with exactly this message (listing and box).
void expectRefused(ModelRun& run, const std::string& message) {
    EXPECT_FALSE(run.run(kTimes));
    EXPECT_EQ(run.listing.str(), message + "\n");
    EXPECT_EQ(run.boxTexts(), std::vector<std::string>{"Error: " + message});
    EXPECT_FALSE(run.dir.exists("MODEL.inv"));
}

// Runs and expects a read failure of the named file; the run driver's
// rs.ioError() then shows the input-file box.
void expectReadError(ModelRun& run, const std::string& file, bool endOfFile) {
    EXPECT_FALSE(run.run(kTimes));
    EXPECT_TRUE(run.host.boxes.empty());
    EXPECT_EQ(run.rs.INNAME, file);
    EXPECT_EQ(run.rs.IOS < 0, endOfFile);
    EXPECT_NE(run.rs.IOS, 0);
    run.rs.ioError();
    EXPECT_EQ(run.boxTexts(), std::vector<std::string>{std::string("Error: ") +
                                                        (endOfFile ? "End of File reached in input file : "
                                                                   : "Data format error in input file : ") +
                                                        file});
    EXPECT_FALSE(run.dir.exists("MODEL.inv"));
}

TEST(ModelFailures, MissingModelFilesAreNamed) {
    {
        ModelRun run(smallModel());
        std::filesystem::remove(run.dir.path() / "MODEL.tim");
        expectReadError(run, "MODEL.tim", true);
    }
    ModelRun run(smallModel());
    std::filesystem::remove(run.dir.path() / "MODEL.fem");
    expectReadError(run, "MODEL.fem", true);
}

TEST(ModelFailures, ShortModelFilesEndTheRun) {
    {
        ModelRun run(smallModel());
        const std::string tim = run.model.timText();
        run.writeFiles(tim.substr(0, tim.find("Initial Waterlevel")), run.model.femText());
        // The generator record itself is complete; the sources are missing.
        expectReadError(run, "MODEL.tim", true);
    }
    ModelRun run(smallModel());
    const std::string fem = run.model.femText();
    run.writeFiles(run.model.timText(), fem.substr(0, fem.find('\n', fem.size() / 2) + 1));
    expectReadError(run, "MODEL.fem", true);
}

TEST(ModelFailures, MalformedRecordsAreDataFormatErrors) {
    {
        ModelRun run(smallModel());
        run.writeFiles(test::replaceLine(run.model.timText(), 6, "  abc  # Timesteps\n"), run.model.femText());
        expectReadError(run, "MODEL.tim", false);
    }
    ModelRun run(smallModel());
    run.writeFiles(run.model.timText(), test::replaceLine(run.model.femText(), 4, "     2   1.0E+00   x.0   1\n"));
    expectReadError(run, "MODEL.fem", false);
}

TEST(ModelFailures, CountsBeyondTheModelArraysAreRefused) {
    // The arrays of a 4 x 2 mesh: NN 8, 3 elements, NZ = 2 well-row entries,
    // NB = 8 boundary sides.
    const RadialModel m = smallModel();
    struct Case {
        int index, value;
        std::string message;
    };
    const std::vector<Case> cases{
        {0, 9, "  Number of nodes NN =        9 in MODEL.tim does not fit the model arrays, which hold       8"},
        {1, 4, "  Number of elements =        4 of 4 nodes in MODEL.tim does not fit the model arrays, which hold      12 element nodes"},
        {3, 3, "  Number of Dirichlet nodes NDN =        3 in MODEL.tim does not fit the model arrays, which hold       2"},
        {5, 9, "  Number of boundary sides =        9 in MODEL.tim does not fit the model arrays, which hold       8"},
        {6, 3, "  Number of Neumann sides =        3 in MODEL.tim does not fit the model arrays, which hold       2"},
        {8, 3, "  Number of point sources =        3 in MODEL.tim does not fit the model arrays, which hold       2"},
    };
    for (const Case& c : cases) {
        ModelRun run(m);
        run.writeFiles(withProblemValue(m, c.index, c.value), m.femText());
        SCOPED_TRACE(c.message);
        expectRefused(run, c.message);
    }
}

TEST(ModelFailures, ElementsBeyondFourNodesAndUnknownSidesAreRefused) {
    const RadialModel m = smallModel();
    {
        ModelRun run(m);
        std::string tim = test::replaceLine(withProblemValue(m, 2, 8), 3, "    L    3\n");
        run.writeFiles(tim, m.femText());
        expectRefused(run, "  Nodes per element =    8 in MODEL.tim does not fit family L with 3 nodes per side, which has 9");
    }
    {
        ModelRun run(m);
        run.writeFiles(test::replaceLine(m.timText(), 3, "    L    3\n"), m.femText());
        expectRefused(run, "  Nodes per element =    4 in MODEL.tim does not fit family L with 3 nodes per side, which has 9");
    }
    ModelRun run(m);
    run.writeFiles(test::replaceLine(m.timText(), 3, "    L    4\n"), m.femText());
    expectRefused(run, "  Nodes per element side =      4 in MODEL.tim must be 2 or 3");
}

TEST(ModelFailures, ProfilesLongerThanTwentyOnePointsAreRefused) {
    const RadialModel m = smallModel();
    ModelRun run(m);
    std::string tim = m.timText();
    // First source record: node 1 with 22 points.
    const std::string record = textio::listRecord({1, 2});
    const std::size_t at = tim.find(record);
    ASSERT_NE(at, std::string::npos);
    tim.replace(at, record.size(), " 1 22\n");
    run.writeFiles(tim, m.femText());
    expectRefused(run, "  Point source   1 at node     1 in MODEL.tim has    22 profile points; 1 to  21 fit the model arrays");
}

// An element given twice leaves another without nodes (their node 0 would be
// read outside the arrays): refused.
TEST(ModelFailures, ElementGivenTwiceIsRefused) {
    const RadialModel m = smallModel();
    ModelRun run(m);
    run.writeFiles(m.timText(), test::replaceLine(m.femText(), 12, "     1     1     2     6     5\n"));
    expectRefused(run, "  Element       1 is given twice in the element records of MODEL.fem");
}

TEST(ModelFailures, NodesOutsideTheMeshAreRefused) {
    const RadialModel m = smallModel();
    {
        ModelRun run(m);
        run.writeFiles(m.timText(), test::replaceLine(m.femText(), 11, "     1     1     2     9     5\n"));
        expectRefused(run, "  Node       9 in the element records of MODEL.fem is not a node of the mesh (1 to     8)");
    }
    ModelRun run(m);
    run.writeFiles(test::replaceLine(m.timText(), 8, " 12 Observation Nodes\n"), m.femText());
    expectRefused(run, "  Node      12 in the observation nodes of MODEL.tim is not a node of the mesh (1 to     8)");
}

// Model-control file with one Neumann side on the top of element 1 (flux type
// 1, fluxes in the flux unit), inserted before the point sources.
std::string withNeumannSide(const RadialModel& m, const std::string& side) {
    std::string tim = withProblemValue(m, 6, 1);
    return test::insertLine(tim, 11, " 1\n" + side + " 2.0 3.0\n");
}

TEST(ModelFailures, NeumannSideStartingOffItsElementIsRefused) {
    const RadialModel m = smallModel();
    {
        // Top side of element 1, nodes 6 -> 5: read, fluxes converted from mm/s.
        ModelRun run(m);
        run.rs.in.IFLUX = 1;
        run.writeFiles(withNeumannSide(m, " 1 6 5\n"), m.femText());
        ASSERT_TRUE(run.run(kTimes));
        EXPECT_EQ(run.rs.fem.fluxType, 1);
        EXPECT_EQ(run.rs.model.NSIDE(1, 2), 6);
        EXPECT_DOUBLE_EQ(run.rs.model.NFLUX(1, 1), 0.002);
        EXPECT_DOUBLE_EQ(run.rs.model.NFLUX(1, 2), 0.003);
    }
    // Node 3 is no node of element 1 (nodes 1, 2, 6, 5).
    ModelRun run(m);
    run.writeFiles(withNeumannSide(m, " 1 3 4\n"), m.femText());
    expectRefused(run, "  Neumann side   1 in MODEL.tim starts at node     3, which is not a node of element     1");
}

TEST(ModelFailures, NonPositivePivotStopsTheRunNamingRowAndTime) {
    ModelRun run(smallModel());
    // Negative multipliers make the step matrix negative definite.
    for (double& p : run.P) p = -1.0;
    EXPECT_FALSE(run.run(kTimes));
    EXPECT_EQ(run.boxTexts(), std::vector<std::string>{
                                  "Error: Zero or negative pivot in row     1 of the flow equations at time  6.000E+01 s"});
    EXPECT_FALSE(run.dir.exists("MODEL.inv"));
}

TEST(ModelFailures, UnitIndexOutsideItsTableIsRefused) {
    ModelRun run(smallModel());
    run.rs.in.ITIN = 6;
    expectRefused(run, "  Unit index ITIN =    6 lies outside its unit table");
}

} // namespace
} // namespace wf
