// Prescribed heads (DBCC) applied to a band matrix in either storage order:
// the column-stored band of ASEM or the row-wise band of the time step.
#pragma once

#include "base/work_sets.h"
#include "base/fem_state.h"

namespace wf {

// Band position (p, c) (1-based row, column) lives at A[(p-1)*rowStride + (c-1)*colStride].
// Applies the Dirichlet nodes of m in list order to A and R (R 0-based, NN
// entries).
void applyDirichlet(const FemState& fs, const ModelSet& m, double* A, long rowStride, long colStride, double* R);

} // namespace wf
