// The numerical core of one time step of the flow model: element matrices,
// assembly with the pumping sources, boundary conditions and the band solver.
#pragma once

#include "base/work_sets.h"
#include "base/fem_state.h"

namespace wf {

// Symmetric band factorisation A = U^T D U in place (NN rows, B band columns,
// column-major with leading dimension lda). Returns 0, or the first row whose
// pivot is zero or negative.
int SFAC(int NN, int B, double* A, int lda);
// Forward and back substitution with the factor of SFAC; R becomes the solution.
void SSOL(int NN, int B, const double* A, int lda, double* R);

// Element matrix and right-hand side of one element by Gauss quadrature.
// Nodal arrays have 9 entries; E is 9 x 9 (E[i][j]); only the first
// nodesPerElement rows and columns are meaningful.
void GQEM(const FemState& fs, const double r[9], const double z[9], const double hold[9], const double tx[9],
          const double ty[9], const double s[9], const double sigma[9], double E[9][9], double f[9]);

// Assembles the band matrix m.BAND (NN x bandwidth) and right-hand side m.RHS
// of the step from t - dt to t (fs.t, fs.dt), pumping sources included, and
// adds the pumped volume to fs.pumpedVolume.
void ASEM(FemState& fs, ModelSet& m, const double* P, int npar);
// Prescribed fluxes (NBCC) then prescribed heads (DBCC).
void AEBC(FemState& fs, ModelSet& m);
void NBCC(FemState& fs, ModelSet& m);
void DBCC(FemState& fs, ModelSet& m);

// One implicit step: assembly, boundary conditions, factorisation and solve;
// m.RHS holds the heads at fs.t afterwards. Element integrals and factors are
// reused within a run where the step allows it. Returns 0, or the row of a
// zero or negative pivot.
int solveStep(FemState& fs, ModelSet& m, const double* P, int npar);

} // namespace wf
