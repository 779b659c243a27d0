// The preparation run: time selection, drawdowns from levels, the records of
// base.obs and base.tim, and the pumping profiles.
#include <cmath>

#include "prep/prep_data.h"

using namespace wf::test;

class Prepare : public PrepareRun {};

// All 40 points after a first time of 0.5: a zero record at time 0 first.
TEST_F(Prepare, AllTimesWholeFiles) {
    EXPECT_EQ(prepare({fortyPoints()}, 0), 0);
    EXPECT_TRUE(host.boxes.empty());
    const auto o = obs();
    ASSERT_EQ(o.size(), 3u + 41u);
    EXPECT_EQ(o[1], " Pumping rate =  1.000E-02 ...:    1");
    EXPECT_EQ(words(o[2]), (std::vector<std::string>{"1", "41"}));
    // "(i6,f10.3,1pe18.6)": node [0,6), time [6,16), drawdown [16,34).
    EXPECT_EQ(o[3], "    22     0.000      0.000000E+00");
    for (int m = 1; m <= 40; ++m) {
        const ObsRecord r = obsRecord(o[3 + m]);
        EXPECT_EQ(r.node, 22);
        EXPECT_EQ(r.t, 0.5 * m);
        EXPECT_NEAR(r.s, 0.01 * m, 5e-7 * 0.01 * m);
    }
    EXPECT_EQ(o[4], "    22          0.500      1.000000E-02");
    expectGolden(dir.read("test.obs"), "all_times.obs");
    expectGolden(dir.read("test.tim"), "all_times.tim");
}

// Fixed columns of the model-control records.
TEST_F(Prepare, ControlRecordsByColumn) {
    prepare({fortyPoints()}, 0);
    const auto t = tim();
    EXPECT_EQ(t[0], " " + rs.title1());
    EXPECT_EQ(t[2], "    L    2");
    // "(12i6)"
    ASSERT_EQ(t[3].size(), 72u);
    std::vector<int> line4;
    for (std::size_t c = 0; c < 72; c += 6) line4.push_back(intField(t[3], c, c + 6));
    EXPECT_EQ(line4, (std::vector<int>{320, 285, 4, 20, 0, 68, 0, 0, 4, 18, 0, 40}));
    EXPECT_EQ(t[4], "     2     1");
    EXPECT_EQ(t[5], "    40  # Timesteps");
    // "(1x,5g12.5, a)": 2.25 TMAX, 0.5, TMAX/4, 0, TMAX with TMAX 20.
    EXPECT_EQ(cols(t[6], 0, 1), " ");
    const double want[5] = {45.0, 0.5, 5.0, 0.0, 20.0};
    for (int k = 0; k < 5; ++k) EXPECT_EQ(std::stod(cols(t[6], 1 + 12 * k, 13 + 12 * k)), want[k]);
    EXPECT_EQ(t[6].substr(61), " Time parameters");
    EXPECT_EQ(words(t[7]), (std::vector<std::string>{"22", "Observation", "Nodes"}));
    EXPECT_EQ(words(t[8]), std::vector<std::string>{"1"});
    // "(i3,d12.5,i6,i5,a)"
    EXPECT_EQ(t[9], "  1 0.40000D+02   320    1 Initial Waterlevel");
    EXPECT_EQ(words(t[10]), (std::vector<std::string>{"1", "Time", "dependant"}));
    EXPECT_EQ(words(t[11]), (std::vector<std::string>{"20", "Number", "of", "Dirichlet", "nodes"}));
    for (int j = 1; j <= 20; ++j) EXPECT_EQ(words(t[11 + j]), std::vector<std::string>{std::to_string(16 * j)});
    EXPECT_EQ(words(t.back()), std::vector<std::string>{"XXXXXX"});
}

// NSEL 10: STEP 40/9 = 4, indices 1, 5, ..., 37 and the last point 40 appended.
TEST_F(Prepare, SubsetOfTen) {
    EXPECT_EQ(prepare({fortyPoints()}, 10), 10);
    const auto o = obs();
    EXPECT_EQ(words(o[2]), (std::vector<std::string>{"1", "12"}));
    // The time-0 record of a subset: "(i6,f15.3,1pe18.6)".
    EXPECT_EQ(o[3], "    22          0.000      0.000000E+00");
    std::vector<int> idx;
    for (std::size_t k = 4; k < o.size(); ++k) {
        const ObsRecord r = obsRecord(o[k]);
        idx.push_back(static_cast<int>(std::lround(r.t / 0.5)));
        EXPECT_NEAR(r.s, 0.01 * idx.back(), 1e-8);
    }
    EXPECT_EQ(idx, (std::vector<int>{1, 5, 9, 13, 17, 21, 25, 29, 33, 37, 40}));
    const auto t = tim();
    EXPECT_EQ(t[5], "    11  # Timesteps");
    // TMAX / 1.5^8 = 0.78037 (5 significant digits).
    EXPECT_EQ(std::stod(cols(t[6], 1, 13)), 0.78037);
}

// NSEL 4: STEP 13 > 5 adds 13/3 = 4 and 26/3 = 8; 3*13+1 = 40 is the last point.
TEST_F(Prepare, SubsetOfFourWithEarlyExtras) {
    EXPECT_EQ(prepare({fortyPoints()}, 4), 4);
    const auto o = obs();
    EXPECT_EQ(words(o[2]), (std::vector<std::string>{"1", "7"}));
    std::vector<int> idx;
    for (std::size_t k = 4; k < o.size(); ++k) idx.push_back(static_cast<int>(std::lround(obsRecord(o[k]).t / 0.5)));
    EXPECT_EQ(idx, (std::vector<int>{1, 4, 8, 14, 27, 40}));
    EXPECT_EQ(tim()[5], "     6  # Timesteps");
}

// Levels in metres above sea level from time 0: drawdown from the first level,
// positive whether the level falls (first - level) or rises (level - first).
TEST_F(Prepare, LevelsBecomeDrawdowns) {
    rs.in.IWLO = 1;
    const Series falling{{0, 100.0}, {1, 99.5}, {2, 99.0}, {3, 98.5}, {4, 98.0}, {5, 97.5}};
    prepare({falling}, 0);
    auto o = obs();
    EXPECT_EQ(words(o[2]), (std::vector<std::string>{"1", "6"}));  // no extra time-0 record
    for (int m = 0; m < 6; ++m) {
        const ObsRecord r = obsRecord(o[3 + m]);
        EXPECT_EQ(r.t, m);
        EXPECT_EQ(r.s, 0.5 * m);  // exact: the levels are multiples of 0.5
    }
    EXPECT_EQ(o[8], "    22          5.000      2.500000E+00");

    Series rising;
    for (const auto& [t, v] : falling) rising.push_back({t, 197.5 - v});  // 97.5 ... 100.0
    prepare({rising}, 0);
    o = obs();
    for (int m = 0; m < 6; ++m) EXPECT_EQ(obsRecord(o[3 + m]).s, 0.5 * m);
}

// No-flow opposite boundary: no Dirichlet records, NDIR 0 in line 4.
TEST_F(Prepare, NoFlowBoundaryHasNoDirichletRecords) {
    prepare({fortyPoints()}, 0);
    const auto withHead = tim();
    rs.in.IOPP = 0;
    prepare({fortyPoints()}, 0);
    const auto t = tim();
    EXPECT_EQ(intField(t[3], 18, 24), 0);
    EXPECT_EQ(dir.read("test.tim").find("Dirichlet"), std::string::npos);
    EXPECT_EQ(dir.read("test.tim").find("Time dependant"), std::string::npos);
    // Otherwise the same records: the 22 fixed-head records are the only difference.
    ASSERT_EQ(t.size() + 22, withHead.size());
    EXPECT_EQ(std::vector<std::string>(t.begin() + 10, t.end()),
              std::vector<std::string>(withHead.begin() + 32, withHead.end()));
}

// Four fracture rows share 0.01: -0.01/(3 2pi) per inner node, half at both
// ends, so the node rates add up to -Q/2pi. Pi is the single-precision
// 3.1415925: for Q 0.003 the last digit differs from the exact value
// (7.957748E-05 against 7.957747E-05).
TEST_F(Prepare, FracturePumpingProfiles) {
    rs.in.NQ = 2;
    rs.in.Q[2] = 0.003f;
    rs.in.TQ[2] = 10.0f;
    prepare({fortyPoints()}, 0);
    const auto t = tim();
    EXPECT_EQ(intField(t[3], 48, 54), 4);  // NWELL
    EXPECT_EQ(t[4], "     3     1");
    std::size_t k = 32;  // after 10 header records and 22 fixed-head records
    const int nodes[4] = {1, 17, 33, 49};
    double sum = 0.0;
    for (int row = 0; row < 4; ++row) {
        EXPECT_EQ(words(t.at(k++)), (std::vector<std::string>{std::to_string(nodes[row]), "3"}));
        const bool end = row == 0 || row == 3;
        const std::string q1 = end ? "-2.652582E-04" : "-5.305165E-04";
        const std::string q2 = end ? "-7.957748E-05" : "-1.591550E-04";
        // "(f18.3,1pe18.6)": time [0,18), rate [18,36).
        EXPECT_EQ(t.at(k++), "             0.000     " + q1);
        EXPECT_EQ(t.at(k++), "            10.000     " + q1);
        EXPECT_EQ(t.at(k), "          1020.000     " + q2);
        EXPECT_EQ(t.at(k).size(), 36u);
        sum += realField(t.at(k - 1), 18, 36);
        ++k;
    }
    EXPECT_NEAR(sum, -0.01 / (2.0 * M_PI), 1e-9);
    EXPECT_EQ(words(t.at(k)), std::vector<std::string>{"XXXXXX"});
    EXPECT_EQ(k + 1, t.size());
}

// Pumping through all rows (20 nodes) or the matrix rows only (5..20).
TEST_F(Prepare, PumpedRowsByPosition) {
    rs.in.IPUMP = 0;
    prepare({fortyPoints()}, 0);
    auto t = tim();
    EXPECT_EQ(intField(t[3], 48, 54), 20);
    EXPECT_EQ(words(t.at(32)), (std::vector<std::string>{"1", "2"}));
    EXPECT_EQ(words(t.at(32 + 19 * 3)), (std::vector<std::string>{"305", "2"}));
    EXPECT_EQ(realField(t.at(33), 18, 36), -4.188288E-05);  // 0.01 / (19 2pi) / 2
    EXPECT_EQ(realField(t.at(36), 18, 36), -8.376576E-05);

    rs.in.IPUMP = 2;
    prepare({fortyPoints()}, 0);
    t = tim();
    EXPECT_EQ(intField(t[3], 48, 54), 16);
    EXPECT_EQ(words(t.at(32)), (std::vector<std::string>{"65", "2"}));
    EXPECT_EQ(realField(t.at(36), 18, 36), -1.061033E-04);  // 0.01 / (15 2pi)
    EXPECT_EQ(words(t.at(32 + 15 * 3)), (std::vector<std::string>{"305", "2"}));
}

// Two observation points, each with its own node, flag and drawdowns.
TEST_F(Prepare, TwoObservationPoints) {
    rs.in.NOBS = 2;
    rs.in.NODOBS[2] = 151;
    Series second;
    for (int m = 0; m < 40; ++m) second.push_back({0.5 * m, 0.002 * m});
    EXPECT_EQ(prepare({fortyPoints(), second}, 10), 10);
    const auto o = obs();
    EXPECT_EQ(words(o[2]), (std::vector<std::string>{"2", "12", "11"}));
    ASSERT_EQ(o.size(), 3u + 12 + 11);
    const ObsRecord first2 = obsRecord(o[15]);
    EXPECT_EQ(first2.node, 151);
    EXPECT_EQ(first2.t, 0.0);
    EXPECT_EQ(obsRecord(o[16]).t, 2.0);  // index 5 of the second point's own data
    EXPECT_EQ(obsRecord(o.back()).t, 19.5);
    EXPECT_EQ(words(tim()[7]), (std::vector<std::string>{"22", "151", "Observation", "Nodes"}));
}

// Points may have different counts and times: a first point shorter than the
// second (whose data the run driver's arrays, sized from the first count, do
// not hold) is prepared in full.
TEST_F(Prepare, PointsWithDifferentCounts) {
    rs.in.NOBS = 2;
    rs.in.NODOBS[2] = 151;
    Series second;
    for (int m = 0; m < 40; ++m) second.push_back({0.25 + 0.5 * m, 0.002 * (m + 1)});
    const Series first{{0.0, 0.0}, {1.0, 0.01}, {2.0, 0.02}};
    EXPECT_EQ(prepare({first, second}, 0), 0);
    EXPECT_TRUE(host.boxes.empty());
    const auto o = obs();
    EXPECT_EQ(words(o[2]), (std::vector<std::string>{"2", "3", "41"}));
    ASSERT_EQ(o.size(), 3u + 3 + 41);
    EXPECT_EQ(o[6], "   151     0.000      0.000000E+00");  // the time-0 record of the second point
    EXPECT_EQ(obsRecord(o[7]).t, 0.25);
    EXPECT_EQ(obsRecord(o.back()).t, 19.75);
    EXPECT_EQ(obsRecord(o.back()).s, 0.08);
}

// A subset with points of other counts: each point's times are selected from
// its own data (the first point's 40 readings give 1, 5, ..., 37, 40), a
// point of 20 readings STEP 20 / 9 = 2: 1, 3, ..., 19 and its last, 20; a
// point with fewer readings than the subset keeps all of them.
TEST_F(Prepare, SubsetOfPointsWithOtherCounts) {
    rs.in.NOBS = 3;
    rs.in.NODOBS[2] = 151;
    rs.in.NODOBS[3] = 153;
    Series twenty, three;
    for (int m = 1; m <= 20; ++m) twenty.push_back({1.5 * m, 0.003 * m});
    for (int m = 1; m <= 3; ++m) three.push_back({10.0 * m, 0.001 * m});
    EXPECT_EQ(prepare({fortyPoints(), twenty, three}, 10), 10);
    EXPECT_TRUE(host.boxes.empty());
    const auto o = obs();
    EXPECT_EQ(words(o[2]), (std::vector<std::string>{"3", "12", "12", "4"}));
    ASSERT_EQ(o.size(), 3u + 12 + 12 + 4);
    auto indices = [&](std::size_t from, std::size_t count, double dt) {
        std::vector<int> idx;
        for (std::size_t k = from; k < from + count; ++k)
            idx.push_back(static_cast<int>(std::lround(obsRecord(o[k]).t / dt)));
        return idx;
    };
    EXPECT_EQ(indices(4, 11, 0.5), (std::vector<int>{1, 5, 9, 13, 17, 21, 25, 29, 33, 37, 40}));
    EXPECT_EQ(obsRecord(o[15]).node, 151);
    EXPECT_EQ(obsRecord(o[15]).t, 0.0);
    EXPECT_EQ(indices(16, 11, 1.5), (std::vector<int>{1, 3, 5, 7, 9, 11, 13, 15, 17, 19, 20}));
    EXPECT_NEAR(obsRecord(o[26]).s, 0.06, 1e-9);
    EXPECT_EQ(obsRecord(o[27]).node, 153);
    EXPECT_EQ(indices(28, 3, 10.0), (std::vector<int>{1, 2, 3}));
    EXPECT_EQ(tim()[5], "    11  # Timesteps");  // the first point's count, as with one point
}

// Through the entry call: the run driver reads the titles, RTIM the body.
TEST(PrepareEntryCall, TitlesFromTheDataFile) {
    TempWorkDir dir;
    EntryRecords r;
    r.pump.Q[0] = 0.01f;
    r.call(4, 0);
    dir.write("test.dat", datFile({fortyPoints()}));
    r.call(5, 0);
    EXPECT_TRUE(r.host.boxes.empty());
    const auto t = records(dir.read("test.tim"));
    EXPECT_EQ(t.at(0), " test.wft" + std::string(64, ' '));
    EXPECT_EQ(t.at(1), " " + std::string(72, ' '));
    EXPECT_EQ(records(dir.read("test.obs")).size(), 3u + 41u);
}
