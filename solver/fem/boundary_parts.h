// Prescribed heads applied to a band matrix in either storage order, with an
// optional record of the right-hand-side operations so that a step with the
// same matrix can repeat them without touching the matrix again.
#pragma once

#include <vector>

#include "entry/work_sets.h"
#include "fem/assembly_cache.h"
#include "fem/fem_state.h"

namespace wf {

// Band position (p, c) (1-based row, column) lives at A[(p-1)*rowStride + (c-1)*colStride].
// Applies the Dirichlet nodes of m in list order to A and R (R 0-based, NN
// entries); when log is given, appends the right-hand-side operations.
void applyDirichlet(const FemState& fs, const ModelSet& m, double* A, long rowStride, long colStride, double* R,
                    std::vector<DirichletRhsOp>* log);
// Repeats recorded right-hand-side operations on R (0-based).
void replayDirichletRhs(const std::vector<DirichletRhsOp>& log, double* R);

} // namespace wf
