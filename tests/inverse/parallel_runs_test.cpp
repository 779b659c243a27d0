// The derivative runs of a pass side by side on the standard model: the same
// numbers and files as one run after another.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>

#include "inverse/func.h"
#include "inverse/parallel_runs.h"
#include "robust_fixture.h"

namespace wfinv {
namespace {

class SideBySideProject : public RobustProject {
public:
    // The plain search (the default options), on the given number of threads.
    void plainFit(const double P0[4], int threads) {
        options.search = WF_SEARCH_PLAIN;
        rs.options.threads = threads;
        fit(P0);
    }
    // The side files an analysis leaves.
    std::string sideFiles() const {
        std::string all;
        for (const char* ext : {".inv", ".res", ".fit", ".plt"}) all += readFile(dir / (std::string("TEST") + ext));
        return all;
    }
};

const double kGuess[4] = {kKorendijkK * 2, kKorendijkK * 2, kKorendijkSs / 3, kKorendijkSs / 3};

// The search itself (one aquifer: two derivative runs a pass): side by side
// on 2 and 3 threads, against one after another.
TEST_F(SideBySideProject, PlainSearchGivesTheSameReportAndFilesOnAnyNumberOfThreads) {
    options.oneAquifer = 1;
    plainFit(kGuess, 1);
    ASSERT_EQ(report.valid, 1);
    ASSERT_GT(report.passes, 3);
    EXPECT_EQ(rs.fem.copyRuns, 0);
    const WfFitReport one = report;
    const PINIT onePinit = pinit;
    const std::string oneFiles = sideFiles();
    for (int threads : {2, 3}) {
        plainFit(kGuess, threads);
        EXPECT_EQ(std::memcmp(&one, &report, sizeof report), 0) << threads << " threads";
        EXPECT_EQ(std::memcmp(&onePinit, &pinit, sizeof pinit), 0) << threads << " threads";
        EXPECT_EQ(sideFiles(), oneFiles) << threads << " threads";
        EXPECT_GE(rs.fem.copyRuns, report.passes - 1) << "a derivative run of every pass on a copy";
    }
}

// Not side by side: one thread, a simulation other than the flow model (it
// may write its file its own way), a model not yet read by a run of this
// analysis; then nothing is run and nothing is written.
TEST_F(SideBySideProject, OnlyTheFlowModelAlreadyReadRunsSideBySide) {
    const double P[2][4] = {{70, 70, 0.25, 0.25}, {80, 60, 0.2, 0.3}};
    const double* pv[2] = {P[0], P[1]};
    std::vector<double> f0(40), f1(40);
    double* fv[2] = {f0.data(), f1.data()};
    const wf::SimulationRun flow = &wf::runFlowModel;
    rs.fem.callCount = 3;
    EXPECT_EQ(wf::simulateSideBySide(rs, flow, 2, pv, 40, fv, 1), wf::SideBySide::notApplied);
    const wf::SimulationRun other = [](wf::RunState& r, const double* p) { return wf::runFlowModel(r, p); };
    EXPECT_EQ(wf::simulateSideBySide(rs, other, 2, pv, 40, fv, 2), wf::SideBySide::notApplied);
    rs.fem.callCount = 0;
    EXPECT_EQ(wf::simulateSideBySide(rs, flow, 2, pv, 40, fv, 2), wf::SideBySide::notApplied);
    EXPECT_EQ(rs.fem.callCount, 0);
    EXPECT_FALSE(std::filesystem::exists(dir / "TEST.inv"));
}

} // namespace
} // namespace wfinv
