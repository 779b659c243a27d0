// wellfit-cli checks what a run needs before the solver sees it, names the run
// to make, keeps what --save was asked to keep, and answers --json always.
#include <regex>

#include "cli_runner.h"
#include "document/project_document.h"

namespace {

using namespace wf::clitest;

int count(const std::string& text, const std::string& what) {
    int n = 0;
    for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
    return n;
}

class RunChecks : public CliFolderTest {
protected:
    void SetUp() override {
        CliFolderTest::SetUp();
        copyFrom(WF_EXAMPLE_DIR, {"OKORENDIJK.wft", "OKORENDIJK.DAT"});
    }
    Outcome run(const std::string& args) { return runCli(dir_, args); }
    wf::doc::ProjectDocument load() {
        wf::doc::ProjectDocument doc;
        EXPECT_TRUE(doc.loadProject(dir_ / "OKORENDIJK.wft").ok());
        return doc;
    }
};

// The fine-model flag is an option like the others: --default-options resets
// the options first, in either order, and the flags given then apply.
TEST_F(RunChecks, FineFlagSurvivesDefaultOptionsInEitherOrder) {
    for (const char* args : {"--fine --default-options --mesh --save OKORENDIJK.wft",
                             "--default-options --fine --mesh --save OKORENDIJK.wft"}) {
        SCOPED_TRACE(args);
        const Outcome r = run(args);
        ASSERT_EQ(r.code, 0) << r.out << r.err;
        EXPECT_TRUE(load().analysisOptions.fineModel);
        // The fine mesh has more than the standard model's 20 rows.
        EXPECT_GT(load().mesh.NZ, 20) << r.out;
        ASSERT_EQ(run("--no-fine --mesh --save OKORENDIJK.wft").code, 0);
    }
}

// An analysis on a mesh made for the other model is refused, naming --mesh;
// --all makes the mesh again and fits.
TEST_F(RunChecks, MeshOfTheOtherModelIsRefusedNamingMesh) {
    ASSERT_EQ(run("--mesh --prepare --save OKORENDIJK.wft").code, 0);
    Outcome r = run("--fine --prepare --analyse OKORENDIJK.wft");
    EXPECT_EQ(r.code, 1);
    EXPECT_NE(r.err.find("Error: The mesh file OKORENDIJK.FEM was made for the standard model, but the project uses "
                         "the fine model: run the mesh construction (--mesh) again\n"),
              std::string::npos)
        << r.err;
    EXPECT_TRUE(side("OKORENDIJK.RES").empty());

    ASSERT_EQ(run("--fine --mesh --prepare --save OKORENDIJK.wft").code, 0);
    r = run("--no-fine --analyse OKORENDIJK.wft");
    EXPECT_EQ(r.code, 1);
    EXPECT_NE(r.err.find("was made for the fine model, but the project uses the standard model"), std::string::npos)
        << r.err;

    r = run("--no-fine --all --json OKORENDIJK.wft");
    EXPECT_TRUE(r.code == 0 || r.code == 3) << r.err;
    EXPECT_NE(r.out.find("\"model\": \"standard\", \"mesh\": {\"columns\": 19, \"rows\": 20}"), std::string::npos)
        << r.out;
}

// Runs of an earlier command that were not saved, and side files that do not
// exist, are named with the run to make, never with the solver's own words.
TEST_F(RunChecks, MissingOrUnsavedRunsAreNamedBeforeTheSolverRuns) {
    Outcome r = run("--analyse OKORENDIJK.wft");
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.err, "Error: The mesh file OKORENDIJK.FEM does not exist: run the mesh construction (--mesh) first\n");

    ASSERT_EQ(run("--mesh --save OKORENDIJK.wft").code, 0);
    r = run("--analyse OKORENDIJK.wft");
    EXPECT_EQ(r.err, "Error: The preparation files OKORENDIJK.OBS and OKORENDIJK.TIM do not exist: run the data "
                     "preparation (--prepare) first\n");

    // The README's own sequence on a fresh copy: --all without --save, then a prediction.
    for (const char* f : {"OKORENDIJK.wft", "OKORENDIJK.DAT"}) fs::remove(sidePath(f));
    copyFrom(WF_EXAMPLE_DIR, {"OKORENDIJK.wft", "OKORENDIJK.DAT"});
    ASSERT_EQ(run("--all OKORENDIJK.wft").code, 0);
    r = run("--analyse --type prediction --sim-days 30 --time-steps 50 OKORENDIJK.wft");
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.out.find("Discharge files differ"), std::string::npos) << r.out;
    EXPECT_NE(r.err.find("which a later run made without saving the project: run the mesh construction (--mesh) "
                         "again, or save the results of the runs (--save)"),
              std::string::npos)
        << r.err;
}

// --save keeps the settings and the fit also when the search ends with its
// notice (exit 3), and says so.
TEST_F(RunChecks, SaveAlsoAfterTheConvergenceNotice) {
    ASSERT_EQ(run("--all --save OKORENDIJK.wft").code, 0);
    Outcome r;
    for (int i = 0; i < 4 && r.code != 3; ++i) r = run("--analyse --max-passes 120 --save OKORENDIJK.wft");
    ASSERT_EQ(r.code, 3) << r.out << r.err;
    EXPECT_NE(r.out.find("Saved OKORENDIJK.wft\n"), std::string::npos) << r.out;
    const wf::doc::ProjectDocument doc = load();
    EXPECT_EQ(doc.analysisOptions.maxPasses, 120);
    const std::regex tf(R"(TF      = ([-+0-9.eE]+))");
    std::smatch m;
    ASSERT_TRUE(std::regex_search(r.out, m, tf)) << r.out;
    EXPECT_NEAR(doc.pinit.TF, std::stod(m[1]), 1e-4 * std::fabs(std::stod(m[1])));
}

// Under --json every failure is one object on standard output, naming its cause.
TEST_F(RunChecks, JsonNamesEveryFailure) {
    Outcome r = run("--json --no-such-flag OKORENDIJK.wft");
    EXPECT_EQ(r.code, 2);
    EXPECT_EQ(r.out.rfind("{\"status\": null, \"message\": \"Unknown option \\\"--no-such-flag\\\" (see --help)\"", 0),
              0u)
        << r.out;
    EXPECT_NE(r.out.find("\"exit_code\": 2}"), std::string::npos) << r.out;

    r = run("--json --prepare OKORENDIJK.wft");
    EXPECT_EQ(r.code, 1);
    EXPECT_NE(r.out.find("\"message\": \"Do mesh construction first and save\""), std::string::npos) << r.out;

    ASSERT_EQ(run("--mesh --save OKORENDIJK.wft").code, 0);
    r = run("--json --thick -3 --mesh OKORENDIJK.wft");
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.out.find("No analysis was run"), std::string::npos) << r.out;
    EXPECT_EQ(count(r.out, "\n"), 1) << r.out;
}

// Holding every parameter leaves nothing to fit: refused before any run.
TEST_F(RunChecks, HoldingEveryParameterIsRefusedAtOnce) {
    Outcome r = run("--all --hold tf,tm,sf,sm OKORENDIJK.wft");
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.err, "Error: --hold: holding tf,tm,sf,sm leaves no parameter to estimate (hold fewer)\n");
    EXPECT_TRUE(side("OKORENDIJK.FEM").empty());
    // One aquifer: holding either layer holds the shared unknown.
    r = run("--all --one-aquifer --hold tf,sm OKORENDIJK.wft");
    EXPECT_EQ(r.code, 1);
    EXPECT_NE(r.err.find("holding tf,sm with one aquifer leaves no parameter"), std::string::npos) << r.err;
    // Kept in the project, the set is refused as soon as an analysis is asked for.
    ASSERT_EQ(run("--hold tf,tm,sf,sm --mesh --prepare --save OKORENDIJK.wft").code, 0);
    r = run("--analyse --type fixed OKORENDIJK.wft");
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.out.find("TOTAL VARIABLES ARE ZERO"), std::string::npos) << r.out;
}

// A project file that is a link: the side files are those beside its target.
TEST_F(RunChecks, LinkedProjectUsesTheSideFilesBesideItsTarget) {
    fs::create_directories(dir_ / "elsewhere");
    fs::create_symlink("../OKORENDIJK.wft", dir_ / "elsewhere" / "LINK.wft");
    const Outcome r = run("--mesh elsewhere/LINK.wft");
    ASSERT_EQ(r.code, 0) << r.out << r.err;
    EXPECT_NE(r.out.find("(34 data points)"), std::string::npos) << r.out;
    EXPECT_FALSE(side("OKORENDIJK.FEM").empty());
    EXPECT_EQ(std::distance(fs::directory_iterator(dir_ / "elsewhere"), fs::directory_iterator()), 1);
}

// A project file cut short opens, with a warning naming the first field not read.
TEST_F(RunChecks, ProjectFileEndingEarlyIsOpenedWithAWarning) {
    const std::string bytes = readFile(dir_ / "OKORENDIJK.wft");
    std::ofstream(dir_ / "CUT.wft", std::ios::binary) << bytes.substr(0, 50);
    Outcome r = run("CUT.wft");
    EXPECT_EQ(r.code, 0);
    EXPECT_EQ(r.err, "Warning: CUT.wft ends after 50 bytes: ICOND and the later fields were not read\n");
    std::ofstream(dir_ / "EMPTY.wft", std::ios::binary);
    r = run("EMPTY.wft");
    EXPECT_EQ(r.err, "Warning: EMPTY.wft ends after 0 bytes: NR and the later fields were not read\n");
    r = run("OKORENDIJK.wft");
    EXPECT_EQ(r.err, "");
}

// A parameter held at its guess comes back as the guess itself in the report
// (not through its single-precision multiplier: 39.9999993).
TEST_F(RunChecks, HeldParameterComesBackExactlyAtItsGuess) {
    const Outcome r = run("--all --hold tf --tf 40 --json OKORENDIJK.wft");
    ASSERT_TRUE(r.code == 0 || r.code == 3) << r.err;
    EXPECT_NE(r.out.find("\"TF\": {\"value\": 40, \"unit\": \"m2/day\", \"estimated\": false, \"held\": true"),
              std::string::npos)
        << r.out;
    EXPECT_NE(side("OKORENDIJK.FIT").find("\nTF        4.000000E+01 "), std::string::npos) << side("OKORENDIJK.FIT");
}

// A word of the test-data file that is not a number is named with its line
// before the preparation runs (not only "Data format error in input file").
TEST_F(RunChecks, NonNumericTestDataNamesItsLineAndValue) {
    std::string dat = readFile(dir_ / "OKORENDIJK.DAT");
    const std::string second = " 2.50000000000000E-0001 8.00000000000000E-0002";
    ASSERT_NE(dat.find(second), std::string::npos);
    dat.replace(dat.find(second), second.size(), " 2.50000000000000E-0001 abc");
    std::ofstream(dir_ / "OKORENDIJK.DAT", std::ios::binary) << dat;
    const Outcome r = run("--mesh --prepare OKORENDIJK.wft");
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.err, "Error: Test data file OKORENDIJK.DAT, line 6: the value \"abc\" is not a number (import the "
                     "data again with --data FILE)\n");
    EXPECT_TRUE(side("OKORENDIJK.OBS").empty());
}

} // namespace
