// What the assembly keeps from one step to the next within a model run.
// Within a run the element integrals depend on the step only through the time
// increment (saturated-thickness switch off), so the conductance band K and
// the storage band M are assembled once and every step forms dt K + M. The
// prescribed heads always clear the same band positions, so copies of K and M
// with those positions cleared (and a unit storage diagonal at the prescribed
// nodes) give the step matrix directly, and the right-hand-side part of the
// prescribed heads is a fixed list of operations. When the increment repeats
// exactly, the factor of the previous step is reused.
#pragma once

#include <vector>

#include "fem/band_core.h"

namespace wf {

// One right-hand-side operation of the prescribed heads, in order:
// R(row) -= coef * h, or R(row) = h when set is true.
struct DirichletRhsOp {
    int row;
    bool set;
    double coef;
    double h;
};

// The same operation for any increment: R(row) -= (dt k + m) h, where k and m
// are the conductance and storage couplings the prescribed head removes, or
// R(row) = h when set is true.
struct DirichletStepOp {
    int row;  // 0-based
    bool set;
    double k, m, h;
};

// The conductance and storage integrals are linear in the nodal
// conductivities and specific storages, so the bands of one mesh are sums
// over the materials: K = sum_t P(t) K_t, M = sum_t P(t + half) M_t, with K_t
// and M_t assembled once per mesh (unit multipliers for material t, zero for
// the others). The mesh they belong to is kept to recognise it.
struct MaterialBands {
    bool valid = false;  // kept from one model run to the next
    int NN = 0, bandwidth = 0, NEL = 0, nodesPerElement = 0, degree = 0, nsteps = 0, npar = 0, ld = 0;
    char family = 'L';
    double KX = 0.0, KY = 0.0, SS = 0.0;
    std::vector<double> X, Y;
    std::vector<int> MAT, CON;
    std::vector<BandBuffer> K, M;  // per material, row-wise (stride ld)
};

struct AssemblyCache {
    bool valid = false;  // cleared at the start of every model run

    // What the kept integrals were built from.
    int NN = 0, bandwidth = 0, NEL = 0, nodesPerElement = 0, degree = 0, nsteps = 0;
    char family = 'L';
    double KX = 0.0, KY = 0.0, SS = 0.0;
    std::vector<double> P;  // parameter multipliers of the run
    int NDN = 0;
    std::vector<int> dirichletNodes;
    std::vector<double> dirichletHeads;

    MaterialBands materials;

    // Row-wise bands (band_core.h layout, row stride ld), 0-based.
    int ld = 0;
    BandBuffer M;             // storage, zero for a time-independent problem
    BandBuffer KD, MD;        // K and M with the prescribed heads' rows and columns cleared
    BandBuffer MF;            // full symmetric rows of M (band_core.h, fullSymmetricRows)
    BandBuffer heads;         // old heads at offset fullRowOffset, zero around them
    std::vector<DirichletStepOp> dirichletOps;

    // Factor of dt K + M with the prescribed heads applied, for factorDt.
    bool factorValid = false;
    double factorDt = 0.0;
    int factorStatus = 0;   // 0, or the row of a zero or negative pivot
    BandBuffer factor;
};

} // namespace wf
