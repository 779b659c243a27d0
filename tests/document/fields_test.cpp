// Number and integer fields of the dialogs and the command line.
#include <gtest/gtest.h>

#include "document/fields.h"

namespace wf::doc {
namespace {

TEST(Fields, NumbersMayCarryBlanksButNothingElse) {
    double v = -1;
    EXPECT_TRUE(parseNumber("  4.5 ", "Thickness of the aquifer:", v).ok());
    EXPECT_EQ(v, 4.5);
    EXPECT_TRUE(parseNumber("\t-1e-3", "x", v).ok());
    EXPECT_EQ(v, -1e-3);
    EXPECT_TRUE(parseNumber("+.5", "x", v).ok());
    EXPECT_EQ(v, 0.5);
    EXPECT_TRUE(parseNumber("7.", "x", v).ok());
    EXPECT_EQ(v, 7.0);
    for (const char* bad : {"", "  ", "4o", "1,5", "1e", ".", "inf", "nan", "0x10", "1 2", "--1", "1e400"})
        EXPECT_EQ(parseNumber(bad, "Thickness of the aquifer:", v).error,
                  std::string("Thickness of the aquifer: \"") + bad + "\" is not a valid number");
    EXPECT_EQ(v, 7.0); // a refused text leaves the value alone
}

TEST(Fields, SinglePrecisionFieldsRefuseNumbersTooLargeForAFloat) {
    float f = 0;
    EXPECT_TRUE(parseNumber("0.2", "Ratio of the fracture (0 - 1):", f).ok());
    EXPECT_EQ(f, 0.2f);
    EXPECT_EQ(parseNumber("1e39", "Ratio of the fracture (0 - 1):", f).error,
              "Ratio of the fracture (0 - 1): \"1e39\" is too large for a single-precision number");
}

TEST(Fields, IntegersAreWholeDecimalNumbersThatFit32Bits) {
    int32_t n = 0;
    EXPECT_TRUE(parseInteger(" 25 ", "Number of times to select:", n).ok());
    EXPECT_EQ(n, 25);
    EXPECT_TRUE(parseInteger("-3", "x", n).ok());
    EXPECT_EQ(n, -3);
    for (const char* bad : {"", "2.5", "1e3", "abc", "2147483648", "12a", "+-5", "++5"})
        EXPECT_EQ(parseInteger(bad, "Number of initial points to ignore:", n).error,
                  std::string("Number of initial points to ignore: \"") + bad + "\" is not a valid integer");
    EXPECT_EQ(n, -3);
}

} // namespace
} // namespace wf::doc
