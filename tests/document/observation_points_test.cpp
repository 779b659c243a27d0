// Several observation points in the project: their settings in the project
// file's points block, their data in the test-data file's blocks, their order
// and checks. A project of one point keeps the standard files.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>

#include "document/project_document.h"
#include "temp_folder.h"

namespace wf::doc {
namespace {

using testing::readBytes;
using testing::TempFolder;
using testing::writeBytes;

std::string le32(uint32_t v) {
    std::string s;
    for (int k = 0; k < 4; ++k) s.push_back(static_cast<char>((v >> (8 * k)) & 0xFF));
    return s;
}
std::string lef(float f) {
    uint32_t u;
    std::memcpy(&u, &f, 4);
    return le32(u);
}

ObservationPoint point(const std::string& name, float r, int pos, float w, std::vector<std::string> t,
                       std::vector<std::string> v) {
    ObservationPoint p;
    p.name = name;
    p.distance = r;
    p.position = pos;
    p.weight = w;
    p.times = std::move(t);
    p.values = std::move(v);
    return p;
}

// A project DEMO.wft in dir with points at 50 (matrix), 10 (fracture) and 30 m,
// given out of order.
ProjectDocument threePoints(const TempFolder& dir, std::string* note = nullptr) {
    ProjectDocument doc;
    doc.setDerivedNames("DEMO.wft");
    EXPECT_TRUE(doc.setObservationPoints({point("PB2", 50.0f, 2, 2.0f, {"0", "10", "100"}, {"0", "0.1", "0.3"}),
                                          point("PB1", 10.0f, 1, 1.0f, {"0", "5"}, {"0", "0.5"}),
                                          point("", 30.0f, 1, 0.5f, {"1", "2", "3", "4"}, {"0.1", "0.2", "0.3", "0.4"})},
                                         note, dir.path())
                    .ok());
    return doc;
}

TEST(ObservationPoints, SortedByDistanceWithANoteAndWrittenOneBlockEach) {
    TempFolder dir;
    std::string note;
    ProjectDocument doc = threePoints(dir, &note);
    EXPECT_EQ(note, "Observation points sorted by distance, as the mesh needs them: \"PB1\" (10), point 3 (30), "
                    "\"PB2\" (50)");
    EXPECT_EQ(doc.obsv.NOBS, 3);
    EXPECT_EQ(doc.obsv.ROBS[0], 10.0f);
    EXPECT_EQ(doc.obsv.ROBS[1], 30.0f);
    EXPECT_EQ(doc.obsv.ROBS[2], 50.0f);
    EXPECT_EQ(doc.obsv.IPOS[2], 2);
    EXPECT_EQ(doc.pointCount(), 2);
    EXPECT_EQ(doc.times()[1], "5");
    // Line 3 counts every point; each block starts with the point's name.
    const std::string dat = readBytes(dir / "DEMO.dat");
    const std::string one = " 0.00000000000000E+0000 0.00000000000000E+0000\r\n";
    EXPECT_EQ(dat.substr(0, 24), "DEMO.wft\r\n\r\n2 4 3\r\nPB1\r\n");
    EXPECT_NE(dat.find("\r\n\r\n 1.00000000000000E+0000 1.00000000000000E-0001\r\n"), std::string::npos);  // point 3
    EXPECT_NE(dat.find("PB2\r\n" + one), std::string::npos);

    // Read back into a document that knows the settings (as Open does).
    ASSERT_TRUE(doc.saveProject(dir / "DEMO.wft").ok());
    ProjectDocument back;
    ASSERT_TRUE(back.openProject(dir / "DEMO.wft").project.ok());
    const std::vector<ObservationPoint> p = back.observationPoints();
    ASSERT_EQ(p.size(), 3u);
    EXPECT_EQ(p[0].name, "PB1");
    EXPECT_EQ(p[1].name, "");
    EXPECT_EQ(p[1].weight, 0.5f);
    EXPECT_EQ(p[2].values, (std::vector<std::string>{"0.00000000000000E+0000", "1.00000000000000E-0001",
                                                     "3.00000000000000E-0001"}));
    EXPECT_EQ(p[2].weight, 2.0f);
    EXPECT_EQ(back.obsv.NOBS, 3);
    // The weights reach the solver's record.
    const WfOptions o = back.solverOptions(nullptr);
    EXPECT_EQ(o.weights[0], 1.0);
    EXPECT_EQ(o.weights[1], 0.5);
    EXPECT_EQ(o.weights[2], 2.0);
}

TEST(ObservationPoints, BlockLayoutAfterTheNameBlockAndTheOptionsBlock) {
    TempFolder dir;
    ProjectDocument doc = threePoints(dir);
    doc.obsv.NODOBS[1] = 140;  // as a mesh run leaves them
    doc.obsv.NODOBS[2] = 215;
    ASSERT_TRUE(doc.saveProject(dir / "A.wft").ok());
    const std::string bytes = readBytes(dir / "A.wft");
    std::string block = "WFPT" + le32(1) + le32(4 + 7 + 4 + 2 * 20 + 3);
    block += lef(1.0f) + le32(3) + "PB1" + le32(2);
    block += lef(30.0f) + le32(1) + lef(0.5f) + le32(140) + le32(0);
    block += lef(50.0f) + le32(2) + lef(2.0f) + le32(215) + le32(3) + "PB2";
    ASSERT_EQ(bytes.size(), 132u + 51u + block.size());
    EXPECT_EQ(bytes.substr(183), block);

    // With options, the points block follows the options block, and a reader
    // of the options block alone still reads the options.
    doc.analysisOptions.search = WF_SEARCH_BOUND_AWARE;
    ASSERT_TRUE(doc.saveProject(dir / "B.wft").ok());
    const std::string withOptions = readBytes(dir / "B.wft");
    EXPECT_EQ(withOptions.substr(183, 4), "WFOP");
    EXPECT_EQ(withOptions.substr(183 + 40), block);
    AnalysisOptions options;
    ASSERT_TRUE(decodeOptionsFields(std::string_view(withOptions).substr(183 + 12, 28), options, "B.wft").ok());
    EXPECT_EQ(options.search, WF_SEARCH_BOUND_AWARE);
    ProjectDocument back;
    ASSERT_TRUE(back.loadProject(dir / "B.wft").ok());
    EXPECT_EQ(back.analysisOptions.search, WF_SEARCH_BOUND_AWARE);
    EXPECT_EQ(back.observationPointCount(), 3);
    EXPECT_EQ(back.obsv.NODOBS[2], 215);
    ASSERT_TRUE(back.saveProject(dir / "C.wft").ok());
    EXPECT_EQ(readBytes(dir / "C.wft"), withOptions);
}

TEST(ObservationPoints, OnePointAgainIsTheDescribedProjectAndDataFile) {
    TempFolder dir;
    ProjectDocument plain;
    plain.setDerivedNames("DEMO.wft");
    plain.obsv.ROBS[0] = 10.0f;
    ASSERT_TRUE(plain.acceptTestData("", {"0", "5"}, {"0", "0.5"}, dir.path()).ok());
    ASSERT_TRUE(plain.saveProject(dir / "plain.wft").ok());
    const std::string plainDat = readBytes(dir / "DEMO.dat");

    ProjectDocument doc = threePoints(dir);
    ASSERT_TRUE(doc.setObservationPoints({doc.observationPoints()[0]}, nullptr, dir.path()).ok());
    EXPECT_EQ(doc.obsv.NOBS, 1);
    EXPECT_EQ(readBytes(dir / "DEMO.dat"), plainDat);
    // The first point's name and weight are not kept by one point.
    std::vector<ObservationPoint> one = doc.observationPoints();
    one[0].name.clear();
    ASSERT_TRUE(doc.setObservationPoints(one, nullptr, dir.path()).ok());
    ASSERT_TRUE(doc.saveProject(dir / "again.wft").ok());
    EXPECT_EQ(readBytes(dir / "again.wft"), readBytes(dir / "plain.wft"));

    // A project file without the block has one point, whatever was open before.
    ProjectDocument reopened = threePoints(dir);
    ASSERT_TRUE(reopened.loadProject(dir / "plain.wft").ok());
    EXPECT_EQ(reopened.observationPointCount(), 1);
    EXPECT_EQ(reopened.obsv.NOBS, 1);
}

// A project of one point reads its one block as in the standard program, whatever else
// line 3 of the file holds (a second block cut short is not looked at).
TEST(ObservationPoints, OnePointProjectReadsOnlyTheFirstBlock) {
    TempFolder dir;
    writeBytes(dir / "ONE.dat", "ONE.wft\r\n\r\n2 5\r\n\r\n1 0.1\r\n2 0.2\r\n\r\n7 0.7\r\n");
    ProjectDocument doc;
    doc.setDerivedNames("ONE.wft");
    ASSERT_TRUE(doc.readTestData(dir.path()).ok());
    EXPECT_EQ(doc.pointCount(), 2);
    EXPECT_EQ(doc.observationPointCount(), 1);
}

TEST(ObservationPoints, RefusedSettingsChangeNothing) {
    TempFolder dir;
    ProjectDocument doc = threePoints(dir);
    const std::string dat = readBytes(dir / "DEMO.dat");
    auto refused = [&](std::vector<ObservationPoint> p, const std::string& message) {
        const Status st = doc.setObservationPoints(std::move(p), nullptr, dir.path());
        EXPECT_FALSE(st.ok());
        EXPECT_EQ(st.error, message);
        EXPECT_EQ(doc.observationPointCount(), 3);
        EXPECT_EQ(readBytes(dir / "DEMO.dat"), dat);
    };
    refused({point("A", 10.0f, 1, 1.0f, {"0"}, {"0"}), point("B", 10.0f, 2, 1.0f, {"0"}, {"0"})},
            "Observation \"A\" and \"B\" are both at distance 10: the mesh has one column per distance, so the "
            "distances must differ");
    refused({point("A", 0.05f, 1, 1.0f, {"0"}, {"0"})},
            "Observation \"A\": the distance 0.05 must be above 0.0625 (the mesh's first radius)");
    refused({point("A", 10.0f, 4, 1.0f, {"0"}, {"0"})}, "Observation \"A\": the position must be 1 (fracture) or 2 (matrix)");
    // Position 3, the pumped well, is the nearest point's alone.
    refused({point("A", 0.1f, 1, 1.0f, {"0"}, {"0"}), point("B", 10.0f, 3, 1.0f, {"0"}, {"0"})},
            "Observation \"B\": a point at the pumped well must be the first (the nearest) point");
    refused({point("A", 10.0f, 1, 0.0f, {"0"}, {"0"})}, "Observation \"A\": the weight 0 must be above 0");
    refused(std::vector<ObservationPoint>(5, point("", 1.0f, 1, 1.0f, {}, {})),
            "A project has 1 to 4 observation points, not 5");
    refused({point("A", 10.0f, 1, 1.0f, {"0"}, {"0"}), point("B", 20.0f, 1, 1.0f, {"x"}, {"0"})},
            "Observation point 2, point 1, time: \"x\" is not a valid number");
}

TEST(ObservationPoints, DamagedBlocksAreRefusedNamingTheFile) {
    TempFolder dir;
    ProjectDocument doc = threePoints(dir);
    ASSERT_TRUE(doc.saveProject(dir / "A.wft").ok());
    const std::string bytes = readBytes(dir / "A.wft");
    auto loadCut = [&](std::size_t size) {
        writeBytes(dir / "cut.wft", bytes.substr(0, size));
        ProjectDocument d;
        return d.loadProject(dir / "cut.wft");
    };
    const std::string file = (dir / "cut.wft").string();
    Status st = loadCut(bytes.size() - 1);
    EXPECT_EQ(st.error, "Project file " + file + ": the observation points block is cut short (" +
                            std::to_string(bytes.size() - 1 - 183 - 12) + " of " +
                            std::to_string(bytes.size() - 183 - 12) + " bytes)");
    // A position that is neither fracture nor matrix.
    std::string bad = bytes;
    bad[183 + 12 + 4 + 7 + 4 + 4] = 7;
    writeBytes(dir / "bad.wft", bad);
    ProjectDocument d;
    st = d.loadProject(dir / "bad.wft");
    EXPECT_EQ(st.error, "Project file " + (dir / "bad.wft").string() +
                            ": the observation points block gives point 2 the position 7 (1 fracture, 2 matrix)");
    // Another version is skipped: one point.
    std::string later = bytes;
    later[183 + 4] = 2;
    writeBytes(dir / "later.wft", later);
    ASSERT_TRUE(d.loadProject(dir / "later.wft").ok());
    EXPECT_EQ(d.observationPointCount(), 1);
}

} // namespace
} // namespace wf::doc

namespace wf::doc {
namespace {

// The points block is checked on load as the data editor and the command line
// check points: weights above 0, distinct distances, NOBS equal to its count.
TEST(ObservationPointsFile, BlockValuesTheEditorRefusesAreRefusedOnLoad) {
    TempFolder dir;
    ProjectDocument doc = threePoints(dir);
    ASSERT_TRUE(doc.saveProject(dir / "A.wft").ok());
    const std::string good = readBytes(dir / "A.wft");
    // Fields of the block: weight 1, name, count, then per point distance,
    // position, weight, node, name (point 2 "" at 30, point 3 "PB2" at 50).
    const std::size_t fields = 183 + 12, point2 = fields + 4 + 4 + 3 + 4;
    const std::size_t point3 = point2 + 5 * 4;
    auto refused = [&](std::string bytes, const std::string& message) {
        writeBytes(dir / "D.wft", bytes);
        ProjectDocument back;
        back.setBoreholeName("kept");
        const Status st = back.loadProject(dir / "D.wft");
        EXPECT_EQ(st.error, "Project file " + (dir / "D.wft").string() + ": " + message);
        EXPECT_EQ(back.boreholeName(), "kept");
    };
    std::string bad = good;
    bad.replace(point2 + 8, 4, lef(-5.0f));
    refused(bad, "the observation points block gives point 2 the weight -5 (it must be above 0)");
    bad = good;
    bad.replace(fields, 4, lef(0.0f));
    refused(bad, "the observation points block gives point 1 the weight 0 (it must be above 0)");
    bad = good;
    bad.replace(point3, 4, lef(30.0f));
    refused(bad, "the observation points block gives point 2 and point 3 the same distance 30 (they must differ)");
    bad = good;
    bad.replace(point2, 4, lef(10.0f));
    refused(bad, "the observation points block gives point 2 the distance of point 1 (ROBS), but the distances must "
                 "differ");
    // NOBS of the main record (item 18) against the block.
    bad = good;
    bad.replace(17 * 4, 4, le32(2));
    refused(bad, "NOBS (number of observation points) is 2, but the observation points block holds 3 points");
    // Without the block a project has one point.
    ProjectDocument one;
    ASSERT_TRUE(one.saveProject(dir / "ONE.wft").ok());
    bad = readBytes(dir / "ONE.wft");
    bad.replace(17 * 4, 4, le32(3));
    refused(bad, "NOBS (number of observation points) is 3, but the file holds the settings of one point (no "
                 "observation points block)");
    // Also in a file that ends early, after NOBS: the project saved from it would not load.
    refused(bad.substr(0, 20 * 4), "NOBS (number of observation points) is 3, but the file holds the settings of one "
                                   "point (no observation points block)");
}

} // namespace
} // namespace wf::doc
