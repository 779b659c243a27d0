// Row-wise band kernels of the time step: the factorisation with the forward
// substitution in its row loop followed by the back substitution, and the
// separate solve with a kept factor, against a dense solve of the same
// symmetric system (1e-12 relative) whatever NN modulo four and whatever B
// (the widest bands go through the plain row-by-row path), and the report of
// the first pivot that is not positive.
#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <vector>

#include "dense_reference.h"
#include "fem/band_core.h"
#include "fem/fem_numerics.h"

namespace {

struct Bands {
    int NN, B, ld;
    wf::BandBuffer K, M;
    std::vector<double> column;  // dt K + M, column-stored NN x B
};

// K: random couplings, diagonally dominant (a conductance-like band);
// M: positive diagonal with small positive couplings (a storage-like band).
Bands makeBands(int NN, int B, double dt, unsigned seed) {
    std::mt19937 gen(seed);
    std::uniform_real_distribution<double> u(-1.0, 1.0);
    Bands b{NN, B, wf::bandRowStride(B), {}, {}, {}};
    const std::size_t size = static_cast<std::size_t>(NN) * b.ld;
    b.K.assign(size, 0.0);
    b.M.assign(size, 0.0);
    std::vector<double> rowAbs(NN, 0.0);
    for (int i = 0; i < NN; ++i)
        for (int c = 1; c < B && i + c < NN; ++c) {
            const double k = u(gen), m = 0.01 * std::fabs(u(gen));
            b.K[static_cast<std::size_t>(i) * b.ld + c] = k;
            b.M[static_cast<std::size_t>(i) * b.ld + c] = m;
            rowAbs[i] += std::fabs(k);
            rowAbs[i + c] += std::fabs(k);
        }
    for (int i = 0; i < NN; ++i) {
        b.K[static_cast<std::size_t>(i) * b.ld] = rowAbs[i] + 0.1;
        b.M[static_cast<std::size_t>(i) * b.ld] = 1.0 + 0.5 * std::fabs(u(gen));
    }
    b.column.assign(static_cast<std::size_t>(NN) * B, 0.0);
    for (int i = 0; i < NN; ++i)
        for (int c = 0; c < B && i + c < NN; ++c) {
            const std::size_t at = static_cast<std::size_t>(i) * b.ld + c;
            b.column[i + static_cast<std::size_t>(c) * NN] = dt * b.K[at] + b.M[at];
        }
    return b;
}

std::vector<double> denseSolve(const Bands& b, const std::vector<double>& r) {
    return wftest::denseSolve(wftest::denseOf(b.NN, b.B, b.column, b.NN), r);
}

using wftest::maxRelDiff;

// The column-stored band dt K + M in the row-wise layout (zero padding).
wf::BandBuffer rowWise(const Bands& b) {
    wf::BandBuffer W;
    W.assign(static_cast<std::size_t>(b.NN) * b.ld, 0.0);
    for (int i = 0; i < b.NN; ++i)
        for (int c = 0; c < b.B && i + c < b.NN; ++c)
            W[static_cast<std::size_t>(i) * b.ld + c] = b.column[i + static_cast<std::size_t>(c) * b.NN];
    return W;
}

TEST(BandRows, FusedFactorSolveAndKeptFactorMatchSfacSsolAndDenseSolve) {
    const double dt = 37.5;
    struct Case { int NN, B; };
    for (const Case c : {Case{1, 1}, Case{2, 2}, Case{3, 2}, Case{5, 5}, Case{13, 4}, Case{64, 18}, Case{61, 18},
                         Case{90, 27}, Case{103, 21}, Case{40, 66}, Case{70, 70}}) {
        const Bands b = makeBands(c.NN, c.B, dt, 5u + c.NN + 7u * c.B);
        std::vector<double> r0(c.NN);
        for (int i = 0; i < c.NN; ++i) r0[i] = std::cos(0.3 * i) * 4.0 - 1.0;
        const std::vector<double> ref = denseSolve(b, r0);

        std::vector<double> column = b.column, viaSsol = r0;
        ASSERT_EQ(wf::SFAC(c.NN, c.B, column.data(), c.NN), 0);
        wf::SSOL(c.NN, c.B, column.data(), c.NN, viaSsol.data());

        wf::BandBuffer W = rowWise(b);
        std::vector<double> fused = r0;
        ASSERT_EQ(wf::factorForwardBandRows(c.NN, c.B, W.data(), b.ld, fused.data()), 0);
        wf::backBandRows(c.NN, c.B, W.data(), b.ld, fused.data());
        std::vector<double> kept = r0;
        wf::solveBandRows(c.NN, c.B, W.data(), b.ld, kept.data());

        EXPECT_LT(maxRelDiff(fused, ref), 1e-12) << "NN " << c.NN << " B " << c.B;
        EXPECT_LT(maxRelDiff(kept, ref), 1e-12) << "NN " << c.NN << " B " << c.B;
        EXPECT_EQ(fused, viaSsol) << "NN " << c.NN << " B " << c.B;
        EXPECT_EQ(kept, viaSsol) << "NN " << c.NN << " B " << c.B;
        // The pivots of the row-wise factor are those SFAC leaves in column 1.
        for (int i = 0; i < c.NN; ++i) EXPECT_EQ(W[static_cast<std::size_t>(i) * b.ld], column[i]) << i;
    }
}

// A factor whose pivot fails is reported with its 1-based row by the fused
// call as by SFAC: [[1, 1], [1, 1]] has the second pivot 0, [[-1, 1], [1, 1]]
// a negative first pivot.
TEST(BandRows, FusedFactorReportsTheFirstRowWithoutPositivePivot) {
    const int NN = 2, B = 2, ld = wf::bandRowStride(B);
    for (const double first : {1.0, -1.0}) {
        wf::BandBuffer W;
        W.assign(static_cast<std::size_t>(NN) * ld, 0.0);
        W[0] = first;
        W[1] = 1.0;
        W[ld] = 1.0;
        std::vector<double> r = {1.0, 1.0};
        EXPECT_EQ(wf::factorForwardBandRows(NN, B, W.data(), ld, r.data()), first > 0.0 ? 2 : 1);
        std::vector<double> column = {first, 1.0, 1.0, 0.0};
        EXPECT_EQ(wf::SFAC(NN, B, column.data(), NN), first > 0.0 ? 2 : 1);
    }
}

} // namespace
