// The project file (.wft) byte for byte, the derived names and the refusals of
// damaged files.
#include <gtest/gtest.h>

#include <cstring>
#include <iterator>
#include <limits>
#include <vector>

#include "document/project_document.h"
#include "temp_folder.h"

namespace wf::doc {
namespace {

using testing::readBytes;
using testing::TempFolder;
using testing::writeBytes;

// Little-endian items in the order the file lays them out.
struct Bytes {
    std::string s;
    Bytes& i(int32_t v) {
        const auto u = static_cast<uint32_t>(v);
        for (int k = 0; k < 4; ++k) s.push_back(static_cast<char>((u >> (8 * k)) & 0xFF));
        return *this;
    }
    Bytes& f(float v) {
        uint32_t u;
        std::memcpy(&u, &v, 4);
        return i(static_cast<int32_t>(u));
    }
};

// The records of two documents are equal byte for byte.
void expectSameRecords(const ProjectDocument& a, const ProjectDocument& b) {
    EXPECT_EQ(0, std::memcmp(&a.filename, &b.filename, sizeof(FILENAME)));
    EXPECT_EQ(0, std::memcmp(&a.mesh, &b.mesh, sizeof(MESH)));
    EXPECT_EQ(0, std::memcmp(&a.units, &b.units, sizeof(UNITS)));
    EXPECT_EQ(0, std::memcmp(&a.obsv, &b.obsv, sizeof(OBSV)));
    EXPECT_EQ(0, std::memcmp(&a.pump, &b.pump, sizeof(PUMP)));
    EXPECT_EQ(0, std::memcmp(&a.guess, &b.guess, sizeof(GUESS)));
    EXPECT_EQ(0, std::memcmp(&a.pinit, &b.pinit, sizeof(PINIT)));
    EXPECT_EQ(a.boreholeName(), b.boreholeName());
    EXPECT_EQ(a.pointCount(), b.pointCount());
}

TEST(ProjectFile, NewDemoProjectWritesTheDefaultsIn132BytesAndDerivesTheNames) {
    TempFolder dir;
    ProjectDocument doc;
    ASSERT_TRUE(doc.newProject(dir / "DEMO.wft").ok());

    EXPECT_EQ(doc.filename.baseLength, 4);
    EXPECT_STREQ(doc.filename.projectName, "DEMO.wft");
    EXPECT_STREQ(doc.filename.femName, "DEMO.FEM");
    EXPECT_STREQ(doc.filename.datName, "DEMO.DAT");
    EXPECT_STREQ(doc.filename.timName, "DEMO.TIM");
    EXPECT_STREQ(doc.filename.obsName, "DEMO.OBS");
    EXPECT_STREQ(doc.filename.resName, "DEMO.RES");
    EXPECT_STREQ(doc.filename.invName, "DEMO.INV");
    EXPECT_EQ(doc.pointCount(), 0);

    Bytes e;
    e.i(0).i(0).i(2).i(0).i(0).i(0).i(1).i(-4).f(1024.0f);   // MESH
    e.i(3).i(2).i(2).i(12).i(12).i(8);                        // UNITS
    e.f(40.0f).f(0.2f).i(1).i(0).i(1).f(1.0f);                // OBSV
    e.i(1).i(0).f(0.0f).f(0.0f).i(1).i(1);                    // PUMP header
    e.f(0.0f).f(0.0f);                                        // one (Q, TQ) pair
    e.f(0.0f).f(0.001f).f(1e-6f).f(0.003f);                   // PINIT
    ASSERT_EQ(e.s.size(), 132u);
    EXPECT_EQ(readBytes(dir / "DEMO.wft"), e.s);
}

TEST(ProjectFile, NameBlockAndStepTableFollowTheLayoutAndReadBack) {
    TempFolder dir;
    ProjectDocument doc;
    doc.mesh = MESH{16, 20, 320, 285, 68, 2, 4, 16, 4000.0f}; // NR NZ NN NE NB NMAT NZF NZM RMAX
    doc.units = UNITS{1, 3, 1, 5, 12, 6};
    doc.obsv.THICK = 7.0f;
    doc.obsv.RATIO = 0.25f;
    doc.obsv.NODOBS[0] = 22;
    doc.obsv.IPOS[0] = 2;
    doc.obsv.ROBS[0] = 30.0f;
    doc.pump.NQ = 3;
    doc.pump.IWLO = 1;
    doc.pump.NSTEP = 10.0f;
    doc.pump.TSIM = 2.5f;
    doc.pump.IPUMP = 0;
    doc.pump.IOPP = 0;
    const float q[3] = {788.0f, 500.0f, 0.0f}, tq[3] = {0.0f, 60.0f, 120.0f};
    for (int k = 0; k < 3; ++k) doc.pump.Q[k] = q[k], doc.pump.TQ[k] = tq[k];
    doc.pinit.TF = 462.0f;
    doc.pinit.TM = 0.5f;
    doc.pinit.SF = 1.8e-4f;
    doc.pinit.SM = 2e-3f;
    doc.setBoreholeName("BH-12");
    ASSERT_TRUE(doc.saveProject(dir / "P.wft").ok());

    Bytes e;
    e.i(16).i(20).i(2).i(4).i(16).i(320).i(285).i(68).f(4000.0f);
    e.i(1).i(3).i(1).i(5).i(12).i(6);
    e.f(7.0f).f(0.25f).i(1).i(22).i(2).f(30.0f);
    e.i(3).i(1).f(10.0f).f(2.5f).i(0).i(0);
    for (int k = 0; k < 3; ++k) e.f(q[k]).f(tq[k]);
    e.f(462.0f).f(0.5f).f(1.8e-4f).f(2e-3f);
    e.s += '\x05';
    e.s += "BH-12";
    const std::string file = readBytes(dir / "P.wft");
    ASSERT_EQ(file.size(), 175u + 8u * 3u);
    EXPECT_EQ(file.substr(0, e.s.size()), e.s); // the 45 bytes after the name carry no meaning

    ProjectDocument back;
    back.setDerivedNames("P.wft");
    doc.setDerivedNames("P.wft");
    ASSERT_TRUE(back.loadProject(dir / "P.wft").ok());
    expectSameRecords(back, doc);
}

TEST(ProjectFile, ZeroOrOneStepStoresOnePair) {
    TempFolder dir;
    for (int NQ : {0, 1}) {
        ProjectDocument doc;
        doc.pump.NQ = NQ;
        doc.pump.Q[0] = 12.5f;
        doc.pump.TQ[0] = 3.0f;
        doc.pump.Q[1] = 99.0f; // beyond the stored table
        ASSERT_TRUE(doc.saveProject(dir / "S.wft").ok());
        const std::string file = readBytes(dir / "S.wft");
        ASSERT_EQ(file.size(), 132u) << "NQ " << NQ;
        EXPECT_EQ(file.substr(84, 4), Bytes().i(NQ).s);
        EXPECT_EQ(file.substr(108, 8), Bytes().f(12.5f).f(3.0f).s);

        ProjectDocument back;
        ASSERT_TRUE(back.loadProject(dir / "S.wft").ok());
        EXPECT_EQ(back.pump.NQ, NQ);
        EXPECT_EQ(back.pump.Q[0], 12.5f);
        EXPECT_EQ(back.pump.TQ[0], 3.0f);
        EXPECT_EQ(back.pump.Q[1], 0.0f);
    }
}

TEST(ProjectFile, ShortFilesKeepWhatTheyDoNotHold) {
    TempFolder dir;
    ProjectDocument source;
    source.mesh.RMAX = 555.0f;
    source.pump.NQ = 2;
    ASSERT_TRUE(source.saveProject(dir / "A.wft").ok());
    const std::string full = readBytes(dir / "A.wft");
    ASSERT_EQ(full.size(), 140u);

    // Without the name block the borehole name stays.
    ProjectDocument doc;
    doc.setBoreholeName("Keep me");
    ASSERT_TRUE(doc.loadProject(dir / "A.wft").ok());
    EXPECT_EQ(doc.boreholeName(), "Keep me");
    EXPECT_EQ(doc.mesh.RMAX, 555.0f);

    // Cut inside IWLO (offset 88): everything before is read, the rest keeps its value.
    writeBytes(dir / "B.wft", full.substr(0, 90));
    ProjectDocument early;
    early.pump.NQ = 7;
    early.pump.IWLO = 1;
    early.pump.IPUMP = 2;
    early.pinit.TF = 123.0f;
    ASSERT_TRUE(early.loadProject(dir / "B.wft").ok());
    EXPECT_EQ(early.mesh.RMAX, 555.0f);
    EXPECT_EQ(early.pump.NQ, 2);
    EXPECT_EQ(early.pump.IWLO, 1);
    EXPECT_EQ(early.pump.IPUMP, 2);
    EXPECT_EQ(early.pinit.TF, 123.0f);
}

TEST(ProjectFile, DamagedFilesAreRefusedAndTheDocumentKeepsItsValues) {
    TempFolder dir;
    ProjectDocument source;
    ASSERT_TRUE(source.saveProject(dir / "G.wft").ok());
    const std::string good = readBytes(dir / "G.wft");

    ProjectDocument doc;
    doc.mesh.RMAX = 77.0f;
    doc.setBoreholeName("Before");
    const ProjectDocument before = doc;

    const auto withNQ = [&](int32_t NQ) { return good.substr(0, 84) + Bytes().i(NQ).s + good.substr(88); };
    const std::filesystem::path p21 = dir / "N21.wft", pNeg = dir / "NNEG.wft", pName = dir / "NAME.wft";
    writeBytes(p21, withNQ(21));
    writeBytes(pNeg, withNQ(-1));
    writeBytes(pName, good + '\x33' + std::string(50, 'x')); // length byte 51

    Status st = doc.loadProject(p21);
    EXPECT_EQ(st.error, "Project file " + p21.string() + ": the number of pumping steps 21 is not between 0 and 20");
    st = doc.loadProject(pNeg);
    EXPECT_EQ(st.error, "Project file " + pNeg.string() + ": the number of pumping steps -1 is not between 0 and 20");
    st = doc.loadProject(pName);
    EXPECT_EQ(st.error, "Project file " + pName.string() + ": the borehole name length 51 is above 50");
    st = doc.loadProject(dir / "missing.wft");
    EXPECT_EQ(st.error, "Cannot open the project file " + (dir / "missing.wft").string() + " (it does not exist)");
    expectSameRecords(doc, before);

    const OpenOutcome o = doc.openProject(p21);
    EXPECT_FALSE(o.project.ok());
    expectSameRecords(doc, before);
}

TEST(ProjectFile, FailedSaveLeavesThePreviousFile) {
    TempFolder dir;
    ProjectDocument doc;
    doc.setBoreholeName("Old");
    const std::filesystem::path path = dir / "KEEP.wft";
    ASSERT_TRUE(doc.saveProject(path).ok());
    const std::string old = readBytes(path);

    // A user's file or folder named like a temporary file is never touched.
    std::filesystem::create_directory(dir / "KEEP.wft.saving");
    writeBytes(dir / "KEEP.wft.tmp", "mine");
    doc.mesh.RMAX = 1.0f;
    ASSERT_TRUE(doc.saveProject(path).ok());
    EXPECT_TRUE(std::filesystem::is_directory(dir / "KEEP.wft.saving"));
    EXPECT_EQ(readBytes(dir / "KEEP.wft.tmp"), "mine");
    {
        ProjectDocument previous;
        previous.setBoreholeName("Old");
        ASSERT_TRUE(previous.saveProject(path).ok());
        ASSERT_EQ(readBytes(path), old);
    }

    // The target is a folder: refused, and no temporary file is left.
    const std::filesystem::path folder = dir / "FOLDER.wft";
    std::filesystem::create_directory(folder);
    Status st = doc.saveProject(folder);
    EXPECT_EQ(st.error, "Cannot write the project file " + folder.string() +
                            " (it is a folder); the file on disk is unchanged");
    EXPECT_TRUE(std::filesystem::is_directory(folder));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), std::filesystem::directory_iterator()), 4);

    // A read-only project file is refused and left as it was.
    std::filesystem::permissions(path, std::filesystem::perms::owner_read, std::filesystem::perm_options::replace);
    st = doc.saveProject(path);
    EXPECT_EQ(st.error, "Cannot write the project file " + path.string() +
                            " (the file is read-only); the file on disk is unchanged");
    EXPECT_EQ(readBytes(path), old);
    std::filesystem::permissions(path, std::filesystem::perms::owner_read | std::filesystem::perms::owner_write,
                                 std::filesystem::perm_options::replace);

    // A step count the file cannot hold is not written at all.
    doc.pump.NQ = 21;
    st = doc.saveProject(path);
    EXPECT_EQ(st.error, "Cannot save the project file " + path.string() +
                            ": the number of pumping steps 21 is not between 0 and 20");
    EXPECT_EQ(readBytes(path), old);
}

TEST(ProjectFile, LongNamesNeverOverflowTheNameField) {
    TempFolder dir;
    ProjectDocument doc;
    const std::string name = "ABCDEFGHIJKLMNOPQRSTUVWXYZ.wft"; // 30 characters
    ASSERT_TRUE(doc.newProject(dir / name).ok());
    EXPECT_EQ(doc.filename.baseLength, 26);
    EXPECT_EQ(std::string(doc.filename.projectName, 20), std::string("ABCDEFGHIJKLMNOPQRS") + '\0');
    EXPECT_EQ(std::string(doc.filename.reserved, 148), std::string(148, '\0'));
    EXPECT_STREQ(doc.filename.invName, "ABCDEFGHIJKLMNOPQRSTUVWXYZ.INV");
    EXPECT_EQ(doc.stem(), "ABCDEFGHIJKLMNOPQRSTUVWXYZ");
    // Save goes to the full name, not to a cut one.
    std::filesystem::remove(dir / name);
    ASSERT_TRUE(doc.saveToProjectName(dir.path()).ok());
    EXPECT_TRUE(std::filesystem::exists(dir / name));

    // A later short name clears what the long one left behind.
    doc.setDerivedNames("DEMO.wft");
    EXPECT_EQ(std::string(doc.filename.projectName, 20), std::string("DEMO.wft") + std::string(12, '\0'));
}

TEST(ProjectFile, BoreholeNameIsCutTo50Characters) {
    ProjectDocument doc;
    doc.setBoreholeName(std::string(60, 'n'));
    EXPECT_EQ(doc.boreholeName(), std::string(50, 'n'));
}

TEST(ProjectFile, StepCountFollowsTheLastFilledRow) {
    ProjectDocument doc;
    doc.pump.NQ = 5;
    doc.updateStepCount(); // all rows zero: NQ stays
    EXPECT_EQ(doc.pump.NQ, 5);
    doc.pump.TQ[0] = 0.0f;
    doc.pump.Q[0] = 10.0f;
    doc.pump.TQ[2] = 30.0f; // row 2 left zero
    doc.updateStepCount();
    EXPECT_EQ(doc.pump.NQ, 3);
}

TEST(ProjectFile, SaveKeepsTheModeAndWritesThroughALink) {
    TempFolder dir;
    ProjectDocument doc;
    const std::filesystem::path real = dir / "REAL.wft", link = dir / "LINK.wft";
    ASSERT_TRUE(doc.saveProject(real).ok());
    std::filesystem::permissions(real, std::filesystem::perms::owner_read | std::filesystem::perms::owner_write,
                                 std::filesystem::perm_options::replace);
    std::filesystem::create_symlink("REAL.wft", link);
    doc.mesh.RMAX = 2048.0f;
    ASSERT_TRUE(doc.saveProject(link).ok());
    EXPECT_TRUE(std::filesystem::is_symlink(std::filesystem::symlink_status(link)));
    EXPECT_EQ(std::filesystem::status(real).permissions() & std::filesystem::perms::all,
              std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
    ProjectDocument back;
    ASSERT_TRUE(back.loadProject(real).ok());
    EXPECT_EQ(back.mesh.RMAX, 2048.0f);
}

TEST(ProjectFile, AFolderOrARealThatIsNotANumberIsRefusedByName) {
    TempFolder dir;
    ProjectDocument doc;
    doc.mesh.RMAX = 77.0f;
    const ProjectDocument before = doc;
    std::filesystem::create_directory(dir / "DIR.wft");
    EXPECT_EQ(doc.loadProject(dir / "DIR.wft").error,
              "Cannot open the project file " + (dir / "DIR.wft").string() + " (it is a folder)");
    EXPECT_FALSE(doc.openProject(dir / "DIR.wft").project.ok());

    ProjectDocument source;
    ASSERT_TRUE(source.saveProject(dir / "G.wft").ok());
    const std::string good = readBytes(dir / "G.wft");
    struct Case {
        std::size_t offset;
        float value;
        std::string message;
    };
    const std::vector<Case> cases{
        {108, std::numeric_limits<float>::quiet_NaN(), "the discharge Q 1 is not a finite number (NaN)"},
        {112, -std::numeric_limits<float>::infinity(), "the step start TQ 1 is not a finite number (-Infinity)"},
        {60, std::numeric_limits<float>::infinity(), "THICK (thickness) is not a finite number (Infinity)"},
        {128, std::numeric_limits<float>::quiet_NaN(), "SM is not a finite number (NaN)"},
    };
    for (const Case& c : cases) {
        const std::filesystem::path p = dir / "BAD.wft";
        writeBytes(p, good.substr(0, c.offset) + Bytes().f(c.value).s + good.substr(c.offset + 4));
        EXPECT_EQ(doc.loadProject(p).error, "Project file " + p.string() + ": " + c.message);
    }
    expectSameRecords(doc, before);
}

// Save and the data editor's OK after the project's folder was removed: the
// document names the file instead of ending the program.
TEST(ProjectFile, SavingIntoARemovedWorkingFolderFailsNamingTheFile) {
    TempFolder dir;
    const auto before = std::filesystem::current_path();
    std::filesystem::create_directory(dir / "gone");
    ProjectDocument doc;
    ASSERT_TRUE(doc.newProject(dir / "gone" / "DEMO.wft").ok());
    std::filesystem::current_path(dir / "gone");
    std::filesystem::remove_all(dir / "gone");
    const Status saved = doc.saveToProjectName();
    const Status data = doc.acceptTestData("", {"0", "1"}, {"0", "0.5"});
    std::filesystem::current_path(before);
    EXPECT_EQ(saved.error.rfind("Cannot write the project file DEMO.wft (", 0), 0u) << saved.error;
    EXPECT_EQ(data.error.rfind("Cannot write the test data file DEMO.dat (", 0), 0u) << data.error;
    EXPECT_EQ(doc.pointCount(), 0);
}

TEST(ProjectFile, EnterProjectFolderMakesItTheWorkingDirectory) {
    TempFolder dir;
    const auto before = std::filesystem::current_path();
    ASSERT_TRUE(enterProjectFolder(dir / "X.wft").ok());
    EXPECT_EQ(std::filesystem::current_path(), std::filesystem::canonical(dir.path()));
    const Status st = enterProjectFolder(dir / "gone" / "X.wft");
    EXPECT_EQ(st.error, "Cannot enter the project folder " + (dir / "gone").string() + " (" +
                            std::make_error_code(std::errc::no_such_file_or_directory).message() + ")");
    std::filesystem::current_path(before);
}

} // namespace
} // namespace wf::doc
