// Shape-function and Gauss tables: filled once, on first use, from the
// one-dimensional factors
//   degree 1 on [0,1]:  L1 = 1 - x, L2 = x
//   degree 2 on [-1,1]: Q1 = x(x-1)/2, Q2 = 1 - x^2, Q3 = x(x+1)/2
// at the Gauss-Legendre points of the degree.
#include "fem/shape_tables.h"

#include <cmath>

namespace wf {
namespace {

struct Rule1D {
    int n;
    double x[4];
    double w[4];
};

// Two points on [0,1]: (1 -+ 1/sqrt(3))/2, weights 1/2 each.
Rule1D linearRule() {
    const double d = 1.0 / std::sqrt(3.0);
    return Rule1D{2, {(1.0 - d) / 2.0, (1.0 + d) / 2.0, 0.0, 0.0}, {0.5, 0.5, 0.0, 0.0}};
}

// Four Gauss-Legendre points on [-1,1] in closed form:
// +-sqrt(3/7 -+ 2/7 sqrt(6/5)) = +-0.3399810436, +-0.8611363116 with weights
// (18 +- sqrt(30))/36 = 0.6521451549, 0.3478548451.
Rule1D quadraticRule() {
    const double s65 = std::sqrt(6.0 / 5.0);
    const double inner = std::sqrt(3.0 / 7.0 - 2.0 / 7.0 * s65);
    const double outer = std::sqrt(3.0 / 7.0 + 2.0 / 7.0 * s65);
    const double wi = (18.0 + std::sqrt(30.0)) / 36.0;
    const double wo = (18.0 - std::sqrt(30.0)) / 36.0;
    return Rule1D{4, {-outer, -inner, inner, outer}, {wo, wi, wi, wo}};
}

// Degree-1 factor k (0: L1, 1: L2) and its derivative.
double lin(int k, double x) { return k == 0 ? 1.0 - x : x; }
double dlin(int k) { return k == 0 ? -1.0 : 1.0; }
// Degree-2 factor k (0: Q1, 1: Q2, 2: Q3) and its derivative.
double quad(int k, double x) {
    if (k == 0) return x * (x - 1.0) / 2.0;
    if (k == 1) return 1.0 - x * x;
    return x * (x + 1.0) / 2.0;
}
double dquad(int k, double x) {
    if (k == 0) return x - 0.5;
    if (k == 1) return -2.0 * x;
    return x + 0.5;
}

// Reference positions of the 8- and 9-node elements, local order 1..9.
constexpr int kXi[9] = {-1, 0, 1, 1, 1, 0, -1, -1, 0};
constexpr int kEta[9] = {-1, -1, -1, 0, 1, 1, 1, 0, 0};

ShapeTable makeBilinear() {
    ShapeTable t;
    const Rule1D r = linearRule();
    // factor indices (xi, eta) of nodes 1 (0,0), 2 (1,0), 3 (1,1), 4 (0,1)
    constexpr int fx[4] = {0, 1, 1, 0};
    constexpr int fy[4] = {0, 0, 1, 1};
    t.nodes = 4;
    t.points = r.n * r.n;
    for (int b = 0; b < r.n; ++b)
        for (int a = 0; a < r.n; ++a) {
            const int g = a + b * r.n;
            const double xi = r.x[a], eta = r.x[b];
            t.w[g] = 0.25;
            for (int i = 0; i < 4; ++i) {
                t.N[g][i] = lin(fx[i], xi) * lin(fy[i], eta);
                t.dNdxi[g][i] = dlin(fx[i]) * lin(fy[i], eta);
                t.dNdeta[g][i] = lin(fx[i], xi) * dlin(fy[i]);
            }
        }
    return t;
}

ShapeTable makeBiquadratic() {
    ShapeTable t;
    const Rule1D r = quadraticRule();
    t.nodes = 9;
    t.points = r.n * r.n;
    for (int b = 0; b < r.n; ++b)
        for (int a = 0; a < r.n; ++a) {
            const int g = a + b * r.n;
            const double xi = r.x[a], eta = r.x[b];
            t.w[g] = r.w[a] * r.w[b];
            for (int i = 0; i < 9; ++i) {
                const int kx = kXi[i] + 1, ky = kEta[i] + 1;  // -1 -> Q1, 0 -> Q2, 1 -> Q3
                t.N[g][i] = quad(kx, xi) * quad(ky, eta);
                t.dNdxi[g][i] = dquad(kx, xi) * quad(ky, eta);
                t.dNdeta[g][i] = quad(kx, xi) * dquad(ky, eta);
            }
        }
    return t;
}

ShapeTable makeSerendipity() {
    ShapeTable t;
    const Rule1D r = quadraticRule();
    t.nodes = 8;
    t.points = r.n * r.n;
    for (int b = 0; b < r.n; ++b)
        for (int a = 0; a < r.n; ++a) {
            const int g = a + b * r.n;
            const double x = r.x[a], y = r.x[b];
            t.w[g] = r.w[a] * r.w[b];
            for (int i = 0; i < 8; ++i) {
                const double xi = kXi[i], yi = kEta[i];
                double n, dx, dy;
                if (xi != 0.0 && yi != 0.0) {  // corner
                    const double px = 1.0 + x * xi, py = 1.0 + y * yi, c = x * xi + y * yi - 1.0;
                    n = px * py * c / 4.0;
                    dx = (xi * py * c + px * py * xi) / 4.0;
                    dy = (px * yi * c + px * py * yi) / 4.0;
                } else if (xi == 0.0) {  // mid-side on eta = +-1
                    n = (1.0 - x * x) * (1.0 + y * yi) / 2.0;
                    dx = -2.0 * x * (1.0 + y * yi) / 2.0;
                    dy = (1.0 - x * x) * yi / 2.0;
                } else {  // mid-side on xi = +-1
                    n = (1.0 + x * xi) * (1.0 - y * y) / 2.0;
                    dx = xi * (1.0 - y * y) / 2.0;
                    dy = (1.0 + x * xi) * (-2.0 * y) / 2.0;
                }
                t.N[g][i] = n;
                t.dNdxi[g][i] = dx;
                t.dNdeta[g][i] = dy;
            }
        }
    return t;
}

SideRule makeSide(int degree) {
    SideRule s;
    const Rule1D r = degree == 2 ? quadraticRule() : linearRule();
    s.nodes = degree == 2 ? 3 : 2;
    s.points = r.n;
    for (int g = 0; g < r.n; ++g) {
        s.w[g] = r.w[g];
        for (int j = 0; j < s.nodes; ++j) {
            s.L[g][j] = degree == 2 ? quad(j, r.x[g]) : lin(j, r.x[g]);
            s.dL[g][j] = degree == 2 ? dquad(j, r.x[g]) : dlin(j);
        }
    }
    return s;
}

} // namespace

const ShapeTable& lagrangeTable(int degree) {
    static const ShapeTable bilinear = makeBilinear();
    static const ShapeTable biquadratic = makeBiquadratic();
    return degree == 2 ? biquadratic : bilinear;
}

const ShapeTable& serendipityTable() {
    static const ShapeTable table = makeSerendipity();
    return table;
}

const ShapeTable& elementTable(const FemState& fs) {
    if (fs.family == 'L' || fs.degree != 2) return lagrangeTable(fs.degree);
    return serendipityTable();
}

const SideRule& sideRule(int degree) {
    static const SideRule linear = makeSide(1);
    static const SideRule quadratic = makeSide(2);
    return degree == 2 ? quadratic : linear;
}

int sideLocalNode(int degree, int side, int j) {
    if (degree == 2) {  // 1-2-3, 3-4-5, 5-6-7, 7-8-1
        const int k = 2 * (side - 1) + j;
        return k > 8 ? k - 8 : k;
    }
    const int k = side - 1 + j;  // 1-2, 2-3, 3-4, 4-1
    return k > 4 ? k - 4 : k;
}

} // namespace wf
