// The number field of the test-data file.
#pragma once

#include <string>

namespace wf::doc {

// One value as the test-data file holds it: 23 characters, a sign position
// (blank or '-'), one digit, '.', 14 digits, 'E', the exponent sign and four
// exponent digits, e.g. " 1.00000000000000E+0000" or "-2.50000000000000E-0003".
std::string formatDataField(double value);

} // namespace wf::doc
