// Pieces of the step assembly shared by ASEM and the run-level assembly of
// solveStep.
#pragma once

#include "base/work_sets.h"
#include "base/fem_state.h"
#include "fem/shape_tables.h"

namespace wf {

// Nodal arrays of element e (1-based) for the element integrals:
// coordinates, heads at the start of the step, Tx = r KX p, Ty = r KY p,
// S = r SS q (p, q the conductivity and storage multipliers of the node's
// material) and the saturation factor (1, or h_old - base level when the
// saturated-thickness switch is 1). nodes[] receives the global node numbers.
void elementNodalValues(const FemState& fs, const ModelSet& m, int e, const double* P, int npar, int nodesPerElement,
                        int nodes[9], double r[9], double z[9], double hold[9], double tx[9], double ty[9],
                        double s[9], double sigma[9]);

// Point sources of the step from fs.t - fs.dt to fs.t: adds rate * dt to the
// right-hand side at each source node (positive = water added, abstraction is
// negative) and returns the volume added, m3.
double addPointSources(const FemState& fs, ModelSet& m);

// Rate (m3/s) of one source profile for the step ending at t with increment
// dt: the rate q_k of the first interval t_{k-1} <= t <= t_k, scaled by
// (t - t_{k-1}) / dt when the interval began inside the step; 0 when no
// interval holds t.
double sourceRate(const ModelSet& m, int source, int points, double t, double dt);

} // namespace wf
