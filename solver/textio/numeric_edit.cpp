#include "textio/numeric_edit.h"

#include <charconv>
#include <cmath>
#include <cstdlib>
#include <stdexcept>
#include <string_view>
#include <system_error>

namespace wf::textio::detail {
namespace {

// A magnitude rounded to a number of significant digits: 0.D1D2...Dn x 10^exp.
struct Decimal {
    std::string digits;
    int exp = 0;
};

// std::to_chars is used throughout because it converts from the exact binary
// value with ties to even (as the Fortran runtime does) and, unlike printf,
// never uses the locale's decimal comma.
Decimal roundSignificant(double a, int sig) {
    std::string buf(static_cast<std::size_t>(sig) + 32, '\0');
    auto res = std::to_chars(buf.data(), buf.data() + buf.size(), a, std::chars_format::scientific, sig - 1);
    std::string_view text(buf.data(), static_cast<std::size_t>(res.ptr - buf.data()));
    const auto ePos = text.find('e');
    Decimal out;
    for (char c : text.substr(0, ePos))
        if (c != '.') out.digits += c;
    int e10 = 0;
    std::string_view expText = text.substr(ePos + 1);
    if (!expText.empty() && expText.front() == '+') expText.remove_prefix(1);
    std::from_chars(expText.data(), expText.data() + expText.size(), e10);
    out.exp = e10 + 1;
    return out;
}

// Exact fixed-point text of a >= 0 with d decimals ("123.450", "0.125").
std::string fixedText(double a, int d) {
    std::string buf(static_cast<std::size_t>(d) + 340, '\0');
    auto res = std::to_chars(buf.data(), buf.data() + buf.size(), a, std::chars_format::fixed, d);
    std::string s(buf.data(), static_cast<std::size_t>(res.ptr - buf.data()));
    if (d == 0) s += '.';
    return s;
}

std::string stars(int w) { return std::string(static_cast<std::size_t>(w), '*'); }

std::string rightAlign(const std::string& s, int w) {
    if (w <= 0) return s;
    if (static_cast<int>(s.size()) > w) return stars(w);
    return std::string(static_cast<std::size_t>(w) - s.size(), ' ') + s;
}

// Infinity and NaN as gfortran writes them in a numeric field.
std::string nonFinite(double v, int w) {
    if (std::isnan(v)) return w > 0 && w < 3 ? stars(w) : rightAlign("NaN", w);
    const bool neg = std::signbit(v);
    if (w == 0) return neg ? "-Infinity" : "Infinity";
    if (w < 3 || (neg && w < 4)) return stars(w);
    if (w >= 8 + (neg ? 1 : 0)) return rightAlign(neg ? "-Infinity" : "Infinity", w);
    return rightAlign(neg ? "-Inf" : "Inf", w);
}

// Sign, integer part, point and fraction of a fixed-point field; the lone
// zero before the point is dropped only when the field is too narrow for it
// and decimals follow (F1.0 of 0.3 overflows rather than write a bare point).
std::string fitFixed(bool negative, std::string body, int w) {
    const std::string sign = negative ? "-" : "";
    if (w > 0 && static_cast<int>(sign.size() + body.size()) > w && body.size() > 2 && body[0] == '0' &&
        body[1] == '.')
        body.erase(0, 1);
    return rightAlign(sign + body, w);
}

std::string exponentText(int exp, int e, char letter) {
    const int mag = std::abs(exp);
    const char sign = exp < 0 ? '-' : '+';
    if (e > 0) {
        std::string digits = std::to_string(mag);
        if (static_cast<int>(digits.size()) > e) return {};
        return std::string(1, letter) + sign + std::string(static_cast<std::size_t>(e) - digits.size(), '0') + digits;
    }
    if (mag <= 99) return std::string(1, letter) + sign + (mag < 10 ? "0" : "") + std::to_string(mag);
    if (mag <= 999) return std::string(1, sign) + std::to_string(mag);
    return {};
}

} // namespace

std::string editInteger(long long v, int w, int m) {
    const unsigned long long mag = v < 0 ? 0ULL - static_cast<unsigned long long>(v) : static_cast<unsigned long long>(v);
    std::string digits = (m == 0 && v == 0) ? std::string() : std::to_string(mag);
    if (m > 0 && static_cast<int>(digits.size()) < m)
        digits.insert(0, static_cast<std::size_t>(m) - digits.size(), '0');
    if (v < 0) digits.insert(0, 1, '-');
    return rightAlign(digits, w);
}

std::string editFixed(double v, int w, int d, int k) {
    if (!std::isfinite(v)) return nonFinite(v, w);
    if (d + k < 0) throw std::invalid_argument("scale factor too small for the F field");
    // Under kP the written number is v x 10^k: round at d + k decimals of v,
    // then move the decimal point k places.
    std::string text = fixedText(std::fabs(v), d + k);
    if (k != 0) {
        std::string digits;
        const auto point = text.find('.');
        digits = text.substr(0, point) + text.substr(point + 1);
        long long intLen = static_cast<long long>(point) + k;
        if (intLen <= 0) {
            digits.insert(0, static_cast<std::size_t>(1 - intLen), '0');
            intLen = 1;
        }
        std::string intPart = digits.substr(0, static_cast<std::size_t>(intLen));
        const auto firstNonZero = intPart.find_first_not_of('0');
        intPart = firstNonZero == std::string::npos ? "0" : intPart.substr(firstNonZero);
        text = intPart + "." + digits.substr(static_cast<std::size_t>(intLen));
    }
    return fitFixed(std::signbit(v), text, w);
}

std::string editExponent(double v, int w, int d, int e, int k, char letter) {
    if (!std::isfinite(v)) return nonFinite(v, w);
    if (k > 0 ? k >= d + 2 : k <= -d) throw std::invalid_argument("scale factor out of range for the E field");
    const double a = std::fabs(v);
    const int sig = k > 0 ? d + 1 : d + k;
    Decimal dec;
    if (a == 0.0) {
        dec.digits.assign(static_cast<std::size_t>(sig), '0');
        dec.exp = k;  // the exponent of zero is written as 0
    } else {
        dec = roundSignificant(a, sig);
    }
    std::string mantissa;
    if (k > 0) {
        mantissa = dec.digits.substr(0, static_cast<std::size_t>(k)) + "." + dec.digits.substr(static_cast<std::size_t>(k));
    } else {
        mantissa = "0." + std::string(static_cast<std::size_t>(-k), '0') + dec.digits;
    }
    const std::string expo = exponentText(dec.exp - k, e, letter);
    if (expo.empty()) return stars(w);
    const std::string sign = std::signbit(v) ? "-" : "";
    if (w > 0 && static_cast<int>(sign.size() + mantissa.size() + expo.size()) > w && k <= 0) mantissa.erase(0, 1);
    return rightAlign(sign + mantissa + expo, w);
}

std::string editGeneral(double v, int w, int d, int e, int k) {
    if (!std::isfinite(v)) return nonFinite(v, w);
    const int blanks = e > 0 ? e + 2 : 4;
    const double a = std::fabs(v);
    int decimals = -1;
    if (a == 0.0) {
        decimals = d > 0 ? d - 1 : 0;
    } else if (d > 0) {
        const Decimal dec = roundSignificant(a, d);
        if (dec.exp >= 0 && dec.exp <= d) decimals = d - dec.exp;
    }
    if (decimals < 0) return editExponent(v, w, d, e, k, 'E');
    const std::string field = editFixed(v, w - blanks, decimals, 0);
    if (field.find('*') != std::string::npos) return stars(w);
    return field + std::string(static_cast<std::size_t>(blanks), ' ');
}

std::string editListReal(double v) {
    constexpr int kDigits = 17;
    if (!std::isfinite(v)) return rightAlign(std::isnan(v) ? "NaN" : (v < 0 ? "-Infinity" : "Infinity"), 25);
    const double a = std::fabs(v);
    int decimals = -1;
    if (a == 0.0) {
        decimals = kDigits - 1;
    } else {
        const Decimal dec = roundSignificant(a, kDigits);
        if (dec.exp >= 0 && dec.exp <= kDigits) decimals = kDigits - dec.exp;
    }
    if (decimals >= 0) return editFixed(v, 20, decimals, 0) + std::string(5, ' ');
    return editExponent(v, 25, kDigits - 1, 3, 1, 'E');
}

} // namespace wf::textio::detail
