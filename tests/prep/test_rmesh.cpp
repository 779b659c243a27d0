// The mesh run: radial series, node rows, numbering, observation nodes and
// the records of base.fem and base.plt.
#include <array>
#include <cmath>
#include <set>
#include <utility>

#include "prep/prep_fixture.h"

using namespace wf::test;

namespace {

struct Node {
    double r, z;
    int material;
};

// The mesh file taken apart by its fixed columns.
struct FemFile {
    int NR = 0, NZ = 0, NN = 0, NE = 0, NB = 0;
    std::vector<Node> nodes;                 // 0-based by node number - 1
    std::vector<std::array<int, 4>> elems;   // 0-based by element number - 1
    std::vector<std::array<int, 3>> edges;   // element, node, node
    std::string endMark;
};

FemFile parseFem(const std::string& text) {
    FemFile f;
    const auto rec = records(text);
    const auto counts = words(rec.at(1));
    EXPECT_EQ(counts.size(), 5u);
    f.NR = std::stoi(counts.at(0));
    f.NZ = std::stoi(counts.at(1));
    f.NN = std::stoi(counts.at(2));
    f.NE = std::stoi(counts.at(3));
    f.NB = std::stoi(counts.at(4));
    EXPECT_EQ(rec.size(), static_cast<std::size_t>(2 + f.NN + f.NE + f.NB + 1));
    std::size_t k = 2;
    // "(I6,2(3x,1PE15.7),3x,i5)": node [0,6), r [9,24), z [27,42), material [45,50).
    for (int n = 1; n <= f.NN; ++n, ++k) {
        const std::string& r = rec.at(k);
        EXPECT_EQ(r.size(), 50u) << r;
        EXPECT_EQ(intField(r, 0, 6), n);
        EXPECT_EQ(cols(r, 6, 9) + cols(r, 24, 27) + cols(r, 42, 45), std::string(9, ' ')) << r;
        f.nodes.push_back({realField(r, 9, 24), realField(r, 27, 42), intField(r, 45, 50)});
    }
    // "(5I6)": element and its four nodes.
    for (int e = 1; e <= f.NE; ++e, ++k) {
        const std::string& r = rec.at(k);
        EXPECT_EQ(r.size(), 30u) << r;
        EXPECT_EQ(intField(r, 0, 6), e);
        f.elems.push_back({intField(r, 6, 12), intField(r, 12, 18), intField(r, 18, 24), intField(r, 24, 30)});
    }
    // "(6I6)" with three values.
    for (int b = 1; b <= f.NB; ++b, ++k) {
        const std::string& r = rec.at(k);
        EXPECT_EQ(r.size(), 18u) << r;
        f.edges.push_back({intField(r, 0, 6), intField(r, 6, 12), intField(r, 12, 18)});
    }
    f.endMark = rec.at(k);
    return f;
}

// Radii of the node columns, from the first node row.
std::vector<double> radii(const FemFile& f) {
    std::vector<double> r;
    for (int i = 0; i < f.NR; ++i) r.push_back(f.nodes.at(i).r);
    return r;
}

// Heights of the node rows, from the first node column.
std::vector<double> heights(const FemFile& f) {
    std::vector<double> z;
    for (int j = 0; j < f.NZ; ++j) z.push_back(f.nodes.at(static_cast<std::size_t>(j * f.NR)).z);
    return z;
}

// The doubling series 0, 0.0625, 0.125, ... with the given radii inserted in
// order and the last one replaced by rmax.
std::vector<double> series(int columns, std::vector<double> inserted, double rmax) {
    std::vector<double> r{0.0};
    double rw = 0.0625;
    while (static_cast<int>(r.size()) < columns) {
        if (!inserted.empty() && inserted.front() < rw) {
            r.push_back(inserted.front());
            inserted.erase(inserted.begin());
        } else {
            r.push_back(rw);
            rw *= 2.0;
        }
    }
    r.back() = rmax;
    return r;
}

// Every element a counter-clockwise rectangle in (r, z); every boundary edge
// a counter-clockwise side of its element lying on the outline; the outline
// covered exactly once.
void expectConsistentTopology(const FemFile& f, double rmax, double thick) {
    for (int e = 0; e < f.NE; ++e) {
        const auto& c = f.elems[e];
        double area2 = 0.0;
        for (int a = 0; a < 4; ++a) {
            const Node& p = f.nodes.at(c[a] - 1);
            const Node& q = f.nodes.at(c[(a + 1) % 4] - 1);
            area2 += p.r * q.z - q.r * p.z;
        }
        EXPECT_GT(area2, 0.0) << "element " << e + 1 << " is not counter-clockwise";
    }
    std::set<std::pair<int, int>> outline;
    for (int i = 1; i < f.NR; ++i) {
        outline.insert({i, i + 1});                                        // bottom
        outline.insert({(f.NZ - 1) * f.NR + i, (f.NZ - 1) * f.NR + i + 1});  // top
    }
    for (int j = 1; j < f.NZ; ++j) {
        outline.insert({(j - 1) * f.NR + 1, j * f.NR + 1});  // axis
        outline.insert({j * f.NR, (j + 1) * f.NR});          // opposite boundary
    }
    ASSERT_EQ(outline.size(), static_cast<std::size_t>(f.NB));
    std::set<std::pair<int, int>> seen;
    for (const auto& [e, a, b] : f.edges) {
        const auto& c = f.elems.at(e - 1);
        bool side = false;
        for (int k = 0; k < 4; ++k) side = side || (c[k] == a && c[(k + 1) % 4] == b);
        EXPECT_TRUE(side) << "edge " << a << "-" << b << " is not a counter-clockwise side of element " << e;
        const std::pair<int, int> key{std::min(a, b), std::max(a, b)};
        EXPECT_TRUE(outline.count(key)) << "edge " << a << "-" << b << " is not on the outline";
        EXPECT_TRUE(seen.insert(key).second) << "edge " << a << "-" << b << " listed twice";
        const Node& p = f.nodes.at(a - 1);
        const Node& q = f.nodes.at(b - 1);
        const bool onLine = (p.r == 0.0 && q.r == 0.0) || (p.r == rmax && q.r == rmax) ||
                            (p.z == 0.0 && q.z == 0.0) || (std::abs(p.z - thick) < 1e-5 && std::abs(q.z - thick) < 1e-5);
        EXPECT_TRUE(onLine) << "edge " << a << "-" << b;
    }
}

} // namespace

class MeshRun : public PrepRun {};

// Default project: 16 columns (1.0 is a doubled radius), 4 fracture rows of 20.
TEST_F(MeshRun, DefaultMeshCountsNodesElementsAndEdges) {
    ASSERT_TRUE(runMesh());
    EXPECT_TRUE(host.boxes.empty());
    const wf::Inputs& in = rs.in;
    EXPECT_EQ((std::vector<int>{in.NR, in.NZ, in.NN, in.NE, in.NB, in.NMAT, in.NZF, in.NZM, in.NODOBS[1]}),
              (std::vector<int>{16, 20, 320, 285, 68, 2, 4, 16, 22}));

    const std::string text = dir.read("test.fem");
    const auto rec = records(text);
    EXPECT_EQ(rec.at(0), " " + rs.title1());
    EXPECT_EQ(rec.at(2), "     1     0.0000000E+00     0.0000000E+00       1");
    EXPECT_EQ(rec.at(2 + 21), "    22     1.0000000E+00     2.1052632E+00       1");
    const FemFile f = parseFem(text);
    EXPECT_EQ((std::vector<int>{f.NR, f.NZ, f.NN, f.NE, f.NB}), (std::vector<int>{16, 20, 320, 285, 68}));
    EXPECT_EQ(words(f.endMark), std::vector<std::string>{"XXXXXX"});

    // r(i) = 0.0625 * 2^(i-2) exactly up to 1024 = RMAX; z(j) = (j-1) 40/19 to 8 digits.
    EXPECT_EQ(radii(f), series(16, {}, 1024.0));
    const auto z = heights(f);
    for (int j = 0; j < 20; ++j) EXPECT_NEAR(z[j], j * 40.0 / 19.0, 5e-7 * 40.0) << "row " << j + 1;
    for (int n = 0; n < f.NN; ++n) {
        const int i = n % 16, j = n / 16;
        EXPECT_EQ(f.nodes[n].r, f.nodes[i].r);
        EXPECT_EQ(f.nodes[n].z, z[j]);
        EXPECT_EQ(f.nodes[n].material, j < 4 ? 1 : 2) << "node " << n + 1;
    }
    // Element (i, j) = (i-1)*19 + j with nodes n, n+1, n+17, n+16.
    EXPECT_EQ(f.elems.at(0), (std::array<int, 4>{1, 2, 18, 17}));
    EXPECT_EQ(f.elems.at(19), (std::array<int, 4>{2, 3, 19, 18}));  // element 20: column 2, row 1
    EXPECT_EQ(f.elems.at(284), (std::array<int, 4>{303, 304, 320, 319}));
    expectConsistentTopology(f, 1024.0, 40.0);
    // Order of the edges: bottom of column 1, axis side upward, top of column 1, ...
    EXPECT_EQ(f.edges.at(0), (std::array<int, 3>{1, 1, 2}));
    EXPECT_EQ(f.edges.at(1), (std::array<int, 3>{1, 17, 1}));
    EXPECT_EQ(f.edges.at(20), (std::array<int, 3>{19, 306, 305}));
    EXPECT_EQ(f.edges.at(21), (std::array<int, 3>{20, 2, 3}));
    EXPECT_EQ(f.edges.at(22), (std::array<int, 3>{38, 307, 306}));
    EXPECT_EQ(f.edges.at(67), (std::array<int, 3>{285, 320, 319}));
}

TEST_F(MeshRun, DefaultPlotFileMatchesGolden) {
    ASSERT_TRUE(runMesh());
    expectGolden(dir.read("test.plt"), "default.plt");
    // Row and column lines by their columns: "(10x,1x,i1,i5)" blanks [0,11),
    // flag [11,12), count [12,17); "(2f15.4)" r [0,15), z [15,30).
    const auto plt = records(dir.read("test.plt"));
    ASSERT_EQ(plt.size(), 5u + 3 * 36);
    for (int line = 0; line < 36; ++line) {
        const std::string& h = plt[5 + 3 * line];
        ASSERT_EQ(h.size(), 17u) << h;
        EXPECT_EQ(cols(h, 0, 11), std::string(11, ' '));
        EXPECT_EQ(intField(h, 11, 12), line < 4 ? 1 : 0) << "line " << line + 1;  // rows with z <= BF = 8
        EXPECT_EQ(intField(h, 12, 17), 2);
        const std::string& a = plt[6 + 3 * line];
        const std::string& b = plt[7 + 3 * line];
        ASSERT_EQ(a.size(), 30u);
        ASSERT_EQ(b.size(), 30u);
        if (line < 20) {  // row j: from the axis to the opposite boundary at z(j)
            EXPECT_EQ(realField(a, 0, 15), 0.0);
            EXPECT_EQ(realField(b, 0, 15), 1024.0);
            EXPECT_NEAR(realField(a, 15, 30), line * 40.0 / 19.0, 5e-5);
            EXPECT_EQ(realField(a, 15, 30), realField(b, 15, 30));
        } else {  // column i: from the base to the top at r(i)
            EXPECT_EQ(realField(a, 0, 15), series(16, {}, 1024.0)[static_cast<std::size_t>(line - 20)]);
            EXPECT_EQ(realField(a, 0, 15), realField(b, 0, 15));
            EXPECT_EQ(realField(a, 15, 30), 0.0);
            EXPECT_EQ(realField(b, 15, 30), 40.0);
        }
    }
}

// Small graded mesh: every record of the mesh file, compared as a whole.
TEST_F(MeshRun, SmallGradedMeshFileMatchesGolden) {
    rs.in.RMAX = 0.3f;
    rs.in.ROBS[1] = 0.2f;
    ASSERT_TRUE(runMesh(1));
    EXPECT_EQ(rs.in.NR, 6);
    expectGolden(dir.read("test.fem"), "small_graded.fem");
    expectGolden(dir.read("test.plt"), "small_graded.plt");
}

// Graded rows: 9 fracture rows over BF = 8 (spacing 1.0), 11 matrix rows over 32 (32/11).
TEST_F(MeshRun, GradedRowsSpacing) {
    ASSERT_TRUE(runMesh(1));
    EXPECT_EQ(rs.in.NZF, 9);
    EXPECT_EQ(rs.in.NZM, 11);
    EXPECT_EQ(rs.in.NODOBS[1], 4 * 16 + 6);  // middle fracture row (9-1)/2 = 4
    const FemFile f = parseFem(dir.read("test.fem"));
    const auto z = heights(f);
    for (int j = 1; j < 20; ++j)
        EXPECT_NEAR(z[j] - z[j - 1], j < 9 ? 1.0 : 32.0 / 11.0, 1e-6) << "row " << j + 1;
    EXPECT_NEAR(z[8], 8.0, 1e-6);
    EXPECT_NEAR(z[19], 40.0, 1e-5);
    EXPECT_EQ(f.nodes.at(8 * 16).material, 1);
    EXPECT_EQ(f.nodes.at(9 * 16).material, 2);
    expectConsistentTopology(f, 1024.0, 40.0);
}

// 1.5 lies between the doubled radii 1 and 2: a column of its own.
TEST_F(MeshRun, ObservationColumnIsInserted) {
    rs.in.ROBS[1] = 1.5f;
    ASSERT_TRUE(runMesh());
    EXPECT_EQ(rs.in.NR, 17);
    EXPECT_EQ(rs.in.NN, 340);
    EXPECT_EQ(rs.in.NODOBS[1], 17 + 7);
    const FemFile f = parseFem(dir.read("test.fem"));
    EXPECT_EQ(radii(f), series(17, {1.5}, 1024.0));
    EXPECT_EQ(f.nodes.at(23).r, 1.5);
    expectConsistentTopology(f, 1024.0, 40.0);
}

// Several observation distances passed by one doubling each get a column, in order.
TEST_F(MeshRun, SeveralObservationColumnsInOneInterval) {
    rs.in.NOBS = 3;
    rs.in.ROBS[1] = 2.5f;
    rs.in.ROBS[2] = 3.0f;
    rs.in.ROBS[3] = 3.5f;
    rs.in.IPOS[2] = rs.in.IPOS[3] = 1;
    ASSERT_TRUE(runMesh());
    EXPECT_EQ(rs.in.NR, 19);
    const FemFile f = parseFem(dir.read("test.fem"));
    EXPECT_EQ(radii(f), series(19, {2.5, 3.0, 3.5}, 1024.0));
    EXPECT_EQ((std::vector<int>{rs.in.NODOBS[1], rs.in.NODOBS[2], rs.in.NODOBS[3]}),
              (std::vector<int>{19 + 8, 19 + 9, 19 + 10}));
}

// The doubling stops at the first radius >= RMAX (1024), moved onto 1000.
TEST_F(MeshRun, OuterColumnMovedOntoRmax) {
    rs.in.RMAX = 1000.0f;
    ASSERT_TRUE(runMesh());
    EXPECT_EQ(rs.in.NR, 16);
    const FemFile f = parseFem(dir.read("test.fem"));
    EXPECT_EQ(radii(f), series(16, {}, 1000.0));
    EXPECT_EQ(records(dir.read("test.plt")).at(2), "     0.00000     0.00000  1000.00000    40.00000");
    expectConsistentTopology(f, 1000.0, 40.0);
}

// Matrix points: the first matrix row closer than 1.0, else a third into the matrix.
TEST_F(MeshRun, MatrixObservationRows) {
    rs.in.NOBS = 2;
    rs.in.ROBS[1] = 0.5f;
    rs.in.ROBS[2] = 2.0f;
    rs.in.IPOS[1] = rs.in.IPOS[2] = 2;
    ASSERT_TRUE(runMesh());
    EXPECT_EQ(rs.in.NODOBS[1], 4 * 16 + 5);              // row NZF = 4 (0-based), column 5 (r 0.5)
    EXPECT_EQ(rs.in.NODOBS[2], (4 + 15 / 3) * 16 + 7);   // row 9, column 7 (r 2.0)
    const auto plt = records(dir.read("test.plt"));
    EXPECT_EQ(words(plt.at(1)), (std::vector<std::string>{"Position", "of", "Observation", "holes:", "69", "151"}));
    EXPECT_EQ(words(plt.at(3)), (std::vector<std::string>{"2", "36", "0", "0"}));
    // "(a,i5,15x,2f15.4)": "11", node [2,7), blanks [7,22), r [22,37), z [37,52).
    const std::string& p2 = plt.at(5);
    EXPECT_EQ(cols(p2, 0, 2), "11");
    EXPECT_EQ(intField(p2, 2, 7), 151);
    EXPECT_EQ(cols(p2, 7, 22), std::string(15, ' '));
    EXPECT_EQ(realField(p2, 22, 37), 2.0);
    EXPECT_NEAR(realField(p2, 37, 52), 9 * 40.0 / 19.0, 5e-5);
    EXPECT_EQ(p2.size(), 52u);
    EXPECT_EQ(plt.at(4), "11   69                        0.5000         8.4211");
}

// RMAX beyond the 25 columns: one limit box, the 25th column moved onto RMAX.
TEST_F(MeshRun, SeriesCutAtTwentyFiveColumns) {
    rs.in.RMAX = 1.0e7f;
    ASSERT_TRUE(runMesh());
    EXPECT_EQ(boxTexts(), std::vector<std::string>{"Error:  Dimension to small for Mesh Size"});
    EXPECT_EQ(rs.in.NR, 25);
    EXPECT_EQ(rs.in.NB, 2 * 24 + 2 * 19);
    const FemFile f = parseFem(dir.read("test.fem"));
    EXPECT_EQ(radii(f), series(25, {}, 1.0e7));
    EXPECT_EQ(f.nodes.at(23).r, 262144.0);
}

// Past all observation points no radius may produce another column.
TEST_F(MeshRun, LargeRmaxAddsNoSpuriousColumn) {
    rs.in.RMAX = 200000.0f;
    ASSERT_TRUE(runMesh());
    EXPECT_TRUE(host.boxes.empty());
    EXPECT_EQ(rs.in.NR, 24);
    EXPECT_EQ(radii(parseFem(dir.read("test.fem"))), series(24, {}, 200000.0));
}

// Through the entry call: MESH slots 0-7 and NODOBS come back, nothing else.
TEST(MeshEntryCall, DefaultsThroughWftDLL) {
    TempWorkDir dir;
    EntryRecords r;
    r.obsv.NODOBS[1] = 77;
    r.call(4, 0);
    EXPECT_TRUE(r.host.boxes.empty());
    const MESH& m = r.mesh;
    EXPECT_EQ((std::vector<int>{m.NR, m.NZ, m.NN, m.NE, m.NB, m.NMAT, m.NZF, m.NZM}),
              (std::vector<int>{16, 20, 320, 285, 68, 2, 4, 16}));
    EXPECT_EQ(m.RMAX, 1024.0f);
    EXPECT_EQ(r.obsv.NODOBS[0], 22);
    EXPECT_EQ(r.obsv.NODOBS[1], 77);
    EXPECT_EQ(records(dir.read("test.fem")).size(), 2u + 320 + 285 + 68 + 1);
    EXPECT_TRUE(dir.exists("test.plt"));
}

// A refused mesh input through the entry call: one box, records unchanged.
TEST(MeshEntryCall, RefusedInputLeavesRecords) {
    TempWorkDir dir;
    EntryRecords r;
    r.obsv.ROBS[0] = 0.05f;
    const MESH mesh = r.mesh;
    const OBSV obsv = r.obsv;
    r.call(4, 0);
    EXPECT_EQ(r.host.boxes, (std::vector<RecordedBox>{{"Error", "Observation distance 0.05 must be greater than 0.0625"}}));
    EXPECT_EQ(std::memcmp(&r.mesh, &mesh, sizeof mesh), 0);
    EXPECT_EQ(std::memcmp(&r.obsv, &obsv, sizeof obsv), 0);
    EXPECT_TRUE(std::filesystem::is_empty(dir.path()));
}
