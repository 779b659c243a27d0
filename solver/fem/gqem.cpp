// Element matrix of the radial flow equation by Gauss quadrature:
//   E(i,j) = sum_g [(a_i a_j Tx + b_i b_j Ty) w / det * sigma * dt + w N_i N_j S det]
//   f(i)   = sum_g sum_j w N_i N_j S det h_old(j)
// with a_i, b_i the derivatives of N_i along r and z times det(J).
// Conductivities and storage carry the radial factor r already (nodal values).
#include "fem/element_integrals.h"
#include "fem/fem_numerics.h"

namespace wf {
namespace {

// Jacobian determinant and the scaled derivatives a_i, b_i at point g.
double jacobian(const ShapeTable& t, int g, const double r[9], const double z[9], double a[9], double b[9]) {
    const int n = t.nodes;
    double j11 = 0.0, j12 = 0.0, j21 = 0.0, j22 = 0.0;
    for (int i = 0; i < n; ++i) {
        j11 += t.dNdxi[g][i] * r[i];
        j12 += t.dNdxi[g][i] * z[i];
        j21 += t.dNdeta[g][i] * r[i];
        j22 += t.dNdeta[g][i] * z[i];
    }
    for (int i = 0; i < n; ++i) {
        a[i] = t.dNdxi[g][i] * j22 - t.dNdeta[g][i] * j12;
        b[i] = t.dNdeta[g][i] * j11 - t.dNdxi[g][i] * j21;
    }
    return j22 * j11 - j12 * j21;
}

double interpolate(const ShapeTable& t, int g, const double v[9]) {
    double x = 0.0;
    for (int i = 0; i < t.nodes; ++i) x += t.N[g][i] * v[i];
    return x;
}

// The integrand of Gauss point g: the conductance terms C (before the
// multiplication by the time increment) and, for a time-dependent problem,
// the storage terms M (0 otherwise).
void gaussPointTerms(const ShapeTable& t, int g, const double r[9], const double z[9], const double tx[9],
                     const double ty[9], const double s[9], const double sigma[9], bool transient, double C[9][9],
                     double M[9][9]) {
    const int n = t.nodes;
    double a[9], b[9];
    const double w = t.w[g];
    const double det = jacobian(t, g, r, z, a, b);
    const double txg = interpolate(t, g, tx), tyg = interpolate(t, g, ty);
    const double sg = interpolate(t, g, s), sig = interpolate(t, g, sigma);
    for (int i = 0; i < n; ++i)
        for (int j = 0; j < n; ++j) {
            C[i][j] = (a[i] * a[j] * txg + b[i] * b[j] * tyg) * w / det * sig;
            M[i][j] = transient ? w * (t.N[g][i] * t.N[g][j] * sg * det) : 0.0;
        }
}

} // namespace

void GQEM(const FemState& fs, const double r[9], const double z[9], const double hold[9], const double tx[9],
          const double ty[9], const double s[9], const double sigma[9], double E[9][9], double f[9]) {
    const ShapeTable& t = elementTable(fs);
    const int n = t.nodes;
    const bool transient = fs.nsteps != 0;
    for (int i = 0; i < 9; ++i) {
        f[i] = 0.0;
        for (int j = 0; j < 9; ++j) E[i][j] = 0.0;
    }
    double C[9][9], M[9][9];
    for (int g = 0; g < t.points; ++g) {
        gaussPointTerms(t, g, r, z, tx, ty, s, sigma, transient, C, M);
        for (int i = 0; i < n; ++i)
            for (int j = 0; j < n; ++j) E[i][j] += C[i][j] * fs.dt;
        if (!transient) continue;  // time-independent problem: no storage
        for (int i = 0; i < n; ++i)
            for (int j = 0; j < n; ++j) {
                E[i][j] += M[i][j];
                f[i] += M[i][j] * hold[j];
            }
    }
}

void elementGaussTerms(const ShapeTable& t, const double r[9], const double z[9], const double tx[9],
                       const double ty[9], const double s[9], const double sigma[9], bool transient,
                       double C[16][9][9], double M[16][9][9]) {
    for (int g = 0; g < t.points; ++g) gaussPointTerms(t, g, r, z, tx, ty, s, sigma, transient, C[g], M[g]);
}

} // namespace wf
