// Eigenpairs of the radial pencil of the fine model: K x = lambda M x with K
// and M symmetric tridiagonal, M positive definite (the radial stiffness and
// mass of linear elements with weight r).
//
// On the fine mesh the radii span seven or more decades, so the eigenvalues
// span fourteen: a dense method on M^-1/2 K M^-1/2 finds each only to about
// 1e-16 of the largest, far too coarse for the slow modes that carry the
// late-time drawdown (and different for one problem in mm and in km).
// Bisection on the Sturm counts of K - x M finds every eigenvalue to its own
// relative accuracy, and inverse iteration on the tridiagonal K - lambda M
// gives its vector.
#pragma once

#include <vector>

namespace wf::fine {

// The pencil of order n: kd, md diagonals, ko, mo couplings of i and i + 1
// (n - 1 used). constantNull: K 1 = 0 (no-flow outer boundary), the first
// pair is then set exactly, lambda 0 and x = 1 / sqrt(1' M 1), and every
// other vector is M-orthogonal to it (carries no volume). On return
// values[m] holds the eigenvalues in ascending order and vectors[i * n + m]
// the M-orthonormal vector of values[m]. False when M is not positive
// definite or an eigenvalue was not bracketed.
bool pencilEigen(int n, const std::vector<double>& kd, const std::vector<double>& ko, const std::vector<double>& md,
                 const std::vector<double>& mo, bool constantNull, std::vector<double>& values,
                 std::vector<double>& vectors);

} // namespace wf::fine
