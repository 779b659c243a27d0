// The pumped well's skin and casing radius as unknowns of the search: a
// single-well test made by the fine model itself (r_w 0.1 m, r_c 0.05 m,
// Sk 5, T 1e-3 m2/s, S 1e-3) fitted from guesses two times away, the well's
// held unknowns, and the verdict on S and the skin of a single well.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

#include "inverse/fit_report.h"
#include "support/pump_test_project.h"
#include "support/temp_dir.h"

namespace wf {
namespace {

using test::PumpTest;
using test::PumpTestResult;
using test::PumpTestRunner;

constexpr double kT = 1.0e-3, kS = 1.0e-3;         // m2/s, -
constexpr double kRw = 0.1, kRc = 0.05, kSk = 5.0;  // m, m, -

// Homogeneous, 10 m thick, pumped over its whole thickness at 1e-3 m3/s,
// read in the pumped well from 0.1 s to 1e5 s (t_D = T t / (S r_w^2) from 10
// to 1e7), no-flow boundary at 5 km: the casing's unit slope, the hump of
// the derivative and the radial-flow line all lie inside the times.
PumpTest singleWell() {
    PumpTest c;
    c.thick = 10.0;
    c.ratio = 0.2;
    c.rmax = 5.0e3;
    c.robs = {kRw};
    c.ipos = 3;
    c.ipump = 0;
    c.q = 1.0e-3;
    c.scalt = 1.0e-4;  // K = T / 10 m
    c.scals = 1.0e-4;  // Ss = S / 10 m
    c.times = test::decadeTimes(0.1, 1.0e5, 5);
    c.fine = true;
    c.wellRadius = kRw;
    c.casingRadius = kRc;
    c.skin = kSk;
    for (int j = 0; j < 4; ++j) {
        c.lo[j] = 1e-3;
        c.hi[j] = 1e3;
    }
    c.peps = 1e-6;
    return c;
}

// The fine model's drawdowns of the case at its multipliers and well.
std::vector<double> drawdowns(const PumpTest& c) {
    test::TempWorkDir dir;
    PumpTestRunner runner(c);
    PumpTestResult res;
    EXPECT_TRUE(runner.prepare(res));
    runner.analyse(1, res);
    EXPECT_TRUE(res.boxes.empty()) << (res.boxes.empty() ? "" : res.boxes.front());
    if (res.s.empty()) return {};
    return std::vector<double>(res.s[0].begin() + 1, res.s[0].end());
}

struct WellFit {
    PumpTestResult res;
    WfFitReport report{};
    std::string fitText;
    double T = 0.0, S = 0.0;
};

// Fits the data from the guesses of c with the options o (the report into fit.report).
WellFit fit(PumpTest c, const std::vector<double>& data, WfOptions o) {
    test::TempWorkDir dir;
    WellFit f;
    o.report = &f.report;
    c.data = data;
    c.options = &o;
    PumpTestRunner runner(c);
    EXPECT_TRUE(runner.prepare(f.res));
    runner.analyse(0, f.res);
    std::ifstream in("PUMP.fit");
    std::ostringstream text;
    text << in.rdbuf();
    f.fitText = text.str();
    f.T = f.res.pinit.TF + f.res.pinit.TM;
    f.S = f.res.pinit.SF + f.res.pinit.SM;
    return f;
}

// One aquifer; S held (at its guess) unless storageFree: a single well does
// not fix S and the skin apart (see SingleWellVerdictSaysSOnlyWithTheSkin),
// so the skin is recovered with S known, as from an observation well.
WfOptions tiedOptions(int search, bool storageFree = false) {
    WfOptions o{};
    o.oneAquifer = 1;
    o.search = search;
    o.maxPasses = 100;
    o.hold[WF_PARAM_SF] = storageFree ? 0 : 1;
    return o;
}

class WellSearch : public ::testing::Test {
protected:
    static void SetUpTestSuite() { data_ = new std::vector<double>(drawdowns(singleWell())); }
    static void TearDownTestSuite() {
        delete data_;
        data_ = nullptr;
    }
    static const std::vector<double>& data() { return *data_; }
    // Guesses: T and S by the factors, the casing radius and the skin as given.
    static PumpTest guesses(double tFactor, double sFactor, double rc, double skin) {
        PumpTest c = singleWell();
        for (int j = 0; j < 2; ++j) c.p[j] = tFactor;
        for (int j = 2; j < 4; ++j) c.p[j] = sFactor;
        c.casingRadius = rc;
        c.skin = skin;
        return c;
    }
    static void report(const char* what, const WellFit& f) {
        std::printf("%s: %d passes, %d model runs: T %.5g (%.5g), S %.5g (%.5g), Sk %.4f (%.1f), r_c %.5f (%.2f); "
                    "corr(S, Sk) %.3f\n",
                    what, f.res.passes, f.res.modelRuns, f.T, kT, f.S, kS, f.report.skin.value, kSk,
                    f.report.casingRadius.value, kRc, f.report.storageSkinCorrelation);
    }
    // The figures: T within 2 %, Sk within 0.25, r_c within 2 %.
    static void expectRecovered(const WellFit& f) {
        EXPECT_TRUE(f.res.boxes.empty()) << (f.res.boxes.empty() ? "" : f.res.boxes.front());
        ASSERT_EQ(f.report.valid, 1);
        EXPECT_EQ(f.report.well, 1);
        EXPECT_NEAR(f.T / kT, 1.0, 0.02);
        EXPECT_NEAR(f.report.skin.value, kSk, 0.25);
        EXPECT_NEAR(f.report.casingRadius.value / kRc, 1.0, 0.02);
        EXPECT_EQ(f.report.skin.estimated, 1);
        EXPECT_EQ(f.report.casingRadius.estimated, 1);
    }

private:
    static std::vector<double>* data_;
};
std::vector<double>* WellSearch::data_ = nullptr;

// Plain search, tied layers, S held at its value: T halved, r_c doubled, Sk 2.5.
TEST_F(WellSearch, PlainSearchRecoversTSkinAndCasingFromGuessesTwiceAway) {
    ASSERT_EQ(data().size(), singleWell().times.size());
    const WellFit f = fit(guesses(0.5, 1.0, 2.0 * kRc, 2.5), data(), tiedOptions(WF_SEARCH_PLAIN));
    report("plain, T/2 rc*2 Sk 2.5 (S held)", f);
    expectRecovered(f);
    // Three unknowns: T, then the well's.
    EXPECT_EQ(f.report.unknowns, 3);
    EXPECT_STREQ(f.report.unknownNames[1], "skin");
    EXPECT_STREQ(f.report.unknownNames[2], "rc");
    EXPECT_NE(f.fitText.find("\nskin    "), std::string::npos) << f.fitText;
    EXPECT_NE(f.fitText.find("\nrc      "), std::string::npos) << f.fitText;
}

// The other way: T doubled, r_c halved, Sk 10.
TEST_F(WellSearch, PlainSearchRecoversFromTheOtherSide) {
    const WellFit f = fit(guesses(2.0, 1.0, 0.5 * kRc, 10.0), data(), tiedOptions(WF_SEARCH_PLAIN));
    report("plain, T*2 rc/2 Sk 10 (S held)", f);
    expectRecovered(f);
}

// The robust search: the skin moved as itself, the casing radius in its logarithm.
TEST_F(WellSearch, RobustSearchRecoversTSkinAndCasing) {
    WfOptions o = tiedOptions(WF_SEARCH_ROBUST);
    o.starts = 4;
    const WellFit f = fit(guesses(0.5, 1.0, 2.0 * kRc, 2.5), data(), o);
    report("robust, 4 starts, T/2 rc*2 Sk 2.5 (S held)", f);
    expectRecovered(f);
    EXPECT_EQ(f.report.search, WF_SEARCH_ROBUST);
    // The skin has no log interval; the casing radius has one around its value.
    EXPECT_TRUE(std::isnan(f.report.skin.logLow95));
    EXPECT_LT(f.report.casingRadius.logLow95, f.report.casingRadius.value);
    EXPECT_GT(f.report.casingRadius.logHigh95, f.report.casingRadius.value);
    // Every start's end carries its well.
    for (int s = 0; s < f.report.startCount; ++s) EXPECT_GT(f.report.startWell[s][WF_WELL_CASING], 0.0) << s;
}

// Held: the skin stays exactly at its guess while the casing radius moves;
// both held, the well's values are the guesses and the unknowns T and S alone.
TEST_F(WellSearch, HeldWellUnknownsStayAtTheirGuesses) {
    WfOptions o = tiedOptions(WF_SEARCH_PLAIN, true);
    o.holdWell[WF_WELL_SKIN] = 1;
    const WellFit skinHeld = fit(guesses(0.5, 2.0, 2.0 * kRc, kSk), data(), o);
    EXPECT_EQ(skinHeld.report.skin.held, 1);
    EXPECT_EQ(skinHeld.report.skin.value, kSk);
    EXPECT_EQ(skinHeld.report.casingRadius.estimated, 1);
    EXPECT_EQ(skinHeld.report.unknowns, 3);
    // With the true skin, T, S and r_c are all found.
    EXPECT_NEAR(skinHeld.T / kT, 1.0, 0.02);
    EXPECT_NEAR(skinHeld.S / kS, 1.0, 0.05);
    EXPECT_NEAR(skinHeld.report.casingRadius.value / kRc, 1.0, 0.02);

    o.holdWell[WF_WELL_CASING] = 1;
    const WellFit bothHeld = fit(guesses(0.5, 2.0, kRc, kSk), data(), o);
    EXPECT_EQ(bothHeld.report.well, 1);
    EXPECT_EQ(bothHeld.report.unknowns, 2);
    EXPECT_EQ(bothHeld.report.casingRadius.held, 1);
    EXPECT_EQ(bothHeld.report.casingRadius.value, kRc);
    EXPECT_NE(bothHeld.res.boxes.size(), 1u);
    EXPECT_NE(std::string(bothHeld.fitText).find("Held at the well's given value: skin and rc."), std::string::npos)
        << bothHeld.fitText;
}

// One thread reuses one set of work arrays for the derivative models of a
// pass, whose skins and casing radii differ, several threads each their own:
// the radial modes kept in the work arrays must be those of each model's own
// skin and capacity, so both give the same fit to the last bit.
TEST_F(WellSearch, WellFitDoesNotDependOnTheNumberOfThreads) {
    PumpTest c = guesses(0.5, 1.0, 2.0 * kRc, 2.5);
    c.threads = 1;
    const WellFit one = fit(c, data(), tiedOptions(WF_SEARCH_PLAIN));
    c.threads = 3;
    const WellFit three = fit(c, data(), tiedOptions(WF_SEARCH_PLAIN));
    EXPECT_GT(one.res.passes, 2);
    EXPECT_EQ(one.res.passes, three.res.passes);
    EXPECT_EQ(one.res.pinit.TF, three.res.pinit.TF);
    EXPECT_EQ(one.res.pinit.TM, three.res.pinit.TM);
    EXPECT_EQ(one.report.skin.value, three.report.skin.value);
    EXPECT_EQ(one.report.casingRadius.value, three.report.casingRadius.value);
}

// The data of a single well fix S only together with the skin: in the
// well's own drawdown late on, s = Q / (4 pi T) (ln(2.25 T t / (S r_w^2)) + 2 Sk)
// (Cooper-Jacob with the skin), so ln S and 2 Sk trade one for the other.
TEST_F(WellSearch, SingleWellVerdictSaysSOnlyWithTheSkin) {
    const WellFit f = fit(guesses(0.5, 2.0, 2.0 * kRc, 2.5), data(), tiedOptions(WF_SEARCH_PLAIN, true));
    report("plain, S free: T/2 S*2 rc*2 Sk 2.5", f);
    ASSERT_EQ(f.report.valid, 1);
    EXPECT_EQ(f.report.onlyAtWell, 1);
    // T and r_c are found all the same; S and Sk only along ln S - 2 Sk.
    EXPECT_NEAR(f.T / kT, 1.0, 0.02);
    EXPECT_NEAR(f.report.casingRadius.value / kRc, 1.0, 0.02);
    EXPECT_NEAR(std::log(f.S) - 2.0 * f.report.skin.value, std::log(kS) - 2.0 * kSk, 0.1);
    const bool correlated = std::fabs(f.report.storageSkinCorrelation) >= kVerdictCorrelation;
    const bool wide = f.report.totals[1].logHigh95 / f.report.totals[1].logLow95 > kVerdictDecade;
    const std::string verdict = fitVerdict(f.report, "m2/s");
    const bool said = verdict.find("A single well does not determine S on its own: only S together with the skin") !=
                      std::string::npos;
    EXPECT_EQ(said, correlated || wide) << verdict;
    EXPECT_NE(f.fitText.find(verdict), std::string::npos);
}

// The sentence on a report made by hand: it needs every point at the well,
// an estimated S and skin, and a strong correlation or a wide interval of S.
TEST(WellVerdict, SingleWellSentenceNeedsTheWellAloneAndATradeOfSAndSkin) {
    WfFitReport rep{};
    rep.valid = 1;
    rep.well = 1;
    rep.onlyAtWell = 1;
    rep.skin.estimated = 1;
    rep.totals[1].estimated = 1;
    rep.totals[1].value = 1e-3;
    rep.totals[1].logLow95 = 0.9e-3;
    rep.totals[1].logHigh95 = 1.1e-3;
    rep.storageSkinCorrelation = 0.991;
    EXPECT_EQ(singleWellSentence(rep),
              "A single well does not determine S on its own: only S together with the skin (their estimates are "
              "correlated r = 0.99).");
    rep.storageSkinCorrelation = -0.5;
    EXPECT_EQ(singleWellSentence(rep), "");
    // An interval of S over more than a decade says it too.
    rep.totals[1].logLow95 = 1e-4;
    rep.totals[1].logHigh95 = 1.5e-3;
    EXPECT_NE(singleWellSentence(rep), "");
    // Not for an observation point away from the well, nor with the skin held.
    rep.onlyAtWell = 0;
    EXPECT_EQ(singleWellSentence(rep), "");
    rep.onlyAtWell = 1;
    rep.skin.estimated = 0;
    rep.skin.held = 1;
    EXPECT_EQ(singleWellSentence(rep), "");
}

// A robust search whose other start ends as low at another skin: the data do
// not single out one answer, and the skin is named as what differs.
TEST(WellVerdict, RivalStartAtAnotherSkinIsNamed) {
    WfFitReport rep{};
    rep.valid = 1;
    rep.residuals = 30;
    rep.unknowns = 1;
    std::snprintf(rep.names[0], sizeof rep.names[0], "skin");
    std::snprintf(rep.unknownNames[0], sizeof rep.unknownNames[0], "skin");
    rep.well = 1;
    rep.skin.estimated = 1;
    rep.skin.value = 0.2;
    rep.skin.standardError = 0.01;
    rep.errorEstimate = 1.0;
    rep.startCount = 2;
    rep.startsAtBest = 2;
    rep.starts[0].errorEstimate = 1.0;
    rep.starts[1].errorEstimate = 1.01;
    rep.startWell[0][WF_WELL_SKIN] = 0.2;
    // 0.05 apart: within 10 % of 1 (a skin near 0 is judged against 1).
    rep.startWell[1][WF_WELL_SKIN] = 0.25;
    EXPECT_EQ(fitVerdict(rep, "m2/s").find("single out"), std::string::npos) << fitVerdict(rep, "m2/s");
    rep.startWell[1][WF_WELL_SKIN] = 3.2;
    EXPECT_NE(fitVerdict(rep, "m2/s").find("at clearly different values of skin."), std::string::npos)
        << fitVerdict(rep, "m2/s");
}

} // namespace
} // namespace wf
