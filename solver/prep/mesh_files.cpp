#include "prep/mesh_files.h"

#include <vector>

#include "prep/side_output.h"
#include "textio/fortran_format.h"
#include "textio/list_directed.h"

namespace wf::prep {

using textio::format;
using textio::listRecord;

namespace {

// One boundary edge: the element that owns it and its two nodes.
std::string edge(int element, int n1, int n2) { return format("(6I6)", {element, n1, n2}); }

// A two-point line of the plot file: header with flag and point count, then the points.
std::string plotLine(int flag, double r1, double z1, double r2, double z2) {
    return format("(10x,1x,i1,i5)", {flag, 2}) + format("(2f15.4)", {r1, z1}) + format("(2f15.4)", {r2, z2});
}

} // namespace

std::string meshFileText(const RunState& rs, const MeshLayout& m) {
    const Vec1<double>& R = rs.meshSet.R;
    const Vec1<double>& Z = rs.meshSet.Z;
    const int NR = m.NR, NZ = m.NZ;
    const int NN = NR * NZ, NE = (NR - 1) * (NZ - 1), NB = 2 * (NR - 1) + 2 * (NZ - 1);

    std::string s = listRecord({rs.title1()});
    s += listRecord({NR, NZ, NN, NE, NB});

    // Nodes: r and z in the project's distance unit; material 1 fracture, 2 matrix.
    for (int j = 1; j <= NZ; ++j)
        for (int i = 1; i <= NR; ++i)
            s += format("(I6,2(3x,1PE15.7),3x,i5)", {(j - 1) * NR + i, R(i), Z(j), j <= m.NZF ? 1 : 2});

    // Elements: lower left, lower right, upper right, upper left.
    for (int i = 1; i <= NR - 1; ++i)
        for (int j = 1; j <= NZ - 1; ++j) {
            const int n = (j - 1) * NR + i;
            s += format("(5I6)", {(i - 1) * (NZ - 1) + j, n, n + 1, n + NR + 1, n + NR});
        }

    // Boundary edges: column 1 (bottom, axis side, top), the inner columns'
    // bottom and top, then column NR-1 (bottom, outer side, top).
    const int top = (NZ - 1) * NR;  // number of the node before the top row
    s += edge(1, 1, 2);
    for (int j = 1; j <= NZ - 1; ++j) s += edge(j, (j - 1) * NR + 1 + NR, (j - 1) * NR + 1);
    s += edge(NZ - 1, top + 2, top + 1);
    for (int i = 2; i <= NR - 2; ++i) {
        s += edge((i - 1) * (NZ - 1) + 1, i, i + 1);
        s += edge((i - 1) * (NZ - 1) + NZ - 1, top + i + 1, top + i);
    }
    s += edge((NZ - 1) * (NR - 2) + 1, NR - 1, NR);
    for (int j = 1; j <= NZ - 1; ++j) s += edge((NZ - 1) * (NR - 2) + j, j * NR, j * NR + NR);
    s += edge((NZ - 1) * (NR - 1), NR * NZ, NR * NZ - 1);

    s += listRecord({"XXXXXX"});
    return s;
}

std::string plotFileText(const RunState& rs, const MeshLayout& m) {
    const Inputs& in = rs.in;
    const Vec1<double>& R = rs.meshSet.R;
    const Vec1<double>& Z = rs.meshSet.Z;
    const int NR = m.NR, NZ = m.NZ;

    std::string s = listRecord({rs.title1()});
    std::vector<textio::FValue> holes{"Position of Observation holes:"};
    for (int k = 1; k <= in.NOBS; ++k) holes.emplace_back(m.NODOBS[k]);
    s += listRecord(holes);
    s += format("(4f12.5)", {R(1), Z(1), R(NR), Z(NZ)});
    s += listRecord({in.NOBS, NR + NZ, 0, 0});
    for (int k = 1; k <= in.NOBS; ++k)
        s += format("(a,i5,15x,2f15.4)", {"11", m.NODOBS[k], R(m.IOBS[k]), Z(m.ROW[k] + 1)});
    // Row lines, flagged 1 inside the fracture thickness.
    for (int j = 1; j <= NZ; ++j) s += plotLine(Z(j) <= m.BF ? 1 : 0, R(1), Z(j), R(NR), Z(j));
    for (int i = 1; i <= NR; ++i) s += plotLine(0, R(i), Z(1), R(i), Z(NZ));
    return s;
}

bool writeMesh(RunState& rs, const MeshLayout& m) {
    const std::string fem = meshFileText(rs, m);
    const std::string plt = plotFileText(rs, m);
    if (!writeSideFiles(rs, rs.file(".fem"), fem, rs.file(".plt"), plt)) return false;
    storeMeshCounts(rs, m);
    return true;
}

} // namespace wf::prep
