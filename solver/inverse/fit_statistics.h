// Linearised statistics of a least-squares fit: from the derivative columns J
// (m residual rows x p unknowns) and the residuals r, the covariance
// s^2 (J'J)^-1 with s^2 = S / (m - p), worked out on the normal matrix scaled
// to unit diagonal, its condition number, and the correlations.
#pragma once

#include <vector>

namespace wf {

struct FitStatistics {
    int residuals = 0;        // m
    int unknowns = 0;         // p
    double S = 0.0;           // sum of squared residuals
    double s2 = 0.0;          // S / (m - p); NaN when m <= p
    double condition = 0.0;   // largest / smallest eigenvalue of the scaled normal matrix (inf when singular)
    std::vector<double> scale;       // d_j = sqrt((J'J)_jj)
    std::vector<double> eigenvalues; // of the scaled normal matrix
    std::vector<double> eigenvectors;// column by column, p x p
    std::vector<double> covariance;  // p x p row by row; NaN where a variance is not determined
    std::vector<double> correlation; // p x p row by row; NaN where undefined

    // Variance of the linear combination c'x of the unknowns (c of length p);
    // NaN when the data do not determine that combination (it has a part in
    // the null space of the normal matrix) or s2 is not defined.
    double variance(const std::vector<double>& c) const;
};

// J column by column: J[j * m + i] is the derivative of residual i by unknown j.
FitStatistics fitStatistics(int m, int p, const std::vector<double>& J, const std::vector<double>& r);

// Eigenvalues (ascending) and eigenvectors (columns) of the symmetric p x p
// matrix a (row by row), by cyclic Jacobi rotations.
void symmetricEigen(int p, std::vector<double> a, std::vector<double>& values, std::vector<double>& vectors);

// The 0.975 quantile of Student's t with dof degrees of freedom (exact for 1
// to 4, a Cornish-Fisher expansion about the normal quantile above); NaN for
// dof < 1.
double studentT975(int dof);

} // namespace wf
