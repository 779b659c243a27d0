// Element matrices GQEM and the shape-function tables: the standard bilinear
// Laplace stiffness and consistent mass on the unit square, the scaling
// property, and the properties every element matrix of the three families
// has (symmetry, zero stiffness row sums, mass summing to the integral of the
// storage over the element).
#include <gtest/gtest.h>

#include <cmath>

#include "fem/fem_numerics.h"
#include "fem/shape_tables.h"

namespace {

struct Element {
    double r[9] = {}, z[9] = {}, hold[9] = {}, tx[9] = {}, ty[9] = {}, s[9] = {}, sigma[9] = {};
    double E[9][9] = {}, f[9] = {};
};

wf::FemState state(char family, int nodesPerSide, int nodesPerElement, int nsteps, double dt) {
    wf::FemState fs;
    fs.family = family;
    fs.nodesPerSide = nodesPerSide;
    fs.degree = nodesPerSide - 1;
    fs.gaussPerDir = 2 * fs.degree;
    fs.gaussPoints = fs.gaussPerDir * fs.gaussPerDir;
    fs.nodesPerElement = nodesPerElement;
    fs.nsteps = nsteps;
    fs.dt = dt;
    return fs;
}

void run(const wf::FemState& fs, Element& e) { wf::GQEM(fs, e.r, e.z, e.hold, e.tx, e.ty, e.s, e.sigma, e.E, e.f); }

// Unit square, Tx = Ty = sigma = 1, S = s0 at every node.
Element unitSquare(double s0) {
    Element e;
    const double r[4] = {0, 1, 1, 0}, z[4] = {0, 0, 1, 1}, h[4] = {1.0, 2.0, -3.0, 0.5};
    for (int i = 0; i < 4; ++i) {
        e.r[i] = r[i];
        e.z[i] = z[i];
        e.hold[i] = h[i];
        e.tx[i] = e.ty[i] = e.sigma[i] = 1.0;
        e.s[i] = s0;
    }
    return e;
}

// Reference positions of the 8- and 9-node elements.
constexpr double kXi[9] = {-1, 0, 1, 1, 1, 0, -1, -1, 0};
constexpr double kEta[9] = {-1, -1, -1, 0, 1, 1, 1, 0, 0};

// Straight-sided quadrilateral with corners (r, z) = (2,1), (5,0.5), (6,3), (1.5,2.5),
// mid-side and centre nodes placed by the bilinear map; storage S = r at the
// nodes, so the storage interpolates r exactly.
Element quadraticElement(int nodes) {
    Element e;
    const double cr[4] = {2.0, 5.0, 6.0, 1.5}, cz[4] = {1.0, 0.5, 3.0, 2.5};
    for (int i = 0; i < nodes; ++i) {
        const double a = (1 + kXi[i]) / 2, b = (1 + kEta[i]) / 2;
        const double w[4] = {(1 - a) * (1 - b), a * (1 - b), a * b, (1 - a) * b};
        for (int k = 0; k < 4; ++k) {
            e.r[i] += w[k] * cr[k];
            e.z[i] += w[k] * cz[k];
        }
        e.tx[i] = 2.0 * e.r[i];
        e.ty[i] = 0.5 * e.r[i];
        e.s[i] = e.r[i];
        e.sigma[i] = 1.0;
        e.hold[i] = 10.0 + i;
    }
    return e;
}

// Integral of r over the polygon (first moment about the z axis).
double integralOfR(const double* r, const double* z, int n) {
    double m = 0.0;
    for (int i = 0; i < n; ++i) {
        const int j = (i + 1) % n;
        const double cross = r[i] * z[j] - r[j] * z[i];
        m += cross * (r[i] + r[j]);
    }
    return m / 6.0;
}

TEST(ElementMatrices, UnitSquareGivesBilinearLaplaceStiffness) {
    Element e = unitSquare(0.0);
    run(state('L', 2, 4, 0, 1.0), e);
    const double expected[4][4] = {{2.0 / 3, -1.0 / 6, -1.0 / 3, -1.0 / 6},
                                   {-1.0 / 6, 2.0 / 3, -1.0 / 6, -1.0 / 3},
                                   {-1.0 / 3, -1.0 / 6, 2.0 / 3, -1.0 / 6},
                                   {-1.0 / 6, -1.0 / 3, -1.0 / 6, 2.0 / 3}};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(e.f[i], 0.0);
        for (int j = 0; j < 4; ++j) EXPECT_NEAR(e.E[i][j], expected[i][j], 1e-15) << i << "," << j;
    }
}

TEST(ElementMatrices, UnitSquareTransientAddsConsistentMass) {
    Element lap = unitSquare(0.0);
    run(state('L', 2, 4, 0, 1.0), lap);
    Element e = unitSquare(1.0);
    run(state('L', 2, 4, 5, 1.0), e);
    const double mass[4][4] = {{1.0 / 9, 1.0 / 18, 1.0 / 36, 1.0 / 18},
                               {1.0 / 18, 1.0 / 9, 1.0 / 18, 1.0 / 36},
                               {1.0 / 36, 1.0 / 18, 1.0 / 9, 1.0 / 18},
                               {1.0 / 18, 1.0 / 36, 1.0 / 18, 1.0 / 9}};
    for (int i = 0; i < 4; ++i) {
        double fi = 0.0;
        for (int j = 0; j < 4; ++j) {
            EXPECT_NEAR(e.E[i][j] - lap.E[i][j], mass[i][j], 1e-15);
            fi += mass[i][j] * e.hold[j];
        }
        EXPECT_NEAR(e.f[i], fi, 1e-15);
    }
}

// No storage when the problem has no time steps, whatever S holds; dt scales
// the conductance part only.
TEST(ElementMatrices, TimeIndependentProblemHasNoStorage) {
    Element e1 = unitSquare(7.0), e2 = unitSquare(0.0);
    run(state('L', 2, 4, 0, 2.5), e1);
    run(state('L', 2, 4, 3, 1.0), e2);  // S = 0: conductance only, dt 1
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(e1.f[i], 0.0);
        for (int j = 0; j < 4; ++j) EXPECT_NEAR(e1.E[i][j], 2.5 * e2.E[i][j], 1e-15);
    }
}

TEST(ElementMatrices, ScalingConductivitiesAndStorageScalesEverything) {
    for (int nodes : {4, 8, 9}) {
        const wf::FemState fs = nodes == 4 ? state('L', 2, 4, 1, 30.0) : state(nodes == 8 ? 'S' : 'L', 3, nodes, 1, 30.0);
        Element a = quadraticElement(nodes == 4 ? 9 : nodes);
        if (nodes == 4) {  // corners only, in the bilinear order
            const int corner[4] = {0, 2, 4, 6};
            Element c;
            for (int i = 0; i < 4; ++i) {
                c.r[i] = a.r[corner[i]];
                c.z[i] = a.z[corner[i]];
                c.tx[i] = a.tx[corner[i]];
                c.ty[i] = a.ty[corner[i]];
                c.s[i] = a.s[corner[i]];
                c.sigma[i] = 1.0;
                c.hold[i] = a.hold[corner[i]];
            }
            a = c;
        }
        Element b = a;
        for (int i = 0; i < 9; ++i) {
            b.tx[i] *= 3.7;
            b.ty[i] *= 3.7;
            b.s[i] *= 3.7;
        }
        run(fs, a);
        run(fs, b);
        for (int i = 0; i < nodes; ++i) {
            EXPECT_NEAR(b.f[i], 3.7 * a.f[i], 1e-12 * std::fabs(a.f[i]));
            for (int j = 0; j < nodes; ++j)
                EXPECT_NEAR(b.E[i][j], 3.7 * a.E[i][j], 1e-12 * std::fabs(a.E[i][i])) << nodes;
        }
    }
}

// Symmetric stiffness with zero row sums (a uniform head drives no flow) and
// storage entries that sum to the integral of S = r over the element.
TEST(ElementMatrices, QuadraticElementsAreSymmetricConservativeAndIntegrateStorage) {
    for (int nodes : {8, 9}) {
        Element k = quadraticElement(nodes), e = quadraticElement(nodes);
        run(state(nodes == 8 ? 'S' : 'L', 3, nodes, 0, 1.0), k);
        run(state(nodes == 8 ? 'S' : 'L', 3, nodes, 1, 1.0), e);
        const double cr[4] = {e.r[0], e.r[2], e.r[4], e.r[6]}, cz[4] = {e.z[0], e.z[2], e.z[4], e.z[6]};
        double massSum = 0.0;
        for (int i = 0; i < nodes; ++i) {
            double rowSum = 0.0;
            for (int j = 0; j < nodes; ++j) {
                EXPECT_NEAR(k.E[i][j], k.E[j][i], 1e-13 * k.E[i][i]);
                rowSum += k.E[i][j];
                massSum += e.E[i][j] - k.E[i][j];
            }
            EXPECT_NEAR(rowSum, 0.0, 1e-12 * k.E[i][i]) << nodes << " row " << i;
            EXPECT_GT(k.E[i][i], 0.0);
        }
        EXPECT_NEAR(massSum, integralOfR(cr, cz, 4), 1e-12 * massSum) << nodes;
    }
}

// Bilinear element: same properties on a distorted quadrilateral, and the
// mass sums to the integral of r.
TEST(ElementMatrices, BilinearElementIsSymmetricConservativeAndIntegratesStorage) {
    Element k, e;
    const double r[4] = {0.1, 0.9, 1.3, 0.2}, z[4] = {0.0, 0.1, 1.0, 0.7};
    for (Element* x : {&k, &e})
        for (int i = 0; i < 4; ++i) {
            x->r[i] = r[i];
            x->z[i] = z[i];
            x->tx[i] = 3.0 * r[i];
            x->ty[i] = r[i];
            x->s[i] = r[i];
            x->sigma[i] = 1.0;
        }
    run(state('L', 2, 4, 0, 1.0), k);
    run(state('L', 2, 4, 1, 1.0), e);
    double massSum = 0.0;
    for (int i = 0; i < 4; ++i) {
        double rowSum = 0.0;
        for (int j = 0; j < 4; ++j) {
            EXPECT_NEAR(k.E[i][j], k.E[j][i], 1e-14);
            rowSum += k.E[i][j];
            massSum += e.E[i][j] - k.E[i][j];
        }
        EXPECT_NEAR(rowSum, 0.0, 1e-14);
    }
    EXPECT_NEAR(massSum, integralOfR(r, z, 4), 1e-14);
}

// The tables hold the shape functions at the tabulated Gauss points: they form
// a partition of unity, the weights integrate the reference square, and the
// points are those of the Gauss-Legendre rules.
TEST(ShapeTables, TablesMatchTheGaussRulesAndFormulas) {
    const double d = (1.0 - 1.0 / std::sqrt(3.0)) / 2.0;
    const wf::ShapeTable& lin = wf::lagrangeTable(1);
    EXPECT_EQ(lin.points, 4);
    // point 2 = (xi_2, eta_1): N1 = L1(xi2) L1(eta1) = d (1 - d)
    EXPECT_DOUBLE_EQ(lin.N[1][0], d * (1.0 - d));
    EXPECT_DOUBLE_EQ(lin.N[1][1], (1.0 - d) * (1.0 - d));
    EXPECT_DOUBLE_EQ(lin.dNdxi[1][2], 1.0 - (1.0 - d));
    for (const wf::ShapeTable* t : {&lin, &wf::lagrangeTable(2), &wf::serendipityTable()}) {
        double wsum = 0.0;
        for (int g = 0; g < t->points; ++g) {
            double n = 0.0, dx = 0.0, dy = 0.0;
            for (int i = 0; i < t->nodes; ++i) {
                n += t->N[g][i];
                dx += t->dNdxi[g][i];
                dy += t->dNdeta[g][i];
            }
            EXPECT_NEAR(n, 1.0, 1e-15);
            EXPECT_NEAR(dx, 0.0, 1e-15);
            EXPECT_NEAR(dy, 0.0, 1e-15);
            wsum += t->w[g];
        }
        EXPECT_NEAR(wsum, t->nodes == 4 ? 1.0 : 4.0, 1e-15);
    }
    const wf::ShapeTable& q = wf::lagrangeTable(2);
    // point 6 = (xi_2, eta_2) = (-0.3399810436, -0.3399810436), weight 0.6521451549^2
    EXPECT_NEAR(q.w[5], 0.4252933030, 1e-10);
    EXPECT_NEAR(q.w[0], 0.1210029933, 1e-10);
    EXPECT_NEAR(q.w[1], 0.2268518519, 1e-10);
    const double x = -0.3399810436;
    EXPECT_NEAR(q.N[5][8], (1 - x * x) * (1 - x * x), 1e-9);  // centre node Q2 Q2
    const wf::ShapeTable& s = wf::serendipityTable();
    // corner 5 at (1,1): (1+x)(1+x)(2x-1)/4
    EXPECT_NEAR(s.N[5][4], (1 + x) * (1 + x) * (2 * x - 1) / 4, 1e-9);
    EXPECT_EQ(&wf::elementTable(state('S', 2, 4, 0, 1.0)), &lin);
}

} // namespace
