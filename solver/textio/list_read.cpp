#include <cctype>
#include <charconv>
#include <climits>
#include <cmath>
#include <limits>
#include <system_error>

#include "textio/list_directed.h"

namespace wf::textio {
namespace {

bool isBlank(char c) { return c == ' ' || c == '\t'; }
bool endsValue(char c) { return isBlank(c) || c == ',' || c == '/'; }

bool allDigits(std::string_view s) {
    if (s.empty()) return false;
    for (char c : s)
        if (!std::isdigit(static_cast<unsigned char>(c))) return false;
    return true;
}

std::string_view stripSign(std::string_view s, bool& negative) {
    negative = false;
    if (!s.empty() && (s.front() == '+' || s.front() == '-')) {
        negative = s.front() == '-';
        s.remove_prefix(1);
    }
    return s;
}

// An integer item: optional sign and digits only ("1.5" or "abc" do not fit).
bool parseInteger(std::string_view s, int& out) {
    bool negative = false;
    s = stripSign(s, negative);
    if (!allDigits(s)) return false;
    long long v = 0;
    for (char c : s) {
        v = v * 10 + (c - '0');
        if (v > static_cast<long long>(INT_MAX) + 1) return false;
    }
    if (negative) v = -v;
    if (v < INT_MIN || v > INT_MAX) return false;
    out = static_cast<int>(v);
    return true;
}

bool equalsNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(a[i])) != b[i]) return false;
    return true;
}

// A real item: [sign] digits [. digits] [exponent], the exponent written as
// E, D or Q with an optional sign, or as a bare sign ("1.0+5"); also Inf and NaN.
bool parseReal(std::string_view s, double& out) {
    bool negative = false;
    std::string_view body = stripSign(s, negative);
    if (equalsNoCase(body, "inf") || equalsNoCase(body, "infinity")) {
        out = negative ? -std::numeric_limits<double>::infinity() : std::numeric_limits<double>::infinity();
        return true;
    }
    if (equalsNoCase(body, "nan")) {
        out = std::numeric_limits<double>::quiet_NaN();
        return true;
    }
    std::size_t i = 0;
    std::string mantissa;
    bool digits = false;
    while (i < body.size() && std::isdigit(static_cast<unsigned char>(body[i]))) {
        mantissa += body[i++];
        digits = true;
    }
    if (i < body.size() && body[i] == '.') {
        mantissa += body[i++];
        while (i < body.size() && std::isdigit(static_cast<unsigned char>(body[i]))) {
            mantissa += body[i++];
            digits = true;
        }
    }
    if (!digits) return false;
    std::string text = (negative ? "-" : "") + mantissa;
    if (i < body.size()) {
        char c = static_cast<char>(std::toupper(static_cast<unsigned char>(body[i])));
        if (c == 'E' || c == 'D' || c == 'Q') ++i;
        else if (c != '+' && c != '-') return false;
        bool expNegative = false;
        std::string_view expo = stripSign(body.substr(i), expNegative);
        if (!allDigits(expo)) return false;
        text += expNegative ? "e-" : "e";
        text += expo;
    }
    const auto res = std::from_chars(text.data(), text.data() + text.size(), out);
    if (res.ec == std::errc::result_out_of_range) {
        // gfortran gives the overflowed or underflowed value, not an error.
        out = std::strtod(text.c_str(), nullptr);
        return true;
    }
    return res.ec == std::errc() && res.ptr == text.data() + text.size();
}

} // namespace

// ---- RecordReader ----------------------------------------------------------

bool RecordReader::fetch() {
    std::string line;
    if (!std::getline(in_, line)) {
        haveRecord_ = false;
        return false;
    }
    if (!line.empty() && line.back() == '\r') line.pop_back();
    cur_ = std::move(line);
    pos_ = 0;
    haveRecord_ = true;
    ++recordNo_;
    return true;
}

int RecordReader::readLine(std::string& line) {
    if (!fetch()) return kIosEndOfFile;
    line = cur_;
    pos_ = cur_.size();
    return 0;
}

int RecordReader::skip(int n) {
    for (int i = 0; i < n; ++i)
        if (!fetch()) return kIosEndOfFile;
    return 0;
}

ListRead RecordReader::begin() {
    ListRead r(*this);
    if (!fetch()) r.status_ = kIosEndOfFile;
    return r;
}

int RecordReader::read(int& a) {
    ListRead r = begin();
    r.get(a);
    return r.status();
}

int RecordReader::read(int& a, int& b) {
    ListRead r = begin();
    r.get(a) && r.get(b);
    return r.status();
}

int RecordReader::read(double& a) {
    ListRead r = begin();
    r.get(a);
    return r.status();
}

int RecordReader::readA(std::string& out, int width) {
    if (!fetch()) return kIosEndOfFile;
    const auto w = static_cast<std::size_t>(width < 0 ? 0 : width);
    out = cur_.substr(0, w);
    out.resize(w, ' ');
    pos_ = cur_.size();
    return 0;
}

int RecordReader::readLetterInt(char& letter, int& n) {
    if (!fetch()) return kIosEndOfFile;
    pos_ = cur_.size();
    std::string rec = cur_;
    rec.resize(10, ' ');  // a short record is padded with blanks
    letter = rec[4];
    // I5 with blanks ignored: "  1 2" is 12, an all-blank field is 0.
    std::string digits;
    for (char c : rec.substr(5, 5))
        if (!isBlank(c)) digits += c;
    if (digits.empty()) {
        n = 0;
        return 0;
    }
    return parseInteger(digits, n) ? 0 : kIosBadValue;
}

// ---- ListRead --------------------------------------------------------------

bool ListRead::findValue() {
    RecordReader& r = reader_;
    while (true) {
        while (r.pos_ < r.cur_.size() && isBlank(r.cur_[r.pos_])) ++r.pos_;
        if (r.pos_ >= r.cur_.size()) {
            // The value continues on the next record of the file.
            if (!r.fetch()) {
                status_ = kIosEndOfFile;
                return false;
            }
            continue;
        }
        const char c = r.cur_[r.pos_];
        if (c == ',') {
            ++r.pos_;
            if (commaOwed_) {  // the comma that belongs to the previous value's separator
                commaOwed_ = false;
                continue;
            }
            return false;  // two commas: a null value
        }
        if (c == '/') {
            slash_ = true;
            r.pos_ = r.cur_.size();
            return false;
        }
        return true;
    }
}

bool ListRead::nextToken(std::string& token) {
    if (status_ != 0 || slash_) return false;
    if (repeatLeft_ > 0) {
        --repeatLeft_;
        if (repeatNull_) return false;
        token = repeatValue_;
        quoted_ = repeatQuoted_;
        return true;
    }
    if (!findValue()) return false;
    RecordReader& r = reader_;
    const std::string& rec = r.cur_;

    auto readQuoted = [&](std::string& out) {
        const char q = rec[r.pos_++];
        while (r.pos_ < rec.size()) {
            const char c = rec[r.pos_++];
            if (c == q) {
                if (r.pos_ < rec.size() && rec[r.pos_] == q) {
                    out += q;
                    ++r.pos_;
                    continue;
                }
                return;
            }
            out += c;
        }
    };
    auto readPlain = [&](std::string& out) {
        while (r.pos_ < rec.size() && !endsValue(rec[r.pos_])) out += rec[r.pos_++];
    };

    std::string text;
    bool quoted = false;
    int repeat = 0;
    if (rec[r.pos_] == '\'' || rec[r.pos_] == '"') {
        quoted = true;
        readQuoted(text);
    } else {
        readPlain(text);
        const auto star = text.find('*');
        if (star != std::string::npos && star > 0 && allDigits(std::string_view(text).substr(0, star))) {
            // r*c: the value c (or a null value when c is empty) r times over.
            // A repeat count that does not fit an integer is a value that does not fit.
            if (!parseInteger(std::string_view(text).substr(0, star), repeat)) {
                status_ = kIosBadValue;
                return false;
            }
            text.erase(0, star + 1);
            if (text.empty() && r.pos_ < rec.size() && (rec[r.pos_] == '\'' || rec[r.pos_] == '"')) {
                quoted = true;
                readQuoted(text);
            }
        }
    }
    // The separator after the value: blanks and at most one comma.
    while (r.pos_ < rec.size() && isBlank(rec[r.pos_])) ++r.pos_;
    commaOwed_ = true;
    if (r.pos_ < rec.size() && rec[r.pos_] == ',') {
        ++r.pos_;
        commaOwed_ = false;
    }
    if (repeat > 0) {
        repeatLeft_ = repeat - 1;
        repeatNull_ = text.empty() && !quoted;
        repeatValue_ = text;
        repeatQuoted_ = quoted;
        if (repeatNull_) return false;
    }
    token = std::move(text);
    quoted_ = quoted;
    return true;
}

bool ListRead::get(int& v) {
    std::string token;
    if (!nextToken(token)) return status_ == 0;
    int parsedValue = 0;
    if (quoted_ || !parseInteger(token, parsedValue)) {
        status_ = kIosBadValue;
        return false;
    }
    v = parsedValue;
    return true;
}

bool ListRead::get(double& v) {
    std::string token;
    if (!nextToken(token)) return status_ == 0;
    double parsedValue = 0.0;
    if (quoted_ || !parseReal(token, parsedValue)) {
        status_ = kIosBadValue;
        return false;
    }
    v = parsedValue;
    return true;
}

bool ListRead::get(std::string& v) {
    std::string token;
    if (!nextToken(token)) return status_ == 0;
    v = std::move(token);
    return true;
}

} // namespace wf::textio
