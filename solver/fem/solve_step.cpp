// One implicit step of the flow model. With the saturated-thickness switch on
// the conductances follow the heads, so the step is ASEM, AEBC, SFAC and SSOL
// as they stand. Otherwise the Gauss-point terms of every element are formed
// once per run (assembly_cache.h) and each step repeats exactly the rest of
// GQEM's arithmetic and ASEM's scatter:
//   E(i,j) = 0, then per Gauss point E += C_g(i,j) dt and E += Ms_g(i,j),
//   f(i) = 0, then per Gauss point and node j f(i) += Ms_g(i,j) h_old(j),
// added in element order to a zeroed band and right-hand side; then the point
// sources, NBCC, DBCC, the factorisation with the forward substitution, and
// the back substitution, all on the row-wise band of band_core.h. Every
// number is the double the plain step computes. An exactly repeated dt (same
// prescribed heads) gives the same matrix: its factor is reused, and the
// matrix is assembled again only for the prescribed heads' right-hand side.
#include "fem/asem_parts.h"
#include "fem/band_core.h"
#include "fem/boundary_parts.h"
#include "fem/element_integrals.h"
#include "fem/fem_numerics.h"

#include <algorithm>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <utility>
#include <vector>

#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC optimize("O3", "fp-contract=off")
// Four-lane values never cross a call (the helpers are always inlined).
#pragma GCC diagnostic ignored "-Wpsabi"
#endif
#if defined(__clang__)
#pragma clang fp contract(off)
#pragma clang diagnostic ignored "-Wpsabi"
#endif
#if defined(__GNUC__) || defined(__clang__)
#define WF_ALWAYS_INLINE __attribute__((always_inline)) inline
#else
#define WF_ALWAYS_INLINE inline
#endif
// x86-64: the step's loops also in an AVX2 variant chosen at run time.
#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
#define WF_STEP_AVX2 1
#endif

namespace wf {
namespace {

typedef double Lanes __attribute__((vector_size(4 * sizeof(double))));

WF_ALWAYS_INLINE Lanes loadLanes(const double* p) {
    Lanes v;
    std::memcpy(&v, p, sizeof v);
    return v;
}
WF_ALWAYS_INLINE void storeLanes(double* p, Lanes v) { std::memcpy(p, &v, sizeof v); }
WF_ALWAYS_INLINE Lanes splat(double x) { return Lanes{x, x, x, x}; }

bool sameBits(double a, double b) { return std::bit_cast<std::uint64_t>(a) == std::bit_cast<std::uint64_t>(b); }

bool sameRun(const AssemblyCache& c, const FemState& fs, const double* P, int npar) {
    if (c.NN != fs.NN || c.bandwidth != fs.bandwidth || c.NEL != fs.NEL || c.nodesPerElement != fs.nodesPerElement ||
        c.degree != fs.degree || c.nsteps != fs.nsteps || c.family != fs.family || !sameBits(c.KX, fs.KX) ||
        !sameBits(c.KY, fs.KY) || !sameBits(c.SS, fs.SS) || static_cast<int>(c.P.size()) != npar)
        return false;
    for (int k = 0; k < npar; ++k)
        if (!sameBits(c.P[k], P[k])) return false;
    return true;
}

// The Gauss-point terms of every element for the run's multipliers.
void buildRunIntegrals(AssemblyCache& c, const FemState& fs, const ModelSet& m, const double* P, int npar) {
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
    c.band.assign(static_cast<std::size_t>(fs.NN) * c.ld, 0.0);
    c.factorValid = false;

    const ShapeTable& table = elementTable(fs);
    const int ne = table.nodes, G = table.points;
    const bool transient = fs.nsteps != 0;
    c.points = G;
    c.elementNodes = ne;
    int nodes[9];
    double r[9], z[9], hold[9], tx[9], ty[9], s[9], sigma[9];
    static thread_local double C[16][9][9], M[16][9][9];

    // Pairs of each element, in element order.
    c.bandAt.clear();
    c.nodes.assign(static_cast<std::size_t>(fs.NEL) * ne, 0);
    for (int e = 1; e <= fs.NEL; ++e)
        for (int i = 0; i < ne; ++i) {
            const int I = m.CON(e, i + 1);
            c.nodes[static_cast<std::size_t>(e - 1) * ne + i] = I - 1;
        }
    for (int e = 0; e < fs.NEL; ++e)
        for (int i = 0; i < ne; ++i)
            for (int j = 0; j < ne; ++j) {
                const int I = c.nodes[static_cast<std::size_t>(e) * ne + i];
                const int J = c.nodes[static_cast<std::size_t>(e) * ne + j];
                if (J >= I) c.bandAt.push_back(I * c.ld + (J - I));
            }
    const int P2 = static_cast<int>(c.bandAt.size());
    const int P4 = (P2 + 3) / 4 * 4;
    const int NEP = (ne + 3) / 4 * 4;
    c.entries = P2;
    c.terms.assign(static_cast<std::size_t>(P4) * G * 2, 0.0);
    c.storageFull.assign(transient ? static_cast<std::size_t>(fs.NEL) * G * ne * NEP : 0, 0.0);
    c.E.assign(P4, 0.0);

    int p = 0;
    for (int e = 1; e <= fs.NEL; ++e) {
        elementNodalValues(fs, m, e, P, npar, ne, nodes, r, z, hold, tx, ty, s, sigma);
        elementGaussTerms(table, r, z, tx, ty, s, sigma, transient, C, M);
        for (int i = 0; i < ne; ++i)
            for (int j = 0; j < ne; ++j) {
                if (nodes[j] < nodes[i]) continue;
                for (int g = 0; g < G; ++g) {
                    const std::size_t at = (static_cast<std::size_t>(p / 4) * G + g) * 8 + p % 4;
                    c.terms[at] = C[g][i][j];
                    c.terms[at + 4] = M[g][i][j];
                }
                ++p;
            }
        if (transient)
            for (int g = 0; g < G; ++g)
                for (int j = 0; j < ne; ++j)
                    for (int i = 0; i < ne; ++i)
                        c.storageFull[((static_cast<std::size_t>(e - 1) * G + g) * ne + j) * NEP + i] = M[g][i][j];
    }

    // The band positions that receive entries, each with its entries in
    // element order; grouped by their number of entries.
    std::vector<std::pair<int, int>> byPosition(P2);
    for (int q = 0; q < P2; ++q) byPosition[q] = {c.bandAt[q], q};
    std::sort(byPosition.begin(), byPosition.end());
    std::vector<std::vector<int>> lists;
    std::vector<int> listAt;
    for (int q = 0; q < P2; ++q) {
        if (q == 0 || byPosition[q].first != byPosition[q - 1].first) {
            lists.emplace_back();
            listAt.push_back(byPosition[q].first);
        }
        lists.back().push_back(byPosition[q].second);
    }
    std::size_t most = 0;
    for (const auto& l : lists) most = std::max(most, l.size());
    c.gatherAt.clear();
    c.gatherEntry.clear();
    c.gatherGroups.assign(most + 1, 0);
    for (std::size_t n = 1; n <= most; ++n) {
        for (std::size_t q = 0; q < lists.size(); ++q)
            if (lists[q].size() == n) {
                c.gatherAt.push_back(listAt[q]);
                c.gatherEntry.insert(c.gatherEntry.end(), lists[q].begin(), lists[q].end());
            }
        c.gatherGroups[n] = static_cast<int>(c.gatherAt.size());
    }
    c.valid = true;
}

// Positions q0..q1 of the group with n entries each (N = n, or 0: n at run
// time): band(at) = 0 + E(first) + E(second) + ..., in element order.
template <int N>
WF_ALWAYS_INLINE void gatherSums(int q0, int q1, const int* __restrict at, const int* __restrict entry,
                                 const double* __restrict E, double* __restrict band, int n = N) {
    const int count = N > 0 ? N : n;
    for (int q = q0; q < q1; ++q, entry += count) {
        double v = 0.0;
        for (int k = 0; k < count; ++k) v += E[entry[k]];
        band[at[q]] = v;
    }
}

template <int NG, bool kStorage>
WF_ALWAYS_INLINE void elementEntries(int P4, int G, const double* __restrict T, Lanes dv, double* __restrict E) {
    const int points = NG > 0 ? NG : G;
    for (int p = 0; p < P4; p += 4) {
        const double* t = T + static_cast<std::size_t>(p / 4) * points * 8;
        Lanes e = Lanes{};
        for (int g = 0; g < points; ++g) {
            e = e + loadLanes(t + 8 * g) * dv;
            if constexpr (kStorage) e = e + loadLanes(t + 8 * g + 4);
        }
        storeLanes(E + p, e);
    }
}

// E(p) = sum over the Gauss points of C_g(p) dt, then Ms_g(p), from 0, four
// entries side by side; then the band, zeroed, receives the entries of each
// position in element order.
WF_ALWAYS_INLINE void assembleMatrix(const AssemblyCache& c, double dt, bool transient, double* __restrict E,
                                     double* __restrict band, std::size_t bandSize) {
    const int P4 = (c.entries + 3) / 4 * 4, G = c.points;
    const double* T = c.terms.data();
    const Lanes dv = splat(dt);
    if (transient && G == 4)
        elementEntries<4, true>(P4, G, T, dv, E);
    else if (transient)
        elementEntries<0, true>(P4, G, T, dv, E);
    else
        elementEntries<0, false>(P4, G, T, dv, E);
    std::fill(band, band + bandSize, 0.0);
    const int* at = c.gatherAt.data();
    const int* entry = c.gatherEntry.data();
    const int groups = static_cast<int>(c.gatherGroups.size()) - 1;
    for (int n = 1; n <= groups; ++n) {
        const int q0 = c.gatherGroups[n - 1], q1 = c.gatherGroups[n];
        switch (n) {
        case 1: gatherSums<1>(q0, q1, at, entry, E, band); break;
        case 2: gatherSums<2>(q0, q1, at, entry, E, band); break;
        case 3: gatherSums<3>(q0, q1, at, entry, E, band); break;
        case 4: gatherSums<4>(q0, q1, at, entry, E, band); break;
        default: gatherSums<0>(q0, q1, at, entry, E, band, n); break;
        }
        entry += static_cast<std::size_t>(q1 - q0) * n;
    }
}

// The right-hand side of the storage terms: per element f(i) from 0, per
// Gauss point and node j f(i) += Ms_g(i,j) h_old(j), the nodes i side by
// side; added in element order to the zeroed right-hand side.
template <int NE>
WF_ALWAYS_INLINE void assembleStorageRhs(const AssemblyCache& c, int NEL, int G, const double* __restrict hold,
                                         double* __restrict R) {
    constexpr int NB = (NE + 3) / 4, NEP = 4 * NB;
    const double* sf = c.storageFull.data();
    const int* nodes = c.nodes.data();
    for (int e = 0; e < NEL; ++e) {
        const int* en = nodes + static_cast<std::size_t>(e) * NE;
        Lanes h[NE], f[NB];
        for (int j = 0; j < NE; ++j) h[j] = splat(hold[en[j]]);
        for (int b = 0; b < NB; ++b) f[b] = Lanes{};
        const double* se = sf + static_cast<std::size_t>(e) * G * NE * NEP;
        for (int g = 0; g < G; ++g)
            for (int j = 0; j < NE; ++j)
                for (int b = 0; b < NB; ++b) f[b] = f[b] + loadLanes(se + (g * NE + j) * NEP + 4 * b) * h[j];
        double fe[NEP];
        for (int b = 0; b < NB; ++b) storeLanes(fe + 4 * b, f[b]);
        for (int i = 0; i < NE; ++i) R[en[i]] += fe[i];
    }
}

WF_ALWAYS_INLINE void assembleStep(AssemblyCache& c, const FemState& fs, double* band, const double* hold,
                                   double* R) {
    const bool transient = fs.nsteps != 0;
    assembleMatrix(c, fs.dt, transient, c.E.data(), band, c.band.size());
    std::fill(R, R + fs.NN, 0.0);
    if (!transient) return;
    switch (c.elementNodes) {
    case 4: assembleStorageRhs<4>(c, c.NEL, c.points, hold, R); break;
    case 8: assembleStorageRhs<8>(c, c.NEL, c.points, hold, R); break;
    default: assembleStorageRhs<9>(c, c.NEL, c.points, hold, R); break;
    }
}

void assembleStepBase(AssemblyCache& c, const FemState& fs, double* band, const double* hold, double* R) {
    assembleStep(c, fs, band, hold, R);
}

#if defined(WF_STEP_AVX2)
__attribute__((target("avx2"))) void assembleStepAvx2(AssemblyCache& c, const FemState& fs, double* band,
                                                        const double* hold, double* R) {
    assembleStep(c, fs, band, hold, R);
}
#endif

// The step's matrix into band (zeroed first) and its storage right-hand side into R.
void assembleRunStep(AssemblyCache& c, const FemState& fs, double* band, const double* hold, double* R) {
#if defined(WF_STEP_AVX2)
    static const bool avx2 = __builtin_cpu_supports("avx2");
    if (avx2) return assembleStepAvx2(c, fs, band, hold, R);
#endif
    assembleStepBase(c, fs, band, hold, R);
}

bool sameHeads(const AssemblyCache& c, const FemState& fs, const ModelSet& m) {
    const int n = std::max(fs.NDN, 0);
    if (static_cast<int>(c.factorNodes.size()) != n) return false;
    for (int d = 0; d < n; ++d)
        if (c.factorNodes[d] != m.DNODE(d + 1) || !sameBits(c.factorHeads[d], m.DHEAD(d + 1))) return false;
    return true;
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
    if (!c.valid || !sameRun(c, fs, P, npar)) buildRunIntegrals(c, fs, m, P, npar);
    const int NN = fs.NN, B = fs.bandwidth, ld = c.ld;
    double* R = m.RHS.data();
    const bool reuse = c.factorValid && sameBits(c.factorDt, fs.dt) && sameHeads(c, fs, m);

    // A kept factor: the step matrix is assembled into the scratch band only
    // for the right-hand-side terms of the prescribed heads.
    BandBuffer& A = reuse ? c.scratch : c.band;
    if (A.size() != c.band.size()) A.assign(c.band.size(), 0.0);
    assembleRunStep(c, fs, A.data(), m.HOLD.data(), R);
    fs.pumpedVolume += addPointSources(fs, m);
    if (fs.NNS >= 1) NBCC(fs, m);
    if (fs.NDN >= 1) applyDirichlet(fs, m, A.data(), ld, 1, R);
    if (reuse) {
        if (c.factorStatus != 0) return c.factorStatus;
        solveBandRows(NN, B, c.band.data(), ld, R);
        return 0;
    }
    c.factorNodes.assign(std::max(fs.NDN, 0), 0);
    c.factorHeads.assign(std::max(fs.NDN, 0), 0.0);
    for (int d = 0; d < std::max(fs.NDN, 0); ++d) {
        c.factorNodes[d] = m.DNODE(d + 1);
        c.factorHeads[d] = m.DHEAD(d + 1);
    }
    c.factorDt = fs.dt;
    c.factorValid = true;
    c.factorStatus = factorForwardBandRows(NN, B, c.band.data(), ld, R);
    if (c.factorStatus != 0) return c.factorStatus;
    backBandRows(NN, B, c.band.data(), ld, R);
    return 0;
}

} // namespace wf
