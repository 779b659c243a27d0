// ASEM: global band assembly of the element matrices with the nodal
// material multipliers, and the point sources with their partial-step rule.
#include <gtest/gtest.h>

#include <cmath>

#include "fem/fem_numerics.h"
#include "test_step_mesh.h"

namespace {

// One bilinear element, the square [1,2] x [0,1] in (r, z).
struct OneElement {
    wf::FemState fs;
    wf::ModelSet m;
    OneElement(int material, int nsteps) {
        m.allocate(2, 2);
        fs.NN = 4;
        fs.NEL = 1;
        fs.bandwidth = 4;
        fs.nsteps = nsteps;
        fs.KX = fs.KY = 1.0;
        fs.SS = 1.0;
        fs.dt = 1.0;
        const double r[4] = {1, 2, 2, 1}, z[4] = {0, 0, 1, 1};
        for (int i = 1; i <= 4; ++i) {
            m.X(i) = r[i - 1];
            m.Y(i) = z[i - 1];
            m.MAT(i) = material;
            m.CON(1, i) = i;
            m.HOLD(i) = 3.0;
        }
    }
    // Sum of the full symmetric matrix held in the upper band.
    double matrixSum() const {
        double s = 0.0;
        for (int i = 1; i <= 4; ++i)
            for (int j = 1; j <= 4 - i + 1; ++j) s += (j == 1 ? 1.0 : 2.0) * m.BAND(i, j);
        return s;
    }
};

// Profile (0 s, -0.01), (3600 s, -0.01), (7200 s, -0.02), rates in m3/s.
void setProfile(wf::FemState& fs, wf::ModelSet& m, int node) {
    fs.NSRC = 1;
    m.SRC(1, 1) = node;
    m.SRC(1, 2) = 3;
    const double t[3] = {0.0, 3600.0, 7200.0}, q[3] = {-0.01, -0.01, -0.02};
    for (int p = 1; p <= 3; ++p) {
        m.PROF(1, p, 1) = t[p - 1];
        m.PROF(1, p, 2) = q[p - 1];
    }
}

double sourceVolume(double t, double dt) {
    OneElement x(1, 0);
    x.fs.KX = x.fs.KY = 0.0;  // no conductance: the right-hand side holds the source only
    setProfile(x.fs, x.m, 3);
    x.fs.t = t;
    x.fs.dt = dt;
    x.fs.pumpedVolume = 0.5;  // accumulated onto
    const double P[4] = {1, 1, 1, 1};
    wf::ASEM(x.fs, x.m, P, 4);
    EXPECT_DOUBLE_EQ(x.fs.pumpedVolume - 0.5, x.m.RHS(3));
    for (int i : {1, 2, 4}) EXPECT_EQ(x.m.RHS(i), 0.0);
    return x.m.RHS(3);
}

TEST(Assembly, PointSourceFollowsItsProfile) {
    EXPECT_NEAR(sourceVolume(600.0, 600.0), -6.0, 1e-12);
    // 3000 -> 4200 s: only the 600 s after 3600 s count, at the rate of 3600-7200 s.
    EXPECT_NEAR(sourceVolume(4200.0, 1200.0), -12.0, 1e-12);
    // A step ending exactly on 3600 s belongs to the earlier interval.
    EXPECT_NEAR(sourceVolume(3600.0, 600.0), -6.0, 1e-12);
    // Ending at 7200 s after the interval began 3600 s earlier: full rate.
    EXPECT_NEAR(sourceVolume(7200.0, 600.0), -12.0, 1e-12);
    // No interval contains the time: nothing.
    EXPECT_EQ(sourceVolume(8000.0, 600.0), 0.0);
}

// Material 2 takes conductivity multiplier P(2) and storage multiplier P(4):
// the conductance scales with P(2); the storage entries sum to
// SS * P(4) * integral of r over the element = 1.5 SS P(4), and the
// right-hand side to that times the uniform old head.
TEST(Assembly, MaterialMultipliersScaleConductanceAndStorage) {
    OneElement k1(2, 0), k2(2, 0), st(2, 4);
    const double P1[4] = {9.0, 1.0, 9.0, 1.0}, P2[4] = {9.0, 2.5, 9.0, 1.0}, P3[4] = {9.0, 2.5, 9.0, 0.4};
    wf::ASEM(k1.fs, k1.m, P1, 4);
    wf::ASEM(k2.fs, k2.m, P2, 4);
    wf::ASEM(st.fs, st.m, P3, 4);
    EXPECT_NEAR(k1.matrixSum(), 0.0, 1e-14);  // uniform head, no flow
    EXPECT_NEAR(st.matrixSum(), 0.4 * 1.5, 1e-14);
    double rhs = 0.0;
    for (int i = 1; i <= 4; ++i) {
        rhs += st.m.RHS(i);
        for (int j = 1; j <= 5 - i; ++j) {
            EXPECT_NEAR(k2.m.BAND(i, j), 2.5 * k1.m.BAND(i, j), 1e-14);
        }
    }
    EXPECT_NEAR(rhs, 3.0 * 0.4 * 1.5, 1e-13);
}

// The saturation factor h_old - base level multiplies the conductance when
// the switch is 1; storage is unaffected.
TEST(Assembly, SaturatedThicknessScalesConductance) {
    OneElement plain(1, 0), sat(1, 0);
    sat.fs.satSwitch = 1;
    for (int i = 1; i <= 4; ++i) sat.m.BASELEV(i) = 0.5;  // h_old - base = 2.5
    const double P[4] = {1, 1, 1, 1};
    wf::ASEM(plain.fs, plain.m, P, 4);
    wf::ASEM(sat.fs, sat.m, P, 4);
    for (int i = 1; i <= 4; ++i)
        for (int j = 1; j <= 5 - i; ++j) EXPECT_NEAR(sat.m.BAND(i, j), 2.5 * plain.m.BAND(i, j), 1e-14);
}

// The assembled radial-section system is symmetric positive definite once the
// outer heads are prescribed: every pivot of the factor is positive. Its
// conductance part has zero row sums.
TEST(Assembly, RadialSectionSystemIsPositiveDefiniteWithZeroConductanceRowSums) {
    wftest::RadialModel rm;
    wftest::buildRadialModel(rm, 16, 20);
    rm.fs.nsteps = 0;
    rm.fs.t = rm.fs.dt = 60.0;
    rm.fs.NSRC = 0;
    wf::ASEM(rm.fs, rm.m, rm.P, 4);
    const int NN = rm.fs.NN, B = rm.fs.bandwidth;
    double diagMax = 0.0;
    for (int i = 1; i <= NN; ++i) diagMax = std::max(diagMax, rm.m.BAND(i, 1));
    for (int i = 1; i <= NN; ++i) {
        double s = 0.0;
        for (int j = 1; j <= B && i + j - 1 <= NN; ++j) s += rm.m.BAND(i, j);
        for (int k = 1; k < B && i - k >= 1; ++k) s += rm.m.BAND(i - k, k + 1);
        EXPECT_NEAR(s, 0.0, 1e-13 * diagMax) << "row " << i;
    }
    wf::DBCC(rm.fs, rm.m);
    ASSERT_EQ(wf::SFAC(NN, B, rm.m.BAND.data(), rm.m.BAND.rows()), 0);
    for (int i = 1; i <= NN; ++i) EXPECT_GT(rm.m.BAND(i, 1), 0.0);
}

} // namespace
