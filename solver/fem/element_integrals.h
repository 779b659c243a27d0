// Element integrals split into conductance and storage parts, for the
// assembly that keeps them for a whole model run (the step enters only
// through the time increment, which multiplies the conductance part).
#pragma once

#include "fem/shape_tables.h"

namespace wf {

// K = sum over Gauss points of (a_i a_j Tx + b_i b_j Ty) w / det * sigma,
// M = sum of w N_i N_j S det (left zero when transient is false).
// Only the first table.nodes rows and columns are written.
void elementConductanceStorage(const ShapeTable& table, const double r[9], const double z[9], const double tx[9],
                               const double ty[9], const double s[9], const double sigma[9], bool transient,
                               double K[9][9], double M[9][9]);

} // namespace wf
