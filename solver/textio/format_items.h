// A Fortran format text taken apart into its edit descriptors.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace wf::textio::detail {

struct FormatItem {
    enum class Kind {
        Data,   // I, F, E, D, G, A: takes one value
        Text,   // a quoted text (or nH Hollerith text)
        Skip,   // nX
        Slash,  // '/': ends the record
        Colon,  // ':': ends the write when no values are left
        Scale,  // kP
        Group,  // n( ... )
    };
    Kind kind = Kind::Text;
    int repeat = 1;
    char code = 0;  // upper-case letter of a data descriptor
    int w = -1;     // field width (-1: none given, as for a bare A)
    int d = -1;     // decimals or significant digits
    int m = -1;     // Iw.m minimum digits
    int e = -1;     // Ee exponent digits
    int count = 0;  // nX blanks, kP factor
    std::string text;
    std::vector<FormatItem> items;  // contents of a group
};

// Parses "( ... )" into the list of items inside the outer parentheses.
// Blanks outside quoted texts are ignored and descriptors may be written in
// either letter case. Throws std::invalid_argument on a malformed text.
std::vector<FormatItem> parseFormat(std::string_view fmt);

} // namespace wf::textio::detail
