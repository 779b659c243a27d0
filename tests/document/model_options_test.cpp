// The "Fine model" option in the project file: the extension block after the
// name block, absent for default options.
#include <gtest/gtest.h>

#include "document/project_document.h"
#include "temp_folder.h"

namespace wf::doc {
namespace {

using testing::readBytes;
using testing::TempFolder;
using testing::writeBytes;

// The block as the file holds it: tag, version 1, length 4, the flag.
std::string fineBlock(uint32_t flag) {
    std::string s("FINE", 4);
    for (uint32_t v : {1u, 4u, flag})
        for (int k = 0; k < 4; ++k) s.push_back(static_cast<char>((v >> (8 * k)) & 0xFF));
    return s;
}

TEST(ModelOptionsFile, DefaultOptionsLeaveTheFileAsDescribed) {
    TempFolder dir;
    ProjectDocument doc;
    ASSERT_TRUE(doc.saveProject(dir.path() / "A.wft").ok());
    const std::string plain = readBytes(dir.path() / "A.wft");
    doc.modelOptions.fineModel = true;
    doc.modelOptions.fineModel = false;
    ASSERT_TRUE(doc.saveProject(dir.path() / "B.wft").ok());
    EXPECT_EQ(readBytes(dir.path() / "B.wft"), plain);
    EXPECT_EQ(plain.find("FINE"), std::string::npos);
}

TEST(ModelOptionsFile, FineModelIsSavedAfterAnEmptyNameBlockAndReadBack) {
    TempFolder dir;
    ProjectDocument doc;
    ASSERT_TRUE(doc.saveProject(dir.path() / "A.wft").ok());
    const std::string plain = readBytes(dir.path() / "A.wft");
    doc.modelOptions.fineModel = true;
    ASSERT_TRUE(doc.saveProject(dir.path() / "F.wft").ok());
    const std::string fine = readBytes(dir.path() / "F.wft");
    // Described items, then the name block of length 0 (51 bytes), then the block.
    EXPECT_EQ(fine, plain + std::string(51, '\0') + fineBlock(1));
    ProjectDocument back;
    ASSERT_TRUE(back.loadProject(dir.path() / "F.wft").ok());
    EXPECT_TRUE(back.modelOptions.fineModel);
    EXPECT_TRUE(back.boreholeName().empty());
    // A file without the block loads with the defaults, whatever was open before.
    ASSERT_TRUE(back.loadProject(dir.path() / "A.wft").ok());
    EXPECT_FALSE(back.modelOptions.fineModel);
}

TEST(ModelOptionsFile, NameAndOptionsTogether) {
    TempFolder dir;
    ProjectDocument doc;
    doc.setDerivedNames("N.wft");
    ASSERT_TRUE(doc.acceptTestData("H30", {}, {}, dir.path()).ok());
    doc.modelOptions.fineModel = true;
    ASSERT_TRUE(doc.saveProject(dir.path() / "N.wft").ok());
    ProjectDocument back;
    ASSERT_TRUE(back.loadProject(dir.path() / "N.wft").ok());
    EXPECT_EQ(back.boreholeName(), "H30");
    EXPECT_TRUE(back.modelOptions.fineModel);
}

TEST(ModelOptionsFile, UnknownBlocksAreSkippedAndDamagedOnesRefused) {
    TempFolder dir;
    ProjectDocument doc;
    ASSERT_TRUE(doc.saveProject(dir.path() / "A.wft").ok());
    const std::string head = readBytes(dir.path() / "A.wft") + std::string(51, '\0');
    // A block of another tag (8 bytes of fields) before ours.
    std::string other("OPTS", 4);
    for (uint32_t v : {3u, 8u, 7u, 9u})
        for (int k = 0; k < 4; ++k) other.push_back(static_cast<char>((v >> (8 * k)) & 0xFF));
    writeBytes(dir.path() / "U.wft", head + other + fineBlock(1));
    ProjectDocument back;
    ASSERT_TRUE(back.loadProject(dir.path() / "U.wft").ok());
    EXPECT_TRUE(back.modelOptions.fineModel);

    // Cut short, or a flag that is not 0 or 1: refused, the open document kept.
    const std::string cut = (head + fineBlock(1)).substr(0, head.size() + 14);
    writeBytes(dir.path() / "C.wft", cut);
    ProjectDocument kept;
    kept.modelOptions.fineModel = true;
    const Status st = kept.loadProject(dir.path() / "C.wft");
    EXPECT_FALSE(st.ok());
    EXPECT_NE(st.error.find("C.wft"), std::string::npos) << st.error;
    EXPECT_TRUE(kept.modelOptions.fineModel);
    writeBytes(dir.path() / "V.wft", head + fineBlock(2));
    const Status bad = kept.loadProject(dir.path() / "V.wft");
    EXPECT_NE(bad.error.find("\"Fine model\" option 2"), std::string::npos) << bad.error;
}

} // namespace
} // namespace wf::doc
