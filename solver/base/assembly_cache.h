// What the assembly keeps from one step to the next within a model run.
// With the saturated-thickness switch off, the element integrals depend on the
// step only through the time increment: each Gauss point's conductance term
// (before its multiplication by dt) and storage term are the same doubles at
// every step, so they are formed once per run, and every step repeats only
// GQEM's multiplications by dt and its sums, in GQEM's order. When the
// increment repeats exactly (and the prescribed heads are the same), the step
// matrix is the same too and its factor is reused.
#pragma once

#include <vector>

#include "base/band_buffer.h"

namespace wf {

struct AssemblyCache {
    bool valid = false;  // cleared at the start of every model run

    // What the kept integrals were built from.
    int NN = 0, bandwidth = 0, NEL = 0, nodesPerElement = 0, degree = 0, nsteps = 0;
    char family = 'L';
    double KX = 0.0, KY = 0.0, SS = 0.0;
    std::vector<double> P;  // parameter multipliers of the run

    // Element integrals. Entry p is a pair (i, j) of local nodes of one
    // element whose global nodes satisfy J >= I, in element order; it goes to
    // position bandAt[p] of the row-wise band (fem/band_core.h, stride ld).
    int ld = 0;
    int points = 0;                  // Gauss points per element
    int elementNodes = 0;            // nodes per element of the shape table
    int entries = 0;                 // pairs of all elements
    std::vector<int> bandAt;         // per entry
    // Per group of four entries and Gauss point g: the four conductance terms
    // (before the multiplication by dt), then the four storage terms.
    std::vector<double> terms;
    // The positions that receive entries, grouped by their number n of
    // entries: group n holds positions gatherGroups[n-1] .. gatherGroups[n],
    // each followed in gatherEntry by its n entries in element order.
    std::vector<int> gatherAt, gatherGroups, gatherEntry;
    // Right-hand side: per element its nodes (0-based) and the storage terms
    // of all pairs, [((e * points + g) * ne + j) * nep + i], nep = ne rounded
    // up to a multiple of four.
    std::vector<int> nodes;
    std::vector<double> storageFull;
    std::vector<double> E;           // the step's element entries

    BandBuffer band;     // the step matrix, then its factor
    BandBuffer scratch;  // the step matrix of a step that reuses the factor

    // The factor in band is that of the step matrix for factorDt with these
    // prescribed heads.
    bool factorValid = false;
    double factorDt = 0.0;
    int factorStatus = 0;  // 0, or the row of a zero or negative pivot
    std::vector<int> factorNodes;
    std::vector<double> factorHeads;
};

} // namespace wf
