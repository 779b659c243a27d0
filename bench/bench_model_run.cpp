// One model run (AQFESUB) of 250 output times on the generator's default mesh:
// 16 columns 0, 0.0625, 0.125, ... 512, 1024 m, 20 rows over 40 m, the 4
// fracture rows pumped, constant head on the outer boundary.
#include <benchmark/benchmark.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>

#include "base/run_state.h"
#include "fem/model_driver.h"
#include "fine/fine_model.h"
#include "textio/fortran_format.h"
#include "textio/list_directed.h"

namespace {

using wf::textio::format;
using wf::textio::listRecord;

constexpr int kNR = 16, kNZ = 20, kNZF = 4;
constexpr int kNN = kNR * kNZ;
constexpr double kThick = 40.0;

double radius(int i) { return i == 1 ? 0.0 : 0.0625 * std::pow(2.0, i - 2); }
double height(int j) { return (j - 1) * kThick / 19.0; }

std::string meshFile() {
    std::string s = listRecord({"Default mesh"});
    s += listRecord({kNR, kNZ, kNN, (kNR - 1) * (kNZ - 1), 2 * (kNR + kNZ) - 4});
    for (int j = 1; j <= kNZ; ++j)
        for (int i = 1; i <= kNR; ++i)
            s += format("(I6,2(3x,1PE15.7),3x,i5)", {(j - 1) * kNR + i, radius(i), height(j), j <= kNZF ? 1 : 2});
    for (int i = 1; i < kNR; ++i)
        for (int j = 1; j < kNZ; ++j) {
            const int n = (j - 1) * kNR + i;
            s += format("(5I6)", {(i - 1) * (kNZ - 1) + j, n, n + 1, n + kNR + 1, n + kNR});
        }
    // Boundary edges (only the outer side matters for the constant head).
    const int nr = kNR, nz = kNZ;
    auto edge = [&](int e, int a, int b) { s += format("(6I6)", {e, a, b}); };
    edge(1, 1, 2);
    for (int j = 1; j <= nz - 1; ++j) edge(j, (j - 1) * nr + 1 + nr, (j - 1) * nr + 1);
    edge(nz - 1, (nz - 1) * nr + 2, (nz - 1) * nr + 1);
    for (int i = 2; i <= nr - 2; ++i) {
        edge((i - 1) * (nz - 1) + 1, i, i + 1);
        edge((i - 1) * (nz - 1) + nz - 1, (nz - 1) * nr + i + 1, (nz - 1) * nr + i);
    }
    edge((nz - 1) * (nr - 2) + 1, nr - 1, nr);
    for (int j = 1; j <= nz - 1; ++j) edge((nz - 1) * (nr - 2) + j, j * nr, j * nr + nr);
    edge((nz - 1) * (nr - 1), nr * nz, nr * nz - 1);
    s += listRecord({"XXXXXX"});
    return s;
}

// Two pumping steps of 0.01 and 0.02 m3/s on the four fracture rows.
std::string controlFile() {
    std::string s = listRecord({"Default mesh"}) + listRecord({""});
    s += format("(4x,a,i5)", {"L", 2});
    s += format("(12i6)", {kNN, (kNR - 1) * (kNZ - 1), 4, kNZ, 0, 2 * (kNR + kNZ) - 4, 0, 0, kNZF, kNR + 2, 0, 2 * kNZ});
    s += format("(7i6)", {3, 1});
    s += format("(1x, i5, a)", {250, "  # Timesteps"});
    s += format("(1x,5g12.5, a)", {2.25e5, 0.5, 2.5e4, 0.0, 1.0e5, " Time parameters"});
    s += listRecord({22, " Observation Nodes"});
    s += listRecord({1});
    s += format("(i3,d12.5,i6,i5,a)", {1, kThick, kNN, 1, " Initial Waterlevel"});
    s += listRecord({1, "  Time dependant"});
    s += listRecord({kNZ, "  Number of Dirichlet nodes"});
    for (int j = 1; j <= kNZ; ++j) s += listRecord({kNR * j});
    const double share = 1.0 / ((kNZF - 1) * 2.0 * M_PI);
    for (int row = 1; row <= kNZF; ++row) {
        const double f = (row == 1 || row == kNZF) ? 0.5 : 1.0;
        s += listRecord({(row - 1) * kNR + 1, 3});
        s += format("(f18.3,1pe18.6)", {0.0, -0.01 * share * f});
        s += format("(f18.3,1pe18.6)", {3.0e4, -0.01 * share * f});
        s += format("(f18.3,1pe18.6)", {1.01e5, -0.02 * share * f});
    }
    s += listRecord({"XXXXXX"});
    return s;
}

struct BenchDir {
    std::filesystem::path old = std::filesystem::current_path(), dir;
    BenchDir() {
        dir = std::filesystem::temp_directory_path() / ("wellfit-bench-" + std::to_string(std::random_device{}()));
        std::filesystem::create_directories(dir);
        std::filesystem::current_path(dir);
        std::ofstream("BENCH.fem") << meshFile();
        std::ofstream("BENCH.tim") << controlFile();
    }
    ~BenchDir() {
        std::filesystem::current_path(old);
        std::filesystem::remove_all(dir);
    }
};

void setUp(wf::RunState& rs) {
    std::fill(std::begin(rs.BASE), std::end(rs.BASE), ' ');
    std::copy_n("BENCH", 5, rs.BASE);
    rs.NBASE = 5;
    rs.in.IDIST = 3;
    rs.in.ITIN = 1;
    rs.in.ITOUT = 1;
    rs.in.IDISCH = 5;
    rs.model.allocate(kNR, kNZ);
    rs.fem.npar = 4;
    rs.fem.KX = rs.fem.KY = 1.0e-5;
    rs.fem.SS = 1.0e-6;
    rs.fem.nobsNodes = 1;
    rs.fem.nout = 250;
}

// firstCall: every iteration reads the mesh too (the first model run of an
// analysis); otherwise the later runs of an analysis (model-control file only).
// logTimes: output times 1 s .. 1e5 s spaced evenly in log time, as a pumping
// test records them (every step has its own dt); otherwise every 400 s.
void modelRun(benchmark::State& state, bool firstCall, bool logTimes) {
    BenchDir dir;
    wf::RunState rs;
    setUp(rs);
    wf::Mat1<double> sim;
    sim.allocate(1, 250);
    wf::Vec1<int> obs;
    obs.allocate(1);
    wf::Vec1<double> times;
    times.allocate(250);
    for (int i = 1; i <= 250; ++i) times(i) = logTimes ? std::pow(1.0e5, (i - 1) / 249.0) : 400.0 * (i - 1);
    const double P[4] = {1.0, 0.01, 1.0, 1.0};
    for (auto _ : state) {
        if (firstCall) rs.fem.callCount = 0;
        const bool ok = wf::AQFESUB(rs, P, sim, obs, times, wf::steppingOf(rs));
        if (!ok) state.SkipWithError("model run failed");
        benchmark::DoNotOptimize(sim.data());
    }
}

void BM_ModelRun250LogTimes(benchmark::State& state) { modelRun(state, false, true); }
void BM_ModelRun250LogTimesFirstCall(benchmark::State& state) { modelRun(state, true, true); }
void BM_ModelRun250EvenTimes(benchmark::State& state) { modelRun(state, false, false); }

BENCHMARK(BM_ModelRun250LogTimes)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ModelRun250LogTimesFirstCall)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ModelRun250EvenTimes)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
