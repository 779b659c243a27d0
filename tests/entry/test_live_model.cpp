// Live matching through the library's exports: the in-memory model gives the
// digits of the fixed-time run's simulation file, writes no file, and says
// why when it cannot open.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "support/pump_test_project.h"
#include "support/temp_dir.h"
#include "wfcore/wfcore.h"

namespace {

using wf::test::PumpTest;
using wf::test::PumpTestResult;
using wf::test::PumpTestRunner;

// Every file of the folder with its bytes.
std::map<std::string, std::string> folderContents(const std::filesystem::path& dir) {
    std::map<std::string, std::string> files;
    for (const auto& e : std::filesystem::directory_iterator(dir)) {
        std::ifstream in(e.path(), std::ios::binary);
        std::ostringstream bytes;
        bytes << in.rdbuf();
        files[e.path().filename().string()] = bytes.str();
    }
    return files;
}

// The simulation file's records as written: time and drawdown words read with strtod.
struct FileRecords {
    int points = 0, levels = 0;
    std::vector<double> times, drawdowns;
};
FileRecords readInv(const std::string& name) {
    FileRecords r;
    std::ifstream in(name);
    in >> r.points >> r.levels;
    std::string line;
    std::getline(in, line);
    std::getline(in, line);
    while (std::getline(in, line)) {
        std::istringstream words(line);
        std::string node, t, s;
        if (!(words >> node >> t >> s)) continue;
        r.times.push_back(std::strtod(t.c_str(), nullptr));
        r.drawdowns.push_back(std::strtod(s.c_str(), nullptr));
    }
    return r;
}

std::string liveMessage(const WfLiveModel* m) {
    char buf[512];
    wfLiveMessage(m, buf, sizeof buf);
    return buf;
}

WfLiveModel* openLive(PumpTestRunner& r, const WfOptions* options) {
    return wfLiveOpen(&r.filename, &r.mesh, &r.obsv, &r.pump, &r.guess, &r.pinit, &r.units, &r.nzero, options);
}

// A Theis-like test of one or two points in minutes with measured values, so
// that the error estimate has residuals to sum.
PumpTest exampleTest(bool fine, int points) {
    PumpTest c;
    c.thick = 20.0;
    c.ratio = 0.2;
    c.rmax = 2000.0;
    c.robs = points == 1 ? std::vector<double>{30.0} : std::vector<double>{10.0, 50.0};
    c.iopp = 1;
    c.itin = 2;
    c.fine = fine;
    c.times = wf::test::decadeTimes(6.0, 6.0e4, 6);
    for (std::size_t k = 0; k < c.robs.size(); ++k)
        for (std::size_t i = 0; i < c.times.size(); ++i) c.data.push_back(0.05 * (1.0 + i) / (1.0 + k));
    c.p[0] = 2.0;
    c.p[1] = 0.5;
    c.p[2] = 0.3;
    c.p[3] = 3.0;
    return c;
}

// Fixed-time run at multipliers P and the live run at the same P: the live
// records are the file's to the last printed digit (== on the doubles read
// from the same words), and the live run leaves the folder byte for byte as it was.
void expectLiveEqualsFixedTime(bool fine, int points) {
    wf::test::TempWorkDir dir;
    PumpTest c = exampleTest(fine, points);
    PumpTestRunner runner(c);
    PumpTestResult prepared;
    ASSERT_TRUE(runner.prepare(prepared)) << (prepared.boxes.empty() ? "" : prepared.boxes.front());

    WfOptions options{};
    options.fineModel = fine ? 1 : 0;
    WfLiveModel* live = openLive(runner, &options);
    ASSERT_NE(live, nullptr);
    int32_t nobs = 0, levels = 0;
    ASSERT_EQ(wfLiveShape(live, &nobs, &levels), 1) << liveMessage(live);
    EXPECT_EQ(nobs, points);

    const auto before = folderContents(dir.path());
    // Two parameter vectors, the second run after the first on the same model.
    const double trials[2][4] = {{1.0, 1.0, 1.0, 1.0}, {2.0, 0.5, 0.3, 3.0}};
    std::vector<double> times(static_cast<std::size_t>(nobs * levels)), s(times.size());
    std::vector<std::vector<double>> liveS, liveT;
    std::vector<double> liveError;
    for (const auto& P : trials) {
        double S = -1.0;
        ASSERT_EQ(wfLiveRun(live, P, times.data(), s.data(), static_cast<int32_t>(s.size()), &S), nobs * levels)
            << liveMessage(live);
        liveS.push_back(s);
        liveT.push_back(times);
        liveError.push_back(S);
    }
    EXPECT_EQ(folderContents(dir.path()), before) << "a live run wrote or changed a file";

    for (int t = 1; t >= 0; --t) {  // the second vector first: the model's state must not carry over
        for (int j = 0; j < 4; ++j) runner.guess.P0[j] = static_cast<float>(trials[t][j]);
        // The live model widens the same floats: give it the floats' values.
        double P[4];
        for (int j = 0; j < 4; ++j) P[j] = runner.guess.P0[j];
        double S = 0.0;
        ASSERT_GT(wfLiveRun(live, P, times.data(), s.data(), static_cast<int32_t>(s.size()), &S), 0);
        PumpTestResult fixed;
        runner.analyse(1, fixed);
        ASSERT_TRUE(fixed.boxes.empty()) << fixed.boxes.front();
        const FileRecords file = readInv("PUMP.inv");
        ASSERT_EQ(file.drawdowns.size(), s.size());
        for (std::size_t i = 0; i < s.size(); ++i) {
            EXPECT_EQ(s[i], file.drawdowns[i]) << "record " << i + 1;
            EXPECT_EQ(times[i], file.times[i]) << "record " << i + 1;
        }

        // The error estimate: the plain sum over the observation file's
        // drawdowns (one point: the times in order; two points: each point's
        // values at the common levels), squared differences from the model.
        std::ifstream obs("PUMP.obs");
        std::string line;
        std::getline(obs, line);
        std::getline(obs, line);
        int n1 = 0, n2 = 0, nt = 0;
        obs >> n1 >> nt;
        if (points > 1) obs >> n2;
        double expected = 0.0;
        for (int k = 0; k < points; ++k)
            for (int i = 0; i < nt; ++i) {
                int index = 0;
                double time = 0.0, y = 0.0;
                obs >> index >> time >> y;
                const double d = s[static_cast<std::size_t>(k * levels + i)] - y;
                expected += d * d;
            }
        EXPECT_NEAR(S, expected, 1e-12 * expected) << "error estimate at vector " << t;
    }
    // A different vector gives a different curve (the runs do move).
    EXPECT_NE(liveS[0], liveS[1]);
    EXPECT_NE(liveError[0], liveError[1]);
    wfLiveClose(live);
}

TEST(LiveModel, StandardModelGivesTheFixedTimeDigits) { expectLiveEqualsFixedTime(false, 1); }
TEST(LiveModel, FineModelGivesTheFixedTimeDigits) { expectLiveEqualsFixedTime(true, 1); }
TEST(LiveModel, SeveralPointsGiveTheFixedTimeDigits) { expectLiveEqualsFixedTime(false, 2); }

// The pumped well: the skin factor and casing radius set on the live model
// give the digits of a fixed-time run whose options carry those values (the
// well's own drawdown, storage and skin included); values the model cannot
// take are refused, and a model without a well refuses any.
TEST(LiveModel, WellValuesGiveTheFixedTimeDigitsOfThoseOptions) {
    wf::test::TempWorkDir dir;
    PumpTest c;
    c.thick = 10.0;
    c.ratio = 0.2;
    c.rmax = 5.0e3;
    c.robs = {0.1};
    c.ipos = 3;  // at the pumped well
    c.scalt = 1.0e-4;
    c.times = wf::test::decadeTimes(0.1, 1.0e5, 5);
    c.fine = true;
    c.wellRadius = 0.1;
    c.casingRadius = 0.05;
    c.skin = 5.0;
    PumpTestRunner runner(c);
    PumpTestResult prepared;
    ASSERT_TRUE(runner.prepare(prepared)) << (prepared.boxes.empty() ? "" : prepared.boxes.front());
    WfOptions options{};
    options.fineModel = 1;
    options.wellRadius = 0.1;
    options.casingRadius = 0.05;
    options.skin = 5.0;
    WfLiveModel* live = openLive(runner, &options);
    int32_t nobs = 0, levels = 0;
    ASSERT_EQ(wfLiveShape(live, &nobs, &levels), 1) << liveMessage(live);
    std::vector<double> t(static_cast<std::size_t>(levels)), s(t.size()), atOptions(t.size());
    const double P[4] = {1.0, 1.0, 1.0, 1.0};
    ASSERT_EQ(wfLiveRun(live, P, t.data(), atOptions.data(), levels, nullptr), levels) << liveMessage(live);

    const double wells[2][2] = {{2.0, 0.1}, {0.0, 0.0}};  // (skin, casing radius m)
    for (const auto& w : wells) {
        ASSERT_EQ(wfLiveSetWell(live, w[0], w[1]), 1) << liveMessage(live);
        ASSERT_EQ(wfLiveRun(live, P, t.data(), s.data(), levels, nullptr), levels) << liveMessage(live);
        runner.testCase().skin = w[0];
        runner.testCase().casingRadius = w[1];
        PumpTestResult fixed;
        runner.analyse(1, fixed);
        ASSERT_TRUE(fixed.boxes.empty()) << fixed.boxes.front();
        const FileRecords file = readInv("PUMP.inv");
        ASSERT_EQ(file.drawdowns.size(), s.size());
        for (std::size_t i = 0; i < s.size(); ++i) EXPECT_EQ(s[i], file.drawdowns[i]) << "record " << i + 1;
        EXPECT_NE(s, atOptions);
    }
    // Back at the options' values: the first curve again.
    ASSERT_EQ(wfLiveSetWell(live, 5.0, 0.05), 1);
    ASSERT_EQ(wfLiveRun(live, P, t.data(), s.data(), levels, nullptr), levels);
    EXPECT_EQ(s, atOptions);

    EXPECT_EQ(wfLiveSetWell(live, -5.0, 0.05), 0);
    EXPECT_EQ(liveMessage(live), "The skin factor takes away all the resistance of the first element at the well");
    EXPECT_EQ(wfLiveSetWell(live, 1.0, -0.01), 0);
    EXPECT_EQ(liveMessage(live), "The casing radius must be 0 or more");
    wfLiveClose(live);

    // Without a well.
    wf::test::TempWorkDir other;
    PumpTestRunner plain(exampleTest(true, 1));
    PumpTestResult plainPrepared;
    ASSERT_TRUE(plain.prepare(plainPrepared)) << (plainPrepared.boxes.empty() ? "" : plainPrepared.boxes.front());
    WfOptions fineOnly{};
    fineOnly.fineModel = 1;
    WfLiveModel* noWell = openLive(plain, &fineOnly);
    ASSERT_EQ(wfLiveShape(noWell, nullptr, nullptr), 1);
    EXPECT_EQ(wfLiveSetWell(noWell, 1.0, 0.05), 0);
    EXPECT_EQ(liveMessage(noWell), "The live model has no pumped well: the fine model with a well radius is needed");
    wfLiveClose(noWell);
}

TEST(LiveModel, RefusesWithoutThePreparationFilesAndNamesThem) {
    wf::test::TempWorkDir dir;
    PumpTestRunner runner(exampleTest(false, 1));
    PumpTestResult prepared;
    ASSERT_TRUE(runner.prepare(prepared));
    std::filesystem::remove(dir.path() / "PUMP.obs");
    WfLiveModel* live = openLive(runner, nullptr);
    ASSERT_NE(live, nullptr);
    EXPECT_EQ(wfLiveShape(live, nullptr, nullptr), 0);
    EXPECT_NE(liveMessage(live).find("PUMP.obs"), std::string::npos) << liveMessage(live);
    const double P[4] = {1, 1, 1, 1};
    double t[64], s[64];
    EXPECT_EQ(wfLiveRun(live, P, t, s, 64, nullptr), 0);
    wfLiveClose(live);
}

TEST(LiveModel, RefusesAMeshOfTheOtherProject) {
    wf::test::TempWorkDir dir;
    PumpTestRunner runner(exampleTest(false, 1));
    PumpTestResult prepared;
    ASSERT_TRUE(runner.prepare(prepared));
    runner.mesh.NN += 1;  // the records no longer describe the mesh of the files
    WfLiveModel* live = openLive(runner, nullptr);
    EXPECT_EQ(wfLiveShape(live, nullptr, nullptr), 0);
    EXPECT_EQ(liveMessage(live), " Discharge files differ from Mesh file");
    wfLiveClose(live);
}

TEST(LiveModel, TooSmallRoomIsRefusedWithTheCounts) {
    wf::test::TempWorkDir dir;
    PumpTestRunner runner(exampleTest(false, 1));
    PumpTestResult prepared;
    ASSERT_TRUE(runner.prepare(prepared));
    WfLiveModel* live = openLive(runner, nullptr);
    int32_t nobs = 0, levels = 0;
    ASSERT_EQ(wfLiveShape(live, &nobs, &levels), 1);
    std::vector<double> t(static_cast<std::size_t>(levels)), s(t.size());
    const double P[4] = {1, 1, 1, 1};
    EXPECT_EQ(wfLiveRun(live, P, t.data(), s.data(), levels - 1, nullptr), 0);
    EXPECT_NE(liveMessage(live).find("room for " + std::to_string(levels - 1)), std::string::npos);
    EXPECT_EQ(wfLiveRun(live, P, t.data(), s.data(), levels, nullptr), levels);
    wfLiveClose(live);
}

} // namespace
