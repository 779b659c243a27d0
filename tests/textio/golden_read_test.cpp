// A list-directed read must give the values and the status gfortran gave for
// the same records, and leave the file at the same record (golden.txt).
#include <gtest/gtest.h>

#include <bit>
#include <cstdint>
#include <sstream>

#include "golden_cases.h"
#include "textio/list_directed.h"

namespace {

using wf::textio::FValue;
using wf::textio::RecordReader;
using wf::textio::testing::GoldenRead;
using wf::textio::testing::goldenReads;

// Items start as -999, -999.0 and "?" as in the generator, so that items a
// null value or '/' leaves alone are seen unchanged.
struct Items {
    int ints[6] = {-999, -999, -999, -999, -999, -999};
    double reals[6] = {-999.0, -999.0, -999.0, -999.0, -999.0, -999.0};
    std::string texts[6] = {"?", "?", "?", "?", "?", "?"};
};

void check(const GoldenRead& c) {
    SCOPED_TRACE("golden.txt line " + std::to_string(c.line) + ": " + c.id + " " + c.kinds);
    std::istringstream in(c.input);
    RecordReader reader(in);
    Items items;
    auto read = reader.begin();
    for (std::size_t k = 0; k < c.kinds.size(); ++k) {
        if (c.kinds[k] == 'I') read.get(items.ints[k]);
        else if (c.kinds[k] == 'R') read.get(items.reals[k]);
        else read.get(items.texts[k]);
    }
    if (c.status > 0) {
        EXPECT_EQ(read.status(), wf::textio::kIosBadValue);
        return;
    }
    ASSERT_EQ(read.status(), c.status);
    if (c.status < 0) return;
    ASSERT_EQ(c.values.size(), c.kinds.size());
    for (std::size_t k = 0; k < c.kinds.size(); ++k) {
        const FValue& want = c.values[k];
        if (want.isInt()) EXPECT_EQ(items.ints[k], want.asInt()) << "item " << k + 1;
        else if (want.isReal()) EXPECT_EQ(std::bit_cast<std::uint64_t>(items.reals[k]), std::bit_cast<std::uint64_t>(want.asReal())) << "item " << k + 1;
        else EXPECT_EQ(items.texts[k], want.asText()) << "item " << k + 1;
    }
    ASSERT_TRUE(c.next.has_value());
    std::string next;
    const int status = reader.readLine(next);
    if (c.next->empty()) {
        EXPECT_LT(status, 0);
    } else {
        EXPECT_EQ(status, 0);
        EXPECT_EQ(next, *c.next);
    }
}

class GoldenReads : public ::testing::TestWithParam<std::string> {};

TEST_P(GoldenReads, MatchGfortran) {
    int checked = 0;
    for (const GoldenRead& c : goldenReads()) {
        if (c.id.rfind(GetParam(), 0) != 0) continue;
        ++checked;
        check(c);
    }
    EXPECT_GT(checked, 0) << "no golden reads for " << GetParam();
}

INSTANTIATE_TEST_SUITE_P(Gfortran, GoldenReads,
                         ::testing::Values("read.basic", "read.null", "read.slash", "read.repeat", "read.text",
                                           "read.bad", "read.eof"),
                         [](const auto& info) {
                             std::string name = info.param;
                             return name.substr(name.find('.') + 1);
                         });

} // namespace
