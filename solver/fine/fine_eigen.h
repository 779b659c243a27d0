// Eigenvalues and eigenvectors of a small dense symmetric matrix, for the
// radial modes of the fine model.
#pragma once

#include <vector>

namespace wf::fine {

// a: n x n symmetric, row-major (destroyed). On return values[m] holds the
// eigenvalues in ascending order and vectors[i * n + m] the orthonormal
// eigenvector of values[m]. Householder reduction to tridiagonal form, then
// the implicit QL iteration with Wilkinson shifts. False when an eigenvalue
// did not converge in 60 iterations.
bool symmetricEigen(int n, std::vector<double>& a, std::vector<double>& values, std::vector<double>& vectors);

} // namespace wf::fine
