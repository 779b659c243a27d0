// The desktop program's upper-case side-file names and the solver's
// lower-case ones must address one file on a case-sensitive file system.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <algorithm>
#include <iterator>
#include <string>
#include <vector>

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

std::string contents(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

std::vector<std::string> namesIn(const fs::path& dir) {
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(dir)) names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

TEST_F(SideFiles, ReplacementKeepsModeAndWritesThroughALinkToItsTarget) {
    put("TEST.fem", "old\n");
    fs::permissions(dir_ / "TEST.fem", fs::perms::owner_read | fs::perms::owner_write, fs::perm_options::replace);
    fs::create_symlink("TEST.fem", dir_ / "LINK.fem");
    EXPECT_EQ(wf::textio::replaceFileContents(dir_ / "LINK.fem", "new\n"), "");
    EXPECT_TRUE(fs::is_symlink(fs::symlink_status(dir_ / "LINK.fem")));
    EXPECT_EQ(contents(dir_ / "TEST.fem"), "new\n");
    EXPECT_EQ(fs::status(dir_ / "TEST.fem").permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write);
    // No temporary file is left behind.
    EXPECT_EQ(namesIn(dir_), (std::vector<std::string>{"LINK.fem", "TEST.fem"}));
}

TEST_F(SideFiles, ReadOnlyFileAndFolderAreRefusedAndLeftAlone) {
    put("TEST.obs", "kept\n");
    fs::permissions(dir_ / "TEST.obs", fs::perms::owner_read | fs::perms::group_read, fs::perm_options::replace);
    EXPECT_NE(wf::textio::writeSideFileText("TEST.OBS", "lost\n", dir_), "");
    EXPECT_EQ(contents(dir_ / "TEST.obs"), "kept\n");
    fs::create_directory(dir_ / "TEST.tim");
    EXPECT_EQ(wf::textio::replaceFileContents(dir_ / "TEST.tim", "x"), "it is a folder");
    EXPECT_TRUE(fs::is_directory(dir_ / "TEST.tim"));
    EXPECT_EQ(namesIn(dir_), (std::vector<std::string>{"TEST.obs", "TEST.tim"}));
}

TEST_F(SideFiles, FilesNamedLikeTemporariesAreNeverTouched) {
    // Whatever names a user's files have, the replacement creates its own.
    for (const char* n : {"TEST.res.saving", "TEST.res.tmp", ".TEST.res.tmp", "TEST.res~"}) put(n, "user\n");
    for (int i = 0; i < 20; ++i) ASSERT_EQ(wf::textio::writeSideFileText("TEST.RES", std::to_string(i), dir_), "");
    EXPECT_EQ(contents(dir_ / "TEST.res"), "19");
    for (const char* n : {"TEST.res.saving", "TEST.res.tmp", ".TEST.res.tmp", "TEST.res~"})
        EXPECT_EQ(contents(dir_ / n), "user\n") << n;
    EXPECT_EQ(namesIn(dir_).size(), 5u);
}

TEST_F(SideFiles, FailureBeforeTheRenameLeavesThePreviousFile) {
    put("TEST.inv", "previous\n");
    const std::string why = wf::textio::replaceFileContents(
        dir_ / "TEST.inv", "next\n", [](const fs::path&) { return std::string("disk full"); });
    EXPECT_EQ(why, "disk full");
    EXPECT_EQ(contents(dir_ / "TEST.inv"), "previous\n");
    EXPECT_EQ(namesIn(dir_), (std::vector<std::string>{"TEST.inv"}));
    // A folder that does not exist cannot take the file.
    EXPECT_NE(wf::textio::replaceFileContents(dir_ / "gone" / "TEST.inv", "x"), "");
}

TEST_F(SideFiles, FilesThatBelongTogetherAreReplacedTogetherOrNotAtAll) {
    put("TEST.obs", "old obs\n");
    fs::create_directory(dir_ / "TEST.tim");  // the second file cannot be written
    std::string failed;
    EXPECT_EQ(wf::textio::writeSideFileTexts({{"TEST.OBS", "new obs\n"}, {"TEST.TIM", "new tim\n"}}, failed, dir_),
              "it is a folder");
    EXPECT_EQ(failed, "TEST.TIM");
    EXPECT_EQ(contents(dir_ / "TEST.obs"), "old obs\n");
    EXPECT_EQ(namesIn(dir_), (std::vector<std::string>{"TEST.obs", "TEST.tim"}));

    fs::remove(dir_ / "TEST.tim");
    EXPECT_EQ(wf::textio::writeSideFileTexts({{"TEST.OBS", "new obs\n"}, {"TEST.TIM", "new tim\n"}}, failed, dir_), "");
    EXPECT_EQ(contents(dir_ / "TEST.obs"), "new obs\n");
    EXPECT_EQ(contents(dir_ / "TEST.tim"), "new tim\n");
}

} // namespace
