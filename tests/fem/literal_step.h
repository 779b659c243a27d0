// Plain reference loops for the exact-arithmetic tests, written operation by
// operation as the model defines them and sharing no code with the solver's
// step: the element matrices by Gauss quadrature, the assembly in element
// order with the point sources, the prescribed heads, the band factorisation
// and the two substitutions. Every sum starts from 0 and runs in the stated
// order; every product is formed left to right as the model's formulas write
// it.
#pragma once

#include <algorithm>

#include "base/work_sets.h"
#include "fem/fem_numerics.h"
#include "base/fem_state.h"
#include "fem/shape_tables.h"

namespace wftest::literal {

// Column-stored band, A(i, j) at A[(i - 1) + (j - 1) lda].
struct Band {
    double* A;
    long lda;
    double& operator()(int i, int j) const { return A[(i - 1) + (j - 1) * lda]; }
};

inline void SFAC(int NN, int B, double* A, int lda) {
    const Band a{A, lda};
    const double inv = 1.0 / a(1, 1);
    for (int j = 2; j <= std::min(B, NN); ++j) a(1, j) = a(1, j) * inv;
    for (int i = 2; i <= NN; ++i) {
        const int m = i - 1;
        const int J = std::min(B, NN - i + 1);
        for (int j = 1; j <= J; ++j) {
            int K = B - j;
            double S = 0.0;
            if (K != 0) {
                K = std::min(K, m);
                for (int k = 1; k <= K; ++k) S = S + a(i - k, k + j) * a(i - k, k + 1) * a(i - k, 1);
            }
            a(i, j) = a(i, j) - S;
            if (j != 1) a(i, j) = a(i, j) / a(i, 1);
        }
    }
}

inline void SSOL(int NN, int B, double* A, int lda, double* R0) {
    const Band a{A, lda};
    auto R = [&](int i) -> double& { return R0[i - 1]; };
    R(1) = R(1) / a(1, 1);
    for (int i = 2; i <= NN; ++i) {
        const int k0 = std::max(1, i + 1 - B);
        double S = 0.0;
        for (int k = k0; k <= i - 1; ++k) S = S + a(k, i - k + 1) * a(k, 1) * R(k);
        R(i) = (R(i) - S) / a(i, 1);
    }
    for (int i = NN - 1; i >= 1; --i) {
        const int jmax = std::min(NN, i + B - 1);
        double S = 0.0;
        for (int j = i + 1; j <= jmax; ++j) S = S + a(i, j - i + 1) * R(j);
        R(i) = R(i) - S;
    }
}

// GQEM for one element (nodal arrays of ne entries).
inline void GQEM(const wf::ShapeTable& t, bool transient, double dt, const double r[9], const double z[9],
                 const double hold[9], const double Tx[9], const double Ty[9], const double S[9],
                 const double sigma[9], double E[9][9], double f[9]) {
    const int ne = t.nodes;
    for (int i = 0; i < ne; ++i) {
        f[i] = 0.0;
        for (int j = 0; j < ne; ++j) E[i][j] = 0.0;
    }
    for (int g = 0; g < t.points; ++g) {
        const double w = t.w[g];
        double J11 = 0.0, J12 = 0.0, J21 = 0.0, J22 = 0.0;
        for (int i = 0; i < ne; ++i) J11 = J11 + t.dNdxi[g][i] * r[i];
        for (int i = 0; i < ne; ++i) J12 = J12 + t.dNdxi[g][i] * z[i];
        for (int i = 0; i < ne; ++i) J21 = J21 + t.dNdeta[g][i] * r[i];
        for (int i = 0; i < ne; ++i) J22 = J22 + t.dNdeta[g][i] * z[i];
        const double det = J22 * J11 - J12 * J21;
        double a[9], b[9];
        for (int i = 0; i < ne; ++i) {
            a[i] = t.dNdxi[g][i] * J22 - t.dNdeta[g][i] * J12;
            b[i] = t.dNdeta[g][i] * J11 - t.dNdxi[g][i] * J21;
        }
        double tx = 0.0, ty = 0.0, s = 0.0, sig = 0.0;
        for (int i = 0; i < ne; ++i) tx = tx + t.N[g][i] * Tx[i];
        for (int i = 0; i < ne; ++i) ty = ty + t.N[g][i] * Ty[i];
        for (int i = 0; i < ne; ++i) s = s + t.N[g][i] * S[i];
        for (int i = 0; i < ne; ++i) sig = sig + t.N[g][i] * sigma[i];
        for (int i = 0; i < ne; ++i)
            for (int j = 0; j < ne; ++j) E[i][j] = E[i][j] + (a[i] * a[j] * tx + b[i] * b[j] * ty) * w / det * sig * dt;
        if (!transient) continue;
        for (int i = 0; i < ne; ++i)
            for (int j = 0; j < ne; ++j) {
                const double m = t.N[g][i] * t.N[g][j] * s * det;
                E[i][j] = E[i][j] + w * m;
                f[i] = f[i] + w * m * hold[j];
            }
    }
}

// ASEM into m.BAND and m.RHS, point sources included; returns the pumped volume.
inline double ASEM(const wf::FemState& fs, wf::ModelSet& m, const double* P, int npar) {
    const int NN = fs.NN, B = fs.bandwidth;
    const wf::ShapeTable& t = wf::elementTable(fs);
    const int ne = t.nodes;
    for (int I = 1; I <= NN; ++I) {
        for (int c = 1; c <= B; ++c) m.BAND(I, c) = 0.0;
        m.RHS(I) = 0.0;
    }
    for (int e = 1; e <= fs.NEL; ++e) {
        int node[9];
        double r[9], z[9], hold[9], Tx[9], Ty[9], S[9], sigma[9], E[9][9], f[9];
        for (int i = 0; i < ne; ++i) {
            const int I = m.CON(e, i + 1);
            const int mat = m.MAT(I);
            const double p = P[mat - 1], q = P[mat - 1 + npar / 2];
            node[i] = I;
            r[i] = m.X(I);
            z[i] = m.Y(I);
            hold[i] = m.HOLD(I);
            Tx[i] = r[i] * fs.KX * p;
            Ty[i] = r[i] * fs.KY * p;
            S[i] = r[i] * fs.SS * q;
            sigma[i] = fs.satSwitch == 1 ? m.HOLD(I) - m.BASELEV(I) : 1.0;
        }
        literal::GQEM(t, fs.nsteps != 0, fs.dt, r, z, hold, Tx, Ty, S, sigma, E, f);
        for (int i = 0; i < ne; ++i) {
            for (int j = 0; j < ne; ++j)
                if (node[j] >= node[i]) m.BAND(node[i], node[j] - node[i] + 1) = m.BAND(node[i], node[j] - node[i] + 1) + E[i][j];
            m.RHS(node[i]) = m.RHS(node[i]) + f[i];
        }
    }
    double volume = 0.0;
    for (int k = 1; k <= fs.NSRC; ++k) {
        const int n = m.SRC(k, 1), p = m.SRC(k, 2);
        for (int l = 2; l <= p; ++l) {
            const double t0 = m.PROF(k, l - 1, 1), t1 = m.PROF(k, l, 1);
            if (t0 <= fs.t && fs.t <= t1) {
                double rate = m.PROF(k, l, 2);
                if (fs.t - t0 < fs.dt) rate = rate * ((fs.t - t0) / fs.dt);
                m.RHS(n) = m.RHS(n) + rate * fs.dt;
                volume = volume + rate * fs.dt;
                break;
            }
        }
    }
    return volume;
}

inline void DBCC(const wf::FemState& fs, wf::ModelSet& m) {
    const int NN = fs.NN, B = fs.bandwidth;
    for (int d = 1; d <= fs.NDN; ++d) {
        const int I = m.DNODE(d);
        const double h = m.DHEAD(d);
        for (int k = 1; k <= std::min(B, I) - 1; ++k) {
            const int p = I - k;
            if (h != 0.0) m.RHS(p) = m.RHS(p) - m.BAND(p, k + 1) * h;
            m.BAND(p, k + 1) = 0.0;
        }
        for (int k = 1; k <= std::min(B, NN + 1 - I); ++k) {
            const int J = I + k - 1;
            if (h != 0.0) m.RHS(J) = m.RHS(J) - m.BAND(I, k) * h;
            m.BAND(I, k) = 0.0;
        }
        m.BAND(I, 1) = 1.0;
        m.RHS(I) = h;
    }
}

// One step: ASEM, the prescribed fluxes (the solver's NBCC, which adds to the
// right-hand side only), DBCC, SFAC, SSOL. m.RHS holds the heads afterwards.
inline void step(wf::FemState& fs, wf::ModelSet& m, const double* P, int npar) {
    fs.pumpedVolume += literal::ASEM(fs, m, P, npar);
    if (fs.NNS >= 1) wf::NBCC(fs, m);
    if (fs.NDN >= 1) literal::DBCC(fs, m);
    literal::SFAC(fs.NN, fs.bandwidth, m.BAND.data(), m.BAND.rows());
    literal::SSOL(fs.NN, fs.bandwidth, m.BAND.data(), m.BAND.rows(), m.RHS.data());
}

} // namespace wftest::literal
