// Shape functions and Gauss rules of the element families, tabulated once at
// the Gauss points so that no shape function is evaluated during a run.
#pragma once

#include "base/fem_state.h"

namespace wf {

// Values of N_i, dN_i/dxi and dN_i/deta at every Gauss point of an element
// (point index g first, xi varying fastest), with the point weights.
struct ShapeTable {
    int nodes = 0;   // nodes per element (4, 8 or 9)
    int points = 0;  // Gauss points per element (4 or 16)
    double w[16] = {};
    double N[16][9] = {};
    double dNdxi[16][9] = {};
    double dNdeta[16][9] = {};
};

// One-dimensional rule of an element side: factors L_j and dL_j/ds at the
// side's Gauss points, with the weights.
struct SideRule {
    int nodes = 0;   // nodes per side (2 or 3)
    int points = 0;  // Gauss points (2 or 4)
    double w[4] = {};
    double L[4][3] = {};
    double dL[4][3] = {};
};

// 4-node bilinear element on [0,1]^2 (degree 1) or 9-node biquadratic element
// on [-1,1]^2 (degree 2).
const ShapeTable& lagrangeTable(int degree);
// 8-node quadratic serendipity element on [-1,1]^2.
const ShapeTable& serendipityTable();
// The table of the run's element: family 'L' or linear sides take the
// Lagrange table of the degree, any other family letter the serendipity table.
const ShapeTable& elementTable(const FemState& fs);
// Side rule of degree 1 ([0,1], 2 points) or 2 ([-1,1], 4 points).
const SideRule& sideRule(int degree);
// Local node (1-based) of position j (1-based) of element side s (1..4),
// counter-clockwise in the direction of travel.
int sideLocalNode(int degree, int side, int j);

} // namespace wf
