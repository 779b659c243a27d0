// Fixed-format reads of the run headers and the time file, record counting,
// and the programming errors the formatter refuses.
#include <gtest/gtest.h>

#include <sstream>
#include <stdexcept>

#include "textio/fortran_format.h"
#include "textio/list_directed.h"

namespace {

using wf::textio::kIosBadValue;
using wf::textio::kIosEndOfFile;
using wf::textio::RecordReader;

// The head of a model-control file as the data preparation writes it.
constexpr const char* kTimeFileHead =
    " TEST.wft\r\n"
    " \r\n"
    "    L    2\r\n"
    "  2500  2376     4    50     0   198     0     0     3    27     0   100\r\n";

TEST(RecordReader, TitlesElementTypeAndCountsOfATimeFile) {
    std::istringstream in(kTimeFileHead);
    RecordReader r(in);
    std::string title;
    ASSERT_EQ(r.readA(title, 72), 0);
    EXPECT_EQ(title, " TEST.wft" + std::string(63, ' '));
    ASSERT_EQ(r.skip(1), 0);
    char family = 0;
    int perSide = -1;
    ASSERT_EQ(r.readLetterInt(family, perSide), 0);
    EXPECT_EQ(family, 'L');
    EXPECT_EQ(perSide, 2);
    auto read = r.begin();
    int counts[12] = {};
    for (int& c : counts) read.get(c);
    ASSERT_EQ(read.status(), 0);
    EXPECT_EQ(counts[0], 2500);
    EXPECT_EQ(counts[11], 100);
    EXPECT_EQ(r.recordNumber(), 4);
    std::string line;
    EXPECT_EQ(r.readLine(line), kIosEndOfFile);
    EXPECT_EQ(r.recordNumber(), 4);
}

TEST(RecordReader, LetterAndIntegerFieldIgnoresBlanksAndRejectsOtherText) {
    std::istringstream in("    S 1 2 \n    L\n    L  x2\n1234L  -3\n");
    RecordReader r(in);
    char family = 0;
    int n = -1;
    EXPECT_EQ(r.readLetterInt(family, n), 0);
    EXPECT_EQ(family, 'S');
    EXPECT_EQ(n, 12);  // blanks inside the I5 field are ignored
    EXPECT_EQ(r.readLetterInt(family, n), 0);
    EXPECT_EQ(family, 'L');
    EXPECT_EQ(n, 0);  // a short record is padded: an all-blank field is 0
    EXPECT_EQ(r.readLetterInt(family, n), kIosBadValue);
    EXPECT_EQ(r.readLetterInt(family, n), 0);
    EXPECT_EQ(family, 'L');
    EXPECT_EQ(n, -3);
    EXPECT_EQ(r.readLetterInt(family, n), kIosEndOfFile);
}

TEST(RecordReader, TextFieldCutsLongRecordsAndEndsAtEndOfFile) {
    std::istringstream in("abcdefghij\n");
    RecordReader r(in);
    std::string text;
    ASSERT_EQ(r.readA(text, 4), 0);
    EXPECT_EQ(text, "abcd");
    EXPECT_EQ(r.readA(text, 4), kIosEndOfFile);
    EXPECT_EQ(r.skip(1), kIosEndOfFile);
}

TEST(RecordReader, ConvenienceReadsAndStickyFailure) {
    std::istringstream in("  7  8 junk\n 40.5\n 1.5 2\n");
    RecordReader r(in);
    int a = 0, b = 0;
    EXPECT_EQ(r.read(a, b), 0);
    EXPECT_EQ(a, 7);
    EXPECT_EQ(b, 8);
    double x = 0;
    EXPECT_EQ(r.read(x), 0);
    EXPECT_EQ(x, 40.5);
    auto read = r.begin();
    int first = 11, second = 22;
    EXPECT_FALSE(read.get(first));
    EXPECT_FALSE(read.get(second));  // the first failure sticks
    EXPECT_EQ(read.status(), kIosBadValue);
    EXPECT_EQ(first, 11);
    EXPECT_EQ(second, 22);
    EXPECT_EQ(r.read(a), kIosEndOfFile);
}

TEST(RecordReader, RepeatCountBeyondTheIntegerRangeIsAValueThatDoesNotFit) {
    std::istringstream in(" 2147483648*1 7\n 2147483647*5\n");
    RecordReader r(in);
    int a = 0, b = 0;
    EXPECT_EQ(r.read(a, b), kIosBadValue);
    EXPECT_EQ(a, 0);
    // The largest count still works: two values handed out of it.
    EXPECT_EQ(r.read(a, b), 0);
    EXPECT_EQ(a, 5);
    EXPECT_EQ(b, 5);
}

TEST(FormatErrors, ValueOfTheWrongKindOrMalformedTextIsAProgrammingError) {
    using wf::textio::format;
    EXPECT_THROW(format("(I5)", {1.5}), std::invalid_argument);
    EXPECT_THROW(format("(F8.3)", {2}), std::invalid_argument);
    EXPECT_THROW(format("(E12.4)", {"x"}), std::invalid_argument);
    EXPECT_THROW(format("(A)", {3}), std::invalid_argument);
    EXPECT_THROW(format("(I5", {1}), std::invalid_argument);
    EXPECT_THROW(format("I5", {1}), std::invalid_argument);
    EXPECT_THROW(format("(F8)", {1.0}), std::invalid_argument);
    EXPECT_THROW(format("(T10,I5)", {1}), std::invalid_argument);
    EXPECT_THROW(format("('no descriptor')", {1}), std::invalid_argument);
    EXPECT_THROW(format("('abc)"), std::invalid_argument);
}

} // namespace
