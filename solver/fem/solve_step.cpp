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

bool sameRun(const AssemblyCache& c, const FemState& fs, const ModelSet& m, const double* P, int npar) {
    if (c.NN != fs.NN || c.bandwidth != fs.bandwidth || c.NEL != fs.NEL || c.nodesPerElement != fs.nodesPerElement ||
        c.degree != fs.degree || c.nsteps != fs.nsteps || c.family != fs.family || c.KX != fs.KX || c.KY != fs.KY ||
        c.SS != fs.SS || static_cast<int>(c.P.size()) != npar || c.NDN != std::max(fs.NDN, 0))
        return false;
    for (int d = 0; d < c.NDN; ++d)
        if (c.dirichletNodes[d] != m.DNODE(d + 1) ||
            std::bit_cast<std::uint64_t>(c.dirichletHeads[d]) != std::bit_cast<std::uint64_t>(m.DHEAD(d + 1)))
            return false;
    return std::equal(c.P.begin(), c.P.end(), P);
}

// The prescribed heads on the run's bands: KD and MD are K and M with the
// prescribed nodes' rows and columns cleared (unit diagonal of the step
// matrix carried by MD), and the right-hand-side operations of DBCC are
// recorded with the couplings they remove. Their positions are found by
// applying the prescribed heads to a band of position numbers.
void prepareDirichlet(AssemblyCache& c, const FemState& fs, const ModelSet& m, const BandBuffer& K) {
    const int NN = fs.NN, ld = c.ld;
    const std::size_t size = static_cast<std::size_t>(NN) * ld;
    c.NDN = std::max(fs.NDN, 0);
    c.dirichletNodes.resize(c.NDN);
    c.dirichletHeads.resize(c.NDN);
    for (int d = 0; d < c.NDN; ++d) {
        c.dirichletNodes[d] = m.DNODE(d + 1);
        c.dirichletHeads[d] = m.DHEAD(d + 1);
    }
    c.KD = K;
    c.MD = c.M;
    c.dirichletOps.clear();
    if (c.NDN < 1) return;
    std::vector<double> scratch(NN, 0.0);
    applyDirichlet(fs, m, c.KD.data(), ld, 1, scratch.data(), nullptr);
    applyDirichlet(fs, m, c.MD.data(), ld, 1, scratch.data(), nullptr);
    for (int d = 0; d < c.NDN; ++d) {
        const int I = c.dirichletNodes[d];
        if (I >= 1 && I <= NN) c.KD[static_cast<std::size_t>(I - 1) * ld] = 0.0;
    }
    std::vector<double> position(size);
    for (std::size_t at = 0; at < size; ++at) position[at] = static_cast<double>(at + 1);
    std::vector<DirichletRhsOp> log;
    applyDirichlet(fs, m, position.data(), ld, 1, scratch.data(), &log);
    for (const DirichletRhsOp& op : log) {
        if (op.set) {
            c.dirichletOps.push_back({op.row - 1, true, 0.0, 0.0, op.h});
        } else if (op.coef != 0.0) {  // a coupling already cleared by an earlier node removes nothing
            const std::size_t at = static_cast<std::size_t>(op.coef) - 1;
            c.dirichletOps.push_back({op.row - 1, false, K[at], c.M[at], op.h});
        }
    }
}

// Element by element assembly of the conductance and storage bands for the
// multipliers P (row-wise, stride ld, upper half).
void assembleBands(const FemState& fs, const ModelSet& m, const double* P, int npar, int ld, double* K, double* M) {
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
                const std::size_t at = static_cast<std::size_t>(I - 1) * ld + (J - I);
                K[at] += Ke[i][j];
                M[at] += Me[i][j];
            }
    }
}

bool materialBandsFit(const MaterialBands& b, const FemState& fs, const ModelSet& m, int npar, int ld) {
    if (!b.valid || b.NN != fs.NN || b.bandwidth != fs.bandwidth || b.NEL != fs.NEL ||
        b.nodesPerElement != fs.nodesPerElement || b.degree != fs.degree || b.nsteps != fs.nsteps || b.npar != npar ||
        b.ld != ld || b.family != fs.family || b.KX != fs.KX || b.KY != fs.KY || b.SS != fs.SS)
        return false;
    for (int n = 1; n <= fs.NN; ++n)
        if (b.X[n - 1] != m.X(n) || b.Y[n - 1] != m.Y(n) || b.MAT[n - 1] != m.MAT(n)) return false;
    const int ne = elementTable(fs).nodes;
    for (int e = 1; e <= fs.NEL; ++e)
        for (int i = 1; i <= ne; ++i)
            if (b.CON[static_cast<std::size_t>(e - 1) * ne + (i - 1)] != m.CON(e, i)) return false;
    return true;
}

// The per-material bands of the mesh; left invalid (the run then assembles
// element by element) when a node's material has no multiplier pair.
void buildMaterialBands(MaterialBands& b, const FemState& fs, const ModelSet& m, int npar, int ld) {
    b = MaterialBands{};
    const int half = npar / 2;
    const int ne = elementTable(fs).nodes;
    for (int n = 1; n <= fs.NN; ++n)
        if (m.MAT(n) < 1 || m.MAT(n) > half) return;
    b.NN = fs.NN;
    b.bandwidth = fs.bandwidth;
    b.NEL = fs.NEL;
    b.nodesPerElement = fs.nodesPerElement;
    b.degree = fs.degree;
    b.nsteps = fs.nsteps;
    b.npar = npar;
    b.ld = ld;
    b.family = fs.family;
    b.KX = fs.KX;
    b.KY = fs.KY;
    b.SS = fs.SS;
    for (int n = 1; n <= fs.NN; ++n) {
        b.X.push_back(m.X(n));
        b.Y.push_back(m.Y(n));
        b.MAT.push_back(m.MAT(n));
    }
    for (int e = 1; e <= fs.NEL; ++e)
        for (int i = 1; i <= ne; ++i) b.CON.push_back(m.CON(e, i));
    const std::size_t size = static_cast<std::size_t>(fs.NN) * ld;
    b.K.resize(half);
    b.M.resize(half);
    std::vector<double> unit(npar, 0.0);
    for (int t = 0; t < half; ++t) {
        b.K[t].assign(size, 0.0);
        b.M[t].assign(size, 0.0);
        std::fill(unit.begin(), unit.end(), 0.0);
        unit[t] = unit[t + half] = 1.0;
        assembleBands(fs, m, unit.data(), npar, ld, b.K[t].data(), b.M[t].data());
    }
    b.valid = true;
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
    BandBuffer K;
    K.assign(size, 0.0);
    c.M.assign(size, 0.0);
    c.factor.assign(size, 0.0);
    c.heads.assign(fullRowHeadsSize(fs.NN, fs.bandwidth), 0.0);
    c.factorValid = false;

    if (!materialBandsFit(c.materials, fs, m, npar, c.ld)) buildMaterialBands(c.materials, fs, m, npar, c.ld);
    const MaterialBands& mb = c.materials;
    const int half = npar / 2;
    if (mb.valid) {
        for (int t = 0; t < half; ++t) {
            const double p = P[t], q = P[t + half];
            const double* Kt = mb.K[t].data();
            const double* Mt = mb.M[t].data();
            for (std::size_t at = 0; at < size; ++at) {
                K[at] += p * Kt[at];
                c.M[at] += q * Mt[at];
            }
        }
    } else {
        assembleBands(fs, m, P, npar, c.ld, K.data(), c.M.data());
    }
    prepareDirichlet(c, fs, m, K);
    fullSymmetricRows(fs.NN, fs.bandwidth, c.M.data(), c.ld, c.MF);
    c.valid = true;
}

// R = M h for the symmetric band M of the run.
void storageTimesHeads(AssemblyCache& c, const double* hold, double* R) {
    std::copy(hold, hold + c.NN, c.heads.data() + fullRowOffset(c.bandwidth));
    fullSymmetricTimes(c.NN, c.bandwidth, c.MF.data(), c.heads.data(), R);
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
    if (!c.valid || !sameRun(c, fs, m, P, npar)) buildRunBands(c, fs, m, P, npar);
    const int NN = fs.NN, B = fs.bandwidth, ld = c.ld;
    const double dt = fs.dt;

    double* R = m.RHS.data();
    if (fs.nsteps != 0)
        storageTimesHeads(c, m.HOLD.data(), R);
    else
        std::fill(R, R + NN, 0.0);
    fs.pumpedVolume += addPointSources(fs, m);
    if (fs.NNS >= 1) NBCC(fs, m);
    for (const DirichletStepOp& op : c.dirichletOps) {
        if (op.set)
            R[op.row] = op.h;
        else
            R[op.row] -= (dt * op.k + op.m) * op.h;
    }

    if (!c.factorValid || std::bit_cast<std::uint64_t>(c.factorDt) != std::bit_cast<std::uint64_t>(dt)) {
        c.factorStatus = factorSolveBandRowsOf(NN, B, dt, c.KD.data(), c.MD.data(), c.factor.data(), ld, R);
        c.factorDt = dt;
        c.factorValid = true;
        return c.factorStatus;
    }
    if (c.factorStatus != 0) return c.factorStatus;
    solveBandRows(NN, B, c.factor.data(), ld, R);
    return 0;
}

} // namespace wf
