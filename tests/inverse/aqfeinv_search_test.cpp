// The optimisation loop with a stand-in simulation: passes, statuses, the
// fault paths of a model run without drawdowns, and Cancel.
#include <cstring>

#include "inverse_fixture.h"
#include "wfcore/wfcore.h"

namespace wfinv {
namespace {

// 17 observations from 0 to 600 minutes made by the two-reservoir response at
// P = (2, 0.5, 1.5, 0.8).
class Optimisation : public InverseProject {
protected:
    const double truth[4] = {2.0, 0.5, 1.5, 0.8};
    void SetUp() override {
        InverseProject::SetUp();
        const std::vector<double> t{0, 0.5, 1, 2, 3, 5, 7, 10, 15, 20, 30, 45, 60, 90, 120, 240, 600};
        std::vector<double> s;
        for (double ti : t) s.push_back(twoReservoirs(truth, 60.0 * ti, 0));
        writeObs(t, s);
        allocate(static_cast<int>(t.size()));
        rs.in.P0[1] = 1.0;
        rs.in.P0[2] = 1.0;
        rs.in.P0[3] = 1.0;
        rs.in.P0[4] = 1.0;
    }
    int passLines() const {
        int n = 0;
        for (const Event& e : rec.events)
            if (e.what == 'P' && e.code == 0 && e.text.rfind("Iteration ", 0) == 0) ++n;
        return n;
    }
};

TEST_F(Optimisation, PassesUntilConvergenceThenFinalReport) {
    run(0, simulation(twoReservoirs));
    const auto lines = rec.lines();
    // First pass: the error estimate of the starting point, "Iteration   1".
    ASSERT_GE(lines.size(), 7u);
    EXPECT_EQ(lines[0].code, 2);
    EXPECT_EQ(lines[1].code, 0);
    EXPECT_EQ(lines[1].text.substr(0, 39), "Iteration   1: Error Estimate (RMSE) = ");
    for (int i = 2; i <= 5; ++i) EXPECT_EQ(lines[i].code, -2);
    EXPECT_EQ(lines[6], line(2, " "));
    // Every pass shows its counter; the .res file holds the last one.
    const int passes = passLines();
    EXPECT_GE(passes, 3);
    EXPECT_EQ(readFile("TEST.res").substr(0, 14), "WELLFIT\n   " + wf::textio::formatLine("(i3)", {passes}));
    // Converged (status 0) from a start a factor 1.5 to 2 away: no error box, the final report.
    const auto boxes = rec.boxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0], box("Information", "SAVE to keep final Results"));
    for (int j = 1; j <= 4; ++j) EXPECT_NEAR(rs.est.P(j), truth[j - 1], 1e-3 * truth[j - 1]) << j;
    ASSERT_TRUE(rs.inv.haveResults);
    // Tf = P1 SCALT / c(m/day) * THICK * RATIO.
    EXPECT_NEAR(rs.inv.results[0], truth[0] * 0.864 * 2.0, 1e-3 * truth[0] * 1.728);
    EXPECT_NEAR(rs.inv.results[3], truth[3] * 1e-4 * 8.0, 1e-3 * truth[3] * 8e-4);
    // A pass of the search: four derivative runs and at least one trial.
    EXPECT_GE(simulations, 1 + 5 * (passes - 1));
    // The result table is the last pass's: its simulated column fits the observations.
    EXPECT_NE(readFile("TEST.res").find("    22       600.0000"), std::string::npos);
}

TEST_F(Optimisation, FitRequirementEndsTheSearchEarly) {
    rs.in.RMSE = 1e-3;
    run(0, simulation(twoReservoirs));
    const int passes = passLines();
    EXPECT_GE(passes, 2);
    // The error estimate of the last pass is below the requirement, of the one before not.
    const auto lines = rec.lines();
    double last = -1.0;
    for (const Event& e : lines)
        if (e.code == 0 && e.text.rfind("Iteration ", 0) == 0) last = std::stod(e.text.substr(39));
    EXPECT_LT(last, 1e-3);
    EXPECT_EQ(rec.boxes().back(), box("Information", "SAVE to keep final Results"));
}

TEST_F(Optimisation, ModelWithoutDrawdownsEndsTheAnalysisWithOneBox) {
    // The first model run fails: nothing completed, PINIT keeps its input values.
    run(0, simulation(twoReservoirs, 1));
    EXPECT_EQ(rec.boxes(), std::vector<Event>{box("Error", "model failed")});
    EXPECT_EQ(passLines(), 0);
    EXPECT_FALSE(rs.inv.haveResults);
    EXPECT_FALSE(std::filesystem::exists("TEST.res"));
}

TEST_F(Optimisation, FailureInALaterPassKeepsTheLastCompletedPass) {
    // Run 3 is a derivative run of the second pass. The first pass (the
    // starting point) stays the result: its values in PINIT, its table in
    // TEST.res and its simulation in TEST.inv; no final report.
    run(0, simulation(twoReservoirs, 3));
    EXPECT_EQ(simulations, 3);
    EXPECT_EQ(rec.boxes(), std::vector<Event>{box("Error", "model failed")});
    EXPECT_EQ(passLines(), 1);
    ASSERT_TRUE(rs.inv.haveResults);
    EXPECT_DOUBLE_EQ(rs.inv.results[0], 1.728);  // P0 = 1
    EXPECT_DOUBLE_EQ(rs.inv.results[3], 8e-4);
    const std::string res = readFile("TEST.res");
    EXPECT_EQ(res.substr(0, 14), "WELLFIT\n     1");
    // TEST.inv again holds the starting point's simulation, as the table does.
    const std::string inv = readFile("TEST.inv");
    const double P0[4] = {1, 1, 1, 1};
    const std::string lastRecord = wf::textio::format("(5X,I6,F15.4,1P,E18.10)", {22, 600.0, twoReservoirs(P0, 36000.0, 0)});
    EXPECT_NE(inv.find(lastRecord), std::string::npos);
}

TEST_F(Optimisation, ShortSimulationFileEndsTheAnalysisWithOneBox) {
    run(0, simulation(twoReservoirs, 0, 10));
    EXPECT_EQ(rec.boxes(), std::vector<Event>{box("Error", "End of File reached in input file : TEST.inv")});
    EXPECT_EQ(simulations, 1);
    EXPECT_EQ(passLines(), 0);
    EXPECT_FALSE(rs.inv.haveResults);
    EXPECT_EQ(rs.IOS, 0);
}

TEST_F(Optimisation, CancelEndsTheSearchAfterTheCurrentPass) {
    rec.cancelAfter = 2;  // the third poll, before the third pass
    run(0, simulation(twoReservoirs));
    EXPECT_EQ(passLines(), 2);
    EXPECT_EQ(rec.polls, 3);
    EXPECT_TRUE(rs.inv.haveResults);
    EXPECT_EQ(rec.boxes(), std::vector<Event>{box("Information", "SAVE to keep final Results")});
}

TEST_F(Optimisation, TooFewObservationsForFourUnknowns) {
    writeObs({0, 1, 2}, {0.1, 0.2, 0.3});
    run(0, simulation(twoReservoirs));
    EXPECT_EQ(simulations, 0);
    EXPECT_EQ(passLines(), 0);
    const auto boxes = rec.boxes();
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[0], box("Error", " MORE UNKNOWNS THAN FUNCTIONS "));
    EXPECT_EQ(boxes[1], box("Information", "SAVE to keep final Results"));
    EXPECT_FALSE(rs.inv.haveResults);
}

// Cancel through the library's entry call: pressed before the first pass, it
// leaves PINIT as it was (no model run happens, so no mesh file is needed).
TEST_F(Optimisation, CancelBeforeTheFirstPassLeavesPinitUnchanged) {
    rec.cancelAfter = 0;
    wfSetHost(&host);
    FILENAME f{};
    f.baseLength = 4;
    std::memcpy(f.projectName, "TEST.wft", 8);
    MESH mesh{16, 20, 320, 285, 68, 2, 4, 16, 1024.0f};
    OBSV obsv{};
    obsv.THICK = 10.0f;
    obsv.RATIO = 0.2f;
    obsv.NOBS = 1;
    obsv.ROBS[0] = 30.0f;
    obsv.IPOS[0] = 1;
    obsv.NODOBS[0] = 22;
    PUMP pump{};
    pump.NQ = 1;
    pump.Q[0] = 788.0f;
    pump.IPUMP = 1;
    pump.IOPP = 1;
    GUESS guess{1e-5f, 1e-4f, {1, 1, 1, 1}, {1e-3f, 1e-3f, 1e-3f, 1e-3f}, {1e3f, 1e3f, 1e3f, 1e3f}, 0.01f, 0.0f};
    PINIT pinit{0.25f, 0.5f, 1e-6f, 3e-3f, 1, 2, 3, 4, 5, 6, 7, 8};
    const PINIT before = pinit;
    UNITS units{3, 2, 2, 12, 12, 8};
    NZERO nzero{0};
    wftDLL(6, 0, &f, &mesh, &obsv, &pump, &guess, &pinit, &units, &nzero);
    wfSetHost(nullptr);
    EXPECT_EQ(std::memcmp(&pinit, &before, sizeof pinit), 0);
    EXPECT_EQ(rec.polls, 1);
    EXPECT_EQ(passLines(), 0);
    for (const Event& e : rec.boxes()) EXPECT_NE(e.caption, "Error") << e.text;
    EXPECT_EQ(rec.lines().back(), line(2, "WELLFIT: Computation Complete"));
}

} // namespace
} // namespace wfinv
