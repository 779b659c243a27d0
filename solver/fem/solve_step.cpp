// One implicit step of the flow model. With the saturated-thickness switch on
// the conductances follow the heads, so the step is assembled afresh (ASEM,
// AEBC) and factorised. Otherwise the run's conductance and storage bands are
// built once and each step forms dt K + M; an exactly repeated dt reuses the
// factor of the previous step, and only the right-hand side
//   M h_old + dt (point sources) + dt (prescribed fluxes) - prescribed-head couplings
// is formed anew.
#include "fem/asem_parts.h"
#include "fem/band_core.h"
#include "fem/boundary_parts.h"
#include "fem/element_integrals.h"
#include "fem/fem_numerics.h"

#include <algorithm>
#include <bit>
#include <cstddef>
#include <cstdint>

namespace wf {
namespace {

bool sameRun(const AssemblyCache& c, const FemState& fs, const double* P, int npar) {
    if (c.NN != fs.NN || c.bandwidth != fs.bandwidth || c.NEL != fs.NEL || c.nodesPerElement != fs.nodesPerElement ||
        c.degree != fs.degree || c.nsteps != fs.nsteps || c.family != fs.family || c.KX != fs.KX || c.KY != fs.KY ||
        c.SS != fs.SS || static_cast<int>(c.P.size()) != npar)
        return false;
    return std::equal(c.P.begin(), c.P.end(), P);
}

// Conductance and storage bands of the whole mesh for the run.
void buildRunBands(AssemblyCache& c, const FemState& fs, const ModelSet& m, const double* P, int npar) {
    c.NN = fs.NN;
    c.bandwidth = fs.bandwidth;
    c.NEL = fs.NEL;
    c.nodesPerElement = fs.nodesPerElement;
    c.degree = fs.degree;
    c.nsteps = fs.nsteps;
    c.family = fs.family;
    c.KX = fs.KX;
    c.KY = fs.KY;
    c.SS = fs.SS;
    c.P.assign(P, P + npar);
    c.ld = bandRowStride(fs.bandwidth);
    const std::size_t size = static_cast<std::size_t>(fs.NN) * c.ld;
    c.K.assign(size, 0.0);
    c.M.assign(size, 0.0);
    c.factor.assign(size, 0.0);
    c.factorValid = false;
    c.dirichletRhs.clear();

    const ShapeTable& table = elementTable(fs);
    const int ne = table.nodes;
    const bool transient = fs.nsteps != 0;
    int nodes[9];
    double r[9], z[9], hold[9], tx[9], ty[9], s[9], sigma[9], Ke[9][9], Me[9][9];
    for (int e = 1; e <= fs.NEL; ++e) {
        elementNodalValues(fs, m, e, P, npar, ne, nodes, r, z, hold, tx, ty, s, sigma);
        elementConductanceStorage(table, r, z, tx, ty, s, sigma, transient, Ke, Me);
        for (int i = 0; i < ne; ++i)
            for (int j = 0; j < ne; ++j) {
                const int I = nodes[i], J = nodes[j];
                if (J < I) continue;
                const std::size_t at = static_cast<std::size_t>(I - 1) * c.ld + (J - I);
                c.K[at] += Ke[i][j];
                c.M[at] += Me[i][j];
            }
    }
    c.valid = true;
}

// R = M h for the symmetric band M stored by upper rows.
void storageTimesHeads(const AssemblyCache& c, const double* h, double* R) {
    const int NN = c.NN, B = c.bandwidth, ld = c.ld;
    std::fill(R, R + NN, 0.0);
    for (int p = 0; p < NN; ++p) {
        const double* row = c.M.data() + static_cast<std::size_t>(p) * ld;
        const int J = std::min(B, NN - p);
        double s = row[0] * h[p];
        for (int k = 1; k < J; ++k) {
            s += row[k] * h[p + k];
            R[p + k] += row[k] * h[p];
        }
        R[p] += s;
    }
}

int straightforwardStep(FemState& fs, ModelSet& m, const double* P, int npar) {
    ASEM(fs, m, P, npar);
    AEBC(fs, m);
    const int bad = SFAC(fs.NN, fs.bandwidth, m.BAND.data(), m.BAND.rows());
    if (bad != 0) return bad;
    SSOL(fs.NN, fs.bandwidth, m.BAND.data(), m.BAND.rows(), m.RHS.data());
    return 0;
}

} // namespace

int solveStep(FemState& fs, ModelSet& m, const double* P, int npar) {
    if (fs.NN < 1) return 0;
    if (fs.satSwitch == 1) return straightforwardStep(fs, m, P, npar);

    AssemblyCache& c = fs.cache;
    if (!c.valid || !sameRun(c, fs, P, npar)) buildRunBands(c, fs, m, P, npar);
    const int NN = fs.NN, B = fs.bandwidth, ld = c.ld;

    double* R = m.RHS.data();
    if (fs.nsteps != 0)
        storageTimesHeads(c, m.HOLD.data(), R);
    else
        std::fill(R, R + NN, 0.0);
    fs.pumpedVolume += addPointSources(fs, m);
    if (fs.NNS >= 1) NBCC(fs, m);

    if (!c.factorValid || std::bit_cast<std::uint64_t>(c.factorDt) != std::bit_cast<std::uint64_t>(fs.dt)) {
        const double dt = fs.dt;
        for (int p = 0; p < NN; ++p) {
            const std::size_t base = static_cast<std::size_t>(p) * ld;
            for (int k = 0; k < B; ++k) c.factor[base + k] = dt * c.K[base + k] + c.M[base + k];
            for (int k = B; k < ld; ++k) c.factor[base + k] = 0.0;
        }
        c.dirichletRhs.clear();
        if (fs.NDN >= 1) applyDirichlet(fs, m, c.factor.data(), ld, 1, R, &c.dirichletRhs);
        c.factorStatus = factorBandRows(NN, B, c.factor.data(), ld);
        c.factorDt = dt;
        c.factorValid = true;
    } else {
        replayDirichletRhs(c.dirichletRhs, R);
    }
    if (c.factorStatus != 0) return c.factorStatus;
    solveBandRows(NN, B, c.factor.data(), ld, R);
    return 0;
}

} // namespace wf
