// Boundary conditions of a step: prescribed fluxes on Neumann sides (added to
// the right-hand side, volume per step, no radial factor), then prescribed
// heads at Dirichlet nodes (row and column of the node cleared, couplings
// moved to the right-hand side, unit diagonal), which keeps the matrix
// symmetric.
#include "fem/boundary_parts.h"
#include "fem/fem_numerics.h"
#include "fem/shape_tables.h"

#include <algorithm>
#include <cmath>

namespace wf {

void NBCC(FemState& fs, ModelSet& m) {
    const int degree = fs.degree;
    const SideRule& rule = sideRule(degree);
    const int ne = elementTable(fs).nodes;
    const int ns = rule.nodes;
    for (int b = 1; b <= fs.NNS; ++b) {
        const int e = m.NSIDE(b, 1), first = m.NSIDE(b, 2);
        if (e < 1 || e > fs.NEL) continue;
        // Local position of the side's first node; the side starts at its
        // first corner, counter-clockwise.
        int pos = 0;
        for (int i = 1; i <= ne && pos == 0; ++i)
            if (m.CON(e, i) == first) pos = i;
        if (pos == 0) continue;  // first node not in the element: no side (rejected on input)
        const int side = (pos - 1) / degree + 1;
        if (side > 4) continue;  // centre node of a 9-node element starts no side
        int I[3];
        for (int j = 0; j < ns; ++j) I[j] = m.CON(e, sideLocalNode(degree, side, j + 1));
        for (int g = 0; g < rule.points; ++g) {
            double dx = 0.0, dy = 0.0, q = 0.0;
            for (int j = 0; j < ns; ++j) {
                dx += rule.dL[g][j] * m.X(I[j]);
                dy += rule.dL[g][j] * m.Y(I[j]);
            }
            const double c = rule.w[g] * std::sqrt(dx * dx + dy * dy) * fs.dt;
            for (int j = 0; j < ns; ++j) q += rule.L[g][j] * m.NFLUX(b, j + 1);
            for (int i = 0; i < ns; ++i) {
                m.RHS(I[i]) += rule.L[g][i] * q * c;
                fs.neumannVolume += rule.L[g][i] * m.NFLUX(b, i + 1) * c;
            }
        }
    }
}

void applyDirichlet(const FemState& fs, const ModelSet& m, double* A, long rowStride, long colStride, double* R) {
    const int NN = fs.NN, B = fs.bandwidth;
    auto at = [&](int p, int c) -> double& { return A[(p - 1) * rowStride + (c - 1) * colStride]; };
    auto subtract = [&](int row, double coef, double h) { R[row - 1] -= coef * h; };
    for (int d = 1; d <= fs.NDN; ++d) {
        const int I = m.DNODE(d);
        const double h = m.DHEAD(d);
        if (I < 1 || I > NN) continue;
        // Column of I above the diagonal: rows p = I - k.
        for (int k = 1; k <= std::min(B, I) - 1; ++k) {
            double& a = at(I - k, k + 1);
            if (h != 0.0) subtract(I - k, a, h);  // both signed zeros count as zero
            a = 0.0;
        }
        // Row of I: unknowns J = I + k - 1.
        for (int k = 1; k <= std::min(B, NN + 1 - I); ++k) {
            double& a = at(I, k);
            if (h != 0.0) subtract(I + k - 1, a, h);
            a = 0.0;
        }
        at(I, 1) = 1.0;
        R[I - 1] = h;
    }
}

void DBCC(FemState& fs, ModelSet& m) {
    applyDirichlet(fs, m, m.BAND.data(), 1, m.BAND.rows(), m.RHS.data());
}

void AEBC(FemState& fs, ModelSet& m) {
    if (fs.NNS >= 1) NBCC(fs, m);
    if (fs.NDN >= 1) DBCC(fs, m);
}

} // namespace wf
