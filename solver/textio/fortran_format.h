// Fixed-column text records written with Fortran format texts.
//
// Every formatted record of the system is produced by one call whose format
// text is the one the record is defined with, so a record and its format can be
// compared at a glance:
//
//     out << wf::textio::format("(I6,2(3x,1PE15.7),3x,i5)", {node, r, z, material});
//
// Supported edit descriptors: Iw, Fw.d, Ew.d, Dw.d, Gw.d, kP (scale factor),
// Aw and A, nX, quoted texts (with '' for a quote), '/', n(...) repeat groups,
// repeated quoted texts such as 66('-'), ':' and format reversion. Output is
// identical to what the gfortran runtime writes for the same format and values.
#pragma once

#include <initializer_list>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace wf::textio {

// One value of a formatted write: an integer, a real or a text.
class FValue {
public:
    FValue(int v) : v_(static_cast<long long>(v)) {}
    FValue(long v) : v_(static_cast<long long>(v)) {}
    FValue(long long v) : v_(v) {}
    FValue(double v) : v_(v) {}
    FValue(const char* s) : v_(std::string(s)) {}
    FValue(std::string_view s) : v_(std::string(s)) {}
    FValue(const std::string& s) : v_(s) {}

    bool isInt() const { return std::holds_alternative<long long>(v_); }
    bool isReal() const { return std::holds_alternative<double>(v_); }
    bool isText() const { return std::holds_alternative<std::string>(v_); }
    long long asInt() const { return std::get<long long>(v_); }
    double asReal() const { return std::get<double>(v_); }
    const std::string& asText() const { return std::get<std::string>(v_); }

private:
    std::variant<long long, double, std::string> v_;
};

// Writes the values with the format text (outer parentheses included) and
// returns the records, each one followed by '\n'. Throws std::invalid_argument
// on a malformed format text or on a value whose kind does not fit its edit
// descriptor (a programming error, not a data error).
std::string format(std::string_view fmt, const std::vector<FValue>& values);
inline std::string format(std::string_view fmt, std::initializer_list<FValue> values) {
    return format(fmt, std::vector<FValue>(values));
}
inline std::string format(std::string_view fmt) { return format(fmt, std::vector<FValue>{}); }

// The same, without the '\n' after the last record: for a record composed into
// a line buffer (a message or a progress line).
std::string formatLine(std::string_view fmt, const std::vector<FValue>& values);
inline std::string formatLine(std::string_view fmt, std::initializer_list<FValue> values) {
    return formatLine(fmt, std::vector<FValue>(values));
}

} // namespace wf::textio
