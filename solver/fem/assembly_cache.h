// What the assembly keeps from one step to the next within a model run.
// Within a run the element integrals depend on the step only through the time
// increment (saturated-thickness switch off), so the conductance band K and
// the storage band M are assembled once and every step forms dt K + M. When
// the increment repeats exactly, the factor of the previous step is reused.
#pragma once

#include <vector>

namespace wf {

// One right-hand-side operation of the prescribed heads, in order:
// R(row) -= coef * h, or R(row) = h when set is true.
struct DirichletRhsOp {
    int row;
    bool set;
    double coef;
    double h;
};

struct AssemblyCache {
    bool valid = false;  // cleared at the start of every model run

    // What the kept integrals were built from.
    int NN = 0, bandwidth = 0, NEL = 0, nodesPerElement = 0, degree = 0, nsteps = 0;
    char family = 'L';
    double KX = 0.0, KY = 0.0, SS = 0.0;
    std::vector<double> P;  // parameter multipliers of the run

    // Row-wise bands (row p at p*ld, entry c couples p with p + c), 0-based.
    int ld = 0;
    std::vector<double> K;  // conductance (multiply by dt)
    std::vector<double> M;  // storage, zero for a time-independent problem

    // Factor of dt K + M with the prescribed heads applied, for factorDt.
    bool factorValid = false;
    double factorDt = 0.0;
    int factorStatus = 0;   // 0, or the row of a zero or negative pivot
    std::vector<double> factor;
    std::vector<DirichletRhsOp> dirichletRhs;  // right-hand-side part of the prescribed heads
};

} // namespace wf
