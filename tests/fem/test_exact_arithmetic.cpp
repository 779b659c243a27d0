// The solver's band factorisation, substitutions and time step against the
// plain loops of literal_step.h: the same doubles, bit for bit (signed zeros
// included), on random symmetric positive definite bands of many shapes, on
// the steps of a default-size radial section, and in the simulation file of a
// whole model run.
#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "fem/band_core.h"
#include "fem/fem_numerics.h"
#include "fem/model_run.h"
#include "fem/simf.h"
#include "literal_step.h"
#include "test_step_mesh.h"

namespace {

std::uint64_t bits(double x) { return std::bit_cast<std::uint64_t>(x); }

// Symmetric positive definite band, column-stored NN x B with lda = NN:
// random couplings of both signs, some exactly +0 or -0 (as cleared and
// sign-flipped entries of assembled bands), a diagonal that dominates.
std::vector<double> randomBand(int NN, int B, unsigned seed) {
    std::mt19937 gen(seed);
    std::uniform_real_distribution<double> u(-1.0, 1.0);
    std::vector<double> A(static_cast<std::size_t>(NN) * B, 0.0);
    std::vector<double> rowAbs(NN, 0.0);
    for (int i = 0; i < NN; ++i)
        for (int j = 1; j < B && i + j < NN; ++j) {
            double v = u(gen);
            if (std::fabs(v) < 0.15) v = v < 0.0 ? -0.0 : 0.0;
            A[i + static_cast<std::size_t>(j) * NN] = v;
            rowAbs[i] += std::fabs(v);
            rowAbs[i + j] += std::fabs(v);
        }
    for (int i = 0; i < NN; ++i) A[i] = rowAbs[i] + 0.25 + std::fabs(u(gen));
    return A;
}

std::vector<double> randomRhs(int NN, unsigned seed) {
    std::mt19937 gen(seed);
    std::uniform_real_distribution<double> u(-5.0, 5.0);
    std::vector<double> r(NN);
    for (double& x : r) x = u(gen);
    if (NN > 2) r[1] = -0.0;
    return r;
}

// In-matrix positions of two column-stored bands (lda = NN), bit for bit.
void expectSameBand(int NN, int B, const std::vector<double>& a, const std::vector<double>& b, const char* what) {
    for (int c = 0; c < B; ++c)
        for (int i = 0; i + c < NN; ++i) {
            const std::size_t at = i + static_cast<std::size_t>(c) * NN;
            ASSERT_EQ(bits(a[at]), bits(b[at])) << what << ": row " << i + 1 << ", column " << c + 1 << ": "
                                                << a[at] << " vs " << b[at];
        }
}

void expectSameVector(const std::vector<double>& a, const std::vector<double>& b, const char* what) {
    ASSERT_EQ(a.size(), b.size());
    for (std::size_t i = 0; i < a.size(); ++i)
        ASSERT_EQ(bits(a[i]), bits(b[i])) << what << ": entry " << i + 1 << ": " << a[i] << " vs " << b[i];
}

struct Shape {
    int NN, B;
};

// NN 1, B 1, B past NN, every NN modulo four, the default band (320, 18), the
// widest block core (B 62) and the plain row loop beyond it.
const Shape kShapes[] = {{1, 1}, {1, 4},  {2, 5},   {3, 2},   {5, 1},   {6, 9},    {7, 3},   {13, 4},
                         {17, 5}, {40, 8}, {41, 12}, {64, 17}, {99, 18}, {320, 18}, {101, 27}, {150, 62},
                         {90, 70}};

TEST(ExactArithmetic, ColumnStoredSfacAndSsolAreTheLiteralLoops) {
    unsigned seed = 11;
    for (const Shape& s : kShapes) {
        SCOPED_TRACE(::testing::Message() << "NN " << s.NN << ", B " << s.B);
        const std::vector<double> A0 = randomBand(s.NN, s.B, ++seed), r0 = randomRhs(s.NN, ++seed);
        std::vector<double> fast = A0, lit = A0, rf = r0, rl = r0;
        ASSERT_EQ(wf::SFAC(s.NN, s.B, fast.data(), s.NN), 0);
        wftest::literal::SFAC(s.NN, s.B, lit.data(), s.NN);
        expectSameBand(s.NN, s.B, fast, lit, "factor");
        wf::SSOL(s.NN, s.B, fast.data(), s.NN, rf.data());
        wftest::literal::SSOL(s.NN, s.B, lit.data(), s.NN, rl.data());
        expectSameVector(rf, rl, "solution");
    }
}

// The row-wise kernels of the time step: factorisation alone, with the
// forward substitution in its loop, and the solve with a kept factor.
TEST(ExactArithmetic, RowWiseKernelsAreTheLiteralLoops) {
    unsigned seed = 500;
    for (const Shape& s : kShapes) {
        SCOPED_TRACE(::testing::Message() << "NN " << s.NN << ", B " << s.B);
        const std::vector<double> A0 = randomBand(s.NN, s.B, ++seed), r0 = randomRhs(s.NN, ++seed);
        std::vector<double> lit = A0, rl = r0;
        wftest::literal::SFAC(s.NN, s.B, lit.data(), s.NN);
        wftest::literal::SSOL(s.NN, s.B, lit.data(), s.NN, rl.data());

        const int ld = wf::bandRowStride(s.B);
        wf::BandBuffer W1, W2;
        W1.assign(static_cast<std::size_t>(s.NN) * ld, 0.0);
        for (int i = 0; i < s.NN; ++i)
            for (int c = 0; c < s.B && i + c < s.NN; ++c)
                W1[static_cast<std::size_t>(i) * ld + c] = A0[i + static_cast<std::size_t>(c) * s.NN];
        W2 = W1;
        std::vector<double> r1 = r0, r2 = r0;
        ASSERT_EQ(wf::factorBandRows(s.NN, s.B, W1.data(), ld), 0);
        wf::solveBandRows(s.NN, s.B, W1.data(), ld, r1.data());
        ASSERT_EQ(wf::factorForwardBandRows(s.NN, s.B, W2.data(), ld, r2.data()), 0);
        wf::backBandRows(s.NN, s.B, W2.data(), ld, r2.data());
        std::vector<double> f1(A0.size(), 0.0), f2(A0.size(), 0.0);
        for (int i = 0; i < s.NN; ++i)
            for (int c = 0; c < s.B && i + c < s.NN; ++c) {
                f1[i + static_cast<std::size_t>(c) * s.NN] = W1[static_cast<std::size_t>(i) * ld + c];
                f2[i + static_cast<std::size_t>(c) * s.NN] = W2[static_cast<std::size_t>(i) * ld + c];
            }
        expectSameBand(s.NN, s.B, f1, lit, "row-wise factor");
        expectSameBand(s.NN, s.B, f2, lit, "row-wise factor with forward pass");
        expectSameVector(r1, rl, "row-wise solve");
        expectSameVector(r2, rl, "row-wise fused solve");
    }
}

// A band whose couplings are all -0 (as the sign of a product of zeros can
// leave them) and one whose right-hand side is -0: a sum of -0 terms starts
// from +0 and stays +0, and x - (+0) keeps x.
TEST(ExactArithmetic, SignedZerosFollowTheLiteralLoops) {
    for (const Shape& s : {Shape{9, 4}, Shape{24, 18}}) {
        std::vector<double> A(static_cast<std::size_t>(s.NN) * s.B, -0.0);
        for (int i = 0; i < s.NN; ++i) A[i] = 2.0 + i;
        std::vector<double> r(s.NN, -0.0);
        std::vector<double> fast = A, lit = A, rf = r, rl = r;
        ASSERT_EQ(wf::SFAC(s.NN, s.B, fast.data(), s.NN), 0);
        wftest::literal::SFAC(s.NN, s.B, lit.data(), s.NN);
        expectSameBand(s.NN, s.B, fast, lit, "factor");
        wf::SSOL(s.NN, s.B, fast.data(), s.NN, rf.data());
        wftest::literal::SSOL(s.NN, s.B, lit.data(), s.NN, rl.data());
        expectSameVector(rf, rl, "solution");
        EXPECT_EQ(bits(lit[s.NN]), bits(-0.0 / 2.0));  // row 1 scaled by the reciprocal: -0 stays -0
    }
}

std::vector<double> heads(const wf::ModelSet& m, int NN) { return {m.RHS.data(), m.RHS.data() + NN}; }

// solveStep and the literal step from the same state, step by step over a
// schedule: the heads (and the step totals) are the same doubles. Repeated
// increments exercise the kept factor.
void compareSteps(wftest::RadialModel& fast, wftest::RadialModel& ref, const std::vector<double>& times) {
    double t = 0.0;
    for (std::size_t i = 1; i < times.size(); ++i) {
        SCOPED_TRACE(::testing::Message() << "step to t = " << times[i]);
        for (wftest::RadialModel* rm : {&fast, &ref}) {
            rm->fs.dt = times[i] - t;
            rm->fs.t = times[i];
            rm->fs.step = static_cast<int>(i);
            rm->fs.pumpedVolume = rm->fs.neumannVolume = 0.0;
        }
        t = times[i];
        ASSERT_EQ(wf::solveStep(fast.fs, fast.m, fast.P, 4), 0);
        wftest::literal::step(ref.fs, ref.m, ref.P, 4);
        expectSameVector(heads(fast.m, fast.fs.NN), heads(ref.m, ref.fs.NN), "heads");
        EXPECT_EQ(bits(fast.fs.pumpedVolume), bits(ref.fs.pumpedVolume));
        EXPECT_EQ(bits(fast.fs.neumannVolume), bits(ref.fs.neumannVolume));
        for (int n = 1; n <= fast.fs.NN; ++n) {
            fast.m.HOLD(n) = fast.m.RHS(n);
            ref.m.HOLD(n) = ref.m.RHS(n);
        }
    }
}

// Output times: log-spaced from 1 s, then equal 600 s steps across the rate
// changes at 3600 s and 7200 s, then longer equal steps.
std::vector<double> schedule() {
    std::vector<double> t = {0.0};
    for (double x = 1.0; x < 1800.0; x *= 1.37) t.push_back(x);
    for (double x = 1800.0; x <= 9000.0; x += 600.0) t.push_back(x);
    for (double x = 12000.0; x <= 48000.0; x += 12000.0) t.push_back(x);
    return t;
}

TEST(ExactArithmetic, DefaultSectionStepsAreTheLiteralSteps) {
    wftest::RadialModel fast, ref;
    wftest::buildRadialModel(fast, 16, 20);  // NN 320, B 18
    wftest::buildRadialModel(ref, 16, 20);
    // One prescribed head of 0: its couplings are cleared without moving any term.
    fast.m.DHEAD(5) = ref.m.DHEAD(5) = 0.0;
    compareSteps(fast, ref, schedule());
    EXPECT_EQ(fast.fs.cache.factorDt, 12000.0);  // the factor kept for the repeated 12000 s steps

    // New multipliers within the run and a changed prescribed head.
    for (wftest::RadialModel* rm : {&fast, &ref}) {
        rm->P[0] = 3.5;
        rm->P[3] = 0.02;
        rm->m.DHEAD(7) = 99.25;
        for (int n = 1; n <= rm->fs.NN; ++n) rm->m.HOLD(n) = rm->m.H0(n);
    }
    compareSteps(fast, ref, {0.0, 60.0, 120.0, 180.0, 7000.0, 13900.0});
}

TEST(ExactArithmetic, TimeIndependentAndOtherSectionsAreTheLiteralSteps) {
    for (int nsteps : {0, 50})
        for (auto [nr, nz] : {std::pair{5, 4}, std::pair{9, 7}, std::pair{30, 12}}) {
            SCOPED_TRACE(::testing::Message() << nr << " x " << nz << ", steps " << nsteps);
            wftest::RadialModel fast, ref;
            for (wftest::RadialModel* rm : {&fast, &ref}) {
                wftest::buildRadialModel(*rm, nr, nz);
                rm->fs.nsteps = nsteps;
            }
            compareSteps(fast, ref, {0.0, 30.0, 95.0, 160.0, 225.0, 4000.0});
        }
}

// A radial section of quadratic elements: 9-node Lagrange (family L) or
// 8-node serendipity (family S, whose centre nodes are left out of the
// elements and held at a prescribed head). nc x nr elements, nodes row by row,
// one material (quadratic shape functions interpolating a conductivity that
// jumps between nodes of one element would turn it negative between them).
void buildQuadraticModel(wftest::RadialModel& rm, int nc, int nr, bool serendipity) {
    wf::FemState& fs = rm.fs;
    wf::ModelSet& m = rm.m;
    const int W = 2 * nc + 1, H = 2 * nr + 1;
    m.allocate(W, H);
    fs.NN = W * H;
    fs.NEL = nc * nr;
    fs.family = serendipity ? 'S' : 'L';
    fs.nodesPerSide = 3;
    fs.degree = 2;
    fs.gaussPerDir = 4;
    fs.gaussPoints = 16;
    fs.nodesPerElement = serendipity ? 8 : 9;
    fs.bandwidth = 2 * W + 3;
    fs.nsteps = 50;
    fs.KX = 2e-6;
    fs.KY = 5e-7;
    fs.SS = 1e-5;
    fs.npar = 4;
    m.BAND.allocate(fs.NN, fs.bandwidth);
    m.CON.allocate(fs.NEL, 9);
    auto node = [&](int col, int row) { return (row - 1) * W + col; };
    for (int row = 1; row <= H; ++row)
        for (int col = 1; col <= W; ++col) {
            const int n = node(col, row);
            m.X(n) = 0.1 * std::pow(1.5, col - 1);
            m.Y(n) = 0.3 * (row - 1) + 0.01 * (row % 2);
            m.MAT(n) = 1;
            m.H0(n) = m.HOLD(n) = 100.0;
        }
    std::vector<int> held;
    for (int row = 1; row <= H; ++row) held.push_back(node(W, row));
    int e = 0;
    for (int ec = 0; ec < nc; ++ec)
        for (int er = 0; er < nr; ++er) {
            const int c = 2 * ec + 1, r = 2 * er + 1;
            const int local[9] = {node(c, r),         node(c + 1, r),     node(c + 2, r),
                                  node(c + 2, r + 1), node(c + 2, r + 2), node(c + 1, r + 2),
                                  node(c, r + 2),     node(c, r + 1),     node(c + 1, r + 1)};
            ++e;
            for (int i = 0; i < fs.nodesPerElement; ++i) m.CON(e, i + 1) = local[i];
            if (serendipity) held.push_back(local[8]);
        }
    fs.NDN = static_cast<int>(held.size());
    m.DNODE.allocate(fs.NDN);
    m.DHEAD.allocate(fs.NDN);
    for (int d = 0; d < fs.NDN; ++d) {
        m.DNODE(d + 1) = held[d];
        m.DHEAD(d + 1) = 100.0 - 0.01 * (d % 3);
    }
    fs.NSRC = 2;
    for (int k = 1; k <= 2; ++k) {
        m.SRC(k, 1) = node(1, k);
        m.SRC(k, 2) = 3;
        const double t[3] = {0.0, 3600.0, 1e7}, q[3] = {-1e-3, -1e-3, -2e-3};
        for (int p = 1; p <= 3; ++p) {
            m.PROF(k, p, 1) = t[p - 1];
            m.PROF(k, p, 2) = q[p - 1] / k;
        }
    }
    fs.NNS = 0;
}

TEST(ExactArithmetic, QuadraticElementStepsAreTheLiteralSteps) {
    for (bool serendipity : {false, true}) {
        SCOPED_TRACE(serendipity ? "8-node serendipity" : "9-node Lagrange");
        wftest::RadialModel fast, ref;
        buildQuadraticModel(fast, 6, 4, serendipity);
        buildQuadraticModel(ref, 6, 4, serendipity);
        compareSteps(fast, ref, {0.0, 20.0, 70.0, 120.0, 170.0, 3000.0, 9000.0});
    }
}

// A whole model run of 250 log-spaced output times on the default mesh: the
// drawdowns of AQFESUB and those of a time loop of literal steps over the same
// input are the same doubles, and the two simulation files have the same bytes.
TEST(ExactArithmetic, ModelRunWritesTheSimulationFileOfTheLiteralSteps) {
    wf::test::RadialModel mesh;
    mesh.r = wf::test::geometricRadii(0.0625, 2.0, 1024.0);  // 16 columns
    for (int j = 0; j < 20; ++j) mesh.z.push_back(j * 40.0 / 19.0);
    mesh.nzf = 4;
    mesh.pumpLastRow = 4;
    mesh.constantHead = true;
    mesh.schedule = {{0.0, 0.01}, {3.0e4, 0.02}};
    mesh.obsNodes = {1, 17, 40};
    wf::test::ModelRun run(mesh, 1.0e-5, 1.0e-6);
    run.P[1] = 0.01;
    const std::vector<double> times = wf::test::logTimes(1.0, 1.0e5, 250);
    ASSERT_TRUE(run.run(times));
    const std::string viaSolver = run.dir.read("MODEL.inv");

    wf::RunState& rs = run.rs;
    wf::FemState& fs = rs.fem;
    wf::ModelSet& m = rs.model;
    wf::test::RunArrays& a = run.arrays;
    const std::vector<double> simulated(a.sim.data(), a.sim.data() + fs.nobsNodes * fs.nout);
    for (int n = 1; n <= fs.NN; ++n) m.HOLD(n) = m.HNEW(n) = m.H0(n);
    for (int k = 1; k <= fs.nobsNodes; ++k) a.sim(k, 1) = 0.0;
    fs.t = 0.0;
    for (int i = 2; i <= fs.nout; ++i) {
        fs.dt = a.times(i) - fs.t;
        fs.t = a.times(i);
        wftest::literal::step(fs, m, run.P, 4);
        for (int n = 1; n <= fs.NN; ++n) m.HOLD(n) = m.HNEW(n) = m.RHS(n);
        for (int k = 1; k <= fs.nobsNodes; ++k) a.sim(k, i) = m.H0(a.obs(k)) - m.HNEW(a.obs(k));
    }
    EXPECT_GT(a.sim(1, fs.nout), 0.1);  // the well has been drawn down
    expectSameVector(simulated, std::vector<double>(a.sim.data(), a.sim.data() + fs.nobsNodes * fs.nout),
                     "drawdowns");
    ASSERT_TRUE(wf::writeSimulationFile(rs, a.sim, a.obs, a.times));
    const std::string viaLiteral = run.dir.read("MODEL.inv");
    EXPECT_EQ(viaSolver.size(), viaLiteral.size());
    EXPECT_TRUE(viaSolver == viaLiteral);
}

} // namespace
