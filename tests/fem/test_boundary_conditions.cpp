// Boundary conditions: prescribed heads (DBCC) on a small band system and
// prescribed fluxes (NBCC) on straight sides of linear and quadratic elements.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "fem/fem_numerics.h"

namespace {

// Five unknowns, half-bandwidth 3, every band entry distinct; the full
// symmetric matrix is kept alongside to check the moved couplings.
struct BandSystem {
    wf::FemState fs;
    wf::ModelSet m;
    BandSystem() {
        m.allocate(3, 2);  // NN up to 6, band columns up to 5
        fs.NN = 5;
        fs.bandwidth = 3;
        for (int i = 1; i <= 5; ++i) {
            m.RHS(i) = 10.0 * i;
            for (int j = 1; j <= 3 && i + j - 1 <= 5; ++j) m.BAND(i, j) = j == 1 ? 20.0 + i : -(i + 0.1 * j);
        }
    }
    double full(int i, int j) const {  // symmetric entry (i, j), 0 outside the band
        if (j < i) std::swap(i, j);
        return j - i + 1 <= 3 ? m.BAND(i, j - i + 1) : 0.0;
    }
    void prescribe(std::vector<std::pair<int, double>> nodes) {
        fs.NDN = static_cast<int>(nodes.size());
        for (int d = 1; d <= fs.NDN; ++d) {
            m.DNODE(d) = nodes[d - 1].first;
            m.DHEAD(d) = nodes[d - 1].second;
        }
    }
};

// After prescribing node I: unit diagonal, zero couplings in its row and
// column, right-hand side h at I and r_J - A(J, I) h elsewhere.
void expectPrescribed(const BandSystem& before, const BandSystem& after, int I, double h) {
    for (int J = 1; J <= 5; ++J) {
        if (J == I) {
            EXPECT_EQ(after.full(I, I), 1.0);
            EXPECT_EQ(after.m.RHS(I), h);
            continue;
        }
        EXPECT_EQ(after.full(I, J), 0.0) << I << "," << J;
        EXPECT_DOUBLE_EQ(after.m.RHS(J), before.m.RHS(J) - before.full(I, J) * h) << "rhs " << J;
    }
}

TEST(DirichletHeads, InteriorNodeMovesItsCouplingsToTheRightHandSide) {
    BandSystem a;
    const BandSystem before = a;
    a.prescribe({{3, 2.5}});
    wf::AEBC(a.fs, a.m);
    expectPrescribed(before, a, 3, 2.5);
    EXPECT_EQ(a.full(1, 2), before.full(1, 2));  // couplings of other nodes stay
    EXPECT_EQ(a.full(4, 5), before.full(4, 5));
}

TEST(DirichletHeads, ZeroHeadOfEitherSignLeavesNeighboursUnchanged) {
    for (double zero : {0.0, -0.0}) {
        BandSystem a;
        a.prescribe({{3, zero}});
        wf::DBCC(a.fs, a.m);
        for (int J : {1, 2, 4, 5}) {
            EXPECT_EQ(a.m.RHS(J), 10.0 * J);
            EXPECT_EQ(a.full(3, J), 0.0);
        }
        EXPECT_EQ(a.full(3, 3), 1.0);
        EXPECT_EQ(a.m.RHS(3), 0.0);
    }
}

TEST(DirichletHeads, FirstAndLastNodes) {
    BandSystem first;
    const BandSystem before = first;
    first.prescribe({{1, -4.0}});
    wf::DBCC(first.fs, first.m);
    expectPrescribed(before, first, 1, -4.0);

    BandSystem last;
    last.prescribe({{5, 3.0}});
    wf::DBCC(last.fs, last.m);
    expectPrescribed(before, last, 5, 3.0);
    EXPECT_EQ(last.m.BAND(4, 1), before.m.BAND(4, 1));
}

// The second of two adjacent prescribed nodes finds their coupling already
// cleared and subtracts nothing for it.
TEST(DirichletHeads, AdjacentNodesSubtractTheSharedCouplingOnce) {
    BandSystem a;
    const BandSystem before = a;
    a.prescribe({{2, 1.0}, {3, 2.0}});
    wf::DBCC(a.fs, a.m);
    EXPECT_EQ(a.m.RHS(2), 1.0);
    EXPECT_EQ(a.m.RHS(3), 2.0);
    EXPECT_DOUBLE_EQ(a.m.RHS(1), before.m.RHS(1) - before.full(1, 2) * 1.0 - before.full(1, 3) * 2.0);
    EXPECT_DOUBLE_EQ(a.m.RHS(4), before.m.RHS(4) - before.full(2, 4) * 1.0 - before.full(3, 4) * 2.0);
    EXPECT_DOUBLE_EQ(a.m.RHS(5), before.m.RHS(5) - before.full(3, 5) * 2.0);
    EXPECT_EQ(a.full(2, 3), 0.0);
    // The solved system returns the prescribed heads.
    ASSERT_EQ(wf::SFAC(5, 3, a.m.BAND.data(), a.m.BAND.rows()), 0);
    wf::SSOL(5, 3, a.m.BAND.data(), a.m.BAND.rows(), a.m.RHS.data());
    EXPECT_DOUBLE_EQ(a.m.RHS(2), 1.0);
    EXPECT_DOUBLE_EQ(a.m.RHS(3), 2.0);
}

// Quadrilateral elements for the fluxes: a tilted straight top side of length
// 5 (from (4,3) to (0,0) in the direction of travel).
struct FluxModel {
    wf::FemState fs;
    wf::ModelSet m;
    explicit FluxModel(int nodesPerSide) {
        m.allocate(3, 3);
        m.CON.allocate(1, 9);
        m.BAND.allocate(9, 9);
        fs.NN = nodesPerSide == 2 ? 4 : 9;
        fs.NEL = 1;
        fs.bandwidth = fs.NN;
        fs.nodesPerSide = nodesPerSide;
        fs.degree = nodesPerSide - 1;
        fs.nodesPerElement = nodesPerSide == 2 ? 4 : 9;
        fs.family = 'L';
        fs.dt = 7.0;
        fs.NNS = 1;
        // corners (2,-2), (6,1), (4,3), (0,0): side 3 runs (4,3) -> (0,0), side 4 (0,0) -> (2,-2)
        const double cr[4] = {2.0, 6.0, 4.0, 0.0}, cz[4] = {-2.0, 1.0, 3.0, 0.0};
        constexpr double xi[9] = {-1, 0, 1, 1, 1, 0, -1, -1, 0}, eta[9] = {-1, -1, -1, 0, 1, 1, 1, 0, 0};
        for (int i = 0; i < fs.nodesPerElement; ++i) {
            double a, b;
            if (fs.nodesPerElement == 4) {
                a = (i == 1 || i == 2) ? 1.0 : 0.0;
                b = (i >= 2) ? 1.0 : 0.0;
            } else {
                a = (1 + xi[i]) / 2;
                b = (1 + eta[i]) / 2;
            }
            const double w[4] = {(1 - a) * (1 - b), a * (1 - b), a * b, (1 - a) * b};
            m.X(i + 1) = m.Y(i + 1) = 0.0;
            for (int k = 0; k < 4; ++k) {
                m.X(i + 1) += w[k] * cr[k];
                m.Y(i + 1) += w[k] * cz[k];
            }
            m.CON(1, i + 1) = i + 1;
        }
    }
};

TEST(NeumannFluxes, UniformFluxOnLinearSideSplitsEvenly) {
    FluxModel f(2);
    // side 3 of the 4-node element: local nodes 3 (4,3) and 4 (0,0), length 5
    f.m.NSIDE(1, 1) = 1;
    f.m.NSIDE(1, 2) = 3;
    f.m.NFLUX(1, 1) = f.m.NFLUX(1, 2) = 0.2;
    wf::NBCC(f.fs, f.m);
    EXPECT_NEAR(f.m.RHS(3), 0.2 * 5.0 * 7.0 / 2, 1e-14);
    EXPECT_NEAR(f.m.RHS(4), 0.2 * 5.0 * 7.0 / 2, 1e-14);
    EXPECT_EQ(f.m.RHS(1), 0.0);
    EXPECT_EQ(f.m.RHS(2), 0.0);
    EXPECT_NEAR(f.fs.neumannVolume, 0.2 * 5.0 * 7.0, 1e-14);
}

TEST(NeumannFluxes, UniformFluxOnQuadraticSideWeightsOneSixthTwoThirds) {
    FluxModel f(3);
    // side 3 of the 9-node element: local nodes 5, 6, 7, from (4,3) to (0,0)
    f.m.NSIDE(1, 1) = 1;
    f.m.NSIDE(1, 2) = 5;
    for (int j = 1; j <= 3; ++j) f.m.NFLUX(1, j) = 0.2;
    wf::NBCC(f.fs, f.m);
    const double qLdt = 0.2 * 5.0 * 7.0;
    EXPECT_NEAR(f.m.RHS(5), qLdt / 6, 1e-13);
    EXPECT_NEAR(f.m.RHS(6), qLdt * 2 / 3, 1e-13);
    EXPECT_NEAR(f.m.RHS(7), qLdt / 6, 1e-13);
    EXPECT_NEAR(f.fs.neumannVolume, qLdt, 1e-13);
}

// A linearly varying flux q1 -> q2 on a linear side gives the consistent
// loads L dt (2 q1 + q2)/6 and L dt (q1 + 2 q2)/6; a side starting at local
// node 4 is side 4 (nodes 4 and 1).
TEST(NeumannFluxes, LinearFluxOnClosingSide) {
    FluxModel f(2);
    f.m.NSIDE(1, 1) = 1;
    f.m.NSIDE(1, 2) = 4;
    f.m.NFLUX(1, 1) = 1.0;
    f.m.NFLUX(1, 2) = 4.0;
    wf::NBCC(f.fs, f.m);
    const double L = std::sqrt(4.0 + 4.0);  // (0,0) -> (2,-2)
    EXPECT_NEAR(f.m.RHS(4), L * 7.0 * (2 * 1.0 + 4.0) / 6, 1e-13);
    EXPECT_NEAR(f.m.RHS(1), L * 7.0 * (1.0 + 2 * 4.0) / 6, 1e-13);
}

// A side whose first node does not belong to its element, an element number
// out of range and a 9-node centre node start no side: nothing is added.
TEST(NeumannFluxes, SidesWithoutAnElementSideAreSkipped) {
    for (int nodesPerSide : {2, 3}) {
        FluxModel f(nodesPerSide);
        f.fs.NNS = 3;
        f.m.NSIDE(1, 1) = 1;
        f.m.NSIDE(1, 2) = nodesPerSide == 2 ? 7 : 12;  // not a node of element 1
        f.m.NSIDE(2, 1) = 5;                            // no such element
        f.m.NSIDE(2, 2) = 1;
        f.m.NSIDE(3, 1) = 1;
        f.m.NSIDE(3, 2) = nodesPerSide == 2 ? -1 : 9;   // centre node of the 9-node element
        for (int b = 1; b <= 3; ++b)
            for (int j = 1; j <= 3; ++j) f.m.NFLUX(b, j) = 1.0;
        wf::NBCC(f.fs, f.m);
        for (int i = 1; i <= 9; ++i) EXPECT_EQ(f.m.RHS(i), 0.0);
        EXPECT_EQ(f.fs.neumannVolume, 0.0);
    }
}

// Fluxes come first: a flux on a side touching a prescribed node leaves that
// node's head as prescribed.
TEST(NeumannFluxes, PrescribedHeadOverridesFluxAtSharedNode) {
    FluxModel f(2);
    for (int i = 1; i <= 4; ++i) f.m.BAND(i, 1) = 5.0;
    f.m.NSIDE(1, 1) = 1;
    f.m.NSIDE(1, 2) = 3;
    f.m.NFLUX(1, 1) = f.m.NFLUX(1, 2) = 0.2;
    f.fs.NDN = 1;
    f.m.DNODE(1) = 3;
    f.m.DHEAD(1) = 42.0;
    wf::AEBC(f.fs, f.m);
    EXPECT_EQ(f.m.RHS(3), 42.0);
    EXPECT_NEAR(f.m.RHS(4), 0.2 * 5.0 * 7.0 / 2, 1e-14);
}

} // namespace
