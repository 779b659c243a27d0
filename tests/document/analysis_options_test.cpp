// The analysis options in the project file: the extension block after the
// borehole name, written only when an option differs from the plain search.
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

AnalysisOptions someOptions() {
    AnalysisOptions o;
    o.hold = {true, false, false, true};
    o.oneAquifer = true;
    o.search = WF_SEARCH_BOUND_AWARE;
    o.stopTolerance = 1e-4f;
    o.maxPasses = 40;
    o.fineModel = true;
    o.starts = 12;
    o.threads = 3;  // a run setting: not in the file
    return o;
}

std::string le32(uint32_t v) {
    std::string s;
    for (int k = 0; k < 4; ++k) s.push_back(static_cast<char>((v >> (8 * k)) & 0xFF));
    return s;
}

TEST(AnalysisOptionsFile, RoundTripsAndIsLaidOutAfterAnEmptyNameBlock) {
    TempFolder dir;
    ProjectDocument doc;
    doc.analysisOptions = someOptions();
    ASSERT_TRUE(doc.saveProject(dir / "A.wft").ok());
    const std::string bytes = readBytes(dir / "A.wft");
    // 132 bytes of records (one discharge pair), the name block of 51 bytes
    // with length 0, then tag, version 1, length 28 and the seven fields.
    ASSERT_EQ(bytes.size(), 132u + 51u + 40u);
    EXPECT_EQ(bytes[132], '\0');
    std::string block = "WFOP" + le32(1) + le32(28) + le32(0b1001) + le32(1) + le32(1);
    float tol = 1e-4f;
    uint32_t tolBits;
    std::memcpy(&tolBits, &tol, 4);
    block += le32(tolBits) + le32(40) + le32(1) + le32(12);
    EXPECT_EQ(bytes.substr(183), block);

    ProjectDocument back;
    ASSERT_TRUE(back.loadProject(dir / "A.wft").ok());
    AnalysisOptions stored = someOptions();
    stored.threads = 0;  // not kept in the project
    EXPECT_EQ(back.analysisOptions, stored);
    EXPECT_EQ(back.boreholeName(), "");
    // Saved again: the same bytes.
    ASSERT_TRUE(back.saveProject(dir / "B.wft").ok());
    EXPECT_EQ(readBytes(dir / "B.wft"), bytes);
}

TEST(AnalysisOptionsFile, NameAndOptionsTogether) {
    TempFolder dir;
    ProjectDocument doc;
    doc.setBoreholeName("H30");
    doc.analysisOptions.search = WF_SEARCH_BOUND_AWARE;
    ASSERT_TRUE(doc.saveProject(dir / "A.wft").ok());
    ProjectDocument back;
    ASSERT_TRUE(back.loadProject(dir / "A.wft").ok());
    EXPECT_EQ(back.boreholeName(), "H30");
    EXPECT_EQ(back.analysisOptions.search, WF_SEARCH_BOUND_AWARE);
    EXPECT_EQ(back.analysisOptions.maxPasses, 200);
}

TEST(AnalysisOptionsFile, ProjectsWithoutOptionsStayByteIdentical) {
    TempFolder dir;
    // The bundled example (with a borehole name) and a fresh default project.
    const std::filesystem::path example = std::filesystem::path(WF_SOURCE_DIR) / "examples" / "oude-korendijk";
    const std::string original = readBytes(example / "OKORENDIJK.wft");
    writeBytes(dir / "OK.wft", original);
    ProjectDocument doc;
    ASSERT_TRUE(doc.loadProject(dir / "OK.wft").ok());
    EXPECT_TRUE(doc.analysisOptions.isDefault());
    ASSERT_TRUE(doc.saveProject(dir / "OK2.wft").ok());
    EXPECT_EQ(readBytes(dir / "OK2.wft"), original);

    ProjectDocument fresh;
    ASSERT_TRUE(fresh.saveProject(dir / "D.wft").ok());
    EXPECT_EQ(readBytes(dir / "D.wft").size(), 132u);
}

TEST(AnalysisOptionsFile, FileWithoutBlockResetsOptionsAndNewStartsPlain) {
    TempFolder dir;
    ProjectDocument plain;
    ASSERT_TRUE(plain.saveProject(dir / "P.wft").ok());
    ProjectDocument doc;
    doc.analysisOptions = someOptions();
    ASSERT_TRUE(doc.loadProject(dir / "P.wft").ok());
    EXPECT_TRUE(doc.analysisOptions.isDefault());
    doc.analysisOptions = someOptions();
    ASSERT_TRUE(doc.newProject(dir / "N.wft").ok());
    EXPECT_TRUE(doc.analysisOptions.isDefault());
    EXPECT_EQ(readBytes(dir / "N.wft").size(), 132u);
}

TEST(AnalysisOptionsFile, UnknownVersionIsSkippedByItsLength) {
    TempFolder dir;
    ProjectDocument doc;
    doc.setBoreholeName("X");
    ASSERT_TRUE(doc.saveProject(dir / "A.wft").ok());
    // Version 7 with 8 bytes of fields this program does not know.
    writeBytes(dir / "V.wft", readBytes(dir / "A.wft") + "WFOP" + le32(7) + le32(8) + le32(1) + le32(2));
    ProjectDocument back;
    back.analysisOptions = someOptions();
    ASSERT_TRUE(back.loadProject(dir / "V.wft").ok());
    EXPECT_TRUE(back.analysisOptions.isDefault());
    EXPECT_EQ(back.boreholeName(), "X");
}

TEST(AnalysisOptionsFile, DamagedBlocksAreRefusedNamingFileAndField) {
    TempFolder dir;
    ProjectDocument doc;
    doc.analysisOptions.search = WF_SEARCH_BOUND_AWARE;
    ASSERT_TRUE(doc.saveProject(dir / "A.wft").ok());
    const std::string good = readBytes(dir / "A.wft");
    struct Case {
        std::string bytes, message;
    };
    const Case cases[] = {
        {good.substr(0, good.size() - 3), "is cut short (25 of 28 bytes)"},
        {good.substr(0, 183 + 6), "is cut short (no version and length)"},
        {good.substr(0, good.size() - 16) + le32(0) + le32(40) + le32(0) + le32(8),
         "the stop tolerance 0 (it must lie between 0 and 1)"},
        {good.substr(0, good.size() - 12) + le32(0) + le32(0) + le32(8),
         "the maximum number of passes 0 (it must lie between 1 and 999)"},
        {good.substr(0, good.size() - 8) + le32(2) + le32(8), "the fine-model flag 2 (it must be 0 or 1)"},
        {good.substr(0, good.size() - 4) + le32(0), "the number of starts 0 (it must lie between 1 and 32)"},
        {good.substr(0, 183 + 12) + le32(16) + good.substr(183 + 16), "the held-parameter mask 16 (it must lie between 0 and 15)"},
        {good.substr(0, 183 + 16) + le32(2) + good.substr(183 + 20), "the one-aquifer flag 2 (it must be 0 or 1)"},
    };
    for (const Case& c : cases) {
        writeBytes(dir / "D.wft", c.bytes);
        ProjectDocument back;
        back.setBoreholeName("kept");
        const Status st = back.loadProject(dir / "D.wft");
        ASSERT_FALSE(st.ok()) << c.message;
        EXPECT_NE(st.error.find((dir / "D.wft").string()), std::string::npos) << st.error;
        EXPECT_NE(st.error.find(c.message), std::string::npos) << st.error;
        EXPECT_EQ(back.boreholeName(), "kept");  // nothing changed
    }
    // Bytes after the name block that are not an options block are left alone.
    writeBytes(dir / "J.wft", good.substr(0, 183) + "junk");
    ProjectDocument back;
    EXPECT_TRUE(back.loadProject(dir / "J.wft").ok());
    EXPECT_TRUE(back.analysisOptions.isDefault());
}

TEST(AnalysisOptionsFile, SolverRecordCarriesEveryOption) {
    WfFitReport report{};
    const WfOptions o = someOptions().toSolver(&report);
    EXPECT_EQ(o.hold[0], 1);
    EXPECT_EQ(o.hold[1], 0);
    EXPECT_EQ(o.hold[3], 1);
    EXPECT_EQ(o.oneAquifer, 1);
    EXPECT_EQ(o.search, WF_SEARCH_BOUND_AWARE);
    EXPECT_EQ(o.stopTolerance, static_cast<double>(1e-4f));
    EXPECT_EQ(o.maxPasses, 40);
    EXPECT_EQ(o.fineModel, 1);
    EXPECT_EQ(o.report, &report);
}

} // namespace
} // namespace wf::doc

namespace wf::doc {
namespace {

// Every stored option of the schema survives the project file, and a block
// written with fewer fields (by an earlier program) leaves the later options
// at their defaults.
TEST(OptionSchema, EveryStoredOptionRoundTripsAndShortBlocksKeepDefaults) {
    TempFolder dir;
    ProjectDocument doc;
    doc.analysisOptions = someOptions();
    ASSERT_TRUE(doc.saveProject(dir / "A.wft").ok());
    ProjectDocument back;
    ASSERT_TRUE(back.loadProject(dir / "A.wft").ok());
    for (const OptionSpec& s : optionSchema()) {
        if (s.field < 0) continue;
        EXPECT_EQ(s.get(back.analysisOptions), s.get(doc.analysisOptions)) << s.key;
    }

    // The same block cut to its first two fields (hold mask, one aquifer).
    const std::string good = readBytes(dir / "A.wft");
    writeBytes(dir / "S.wft", good.substr(0, 183 + 4) + le32(1) + le32(8) + good.substr(183 + 12, 8));
    ASSERT_TRUE(back.loadProject(dir / "S.wft").ok());
    EXPECT_EQ(back.analysisOptions.hold, doc.analysisOptions.hold);
    EXPECT_TRUE(back.analysisOptions.oneAquifer);
    EXPECT_EQ(back.analysisOptions.maxPasses, 200);
    EXPECT_FALSE(back.analysisOptions.fineModel);
}

// The schema's reading of typed values: the range checked in double before
// the value is kept in single precision, words and parameter lists.
TEST(OptionSchema, ValuesAreReadAndRefusedWithTheFlagNamed) {
    const OptionSpec& tol = *findOption("--stop-tolerance");
    double v = 0;
    EXPECT_TRUE(parseOptionValue(tol, "1e-4", "--stop-tolerance", v).ok());
    EXPECT_EQ(v, 1e-4);
    EXPECT_EQ(parseOptionValue(tol, "1", "--stop-tolerance", v).error,
              "--stop-tolerance: \"1\" must lie between 0 and 1");
    EXPECT_EQ(parseOptionValue(tol, "1e-50", "--stop-tolerance", v).error,
              "--stop-tolerance: \"1e-50\" is 0 in single precision, and it must lie between 0 and 1");
    EXPECT_EQ(parseOptionValue(tol, "0.999999999", "--stop-tolerance", v).error,
              "--stop-tolerance: \"0.999999999\" is 1 in single precision, and it must lie between 0 and 1");
    const OptionSpec& search = *findOption("search");
    EXPECT_EQ(findOption("--bound-aware"), &search);
    EXPECT_TRUE(parseOptionValue(search, "bound-aware", "--search", v).ok());
    EXPECT_EQ(v, WF_SEARCH_BOUND_AWARE);
    EXPECT_EQ(parseOptionValue(search, "fast", "--search", v).error.rfind("--search: \"fast\" is not one of plain, ", 0),
              0u);
    const OptionSpec& hold = *findOption("hold");
    EXPECT_TRUE(parseOptionValue(hold, "sm,tf", "--hold", v).ok());
    EXPECT_EQ(v, 9.0);
    EXPECT_EQ(optionValueText(hold, v), "tf,sm");
    EXPECT_EQ(optionValueText(hold, 0.0), "none");
    const OptionSpec& passes = *findOption("max_passes");
    EXPECT_EQ(parseOptionValue(passes, "2.5", "--max-passes", v).error, "--max-passes: \"2.5\" is not a valid integer");
}

} // namespace
} // namespace wf::doc
