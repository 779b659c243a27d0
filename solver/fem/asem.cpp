// Assembly of the global band system of one implicit step:
//   (dt K + M) h_new = M h_old + dt * (point sources)
// Band layout: row I, column J - I + 1 holds the coupling of I with J >= I.
#include "fem/asem_parts.h"
#include "fem/fem_numerics.h"

#include <algorithm>

namespace wf {

void elementNodalValues(const FemState& fs, const ModelSet& m, int e, const double* P, int npar, int nodesPerElement,
                        int nodes[9], double r[9], double z[9], double hold[9], double tx[9], double ty[9],
                        double s[9], double sigma[9]) {
    const int half = npar / 2;
    for (int i = 0; i < 9; ++i) {
        nodes[i] = 0;
        r[i] = z[i] = hold[i] = tx[i] = ty[i] = s[i] = 0.0;
        sigma[i] = 1.0;
    }
    for (int i = 0; i < nodesPerElement; ++i) {
        const int I = m.CON(e, i + 1);
        const int mat = m.MAT(I);
        const double p = P[mat - 1];         // conductivity multiplier of the material
        const double q = P[mat - 1 + half];  // storage multiplier of the material
        nodes[i] = I;
        r[i] = m.X(I);
        z[i] = m.Y(I);
        hold[i] = m.HOLD(I);
        tx[i] = r[i] * fs.KX * p;
        ty[i] = r[i] * fs.KY * p;
        s[i] = r[i] * fs.SS * q;
        sigma[i] = fs.satSwitch == 1 ? m.HOLD(I) - m.BASELEV(I) : 1.0;
    }
}

double sourceRate(const ModelSet& m, int source, int points, double t, double dt) {
    points = std::min(points, m.PROF.dim2());
    for (int k = 2; k <= points; ++k) {
        const double t0 = m.PROF(source, k - 1, 1), t1 = m.PROF(source, k, 1);
        if (t0 <= t && t <= t1) {
            double rate = m.PROF(source, k, 2);
            // The interval began inside the step: only its part of the step counts.
            if (t - t0 < dt) rate *= (t - t0) / dt;
            return rate;
        }
    }
    return 0.0;
}

double addPointSources(const FemState& fs, ModelSet& m) {
    double volume = 0.0;
    for (int k = 1; k <= fs.NSRC; ++k) {
        const int node = m.SRC(k, 1);
        if (node < 1 || node > fs.NN) continue;
        const double v = sourceRate(m, k, m.SRC(k, 2), fs.t, fs.dt) * fs.dt;
        m.RHS(node) += v;
        volume += v;
    }
    return volume;
}

void ASEM(FemState& fs, ModelSet& m, const double* P, int npar) {
    const int NN = fs.NN, B = fs.bandwidth, lda = m.BAND.rows();
    const ShapeTable& table = elementTable(fs);
    const int ne = table.nodes;
    double* band = m.BAND.data();
    for (int c = 0; c < B; ++c) std::fill(band + static_cast<long>(c) * lda, band + static_cast<long>(c) * lda + NN, 0.0);
    for (int I = 1; I <= NN; ++I) m.RHS(I) = 0.0;

    int nodes[9];
    double r[9], z[9], hold[9], tx[9], ty[9], s[9], sigma[9], E[9][9], f[9];
    for (int e = 1; e <= fs.NEL; ++e) {
        elementNodalValues(fs, m, e, P, npar, ne, nodes, r, z, hold, tx, ty, s, sigma);
        GQEM(fs, r, z, hold, tx, ty, s, sigma, E, f);
        for (int i = 0; i < ne; ++i) {
            const int I = nodes[i];
            for (int j = 0; j < ne; ++j) {
                const int J = nodes[j];
                if (J >= I) m.BAND(I, J - I + 1) += E[i][j];
            }
            m.RHS(I) += f[i];
        }
    }
    fs.pumpedVolume += addPointSources(fs, m);
}

} // namespace wf
