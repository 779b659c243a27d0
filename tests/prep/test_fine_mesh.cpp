// The mesh and preparation runs of the "Fine model": the layout of rows and
// columns, the files in the standard layouts, the well's node rates.
#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <numeric>
#include <sstream>
#include <algorithm>
#include <string>
#include <vector>

#include "fine/fine_mesh.h"
#include "support/pump_test_project.h"
#include "support/temp_dir.h"

namespace wf {
namespace {

TEST(FineMesh, RowsMeetTheInterfaceExactlyAndGrowAwayFromIt) {
    for (double ratio : {0.05, 0.2, 0.5, 0.9}) {
        int nzf = 0;
        const std::vector<double> z = fine::fineRows(40.0, ratio, nzf);
        ASSERT_GE(nzf, 2);
        ASSERT_GT(static_cast<int>(z.size()), nzf);
        EXPECT_EQ(z.front(), 0.0);
        EXPECT_EQ(z[nzf - 1], ratio * 40.0) << ratio;
        EXPECT_EQ(z.back(), 40.0);
        // The rows next to the interface lie one interface step from it
        // (scaled by at most the fit of the last spacing), and the spacings
        // grow at most by the growth factor away from it.
        const double h0 = fine::kFineInterfaceStep * 40.0;
        EXPECT_NEAR(z[nzf] - z[nzf - 1], h0, 0.5 * h0) << ratio;
        EXPECT_NEAR(z[nzf - 1] - z[nzf - 2], h0, 0.5 * h0) << ratio;
        for (std::size_t j = nzf + 1; j + 1 < z.size(); ++j)
            EXPECT_LE((z[j + 1] - z[j]) / (z[j] - z[j - 1]), fine::kFineRowGrowth * 1.0001) << ratio << " row " << j;
        for (int j = 1; j < nzf; ++j) EXPECT_GT(z[j], z[j - 1]);
    }
}

TEST(FineMesh, ColumnsPassThroughEveryAnchorInSmallRatios) {
    // From the axis: the first column at 1/64 of the smallest distance, the
    // anchors in any order; from a well radius: geometric from it.
    for (double r0 : {0.0, 0.1}) {
        const std::vector<double> r = fine::fineColumns(r0, {30.0, 1.5, 4000.0});
        EXPECT_EQ(r[0], r0);
        if (r0 == 0.0) {
            EXPECT_EQ(r[1], 1.5 / 64.0);
        }
        for (double a : {1.5, 30.0, 4000.0}) EXPECT_NE(std::find(r.begin(), r.end(), a), r.end()) << a;
        EXPECT_EQ(r.back(), 4000.0);
        for (std::size_t i = 2; i < r.size(); ++i) {
            EXPECT_GT(r[i], r[i - 1]);
            EXPECT_LE(r[i] / r[i - 1], fine::kFineRadialRatio * (1.0 + 1e-12)) << i;
        }
        // Columns inside the smallest distance: 30 at ratio 1.15 from 1.5 / 64,
        // ln(1.5 / 0.1) / ln 1.15 = 19.4 from the well radius 0.1.
        const long inside = std::count_if(r.begin(), r.end(), [](double x) { return x < 1.5; });
        EXPECT_EQ(inside, r0 == 0.0 ? 31 : 20) << r0;
    }
}

// One problem in mm, cm, m and km: the same columns and rows in metres to
// rounding, so the same drawdowns.
TEST(FineMesh, LayoutInMetresWhateverTheDistanceUnit) {
    const double metres[4] = {0.001, 0.01, 1.0, 1000.0};
    fine::FineMesh ref;
    for (int unit = 1; unit <= 4; ++unit) {
        Inputs in;
        in.IDIST = unit;
        in.THICK = 10.0 / metres[unit - 1];
        in.RATIO = 0.2;
        in.RMAX = 5.0e4 / metres[unit - 1];
        in.NOBS = 2;
        in.ROBS[1] = 0.1 / metres[unit - 1];
        in.ROBS[2] = 100.0 / metres[unit - 1];
        in.IPOS[1] = 1;
        in.IPOS[2] = 2;
        fine::FineMesh m;
        std::string why;
        ASSERT_TRUE(fine::layFineMesh(in, 0.0, m, why)) << why;
        if (unit == 1) {
            ref = m;
            continue;
        }
        ASSERT_EQ(m.r.size(), ref.r.size()) << unit;
        ASSERT_EQ(m.z.size(), ref.z.size()) << unit;
        for (std::size_t i = 0; i < m.r.size(); ++i) EXPECT_NEAR(m.r[i], ref.r[i], 1e-12 * ref.r[i]) << unit;
        for (std::size_t j = 0; j < m.z.size(); ++j) EXPECT_NEAR(m.z[j], ref.z[j], 1e-12 * 10.0) << unit;
        EXPECT_EQ(m.obsCol, ref.obsCol) << unit;
        EXPECT_EQ(m.obsRow, ref.obsRow) << unit;
    }
    EXPECT_NEAR(ref.r[static_cast<std::size_t>(ref.obsCol[0])], 0.1, 1e-15);
    EXPECT_LT(ref.obsRow[0], ref.nzf);  // in the fracture
    EXPECT_GT(ref.obsRow[1], ref.nzf);  // 100 m in the matrix: a third of the way in, not its first row
    Inputs bad;
    bad.IDIST = 7;
    fine::FineMesh m;
    std::string why;
    EXPECT_FALSE(fine::layFineMesh(bad, 0.0, m, why));
    EXPECT_EQ(why, "Distance unit IDIST = 7 is not one of 1 (mm), 2 (cm), 3 (m), 4 (km)");
}

TEST(FineMesh, NodeRatesAreTheScreenSharesOfTheRows) {
    Inputs in;
    in.THICK = 40.0;
    in.RATIO = 0.2;
    int nzf = 0;
    const std::vector<double> z = fine::fineRows(in.THICK, in.RATIO, nzf);
    in.NZ = static_cast<int>(z.size());
    in.NZF = nzf;
    const std::vector<double> all = fine::fineRateShares(in, 1, in.NZ);
    ASSERT_EQ(static_cast<int>(all.size()), in.NZ + 1);
    EXPECT_NEAR(std::accumulate(all.begin(), all.end(), 0.0), 1.0, 1e-14);
    EXPECT_DOUBLE_EQ(all[1], 0.5 * (z[1] - z[0]) / 40.0);
    EXPECT_DOUBLE_EQ(all[2], 0.5 * (z[2] - z[0]) / 40.0);
    const std::vector<double> fracture = fine::fineRateShares(in, 1, nzf);
    EXPECT_NEAR(std::accumulate(fracture.begin(), fracture.end(), 0.0), 1.0, 1e-14);
    EXPECT_EQ(fracture[nzf + 1], 0.0);
    // Rows that are not the fine rows of THICK and RATIO: no shares (the
    // standard equal shares apply).
    in.NZ = 20;
    EXPECT_TRUE(fine::fineRateShares(in, 1, 20).empty());
}

// The fine mesh and preparation runs write the standard layouts: the mesh
// file's nodes row by row with the interface row and observation node where
// they belong, the time file's well rates adding up to Q / 2 pi.
TEST(FineMesh, MeshAndTimeFilesKeepTheirLayouts) {
    test::TempWorkDir dir;
    test::PumpTest c;
    c.thick = 40.0;
    c.ratio = 0.2;
    c.rmax = 1024.0;
    c.robs = {30.0};
    c.ipump = 1;
    c.q = 0.01;
    c.times = {0.0, 60.0, 600.0};
    c.fine = true;
    test::PumpTestRunner runner(c);
    test::PumpTestResult res;
    ASSERT_TRUE(runner.prepare(res)) << res.boxes.front();
    const MESH& m = runner.mesh;
    EXPECT_GT(m.NR, 25);
    EXPECT_GT(m.NZ, 20);
    EXPECT_EQ(m.NN, m.NR * m.NZ);
    EXPECT_EQ(m.NE, (m.NR - 1) * (m.NZ - 1));
    EXPECT_EQ(m.NB, 2 * (m.NR - 1) + 2 * (m.NZ - 1));
    EXPECT_EQ(m.NZF + m.NZM, m.NZ);

    std::ifstream fem("PUMP.fem");
    std::string line;
    std::getline(fem, line);
    int nr = 0, nz = 0, nn = 0, ne = 0, nb = 0;
    fem >> nr >> nz >> nn >> ne >> nb;
    EXPECT_EQ(nr, m.NR);
    EXPECT_EQ(nz, m.NZ);
    std::vector<double> r(nn + 1), zc(nn + 1);
    std::vector<int> mat(nn + 1);
    for (int k = 1; k <= nn; ++k) {
        int node = 0;
        fem >> node >> r[k] >> zc[k] >> mat[k];
        ASSERT_EQ(node, k);
    }
    const int interfaceNode = (m.NZF - 1) * m.NR + 1;
    EXPECT_NEAR(zc[interfaceNode], 8.0, 1e-6);
    EXPECT_EQ(mat[interfaceNode], 1);
    EXPECT_EQ(mat[interfaceNode + m.NR], 2);
    const int obs = runner.obsv.NODOBS[0];
    EXPECT_NEAR(r[obs], 30.0, 1e-6);
    EXPECT_EQ(mat[obs], 1);

    // Time file: the pumped fracture rows' rates add up to Q / 2 pi.
    std::ifstream tim("PUMP.tim");
    std::vector<std::string> lines;
    for (std::string l; std::getline(tim, l);) lines.push_back(l);
    double sum = 0.0;
    int pumped = 0;
    for (std::size_t i = 0; i + 1 < lines.size(); ++i) {
        std::istringstream rec(lines[i]);
        int node = 0, points = 0;
        std::string extra;
        if (!(rec >> node >> points) || (rec >> extra) || points != 2 || (node - 1) % m.NR != 0) continue;
        if ((node - 1) / m.NR >= m.NZF) continue;
        std::istringstream first(lines[i + 1]);
        double t = 0.0, q = 0.0;
        first >> t >> q;
        sum += q;
        ++pumped;
    }
    EXPECT_EQ(pumped, m.NZF);
    EXPECT_NEAR(sum, -0.01 / (2.0 * 3.14159265358979), 1e-7);
}

// The fine preparation run gives each well node its share of the fine rows:
// on a mesh that is not the fine mesh of THICK and RATIO it refuses, rather
// than writing the standard equal shares without a word.
TEST(FineMesh, PreparationRefusesAMeshThatIsNotTheFineMesh) {
    test::TempWorkDir dir;
    test::PumpTest c;
    c.robs = {30.0};
    c.times = {0.0, 60.0, 600.0};
    c.fine = true;
    c.fineMesh = false;
    test::PumpTestRunner runner(c);
    test::PumpTestResult res;
    EXPECT_FALSE(runner.prepare(res));
    ASSERT_EQ(res.boxes.size(), 1u);
    EXPECT_EQ(res.boxes[0].rfind("The fine model cannot be prepared on the mesh of ", 0), 0u) << res.boxes[0];
    EXPECT_NE(res.boxes[0].find("do the mesh construction with the fine model first"), std::string::npos);
}

} // namespace
} // namespace wf
