// End to end through the run driver and the real flow model: a fixed-time run
// with known multipliers makes the drawdowns, they become the project's test
// data, and the optimisation finds the multipliers again from guesses a factor
// 2 to 3 away.
#include "recovery_fixture.h"

namespace wfinv {
namespace {

TEST_F(Recovery, OptimisationFindsTheMultipliersThatMadeTheData) {
    // Multipliers of the fracture and matrix conductivity (x 1e-5 m/s) and
    // specific storage (x 1e-4 1/m): a conductive fracture fed by a tight,
    // storing matrix, the case the two-layer model is made for (pumped in the
    // fracture, so the matrix shows as delayed drainage).
    const double truth[4] = {150.0, 0.5, 0.4, 3.0};
    writeData(std::vector<double>(times.size(), 0.0));
    for (int j = 1; j <= 4; ++j) rs.in.P0[j] = truth[j - 1];
    analyse(1);
    ASSERT_TRUE(rec.boxes().empty());
    ASSERT_EQ(rs.fem.callCount, 1);  // a fixed-time run is one model run
    std::vector<double> s = simulated();
    ASSERT_EQ(s.size(), times.size() + 1);  // with the time-0 record the preparation adds
    EXPECT_EQ(s[0], 0.0);
    EXPECT_GT(s.back(), 0.1);  // drawdown positive downward
    s.erase(s.begin());
    writeData(s);

    // Guesses a factor 2 to 3 away from the truth, in both directions.
    const double guess[4] = {truth[0] / 2.5, truth[1] * 2.0, truth[2] * 3.0, truth[3] / 2.0};
    for (int j = 1; j <= 4; ++j) rs.in.P0[j] = guess[j - 1];
    rs.in.RMSE = 0.0;
    rec.events.clear();
    const PINIT start = pinit;
    analyse(0);
    int passes = 0;
    for (const Event& e : rec.lines())
        if (e.code == 0 && e.text.rfind("Iteration ", 0) == 0) ++passes;
    std::printf("recovery: %d passes, %d model runs\n", passes, rs.fem.callCount);
    const auto boxes = rec.boxes();
    ASSERT_FALSE(boxes.empty());
    EXPECT_EQ(boxes.back(), box("Information", "SAVE to keep final Results"));
    for (const Event& b : boxes) EXPECT_NE(b.caption, "Error") << b.text;

    // PINIT holds the fitted transmissivities (m2/day) and storativities.
    const double kday = 1e-5 * 86400.0;
    const double expected[4] = {truth[0] * kday * 7.0 * 0.2, truth[1] * kday * 7.0 * 0.8, truth[2] * 1e-4 * 7.0 * 0.2,
                                truth[3] * 1e-4 * 7.0 * 0.8};
    const float got[4] = {pinit.TF, pinit.TM, pinit.SF, pinit.SM};
    EXPECT_NE(std::memcmp(&pinit, &start, 16), 0);
    for (int j = 0; j < 4; ++j) EXPECT_NEAR(got[j], expected[j], 0.01 * expected[j]) << "parameter " << j + 1;
}

} // namespace
} // namespace wfinv
