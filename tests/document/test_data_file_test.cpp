// The test-data file (.DAT): exact layout, reading back, and refusals.
#include <gtest/gtest.h>

#include <iterator>

#include "document/data_field.h"
#include "document/project_document.h"
#include "temp_folder.h"

namespace wf::doc {
namespace {

using testing::readBytes;
using testing::sideFile;
using testing::TempFolder;
using testing::writeBytes;

ProjectDocument named(const std::string& name) {
    ProjectDocument doc;
    doc.setDerivedNames(name);
    return doc;
}

TEST(DataField, TwentyThreeCharactersWithFourExponentDigits) {
    EXPECT_EQ(formatDataField(1.0), " 1.00000000000000E+0000");
    EXPECT_EQ(formatDataField(0.0), " 0.00000000000000E+0000");
    EXPECT_EQ(formatDataField(-0.0025), "-2.50000000000000E-0003");
    EXPECT_EQ(formatDataField(830.0), " 8.30000000000000E+0002");
    EXPECT_EQ(formatDataField(1e-300), " 1.00000000000000E-0300");
    // Rounding to 15 significant digits carries into the exponent.
    EXPECT_EQ(formatDataField(9.9999999999999999), " 1.00000000000000E+0001");
    EXPECT_EQ(formatDataField(0.1), " 1.00000000000000E-0001");
}

TEST(TestDataFile, NoPointsGivesFourLines) {
    TempFolder dir;
    ProjectDocument doc = named("DEMO.wft");
    ASSERT_TRUE(doc.acceptTestData("", {}, {}, dir.path()).ok());
    EXPECT_EQ(readBytes(sideFile(dir.path(), "DEMO.DAT")), "DEMO.wft\r\n\r\n0\r\n\r\n");
}

TEST(TestDataFile, PointsAreWrittenInTwoFieldsAndReadBackAsTheirWords) {
    TempFolder dir;
    ProjectDocument doc = named("OK.wft");
    ASSERT_TRUE(doc.acceptTestData("Piezometer H30", {"0.1", " 2.33 ", "830"}, {"0.04", "0.36", "1.088"}, dir.path()).ok());
    EXPECT_EQ(doc.pointCount(), 3);
    EXPECT_EQ(doc.boreholeName(), "Piezometer H30");
    const std::string expected = "OK.wft\r\n\r\n3\r\n\r\n"
                                 " 1.00000000000000E-0001 4.00000000000000E-0002\r\n"
                                 " 2.33000000000000E+0000 3.60000000000000E-0001\r\n"
                                 " 8.30000000000000E+0002 1.08800000000000E+0000\r\n";
    EXPECT_EQ(readBytes(sideFile(dir.path(), "OK.DAT")), expected);

    ProjectDocument back = named("OK.wft");
    ASSERT_TRUE(back.readTestData(dir.path()).ok());
    ASSERT_EQ(back.pointCount(), 3);
    EXPECT_EQ(back.times(), (std::vector<std::string>{"1.00000000000000E-0001", "2.33000000000000E+0000",
                                                      "8.30000000000000E+0002"}));
    EXPECT_EQ(back.values()[2], "1.08800000000000E+0000");
    // Writing what was read gives the same file again.
    ASSERT_TRUE(back.writeTestData(dir.path()).ok());
    EXPECT_EQ(readBytes(sideFile(dir.path(), "OK.DAT")), expected);
}

TEST(TestDataFile, NegativeValueIsKeptApartFromTheTime) {
    TempFolder dir;
    ProjectDocument doc = named("N.wft");
    ASSERT_TRUE(doc.acceptTestData("", {"-1", "2"}, {"-0.5", "0.5"}, dir.path()).ok());
    EXPECT_EQ(readBytes(sideFile(dir.path(), "N.DAT")), "N.wft\r\n\r\n2\r\n\r\n"
                                         "-1.00000000000000E+0000 -5.00000000000000E-0001\r\n"
                                         " 2.00000000000000E+0000 5.00000000000000E-0001\r\n");
    ProjectDocument back = named("N.wft");
    ASSERT_TRUE(back.readTestData(dir.path()).ok());
    EXPECT_EQ(back.values()[0], "-5.00000000000000E-0001");
}

TEST(TestDataFile, TheLowerCaseSolverFileIsTheSameFile) {
    TempFolder dir;
    writeBytes(dir / "L.dat", "L.wft\n\n1\n\n5 0.25\n");
    ProjectDocument doc = named("L.wft");
    ASSERT_TRUE(doc.readTestData(dir.path()).ok());
    EXPECT_EQ(doc.pointCount(), 1);
    ASSERT_TRUE(doc.writeTestData(dir.path()).ok());
    // Written over the solver's file, not beside it.
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), std::filesystem::directory_iterator()), 1);
    EXPECT_EQ(readBytes(dir / "L.dat"), "L.wft\r\n\r\n1\r\n\r\n 5.00000000000000E+0000 2.50000000000000E-0001\r\n");
}

TEST(TestDataFile, MissingFileMeansNoPointsAndKeepsTheLists) {
    TempFolder dir;
    ProjectDocument doc = named("A.wft");
    ASSERT_TRUE(doc.acceptTestData("", {"1"}, {"2"}, dir.path()).ok());
    doc.setDerivedNames("B.wft");
    ASSERT_TRUE(doc.readTestData(dir.path()).ok());
    EXPECT_EQ(doc.pointCount(), 0);
    EXPECT_EQ(doc.times(), std::vector<std::string>{"1"});
}

TEST(TestDataFile, NewSetsTheCountToZeroButKeepsListsAndName) {
    TempFolder dir;
    ProjectDocument doc = named("A.wft");
    ASSERT_TRUE(doc.acceptTestData("BH", {"1"}, {"2"}, dir.path()).ok());
    ASSERT_TRUE(doc.newProject(dir / "B.wft").ok());
    EXPECT_EQ(doc.pointCount(), 0);
    EXPECT_EQ(doc.times(), std::vector<std::string>{"1"});
    EXPECT_EQ(doc.boreholeName(), "BH");
}

TEST(TestDataFile, BadFilesAreRefusedWithFileAndLine) {
    TempFolder dir;
    const std::string p = (dir / "BAD.DAT").string();
    const std::string where = "Test data file " + p + ", line ";
    const struct {
        std::string content, message;
    } cases[] = {
        {"t\n\nx2\n\n", where + "3: the number of points \"x2\" is not a whole number from 0 to 252"},
        {"t\n\n-1\n\n", where + "3: the number of points \"-1\" is not a whole number from 0 to 252"},
        {"t\n\n253\n\n", where + "3: the number of points \"253\" is not a whole number from 0 to 252"},
        {"t\n", where + "3: the number of points \"\" is not a whole number from 0 to 252"},
        {"t\n\n2\n\n1 0.1\n", where + "6: the file ends before point 2 of 2"},
    };
    for (const auto& c : cases) {
        writeBytes(dir / "BAD.DAT", c.content);
        ProjectDocument doc = named("BAD.wft");
        // Give the document points of its own, then fail to read over them.
        TempFolder other;
        ASSERT_TRUE(doc.acceptTestData("", {"7"}, {"8"}, other.path()).ok());
        const Status st = doc.readTestData(dir.path());
        EXPECT_EQ(st.error, c.message) << c.content;
        EXPECT_EQ(doc.pointCount(), 1);
        EXPECT_EQ(doc.times(), std::vector<std::string>{"7"});
    }
}

TEST(TestDataFile, WordsOfThePointLinesAreTakenAsTextAndAMissingWordIsEmpty) {
    // One unreadable word does not refuse the file: the points are read as the
    // editor keeps them, for the user to correct there.
    TempFolder dir;
    writeBytes(dir / "W.DAT", "W.wft\n\n5\n\n1,5 0.1\n2 abc\n   \n4\n5 0.5 extra\n");
    ProjectDocument doc = named("W.wft");
    ASSERT_TRUE(doc.readTestData(dir.path()).ok());
    EXPECT_EQ(doc.pointCount(), 5);
    EXPECT_EQ(doc.times(), (std::vector<std::string>{"1,5", "2", "", "4", "5"}));
    EXPECT_EQ(doc.values(), (std::vector<std::string>{"0.1", "abc", "", "", "0.5"}));
    // Such texts are not written back as numbers: the file stays as it was.
    const std::string before = readBytes(sideFile(dir.path(), "W.DAT"));
    EXPECT_EQ(doc.writeTestData(dir.path()).error, "Point 1, time: \"1,5\" is not a valid number");
    EXPECT_EQ(readBytes(sideFile(dir.path(), "W.DAT")), before);
}

TEST(TestDataFile, OpenWithABadTestDataFileOpensTheProjectWithoutPoints) {
    TempFolder dir;
    ProjectDocument source;
    source.mesh.RMAX = 321.0f;
    ASSERT_TRUE(source.newProject(dir / "O.wft").ok());
    source.mesh.RMAX = 321.0f;
    ASSERT_TRUE(source.saveProject(dir / "O.wft").ok());
    writeBytes(dir / "O.DAT", "O.wft\n\nmany\n\n");

    ProjectDocument doc;
    TempFolder other;
    doc.setDerivedNames("X.wft");
    ASSERT_TRUE(doc.acceptTestData("", {"7"}, {"8"}, other.path()).ok());
    const OpenOutcome o = doc.openProject(dir / "O.wft");
    EXPECT_TRUE(o.project.ok());
    EXPECT_EQ(o.testData.error, "Test data file " + sideFile(dir.path(), "O.DAT").string() +
                                    ", line 3: the number of points \"many\" is not a whole number from 0 to 252");
    EXPECT_EQ(doc.mesh.RMAX, 321.0f);
    EXPECT_STREQ(doc.filename.datName, "O.DAT");
    EXPECT_EQ(doc.pointCount(), 0);
    EXPECT_EQ(doc.times(), std::vector<std::string>{"7"});

    writeBytes(dir / "O.DAT", "O.wft\n\n2\n\n1 0.5\n2 0.75\n");
    const OpenOutcome good = doc.openProject(dir / "O.wft");
    EXPECT_TRUE(good.project.ok() && good.testData.ok());
    EXPECT_EQ(doc.pointCount(), 2);
    EXPECT_EQ(doc.values(), (std::vector<std::string>{"0.5", "0.75"}));
}

TEST(TestDataFile, PointsThatCannotBeWrittenAreRefusedAndNothingChanges) {
    TempFolder dir;
    ProjectDocument doc = named("W.wft");
    ASSERT_TRUE(doc.acceptTestData("First", {"1"}, {"2"}, dir.path()).ok());
    const std::string file = readBytes(sideFile(dir.path(), "W.DAT"));

    Status st = doc.acceptTestData("Second", {"1", "x"}, {"2", "3"}, dir.path());
    EXPECT_EQ(st.error, "Point 2, time: \"x\" is not a valid number");
    st = doc.acceptTestData("Second", {"1"}, {""}, dir.path());
    EXPECT_EQ(st.error, "Point 1, value: \"\" is not a valid number");
    st = doc.acceptTestData("Second", {"1", "2"}, {"3"}, dir.path());
    EXPECT_EQ(st.error, "Test data: 2 times but 1 values");
    st = doc.acceptTestData("Second", std::vector<std::string>(253, "1"), std::vector<std::string>(253, "1"), dir.path());
    EXPECT_EQ(st.error, "Cannot write the test data file " + sideFile(dir.path(), "W.DAT").string() +
                            ": 253 points are more than the 252 it can hold");
    EXPECT_EQ(doc.boreholeName(), "First");
    EXPECT_EQ(doc.pointCount(), 1);
    EXPECT_EQ(readBytes(sideFile(dir.path(), "W.DAT")), file);

    // 252 points are the most, and they read back.
    ASSERT_TRUE(doc.acceptTestData("", std::vector<std::string>(252, "1"), std::vector<std::string>(252, "2"), dir.path()).ok());
    ProjectDocument back = named("W.wft");
    ASSERT_TRUE(back.readTestData(dir.path()).ok());
    EXPECT_EQ(back.pointCount(), 252);
}

} // namespace
} // namespace wf::doc
