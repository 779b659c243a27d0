// wellfit-cli with the analysis options and the fit report: the printed and
// JSON report, options kept by --save, the plain default path, bad values.
#include <regex>

#include "cli_runner.h"
#include "document/project_document.h"

namespace {

using namespace wf::clitest;

class FitCli : public CliFolderTest {
protected:
    void SetUp() override {
        CliFolderTest::SetUp();
        copyFrom(WF_EXAMPLE_DIR, {"OKORENDIJK.wft", "OKORENDIJK.DAT"});
    }
    Outcome run(const std::string& args) { return runCli(dir_, args); }
};

int count(const std::string& text, const std::string& what) {
    int n = 0;
    for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
    return n;
}

TEST_F(FitCli, DefaultPathIsThePlainSearchAndPrintsTheReportAfterTheParameters) {
    const Outcome r = run("--all OKORENDIJK.wft");
    ASSERT_EQ(r.code, 0) << r.out << r.err;
    // The bundled example from its stored guesses: 54 passes, and the result
    // file of the plain search, byte for byte (kept from a run of the plain
    // search; the run with and without default options installed is compared
    // in the inverse tests).
    EXPECT_NE(r.out.find("Iteration  54:"), std::string::npos);
    EXPECT_EQ(r.out.find("Iteration  55:"), std::string::npos);
    EXPECT_EQ(side("OKORENDIJK.RES"), readFile(fs::path(WF_TEST_DATA_DIR) / "cli" / "OKORENDIJK.RES"));
    const std::size_t params = r.out.find("Fitted parameters");
    const std::size_t report = r.out.find("WELLFIT fit report");
    ASSERT_NE(params, std::string::npos);
    ASSERT_NE(report, std::string::npos);
    EXPECT_LT(params, report);
    EXPECT_EQ(r.out.substr(report), side("OKORENDIJK.fit"));
    EXPECT_NE(r.out.find("Optimisation: 54 passes, 321 model runs"), std::string::npos);
    EXPECT_NE(r.out.find("Verdict: The data determine TF + TM = "), std::string::npos);
    EXPECT_NE(r.out.find("TF ended on its lower bound."), std::string::npos);
}

TEST_F(FitCli, JsonPrintsExactlyOneObjectOnStandardOutput) {
    const Outcome r = run("--all --json OKORENDIJK.wft");
    ASSERT_EQ(r.code, 0) << r.err;
    // One line, one object; the progress lines went to standard error.
    ASSERT_FALSE(r.out.empty());
    EXPECT_EQ(count(r.out, "\n"), 1);
    EXPECT_EQ(r.out.front(), '{');
    EXPECT_EQ(r.out.substr(r.out.size() - 2), "}\n");
    EXPECT_EQ(r.out.find("Iteration"), std::string::npos);
    EXPECT_NE(r.err.find("Iteration  54:"), std::string::npos);
    EXPECT_NE(r.err.find("WELLFIT fit report"), std::string::npos);
    for (const char* key :
         {"\"status\": 0, \"message\": \"The search converged\"", "\"passes\": 54", "\"model_runs\": 321",
          "\"error_estimate\": ", "\"rmse\": ", "\"parameters\": {\"TF\": {\"value\": ", "\"unit\": \"m2/day\"",
          "\"estimated\": true, \"held\": false, \"at_bound\": \"lower\", \"stderr\": ", "\"low95\": ", "\"high95\": ",
          "\"TM\": {", "\"SF\": {", "\"SM\": {", "\"totals\": {\"T\": {", "\"S\": {",
          "\"correlation\": {\"names\": [\"TF\", \"TM\", \"SF\", \"SM\"], \"matrix\": [[1, ", "\"condition\": ",
          "\"verdict\": \"The data determine TF + TM = ", "\"stop_rule\": \"search\"", "\"exit_code\": 0"})
        EXPECT_NE(r.out.find(key), std::string::npos) << key << "\n" << r.out;
    // Braces and brackets balance outside strings.
    int depth = 0;
    bool inString = false;
    for (std::size_t i = 0; i < r.out.size(); ++i) {
        const char c = r.out[i];
        if (inString) {
            if (c == '\\') ++i;
            else if (c == '"') inString = false;
            continue;
        }
        if (c == '"') inString = true;
        if (c == '{' || c == '[') ++depth;
        if (c == '}' || c == ']') --depth;
        EXPECT_GE(depth, 0);
    }
    EXPECT_EQ(depth, 0);
    EXPECT_FALSE(inString);
}

TEST_F(FitCli, JsonOfAFailedRunStillPrintsOneObject) {
    // No mesh and no prepared data: the solver refuses the analysis.
    const Outcome r = run("--analyse --json OKORENDIJK.wft");
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(count(r.out, "\n"), 1);
    EXPECT_EQ(r.out.rfind("{\"status\": null, \"message\": \"", 0), 0u) << r.out;
    EXPECT_NE(r.out.find("\"parameters\": null"), std::string::npos);
    EXPECT_NE(r.out.find("\"exit_code\": 1}"), std::string::npos);
}

TEST_F(FitCli, OptionsAreUsedAndKeptBySaveAndClearedByDefaultOptions) {
    Outcome r = run("--all --save OKORENDIJK.wft");
    ASSERT_EQ(r.code, 0) << r.out << r.err;
    const std::string plainBytes = readFile(dir_ / "OKORENDIJK.wft");

    r = run("--analyse --hold tm,sm --bound-aware --max-passes 30 --stop-tolerance 1e-4 --save OKORENDIJK.wft");
    ASSERT_EQ(r.code, 0) << r.out << r.err;
    EXPECT_NE(r.out.find("Held at the guess: TM and SM."), std::string::npos) << r.out;
    wf::doc::ProjectDocument doc;
    ASSERT_TRUE(doc.loadProject(dir_ / "OKORENDIJK.wft").ok());
    EXPECT_EQ(doc.analysisOptions.hold, (std::array<bool, 4>{false, true, false, true}));
    EXPECT_EQ(doc.analysisOptions.search, WF_SEARCH_BOUND_AWARE);
    EXPECT_EQ(doc.analysisOptions.maxPasses, 30);
    EXPECT_EQ(doc.analysisOptions.stopTolerance, 1e-4f);

    // The stored options apply without flags: TM is held in the next run.
    r = run("--analyse --json OKORENDIJK.wft");
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_NE(r.out.find("\"TM\": {\"value\": "), std::string::npos);
    EXPECT_NE(r.out.find("\"estimated\": false, \"held\": true, \"at_bound\": null, \"stderr\": null"),
              std::string::npos)
        << r.out;
    EXPECT_NE(r.out.find("\"names\": [\"TF\", \"SF\"]"), std::string::npos) << r.out;

    // Back to the plain search: the project file is that of the plain project.
    r = run("--default-options --save OKORENDIJK.wft");
    ASSERT_EQ(r.code, 0) << r.out << r.err;
    doc = wf::doc::ProjectDocument{};
    ASSERT_TRUE(doc.loadProject(dir_ / "OKORENDIJK.wft").ok());
    EXPECT_TRUE(doc.analysisOptions.isDefault());
    // The guesses were updated by the runs in between; apart from them the bytes match.
    const std::string now = readFile(dir_ / "OKORENDIJK.wft");
    ASSERT_EQ(now.size(), plainBytes.size());
    const std::size_t pinit = 108 + 8;  // one discharge pair
    EXPECT_EQ(now.substr(0, pinit), plainBytes.substr(0, pinit));
    EXPECT_EQ(now.substr(pinit + 16), plainBytes.substr(pinit + 16));
}

TEST_F(FitCli, OneAquiferAndBoundAwareRunsSayWhatTheyDid) {
    Outcome r = run("--all --one-aquifer OKORENDIJK.wft");
    ASSERT_EQ(r.code, 0) << r.out << r.err;
    EXPECT_NE(r.out.find("T = TF + TM = "), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("(35 residuals, 2 unknowns)"), std::string::npos) << r.out;
    r = run("--all --bound-aware OKORENDIJK.wft");
    ASSERT_EQ(r.code, 0) << r.out << r.err;
    EXPECT_NE(r.out.find("Information: Search stopped: the error estimate fell by less than 1e-05"), std::string::npos)
        << r.out;
}

TEST_F(FitCli, RobustSearchReportsEveryStartAndLogIntervals) {
    const Outcome r = run("--all --search robust --starts 3 --threads 2 --json OKORENDIJK.wft");
    // On this example the best end lies on TF's lower bound with SM far
    // below what the data see; the search may stall there at the model's
    // rounding, and must then say so rather than claim convergence.
    if (r.code != 0) {
        ASSERT_EQ(r.code, 1) << r.err;
        EXPECT_NE(r.out.find("ROBUST SEARCH STALLED"), std::string::npos) << r.out;
    }
    for (const char* key : {"\"search\": \"robust\"", "\"log_low95\": ", "\"log_high95\": ", "\"runs_test\": {\"runs\": ",
                            "\"starts_at_best\": ", "\"starts\": [{\"error_estimate\": ", "\"passes\": ", "\"ended\": \""})
        EXPECT_NE(r.out.find(key), std::string::npos) << key << "\n" << r.out;
    EXPECT_EQ(count(r.out, "\"ended\": "), 3);
    EXPECT_NE(r.err.find("Start  3 of  3: Error Estimate"), std::string::npos) << r.err;
    // --robust names the same search; the plain search's JSON has no starts.
    const Outcome plain = run("--all --json OKORENDIJK.wft");
    EXPECT_NE(plain.out.find("\"starts\": null"), std::string::npos);
}

TEST_F(FitCli, FixedTimeRunReportsAtTheGivenParameters) {
    // One pass, then one derivative run per parameter for the report.
    const Outcome r = run("--all --type fixed OKORENDIJK.wft");
    ASSERT_EQ(r.code, 0) << r.out << r.err;
    EXPECT_NE(r.out.find("Fixed-time run: 1 pass, 5 model runs"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("m2/day   given"), std::string::npos) << r.out;
    EXPECT_NE(side("OKORENDIJK.RES").find("     1 Iterations"), std::string::npos);
}

TEST_F(FitCli, BadOptionValuesAreRefusedWithTheOptionNamed) {
    const struct {
        std::string args, message;
    } cases[] = {
        {"P.wft --hold tf,xx", "wellfit-cli: --hold: \"xx\" is not one of tf, tm, sf, sm, skin, rc (give a list such as tf,sm, or none)\n"},
        {"P.wft --stop-tolerance 2", "wellfit-cli: --stop-tolerance: \"2\" must lie between 0 and 1\n"},
        {"P.wft --max-passes 0", "wellfit-cli: --max-passes: \"0\" must lie between 1 and 999\n"},
        {"P.wft --max-passes", "wellfit-cli: Option --max-passes needs a value (see --help)\n"},
        {"P.wft --starts 0", "wellfit-cli: --starts: \"0\" must lie between 1 and 32\n"},
        {"P.wft --threads -1", "wellfit-cli: --threads: \"-1\" must lie between 0 and 256\n"},
        {"P.wft --search fast", "wellfit-cli: --search: \"fast\" is not one of plain, bound-aware, robust\n"},
    };
    for (const auto& c : cases) {
        const Outcome r = run(c.args);
        EXPECT_EQ(r.code, 2) << c.args;
        EXPECT_EQ(r.err, c.message) << c.args;
    }
    const Outcome help = run("--help");
    for (const char* opt : {"--hold", "--one-aquifer", "--bound-aware", "--stop-tolerance", "--max-passes", "--json",
                            "--default-options", "--robust", "--starts", "--threads"})
        EXPECT_NE(help.out.find(opt), std::string::npos) << opt;
}

} // namespace
