// Element integrals split by Gauss point, for the assembly that keeps them for
// a whole model run: the step enters GQEM's sums only through the time
// increment, which multiplies each point's conductance term.
#pragma once

#include "fem/shape_tables.h"

namespace wf {

// For every Gauss point g: C[g][i][j] = (a_i a_j Tx + b_i b_j Ty) w / det * sigma,
// the conductance term before GQEM multiplies it by dt, and M[g][i][j] =
// w (N_i N_j S det), the storage term (0 when transient is false); each is
// the double GQEM forms. Only the first table.nodes rows and columns and the
// first table.points points are written.
void elementGaussTerms(const ShapeTable& table, const double r[9], const double z[9], const double tx[9],
                       const double ty[9], const double s[9], const double sigma[9], bool transient,
                       double C[16][9][9], double M[16][9][9]);

} // namespace wf
