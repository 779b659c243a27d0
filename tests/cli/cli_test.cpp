// wellfit-cli end to end: the bundled Oude Korendijk example, options, refusals
// and exit codes.
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>
#include <string>

#include "cli_runner.h"
#include "document/project_document.h"

namespace {

using namespace wf::clitest;

// Standard output and standard error together, as on the terminal.
using Result = Outcome;
Result run(const fs::path& dir, const std::string& args) { return runCli(dir, args, true); }

class Cli : public CliFolderTest {
protected:
    // A fresh copy of the bundled example.
    void copyExample() { copyFrom(WF_EXAMPLE_DIR, {"OKORENDIJK.wft", "OKORENDIJK.DAT"}); }
    bool sideFileExists(const std::string& name) const { return !sidePath(name).empty(); }
};

double printedValue(const std::string& out, const std::string& label) {
    const std::regex re(label + R"(\s*=\s*([-+0-9.eE]+))");
    std::smatch m;
    if (!std::regex_search(out, m, re)) return -1.0;
    return std::stod(m[1]);
}

TEST_F(Cli, HelpDocumentsEveryOption) {
    const Result r = run(dir_, "--help");
    EXPECT_EQ(r.code, 0);
    for (const char* opt : {"--new", "--save", "--units", "--data", "--borehole", "--thick", "--ratio", "--rmax", "--robs",
                            "--position", "--step", "--pump-position", "--boundary", "--levels", "--subset", "--type",
                            "--ignore", "--rmse", "--sim-days", "--time-steps", "--reset-parameters", "--set-bounds",
                            "--tf", "--sm-max", "--mesh", "--prepare", "--analyse", "--all", "--verbose", "--force",
                            "--fine"})
        EXPECT_NE(r.out.find(opt), std::string::npos) << opt;
}

TEST_F(Cli, BadCommandLinesAreRefusedWithTheOptionNamed) {
    const struct {
        std::string args, message;
    } cases[] = {
        {"", "wellfit-cli: No project file given (see --help)\n"},
        {"P.wft --frobnicate", "wellfit-cli: Unknown option \"--frobnicate\" (see --help)\n"},
        {"P.wft --thick", "wellfit-cli: Option --thick needs a value (see --help)\n"},
        {"P.wft --thick 4o", "wellfit-cli: --thick: \"4o\" is not a valid number\n"},
        {"P.wft --position top", "wellfit-cli: --position: \"top\" is not one of fracture, matrix, well\n"},
        {"P.wft --step 0-788", "wellfit-cli: --step: \"0-788\" is not TIME:RATE\n"},
        {"P.wft --subset 1", "wellfit-cli: --subset: select 0 (all times) or at least 2 times\n"},
        {"P.wft --ignore -2", "wellfit-cli: --ignore: \"-2\" must not be negative\n"},
        {"P.wft --units m,min,min,m/day", "wellfit-cli: --units: give five units dist,tin,tout,cond,disch, e.g. "
                                          "3,2,2,12,8 or m,min,min,m/day,m3/day (not \"m,min,min,m/day\")\n"},
        {"P.wft --units 3,2,2,13,8", "wellfit-cli: --units: \"13\" is not a conductivity unit (1 mm/s, 2 mm/min, 3 "
                                     "mm/h, 4 mm/day, 5 cm/s, 6 cm/min, 7 cm/h, 8 cm/day, 9 ms/s, 10 m/min, 11 m/h, 12 m/day)\n"},
        {"A.wft B.wft", "wellfit-cli: Only one project file may be given (\"A.wft\" and \"B.wft\")\n"},
        {"A.wft --new B.wft", "wellfit-cli: Give either a project file to open or --new PATH, not both\n"},
        // Without ".wft" the stem would lose four characters ("OKOREN" -> "OK").
        {"--new OKOREN", "wellfit-cli: The project file name \"OKOREN\" must end in \".wft\" after at least one character\n"},
        {"P.dat --mesh", "wellfit-cli: The project file name \"P.dat\" must end in \".wft\" after at least one character\n"},
        {"--new .wft", "wellfit-cli: The project file name \".wft\" must end in \".wft\" after at least one character\n"},
    };
    for (const auto& c : cases) {
        const Result r = run(dir_, c.args);
        EXPECT_EQ(r.code, 2) << c.args;
        EXPECT_EQ(r.out, c.message) << c.args;
    }
    EXPECT_TRUE(fs::is_empty(dir_));
}

TEST_F(Cli, NewProjectTakesTheSettingsAndImportsTheData) {
    std::ofstream(dir_ / "pairs.txt") << "# time drawdown\n0.5\t0.1\n\n1.5  0.25\n";
    const Result r = run(dir_, "--new T.wft --units cm,s,h,mm/s,L/s --thick 12.5 --ratio 0.3 --rmax 800 --robs 5 "
                               "--position matrix --step 0:2 --step 30:3 --pump-position matrix --boundary noflow "
                               "--levels masl --tf 7 --borehole BH1 --data pairs.txt --save");
    ASSERT_EQ(r.code, 0) << r.out;
    wf::doc::ProjectDocument doc;
    ASSERT_TRUE(doc.openProject(dir_ / "T.wft").project.ok());
    EXPECT_EQ(doc.units.IDIST, 2);
    EXPECT_EQ(doc.units.ITIN, 1);
    EXPECT_EQ(doc.units.ITOUT, 3);
    EXPECT_EQ(doc.units.ICOND, 1);
    EXPECT_EQ(doc.units.IFLUX, 12);
    EXPECT_EQ(doc.units.IDISCH, 1);
    EXPECT_EQ(doc.obsv.THICK, 12.5f);
    EXPECT_EQ(doc.obsv.RATIO, 0.3f);
    EXPECT_EQ(doc.mesh.RMAX, 800.0f);
    EXPECT_EQ(doc.obsv.ROBS[0], 5.0f);
    EXPECT_EQ(doc.obsv.IPOS[0], 2);
    EXPECT_EQ(doc.pump.NQ, 2);
    EXPECT_EQ(doc.pump.TQ[1], 30.0f);
    EXPECT_EQ(doc.pump.Q[1], 3.0f);
    EXPECT_EQ(doc.pump.IPUMP, 2);
    EXPECT_EQ(doc.pump.IOPP, 0);
    EXPECT_EQ(doc.pump.IWLO, 1);
    EXPECT_EQ(doc.pinit.TF, 7.0f);
    EXPECT_EQ(doc.boreholeName(), "BH1");
    ASSERT_EQ(doc.pointCount(), 2);
    EXPECT_EQ(doc.times()[1], "1.50000000000000E+0000");
    EXPECT_EQ(doc.values()[1], "2.50000000000000E-0001");
}

TEST_F(Cli, RefusedStepsExitWithOneAndNameTheCause) {
    copyExample();
    Result r = run(dir_, "OKORENDIJK.wft --prepare");
    EXPECT_EQ(r.code, 1);
    EXPECT_NE(r.out.find("Error: Do mesh construction first and save\n"), std::string::npos) << r.out;
    EXPECT_FALSE(sideFileExists("OKORENDIJK.tim"));

    r = run(dir_, "OKORENDIJK.wft --type prediction --time-steps 0 --sim-days 2 --analyse");
    EXPECT_EQ(r.code, 1);
    EXPECT_NE(r.out.find("Error: Number of timesteps cannot be zero for predictions\n"), std::string::npos) << r.out;

    r = run(dir_, "OKORENDIJK.wft --tf 100 --tf-min 200 --analyse");
    EXPECT_EQ(r.code, 1);
    EXPECT_NE(r.out.find("Error: Guesses not between minimum and maximum values\n"), std::string::npos) << r.out;

    r = run(dir_, "OKORENDIJK.wft --ratio 1 --analyse");
    EXPECT_EQ(r.code, 1);
    EXPECT_NE(r.out.find("Error: Cannot convert the parameters: the ratio of the fracture must be greater than 0 "
                         "and less than 1 (it is 1)\n"),
              std::string::npos)
        << r.out;

    std::ofstream(dir_ / "bad.txt") << "1 0.5\n2\n";
    r = run(dir_, "OKORENDIJK.wft --data bad.txt");
    EXPECT_EQ(r.code, 1);
    EXPECT_NE(r.out.find("Error: Data file " + fs::absolute(dir_ / "bad.txt").string() + ", line 2: the value is missing\n"),
              std::string::npos)
        << r.out;

    r = run(dir_, "MISSING.wft --mesh");
    EXPECT_EQ(r.code, 1);
    EXPECT_NE(r.out.find("Error: Cannot open the project file MISSING.wft (it does not exist)\n"), std::string::npos) << r.out;
}

TEST_F(Cli, MeshAndPreparationWriteTheSideFiles) {
    copyExample();
    const Result r = run(dir_, "OKORENDIJK.wft --mesh --prepare --save");
    ASSERT_EQ(r.code, 0) << r.out;
    for (const char* f : {"OKORENDIJK.fem", "OKORENDIJK.plt", "OKORENDIJK.tim", "OKORENDIJK.obs"})
        EXPECT_TRUE(sideFileExists(f)) << f;
    // The saved project now holds the mesh: 20 node rows, observation node set.
    wf::doc::ProjectDocument doc;
    ASSERT_TRUE(doc.loadProject(dir_ / "OKORENDIJK.wft").ok());
    EXPECT_EQ(doc.mesh.NZ, 20);
    EXPECT_EQ(doc.mesh.NN, doc.mesh.NR * doc.mesh.NZ);
    EXPECT_GT(doc.obsv.NODOBS[0], 0);
    // The observation file holds the 34 points (all times used, the first at 0.1 min
    // gets a time-0 record in front): "1 35" on its third line.
    std::istringstream obs(side("OKORENDIJK.obs"));
    std::string line;
    for (int i = 0; i < 3; ++i) std::getline(obs, line);
    std::istringstream counts(line);
    int nobs = 0, records = 0;
    counts >> nobs >> records;
    EXPECT_EQ(nobs, 1);
    EXPECT_EQ(records, 35);
}

TEST_F(Cli, SolverErrorBoxesMakeTheExitStatusNonZero) {
    copyExample();
    // A model-control file damaged after the preparation: the solver's read fails.
    ASSERT_EQ(run(dir_, "OKORENDIJK.wft --mesh --prepare --save").code, 0);
    std::ofstream(sidePath("OKORENDIJK.TIM")) << "damaged\n";
    const Result r = run(dir_, "OKORENDIJK.wft --analyse");
    EXPECT_EQ(r.code, 1);
    EXPECT_NE(r.out.find("Error: "), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("in input file : OKORENDIJK.tim\n"), std::string::npos) << r.out;
    // Nothing was fitted: the guesses are not presented as parameters.
    EXPECT_NE(r.out.find("No parameters were computed; the project's guesses are unchanged.\n"), std::string::npos)
        << r.out;
    EXPECT_EQ(r.out.find("Transmissivity (fracture)"), std::string::npos) << r.out;
}

TEST_F(Cli, NewRefusesAnExistingFileUnlessForced) {
    copyExample();
    const std::string dat = readFile(dir_ / "OKORENDIJK.DAT");
    // "--new OKORENDIJK.DAT" is refused by its name; an existing project by its existence.
    const std::string project = readFile(dir_ / "OKORENDIJK.wft");
    Result r = run(dir_, "--new OKORENDIJK.wft");
    EXPECT_EQ(r.code, 1);
    EXPECT_NE(r.out.find("Error: OKORENDIJK.wft already exists; it is left as it is (use --force to replace it with "
                         "a new project)\n"),
              std::string::npos)
        << r.out;
    EXPECT_EQ(readFile(dir_ / "OKORENDIJK.wft"), project);
    EXPECT_EQ(run(dir_, "--new OKORENDIJK.DAT").code, 2);
    EXPECT_EQ(readFile(dir_ / "OKORENDIJK.DAT"), dat);

    r = run(dir_, "--new OKORENDIJK.wft --force");
    EXPECT_EQ(r.code, 0) << r.out;
    EXPECT_EQ(fs::file_size(dir_ / "OKORENDIJK.wft"), 132u);  // the default project
}

TEST_F(Cli, DataFromAFolderOrAnEmptyFileNeverReplacesTheTestData) {
    copyExample();
    const std::string dat = readFile(dir_ / "OKORENDIJK.DAT");
    fs::create_directory(dir_ / "folder");
    Result r = run(dir_, "OKORENDIJK.wft --data folder --save");
    EXPECT_EQ(r.code, 1);
    EXPECT_NE(r.out.find("Error: Cannot read the data file " + fs::absolute(dir_ / "folder").string() +
                         ": it is a folder\n"),
              std::string::npos)
        << r.out;
    std::ofstream(dir_ / "empty.txt") << "# nothing measured\n\n";
    r = run(dir_, "OKORENDIJK.wft --data empty.txt");
    EXPECT_EQ(r.code, 1);
    EXPECT_NE(r.out.find("Error: Data file " + fs::absolute(dir_ / "empty.txt").string() + " holds no data points\n"),
              std::string::npos)
        << r.out;
    EXPECT_EQ(readFile(dir_ / "OKORENDIJK.DAT"), dat);

    // A damaged test-data file is named as the project names it, without a folder prefix.
    std::ofstream(dir_ / "OKORENDIJK.DAT", std::ios::binary | std::ios::trunc) << "x\r\n\r\n2147483648*1\r\n";
    r = run(dir_, "OKORENDIJK.wft --mesh");
    EXPECT_EQ(r.code, 1);
    EXPECT_NE(r.out.find("Error: Test data file OKORENDIJK.DAT, line 3: the number of points \"2147483648*1\" is not "
                         "a whole number from 0 to 252\n"),
              std::string::npos)
        << r.out;
}

TEST_F(Cli, ARealThatIsNotANumberInTheProjectIsRefusedByName) {
    copyExample();
    std::string bytes = readFile(dir_ / "OKORENDIJK.wft");
    const float nan = std::numeric_limits<float>::quiet_NaN();
    std::memcpy(&bytes[108], &nan, 4);  // the first discharge
    std::ofstream(dir_ / "OKORENDIJK.wft", std::ios::binary | std::ios::trunc) << bytes;
    const Result r = run(dir_, "OKORENDIJK.wft --all");
    EXPECT_EQ(r.code, 1);
    EXPECT_NE(r.out.find("Error: Project file OKORENDIJK.wft: the discharge Q 1 is not a finite number (NaN)\n"),
              std::string::npos)
        << r.out;
    EXPECT_EQ(r.out.find("Fitted parameters"), std::string::npos);
    EXPECT_FALSE(sideFileExists("OKORENDIJK.fem"));
}

// An analysis never runs silently on preparation files that no longer belong
// to the project's data or parameters: it is refused and writes nothing.
TEST_F(Cli, AnalysisOnStalePreparationFilesIsRefused) {
    copyExample();
    ASSERT_EQ(run(dir_, "OKORENDIJK.wft --mesh --prepare --save").code, 0);
    std::ofstream(dir_ / "pairs.txt") << "0 0\n1 0.1\n2 0.2\n3 0.25\n5 0.3\n8 0.35\n13 0.4\n21 0.45\n";
    const std::string tail = "; run the data preparation (--prepare) before the analysis\n";
    const struct {
        const char* what;
        std::string args, message;
    } cases[] = {
        {"data imported in the same run", "OKORENDIJK.wft --data pairs.txt --analyse",
         "Error: The test data were changed after the preparation files OKORENDIJK.OBS and OKORENDIJK.TIM were made"},
        {"schedule changed in the same run", "OKORENDIJK.wft --step 0:700 --analyse",
         "Error: The pumping parameters were changed after the preparation files OKORENDIJK.OBS and "
         "OKORENDIJK.TIM were made"},
        {"mesh rebuilt in the same run", "OKORENDIJK.wft --rmax 500 --mesh --analyse",
         "Error: The mesh file OKORENDIJK.FEM was made again after the preparation files OKORENDIJK.OBS and "
         "OKORENDIJK.TIM were made"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        // Each case from the example as prepared (the test data on disk included).
        for (const char* f : {"OKORENDIJK.wft", "OKORENDIJK.DAT"}) std::filesystem::remove(sidePath(f));
        copyExample();
        ASSERT_EQ(run(dir_, "OKORENDIJK.wft --mesh --prepare --save").code, 0);
        const Result r = run(dir_, c.args);
        EXPECT_EQ(r.code, 1);
        EXPECT_NE(r.out.find(c.message + tail), std::string::npos) << r.out;
        EXPECT_FALSE(sideFileExists("OKORENDIJK.res"));
        EXPECT_FALSE(sideFileExists("OKORENDIJK.inv"));
    }

    // Saved changes seen in a later run: a new schedule, then new data.
    ASSERT_EQ(run(dir_, "OKORENDIJK.wft --mesh --prepare --save").code, 0);
    Result r = run(dir_, "OKORENDIJK.wft --step 0:700 --save");
    ASSERT_EQ(r.code, 0) << r.out;
    r = run(dir_, "OKORENDIJK.wft --analyse");
    EXPECT_EQ(r.code, 1);
    EXPECT_NE(r.out.find("Error: The pumping parameters were changed after the preparation files OKORENDIJK.OBS and "
                         "OKORENDIJK.TIM were made" + tail),
              std::string::npos)
        << r.out;
    ASSERT_EQ(run(dir_, "OKORENDIJK.wft --prepare").code, 0);
    ASSERT_EQ(run(dir_, "OKORENDIJK.wft --data pairs.txt").code, 0);
    r = run(dir_, "OKORENDIJK.wft --analyse");
    EXPECT_EQ(r.code, 1);
    EXPECT_NE(r.out.find("Error: The test data were changed after the preparation files OKORENDIJK.OBS and "
                         "OKORENDIJK.TIM were made" + tail),
              std::string::npos)
        << r.out;
    // Files of a project made before the run fingerprints: judged by their ages.
    ASSERT_EQ(run(dir_, "OKORENDIJK.wft --prepare").code, 0);
    std::filesystem::remove(sidePath("OKORENDIJK.FPR"));
    ASSERT_EQ(run(dir_, "OKORENDIJK.wft --data pairs.txt").code, 0);
    r = run(dir_, "OKORENDIJK.wft --analyse");
    EXPECT_EQ(r.code, 1);
    EXPECT_NE(r.out.find("Error: The preparation files OKORENDIJK.OBS and OKORENDIJK.TIM are older than "
                         "OKORENDIJK.DAT" + tail),
              std::string::npos)
        << r.out;
    EXPECT_FALSE(sideFileExists("OKORENDIJK.res"));

    // Prepared again, the analysis runs.
    r = run(dir_, "OKORENDIJK.wft --prepare --type fixed --analyse");
    EXPECT_EQ(r.code, 0) << r.out;
    EXPECT_TRUE(sideFileExists("OKORENDIJK.res"));
}

// The published analysis of this test gives T = k b = 462 m2/day (Kruseman and
// de Ridder). A homogeneous aquifer is a fracture/matrix pair with equal
// conductivities, so the total TF + TM must come out near it; 15 % tolerance.
TEST_F(Cli, TheExampleReproducesThePublishedTransmissivity) {
    copyExample();
    const Result r = run(dir_, "--all OKORENDIJK.wft");
    ASSERT_TRUE(r.code == 0 || r.code == 3) << r.out;
    for (const char* f : {"OKORENDIJK.fem", "OKORENDIJK.tim", "OKORENDIJK.obs", "OKORENDIJK.res", "OKORENDIJK.inv"})
        EXPECT_TRUE(sideFileExists(f)) << f;
    EXPECT_EQ(side("OKORENDIJK.RES").rfind("WELLFIT", 0), 0u);
    const double total = printedValue(r.out, R"(TF \+ TM)");
    EXPECT_NEAR(total, 462.0, 0.15 * 462.0) << r.out;
    const double tf = printedValue(r.out, "TF     "), tm = printedValue(r.out, "TM     ");
    EXPECT_NEAR(tf + tm, total, 0.01 * total);
}

// --fine switches the project to the fine model (saved with it): a finer
// mesh in the same layout, and a fit of the example whose totals stay near
// the published T (462 m2/day).
TEST_F(Cli, FineOptionIsSavedAndRunsTheFineModel) {
    copyExample();
    const Result made = run(dir_, "--fine --mesh --prepare --save OKORENDIJK.wft");
    ASSERT_EQ(made.code, 0) << made.out;
    wf::doc::ProjectDocument doc;
    ASSERT_TRUE(doc.openProject(dir_ / "OKORENDIJK.wft").project.ok());
    EXPECT_TRUE(doc.analysisOptions.fineModel);
    EXPECT_GT(doc.mesh.NR, 25);
    EXPECT_GT(doc.mesh.NZ, 20);
    const Result r = run(dir_, "--analyse OKORENDIJK.wft");
    ASSERT_TRUE(r.code == 0 || r.code == 3) << r.out;
    const double total = printedValue(r.out, R"(TF \+ TM)");
    EXPECT_NEAR(total, 462.0, 0.1 * 462.0) << r.out;
    // --no-fine turns it off again: the standard mesh of 20 rows.
    const Result back = run(dir_, "--no-fine --mesh --save OKORENDIJK.wft");
    ASSERT_EQ(back.code, 0) << back.out;
    ASSERT_TRUE(doc.openProject(dir_ / "OKORENDIJK.wft").project.ok());
    EXPECT_FALSE(doc.analysisOptions.fineModel);
    EXPECT_EQ(doc.mesh.NZ, 20);
}

} // namespace
