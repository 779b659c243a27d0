// Checks of the numbers typed into dialog fields and command-line options.
#pragma once

#include <cstdint>
#include <string_view>

#include "status.h"

namespace wf::doc {

// A decimal number: leading and trailing blanks (spaces, tabs) are allowed, the
// rest must be one number in full (optional sign, digits, optional decimal
// point and exponent). On failure the message names the field, e.g.
// "Thickness of the aquifer: \"4o\" is not a valid number". `label` may end in
// ':' (the dialog label); the colon is not repeated.
Status parseNumber(std::string_view text, std::string_view label, double& out);
// The same, stored in single precision; refused when the number does not fit a float.
Status parseNumber(std::string_view text, std::string_view label, float& out);
// A whole decimal number (optional sign) that fits 32 bits; blanks as above.
// Message: "<label>: \"x\" is not a valid integer".
Status parseInteger(std::string_view text, std::string_view label, int32_t& out);

} // namespace wf::doc
