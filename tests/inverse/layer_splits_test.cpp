// The layer-split starts of the four-parameter robust search: the
// one-aquifer fit they begin from and how they share its transmissivity.
#include <gtest/gtest.h>

#include <cmath>

#include "inverse/layer_splits.h"

namespace wfinv {
namespace {

constexpr double kRatio = 0.2;  // the fracture layer's share of the thickness

// A model that sees only the layer-weighted totals: f_i = Kbar g_i + Sbar h_i,
// Kbar = r x0 + (1 - r) x1, Sbar = r x2 + (1 - r) x3. Its one-aquifer fit is
// exact (Kbar = 3, Sbar = 0.02 make the data).
wf::LogSearchProblem totalsProblem() {
    wf::LogSearchProblem pr;
    pr.k = 4;
    pr.n = 12;
    pr.free = {0, 1, 2, 3};
    pr.x0 = {1.0, 1.0, 0.1, 0.1};
    pr.lo.assign(4, std::log(1e-6));
    pr.hi.assign(4, std::log(1e6));
    auto values = [](const double* x, double* f) {
        const double K = kRatio * x[0] + (1.0 - kRatio) * x[1], S = kRatio * x[2] + (1.0 - kRatio) * x[3];
        for (int i = 0; i < 12; ++i) {
            const double t = 0.25 * (i + 1);
            f[i] = K * std::log1p(t) + S * 100.0 / (1.0 + t);
        }
    };
    pr.y.assign(12, 0.0);
    const double truth[4] = {3.0, 3.0, 0.02, 0.02};
    values(truth, pr.y.data());
    pr.model = [values](int count, const double* const* x, double* const* f) {
        for (int c = 0; c < count; ++c) values(x[c], f[c]);
        return true;
    };
    return pr;
}

std::vector<double> lnOf(const std::vector<double>& x) {
    std::vector<double> z;
    for (double v : x) z.push_back(std::log(v));
    return z;
}

TEST(LayerSplits, BeginFromTheOneAquiferFitWithNinetyNinePercentInEachLayer) {
    const wf::LogSearchProblem pr = totalsProblem();
    ASSERT_TRUE(wf::splitsApply(pr, kRatio, 8));
    wf::LayerSplits sp;
    ASSERT_TRUE(wf::makeLayerSplits(pr, lnOf(pr.x0), kRatio, sp));
    ASSERT_TRUE(sp.made);
    EXPECT_NEAR(sp.K, 3.0, 3e-6);
    EXPECT_NEAR(sp.Ss, 0.02, 2e-8);
    EXPECT_GT(sp.passes, 0);
    ASSERT_EQ(sp.z.size(), 2u);
    // Fracture layer first: r K_F = 0.99 K, (1 - r) K_M = 0.01 K; then the
    // matrix: the other way round; both keep the one-aquifer storage.
    const double share[2] = {0.99, 0.01};
    for (int s = 0; s < 2; ++s) {
        const std::vector<double>& z = sp.z[static_cast<std::size_t>(s)];
        EXPECT_NEAR(kRatio * std::exp(z[0]) / sp.K, share[s], 1e-12) << "split " << s;
        EXPECT_NEAR((1.0 - kRatio) * std::exp(z[1]) / sp.K, 1.0 - share[s], 1e-12) << "split " << s;
        EXPECT_NEAR(std::exp(z[2]), sp.Ss, 1e-15);
        EXPECT_NEAR(std::exp(z[3]), sp.Ss, 1e-15);
    }
}

TEST(LayerSplits, AreClippedToEachLayersBounds) {
    wf::LogSearchProblem pr = totalsProblem();
    pr.hi[0] = std::log(5.0);  // K_F of the fracture split would be 0.99 x 3 / 0.2 = 14.85
    wf::LayerSplits sp;
    ASSERT_TRUE(wf::makeLayerSplits(pr, lnOf(pr.x0), kRatio, sp));
    EXPECT_EQ(sp.z[0][0], std::log(5.0));
    EXPECT_LE(sp.K, 5.0);
}

TEST(LayerSplits, ApplyOnlyWithFourFreeLayerParametersAndRoomForThem) {
    const wf::LogSearchProblem pr = totalsProblem();
    EXPECT_FALSE(wf::splitsApply(pr, kRatio, 2));  // the guesses and one more start only
    EXPECT_FALSE(wf::splitsApply(pr, 0.0, 8));     // no fracture layer
    EXPECT_FALSE(wf::splitsApply(pr, 1.0, 8));     // no matrix
    wf::LogSearchProblem held = pr;
    held.free = {0, 1, 3};                         // SF held
    EXPECT_FALSE(wf::splitsApply(held, kRatio, 8));
    wf::LogSearchProblem apart = pr;               // no conductivity both layers may share
    apart.hi[0] = std::log(1.0);
    apart.lo[1] = std::log(2.0);
    EXPECT_FALSE(wf::splitsApply(apart, kRatio, 8));
}

} // namespace
} // namespace wfinv
