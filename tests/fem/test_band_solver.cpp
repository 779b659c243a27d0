// Band solver SFAC/SSOL: degenerate sizes, agreement with a dense solve of the
// same symmetric system, rows at the end of the band, several right-hand sides
// and the pivot report.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>
#include <vector>

#include "dense_reference.h"
#include "fem/fem_numerics.h"

namespace {

using wftest::Dense;
using wftest::denseOf;
using wftest::denseSolve;
using wftest::maxRelDiff;

// Symmetric positive definite band: random couplings, diagonally dominant.
std::vector<double> spdBand(int NN, int B, int lda, unsigned seed) {
    std::mt19937 gen(seed);
    std::uniform_real_distribution<double> u(-1.0, 1.0);
    std::vector<double> A(static_cast<std::size_t>(lda) * B, 0.0);
    std::vector<double> rowAbs(NN, 0.0);
    for (int i = 0; i < NN; ++i)
        for (int j = 1; j < B && i + j < NN; ++j) {
            const double v = u(gen);
            A[i + j * lda] = v;
            rowAbs[i] += std::fabs(v);
            rowAbs[i + j] += std::fabs(v);
        }
    for (int i = 0; i < NN; ++i) A[i] = rowAbs[i] + 0.5 + std::fabs(u(gen));
    return A;
}


TEST(BandSolver, SingleUnknownIsDividedByItsCoefficient) {
    std::vector<double> A = {4.0};
    std::vector<double> R = {10.0};
    EXPECT_EQ(wf::SFAC(1, 1, A.data(), 1), 0);
    EXPECT_EQ(A[0], 4.0);  // the pivot stays in place
    wf::SSOL(1, 1, A.data(), 1, R.data());
    EXPECT_EQ(R[0], 2.5);
}

TEST(BandSolver, DiagonalMatrixGivesQuotients) {
    std::vector<double> A = {2.0, 4.0, 5.0, 8.0};
    std::vector<double> R = {1.0, 2.0, 3.0, -4.0};
    EXPECT_EQ(wf::SFAC(4, 1, A.data(), 4), 0);
    wf::SSOL(4, 1, A.data(), 4, R.data());
    EXPECT_EQ(R, (std::vector<double>{0.5, 0.5, 0.6, -0.5}));
}

// The 3 x 3 tridiagonal system stored in an exact-size buffer: the rows whose
// band reaches past the last unknown hold NaN there and must never be read.
TEST(BandSolver, TridiagonalMatchesDenseAndIgnoresPositionsOutsideTheMatrix) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    // column 1: diagonal 4, 5, 6; column 2: couplings -1, 2, (outside)
    std::vector<double> A = {4.0, 5.0, 6.0, -1.0, 2.0, nan};
    const Dense dense = denseOf(3, 2, A, 3);
    const std::vector<double> b = {1.0, 2.0, 3.0};
    std::vector<double> R = b;
    EXPECT_EQ(wf::SFAC(3, 2, A.data(), 3), 0);
    wf::SSOL(3, 2, A.data(), 3, R.data());
    EXPECT_TRUE(std::isnan(A[5]));  // untouched
    const std::vector<double> ref = denseSolve(dense, b);
    EXPECT_LT(maxRelDiff(R, ref), 1e-14);
    // factor values: D1 = 4, U12 = -1/4, D2 = 5 - 1/4, U23 = 2 / D2, D3 = 6 - 4 / D2
    EXPECT_DOUBLE_EQ(A[3], -0.25);
    EXPECT_DOUBLE_EQ(A[1], 4.75);
    EXPECT_DOUBLE_EQ(A[4], 2.0 / 4.75);
    EXPECT_DOUBLE_EQ(A[2], 6.0 - 4.0 / 4.75);
}

// Wide bands in a larger array (lda > NN) with NaN in every position outside
// the matrix and below row NN: results equal a dense solve to 1e-12 relative.
TEST(BandSolver, RandomSpdBandsMatchDenseSolve) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    struct Case { int NN, B; };
    for (const Case c : {Case{7, 7}, Case{20, 3}, Case{50, 9}, Case{120, 18}, Case{90, 27}, Case{40, 70}}) {
        const int lda = c.NN + 3;
        std::vector<double> A = spdBand(c.NN, c.B, lda, 17u + c.NN);
        const Dense dense = denseOf(c.NN, c.B, A, lda);
        for (int j = 0; j < c.B; ++j)
            for (int i = 0; i < lda; ++i)
                if (i >= c.NN || i + j >= c.NN) A[i + j * lda] = nan;
        std::vector<double> b(c.NN);
        for (int i = 0; i < c.NN; ++i) b[i] = std::sin(0.7 * i) * 10.0 + 1.0;
        std::vector<double> R = b;
        ASSERT_EQ(wf::SFAC(c.NN, c.B, A.data(), lda), 0);
        wf::SSOL(c.NN, c.B, A.data(), lda, R.data());
        EXPECT_LT(maxRelDiff(R, denseSolve(dense, b)), 1e-12) << "NN " << c.NN << " B " << c.B;
        int nanKept = 0, outside = 0;
        for (int j = 0; j < c.B; ++j)
            for (int i = 0; i < lda; ++i)
                if (i >= c.NN || i + j >= c.NN) {
                    ++outside;
                    nanKept += std::isnan(A[i + j * lda]) ? 1 : 0;
                }
        EXPECT_EQ(nanKept, outside);
    }
}

TEST(BandSolver, OneFactorServesTwoRightHandSides) {
    const int NN = 30, B = 5;
    std::vector<double> A = spdBand(NN, B, NN, 3u);
    const Dense dense = denseOf(NN, B, A, NN);
    std::vector<double> b1(NN, 1.0), b2(NN);
    for (int i = 0; i < NN; ++i) b2[i] = i % 3 - 1.0;
    ASSERT_EQ(wf::SFAC(NN, B, A.data(), NN), 0);
    std::vector<double> r1 = b1, r2 = b2;
    wf::SSOL(NN, B, A.data(), NN, r1.data());
    wf::SSOL(NN, B, A.data(), NN, r2.data());
    EXPECT_LT(maxRelDiff(r1, denseSolve(dense, b1)), 1e-12);
    EXPECT_LT(maxRelDiff(r2, denseSolve(dense, b2)), 1e-12);
}

// The factor reproduces the matrix: (U^T D U)(i, i+j-1) equals the original entry.
TEST(BandSolver, FactorReproducesTheMatrix) {
    const int NN = 25, B = 6;
    const std::vector<double> A0 = spdBand(NN, B, NN, 11u);
    std::vector<double> F = A0;
    ASSERT_EQ(wf::SFAC(NN, B, F.data(), NN), 0);
    auto U = [&](int p, int q) { return p == q ? 1.0 : (q > p && q - p < B ? F[p + (q - p) * NN] : 0.0); };
    for (int i = 0; i < NN; ++i)
        for (int j = 0; j < B && i + j < NN; ++j) {
            double s = 0.0;
            for (int k = 0; k <= i; ++k) s += U(k, i) * F[k] * U(k, i + j);
            EXPECT_NEAR(s, A0[i + j * NN], 1e-13 * std::fabs(A0[i])) << i << "," << j;
        }
}

TEST(BandSolver, ReportsTheFirstRowWithoutPositivePivot) {
    // [[1, 1], [1, 1]] is singular: the second pivot is 0.
    std::vector<double> A = {1.0, 1.0, 1.0, 0.0};
    EXPECT_EQ(wf::SFAC(2, 2, A.data(), 2), 2);
    std::vector<double> N = {-2.0, 3.0};
    EXPECT_EQ(wf::SFAC(2, 1, N.data(), 2), 1);
    // [[1, 2], [2, 1]] is indefinite: second pivot 1 - 4 = -3.
    std::vector<double> I = {1.0, 1.0, 2.0, 0.0};
    EXPECT_EQ(wf::SFAC(2, 2, I.data(), 2), 2);
}

} // namespace
