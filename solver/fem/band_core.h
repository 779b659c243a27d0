// Symmetric band factorisation A = U^T D U and its solve on a row-wise copy
// of the band: row p (0-based) starts at W + p*ld, entry c (0-based, c = 0 the
// pivot) couples p with p + c. Entries from column B on, and entries whose
// unknown lies past the last row, are zero, so that blocks of columns can be
// processed whole.
#pragma once

namespace wf {

// Row length of the row-wise copy for half-bandwidth B.
int bandRowStride(int B);
// Factorises in place; returns 0, or the 1-based row of the first pivot that
// is zero or negative (the rows after it are left unfactorised).
int factorBandRows(int NN, int B, double* W, int ld);
// Forward and back substitution with the factor of factorBandRows; R (NN
// entries, 0-based) becomes the solution.
void solveBandRows(int NN, int B, const double* W, int ld, double* R);

} // namespace wf
