// Time stepping through the caller's output times (SIMF), the simulation file
// and the dry-node stop.
#include <gtest/gtest.h>

#include "fem/model_run.h"

namespace wf {
namespace {

using test::ModelRun;
using test::RadialModel;

RadialModel smallModel() {
    RadialModel m;
    m.r = {0.0, 1.0, 2.0, 4.0, 8.0, 16.0};
    m.z = {0.0, 10.0};
    m.obsNodes = {2, 9};
    return m;
}

struct Outcome {
    std::string inv;
    std::vector<double> s1;  // drawdown at the first observation node
    double dt = 0.0, pumped = 0.0;
};

Outcome runTimes(const RadialModel& m, const std::vector<double>& times) {
    ModelRun run(m);
    EXPECT_TRUE(run.run(times, -1.0));
    Outcome o;
    o.inv = run.dir.read("MODEL.inv");
    for (int i = 1; i <= static_cast<int>(times.size()); ++i) o.s1.push_back(run.arrays.sim(1, i));
    o.dt = run.rs.fem.dt;
    o.pumped = run.rs.fem.pumpedVolume;
    return o;
}

TEST(ModelStepping, OneOutputTimeTakesNoStep) {
    const Outcome o = runTimes(smallModel(), {120.0});
    EXPECT_EQ(o.inv, "           2           1\n"
                     "     Node:      2     9\n"
                     "          2       120.0000  0.0000000000E+00\n"
                     "          9       120.0000  0.0000000000E+00\n");
}

TEST(ModelStepping, StepsRunFromZeroToEachOutputTime) {
    const double rate = -0.01 / (2.0 * M_PI) / 2.0;  // node rate of each of the two pumped rows
    const Outcome one = runTimes(smallModel(), {0.0, 60.0});
    EXPECT_EQ(one.dt, 60.0);
    EXPECT_NEAR(one.pumped, 2.0 * rate * 60.0, 1e-6 * std::abs(rate) * 60.0);

    // Output times 0, 60, 600: the first step is the same, the second spans 540 s.
    const Outcome two = runTimes(smallModel(), {0.0, 60.0, 600.0});
    EXPECT_EQ(two.s1[1], one.s1[1]);
    EXPECT_EQ(two.dt, 540.0);
    EXPECT_NEAR(two.pumped, 2.0 * rate * 540.0, 1e-6 * std::abs(rate) * 540.0);
    EXPECT_GT(two.s1[2], two.s1[1]);
    EXPECT_GT(two.s1[1], 0.0);

    // Output times starting at 30 s: the first step still starts at 0 and
    // covers 0 to 60 s; the first output time carries drawdown 0.
    const Outcome late = runTimes(smallModel(), {30.0, 60.0, 600.0});
    EXPECT_EQ(late.s1[0], 0.0);
    EXPECT_EQ(late.s1[1], two.s1[1]);
    EXPECT_EQ(late.s1[2], two.s1[2]);
}

TEST(ModelStepping, SimulationFileHoldsEveryNodeAndTimeInTheInputTimeUnit) {
    ModelRun run(smallModel());
    run.rs.in.ITIN = 2;  // minutes: the model-control file's times are read as minutes too
    RadialModel m = smallModel();
    m.profileEnd = 1.0e6;
    run.writeFiles(m.timText(), m.femText());
    ASSERT_TRUE(run.run({0.0, 90.0, 600.0}));
    std::string expected = "           2           3\n     Node:      2     9\n";
    for (int k = 1; k <= 2; ++k) {
        const int node = k == 1 ? 2 : 9;
        const double t[3] = {0.0, 1.5, 10.0};
        for (int i = 1; i <= 3; ++i)
            expected += textio::format("(5X,I6,F15.4,1P,E18.10)", {node, t[i - 1], run.arrays.sim(k, i)});
    }
    EXPECT_EQ(run.dir.read("MODEL.inv"), expected);
    EXPECT_GT(run.arrays.sim(1, 3), run.arrays.sim(2, 3));  // node 2 is nearer the well than node 9
}

TEST(ModelStepping, DryBoreHoleStopsTheRunAndKeepsLaterValues) {
    // Four columns, two rows; pumping at nodes 1 and 5 starts at 3600 s, so the
    // heads at 3600 s are the initial heads.
    RadialModel m;
    m.r = {0.0, 1.0, 2.0, 4.0};
    m.z = {0.0, 10.0};
    m.obsNodes = {5};
    m.h0 = 0.0;
    m.schedule = {{0.0, 0.0}, {3600.0, 1.0e-5}};
    m.baseLevels.assign(8, -100.0);
    const std::vector<double> times{0.0, 3600.0, 7200.0, 10800.0};
    double s5 = 0.0;
    {
        ModelRun run(m, 1.0e-4, 1.0e-3);
        ASSERT_TRUE(run.run(times));
        ASSERT_TRUE(run.host.boxes.empty());
        s5 = run.arrays.sim(1, 3);
        ASSERT_GT(s5, 0.0);
        ASSERT_LT(s5, 1.0);
    }
    // Node 5's base level half-way down its drawdown at 7200 s: the thinner
    // saturated thickness there only deepens the drawdown, so it runs dry.
    m.baseLevels[4] = -0.5 * s5;
    ModelRun run(m, 1.0e-4, 1.0e-3);
    ASSERT_TRUE(run.run(times, -9.0));
    EXPECT_EQ(run.boxTexts(),
              std::vector<std::string>{"Error: Bore hole at node     5runs dry; Shut test down after   2.00D+00hours."});
    EXPECT_EQ(run.diag.str(), textio::format("('Dry node ',I6,' Time ',1P,D11.2,' Corr ',1P,D11.2)",
                                             {5, 2.0, run.rs.model.HNEW(5)}));
    EXPECT_LT(run.rs.model.HNEW(5), -0.5 * s5);
    EXPECT_EQ(run.arrays.sim(1, 1), 0.0);
    EXPECT_EQ(run.arrays.sim(1, 2), 0.0);
    EXPECT_EQ(run.arrays.sim(1, 3), -9.0);  // the dry step is not recorded
    EXPECT_EQ(run.arrays.sim(1, 4), -9.0);
    const std::string inv = run.dir.read("MODEL.inv");
    EXPECT_NE(inv.find("          5      7200.0000 -9.0000000000E+00\n"
                       "          5     10800.0000 -9.0000000000E+00\n"),
              std::string::npos);
}

} // namespace
} // namespace wf
