// Every record the formatter writes must equal, byte for byte, what gfortran
// wrote for the same format text and values (golden.txt).
#include <gtest/gtest.h>

#include <array>
#include <string_view>

#include "golden_cases.h"
#include "textio/fortran_format.h"
#include "textio/list_directed.h"

namespace {

using wf::textio::testing::GoldenCase;
using wf::textio::testing::goldenCases;

// Case families of golden.txt: the records of each side file and listing,
// then the corner cases of the edit descriptors.
constexpr std::array<std::string_view, 17> kGroups = {
    "mesh.",          "prep.",        "model.",       "step.",          "inverse.",     "listing.",
    "edge.round",     "edge.negzero", "edge.width",   "edge.exponent",  "edge.general", "edge.scale",
    "edge.reversion", "edge.stop",    "edge.text",    "edge.ieee",      "list."};

std::string written(const GoldenCase& c) {
    if (c.format == "*") return wf::textio::listRecord(c.values);
    return wf::textio::format(c.format, c.values);
}

class GoldenRecords : public ::testing::TestWithParam<std::string_view> {};

TEST_P(GoldenRecords, MatchGfortran) {
    int checked = 0;
    for (const GoldenCase& c : goldenCases()) {
        if (c.id.rfind(GetParam(), 0) != 0) continue;
        ++checked;
        SCOPED_TRACE("golden.txt line " + std::to_string(c.line) + ": " + c.id + " " + c.format);
        EXPECT_EQ(written(c), c.expected);
    }
    EXPECT_GT(checked, 0) << "no golden cases for " << GetParam();
}

std::string groupName(const ::testing::TestParamInfo<std::string_view>& info) {
    std::string name;
    for (char ch : info.param)
        if (ch != '.') name += ch == '_' ? 'x' : ch;
    return name;
}

INSTANTIATE_TEST_SUITE_P(Gfortran, GoldenRecords, ::testing::ValuesIn(kGroups), groupName);

TEST(GoldenRecordsFile, EveryCaseBelongsToAGroupAndHasARecord) {
    ASSERT_GT(goldenCases().size(), 300u);
    for (const GoldenCase& c : goldenCases()) {
        bool grouped = false;
        for (std::string_view g : kGroups) grouped = grouped || c.id.rfind(g, 0) == 0;
        EXPECT_TRUE(grouped) << c.id;
        EXPECT_FALSE(c.expected.empty()) << c.id;
    }
}

// formatLine is the same text without the line end of the last record.
TEST(GoldenRecordsFile, FormatLineDropsOnlyTheLastLineEnd) {
    for (const GoldenCase& c : goldenCases()) {
        if (c.format == "*") continue;
        const std::string line = wf::textio::formatLine(c.format, c.values);
        EXPECT_EQ(line + "\n", c.expected) << c.id;
    }
}

} // namespace
