#include "fields.h"

#include <charconv>
#include <cmath>
#include <limits>
#include <string>

namespace wf::doc {

namespace {

std::string_view trimBlanks(std::string_view s) {
    const auto blank = [](char c) { return c == ' ' || c == '\t'; };
    while (!s.empty() && blank(s.front())) s.remove_prefix(1);
    while (!s.empty() && blank(s.back())) s.remove_suffix(1);
    return s;
}

// The field's label without a trailing colon, for messages.
std::string_view bareLabel(std::string_view label) {
    while (!label.empty() && (label.back() == ':' || label.back() == ' ')) label.remove_suffix(1);
    return label;
}

Status refused(std::string_view text, std::string_view label, std::string_view what) {
    return Status::failure(std::string(bareLabel(label)) + ": \"" + std::string(text) + "\" is not a valid " +
                           std::string(what));
}

// Digits with an optional decimal point and exponent; no letters such as
// "inf" or "nan", no hexadecimal forms.
bool plainDecimal(std::string_view s) {
    std::size_t i = 0, digits = 0;
    while (i < s.size() && s[i] >= '0' && s[i] <= '9') ++i, ++digits;
    if (i < s.size() && s[i] == '.') {
        ++i;
        while (i < s.size() && s[i] >= '0' && s[i] <= '9') ++i, ++digits;
    }
    if (digits == 0) return false;
    if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
        ++i;
        if (i < s.size() && (s[i] == '+' || s[i] == '-')) ++i;
        std::size_t expDigits = 0;
        while (i < s.size() && s[i] >= '0' && s[i] <= '9') ++i, ++expDigits;
        if (expDigits == 0) return false;
    }
    return i == s.size();
}

} // namespace

Status parseNumber(std::string_view text, std::string_view label, double& out) {
    std::string_view s = trimBlanks(text);
    bool negative = false;
    if (!s.empty() && (s.front() == '+' || s.front() == '-')) {
        negative = s.front() == '-';
        s.remove_prefix(1);
    }
    if (!plainDecimal(s)) return refused(text, label, "number");
    double v = 0.0;
    const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), v);
    if (ec != std::errc{} || end != s.data() + s.size() || !std::isfinite(v)) return refused(text, label, "number");
    out = negative ? -v : v;
    return Status::success();
}

Status parseNumber(std::string_view text, std::string_view label, float& out) {
    double v = 0.0;
    if (Status st = parseNumber(text, label, v); !st) return st;
    if (std::fabs(v) > static_cast<double>(std::numeric_limits<float>::max()))
        return Status::failure(std::string(bareLabel(label)) + ": \"" + std::string(text) +
                               "\" is too large for a single-precision number");
    out = static_cast<float>(v);
    return Status::success();
}

Status parseInteger(std::string_view text, std::string_view label, int32_t& out) {
    std::string_view s = trimBlanks(text);
    if (!s.empty() && s.front() == '+') {
        s.remove_prefix(1);
        if (!s.empty() && s.front() == '-') return refused(text, label, "integer");  // one sign only
    }
    int32_t v = 0;
    const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), v);
    if (s.empty() || ec != std::errc{} || end != s.data() + s.size()) return refused(text, label, "integer");
    out = v;
    return Status::success();
}

} // namespace wf::doc
