// The desktop program's upper-case side-file names and the solver's
// lower-case ones must address one file on a case-sensitive file system.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "textio/side_file.h"

namespace {

namespace fs = std::filesystem;

class SideFiles : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() /
               ("wf_textio_" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        fs::remove_all(dir_);
        fs::create_directories(dir_);
    }
    void TearDown() override { fs::remove_all(dir_); }

    void put(const std::string& name, const std::string& text) { std::ofstream(dir_ / name) << text; }

    fs::path dir_;
};

TEST_F(SideFiles, ExactNameWinsOverOtherCases) {
    put("TEST.DAT", "upper\n");
    put("TEST.dat", "lower\n");
    EXPECT_EQ(wf::textio::sideFilePath("TEST.DAT", dir_), dir_ / "TEST.DAT");
    EXPECT_EQ(wf::textio::sideFilePath("TEST.dat", dir_), dir_ / "TEST.dat");
}

TEST_F(SideFiles, ProgramAndSolverNamesReachTheSameFile) {
    std::ofstream out;
    ASSERT_TRUE(wf::textio::openSideWrite(out, "TEST.INV", dir_));
    out << " 1 3\n";
    out.close();
    EXPECT_TRUE(fs::exists(dir_ / "TEST.inv"));  // a new file takes the lower-case extension
    EXPECT_FALSE(fs::exists(dir_ / "TEST.INV"));

    std::ifstream in;
    ASSERT_TRUE(wf::textio::openSideRead(in, "test.INV", dir_));
    std::string line;
    std::getline(in, line);
    EXPECT_EQ(line, " 1 3");

    // Rewriting through the other spelling overwrites, not appends.
    ASSERT_TRUE(wf::textio::openSideWrite(out, "TEST.inv", dir_));
    out << " 2\n";
    out.close();
    ASSERT_TRUE(wf::textio::openSideRead(in, "TEST.INV", dir_));
    std::getline(in, line);
    EXPECT_EQ(line, " 2");
    EXPECT_FALSE(std::getline(in, line));
}

TEST_F(SideFiles, MissingFileCannotBeReadAndOnlyTheExtensionIsLowerCased) {
    std::ifstream in;
    EXPECT_FALSE(wf::textio::openSideRead(in, "TEST.RES", dir_));
    EXPECT_EQ(wf::textio::sideFilePath("My.Project.RES", dir_), dir_ / "My.Project.res");
    EXPECT_EQ(wf::textio::sideFilePath("NOEXT", dir_), dir_ / "NOEXT");
    fs::create_directory(dir_ / "test.fem");  // a directory is not a side file
    EXPECT_EQ(wf::textio::sideFilePath("TEST.FEM", dir_), dir_ / "TEST.fem");
}

} // namespace
