// A radial section like the generated meshes: NR radial columns spaced
// geometrically from the well, NZ rows from the aquifer base upward (the
// lowest two rows are the fracture, material 1; the rest matrix, material 2),
// nodes row by row with the radial index fastest, elements column by column.
// The outer column holds prescribed heads; the well column carries point
// sources in the fracture rows.
#pragma once

#include <cmath>

#include "base/work_sets.h"
#include "base/fem_state.h"

namespace wftest {

struct RadialModel {
    wf::FemState fs;
    wf::ModelSet m;
    double P[4] = {40.0, 0.3, 2.0, 0.7};  // multipliers: conductivity 1, 2; storage 1, 2
};

inline void buildRadialModel(RadialModel& rm, int NR, int NZ) {
    wf::FemState& fs = rm.fs;
    wf::ModelSet& m = rm.m;
    m.allocate(NR, NZ);
    fs.NN = NR * NZ;
    fs.NEL = (NR - 1) * (NZ - 1);
    fs.nodesPerElement = 4;
    fs.family = 'L';
    fs.nodesPerSide = 2;
    fs.degree = 1;
    fs.gaussPerDir = 2;
    fs.gaussPoints = 4;
    fs.bandwidth = NR + 2;
    fs.nsteps = 50;
    fs.KX = 2e-6;
    fs.KY = 5e-7;
    fs.SS = 1e-5;
    fs.npar = 4;
    for (int row = 1; row <= NZ; ++row)
        for (int col = 1; col <= NR; ++col) {
            const int n = (row - 1) * NR + col;
            m.X(n) = 0.1 * std::pow(1.6, col - 1);
            m.Y(n) = row <= 2 ? 0.05 * (row - 1) : 0.05 + 0.4 * (row - 2) + 0.01 * (row % 3);
            m.MAT(n) = row <= 2 ? 1 : 2;
            m.H0(n) = 100.0;
            m.HOLD(n) = 100.0;
        }
    int e = 0;
    for (int col = 1; col < NR; ++col)
        for (int row = 1; row < NZ; ++row) {
            const int n = (row - 1) * NR + col;
            ++e;
            m.CON(e, 1) = n;
            m.CON(e, 2) = n + 1;
            m.CON(e, 3) = n + NR + 1;
            m.CON(e, 4) = n + NR;
        }
    fs.NDN = NZ;
    for (int row = 1; row <= NZ; ++row) {
        m.DNODE(row) = row * NR;
        m.DHEAD(row) = 100.0;
    }
    // Two well sources in the fracture rows, abstraction as negative rates (m3/s).
    fs.NSRC = 2;
    for (int k = 1; k <= 2; ++k) {
        m.SRC(k, 1) = (k - 1) * NR + 1;
        m.SRC(k, 2) = 4;
        const double t[4] = {0.0, 3600.0, 7200.0, 1e7};
        const double q[4] = {-1e-3, -1e-3, -2e-3, 0.0};
        for (int p = 1; p <= 4; ++p) {
            m.PROF(k, p, 1) = t[p - 1];
            m.PROF(k, p, 2) = q[p - 1] / k;
        }
    }
    // A recharge flux (m/s) on the first top side.
    fs.NNS = 1;
    m.NSIDE(1, 1) = NZ - 1;  // element of column 1, top row
    m.NSIDE(1, 2) = (NZ - 1) * NR + 2;  // local node 3 of that element: side 3 (nodes 3, 4)
    m.NSIDE(1, 3) = (NZ - 1) * NR + 1;
    m.NFLUX(1, 1) = 2e-7;
    m.NFLUX(1, 2) = 1e-7;
}

} // namespace wftest
