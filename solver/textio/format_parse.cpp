#include <cctype>
#include <stdexcept>
#include <string>

#include "textio/format_items.h"

namespace wf::textio::detail {
namespace {

[[noreturn]] void malformed(std::string_view fmt, const std::string& why) {
    throw std::invalid_argument("format " + std::string(fmt) + ": " + why);
}

// Blanks outside quoted texts carry no meaning in a format; letters are
// upper-cased outside quoted texts so that "1pe15.7" reads as "1PE15.7".
std::string normalise(std::string_view fmt) {
    std::string out;
    char quote = 0;
    for (char c : fmt) {
        if (quote) {
            out += c;
            if (c == quote) quote = 0;  // a doubled quote reopens at once
        } else if (c == '\'' || c == '"') {
            quote = c;
            out += c;
        } else if (c != ' ' && c != '\t') {
            out += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        }
    }
    return out;
}

class Parser {
public:
    Parser(std::string_view original, std::string text) : original_(original), s_(std::move(text)) {}

    std::vector<FormatItem> parseAll() {
        if (s_.empty() || s_.front() != '(') fail("must start with '('");
        ++pos_;
        auto items = parseList();
        if (pos_ != s_.size()) fail("text after the closing parenthesis");
        return items;
    }

private:
    [[noreturn]] void fail(const std::string& why) const { malformed(original_, why); }

    bool atEnd() const { return pos_ >= s_.size(); }
    char peek() const { return atEnd() ? '\0' : s_[pos_]; }

    bool hasDigit() const { return !atEnd() && std::isdigit(static_cast<unsigned char>(s_[pos_])); }

    int number() {
        if (!hasDigit()) fail("number expected");
        long long v = 0;
        while (hasDigit()) {
            v = v * 10 + (s_[pos_++] - '0');
            if (v > 1000000) fail("number too large");
        }
        return static_cast<int>(v);
    }

    // Items up to and including the matching ')'.
    std::vector<FormatItem> parseList() {
        std::vector<FormatItem> items;
        while (true) {
            if (atEnd()) fail("missing ')'");
            char c = peek();
            if (c == ')') {
                ++pos_;
                return items;
            }
            if (c == ',') {
                ++pos_;
                continue;
            }
            items.push_back(parseItem());
        }
    }

    std::string quoted() {
        const char q = s_[pos_++];
        std::string text;
        while (true) {
            if (atEnd()) fail("unterminated quoted text");
            char c = s_[pos_++];
            if (c == q) {
                if (peek() == q) {
                    text += q;
                    ++pos_;
                    continue;
                }
                return text;
            }
            text += c;
        }
    }

    FormatItem parseItem() {
        FormatItem item;
        bool haveCount = false;
        bool negative = false;
        int count = 1;
        if (peek() == '-' || peek() == '+') {
            negative = peek() == '-';
            ++pos_;
            if (!hasDigit()) fail("sign without a scale factor");
        }
        if (hasDigit()) {
            count = number();
            haveCount = true;
        }
        const char c = peek();
        if (negative && c != 'P') fail("signed number outside a scale factor");
        if (c == 'P') {
            ++pos_;
            if (!haveCount) fail("P without a scale factor");
            item.kind = FormatItem::Kind::Scale;
            item.count = negative ? -count : count;
            return item;
        }
        if (haveCount && count == 0) fail("repeat count 0");
        item.repeat = count;
        if (c == '(') {
            ++pos_;
            item.kind = FormatItem::Kind::Group;
            item.items = parseList();
            return item;
        }
        if (c == '\'' || c == '"') {
            item.kind = FormatItem::Kind::Text;
            item.text = quoted();
            return item;
        }
        ++pos_;
        switch (c) {
        case 'X':
            item.kind = FormatItem::Kind::Skip;
            item.count = count;
            item.repeat = 1;
            return item;
        case '/':
            item.kind = FormatItem::Kind::Slash;
            return item;
        case ':':
            if (haveCount) fail("repeat count before ':'");
            item.kind = FormatItem::Kind::Colon;
            return item;
        case 'I':
        case 'F':
        case 'E':
        case 'D':
        case 'G':
        case 'A':
            item.kind = FormatItem::Kind::Data;
            item.code = c;
            dataField(item);
            return item;
        default:
            fail(std::string("unsupported edit descriptor '") + (c ? c : ' ') + "'");
        }
    }

    void dataField(FormatItem& item) {
        if (item.code == 'A') {
            if (hasDigit()) item.w = number();
            return;
        }
        item.w = number();
        if (item.code == 'I') {
            if (peek() == '.') {
                ++pos_;
                item.m = number();
            }
            return;
        }
        if (peek() != '.') fail(std::string(1, item.code) + " field without decimals");
        ++pos_;
        item.d = number();
        if ((item.code == 'E' || item.code == 'G' || item.code == 'D') && peek() == 'E' && pos_ + 1 < s_.size() &&
            std::isdigit(static_cast<unsigned char>(s_[pos_ + 1]))) {
            ++pos_;
            item.e = number();
        }
    }

    std::string_view original_;
    std::string s_;
    std::size_t pos_ = 0;
};

} // namespace

std::vector<FormatItem> parseFormat(std::string_view fmt) {
    Parser parser(fmt, normalise(fmt));
    return parser.parseAll();
}

} // namespace wf::textio::detail
