// Numeric output fields of the Fortran edit descriptors I, F, E/D and G.
//
// Each function returns exactly one field of the given width (or the
// unpadded text when the width is 0, as I0 writes it). A number that does not
// fit its field comes out as a field of asterisks, as the Fortran runtime
// writes it. Reals are rounded once, from their exact binary value, to the
// nearest decimal of the field (ties to even), the way gfortran rounds.
#pragma once

#include <string>

namespace wf::textio::detail {

// Iw.m: integer right-aligned in w columns with at least m digits (m < 0: none).
std::string editInteger(long long v, int w, int m);

// Fw.d under scale factor k (the value is written times 10^k).
std::string editFixed(double v, int w, int d, int k);

// Ew.dEe / Dw.dEe under scale factor k; letter 'E' or 'D'; e < 0 means no Ee part
// (two exponent digits, or three with the letter dropped for exponents above 99).
std::string editExponent(double v, int w, int d, int e, int k, char letter);

// Gw.dEe under scale factor k: fixed form with four (or e + 2) trailing blanks
// for magnitudes 0.1 <= |v| < 10^d after rounding to d digits, else the
// exponent form.
std::string editGeneral(double v, int w, int d, int e, int k);

// A real as list-directed output writes a REAL(8): 17 significant digits,
// fixed form followed by five blanks for 0.1 <= |v| < 10^17, else exponent
// form with three exponent digits, in a field of 25 columns.
std::string editListReal(double v);

} // namespace wf::textio::detail
