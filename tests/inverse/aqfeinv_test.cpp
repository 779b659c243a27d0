// The inversion driver with stand-in simulations: result file, progress lines,
// prediction time levels and the refusals before any model run.
#include "inverse_fixture.h"

namespace wfinv {
namespace {

// Observations at 0, 1, 2, 5 and 10 minutes, each 0.01 m above a simulation
// that gives 0.1 m per time level and P(1).
class FixedTime : public InverseProject {
public:
    void SetUp() override {
        InverseProject::SetUp();
        writeObs({0, 1, 2, 5, 10}, {0.11, 0.21, 0.31, 0.41, 0.51});
        allocate(5);
    }
    wf::SimulationRun linear() {
        return simulation([](const double* P, double, int level) { return 0.1 * level * P[0]; });
    }
};

TEST_F(FixedTime, WritesTheResultFileAndRunsTheModelOnce) {
    // Kf = 1e-5 m/s in m/day = 0.864; Tf = 0.864 * 10 * 0.2, Tm = 0.864 * 8;
    // S0 = 1e-4, Sf = 2e-4, Sm = 8e-4; S = 5 * 0.01^2 = 5e-4.
    run(1, linear());
    EXPECT_EQ(simulations, 1);
    EXPECT_EQ(rs.fem.nout, 5);
    EXPECT_EQ(rs.fem.nobsNodes, 1);
    EXPECT_EQ(rs.fem.KX, 1e-5);
    EXPECT_EQ(rs.fem.KY, 1e-5);
    EXPECT_EQ(rs.fem.SS, 1e-4);
    EXPECT_EQ(rs.inv.ft, 60.0);
    const std::string expected =
        "WELLFIT\n"
        "     1 Iterations : Root Mean Square Error =  0.50000E-03\n"
        "\n"
        "   Multiplier 1:   1.00000000E+00\n"
        "   Multiplier 2:   1.00000000E+00\n"
        "   Multiplier 3:   1.00000000E+00\n"
        "   Multiplier 4:   1.00000000E+00\n"
        "\n"
        "  Solution for the Parameters:    \n"
        "   K for Fracture  =   8.64000000E-01\n"
        "   K for Matrix    =   8.64000000E-01\n"
        "   So for Fracture =   1.00000000E-04\n"
        "   So for Matrix   =   1.00000000E-04\n"
        "\n"
        "   T for Fracture  =   1.72800000E+00\n"
        "   T for Matrix    =   6.91200000E+00\n"
        "   S for Fracture =   2.00000000E-04\n"
        "   S for Matrix   =   8.00000000E-04\n"
        "\n"
        "   T (Fracture+Matrix)  =   8.64000000E+00\n"
        "   S (Fracture+Matrix) =   1.00000000E-03\n"
        "\n"
        "   Node Observed:  Time  Observed Value  Simmulated Value\n"
        "    22         0.0000  1.1000000000E-01  1.0000000000E-01\n"
        "    22         1.0000  2.1000000000E-01  2.0000000000E-01\n"
        "    22         2.0000  3.1000000000E-01  3.0000000000E-01\n"
        "    22         5.0000  4.1000000000E-01  4.0000000000E-01\n"
        "    22        10.0000  5.1000000000E-01  5.0000000000E-01\n";
    EXPECT_EQ(readFile("TEST.res"), expected);

    const std::vector<Event> expectedLines{
        line(2, "Multipliers:    1.000       1.000       1.000       1.000"),
        line(0, "Iteration   1: Error Estimate (RMSE) =  0.50000E-03"),
        line(-2, "Multipliers:    1.000       1.000       1.000       1.000"),
        line(-2, "Kf/m ,S0f/m:  8.6400E-01  8.6400E-01  1.0000E-04  1.0000E-04"),
        line(-2, "Tf/m ,Sf/m:  1.7280E+00  6.9120E+00  2.0000E-04  8.0000E-04"),
        line(-2, "Tf+Tm:  8.6400E+00  Sf+Sm:  1.0000E-03"),
        line(2, " "),
    };
    EXPECT_EQ(rec.events, expectedLines);  // no boxes, no final report
    ASSERT_TRUE(rs.inv.haveResults);
    EXPECT_DOUBLE_EQ(rs.inv.results[0], 1.728);
    EXPECT_DOUBLE_EQ(rs.inv.results[1], 6.912);
    EXPECT_DOUBLE_EQ(rs.inv.results[2], 2e-4);
    EXPECT_DOUBLE_EQ(rs.inv.results[3], 8e-4);
}

TEST_F(FixedTime, FitRequirementAbove100RunsNoModelAndReportsTheGuess) {
    rs.in.RMSE = 150.0;
    for (int type : {0, 1, 2}) {
        rec.events.clear();
        rs.in.NSTEP = 0.0;
        rs.in.TSIM = 1.0;
        run(type, linear());
        EXPECT_EQ(simulations, 0);
        EXPECT_FALSE(rs.inv.haveResults);
        EXPECT_FALSE(std::filesystem::exists("TEST.res"));
        const std::vector<Event> expected{
            line(2, "Multipliers:    1.000       1.000       1.000       1.000"),
            line(0, "  Solution for the Parameters:"),
            line(-2, "  Multipliers:    1.0000000       1.0000000       1.0000000       1.0000000"),
            line(-2, "  K for Fracture   =   8.64000000E-01"),
            line(-2, "  K for Matrix     =   8.64000000E-01"),
            line(-2, "  So for Fracture  =   1.00000000E-04"),
            line(-2, "  So for Matrix    =   1.00000000E-04"),
            line(-2, "  T for Fracture   =   1.72800000E+00"),
            line(-2, "  T for Matrix     =   6.91200000E+00"),
            line(-2, "  S for Fracture  =   2.00000000E-04"),
            line(-2, "  S for Matrix    =   8.00000000E-04"),
            line(2, " "),
            box("Information", "SAVE to keep final Results"),
        };
        EXPECT_EQ(rec.events, expected) << "type " << type;
    }
}

TEST_F(FixedTime, PredictionAddsFiveLevelsEndingAtTheSimulationTime) {
    // NSTEP 0 is not above NT = 5: NT + 5 = 10 levels; the five added ones are
    // spaced (86400 - 600) / 5 = 17160 s apart, the last exactly at TSIM = 1 day.
    rs.in.NSTEP = 0.0;
    rs.in.TSIM = 1.0;
    run(2, linear());
    EXPECT_EQ(simulations, 1);
    ASSERT_EQ(lastLevels.size(), 10u);
    const std::vector<double> expected{0, 60, 120, 300, 600, 17760, 34920, 52080, 69240, 86400};
    for (std::size_t i = 0; i < 10; ++i) EXPECT_DOUBLE_EQ(lastLevels[i], expected[i]) << i;
    EXPECT_EQ(lastLevels[9], 86400.0);
    EXPECT_FALSE(std::filesystem::exists("TEST.res"));  // never written for predictions
    // The drawdown of the last level: 0.1 * 10.
    ASSERT_EQ(rec.boxes().size(), 1u);
    EXPECT_EQ(rec.boxes()[0], box("Information", "  Drawdown after Simulation Time:    1.0000"));
    EXPECT_EQ(rec.events.back(), rec.boxes()[0]);  // no final report after it
    EXPECT_TRUE(rs.inv.haveResults);
}

TEST_F(FixedTime, PredictionPutsALevelOnALaterPumpingStep) {
    // A second step at 720 min = 43200 s: the level that would pass it lands on it.
    rs.in.NQ = 2;
    rs.in.TQ[2] = 720.0;
    rs.in.NSTEP = 0.0;
    rs.in.TSIM = 1.0;
    run(2, linear());
    ASSERT_EQ(lastLevels.size(), 10u);
    const std::vector<double> expected{0, 60, 120, 300, 600, 17760, 34920, 43200, 60360, 86400};
    for (std::size_t i = 0; i < 10; ++i) EXPECT_DOUBLE_EQ(lastLevels[i], expected[i]) << i;
    // NSTEP 12 (above NT): 12 levels in all.
    rs.in.NQ = 1;
    rs.in.NSTEP = 12.0;
    run(2, linear());
    EXPECT_EQ(lastLevels.size(), 12u);
    EXPECT_EQ(lastLevels.back(), 86400.0);
}

TEST_F(FixedTime, StepEnteredInSinglePrecisionStartsAtItsObservationTime) {
    // The program holds 0.1 min as the float 0.100000001...; the observation
    // file and the model-control file both carry it as 0.100.
    writeObs({0, 0.1, 1, 2, 5}, {0.11, 0.21, 0.31, 0.41, 0.51});
    rs.in.NQ = 2;
    rs.in.TQ[2] = static_cast<double>(0.1f);
    run(1, linear());
    EXPECT_TRUE(rec.boxes().empty());
    EXPECT_EQ(simulations, 1);
}

TEST_F(FixedTime, StepStartTooLargeForItsFieldTakesNoPartInTheCheck) {
    writeObs({0, 0.1, 1, 2, 5}, {0.11, 0.21, 0.31, 0.41, 0.51});
    rs.in.NQ = 2;
    rs.in.TQ[2] = 1.0e15;  // written as asterisks in "(f18.3)"
    run(1, linear());
    EXPECT_TRUE(rec.boxes().empty());
    EXPECT_EQ(simulations, 1);
}

TEST_F(FixedTime, RefusalsBeforeAnyModelRun) {
    struct Case {
        const char* what;
        std::function<void(FixedTime&)> prepare;
        int type;
        std::string message;
    };
    const std::vector<Case> cases{
        {"prediction before the last observation", [](FixedTime& f) { f.rs.in.TSIM = 0.001; }, 2,
         "Prediction Time less than Observation Times"},
        {"step at 0.5 min between observations",
         [](FixedTime& f) {
             f.rs.in.NQ = 2;
             f.rs.in.TQ[2] = 0.5;
         },
         0, "Pumpstep times must be at Observation Times"},
        {"first observation after the first step", [](FixedTime& f) { f.writeObs({1, 2, 5, 10, 20}, {0.1, 0.2, 0.3, 0.4, 0.5}); }, 1,
         "Pumpstep times must be at Observation Times"},
        {"mesh of another node count", [](FixedTime& f) { f.writeTim(300, 4); }, 0,
         " Discharge files differ from Mesh file"},
        {"pumped rows of another pump position", [](FixedTime& f) { f.rs.in.IPUMP = 0; }, 0,
         " Discharge files differ from Mesh file"},
        {"missing time file", [](FixedTime&) { std::filesystem::remove("TEST.tim"); }, 0,
         "End of File reached in input file : TEST.tim"},
        {"missing observation file", [](FixedTime&) { std::filesystem::remove("TEST.obs"); }, 0,
         "End of File reached in input file : TEST.obs"},
        {"observation file cut short",
         [](FixedTime&) {
             std::string text = readFile("TEST.obs");
             text.resize(text.rfind("    22"));
             std::ofstream("TEST.obs") << text;
         },
         0, "End of File reached in input file : TEST.obs"},
        {"text in an observation record",
         [](FixedTime&) {
             std::ofstream out("TEST.obs");
             out << " TEST\n x\n 1 2\n 22 0.0 0.1\n 22 abc 0.2\n";
         },
         0, "Data format error in input file : TEST.obs"},
    };
    for (const Case& c : cases) {
        rs.in = wf::Inputs{};
        InverseProject::TearDown();
        InverseProject::SetUp();
        writeObs({0, 1, 2, 5, 10}, {0.11, 0.21, 0.31, 0.41, 0.51});
        allocate(5);
        rs.in.NSTEP = 0.0;
        rs.in.TSIM = 1.0;
        rec.events.clear();
        simulations = 0;
        c.prepare(*this);
        run(c.type, linear());
        EXPECT_EQ(simulations, 0) << c.what;
        EXPECT_EQ(rec.events, std::vector<Event>{box("Error", c.message)}) << c.what;
        EXPECT_EQ(rs.IOS, 0) << c.what;  // reported once: the run driver shows nothing more
        EXPECT_FALSE(rs.inv.haveResults) << c.what;
        EXPECT_FALSE(std::filesystem::exists("TEST.res")) << c.what;
    }
}

TEST_F(FixedTime, FuncTakesRecordsInFileOrderAndConvertsTimes) {
    // Minutes: a record time of 2.5 comes back as 150 s; the node column takes no part.
    {
        std::ofstream out("TEST.inv");
        out << " 1 3\n     Node:     22\n     22  2.5 0.25\n     99  5.0 0.5\n 7 7.5 0.75\n";
    }
    rs.inv.ft = 60.0;
    double F[3] = {}, T[3] = {};
    auto noRun = [](wf::RunState&, const double*) { return true; };
    const double P[4] = {1, 1, 1, 1};
    ASSERT_TRUE(wf::FUNC(rs, noRun, P, 3, F, T));
    EXPECT_EQ(T[0], 150.0);
    EXPECT_EQ(T[1], 300.0);
    EXPECT_EQ(T[2], 450.0);
    EXPECT_EQ(F[0], 0.25);
    EXPECT_EQ(F[2], 0.75);
    EXPECT_TRUE(rec.events.empty());
    // Fewer records than asked for: end of file naming the file, and no values.
    EXPECT_FALSE(wf::FUNC(rs, noRun, P, 4, F, T));
    EXPECT_EQ(rec.events, std::vector<Event>{box("Error", "End of File reached in input file : TEST.inv")});
    EXPECT_EQ(rs.IOS, 0);
    // A model that made no simulation: FUNC reads nothing and shows nothing.
    rec.events.clear();
    EXPECT_FALSE(wf::FUNC(rs, [](wf::RunState&, const double*) { return false; }, P, 3, F, T));
    EXPECT_TRUE(rec.events.empty());
}

} // namespace
} // namespace wfinv
