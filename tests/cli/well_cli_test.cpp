// wellfit-cli with a well of the fine model: the bundled single-well example
// fitted as its README says, and the well kept by --save.
#include <array>

#include "cli_runner.h"
#include "document/project_document.h"

namespace {

using namespace wf::clitest;

class WellCli : public CliFolderTest {
protected:
    void SetUp() override {
        CliFolderTest::SetUp();
        copyFrom(WF_SINGLE_WELL_DIR, {"WELL.txt"});
    }
    Outcome run(const std::string& args) { return runCli(dir_, args); }
};

// The README's analysis: data made at T 86.4 m2/day, S 1e-3 (r_w 0.1 m,
// r_c 0.05 m, Sk 5; 0.5 mm of reading noise), guesses 2 times away.
const std::string kProject =
    "--new SINGLEWELL.wft --units 3,1,1,12,8 --thick 10 --ratio 0.2 --rmax 5000 --data WELL.txt --position well "
    "--step 0:86.4 --pump-position both --boundary noflow --fine --well-radius 0.1 --casing-radius 0.05 --skin 5 "
    "--tf 8.64 --tm 34.56 --sf 4e-4 --sm 1.6e-3 --one-aquifer --bound-aware --max-passes 100 --hold skin,rc ";

double figure(const std::string& out, const std::string& label) {
    const std::size_t at = out.find(label);
    if (at == std::string::npos) return -1.0;
    return std::stod(out.substr(at + label.size()));
}

// T within 0.5 % and S within 2 % of the values that made the data.
TEST_F(WellCli, SingleWellExampleFitsTAndSAndKeepsTheWell) {
    const Outcome r = run(kProject + "--all --save");
    ASSERT_EQ(r.code, 0) << r.out << r.err;
    EXPECT_NEAR(figure(r.out, "Total transmissivity       TF + TM = ") / 86.4, 1.0, 0.005) << r.out;
    EXPECT_NEAR(figure(r.out, "Total storativity          SF + SM = ") / 1e-3, 1.0, 0.02) << r.out;

    wf::doc::ProjectDocument doc;
    ASSERT_TRUE(doc.loadProject(dir_ / "SINGLEWELL.wft").ok());
    EXPECT_EQ(doc.obsv.IPOS[0], wf::doc::kPositionAtWell);
    EXPECT_EQ(doc.obsv.ROBS[0], 0.1f);
    EXPECT_EQ(doc.analysisOptions.wellRadius, 0.1f);
    EXPECT_EQ(doc.analysisOptions.casingRadius, 0.05f);
    EXPECT_EQ(doc.analysisOptions.skin, 5.0f);
}

// The README's fit of the well: S known (held at 1e-3), T, the casing radius
// and the skin from guesses 2 times away (T halved, r_c doubled, Sk 2.5):
// T within 2 %, Sk within 0.25 and r_c within 2 % of the values that made
// the data (their 0.5 mm of noise included).
const std::string kWellFit =
    "--new SINGLEWELL.wft --units 3,1,1,12,8 --thick 10 --ratio 0.2 --rmax 5000 --data WELL.txt --position well "
    "--step 0:86.4 --pump-position both --boundary noflow --fine --well-radius 0.1 --casing-radius 0.1 --skin 2.5 "
    "--tf 8.64 --tm 34.56 --sf 2e-4 --sm 8e-4 --one-aquifer --bound-aware --max-passes 100 --hold sf ";

TEST_F(WellCli, SkinAndCasingRadiusFittedWithSKnown) {
    const Outcome r = run(kWellFit + "--all --save");
    ASSERT_EQ(r.code, 0) << r.out << r.err;
    EXPECT_NEAR(figure(r.out, "Total transmissivity       TF + TM = ") / 86.4, 1.0, 0.02) << r.out;
    EXPECT_NEAR(figure(r.out, "\nskin      "), 5.0, 0.25) << r.out;
    EXPECT_NEAR(figure(r.out, "\nrc        ") / 0.05, 1.0, 0.02) << r.out;
    EXPECT_NE(r.out.find("Held at the thickness-weighted mean of the layers' guesses: SF and SM."), std::string::npos)
        << r.out;
    // The project keeps the guesses, and nothing of the well held.
    wf::doc::ProjectDocument doc;
    ASSERT_TRUE(doc.loadProject(dir_ / "SINGLEWELL.wft").ok());
    EXPECT_EQ(doc.analysisOptions.hold, (std::array<bool, 4>{false, false, true, false}));
    EXPECT_EQ(doc.analysisOptions.holdWell, (std::array<bool, 2>{}));
    EXPECT_EQ(doc.analysisOptions.skin, 2.5f);
}

// Everything free: the JSON report lists the skin and the casing radius, and
// the verdict says that the one well fixes S only together with the skin.
TEST_F(WellCli, JsonListsTheWellAndTheVerdictNamesTheTradeOfSAndSkin) {
    const Outcome r = run(
        "--new SINGLEWELL.wft --units 3,1,1,12,8 --thick 10 --ratio 0.2 --rmax 5000 --data WELL.txt --position well "
        "--step 0:86.4 --pump-position both --boundary noflow --fine --well-radius 0.1 --casing-radius 0.1 --skin 2.5 "
        "--tf 8.64 --tm 34.56 --sf 4e-4 --sm 1.6e-3 --one-aquifer --bound-aware --max-passes 100 --all --json");
    ASSERT_EQ(r.code, 0) << r.out << r.err;
    EXPECT_NE(r.out.find("\"skin\": {\"value\": "), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("\"rc\": {\"value\": "), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("\"unit\": \"m\", \"estimated\": true"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("\"names\": [\"T\", \"S\", \"skin\", \"rc\"]"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("A single well does not determine S on its own: only S together with the skin"),
              std::string::npos)
        << r.out;
}

// Without a well the JSON report has no well's parameters.
TEST_F(WellCli, JsonWithoutAWellHasNoWellParameters) {
    const Outcome r = run(
        "--new P.wft --units 3,1,1,12,8 --thick 10 --ratio 0.2 --rmax 5000 --data WELL.txt --robs 10 "
        "--step 0:86.4 --pump-position both --boundary noflow --fine --tf 8.64 --tm 34.56 --sf 4e-4 --sm 1.6e-3 "
        "--one-aquifer --bound-aware --max-passes 20 --all --json");
    ASSERT_NE(r.out.find("\"parameters\": {"), std::string::npos) << r.out << r.err;
    EXPECT_EQ(r.out.find("\"skin\""), std::string::npos) << r.out;
    EXPECT_EQ(r.out.find("\"rc\""), std::string::npos) << r.out;
}

// The bundled project is the one the README's command makes.
TEST_F(WellCli, BundledProjectHoldsTheWell) {
    wf::doc::ProjectDocument doc;
    ASSERT_TRUE(doc.loadProject(fs::path(WF_SINGLE_WELL_DIR) / "SINGLEWELL.wft").ok());
    EXPECT_TRUE(doc.analysisOptions.fineModel);
    EXPECT_TRUE(doc.analysisOptions.oneAquifer);
    EXPECT_EQ(doc.analysisOptions.wellRadius, 0.1f);
    EXPECT_EQ(doc.analysisOptions.casingRadius, 0.05f);
    EXPECT_EQ(doc.analysisOptions.skin, 5.0f);
    EXPECT_EQ(doc.obsv.IPOS[0], wf::doc::kPositionAtWell);
    EXPECT_EQ(doc.obsv.ROBS[0], 0.1f);
    EXPECT_EQ(doc.units.ITIN, 1);
    // The README's first fit holds the well's skin and casing radius.
    EXPECT_EQ(doc.analysisOptions.holdWell, (std::array<bool, 2>{true, true}));
}

// The point at the well without the fine model's well is refused by the mesh run.
TEST_F(WellCli, PointAtTheWellNeedsAWell) {
    const Outcome r = run("--new P.wft --data WELL.txt --position well --robs 0.1 --all");
    EXPECT_NE(r.code, 0);
    EXPECT_NE((r.out + r.err).find("(the pumped well) needs the Fine model and a well radius"), std::string::npos)
        << r.out << r.err;
}

} // namespace
