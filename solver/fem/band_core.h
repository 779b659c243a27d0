// Symmetric band factorisation A = U^T D U and its solve on a row-wise band:
// row p (0-based) starts at W + p*ld, entry c (0-based, c = 0 the pivot)
// couples p with unknown p + c. The row stride is one more than a multiple of
// four, so the entry of unknown g in any row lies at an address congruent to g
// modulo four: blocks of four adjacent unknowns line up from row to row and the
// factorisation works on whole blocks. Entries from column B on (the padding)
// and entries whose unknown lies past the last row are zero on entry; the
// three words just before each row's pivot belong to the previous row's far
// padding and may hold anything.
//
// The arithmetic is that of the column-stored SFAC and SSOL operation for
// operation: every sum in its order, every product left to right, so both
// give the same doubles.
#pragma once

#include "base/band_buffer.h"

namespace wf {

// Row stride of the row-wise band for half-bandwidth B: ld = 1 (mod 4) and
// ld >= B + 6.
int bandRowStride(int B);

// Factorises in place; returns 0, or the 1-based row of the first pivot that
// is zero or negative (the rows after it are left unfactorised).
int factorBandRows(int NN, int B, double* W, int ld);
// The same factorisation with the forward substitution of R (NN entries,
// 0-based) in its row loop: R then holds y of U^T D y = r, as after the
// forward pass of solveBandRows.
int factorForwardBandRows(int NN, int B, double* W, int ld, double* R);
// Forward and back substitution with the factor of factorBandRows; R becomes
// the solution.
void solveBandRows(int NN, int B, const double* W, int ld, double* R);
// The back substitution U x = y alone (R holds y on entry, x on return).
void backBandRows(int NN, int B, const double* W, int ld, double* R);

} // namespace wf
