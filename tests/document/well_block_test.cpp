// The well block of the project file ("WFWL"): the pumped well of the fine
// model, written after the options block only when a well is set.
#include <gtest/gtest.h>

#include <bit>
#include <cstring>
#include <filesystem>

#include "document/project_document.h"
#include "temp_folder.h"

namespace wf::doc {
namespace {

using testing::readBytes;
using testing::TempFolder;

std::string le32(uint32_t v) {
    std::string s;
    for (int k = 0; k < 4; ++k) s.push_back(static_cast<char>((v >> (8 * k)) & 0xFF));
    return s;
}

// 132 bytes of records and the name block of 51 bytes, then the blocks.
constexpr std::size_t kBlocksAt = 132 + 51;

TEST(WellBlock, WrittenOnlyWithAWellAndReadBack) {
    TempFolder dir;
    ProjectDocument doc;
    doc.analysisOptions.fineModel = true;
    ASSERT_TRUE(doc.saveProject(dir / "F.wft").ok());
    const std::string fine = readBytes(dir / "F.wft");
    EXPECT_EQ(fine.find("WFWL"), std::string::npos);

    doc.analysisOptions.wellRadius = 0.1f;
    doc.analysisOptions.casingRadius = 0.05f;
    doc.analysisOptions.skin = 5.0f;
    ASSERT_TRUE(doc.saveProject(dir / "W.wft").ok());
    const std::string bytes = readBytes(dir / "W.wft");
    // The same options block, then tag, version 1, length 12 and three float32.
    ASSERT_EQ(bytes.substr(0, fine.size()), fine);
    const std::string block = "WFWL" + le32(1) + le32(12) + le32(std::bit_cast<uint32_t>(0.1f)) +
                              le32(std::bit_cast<uint32_t>(0.05f)) + le32(std::bit_cast<uint32_t>(5.0f));
    EXPECT_EQ(bytes.substr(fine.size()), block);
    ASSERT_GT(fine.size(), kBlocksAt);

    ProjectDocument back;
    ASSERT_TRUE(back.loadProject(dir / "W.wft").ok());
    EXPECT_EQ(back.analysisOptions, doc.analysisOptions);
    ASSERT_TRUE(back.saveProject(dir / "W2.wft").ok());
    EXPECT_EQ(readBytes(dir / "W2.wft"), bytes);

    // Into the solver's record, radii in the project's unit.
    const WfOptions o = back.analysisOptions.toSolver(nullptr);
    EXPECT_EQ(o.wellRadius, static_cast<double>(0.1f));
    EXPECT_EQ(o.casingRadius, static_cast<double>(0.05f));
    EXPECT_EQ(o.skin, 5.0);
    const WfOptions plain = AnalysisOptions{}.toSolver(nullptr);
    EXPECT_EQ(plain.wellRadius, 0.0);
    EXPECT_EQ(plain.casingRadius, 0.0);
    EXPECT_EQ(plain.skin, 0.0);
}

// The well's fields act only with the fine model; their values are checked
// by the schema with the flag named.
TEST(WellBlock, FieldsFollowTheFineModelAndRefuseBadValues) {
    AnalysisOptions o;
    const OptionSpec& rw = *findOption("--well-radius");
    EXPECT_EQ(findOption("casing_radius"), findOption("--casing-radius"));
    EXPECT_EQ(rw.block, "WFWL");
    EXPECT_FALSE(optionActive(rw, o));
    o.fineModel = true;
    EXPECT_TRUE(optionActive(rw, o));
    double v = 0.0;
    EXPECT_EQ(parseOptionValue(rw, "-0.1", "--well-radius", v).error,
              "--well-radius: \"-0.1\" must lie between 0 and 10000");
    EXPECT_TRUE(parseOptionValue(*findOption("--skin"), "-0.5", "--skin", v).ok());
    EXPECT_EQ(v, -0.5);
}

} // namespace
} // namespace wf::doc
