// Held, tied and bound-aware fits on the real flow model recover the
// multipliers that made the synthetic data (1 %), and report what they did.
#include "recovery_fixture.h"

namespace wfinv {
namespace {

class OptionsRecovery : public Recovery {
public:
    WfFitReport report{};
    WfOptions options{};
    std::array<double, 4> expected{};  // TF, TM, SF, SM of the truth

    // Data from a fixed-time run (plain entry: one model run) at the truth.
    void makeData(const double truth[4]) {
        writeData(std::vector<double>(times.size(), 0.0));
        for (int j = 1; j <= 4; ++j) rs.in.P0[j] = truth[j - 1];
        analyse(1);
        ASSERT_TRUE(rec.boxes().empty());
        std::vector<double> s = simulated();
        s.erase(s.begin());
        writeData(s);
        const double kday = 1e-5 * 86400.0;
        expected = {truth[0] * kday * 1.4, truth[1] * kday * 5.6, truth[2] * 1e-4 * 1.4, truth[3] * 1e-4 * 5.6};
    }
    void fit(const double guess[4], bool install = true) {
        for (int j = 1; j <= 4; ++j) rs.in.P0[j] = guess[j - 1];
        rs.in.RMSE = 0.0;
        rec.events.clear();
        options.report = &report;
        wf::installOptions(rs.inv, install ? &options : nullptr);
        analyse(0);
    }
    int passes() const {
        int n = 0;
        for (const Event& e : rec.lines())
            if (e.code == 0 && e.text.rfind("Iteration ", 0) == 0) ++n;
        return n;
    }
    void expectRecovered(double tolerance = 0.01) {
        const float got[4] = {pinit.TF, pinit.TM, pinit.SF, pinit.SM};
        for (std::size_t j = 0; j < 4; ++j)
            EXPECT_NEAR(got[j], expected[j], tolerance * expected[j]) << "parameter " << j + 1;
        for (const Event& b : rec.boxes()) EXPECT_NE(b.caption, "Error") << b.text;
    }
};

TEST_F(OptionsRecovery, InstalledDefaultOptionsTakeThePlainPath) {
    // The same fit with no options installed and with an all-default record:
    // the same progress lines and boxes, result file and returned parameters.
    const double truth[4] = {150.0, 0.5, 0.4, 3.0};
    makeData(truth);
    const PINIT start = pinit;
    const double guess[4] = {truth[0] / 2.5, truth[1] * 2.0, truth[2] * 3.0, truth[3] / 2.0};
    fit(guess, false);
    const std::vector<Event> plainEvents = rec.events;
    const std::string plainRes = readFile(dir / "TEST.res");
    const std::string plainInv = readFile(dir / "TEST.inv");
    const PINIT plainResult = pinit;
    ASSERT_GT(plainEvents.size(), 10u);
    pinit = start;
    fit(guess, true);
    EXPECT_EQ(rec.events, plainEvents);
    EXPECT_EQ(readFile(dir / "TEST.res"), plainRes);
    EXPECT_EQ(readFile(dir / "TEST.inv"), plainInv);
    EXPECT_EQ(std::memcmp(&pinit, &plainResult, sizeof pinit), 0);
    EXPECT_EQ(report.valid, 1);
}

TEST_F(OptionsRecovery, HeldParametersStayAtTheirGuessesWhileTheOthersAreFound) {
    const double truth[4] = {150.0, 0.5, 0.4, 3.0};
    makeData(truth);
    options.hold[WF_PARAM_TM] = options.hold[WF_PARAM_SM] = 1;
    const double guess[4] = {truth[0] / 2.5, truth[1], truth[2] * 3.0, truth[3]};
    fit(guess);
    expectRecovered();
    // Held exactly at the guess (PINIT is single precision).
    EXPECT_EQ(pinit.TM, static_cast<float>(rs.inv.results[1]));
    EXPECT_NEAR(rs.inv.results[1], expected[1], 1e-12 * expected[1]);
    EXPECT_NEAR(rs.inv.results[3], expected[3], 1e-12 * expected[3]);
    ASSERT_EQ(report.valid, 1);
    EXPECT_EQ(report.unknowns, 2);
    EXPECT_STREQ(report.names[0], "TF");
    EXPECT_STREQ(report.names[1], "SF");
    EXPECT_EQ(report.parameters[WF_PARAM_TM].held, 1);
    EXPECT_EQ(report.parameters[WF_PARAM_TF].held, 0);
    EXPECT_NE(rs.inv.verdict.find("Held at the guess: TM and SM."), std::string::npos) << rs.inv.verdict;
}

TEST_F(OptionsRecovery, OneAquiferFindsOneConductivityAndOneStorageForBothLayers) {
    // A homogeneous aquifer: equal multipliers in both layers.
    const double truth[4] = {80.0, 80.0, 0.25, 0.25};
    makeData(truth);
    options.oneAquifer = 1;
    const double guess[4] = {160.0, 40.0, 0.5, 0.125};  // tied start: 0.2 * 160 + 0.8 * 40 = 64, and 0.2
    fit(guess);
    expectRecovered();
    // Both layers carry the one value: the layers' T and S split as the
    // thicknesses, 0.2 : 0.8.
    EXPECT_NEAR(rs.inv.results[0] / rs.inv.results[1], 0.25, 1e-12);
    EXPECT_NEAR(rs.inv.results[2] / rs.inv.results[3], 0.25, 1e-12);
    ASSERT_EQ(report.valid, 1);
    EXPECT_EQ(report.unknowns, 2);
    EXPECT_STREQ(report.names[0], "T");
    EXPECT_STREQ(report.names[1], "S");
    EXPECT_NEAR(report.totals[0].value, expected[0] + expected[1], 0.01 * (expected[0] + expected[1]));
    EXPECT_LT(passes(), 20);
}

TEST_F(OptionsRecovery, BoundAwareSearchRecoversTheTruthAndSaysWhichRuleStoppedIt) {
    const double truth[4] = {150.0, 0.5, 0.4, 3.0};
    makeData(truth);
    options.search = WF_SEARCH_BOUND_AWARE;
    // The truth of TF lies on its lower bound.
    rs.in.PLO[1] = truth[0];
    const double guess[4] = {truth[0] * 2.0, truth[1] * 2.0, truth[2] * 3.0, truth[3] / 2.0};
    fit(guess);
    expectRecovered();
    ASSERT_EQ(report.valid, 1);
    EXPECT_LE(report.passes, 40);
    const std::vector<Event> boxes = rec.boxes();
    ASSERT_GE(boxes.size(), 1u);
    EXPECT_EQ(boxes.back(), box("Information", "SAVE to keep final Results"));
    if (report.stopRule == WF_STOP_TOLERANCE) {
        ASSERT_GE(boxes.size(), 2u);
        EXPECT_EQ(boxes[boxes.size() - 2],
                  box("Information",
                      "Search stopped: the error estimate fell by less than 1e-05 of its value in the last pass"));
    } else {
        EXPECT_EQ(report.stopRule, WF_STOP_SEARCH);
    }
}

TEST_F(OptionsRecovery, MaximumPassesStopsTheBoundAwareSearch) {
    const double truth[4] = {150.0, 0.5, 0.4, 3.0};
    makeData(truth);
    options.search = WF_SEARCH_BOUND_AWARE;
    options.maxPasses = 3;
    const double guess[4] = {truth[0] / 2.5, truth[1] * 2.0, truth[2] * 3.0, truth[3] / 2.0};
    fit(guess);
    EXPECT_EQ(passes(), 3);
    ASSERT_EQ(report.valid, 1);
    EXPECT_EQ(report.stopRule, WF_STOP_MAX_PASSES);
    const std::vector<Event> boxes = rec.boxes();
    ASSERT_GE(boxes.size(), 2u);
    EXPECT_EQ(boxes[boxes.size() - 2], box("Information", "Search stopped after the maximum number of passes (3)"));
}

} // namespace
} // namespace wfinv
