// solveStep against the straightforward step (ASEM, AEBC, SFAC, SSOL) over a
// realistic radial section and pumping schedule: the heads are the same
// doubles at every step, including steps that reuse the factor of a repeated
// time increment, runs with new multipliers, changed meshes and heads.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "fem/fem_numerics.h"
#include "test_step_mesh.h"

namespace {

int straightforward(wf::FemState& fs, wf::ModelSet& m, const double* P) {
    wf::ASEM(fs, m, P, 4);
    wf::AEBC(fs, m);
    const int bad = wf::SFAC(fs.NN, fs.bandwidth, m.BAND.data(), m.BAND.rows());
    if (bad == 0) wf::SSOL(fs.NN, fs.bandwidth, m.BAND.data(), m.BAND.rows(), m.RHS.data());
    return bad;
}

// Output times (s): 0, a log-spaced start, then two stretches of equal
// 600 s steps across the rate change at 3600 s and 7200 s.
std::vector<double> schedule() {
    std::vector<double> t = {0.0};
    for (double x = 1.0; x < 1800.0; x *= 1.7) t.push_back(x);
    for (double x = 1800.0; x <= 9000.0; x += 600.0) t.push_back(x);
    for (double x = 12000.0; x <= 48000.0; x += 12000.0) t.push_back(x);
    return t;
}

struct StepTotals {
    double pumped = 0.0, neumann = 0.0;
};

// Runs the schedule on both paths and returns the largest head difference
// relative to the largest drawdown (0 when every head is the same double).
double compareRuns(wftest::RadialModel& fast, wftest::RadialModel& ref, const std::vector<double>& times,
                   StepTotals* totals = nullptr) {
    double maxDiff = 0.0, maxDrawdown = 0.0;
    double t = 0.0;
    for (std::size_t i = 1; i < times.size(); ++i) {
        for (wftest::RadialModel* rm : {&fast, &ref}) {
            rm->fs.dt = times[i] - t;
            rm->fs.t = times[i];
            rm->fs.step = static_cast<int>(i);
            rm->fs.pumpedVolume = rm->fs.neumannVolume = 0.0;
        }
        t = times[i];
        EXPECT_EQ(wf::solveStep(fast.fs, fast.m, fast.P, 4), 0);
        EXPECT_EQ(straightforward(ref.fs, ref.m, ref.P), 0);
        EXPECT_EQ(fast.fs.pumpedVolume, ref.fs.pumpedVolume);
        EXPECT_EQ(fast.fs.neumannVolume, ref.fs.neumannVolume);
        if (totals) {
            totals->pumped += fast.fs.pumpedVolume;
            totals->neumann += fast.fs.neumannVolume;
        }
        for (int n = 1; n <= fast.fs.NN; ++n) {
            maxDiff = std::max(maxDiff, std::fabs(fast.m.RHS(n) - ref.m.RHS(n)));
            maxDrawdown = std::max(maxDrawdown, std::fabs(ref.m.H0(n) - ref.m.RHS(n)));
            fast.m.HOLD(n) = fast.m.RHS(n);
            ref.m.HOLD(n) = ref.m.RHS(n);
        }
    }
    EXPECT_GT(maxDrawdown, 0.01);
    return maxDiff / maxDrawdown;
}

TEST(StepSolve, MatchesStraightforwardAssemblyOverAPumpingSchedule) {
    wftest::RadialModel fast, ref;
    wftest::buildRadialModel(fast, 16, 20);
    wftest::buildRadialModel(ref, 16, 20);
    StepTotals totals;
    EXPECT_EQ(compareRuns(fast, ref, schedule(), &totals), 0.0);
    // Pumped volume of the two sources: 0-3600 s at -1.5e-3 m3/s, 3600-7200 s at
    // -3e-3 m3/s, nothing after 7200 s: -5.4 - 10.8 m3.
    EXPECT_NEAR(totals.pumped, -16.2, 1e-12);
    // Recharge 2e-7 -> 1e-7 m/s on the top side from r = 0.16 to 0.1 m for 48000 s.
    EXPECT_NEAR(totals.neumann, 0.06 * 1.5e-7 * 48000.0, 1e-15);
    EXPECT_TRUE(fast.fs.cache.valid);
    EXPECT_EQ(fast.fs.cache.factorDt, 12000.0);  // last factor kept for the repeated 12000 s steps
}

// A new model run (cache cleared) with other multipliers, and a run whose
// multipliers change without the cache being cleared, both rebuild the bands.
TEST(StepSolve, NewMultipliersRebuildTheRunMatrices) {
    wftest::RadialModel fast, ref;
    wftest::buildRadialModel(fast, 12, 10);
    wftest::buildRadialModel(ref, 12, 10);
    const std::vector<double> times = {0.0, 60.0, 120.0, 180.0, 600.0};
    EXPECT_EQ(compareRuns(fast, ref, times), 0.0);
    for (wftest::RadialModel* rm : {&fast, &ref}) {
        rm->P[1] = 0.05;
        rm->P[3] = 3.0;
        for (int n = 1; n <= rm->fs.NN; ++n) rm->m.HOLD(n) = rm->m.H0(n);
    }
    EXPECT_EQ(compareRuns(fast, ref, times), 0.0);
    fast.fs.cache.valid = false;
    for (wftest::RadialModel* rm : {&fast, &ref}) {
        rm->P[0] = 7.0;
        for (int n = 1; n <= rm->fs.NN; ++n) rm->m.HOLD(n) = rm->m.H0(n);
    }
    EXPECT_EQ(compareRuns(fast, ref, times), 0.0);
}

// A new model run on a mesh with the same counts but a moved node, or a node
// given the other material, must not reuse the previous run's integrals.
TEST(StepSolve, ChangedMeshOfTheSameSizeRebuildsTheIntegrals) {
    wftest::RadialModel fast, ref;
    wftest::buildRadialModel(fast, 12, 10);
    wftest::buildRadialModel(ref, 12, 10);
    const std::vector<double> times = {0.0, 60.0, 180.0, 600.0};
    EXPECT_EQ(compareRuns(fast, ref, times), 0.0);
    auto newRun = [&](auto change) {
        for (wftest::RadialModel* rm : {&fast, &ref}) {
            change(*rm);
            for (int n = 1; n <= rm->fs.NN; ++n) rm->m.HOLD(n) = rm->m.H0(n);
        }
        fast.fs.cache.valid = false;  // what the start of a model run does
        EXPECT_EQ(compareRuns(fast, ref, times), 0.0);
    };
    newRun([](wftest::RadialModel& rm) { rm.m.X(14) *= 1.3; });
    newRun([](wftest::RadialModel& rm) { rm.m.Y(30) += 0.05; });
    newRun([](wftest::RadialModel& rm) { rm.m.MAT(40) = rm.m.MAT(40) == 1 ? 2 : 1; });
}

// The kept factor belongs to the prescribed heads it was made with; a changed
// head, a dropped node and a node with head 0 (no coupling moved, only
// cleared) within one run must all give the straightforward step.
TEST(StepSolve, ChangedPrescribedHeadsRebuildTheRunMatrices) {
    wftest::RadialModel fast, ref;
    wftest::buildRadialModel(fast, 12, 10);
    wftest::buildRadialModel(ref, 12, 10);
    const std::vector<double> times = {0.0, 60.0, 180.0, 600.0};
    EXPECT_EQ(compareRuns(fast, ref, times), 0.0);
    for (wftest::RadialModel* rm : {&fast, &ref}) {
        rm->m.DHEAD(2) = 99.5;
        rm->m.DHEAD(3) = 0.0;
        rm->fs.NDN -= 1;
        for (int n = 1; n <= rm->fs.NN; ++n) rm->m.HOLD(n) = rm->m.H0(n);
    }
    EXPECT_EQ(compareRuns(fast, ref, times), 0.0);
    EXPECT_EQ(static_cast<int>(fast.fs.cache.factorNodes.size()), ref.fs.NDN);
    EXPECT_EQ(fast.fs.cache.factorHeads[1], 99.5);
}

// Time-independent problem: no storage, each step is the steady state of
// its sources, so equal rates give equal heads whatever the increment.
TEST(StepSolve, TimeIndependentProblemDependsOnlyOnTheSources) {
    wftest::RadialModel fast, ref;
    for (wftest::RadialModel* rm : {&fast, &ref}) {
        wftest::buildRadialModel(*rm, 10, 8);
        rm->fs.nsteps = 0;
        rm->fs.NNS = 0;
    }
    EXPECT_EQ(compareRuns(fast, ref, {0.0, 600.0, 1800.0}), 0.0);
    const std::vector<double> at1800(fast.m.RHS.data(), fast.m.RHS.data() + fast.fs.NN);
    EXPECT_EQ(compareRuns(fast, ref, {0.0, 900.0}), 0.0);
    for (int n = 1; n <= fast.fs.NN; ++n) EXPECT_NEAR(fast.m.RHS(n), at1800[n - 1], 1e-10);
}

// With the saturated-thickness switch the step is assembled afresh and gives
// the straightforward result exactly.
TEST(StepSolve, SaturatedThicknessStepIsTheStraightforwardStep) {
    wftest::RadialModel fast, ref;
    for (wftest::RadialModel* rm : {&fast, &ref}) {
        wftest::buildRadialModel(*rm, 10, 8);
        rm->fs.satSwitch = 1;
        for (int n = 1; n <= rm->fs.NN; ++n) rm->m.BASELEV(n) = 60.0;
    }
    double t = 0.0;
    for (double tn : {30.0, 90.0, 150.0}) {
        for (wftest::RadialModel* rm : {&fast, &ref}) {
            rm->fs.dt = tn - t;
            rm->fs.t = tn;
        }
        t = tn;
        ASSERT_EQ(wf::solveStep(fast.fs, fast.m, fast.P, 4), 0);
        ASSERT_EQ(straightforward(ref.fs, ref.m, ref.P), 0);
        for (int n = 1; n <= fast.fs.NN; ++n) {
            ASSERT_EQ(fast.m.RHS(n), ref.m.RHS(n));
            fast.m.HOLD(n) = ref.m.HOLD(n) = ref.m.RHS(n);
        }
    }
    EXPECT_FALSE(fast.fs.cache.valid);
}

// Zero multipliers and no prescribed heads leave a zero matrix; both paths
// report the first row as the failing pivot and leave the right-hand side.
TEST(StepSolve, ZeroPivotIsReported) {
    for (int sat : {0, 1}) {
        wftest::RadialModel rm;
        wftest::buildRadialModel(rm, 6, 4);
        rm.fs.satSwitch = sat;
        rm.fs.NDN = 0;
        rm.fs.NNS = 0;
        rm.fs.t = rm.fs.dt = 60.0;
        for (double& p : rm.P) p = 0.0;
        EXPECT_EQ(wf::solveStep(rm.fs, rm.m, rm.P, 4), 1);
        EXPECT_DOUBLE_EQ(rm.m.RHS(1), -1e-3 * 60.0);  // the source volume, unsolved
    }
}

} // namespace
