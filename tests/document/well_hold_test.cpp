// The well's held unknowns: named in the --hold list with the aquifer's
// parameters, kept in their own block ("WFWH") only when one is held, and
// counted by the check that something is left to estimate.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <utility>
#include <vector>

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

// The values --hold gives every option that shares it, applied to fresh options.
AnalysisOptions held(const std::string& list) {
    std::vector<std::pair<const OptionSpec*, double>> values;
    EXPECT_TRUE(parseParameterFlag("--hold", list, "--hold", values).ok()) << list;
    AnalysisOptions o;
    for (const auto& [spec, v] : values) spec->set(o, v);
    return o;
}

TEST(WellHold, OneListNamesTheAquifersAndTheWellsParameters) {
    const AnalysisOptions a = held("tm,skin");
    EXPECT_EQ(a.hold, (std::array<bool, 4>{false, true, false, false}));
    EXPECT_EQ(a.holdWell, (std::array<bool, 2>{true, false}));
    EXPECT_EQ(held("rc").holdWell, (std::array<bool, 2>{false, true}));
    EXPECT_EQ(held("rc").hold, (std::array<bool, 4>{}));
    // The list replaces both sets: "none" and an aquifer-only list clear the well's.
    std::vector<std::pair<const OptionSpec*, double>> values;
    ASSERT_TRUE(parseParameterFlag("--hold", "none", "--hold", values).ok());
    ASSERT_EQ(values.size(), 2u);
    for (const auto& [spec, v] : values) EXPECT_EQ(v, 0.0) << spec->key;
    EXPECT_EQ(held("sf").holdWell, (std::array<bool, 2>{}));
    // An unknown word is refused with every word the list takes.
    values.clear();
    EXPECT_EQ(parseParameterFlag("--hold", "tf,casing", "--hold", values).error,
              "--hold: \"casing\" is not one of tf, tm, sf, sm, skin, rc (give a list such as tf,sm, or none)");
    EXPECT_TRUE(values.empty());
    // Into the solver's record.
    const WfOptions o = a.toSolver(nullptr);
    EXPECT_EQ(o.holdWell[WF_WELL_SKIN], 1);
    EXPECT_EQ(o.holdWell[WF_WELL_CASING], 0);
    EXPECT_EQ(o.hold[1], 1);
}

// Nothing held of the well: no block, the file as without the option; one
// held: tag, version 1, length 4 and the int32 mask, read back the same.
TEST(WellHold, BlockWrittenOnlyWhenAWellParameterIsHeld) {
    TempFolder dir;
    ProjectDocument doc;
    doc.analysisOptions.fineModel = true;
    doc.analysisOptions.wellRadius = 0.1f;
    doc.analysisOptions.casingRadius = 0.05f;
    ASSERT_TRUE(doc.saveProject(dir / "W.wft").ok());
    const std::string well = readBytes(dir / "W.wft");
    EXPECT_EQ(well.find("WFWH"), std::string::npos);

    doc.analysisOptions.holdWell = {false, true};
    ASSERT_TRUE(doc.saveProject(dir / "H.wft").ok());
    const std::string bytes = readBytes(dir / "H.wft");
    ASSERT_EQ(bytes.substr(0, well.size()), well);
    EXPECT_EQ(bytes.substr(well.size()), "WFWH" + le32(1) + le32(4) + le32(2));

    ProjectDocument back;
    ASSERT_TRUE(back.loadProject(dir / "H.wft").ok());
    EXPECT_EQ(back.analysisOptions, doc.analysisOptions);
    // A mask beyond the two parameters is refused naming the file and the field.
    std::string bad = bytes;
    bad[bad.size() - 4] = 4;  // the low byte of the little-endian mask
    std::filesystem::path badPath = dir / "B.wft";
    {
        std::ofstream out(badPath, std::ios::binary);
        out << bad;
    }
    const Status st = back.loadProject(badPath);
    EXPECT_FALSE(st.ok());
    EXPECT_NE(st.error.find("held well-parameter mask 4"), std::string::npos) << st.error;
}

// Every aquifer parameter held leaves the well's skin (or its casing radius)
// to estimate; without a well, or with both held, nothing is left.
TEST(WellHold, WellsUnknownsCountAsSomethingToEstimate) {
    AnalysisOptions o;
    o.hold = {true, true, true, true};
    EXPECT_FALSE(checkOptionSet(o, "--hold").ok());
    o.fineModel = true;
    o.wellRadius = 0.1f;
    EXPECT_TRUE(checkOptionSet(o, "--hold").ok());
    o.holdWell = {true, false};
    // No casing radius: no wellbore storage to fit.
    EXPECT_EQ(checkOptionSet(o, "--hold").error,
              "--hold: holding tf,tm,sf,sm,skin leaves no parameter to estimate (hold fewer)");
    o.casingRadius = 0.05f;
    EXPECT_TRUE(checkOptionSet(o, "--hold").ok());
    o.holdWell = {true, true};
    EXPECT_EQ(checkOptionSet(o, "--hold").error,
              "--hold: holding tf,tm,sf,sm,skin,rc leaves no parameter to estimate (hold fewer)");
}

} // namespace
} // namespace wf::doc
