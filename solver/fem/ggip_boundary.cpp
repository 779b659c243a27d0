// Boundary conditions and sources of the model input: GDBC (prescribed heads),
// GNBC (prescribed fluxes), the point sources and the Dirichlet sides.
#include <algorithm>
#include <climits>

#include "base/run_state.h"
#include "fem/ggip.h"
#include "fem/ggip_checks.h"

namespace wf {

int GDBC(RunState& rs, ModelFile& tim) {
    FemState& fs = rs.fem;
    ModelSet& m = rs.model;
    int nnr = 0;
    if (!tim.ok(rs, tim.reader().read(fs.headType))) return kInputUnreadable;
    if (!tim.ok(rs, tim.reader().read(nnr))) return kInputUnreadable;

    if (nnr == fs.NDN) {
        // The listed nodes keep their initial heads as prescribed heads.
        textio::ListRead r = tim.reader().begin();
        for (int d = 1; d <= fs.NDN; ++d) r.get(m.DNODE(d));
        if (!tim.ok(rs, r.status())) return kInputUnreadable;
        for (int d = 1; d <= fs.NDN; ++d) {
            if (!checkNode(rs, m.DNODE(d), "Dirichlet nodes", tim.name())) return kInputRejected;
            m.DHEAD(d) = m.H0(m.DNODE(d));
        }
        return kInputGood;
    }

    // Generator records (first node, head, last node, step); the head is also
    // the node's initial head. Nodes beyond NDN are counted, not stored.
    long long count = 0;
    for (int k = 1; k <= nnr; ++k) {
        GeneratorRecord g;
        if (const int status = readGeneratorRecord(rs, tim, "Dirichlet nodes", g); status != kInputGood) return status;
        // Wide arithmetic: a step near the integer limit must not wrap round.
        for (long long node = g.first; node <= g.last; node += g.step) {
            ++count;
            if (count <= fs.NDN) {
                m.DNODE(static_cast<int>(count)) = static_cast<int>(node);
                m.DHEAD(static_cast<int>(count)) = g.value;
            }
            m.H0(static_cast<int>(node)) = g.value;
        }
    }
    if (count != fs.NDN) {
        rejectInput(rs,
                    "('1',/,3X,'The number of Dirichlet nodes wanted and ','number of nodes read, do not match',"
                    "/,/,26X,'NDN = ',I4,10X,'NNR = ',I4)",
                    {fs.NDN, static_cast<int>(std::min<long long>(count, INT_MAX))});
        return kInputRejected;
    }
    return kInputGood;
}

int GNBC(RunState& rs, ModelFile& tim) {
    FemState& fs = rs.fem;
    ModelSet& m = rs.model;
    if (!fs.gnbcArmed) return kInputGood;
    fs.gnbcArmed = false;
    if (!tim.ok(rs, tim.reader().read(fs.fluxType))) return kInputUnreadable;
    if (fs.fluxType == 1 && fs.fluxFactor == 0.0) {
        rejectInput(rs, "(2X,'Unit index ',A,' = ',I4,' lies outside its unit table')", {"IFLUX", rs.in.IFLUX});
        return kInputRejected;
    }
    const int nps = fs.nodesPerSide;
    for (int b = 1; b <= fs.NNS; ++b) {
        textio::ListRead r = tim.reader().begin();
        r.get(m.NSIDE(b, 1));
        for (int j = 1; j <= nps; ++j) r.get(m.NSIDE(b, j + 1));
        if (!tim.ok(rs, r.status())) return kInputUnreadable;
        const int e = m.NSIDE(b, 1);
        if (!checkElement(rs, e, "Neumann sides", tim.name())) return kInputRejected;
        for (int j = 1; j <= nps; ++j)
            if (!checkNode(rs, m.NSIDE(b, j + 1), "Neumann sides", tim.name())) return kInputRejected;
        // The side is found from its first node's place in the element.
        const int first = m.NSIDE(b, 2);
        bool inElement = false;
        for (int j = 1; j <= fs.nodesPerElement; ++j) inElement = inElement || m.CON(e, j) == first;
        if (!inElement) {
            rejectInput(rs, "(2X,'Neumann side',I4,' in ',A,' starts at node',I6,', which is not a node of element',I6)",
                        {b, tim.name(), first, e});
            return kInputRejected;
        }
        if (fs.fluxType == 1) {
            // Fluxes in the project's flux unit, stored in metres per second.
            textio::ListRead f = tim.reader().begin();
            for (int j = 1; j <= nps; ++j) f.get(m.NFLUX(b, j));
            if (!tim.ok(rs, f.status())) return kInputUnreadable;
            for (int j = 1; j <= nps; ++j) m.NFLUX(b, j) *= fs.fluxFactor;
        }
    }
    return kInputGood;
}

int readPointSources(RunState& rs, ModelFile& tim, const Vec1<double>& times) {
    FemState& fs = rs.fem;
    ModelSet& m = rs.model;
    const double lastOutput = times(fs.nout);
    for (int k = 1; k <= fs.NSRC; ++k) {
        int node = 0, points = 0;
        if (!tim.ok(rs, tim.reader().read(node, points))) return kInputUnreadable;
        if (!checkNode(rs, node, "point sources", tim.name())) return kInputRejected;
        if (points < 1 || points > m.PROF.dim2()) {
            rejectInput(rs, "(2X,'Point source',I4,' at node',I6,' in ',A,' has',I6,' profile points;',"
                            "' 1 to',I4,' fit the model arrays')",
                        {k, node, tim.name(), points, m.PROF.dim2()});
            return kInputRejected;
        }
        m.SRC(k, 1) = node;
        m.SRC(k, 2) = points;
        for (int p = 1; p <= points; ++p) {
            // Time in the input-time unit, rate in the pumping-rate unit
            // (abstraction negative).
            textio::ListRead r = tim.reader().begin();
            double time = 0.0, rate = 0.0;
            r.get(time);
            r.get(rate);
            if (!tim.ok(rs, r.status())) return kInputUnreadable;
            m.PROF(k, p, 1) = time * fs.inTimeFactor;
            m.PROF(k, p, 2) = rate * fs.rateFactor;
        }
        // The last rate holds to the end of the simulation.
        if (m.PROF(k, points, 1) < lastOutput) m.PROF(k, points, 1) = lastOutput + 1000.0;
    }
    return kInputGood;
}

int findDirichletSides(RunState& rs) {
    FemState& fs = rs.fem;
    ModelSet& m = rs.model;
    const int nps = fs.nodesPerSide;
    auto isDirichlet = [&](int node) {
        for (int d = 1; d <= fs.NDN; ++d)
            if (m.DNODE(d) == node) return true;
        return false;
    };
    fs.NDS = 0;
    for (int d = 1; d <= fs.NDN; ++d) {
        for (int b = 1; b <= fs.NBS; ++b) {
            if (m.BSIDE(b, 2) != m.DNODE(d)) continue;
            bool all = true;
            for (int j = 1; j <= nps; ++j) all = all && isDirichlet(m.BSIDE(b, j + 1));
            if (!all) continue;
            if (fs.NDS == m.DSIDE.rows()) break;  // every boundary side is listed already
            ++fs.NDS;
            for (int j = 1; j <= nps + 1; ++j) m.DSIDE(fs.NDS, j) = m.BSIDE(b, j);
            break;
        }
    }
    if (fs.NDN > fs.NDS * nps) {
        rejectInput(rs,
                    "(8X,'Not all the Dirichlet nodes are associated with ','a boundary element',/,29X,"
                    "'Check them and try again',/,8X,'There are ',I4,'nodes counted, but ',I4,'prescribed')",
                    {fs.NDS * nps, fs.NDN});
        return kInputRejected;
    }
    return kInputGood;
}

} // namespace wf
