// Mesh input that cannot give a usable mesh is refused: one "Error" box naming
// the value, no file written (earlier files kept), mesh counts unchanged.
#include <cmath>
#include <functional>

#include "prep/prep_fixture.h"

using namespace wf::test;

namespace {

struct Fault {
    const char* what;
    std::function<void(wf::Inputs&)> set;
    int type;
    std::string message;
};

} // namespace

class MeshFaults : public PrepRun {};

TEST_F(MeshFaults, RefusedWithMessageAndNoFile) {
    const std::vector<Fault> faults = {
        {"distance at the first radius", [](wf::Inputs& in) { in.ROBS[1] = 0.0625f; }, 0,
         "Observation distance 0.0625 must be greater than 0.0625"},
        {"distance below the first radius", [](wf::Inputs& in) { in.ROBS[1] = 0.05f; }, 0,
         "Observation distance 0.05 must be greater than 0.0625"},
        {"distance at the opposite boundary", [](wf::Inputs& in) { in.ROBS[1] = 1024.0f; }, 0,
         "Observation distance 1024 must be smaller than the distance to the opposite boundary 1024"},
        {"distance beyond the opposite boundary",
         [](wf::Inputs& in) {
             in.RMAX = 500.0f;
             in.ROBS[1] = 600.0f;
         },
         0, "Observation distance 600 must be smaller than the distance to the opposite boundary 500"},
        {"distances descending",
         [](wf::Inputs& in) {
             in.NOBS = 2;
             in.ROBS[1] = 1.5f;
             in.ROBS[2] = 1.0f;
             in.IPOS[2] = 1;
         },
         0, "Observation distance 1 must be greater than the observation distance 1.5 before it"},
        {"distances equal",
         [](wf::Inputs& in) {
             in.NOBS = 2;
             in.ROBS[2] = 1.0f;
             in.IPOS[2] = 2;
         },
         0, "Observation distance 1 must be greater than the observation distance 1 before it"},
        {"thickness zero", [](wf::Inputs& in) { in.THICK = 0.0f; }, 0, "Aquifer thickness 0 must be greater than 0.0"},
        {"thickness negative", [](wf::Inputs& in) { in.THICK = -40.0f; }, 0,
         "Aquifer thickness -40 must be greater than 0.0"},
        {"ratio zero", [](wf::Inputs& in) { in.RATIO = 0.0f; }, 0,
         "Fracture ratio 0 must be greater than 0.0 and smaller than 1.0"},
        {"ratio one", [](wf::Inputs& in) { in.RATIO = 1.0f; }, 1,
         "Fracture ratio 1 must be greater than 0.0 and smaller than 1.0"},
        {"ratio negative", [](wf::Inputs& in) { in.RATIO = -0.2f; }, 0,
         "Fracture ratio -0.2 must be greater than 0.0 and smaller than 1.0"},
        {"ratio without fracture row", [](wf::Inputs& in) { in.RATIO = 0.001f; }, 0,
         "Fracture ratio 0.001 leaves no node row for the fracture layer"},
        // The row rounding adds the single-precision 0.9: 0.1000000071 + 0.8999999762 stays below 1.
        {"ratio at the row rounding edge", [](wf::Inputs& in) { in.RATIO = std::nextafter(0.005f, 1.0f); }, 0,
         "Fracture ratio 0.005 leaves no node row for the fracture layer"},
        {"ratio without matrix row", [](wf::Inputs& in) { in.RATIO = 0.99f; }, 0,
         "Fracture ratio 0.99 leaves no node row for the matrix layer"},
        {"rmax at 0.125",
         [](wf::Inputs& in) {
             in.RMAX = 0.125f;
             in.ROBS[1] = 0.1f;
         },
         0, "Distance to the opposite boundary 0.125 must be greater than 0.125"},
        {"no observation point", [](wf::Inputs& in) { in.NOBS = 0; }, 0,
         "Number of observation points 0 must be between 1 and 4"},
        {"five observation points", [](wf::Inputs& in) { in.NOBS = 5; }, 0,
         "Number of observation points 5 must be between 1 and 4"},
        {"position neither fracture nor matrix", [](wf::Inputs& in) { in.IPOS[1] = 0; }, 0,
         "Observation position 0 must be 1 (fracture) or 2 (matrix)"},
    };
    const wf::Inputs defaults = rs.in;
    for (const Fault& f : faults) {
        SCOPED_TRACE(f.what);
        rs.in = defaults;
        rs.in.NR = 3;             // counts of an earlier run that must stay
        rs.in.NODOBS[1] = 9;
        f.set(rs.in);
        host.boxes.clear();
        dir.write("test.fem", "earlier mesh\n");
        EXPECT_FALSE(runMesh(f.type));
        EXPECT_EQ(boxTexts(), std::vector<std::string>{"Error: " + f.message});
        EXPECT_EQ(rs.in.NR, 3);
        EXPECT_EQ(rs.in.NODOBS[1], 9);
        EXPECT_EQ(dir.read("test.fem"), "earlier mesh\n");
        EXPECT_FALSE(dir.exists("test.plt"));
    }
}

// Three inserted columns push the fourth distance to column 25, where its own
// column would need a 26th: the series stops at 25 columns (limit box), and
// the point, which would sit on the opposite boundary, is refused.
TEST_F(MeshFaults, ObservationColumnBeyondTheLimit) {
    rs.in.NOBS = 4;
    rs.in.ROBS[1] = 0.1f;
    rs.in.ROBS[2] = 0.2f;
    rs.in.ROBS[3] = 0.3f;
    rs.in.ROBS[4] = 50000.0f;
    for (int k = 1; k <= 4; ++k) rs.in.IPOS[k] = 1;
    rs.in.RMAX = 100000.0f;
    EXPECT_FALSE(runMesh());
    EXPECT_EQ(boxTexts(), (std::vector<std::string>{
                              "Error:  Dimension to small for Mesh Size",
                              "Error: Observation distance 50000 does not fit within the 25 node columns of the mesh"}));
    EXPECT_EQ(rs.in.NR, 0);
    EXPECT_FALSE(dir.exists("test.fem"));
    EXPECT_FALSE(dir.exists("test.plt"));

    // With the fourth point at 30000 (column 24, inside the cut mesh) the mesh is built.
    host.boxes.clear();
    rs.in.ROBS[4] = 30000.0f;
    ASSERT_TRUE(runMesh());
    EXPECT_EQ(boxTexts(), std::vector<std::string>{"Error:  Dimension to small for Mesh Size"});
    EXPECT_EQ(rs.in.NR, 25);
    EXPECT_EQ(rs.in.NODOBS[4], 1 * 25 + 24);
    const auto fem = records(dir.read("test.fem"));
    EXPECT_EQ(fem.at(2 + 23), "    24     3.0000000E+04     0.0000000E+00       1");
    EXPECT_EQ(fem.at(2 + 24), "    25     1.0000000E+05     0.0000000E+00       1");
}
