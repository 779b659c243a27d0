// The entry call and the run driver: base names, header reads, failure rows,
// work-array sizes and copy-in.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <functional>
#include <limits>
#include <vector>
#include <string>

#include "entry/run_driver.h"
#include "support/entry_records.h"
#include "support/recording_host.h"
#include "support/solver_run.h"
#include "support/temp_dir.h"
#include "wfcore/wfcore.h"

using wf::test::RecordedBox;
using wf::test::RecordingHost;
using wf::test::TempWorkDir;

namespace {

using Records = wf::test::ProjectRecords;

class EntryCall : public ::testing::Test {
protected:
    void SetUp() override { wfSetHost(host.host()); }
    void TearDown() override { wfSetHost(nullptr); }
    bool folderEmpty() const { return std::filesystem::is_empty(dir.path()); }

    TempWorkDir dir;
    RecordingHost host;
};

} // namespace

TEST_F(EntryCall, BaseNameOutsideOneToTwelveCharactersIsRefused) {
    const std::string message = "The project file name must have 1 to 12 characters before \".wft\"";
    for (const std::string& base : {std::string(), std::string("ABCDEFGHIJKLM")}) {
        Records r(base);
        const Records before = r;
        r.call(4, 0);
        ASSERT_FALSE(host.boxes.empty());
        EXPECT_EQ(host.boxes.back(), (RecordedBox{"Error", message}));
        EXPECT_EQ(std::memcmp(&r.mesh, &before.mesh, sizeof r.mesh), 0);
        EXPECT_EQ(std::memcmp(&r.obsv, &before.obsv, sizeof r.obsv), 0);
    }
    EXPECT_EQ(host.boxes.size(), 2u);
    EXPECT_TRUE(folderEmpty());
}

TEST_F(EntryCall, BaseNameWithAFolderSeparatorIsRefused) {
    Records r("../x");
    r.call(5, 0);
    ASSERT_EQ(host.boxes.size(), 1u);
    EXPECT_EQ(host.boxes[0].caption, "Error");
    EXPECT_TRUE(folderEmpty());
}

TEST_F(EntryCall, OtherModesRunNothingButShowBothLines) {
    Records r("TEST");
    r.call(7, 0);
    EXPECT_EQ(host.windowShown, 1);
    EXPECT_EQ(host.lines, (std::vector<std::string>{"WELLFIT: Start Computation", "WELLFIT: Computation Complete"}));
    EXPECT_TRUE(host.boxes.empty());
    EXPECT_TRUE(folderEmpty());
}

TEST_F(EntryCall, PreparationRunOnATwoLineDataFileReportsEndOfFile) {
    dir.write("TEST.dat", "TEST.wft\n\n");
    Records r("TEST");
    r.mesh.NR = 16;
    r.call(5, 0);
    EXPECT_EQ(host.boxes, (std::vector<RecordedBox>{{"Error", "End of File reached in input file : TEST.dat"}}));
    EXPECT_FALSE(dir.exists("TEST.tim"));
    EXPECT_FALSE(dir.exists("TEST.obs"));
    // Mesh and preparation runs neither show the window nor touch its list.
    EXPECT_EQ(host.windowShown, 0);
    EXPECT_TRUE(host.codes.empty());
}

TEST_F(EntryCall, PreparationRunWithoutDataFileReportsEndOfFile) {
    Records r("TEST");
    r.call(5, 0);
    EXPECT_EQ(host.boxes, (std::vector<RecordedBox>{{"Error", "End of File reached in input file : TEST.dat"}}));
}

TEST_F(EntryCall, NegativeOrAbsurdPointCountIsADataFormatError) {
    for (const char* count : {"-3", "2000000000", "12x"}) {
        host.boxes.clear();
        dir.write("TEST.dat", std::string("TEST.wft\n\n") + count + "\n\n");
        Records r("TEST");
        r.call(5, 0);
        EXPECT_EQ(host.boxes, (std::vector<RecordedBox>{{"Error", "Data format error in input file : TEST.dat"}}))
            << count;
    }
}

TEST_F(EntryCall, UppercaseDataFileOfTheProgramIsTheSolversFile) {
    dir.write("TEST.DAT", "TEST.wft\n\n");  // written by the desktop program
    Records r("TEST");
    r.call(5, 0);
    // The solver reads the program's file; the message names the file by the solver's name.
    EXPECT_EQ(host.boxes, (std::vector<RecordedBox>{{"Error", "End of File reached in input file : TEST.dat"}}));
}

TEST_F(EntryCall, AnalysisRunReportsFormatErrorOfObservationFile) {
    dir.write("TEST.obs", "title\n Pumping rate =  1.000E+00 ...:    1\n one 30\n");
    Records r("TEST");
    const PINIT before = r.pinit;
    r.call(6, 1);
    EXPECT_EQ(host.boxes, (std::vector<RecordedBox>{{"Error", "Data format error in input file : TEST.obs"}}));
    ASSERT_GE(host.lines.size(), 2u);
    EXPECT_EQ(host.lines.front(), "WELLFIT: Start Computation");
    EXPECT_EQ(host.lines.back(), "WELLFIT: Computation Complete");
    EXPECT_EQ(std::memcmp(&r.pinit, &before, sizeof before), 0);
}

TEST_F(EntryCall, MeshRunAfterFailedPreparationShowsNoErrorBox) {
    Records r("TEST");
    r.call(5, 0);  // no test data: fails
    ASSERT_EQ(host.boxes.size(), 1u);
    r.call(4, 0);
    EXPECT_EQ(host.boxes.size(), 1u);
}

// A model set of 200000 x 200000 nodes cannot be had: the counts are refused
// before any work array is sized from them, and nothing is written back.
TEST_F(EntryCall, WorkArraysOfAMeshBeyondTheLargestAreRefusedBeforeAllocation) {
    dir.write("TEST.obs", "title\n Pumping rate\n 1 30\n");
    Records r("TEST");
    r.mesh.NR = 200000;
    r.mesh.NZ = 200000;
    const PINIT before = r.pinit;
    r.call(6, 0);
    EXPECT_EQ(host.boxes, (std::vector<RecordedBox>{
                              {"Error", "The mesh of 200000 x 200000 nodes in the records is larger than any mesh run "
                                        "lays out (400 x 200): do the mesh construction again"}}));
    EXPECT_EQ(std::memcmp(&r.pinit, &before, sizeof before), 0);
}

// NTIM, the length of the analysis time axis, from NT of the observation file
// and the prediction's NSTEP.
TEST(RunDriver, TimeAxisLengthFollowsObservationsOrPredictionSteps) {
    TempWorkDir dir;
    dir.write("TEST.obs", "title\n Pumping rate\n 1 30\n");
    RecordingHost host;
    for (auto [nstep, ntim] : {std::pair{0.0, 36}, std::pair{100.0, 100}, std::pair{32.0, 32}}) {
        wf::RunState rs;
        rs.rep.setHost(host.host());
        FILENAME_VIEW view{};
        view.baseLength = 4;
        std::memcpy(view.baseName, "TEST", 4);
        MESH mesh = wf::defaults::mesh();
        OBSV obsv = wf::defaults::obsv();
        PUMP pump = wf::defaults::pump();
        pump.NSTEP = static_cast<float>(nstep);
        PINIT pinit = wf::defaults::pinit();
        wf::test::solverRun(rs, 6, 1, view, mesh, obsv, pump, wf::defaults::guess(), pinit, wf::defaults::units(),
                            wf::defaults::nzero());
        EXPECT_EQ(rs.NOBSF, 1);
        EXPECT_EQ(rs.NT, 30);
        EXPECT_EQ(rs.NTIM, ntim) << "NSTEP " << nstep;
    }
}

TEST(RunDriver, CopyInWidensRealsAndKeepsIntegers) {
    wf::RunState rs;
    MESH mesh = wf::defaults::mesh();
    OBSV obsv = wf::defaults::obsv();
    obsv.ROBS[3] = 7.5f;
    obsv.IPOS[3] = 2;
    PUMP pump = wf::defaults::pump();
    pump.Q[19] = 0.1f;
    pump.TQ[19] = 3.3f;
    GUESS guess = wf::defaults::guess();
    guess.PHI[3] = 42.0f;
    PINIT pinit = wf::defaults::pinit();
    pinit.TFMAX = 99.0f;
    NZERO nzero{3};
    wf::INITIALIZE(rs, mesh, obsv, pump, guess, pinit, wf::defaults::units(), nzero);
    EXPECT_EQ(rs.in.RATIO, static_cast<double>(0.2f));  // widened, not re-rounded to 0.2
    EXPECT_EQ(rs.in.RMAX, 1024.0);
    EXPECT_EQ(rs.in.ROBS[4], 7.5);
    EXPECT_EQ(rs.in.IPOS[4], 2);
    EXPECT_EQ(rs.in.Q[20], static_cast<double>(0.1f));
    EXPECT_EQ(rs.in.TQ[20], static_cast<double>(3.3f));
    EXPECT_EQ(rs.in.PHI[4], 42.0);
    EXPECT_EQ(rs.in.SCALT, static_cast<double>(1.0e-5f));
    EXPECT_EQ(rs.in.TM, static_cast<double>(0.001f));
    EXPECT_EQ(rs.in.ICOND, 12);
    EXPECT_EQ(rs.in.IDISCH, 8);
    EXPECT_EQ(rs.in.NSKIP, 3);
    EXPECT_EQ(rs.in.NE, 1);
    EXPECT_EQ(rs.in.NB, -4);
}

TEST(RunDriver, SetFileTakesBaseNameAndTitleBytes) {
    FILENAME f{};
    f.baseLength = 4;
    std::strcpy(f.projectName, "DEMO.wft");
    FILENAME_VIEW view;
    std::memcpy(&view, &f, sizeof view);
    wf::RunState rs;
    wf::SET_FILE(rs, view);
    EXPECT_EQ(rs.base(), "DEMO");
    EXPECT_EQ(rs.file(".fem"), "DEMO.fem");
    EXPECT_EQ(std::string(rs.BASE, 12), "DEMO        ");
    // The title is bytes 16-87: the 13th and later name characters, here all NUL.
    EXPECT_EQ(rs.title1(), std::string(72, '\0'));
}

TEST_F(EntryCall, RefusedBaseNameStillEndsWithTheCompleteLine) {
    Records r("ABCDEFGHIJKLM");
    r.call(6, 0);
    EXPECT_EQ(host.boxes.size(), 1u);
    EXPECT_EQ(host.lines, (std::vector<std::string>{"WELLFIT: Start Computation", "WELLFIT: Computation Complete"}));
}

TEST_F(EntryCall, StepCountOutOfRangeIsNamedAsNstep) {
    dir.write("TEST.obs", "title\n Pumping rate =  1.000E+00 ...:    1\n 1 30\n");
    for (float nstep : {1.0e9f, -1.0f}) {
        host.boxes.clear();
        Records r("TEST");
        r.pump.NSTEP = nstep;
        const PINIT before = r.pinit;
        r.call(6, 2);
        ASSERT_EQ(host.boxes.size(), 1u);
        EXPECT_EQ(host.boxes[0].text, "Number of time steps NSTEP = " + std::string(nstep > 0 ? "1e+09" : "-1") +
                                          " must lie between 0 and 1000000");
        EXPECT_EQ(std::memcmp(&r.pinit, &before, sizeof before), 0);
    }
}

// A value that is not a number never reaches a run: the box names the field,
// nothing is written and no record changes.
TEST_F(EntryCall, RealsThatAreNotFiniteAreRefusedByName) {
    struct Case {
        int mode;
        std::function<void(Records&)> set;
        std::string field, value;
    };
    const float nan = std::numeric_limits<float>::quiet_NaN(), inf = std::numeric_limits<float>::infinity();
    const std::vector<Case> cases = {
        {4, [&](Records& r) { r.mesh.RMAX = inf; }, "RMAX", "Infinity"},
        {4, [&](Records& r) { r.obsv.ROBS[0] = nan; }, "ROBS(1)", "NaN"},
        {5, [&](Records& r) { r.pump.Q[0] = nan; }, "Q(1)", "NaN"},
        {5, [&](Records& r) { r.pump.NQ = 2; r.pump.TQ[1] = -inf; }, "TQ(2)", "-Infinity"},
        {6, [&](Records& r) { r.pump.Q[0] = nan; }, "Q(1)", "NaN"},
        {6, [&](Records& r) { r.guess.PHI[2] = inf; }, "PHI(3)", "Infinity"},
        {6, [&](Records& r) { r.pinit.SM = nan; }, "SM", "NaN"},
        {6, [&](Records& r) { r.pump.NSTEP = nan; }, "NSTEP", "NaN"},
    };
    dir.write("TEST.dat", "TEST.wft\n\n2\n\n0 0\n1 0.1\n");
    dir.write("TEST.obs", "title\n Pumping rate =  1.000E+00 ...:    1\n 1 2\n");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.field);
        host.boxes.clear();
        Records r("TEST");
        r.mesh.NR = 16;
        c.set(r);
        const Records before = r;
        r.call(c.mode, 0);
        EXPECT_EQ(host.boxes, (std::vector<RecordedBox>{{"Error", "The value of " + c.field +
                                                                      " is not a finite number (" + c.value +
                                                                      "); nothing has been computed"}}));
        EXPECT_EQ(std::memcmp(&r.mesh, &before.mesh, sizeof r.mesh), 0);
        EXPECT_EQ(std::memcmp(&r.pinit, &before.pinit, sizeof r.pinit), 0);
        EXPECT_FALSE(dir.exists("TEST.fem"));
        EXPECT_FALSE(dir.exists("TEST.tim"));
        EXPECT_FALSE(dir.exists("TEST.res"));
    }
}

// Mesh counts of a damaged project beyond the largest mesh are refused by the
// runs that read them (a product of 65536 x 65536 nodes wraps to 0 in 32 bits
// and would match an NN of 0).
TEST_F(EntryCall, MeshCountsBeyondTheLargestMeshAreRefused) {
    dir.write("TEST.dat", "TEST.wft\r\n\r\n1\r\n\r\n 1.0 0.1\r\n");
    for (const auto& [nr, nz] : {std::pair{401, 20}, std::pair{16, 201}, std::pair{65536, 65536}}) {
        host.boxes.clear();
        Records r("TEST");
        r.mesh.NR = nr;
        r.mesh.NZ = nz;
        r.mesh.NN = 0;
        r.mesh.NE = 0;
        for (int mode : {5, 6}) {
            host.boxes.clear();
            r.call(mode, 0);
            ASSERT_FALSE(host.boxes.empty());
            EXPECT_EQ(host.boxes.front().text, "The mesh of " + std::to_string(nr) + " x " + std::to_string(nz) +
                                                   " nodes in the records is larger than any mesh run lays out "
                                                   "(400 x 200): do the mesh construction again");
        }
        EXPECT_FALSE(dir.exists("TEST.obs"));
    }
}
